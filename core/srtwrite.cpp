#include "core/srtwrite.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "core/progressfile.h"
#include "core/srtread.h"
#include "core/timetext.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/files.h"

namespace tl {

namespace {

ttime notNegative(ttime t) { return t < 0 ? 0 : t; }

// The text lines of a cue, each with CR LF; empty lines become " ".
void appendCueText(std::string& out, const std::string& text) {
  std::vector<std::string> lines = splitLines(text);
  if (lines.empty()) lines.emplace_back();
  for (const auto& line : lines) {
    out += line.empty() ? std::string(" ") : line;
    out += "\r\n";
  }
}

void appendCue(std::string& out, long long number, const std::string& start, ttime end, const std::string& text) {
  out += std::to_string(number);
  out += "\r\n";
  out += start;
  out += " --> ";
  out += sec2str_3(notNegative(end));
  out += "\r\n";
  appendCueText(out, text);
  out += "\r\n";
}

ttime timeAt(const Lesson& l, size_t i) { return i < l.subtime.size() ? l.subtime[i] : 0; }

// What a write of the table into its file settles.
void afterWrite(Lesson& l) {
  if (!l.subtime.empty()) l.subtime[0] = 0;
  l.srtdirty = false;
  if (l.adjsaved != 0) {
    l.adjsaved = 0;
    l.flgdirty = true;
  }
}

std::string baseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string renameMessage(const std::string& from, const std::string& to) {
  return from + "から" + to + "のファイル名の変換に失敗しました 同名ファイルがないか確認してください";
}

bool exists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::exists(path, ec);
}

}  // namespace

std::string srtText(const Lesson& l) {
  std::string out;
  const size_t count = std::min<size_t>(std::max<int32_t>(l.subcount, 0), l.subtext.size());
  out.reserve(count * 24);
  for (size_t i = 1; i < count; i += 2)
    appendCue(out, (long long)(i + 1) / 2, sec2str_3(notNegative(timeAt(l, i))), timeAt(l, i + 1), l.subtext[i]);
  return out;
}

std::string srtEncode(const Lesson& l, const std::string& ansi) {
  std::string out;
  if (l.srtbom) {
    if (l.srtcodepage == 65001) out = "\xEF\xBB\xBF";
    if (l.srtcodepage == 1200) out = "\xFF\xFE";
    if (l.srtcodepage == 1201) out = "\xFE\xFF";
  }
  bool ok = true;
  std::string body = cp::fromAnsi(ansi, l.srtcodepage, &ok);
  out += ok ? body : ansi;
  return out;
}

std::string srtBytes(const Lesson& l) { return srtEncode(l, srtText(l)); }

SaveResult srtsav(Lesson& l) {
  SaveResult r;
  if (!l.srtdirty || !l.srtloaded) return r;
  std::string err;
  if (!writeSrtWithProgress(l, l.srtpath, srtBytes(l), l.savpath, l.memopath, &err)) {
    r.ok = false;
    r.message = "字幕の保存に失敗しました[" + l.srtpath + "] " + err;
    return r;
  }
  r.written = true;
  afterWrite(l);
  return r;
}

SaveResult srtSaveAs(Lesson& l, const std::string& newpath, const std::string& exedir) {
  SaveResult r;
  r.ok = false;
  if (!l.srtloaded || newpath.empty()) return r;
  const std::string name = baseName(newpath);
  const std::string newSav = exedir + "sav/" + changeFileExt(name, ".dat");
  const std::string newMemo = exedir + "sav/" + changeFileExt(name, ".txt");
  const bool moveSav = newSav != l.savpath, moveMemo = newMemo != l.memopath;
  if (moveSav && exists(newSav)) {
    r.message = renameMessage(l.savpath, newSav);
    return r;
  }
  if (moveMemo && exists(newMemo)) {
    r.message = renameMessage(l.memopath, newMemo);
    return r;
  }
  // The new SRT and the progress and memo files under their new names are
  // one commit: a crash leaves the old names or all of the new ones.
  std::string err;
  if (!writeSrtWithProgress(l, newpath, srtBytes(l), newSav, newMemo, &err)) {
    r.message = "字幕の保存に失敗しました[" + newpath + "] " + err;
    return r;
  }
  r.written = true;
  l.srtpath = newpath;
  l.srtname = name;
  l.savpath = newSav;
  l.memopath = newMemo;
  afterWrite(l);
  r.ok = true;
  return r;
}

ExtractResult srtExtract(const Lesson& l, bool all, int top, int bottom, const std::string& exedir) {
  ExtractResult r;
  const int count = (int)std::min<size_t>(std::max<int32_t>(l.subcount, 0), l.subtext.size());
  if (count == 0) return r;
  if (all) {
    top = 0;
    bottom = count - 1;
  }
  const std::string suffix = all ? std::string("_all") : "_" + std::to_string(top) + "-" + std::to_string(bottom);
  top = std::clamp(top, 0, count - 1);
  bottom = std::clamp(bottom, 0, count - 1);
  std::string text;
  for (int i = top; i <= bottom; ++i) {
    if (!Lesson::isCue(i)) continue;
    const ttime start = notNegative(timeAt(l, i));
    const std::string s3 = sec2str_3(start);
    const std::string start_text = s3 != sec2str_3(notNegative(timeAt(l, i - 1))) ? s3 : sec2str_4(start);
    appendCue(text, (i - top) / 2 + 1, start_text, timeAt(l, i + 1), l.subtext[i]);
    ++r.cues;
  }
  r.path = exedir + changeFileExt(l.srtname, suffix + ".srt");
  std::string err;
  if (!paths::atomicWriteFile(r.path, srtEncode(l, text), &err)) {
    r.message = "字幕を出力できませんでした[" + r.path + "] " + err;
    return r;
  }
  r.ok = true;
  r.message = r.path + "に字幕を出力しました（字幕位置調整後のデータになります）";
  return r;
}

}  // namespace tl
