#include "core/panellayout.h"

#include <algorithm>

namespace tl::panel {

int64_t roundDivEven(int64_t num, int64_t den) {
  if (den < 0) num = -num, den = -den;
  if (den == 0) return 0;
  __int128 n = num, d = den;
  __int128 q = n / d, r = n % d;
  if (r < 0) r += d, q -= 1;  // floor division; 0 <= r < d
  __int128 twice = 2 * r;
  if (twice > d || (twice == d && (q & 1) != 0)) q += 1;
  return (int64_t)q;
}

int firstCrlf(std::string_view t) {
  auto p = t.find("\r\n");
  return p == std::string_view::npos ? -1 : (int)p;
}

RowCol panelRowCol(std::string_view t, int i) {
  int cr = firstCrlf(t);
  if (cr < 0 || i <= cr + 1) return {0, i};
  return {1, i - cr - 2};
}

Rect panelCell(std::string_view t, int i, int cellw, int cellh) {
  RowCol rc = panelRowCol(t, i);
  Rect r;
  r.left = rc.col * cellw;
  r.right = r.left + cellw - 1;
  r.top = (cellh + 2) * rc.row + 1;
  r.bottom = cellh * (rc.row + 1) + 1;
  return r;
}

namespace {
// Bytes [begin, end) of a row and the hit inside it.
PanelHit hitInRow(int begin, int end, int col, int len) {
  PanelHit h;
  if (end <= begin) {  // the row holds no byte
    h.clamped = std::max(0, len - 1);
    h.past = col >= 0;
    return h;
  }
  int i = begin + std::max(0, col);
  h.clamped = std::clamp(i, begin, end - 1);
  if (col >= 0 && i < end) h.index = i;
  h.past = col >= 0 && i >= end;
  return h;
}
int colOf(int x, int cellw) {
  if (cellw <= 0) return -1;
  return x < 0 ? -1 : x / cellw;
}
}  // namespace

PanelHit panelHit(std::string_view t, int x, int y, int cellw, int cellh) {
  int len = (int)t.size();
  if (len == 0) return {};
  int cr = firstCrlf(t);
  int col = colOf(x, cellw);
  if (y <= cellh + 2) {
    // Row 0 shows line 1; its CR LF cells hold no letter.
    int end = cr < 0 ? len : cr;
    if (end == 0) end = std::min(len, cr + 2);  // a line of nothing but CR LF
    return hitInRow(0, end, col, len);
  }
  if (cr < 0) return hitInRow(len, len, col, len);
  return hitInRow(cr + 2, len, col, len);
}

PanelHit stripHit(std::string_view t, int x, int x0, int scellw) {
  int len = (int)t.size();
  if (len == 0) return {};
  return hitInRow(0, len, colOf(x - x0, scellw), len);
}

int clickColumn(std::string_view t, int x, int y, int cellw, int cellh) {
  if (cellw <= 0) return 0;
  int col = x / cellw + 1;
  if (y > cellh + 2) col += firstCrlf(t) + 1 + 1;
  return col;
}

std::string trimBreaks(std::string s) {
  auto brk = [](char c) { return c == '\r' || c == '\n'; };
  size_t a = 0, b = s.size();
  while (a < b && brk(s[a])) ++a;
  while (b > a && brk(s[b - 1])) --b;
  return s.substr(a, b - a);
}

std::string wordAt(std::string_view t, int i) {
  if (i < 0 || i >= (int)t.size() || !asciiLetter((unsigned char)t[i])) return {};
  int a = i, b = i;
  while (a > 0 && asciiLetter((unsigned char)t[a - 1])) --a;
  while (b + 1 < (int)t.size() && asciiLetter((unsigned char)t[b + 1])) ++b;
  return std::string(t.substr(a, b - a + 1));
}

std::string byteRange(std::string_view t, int a, int b) {
  if (t.empty()) return {};
  if (a > b) std::swap(a, b);
  a = std::max(a, 0);
  b = std::min(b, (int)t.size() - 1);
  if (a > b) return {};
  return std::string(t.substr(a, b - a + 1));
}

Point seMarkOffset(std::string_view t, int cellw, int cellh) {
  int len = (int)t.size();
  int cr = firstCrlf(t);
  auto lettersOf = [&](int begin, int end) {  // a row without its closing CR LF
    if (end - begin >= 2 && t.substr(end - 2, 2) == "\r\n") end -= 2;
    return std::max(0, end - begin);
  };
  if (cr >= 0 && cr + 2 < len) return {lettersOf(cr + 2, len) * cellw, cellh + 2};
  return {(cr < 0 ? len : cr) * cellw, 0};
}

int focusOffset(ttime start, ttime nowpos, int w) {
  __int128 d = (__int128)(start - nowpos) * w;
  __int128 q = d / 300000;  // truncates toward zero
  if (q > INT32_MAX) return INT32_MAX;
  if (q < INT32_MIN) return INT32_MIN;
  return (int)q;
}

ttime focusClickTime(int x, int w, ttime nowpos) {
  if (w <= 0) return nowpos;
  return nowpos - 150000 + roundDivEven((int64_t)x * 300000, w);
}

int BarScale::x(ttime t) const {
  if (!usable()) return 0;
  __int128 v = (__int128)(t - first) * barscale / 100000000;
  return (int)std::clamp<__int128>(v, INT32_MIN, INT32_MAX);
}

ttime BarScale::timeAt(int px) const {
  if (!usable()) return first;
  px = std::clamp(px, 0, width);
  return first + roundDivEven(span * px, width);
}

BarScale barScale(const Lesson& l, int w) {
  BarScale s;
  s.width = std::max(0, w);
  int n = std::min<int>(l.subcount, (int)l.subtime.size());
  if (n < 2) return s;
  s.first = l.subtime[1];
  s.span = l.subtime[n - 1] - s.first;
  if (s.span <= 0 || s.width <= 0) {
    s.span = std::max<ttime>(s.span, 0);
    return s;
  }
  s.barscale = roundDivEven((int64_t)s.width * 100000000, s.span);
  return s;
}

}  // namespace tl::panel
