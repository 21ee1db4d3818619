#include "player/widgets/cursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace tl::ui {

namespace {

constexpr int kSize = 32;

// White shape with a black outline on transparency, readable over any
// picture; the hot spot in the middle.
QCursor drawn(const QPainterPath& shape, const QPainterPath& lines = QPainterPath(),
              const QPainterPath& shade = QPainterPath()) {
  QPixmap pm(kSize, kSize);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(Qt::black, 1.2));
  p.setBrush(Qt::white);
  p.drawPath(shape.simplified());
  if (!shade.isEmpty()) {
    p.setBrush(QColor(160, 160, 160));
    p.drawPath(shade);
  }
  p.setBrush(Qt::NoBrush);
  p.drawPath(lines);
  p.end();
  return QCursor(pm, kSize / 2, kSize / 2);
}

QPainterPath rounded(qreal x, qreal y, qreal w, qreal h, qreal r) {
  QPainterPath path;
  path.addRoundedRect(QRectF(x, y, w, h), r, r);
  return path;
}

// Four fingers spread above the palm and the thumb out to the left.
QCursor openHand() {
  QPainterPath hand = rounded(9, 14, 16, 14, 5);
  const qreal tops[4] = {6, 3.5, 4, 7};
  for (int k = 0; k < 4; ++k) hand = hand.united(rounded(9 + 4 * k, tops[k], 4, 18 - tops[k], 2));
  QPainterPath thumb = rounded(0, 0, 4, 11, 2);
  thumb = QTransform().translate(4.5, 14).rotate(-35).map(thumb);
  hand = hand.united(thumb);
  QPainterPath gaps;
  for (int k = 1; k < 4; ++k) {
    gaps.moveTo(9 + 4 * k, tops[k] + 3);
    gaps.lineTo(9 + 4 * k, 15);
  }
  return drawn(hand, gaps);
}

// The fingers folded into the palm: a row of knuckles over a fist.
QCursor closedHand() {
  QPainterPath fist = rounded(8, 12, 17, 15, 5);
  for (int k = 0; k < 4; ++k) fist = fist.united(rounded(8.5 + 4 * k, 9, 4, 7, 2));
  QPainterPath lines;
  for (int k = 1; k < 4; ++k) {
    lines.moveTo(8.5 + 4 * k, 10);
    lines.lineTo(8.5 + 4 * k, 15);
  }
  lines.moveTo(11, 19);  // the thumb across the fingers
  lines.quadTo(16, 17, 22, 19);
  return drawn(fist, lines);
}

// A sheet whose lower right corner is being turned over.
QCursor pageTurn() {
  QPainterPath sheet;
  sheet.moveTo(6, 3);
  sheet.lineTo(25, 3);
  sheet.lineTo(25, 19);
  sheet.lineTo(17, 28);
  sheet.lineTo(6, 28);
  sheet.closeSubpath();
  QPainterPath fold;
  fold.moveTo(25, 19);
  fold.quadTo(19, 19, 17, 28);
  fold.quadTo(16, 21, 25, 19);
  QPainterPath lines;
  for (int y = 8; y <= 20; y += 4) {
    lines.moveTo(9, y);
    lines.lineTo(y < 18 ? 22 : 17, y);
  }
  return drawn(sheet, lines, fold);
}

}  // namespace

std::array<QCursor, 4> overlayCursors() {
  return {QCursor(Qt::ArrowCursor), openHand(), closedHand(), pageTurn()};
}

}  // namespace tl::ui
