#include "player/widgets/TransPanel.h"

#include <QPainter>
#include <QEvent>
#include <algorithm>
#include <cmath>
#include <QPaintEvent>

namespace tl::ui {

TTransPanel::TTransPanel(QWidget* owner) : QWidget(owner) {
  setAutoFillBackground(false);
  setAttribute(Qt::WA_OpaquePaintEvent, false);
  setAttribute(Qt::WA_NoSystemBackground, true);
  setAttribute(Qt::WA_NativeWindow, false);
  setFocusPolicy(Qt::NoFocus);
  setMouseTracking(true);
}

void TTransPanel::Invalidate() {
  stale_ = rect();
  if (isVisible()) update();
}

void TTransPanel::Invalidate(const QRegion& part) {
  stale_ += part;
  if (isVisible()) update(part);
}

void TTransPanel::resizeEvent(QResizeEvent*) { stale_ = rect(); }

void TTransPanel::changeEvent(QEvent* e) {
  switch (e->type()) {
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
    case QEvent::EnabledChange:
      stale_ = rect();
      break;
    default:
      break;
  }
  QWidget::changeEvent(e);
}

void TTransPanel::paintEvent(QPaintEvent* e) {
  if (!OnPaint) return;
  const qreal dpr = devicePixelRatioF();
  const QSize px = (QSizeF(size()) * dpr).toSize();
  if (px.isEmpty()) return;
  if (drawn_.size() != px || drawn_.devicePixelRatio() != dpr) {
    drawn_ = QImage(px, QImage::Format_ARGB32_Premultiplied);
    drawn_.setDevicePixelRatio(dpr);
    rows_.assign(px.height(), {0, -1});
    stale_ = rect();
  }
  if (!stale_.isEmpty()) {
    const QRect part = stale_.boundingRect() & rect();
    QPainter c(&drawn_);
    c.setClipRegion(stale_);
    c.setCompositionMode(QPainter::CompositionMode_Source);
    c.fillRect(rect(), Qt::transparent);
    c.setCompositionMode(QPainter::CompositionMode_SourceOver);
    QPen pen(palette().color(QPalette::Highlight));
    pen.setStyle(Qt::DotLine);
    c.setPen(pen);
    c.setBrush(Qt::NoBrush);
    c.setFont(font());
    stale_ = QRegion();
    OnPaint(this, c);
    c.end();
    findInk(part);
  }
  QPainter p(this);
  const QRegion show = e->region() & inked_;
  for (const QRect& r : show) {
    const QRect src((QRectF(r).topLeft() * dpr).toPoint(), (QSizeF(r.size()) * dpr).toSize());
    p.drawImage(r, drawn_, src);
  }
}

// Where the drawing holds anything but transparency, row by row over the
// rows just drawn again, then as bands of rows for the blend.
void TTransPanel::findInk(const QRect& part) {
  const qreal dpr = drawn_.devicePixelRatio();
  const int w = drawn_.width(), h = drawn_.height();
  const int y0 = std::clamp((int)std::floor(part.top() * dpr), 0, h);
  const int y1 = std::clamp((int)std::ceil((part.bottom() + 1) * dpr), 0, h);
  for (int y = y0; y < y1; ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(drawn_.constScanLine(y));
    int first = 0, last = w - 1;
    while (first < w && line[first] == 0) ++first;
    while (last > first && line[last] == 0) --last;
    rows_[y] = first < w ? std::pair{first, last} : std::pair{0, -1};
  }
  inked_ = QRegion();
  for (int y = 0; y < h;) {
    if (rows_[y].second < rows_[y].first) {
      ++y;
      continue;
    }
    int top = y, left = rows_[y].first, right = rows_[y].second;
    while (++y < h && rows_[y].second >= rows_[y].first) {
      left = std::min(left, rows_[y].first);
      right = std::max(right, rows_[y].second);
    }
    inked_ += QRectF(left / dpr, top / dpr, (right - left + 1) / dpr, (y - top) / dpr).toAlignedRect();
  }
}

}  // namespace tl::ui
