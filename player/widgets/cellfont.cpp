#include "player/widgets/cellfont.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <array>

#include "platform/codepage/codepage.h"

namespace tl::ui {

QString faceFor(const QString& face) {
  if (face == QString::fromUtf8("ＭＳ ゴシック"))
    return QStringLiteral("Noto Sans Mono CJK JP");
  if (face == QString::fromUtf8("ＭＳ Ｐゴシック"))
    return QStringLiteral("Noto Sans CJK JP");
  return face.isEmpty() ? QStringLiteral("Noto Sans Mono CJK JP") : face;
}

int pixelsOfPoints(int points) {
  // points x 96 / 72, halves away from zero
  long long n = (long long)points * 96;
  return (int)((n >= 0 ? n + 36 : n - 36) / 72);
}

QFont cellFontPx(const QString& face, int pixels, bool bold) {
  QFont f(faceFor(face));
  f.setPixelSize(pixels < 1 ? 1 : pixels);
  f.setBold(bold);
  f.setKerning(false);
  return f;
}

QFont cellFont(const QString& face, int points, bool bold) {
  return cellFontPx(face, pixelsOfPoints(points), bold);
}

Cell measureCell(const QFont& f) {
  QFontMetrics m(f);
  return {m.horizontalAdvance(QLatin1Char('A')), m.height(), m.ascent()};
}

namespace {
const QString& singleGlyph(unsigned char b) {
  static std::array<QString, 256> table;
  static std::array<bool, 256> done{};
  if (!done[b]) {
    done[b] = true;
    if (b >= 0x20 && b != 0x7F && !tl::cp::isLeadByte(b)) {
      char c = (char)b;
      std::u16string u = tl::cp::ansiToUtf16(std::string_view(&c, 1));
      table[b] = QString::fromStdU16String(u);
    }
  }
  return table[b];
}
}  // namespace

QString glyphAt(std::string_view t, int i, int* nbytes) {
  *nbytes = 1;
  if (i < 0 || i >= (int)t.size()) return {};
  unsigned char b = (unsigned char)t[i];
  if (tl::cp::isLeadByte(b)) {
    if (i + 1 >= (int)t.size() || !tl::cp::isTrailByte((unsigned char)t[i + 1])) return {};
    *nbytes = 2;
    static QHash<quint16, QString> pairs;
    quint16 key = (quint16)(b << 8 | (unsigned char)t[i + 1]);
    auto it = pairs.constFind(key);
    if (it != pairs.constEnd()) return *it;
    QString g = QString::fromStdU16String(tl::cp::ansiToUtf16(t.substr(i, 2)));
    pairs.insert(key, g);
    return g;
  }
  return singleGlyph(b);
}

void drawGlyph(QPainter& p, int x, int y, const QString& g, const Cell& c) {
  if (!g.isEmpty()) p.drawText(QPoint(x, y + c.ascent), g);
}

void drawCells(QPainter& p, int x, int y, std::string_view t, const Cell& c) {
  // Cells past the right edge of the painted area would not show.
  const int right = p.worldTransform().inverted().mapRect(p.window()).right();
  for (int i = 0; i < (int)t.size() && x + i * c.w <= right;) {
    int n = 1;
    QString g = glyphAt(t, i, &n);
    drawGlyph(p, x + i * c.w, y, g, c);
    i += n;
  }
}

}  // namespace tl::ui
