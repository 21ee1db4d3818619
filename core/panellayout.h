// Letter-cell layout of the subtitle panel, the two strips, the focus bar and
// the progress bar.  Painting and the mouse handlers both go through these
// functions, so a click always lands on the byte that was painted there.
//
// Every byte of a cue text occupies one cell.  On the panel the text is laid
// out in two rows: row 0 holds the bytes up to and including the first CR LF,
// row 1 everything after it (a third line goes on in row 1, its CR LF taking
// two cells).  The strips show the whole text on one row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/lesson.h"

namespace tl::panel {

struct Rect {  // right and bottom exclusive
  int left = 0, top = 0, right = 0, bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// 0-based index of the CR of the first CR LF; -1 when there is none.
int firstCrlf(std::string_view t);

struct RowCol {
  int row = 0, col = 0;
};
// Row and column of byte i on the panel.
RowCol panelRowCol(std::string_view t, int i);
// Cell of byte i on the panel (cellw x cellh cells, row 1 starts at cellh+2).
Rect panelCell(std::string_view t, int i, int cellw, int cellh);
// Where the text of a row is drawn (top-left corner of its first cell).
inline int panelRowY(int row, int cellh) { return row * (cellh + 2); }

// What a mouse position on the panel points at.
struct PanelHit {
  int index = -1;     // 0-based byte under the pointer; -1 when no byte
  int clamped = 0;    // the nearest byte of the same row (for drags)
  bool past = false;  // right of the row's last byte, or in a row without bytes
  bool valid() const { return index >= 0; }
};
// An empty text gives no byte.  A row that has no bytes (row 1 of a one-line
// cue) gives no byte, and its clamped index is the end of the text.
PanelHit panelHit(std::string_view t, int x, int y, int cellw, int cellh);

// One-row strip whose first cell starts at x0.
PanelHit stripHit(std::string_view t, int x, int x0, int scellw);

// Column of a timing-sync click (1-based, columns past the text allowed so
// the sync extrapolates): x div cellw + 1, and on row 1 plus the 1-based
// position of the first CR LF + 1.
int clickColumn(std::string_view t, int x, int y, int cellw, int cellh);

// Line-break bytes at either end removed (what a drag copies).
std::string trimBreaks(std::string s);

// The word of ASCII letters around byte i (0-based); empty when byte i is not
// a letter or lies outside the text.
std::string wordAt(std::string_view t, int i);
// Bytes a..b (0-based, either order), both included, clamped to the text.
std::string byteRange(std::string_view t, int a, int b);

// The end-of-sentence mark: offset from the splitter's left edge and from the
// panel's top, right after the last letter of the last row.
struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};
Point seMarkOffset(std::string_view t, int cellw, int cellh);

// ---- focus bar --------------------------------------------------------------
constexpr int kFocusSpan = 15;  // seconds on each side of the centre
inline int focusCentre(int w) { return w / 2; }
// Offset from the centre of a slot starting at `start` (w pixels = 30 s).
int focusOffset(ttime start, ttime nowpos, int w);
// Time under x; nowpos when the bar has no width.
ttime focusClickTime(int x, int w, ttime nowpos);

// ---- progress bar -----------------------------------------------------------
struct BarScale {
  ttime first = 0;     // subtime[1]
  ttime span = 0;      // subtime[last] - subtime[1]
  int64_t barscale = 0;  // pixels per time unit x 1e8; 0 for a zero span
  int width = 0;
  bool usable() const { return span > 0 && width > 0; }
  int x(ttime t) const;
  // Time at pixel x, x clamped to 0..width (never past the table).
  ttime timeAt(int x) const;
};
// Scale of a bar w pixels wide over the lesson's table (unusable when the
// table has fewer than two slots after slot 0, or the span or w is not > 0).
BarScale barScale(const Lesson& l, int w);

// Round half to even of num / den (den > 0).
int64_t roundDivEven(int64_t num, int64_t den);

}  // namespace tl::panel
