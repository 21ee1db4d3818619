#include "core/progressfile.h"

#include <algorithm>

#include "core/commitjournal.h"
#include "core/dictation.h"
#include "core/letterstates.h"
#include "core/memofile.h"
#include "core/timetext.h"
#include "platform/paths/files.h"

namespace tl {

const char* const kMsgSaveFailed = "セーブに失敗しました";
const char* const kMsgLoadFailed = "ロードに失敗しました";
const char* const kMsgLaterFields =
    "前回字幕調整と前回終了位置の読み込みに失敗しました。デフォルトで動作します";
const char* const kMsgMismatch =
    "進捗ファイルがこの字幕ファイルと合わないため、新しい進捗で始めます。"
    "元の進捗ファイルは上書きする前に別名（.bak）で残します";
const char* const kMsgAdjustOutOfRange =
    "保存されている字幕調整の値が大きすぎるため、使いません";
const char* const kAskAdjust = "前回の字幕調整が保存されています。利用しますか？";
const char* const kAskAdjustCaption = "字幕調整";
const char* const kLogSaved = "進捗セーブしました";
const char* const kLogAllSaved = "字幕と進捗セーブしました";

namespace {

int32_t slotCount(const Lesson& L) {
  return std::max<int32_t>(0, std::min<int32_t>(L.subcount, (int32_t)L.subtext.size()));
}

void put32(std::string& s, int32_t v) {
  const uint32_t u = (uint32_t)v;
  for (int k = 0; k < 4; ++k) s += (char)((u >> (8 * k)) & 0xFF);
}

void put64(std::string& s, int64_t v) {
  const uint64_t u = (uint64_t)v;
  for (int k = 0; k < 8; ++k) s += (char)((u >> (8 * k)) & 0xFF);
}

// Little-endian reader over the file bytes; get* fail at the end.
struct Reader {
  const std::string& b;
  size_t pos = 0;
  bool get32(int32_t& v) {
    if (pos > b.size() || b.size() - pos < 4) return false;
    uint32_t u = 0;
    for (int k = 0; k < 4; ++k) u |= (uint32_t)(unsigned char)b[pos + k] << (8 * k);
    pos += 4;
    v = (int32_t)u;
    return true;
  }
  bool get64(int64_t& v) {
    if (pos > b.size() || b.size() - pos < 8) return false;
    uint64_t u = 0;
    for (int k = 0; k < 8; ++k) u |= (uint64_t)(unsigned char)b[pos + k] << (8 * k);
    pos += 8;
    v = (int64_t)u;
    return true;
  }
};

// Makes the per-slot tables as long as the slot table, each state array as
// long as its text, so that reading and writing stay inside them.
void fitTables(Lesson& L) {
  const int32_t n = slotCount(L);
  if ((int32_t)L.subflg.size() < n) L.subflg.resize(n);
  if ((int32_t)L.subclear.size() < n) L.subclear.resize(n, 0);
  if ((int32_t)L.substar.size() < n) L.substar.resize(n, 0);
  for (int32_t i = 0; i < n; ++i)
    if (L.subflg[i].size() != L.subtext[i].size()) L.subflg[i].resize(L.subtext[i].size(), flg_out);
  padMemos(L);
}

void readMemoFile(Lesson& L) {
  std::string bytes;
  if (!L.memopath.empty() && paths::fileExists(L.memopath) && paths::readFile(L.memopath, bytes))
    L.submemo = memoLines(bytes);
  else
    L.submemo.clear();
  padMemos(L);
}

// The folder of the progress and memo files, which holds their journal.
std::string dataDir(const Lesson& L) { return L.savpath.empty() ? std::string() : paths::parentDir(L.savpath); }

// Adds to g the progress file on disk with its adjustment set to 0, when it
// offers one.  Only a file laid out for this table has its adjustment where
// this table puts it; any other is left alone.  False when it cannot be read.
bool addSettledProgress(const Lesson& L, journal::Group& g, std::string* err) {
  if (L.savpath.empty() || !paths::fileExists(L.savpath)) return true;
  std::string bytes;
  if (!paths::readFile(L.savpath, bytes, err)) return false;
  if ((int64_t)bytes.size() != progressFileSize(L)) return true;
  const size_t at = (size_t)(4 * progressStateCount(L) + 4);
  bool zero = true;
  for (size_t k = 0; k < 8; ++k) zero = zero && bytes[at + k] == 0;
  if (zero) return true;
  for (size_t k = 0; k < 8; ++k) bytes[at + k] = 0;
  g.writes.push_back({L.savpath, std::move(bytes)});
  return true;
}

// A new file's states, and the old file kept for the first save.
void startAsNew(Lesson& L, ProgressLoadResult& r) {
  closeflginit(L);
  L.savkeepold = true;
  r.message = kMsgLoadFailed;
  r.detail = kMsgMismatch;
}

}  // namespace

int64_t progressStateCount(const Lesson& L) {
  int64_t b = 0;
  for (int32_t i = 0; i < slotCount(L); ++i) b += (int64_t)L.subtext[i].size();
  return b;
}

int64_t progressFileSize(const Lesson& L) { return 4 * progressStateCount(L) + 16 + 4 * (int64_t)slotCount(L); }

std::string progressBytes(const Lesson& L) {
  std::string s;
  s.reserve((size_t)progressFileSize(L));
  const int32_t n = slotCount(L);
  for (int32_t i = 0; i < n; ++i)
    for (size_t j = 0; j < L.subtext[i].size(); ++j) put32(s, L.flg(i, (int64_t)j));
  put32(s, L.flgtotal);
  put64(s, L.adjsaved);
  put32(s, L.cursub);
  for (int32_t i = 0; i < n; ++i) put32(s, i < (int32_t)L.substar.size() ? L.substar[i] : 0);
  return s;
}

std::string progressBackupPath(const std::string& savpath) {
  std::string p = savpath + ".bak";
  for (int k = 2; paths::fileExists(p) && k < 1000; ++k) p = savpath + ".bak" + std::to_string(k);
  return p;
}

bool adjustmentFits(const Lesson& L, ttime adj) {
  if (!timeFits(adj)) return false;
  const size_t n = std::min(L.subtime.size(), (size_t)std::max<int32_t>(L.subcount, 0));
  for (size_t i = 0; i < n; ++i)
    if (!timeFits((__int128)L.subtime[i] + adj)) return false;
  return true;
}

bool clearSavedAdjustment(const Lesson& L, std::string* err) {
  return journal::commit(
      dataDir(L), [&](journal::Group& g, std::string* e) { return addSettledProgress(L, g, e); }, err);
}

bool writeSrtWithProgress(const Lesson& L, const std::string& srtPath, const std::string& srtBytes,
                          const std::string& newSav, const std::string& newMemo, std::string* err) {
  return journal::commit(
      dataDir(L),
      [&](journal::Group& g, std::string* e) {
        g.writes.push_back({srtPath, srtBytes});
        journal::Group settled;
        if (!addSettledProgress(L, settled, e)) return false;
        if (newSav != L.savpath && paths::fileExists(L.savpath)) {
          std::string bytes;
          if (!settled.writes.empty()) bytes = std::move(settled.writes[0].bytes);
          else if (!paths::readFile(L.savpath, bytes, e)) return false;
          g.writes.push_back({newSav, std::move(bytes)});
          g.removes.push_back(L.savpath);
        } else {
          for (auto& w : settled.writes) g.writes.push_back(std::move(w));
        }
        if (newMemo != L.memopath && paths::fileExists(L.memopath)) {
          std::string bytes;
          if (!paths::readFile(L.memopath, bytes, e)) return false;
          g.writes.push_back({newMemo, std::move(bytes)});
          g.removes.push_back(L.memopath);
        }
        return true;
      },
      err);
}

TimingChange acceptSavedAdjustment(Lesson& L, const Options& o) {
  if (L.adjsaved == 0 || !adjustmentFits(L, L.adjsaved)) return {};
  L.adjfrom = 0;
  return adjshift(L, o, L.adjsaved, false);
}

bool settleSavedAdjustment(Lesson& L, std::string* err) {
  L.adjsaved = 0;
  return clearSavedAdjustment(L, err);
}

ProgressSaveResult subflgsave(Lesson& L) {
  ProgressSaveResult r;
  if (!L.srtloaded || !L.flgdirty) return r;
  auto fail = [&](const std::string& why) {
    r.ok = false;
    r.message = kMsgSaveFailed;
    r.detail = why;
    return r;
  };
  if (L.savpath.empty()) return fail("no progress file name");
  std::string err;
  if (!paths::makeDirs(paths::parentDir(L.savpath), &err)) return fail(err);

  if (L.savkeepold && paths::fileExists(L.savpath)) {
    std::string old;
    if (!paths::readFile(L.savpath, old, &err)) return fail(err);
    if (!paths::atomicWriteFile(progressBackupPath(L.savpath), old, &err)) return fail(err);
  }
  L.savkeepold = false;

  // Progress and memo are one commit: a failure or a crash at any moment
  // leaves both old or both new.
  journal::Group g;
  g.writes.push_back({L.savpath, progressBytes(L)});
  if (!L.memopath.empty()) g.writes.push_back({L.memopath, memoBytes(L)});
  if (!journal::commit(dataDir(L), g, &err)) return fail(err);
  L.flgdirty = false;
  r.wrote = true;
  return r;
}

ProgressLoadResult subflgload(Lesson& L) {
  ProgressLoadResult r;
  if (!L.srtloaded) return r;
  L.flgdirty = false;
  L.savkeepold = false;
  fitTables(L);
  // Both files are read as one commit left them (another program may be
  // saving them now); a commit cut short is finished first.
  journal::Guard guard(dataDir(L));

  if (L.savpath.empty() || !paths::fileExists(L.savpath)) {
    closeflginit(L);
    readMemoFile(L);
    return r;
  }

  std::string bytes;
  std::string err;
  if (!paths::readFile(L.savpath, bytes, &err)) {
    startAsNew(L, r);
    r.detail = err;
    readMemoFile(L);
    return r;
  }

  // Does the file fit this table?  A complete file, or at least the states
  // and the total (the later fields then fall back to defaults).
  const int32_t n = slotCount(L);
  const int64_t B = progressStateCount(L);
  const int64_t size = (int64_t)bytes.size();
  bool fits = size >= 4 * B + 4 && size <= progressFileSize(L);
  Reader rd{bytes};
  if (fits) {
    int32_t v = 0;
    for (int64_t k = 0; k < B && fits; ++k) fits = rd.get32(v) && v >= flg_out && v <= flg_reclosed;
  }
  if (!fits) {
    startAsNew(L, r);
    readMemoFile(L);
    return r;
  }

  // Lay the states over the table.
  rd.pos = 0;
  bool corrected = false;
  L.flgrest = 0;
  for (int32_t i = 0; i < n; ++i) {
    bool hidden = false;
    const std::vector<bool> letter = typableLetters(L.subtext[i]);
    for (size_t j = 0; j < letter.size(); ++j) {
      int32_t v = 0;
      rd.get32(v);
      if (flgHidden(v) && !letter[j]) {
        v = flg_out;  // only letters can be typed open again
        corrected = true;
      }
      L.subflg[i][j] = v;
      if (flgHidden(v)) {
        hidden = true;
        L.flgrest += 1;
      }
    }
    if (!hidden) L.subclear[i] = 1;
  }
  rd.get32(L.flgtotal);
  if (corrected) recountflags(L);
  r.fromFile = true;

  // Later fields: what is read stays, the rest keeps its defaults.
  bool ok = rd.get64(L.adjsaved);
  if (ok && L.adjsaved != 0) {
    if (adjustmentFits(L, L.adjsaved)) {
      r.askAdjust = true;
    } else {
      L.adjsaved = 0;  // would move a cue out of the time range: not offered
      r.detail = kMsgAdjustOutOfRange;
    }
  }
  int32_t resume = 0;
  if (ok) ok = rd.get32(resume);
  // Only a cue of this table; a negative odd number is no cue either.
  if (ok) L.resumesub = (resume >= 1 && Lesson::isCue(resume) && resume < n) ? resume : 0;
  for (int32_t i = 0; ok && i < n; ++i) ok = rd.get32(L.substar[i]);
  // The memos are read whatever became of the fields above, so that a save
  // never overwrites them with empty lines.
  readMemoFile(L);
  if (!ok) r.message = kMsgLaterFields;
  return r;
}

}  // namespace tl
