#include "core/srtread.h"

#include <cctype>
#include <utility>

#include "core/commitjournal.h"
#include "core/timetext.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/files.h"

namespace tl {

namespace {

bool isSpace(unsigned char c) { return c <= ' '; }

bool isBlank(std::string_view s) {
  for (unsigned char c : s)
    if (!isSpace(c)) return false;
  return true;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// A decimal integer with an optional sign and optional leading spaces, and
// nothing else.
bool toInt(std::string_view s, long long& v) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  bool neg = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) neg = s[i++] == '-';
  if (i == s.size() || s.size() - i > 18) return false;
  long long n = 0;
  for (; i < s.size(); ++i) {
    if (!isDigit(s[i])) return false;
    n = n * 10 + (s[i] - '0');
  }
  v = neg ? -n : n;
  return true;
}

// Characters from 0-based index `from`, at most `count` of them.
std::string_view part(std::string_view s, size_t from, size_t count) {
  if (from >= s.size()) return {};
  return s.substr(from, count);
}

// A field of the program's own form: an optional "-" and minDigits..
// maxDigits digits starting at i; zeros put before the minus sign by the
// padding ("0-5") are skipped.  Advances i.
bool ownField(std::string_view s, size_t& i, size_t minDigits, size_t maxDigits, long long& v) {
  size_t j = i;
  while (j < s.size() && s[j] == '0') ++j;
  if (j < s.size() && s[j] == '-')
    minDigits = 1;
  else
    j = i;
  bool neg = false;
  if (j < s.size() && s[j] == '-') {
    neg = true;
    ++j;
    minDigits = 1;
  }
  size_t k = j;
  long long n = 0;
  while (k < s.size() && isDigit(s[k]) && k - j < maxDigits) n = n * 10 + (s[k++] - '0');
  if (k - j < minDigits) return false;
  v = neg ? -n : n;
  i = k;
  return true;
}

enum class Own { No, Yes, TooLarge };

// The program's own time text: "0" + hours (possibly "-h") ":" MM ":" SS,
// then nothing, or "," and a fraction.  Used only where the fixed columns
// fail: an hour field of three characters or more, or a minus sign.  A time
// outside the range every later sum can hold is TooLarge.
Own ownForm(std::string_view s, ttime& out) {
  const Own No = Own::No;
  if (s.size() < 7 || s[0] != '0') return No;
  size_t i = 1;
  long long h, m, sec, f = 0;
  if (!ownField(s, i, 1, 15, h)) return No;
  const size_t hourLen = i;
  if (i >= s.size() || s[i++] != ':') return No;
  if (!ownField(s, i, 2, 2, m) || i >= s.size() || s[i++] != ':') return No;
  if (!ownField(s, i, 2, 2, sec)) return No;
  bool fourDigits = false;
  if (i < s.size()) {
    if (s[i] != ',') return No;
    ++i;
    if (i < s.size() && s[i] == ' ') {
      fourDigits = true;
      ++i;
    }
    if (!ownField(s, i, 1, fourDigits ? 4 : 3, f)) return No;
  }
  if (hourLen < 3 && s.find('-') == std::string_view::npos) return No;
  const __int128 t = ((__int128)h * 3600 + m * 60 + sec) * 10000 + (fourDigits ? f : f * 10);
  if (!timeFits(t)) return Own::TooLarge;
  out = (ttime)t;
  return Own::Yes;
}

// Valid UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF)
// holding at least one byte above 0x7F.
bool isUtf8Text(std::string_view s) {
  bool wide = false;
  size_t i = 0;
  const size_t n = s.size();
  while (i < n) {
    const unsigned char b = (unsigned char)s[i];
    if (b < 0x80) {
      ++i;
      continue;
    }
    wide = true;
    size_t len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b >= 0xC2 && b <= 0xDF) len = 2;
    else if (b >= 0xE0 && b <= 0xEF) {
      len = 3;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;
    } else if (b >= 0xF0 && b <= 0xF4) {
      len = 4;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (n - i < len) return false;
    const unsigned char c1 = (unsigned char)s[i + 1];
    if (c1 < lo || c1 > hi) return false;
    for (size_t k = 2; k < len; ++k)
      if (((unsigned char)s[i + k] & 0xC0) != 0x80) return false;
    i += len;
  }
  return wide;
}

// Collects messages up to a limit, then counts the rest.
struct Messages {
  std::vector<std::string>* out;
  int shown = 0, dropped = 0;
  static constexpr int kMax = 10;
  void add(std::string m) {
    if (!out) return;
    if (shown < kMax) {
      out->push_back(std::move(m));
      ++shown;
    } else {
      ++dropped;
    }
  }
  void finish() {
    if (out && dropped > 0) out->push_back("ほかに" + std::to_string(dropped) + "件の時間変換に失敗しました");
  }
};

// Spaces and control characters cut at both ends.
std::string_view trimView(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && isSpace(s[a])) ++a;
  while (b > a && isSpace(s[b - 1])) --b;
  return s.substr(a, b - a);
}

bool isCueNumber(std::string_view line) {
  const std::string_view t = trimView(line);
  if (t.empty()) return false;
  for (char c : t)
    if (!isDigit(c)) return false;
  return true;
}

}  // namespace

std::string trimText(std::string_view s) { return std::string(trimView(s)); }

namespace {

// The line rule over n code units: a break is LF, or a run of CRs directly
// followed by LF (one break), or a lone CR (one break each).  A break at the
// very end adds no empty line.  emit(start, end) gets each line's units.
template <class At, class Emit>
void forEachLine(size_t n, At at, Emit emit) {
  size_t start = 0, i = 0;
  while (i < n) {
    const auto c = at(i);
    if (c == '\n') {
      emit(start, i);
      start = ++i;
    } else if (c == '\r') {
      emit(start, i);
      size_t j = i + 1;
      while (j < n && at(j) == '\r') ++j;
      if (j < n && at(j) == '\n') {
        i = j + 1;  // CR... LF: one break
      } else {
        for (size_t k = i + 1; k < j; ++k) emit(k, k);  // a run of lone CRs: one break each
        i = j;
      }
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) emit(start, n);
}

}  // namespace

std::vector<std::string_view> lineViews(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(text.size() / 24 + 1);
  forEachLine(text.size(), [&](size_t i) { return text[i]; },
              [&](size_t a, size_t b) { lines.push_back(text.substr(a, b - a)); });
  return lines;
}

std::vector<std::string> splitLines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view v : lineViews(text)) lines.emplace_back(v);
  return lines;
}

std::vector<std::pair<size_t, size_t>> lineRanges(std::string_view body, int codepage) {
  std::vector<std::pair<size_t, size_t>> out;
  if (codepage != 1200 && codepage != 1201) {
    forEachLine(body.size(), [&](size_t i) { return body[i]; },
                [&](size_t a, size_t b) { out.emplace_back(a, b - a); });
    return out;
  }
  const bool big = codepage == 1201;
  auto unit = [&](size_t i) {
    const unsigned a = (unsigned char)body[2 * i], b = (unsigned char)body[2 * i + 1];
    return (char16_t)(big ? (a << 8) | b : (b << 8) | a);
  };
  const size_t n = body.size() / 2;
  forEachLine(n, unit, [&](size_t a, size_t b) { out.emplace_back(2 * a, 2 * (b - a)); });
  // An odd last byte decodes as one more character of the last line.
  if (body.size() % 2) {
    if (!out.empty() && out.back().first + out.back().second == 2 * n && n > 0 && unit(n - 1) != '\n' &&
        unit(n - 1) != '\r')
      ++out.back().second;
    else
      out.emplace_back(2 * n, 1);
  }
  return out;
}

std::string eu2asc(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b == 145 || b == 146)
      c = '\'';
    else if (b == 147 || b == 148)
      c = '"';
  }
  return out;
}

// Deleting the span from the first `open` to the first `close` leaves a
// text whose part before the span holds neither character, so the next round
// only looks at what follows the span: one pass, linear in the text.
static void appendWithoutPairs(std::string& out, std::string_view text, char open, char close) {
  size_t pos = 0;
  while (true) {
    const size_t a = text.find(open, pos), b = text.find(close, pos);
    if (a == std::string_view::npos || b == std::string_view::npos || b <= a) break;
    out.append(text.substr(pos, a - pos));
    pos = b + 1;
  }
  out.append(text.substr(pos));
}

static std::string delPairs(std::string text, char open, char close) {
  if (text.find(open) == std::string::npos) return text;
  std::string out;
  out.reserve(text.size());
  appendWithoutPairs(out, text, open, close);
  return out;
}

std::string tagdel(std::string text) { return delPairs(std::move(text), '<', '>'); }
std::string pardel(std::string text) { return delPairs(std::move(text), '(', ')'); }

ttime strtotime(std::string_view text, std::string* err) {
  const std::string_view s = trimView(text);
  ttime sum = 0;
  auto fail = [&]() {
    if (err) *err = "SRTファイルの時間変換に失敗しました[" + cp::ansiToUtf8(s) + "]";
    return sum;
  };
  ttime own = 0;
  switch (ownForm(s, own)) {
    case Own::Yes: return own;
    case Own::TooLarge: return fail();
    case Own::No: break;
  }
  long long v;
  if (!toInt(part(s, 0, 2), v)) return fail();
  sum += v * 36000000;
  if (!toInt(part(s, 3, 2), v)) return fail();
  sum += v * 600000;
  if (!toInt(part(s, 6, 2), v)) return fail();
  sum += v * 10000;
  const size_t comma = s.find(',');
  if (comma == std::string::npos) return sum;
  if (comma + 1 < s.size() && s[comma + 1] == ' ') {
    if (!toInt(part(s, comma + 2, 4), v)) return fail();
    sum += v;
  } else {
    if (!toInt(part(s, comma + 1, 3), v)) return fail();
    sum += v * 10;
  }
  return sum;
}

bool isTimeLine(std::string_view line, size_t* arrow, bool expected) {
  if (expected && line.find(" --> ") != std::string_view::npos) {
    if (arrow) *arrow = line.find("-->");
    return true;
  }
  const size_t a = line.find("-->");
  if (a == std::string_view::npos) return false;
  const std::string_view left = trimView(line.substr(0, a));
  if (left.empty() || !isDigit(left[0]) || left.find(':') == std::string_view::npos) return false;
  if (arrow) *arrow = a;
  return true;
}

std::string fileTextToAnsi(std::string_view text, int codepage, bool* ok) {
  if (codepage == 0) {
    if (ok) *ok = true;
    return std::string(text);
  }
  return cp::isSingleByte(codepage) ? cp::toAnsi(eu2asc(text), codepage, ok) : cp::toAnsi(text, codepage, ok);
}

void decodeSrt(std::string_view bytes, int codepage, DecodedSrt& d) {
  auto b = [&](size_t i) { return static_cast<unsigned char>(bytes[i]); };
  if (bytes.size() >= 3 && b(0) == 0xEF && b(1) == 0xBB && b(2) == 0xBF) {
    codepage = 65001;
    d.bom = true;
    bytes.remove_prefix(3);
  } else if (bytes.size() >= 2 && b(0) == 0xFF && b(1) == 0xFE) {
    codepage = 1200;
    d.bom = true;
    bytes.remove_prefix(2);
  } else if (bytes.size() >= 2 && b(0) == 0xFE && b(1) == 0xFF) {
    codepage = 1201;
    d.bom = true;
    bytes.remove_prefix(2);
  }
  if (codepage != 1200 && codepage != 1201) {
    const size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) {
      bytes = bytes.substr(0, zero);
      d.messages.push_back("ファイルの途中にゼロのバイトがあります。その前までを読み込みました");
    }
  }
  // One look at the bytes: plain ASCII needs no conversion and is no UTF-8
  // text; otherwise the UTF-8 check starts at the first byte above 0x7F.
  size_t high = 0;
  while (high < bytes.size() && b(high) < 0x80) ++high;
  const bool ascii = high == bytes.size();
  // With the default setting, a file that is valid UTF-8 and not plain ASCII
  // is UTF-8: Latin-1 text that happens to be valid UTF-8 is vanishingly rare.
  if (!d.bom && codepage == kDefaultSrtCodepage && !ascii && isUtf8Text(bytes.substr(high))) codepage = 65001;
  d.codepage = codepage;
  d.body = bytes;
  std::string_view text = bytes;
  if (codepage != 0 && !(ascii && cp::asciiIsItself(codepage))) {
    bool ok = true;
    d.text = fileTextToAnsi(bytes, codepage, &ok);
    if (!ok) {
      d.messages.push_back("コードページ" + std::to_string(codepage) + "の字幕は読み込めません");
      return;
    }
    text = d.text;
  }
  d.lines = lineViews(text);
  d.ok = true;
}

namespace {

template <class Line>
size_t trailerCut(const std::vector<Line>& lines, int& number) {
  size_t t = lines.size(), end = lines.size();
  number = 0;
  while (t > 0) {
    --t;
    if (!isTimeLine(lines[t], nullptr, true)) continue;
    const std::string_view num = t >= 1 ? trimView(lines[t - 1]) : std::string_view();
    if (num != "9999") {
      long long n = 0;
      if (!toInt(num, n) || n < 0 || n > 1000000000) n = 0;
      number = (int)n;
      return end;
    }
    size_t cut = t - 1;  // the number line
    if (cut >= 1 && isBlank(lines[cut - 1])) --cut;
    end = cut;
    t = cut;
  }
  return end;
}

}  // namespace

int srtinit(std::vector<std::string_view>& lines) {
  int number = 0;
  lines.resize(trailerCut(lines, number));
  return number;
}

int srtinit(std::vector<std::string>& lines) {
  int number = 0;
  lines.resize(trailerCut(lines, number));
  return number;
}

void srtread(const std::vector<std::string_view>& lines, Lesson& l, std::vector<std::string>* messages,
             std::vector<LineSpan>* spans) {
  Messages msgs{messages};
  auto& T = l.subtime;
  auto& X = l.subtext;
  T.assign(2, 0);
  X.assign(2, std::string());
  // A cue takes two slots and, in the usual layout, four or five lines.
  T.reserve(lines.size() / 2 + 2);
  X.reserve(lines.size() / 2 + 2);
  if (spans) spans->assign(2, LineSpan());

  const size_t n = lines.size();
  size_t p = 1;
  enum { kNumber, kTime, kAfterTime, kText } st = kNumber;
  auto ensure = [&] {
    if (p + 1 >= X.size()) {
      X.resize(p + 2);
      T.resize(p + 2);
      if (spans) spans->resize(p + 2);
    }
  };
  auto setTimes = [&](std::string_view line, size_t arrow) {
    ensure();
    std::string err;
    T[p] = strtotime(line.substr(0, arrow), &err);
    if (!err.empty()) msgs.add(std::move(err));
    err.clear();
    T[p + 1] = strtotime(line.substr(arrow + 3), &err);
    if (!err.empty()) msgs.add(std::move(err));
  };
  auto addText = [&](size_t i) {
    ensure();
    const std::string_view line = lines[i];
    appendWithoutPairs(X[p], line.empty() ? std::string_view(" ") : line, '<', '>');
    X[p] += "\r\n";
    if (spans) {
      LineSpan& s = (*spans)[p];
      if (s.first < 0) s.first = (int32_t)i;
      s.last = (int32_t)i;
    }
  };
  auto giveEmptyText = [&] {
    ensure();
    if (X[p].empty()) X[p] = " \r\n";
  };
  auto timeAt = [&](size_t i) { return i < n && isTimeLine(lines[i]); };
  // Would the cue end before line i? (a blank or missing line, a time line,
  // or a number line followed by a time line)
  auto cueEndsAt = [&](size_t i) {
    return i >= n || isBlank(lines[i]) || timeAt(i) || (isCueNumber(lines[i]) && timeAt(i + 1));
  };

  for (size_t i = 0; i < n; ++i) {
    const std::string_view line = lines[i];
    size_t arrow = 0;
    // After a number line, or where a cue may start, any " --> " line is the
    // time line; inside a cue's text only a line that looks like times is.
    const bool time = isTimeLine(line, &arrow, st == kNumber || st == kTime);
    switch (st) {
      case kNumber:
        if (time) {
          setTimes(line, arrow);
          st = kAfterTime;
        } else if (isBlank(line)) {
          // an extra blank line between cues
        } else if (isCueNumber(line) || timeAt(i + 1)) {
          st = kTime;
        } else if (p >= 3) {
          // text after a blank line inside the previous cue's text
          p -= 2;
          addText(i);
          st = kText;
        }
        break;
      case kTime:
        if (time) {
          setTimes(line, arrow);
          st = kAfterTime;
        } else if (line.empty()) {
          st = kNumber;
        } else {
          addText(i);
          st = kText;
        }
        break;
      case kAfterTime:
        if (time) {  // a cue without text and without a blank line after it
          giveEmptyText();
          p += 2;
          setTimes(line, arrow);
        } else {
          addText(i);
          st = kText;
        }
        break;
      case kText:
        if (time) {  // the next cue's time line, its number and blank line missing
          p += 2;
          setTimes(line, arrow);
          st = kAfterTime;
        } else if (line.empty() || (isBlank(line) && cueEndsAt(i + 1))) {
          p += 2;
          st = kNumber;
        } else if (isCueNumber(line) && timeAt(i + 1)) {  // no blank line before the number
          p += 2;
          st = kTime;
        } else {
          addText(i);
        }
        break;
    }
  }
  if (st == kAfterTime) giveEmptyText();
  msgs.finish();

  size_t last = 0;
  for (size_t i = X.size(); i-- > 0;)
    if (!X[i].empty()) {
      last = i;
      break;
    }
  const size_t count = last + 2;
  X.resize(count);
  T.resize(count);
  T[0] = 0;
  l.subcount = (int32_t)count;
  l.subflg.assign(count, {});
  for (size_t i = 0; i < count; ++i) l.subflg[i].assign(X[i].size(), 0);
  l.subclear.assign(count, 0);
  l.substar.assign(count, 0);
  l.subwavex.assign(count, 0);
  l.submemo.assign(count, std::string());
  l.jawd.assign(count, {});
  l.jasnt.assign(count, std::string());
  if (spans) spans->resize(count);
}

std::string changeFileExt(const std::string& name, const std::string& ext) {
  const size_t slash = name.rfind('/');
  const size_t dot = name.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return name + ext;
  return name.substr(0, dot) + ext;
}

void setSrtPaths(Lesson& l, const std::string& path, const std::string& exedir) {
  l.srtpath = path;
  const size_t slash = path.rfind('/');
  l.srtname = slash == std::string::npos ? path : path.substr(slash + 1);
  l.savpath = exedir + "sav/" + changeFileExt(l.srtname, ".dat");
  l.memopath = exedir + "sav/" + changeFileExt(l.srtname, ".txt");
}

namespace {

LoadResult loadSource(std::string source, const std::string& path, int codepage, const std::string& exedir,
                      Lesson& into) {
  LoadResult r;
  const size_t slash = path.rfind('/');
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (isBlank(source)) {
    r.messages.push_back("字幕ファイルが空です[" + name + "]");
    return r;
  }
  Lesson fresh;
  fresh.srtsource = std::move(source);
  DecodedSrt d;  // its lines may point into fresh.srtsource
  decodeSrt(fresh.srtsource, codepage, d);
  r.messages = std::move(d.messages);
  if (!d.ok) return r;

  fresh.srtnum = srtinit(d.lines);
  srtread(d.lines, fresh, &r.messages);
  if (fresh.subcount < 3) {
    r.messages.push_back("字幕解析に失敗しました 対応していない字幕です[" + name + "]");
    return r;
  }
  r.cues = (fresh.subcount - 1) / 2;
  if (fresh.srtnum <= 0) fresh.srtnum = r.cues;
  fresh.hintpoint = into.hintpoint;
  fresh.hintcost = into.hintcost;
  fresh.srtcodepage = d.codepage;
  fresh.srtbom = d.bom;
  setSrtPaths(fresh, path, exedir);
  fresh.srtloaded = true;
  into = std::move(fresh);
  r.ok = true;
  return r;
}

}  // namespace

LoadResult loadSrtBytes(std::string_view bytes, const std::string& path, int codepage, const std::string& exedir,
                        Lesson& into) {
  return loadSource(std::string(bytes), path, codepage, exedir, into);
}

LoadResult loadSrt(const std::string& path, int codepage, const std::string& exedir, Lesson& into) {
  // A save cut short is finished before its files are read.
  std::string recoveryErr;
  const bool recovered = journal::recover(exedir + "sav", &recoveryErr);
  std::string bytes, err;
  if (!paths::readFile(path, bytes, &err)) {
    LoadResult r;
    r.messages.push_back("字幕ファイルを読み込めませんでした[" + path + "] " + err);
    return r;
  }
  LoadResult r = loadSource(std::move(bytes), path, codepage, exedir, into);
  if (!recovered) r.messages.insert(r.messages.begin(), journal::recoveryFailedMessage(recoveryErr));
  return r;
}

bool rereadSrt(const Lesson& l, SrtSource& s, std::vector<std::string>* messages, bool withLines) {
  DecodedSrt d;
  decodeSrt(l.srtsource, l.srtcodepage, d);
  const size_t total = d.lines.size();
  srtinit(d.lines);
  srtread(d.lines, s.table, messages, &s.spans);
  s.body = d.body;
  if (withLines) {
    s.lines = lineRanges(d.body, d.codepage);
    s.aligned = d.ok && s.lines.size() == total;
  }
  return d.ok;
}

}  // namespace tl
