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

void appendTimeLine(std::string& out, long long number, const std::string& start, ttime end) {
  out += std::to_string(number);
  out += "\r\n";
  out += start;
  out += " --> ";
  out += sec2str_3(notNegative(end));
  out += "\r\n";
}

void appendCue(std::string& out, long long number, const std::string& start, ttime end, const std::string& text) {
  appendTimeLine(out, number, start, end);
  appendCueText(out, text);
  out += "\r\n";
}

// The bytes of a file in the code page it was read with.  The layout and the
// 932 texts gather in a run that is converted as a whole; a cue whose 932
// text is what the load read keeps the file's own lines, copied between
// runs, so that a save loses no character the file held.
class SrtOut {
 public:
  explicit SrtOut(const Lesson& l) : l_(l), codepage_(l.srtcodepage) {
    if (l.srtbom) {
      if (codepage_ == 65001) out_ = "\xEF\xBB\xBF";
      if (codepage_ == 1200) out_ = "\xFF\xFE";
      if (codepage_ == 1201) out_ = "\xFE\xFF";
    }
    own_ = !l.srtsource.empty() && rereadSrt(l, src_, nullptr, true) && src_.aligned &&
           src_.table.subtext.size() == l.subtext.size() && src_.spans.size() == l.subtext.size();
  }

  void cue(long long number, const std::string& start, ttime end, size_t slot) {
    appendTimeLine(run_, number, start, end);
    const std::string& text = l_.subtext[slot];
    const LineSpan span = own_ ? src_.spans[slot] : LineSpan();
    if (span.first >= 0 && text == src_.table.subtext[slot] && wholeUnits(span)) {
      for (int32_t k = span.first; k <= span.last; ++k) {
        const auto [at, len] = src_.lines[k];
        if (len == 0 && k == span.first) {
          run_ += ' ';  // a cue whose first line was empty holds " "
        } else {
          flush();
          out_.append(src_.body.substr(at, len));
        }
        run_ += "\r\n";
      }
    } else {
      appendCueText(run_, text);
      if (span.first >= 0 && heldMore(span)) lost_.push_back(number);
    }
    run_ += "\r\n";
  }

  std::string finish() {
    flush();
    return std::move(out_);
  }
  // Numbers of edited cues whose file text held characters 932 lacks.
  const std::vector<long long>& lost() const { return lost_; }

 private:
  void flush() {
    if (run_.empty()) return;
    if (codepage_ == 0 || (cp::asciiIsItself(codepage_) && cp::isAscii(run_))) {
      out_ += run_;
    } else {
      bool ok = true;
      std::string bytes = cp::fromAnsi(run_, codepage_, &ok);
      out_ += ok ? bytes : run_;
    }
    run_.clear();
  }

  // A 16-bit file cut short leaves half a unit on its last line; copied, it
  // would shift every unit after it.
  bool wholeUnits(LineSpan span) const {
    if (codepage_ != 1200 && codepage_ != 1201) return true;
    for (int32_t k = span.first; k <= span.last; ++k)
      if (src_.lines[k].second % 2) return false;
    return true;
  }

  // Did the file's lines of this cue hold what its 932 form cannot give back?
  bool heldMore(LineSpan span) const {
    for (int32_t k = span.first; k <= span.last; ++k) {
      const std::string_view own = src_.body.substr(src_.lines[k].first, src_.lines[k].second);
      if (cp::fromAnsi(fileTextToAnsi(own, codepage_), codepage_) != own) return true;
    }
    return false;
  }

  const Lesson& l_;
  const int codepage_;
  SrtSource src_;
  bool own_ = false;
  std::string out_, run_;
  std::vector<long long> lost_;
};

std::string lossMessage(const std::vector<long long>& numbers) {
  if (numbers.empty()) return {};
  std::string list;
  const size_t shown = std::min<size_t>(numbers.size(), 20);
  for (size_t k = 0; k < shown; ++k) list += (k ? ", " : "") + std::to_string(numbers[k]);
  if (numbers.size() > shown) list += " ほか" + std::to_string(numbers.size() - shown) + "件";
  return "編集した字幕（番号 " + list +
         "）は編集後の文字で保存しました。元の字幕にあった表示できない文字（é、ñ、£ など）はその字幕から失われました";
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

namespace {

std::string fileBytes(const Lesson& l, std::vector<long long>* lost) {
  SrtOut out(l);
  const size_t count = std::min<size_t>(std::max<int32_t>(l.subcount, 0), l.subtext.size());
  for (size_t i = 1; i < count; i += 2)
    out.cue((long long)(i + 1) / 2, sec2str_3(notNegative(timeAt(l, i))), timeAt(l, i + 1), i);
  if (lost) *lost = out.lost();
  return out.finish();
}

}  // namespace

std::string srtBytes(const Lesson& l) { return fileBytes(l, nullptr); }

SaveResult srtsav(Lesson& l) {
  SaveResult r;
  if (!l.srtdirty || !l.srtloaded) return r;
  std::string err;
  std::vector<long long> lost;
  if (!writeSrtWithProgress(l, l.srtpath, fileBytes(l, &lost), l.savpath, l.memopath, &err)) {
    r.ok = false;
    r.message = "字幕の保存に失敗しました[" + l.srtpath + "] " + err;
    return r;
  }
  r.written = true;
  r.message = lossMessage(lost);
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
  std::vector<long long> lost;
  if (!writeSrtWithProgress(l, newpath, fileBytes(l, &lost), newSav, newMemo, &err)) {
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
  r.message = lossMessage(lost);
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
  SrtOut out(l);
  for (int i = top; i <= bottom; ++i) {
    if (!Lesson::isCue(i)) continue;
    const ttime start = notNegative(timeAt(l, i));
    const std::string s3 = sec2str_3(start);
    const std::string start_text = s3 != sec2str_3(notNegative(timeAt(l, i - 1))) ? s3 : sec2str_4(start);
    out.cue((i - top) / 2 + 1, start_text, timeAt(l, i + 1), i);
    ++r.cues;
  }
  r.path = exedir + changeFileExt(l.srtname, suffix + ".srt");
  std::string err;
  if (!paths::atomicWriteFile(r.path, out.finish(), &err)) {
    r.message = "字幕を出力できませんでした[" + r.path + "] " + err;
    return r;
  }
  r.ok = true;
  r.message = r.path + "に字幕を出力しました（字幕位置調整後のデータになります）";
  const std::string loss = lossMessage(out.lost());
  if (!loss.empty()) r.message += "\n" + loss;
  return r;
}

}  // namespace tl
