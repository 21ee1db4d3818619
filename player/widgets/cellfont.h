// The fixed-pitch face of the subtitle panels and the overlay, its letter
// cell, and drawing bytes of code page 932 into cells.
//
// Every byte occupies one cell (the advance and height of "A"); a double-byte
// character is drawn as one glyph over its two cells.  The faces the settings
// name are mapped to installed faces: the fixed-pitch Gothic to "Noto Sans
// Mono CJK JP", the proportional one to "Noto Sans CJK JP".
#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <string_view>

class QPainter;

namespace tl::ui {

// Installed family for a face name of the settings.
QString faceFor(const QString& face);
// Pixel height of a point size on the 96-dpi grid the layout is made for
// (rounded as the layout's integer scaling does).
int pixelsOfPoints(int points);
// The face at a point size (at least one pixel high).
QFont cellFont(const QString& face, int points, bool bold = false);
// The face at a pixel height.
QFont cellFontPx(const QString& face, int pixels, bool bold = false);

struct Cell {
  int w = 0, h = 0, ascent = 0;
};
// Advance and height of "A".
Cell measureCell(const QFont& f);

// The glyph of the byte (or double-byte pair) at i; *nbytes is how many
// bytes it covers (1 or 2).  Control bytes and a lead byte without its trail
// give an empty string.
QString glyphAt(std::string_view t, int i, int* nbytes);

// Draws the bytes of t into cells from (x, y) (top-left of the first cell)
// with the painter's font and pen.
void drawCells(QPainter& p, int x, int y, std::string_view t, const Cell& c);
// One glyph with its top-left corner at (x, y).
void drawGlyph(QPainter& p, int x, int y, const QString& g, const Cell& c);

// Near-black of text outlines and underline frames.
inline QColor outlineColor() { return QColor(1, 1, 1); }

}  // namespace tl::ui
