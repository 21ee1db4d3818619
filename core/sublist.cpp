#include "core/sublist.h"

#include <algorithm>
#include <cmath>
#include <climits>
#include <cstdio>

#include "core/srtread.h"
#include "core/timetext.h"
#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"

namespace tl {

const char* const kSubHeaders[kSubCols] = {"No", "時間", "字幕", "ｽﾀｰ", "ｸﾘｱ", "ｼｰﾝ", "index"};

namespace {

const char kStar932[] = "\x81\x99";  // "☆"

bool cueOf(const Lesson& l, int64_t slot) {
  return slot >= 1 && Lesson::isCue(slot) && slot < l.subcount && slot < (int64_t)l.subtext.size();
}

std::string trimmed(std::string_view s) {
  size_t a = 0, b = s.size();
  while (a < b && (unsigned char)s[a] <= ' ') ++a;
  while (b > a && (unsigned char)s[b - 1] <= ' ') --b;
  return std::string(s.substr(a, b - a));
}

}  // namespace

std::string cueLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  size_t i = 0;
  // First line.
  while (i < text.size() && text[i] != '\r' && text[i] != '\n') out += text[i++];
  if (i >= text.size()) return out;
  // Its line end.
  if (text[i] == '\r') ++i;
  if (i < text.size() && text[i] == '\n') ++i;
  if (i >= text.size()) return out;
  out += ' ';
  for (; i < text.size(); ++i)
    if (text[i] != '\r' && text[i] != '\n') out += text[i];
  return out;
}

std::string markLine(std::string_view text, const std::vector<int32_t>& flg) {
  std::string out;
  out.reserve(text.size());
  bool skipped = false;
  for (size_t j = 0; j < text.size(); ++j) {
    if (!skipped && text[j] == '\n') {
      skipped = true;
      continue;
    }
    const int32_t f = j < flg.size() ? flg[j] : flg_out;
    switch (f) {
      case flg_open: out += '.'; break;
      case flg_closed: out += '*'; break;
      case flg_hinted: out += '_'; break;
      case flg_reclosed: out += '#'; break;
      case flg_out: out += ' '; break;
      default: out += '?'; break;
    }
  }
  return out;
}

std::vector<char> sceneMarks(const Lesson& l) {
  std::vector<char> m((size_t)std::max(l.subcount, 0), 0);
  for (size_t j = 0; j < l.scenetop.size(); ++j) {
    const int32_t s = l.scenetop[j];
    if (s < 0 || s >= (int32_t)m.size()) continue;
    m[s] = (j < l.sceneflg.size() && l.sceneflg[j]) ? 'o' : 'x';
  }
  return m;
}

std::string subCell(const Lesson& l, int32_t slot, int col, bool dicMode, char sceneMark) {
  if (slot < 1 || slot >= l.subcount) return {};
  const bool cue = Lesson::isCue(slot);
  const int32_t owner = cue ? slot : slot - 1;  // the cue of the row pair
  switch (col) {
    case kColNo:
      return cue ? std::to_string((slot + 1) / 2) : std::string();
    case kColTime:
      return slot < (int32_t)l.subtime.size() ? sec2str_4(l.subtime[slot]) : std::string();
    case kColText:
      if (cue) return slot < (int32_t)l.subtext.size() ? cueLine(l.subtext[slot]) : std::string();
      if (dicMode)
        return owner < (int32_t)l.subtext.size() && owner < (int32_t)l.subflg.size()
                   ? markLine(l.subtext[owner], l.subflg[owner])
                   : std::string();
      return owner < (int32_t)l.submemo.size() ? l.submemo[owner] : std::string();
    case kColStar:
      return sortKey(l, slot, kColStar) ? std::string(kStar932) : std::string();
    case kColClear:
      return std::string(1, (char)sortKey(l, slot, kColClear));
    case kColScene:
      return sceneMark ? std::string(1, sceneMark) : std::string();
    case kColIndex: {
      char buf[16];
      std::snprintf(buf, sizeof buf, "%4d", (int)slot);
      return buf;
    }
    default:
      return {};
  }
}

int sortKey(const Lesson& l, int32_t slot, int col) {
  const int32_t owner = Lesson::isCue(slot) ? slot : slot - 1;
  if (col == kColStar) return owner >= 0 && owner < (int32_t)l.substar.size() && l.substar[owner] == 1 ? 1 : 0;
  // clear
  return owner >= 0 && owner < (int32_t)l.subclear.size() && l.subclear[owner] != 0 ? 'o' : 'x';
}

void GridSort(const Lesson& l, std::vector<int32_t>& rows, int col, size_t from) {
  if (from >= rows.size()) return;
  // Keys once per row, then a stable sort of (key, slot) pairs.
  std::vector<std::pair<int, int32_t>> keyed;
  keyed.reserve(rows.size() - from);
  for (size_t i = from; i < rows.size(); ++i) keyed.emplace_back(sortKey(l, rows[i], col), rows[i]);
  std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
  for (size_t i = 0; i < keyed.size(); ++i) rows[from + i] = keyed[i].second;
}

std::vector<int32_t> slotOrder(const Lesson& l) {
  std::vector<int32_t> r((size_t)std::max(l.subcount - 1, 0));
  for (size_t i = 0; i < r.size(); ++i) r[i] = (int32_t)i + 1;
  return r;
}

FindResult wordfind(const Lesson& l, int64_t start, std::string_view needle) {
  FindResult r;
  if (needle.empty()) {
    r.report = "検索単語が入力されていません";
    return r;
  }
  const std::string n = cp::lowerAscii(needle);
  const int64_t last = std::min<int64_t>(l.subcount, (int64_t)l.subtext.size());
  for (int64_t i = std::max<int64_t>(start, 0); i < last; ++i) {
    const std::string& t = l.subtext[i];
    if (t.size() < n.size()) continue;
    for (size_t p = 0; p + n.size() <= t.size();) {
      bool hit = true;
      for (size_t k = 0; k < n.size(); ++k)
        if (cp::lowerAscii(t[p + k]) != n[k]) {
          hit = false;
          break;
        }
      if (hit) {
        r.found = true;
        r.slot = (int32_t)i;
        r.pos = (int32_t)p + 1;
        r.report = std::to_string(i) + "行目" + std::to_string(p + 1) + "文字目に指定文字列を見つけました";
        return r;
      }
      // Step by whole characters, so a match never starts inside one.
      p += (cp::isLeadByte((unsigned char)t[p]) && p + 1 < t.size()) ? 2 : 1;
    }
  }
  r.report = cp::ansiToUtf8(needle) + "は見つかりませんでした";
  return r;
}

TimeEdit readTimeCell(const Lesson& l, int32_t slot, std::string_view text) {
  TimeEdit e;
  if (slot < 0 || slot >= l.subcount || slot >= (int32_t)l.subtime.size()) return e;
  const std::string t = trimmed(text);
  if (t == sec2str_4(l.subtime[slot])) return e;  // the list's own text: unchanged
  std::string err;
  const ttime v = strtotime(t, &err);
  if (!err.empty()) {
    e.message = err;
    return e;
  }
  if (v == l.subtime[slot]) return e;
  e.changed = true;
  e.value = v;
  return e;
}

void storeTime(Lesson& l, int32_t slot, ttime t) {
  if (slot < 0 || slot >= (int32_t)l.subtime.size()) return;
  l.subtime[slot] = t;
  l.srtdirty = true;
  l.flgdirty = true;
}

int32_t syncFrom(const Lesson& l, int32_t slot, double positionSeconds) {
  int32_t from = Lesson::isCue(slot) ? slot : slot - 1;
  if (slot >= 0 && slot < (int32_t)l.subtime.size() && (double)l.subtime[slot] > positionSeconds * 10000.0)
    from = l.cursub;
  return std::clamp(from, 0, std::max(l.subcount - 1, 0));
}

ttime syncDelta(ttime t, double positionSeconds) {
  return (ttime)std::nearbyint(positionSeconds * 10000.0 - (double)t);
}

ttime jumpTime(const Lesson& l, int32_t slot, int32_t backmore) {
  if (slot < 0 || slot >= (int32_t)l.subtime.size()) return 0;
  const ttime t = l.subtime[slot] - (ttime)backmore * 10;
  return t < 0 ? 0 : t;
}

bool toggleStar(Lesson& l, int32_t slot) {
  if (!cueOf(l, slot)) return false;
  if ((int32_t)l.substar.size() <= slot) l.substar.resize((size_t)l.subcount, 0);
  l.substar[slot] = l.substar[slot] == 0 ? 1 : 0;
  l.flgdirty = true;
  return true;
}

bool dicxsub(Lesson& l, int32_t slot) {
  if (slot < 0 || slot >= l.subcount || slot >= (int32_t)l.subflg.size()) return false;
  for (auto& f : l.subflg[slot]) f = flg_out;
  return true;
}

bool storeMemo(Lesson& l, int32_t gapSlot, const std::string& text) {
  const int32_t cue = gapSlot - 1;
  if (gapSlot < 2 || Lesson::isCue(gapSlot) || gapSlot >= l.subcount) return false;
  if ((int32_t)l.submemo.size() <= cue) l.submemo.resize((size_t)l.subcount);
  if (l.submemo[cue] == text) return false;
  l.submemo[cue] = text;
  l.flgdirty = true;
  return true;
}

std::vector<std::string> logicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(std::move(cur));
      cur.clear();
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  // The text after the last line end is a line unless it is empty.
  if (!cur.empty()) lines.push_back(std::move(cur));
  return lines;
}

std::string checkEditLines(const std::vector<std::string>& lines) {
  if (lines.size() >= 3) return "1字幕の行数は2行までです";
  for (const auto& line : lines)
    if (isTimeLine(line)) return "時間の行と同じ形の行は字幕に入れられません";
  return {};
}

std::string editText(const std::vector<std::string>& lines) {
  if (lines.empty()) return "\r\n";
  std::string t;
  for (const auto& line : lines) t += line + "\r\n";
  return t;
}

bool applyEdit(Lesson& l, int32_t slot, const std::string& text) {
  if (!cueOf(l, slot)) return false;
  l.subtext[slot] = text;
  if ((int32_t)l.subflg.size() <= slot) l.subflg.resize((size_t)l.subcount);
  std::vector<int32_t> f(text.size(), flg_out);
  for (size_t j = 0; j < text.size(); ++j) {
    const unsigned char c = (unsigned char)text[j];
    if (cp::isLeadByte(c) && j + 1 < text.size()) {
      ++j;  // both bytes of the character stay flg_out
      continue;
    }
    if (asciiLetter(c)) f[j] = flg_hinted;
  }
  l.subflg[slot] = std::move(f);
  l.srtdirty = true;
  l.flgdirty = true;
  return true;
}

std::optional<long long> parseInt(std::string_view text) {
  const std::string t = trimmed(text);
  if (t.empty()) return std::nullopt;
  size_t i = 0;
  bool neg = false;
  if (t[0] == '+' || t[0] == '-') {
    neg = t[0] == '-';
    i = 1;
  }
  if (i >= t.size()) return std::nullopt;
  long long v = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    if (v > (LLONG_MAX - 9) / 10) return std::nullopt;
    v = v * 10 + (t[i] - '0');
  }
  return neg ? -v : v;
}

std::optional<ttime> cueStart(const Lesson& l, std::string_view text) {
  const auto n = parseInt(text);
  if (!n || *n < 1) return std::nullopt;
  const long long cues = std::max(l.subcount - 1, 0) / 2;
  if (*n > cues) return std::nullopt;
  const long long slot = 2 * *n - 1;
  if (slot >= (long long)l.subtime.size()) return std::nullopt;
  return l.subtime[slot];
}

}  // namespace tl
