#include "player/TransPanel.h"

#include <QPainter>
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
  if (isVisible()) update();
}

void TTransPanel::Invalidate(const QRegion& part) {
  if (isVisible()) update(part);
}

void TTransPanel::paintEvent(QPaintEvent*) {
  if (!OnPaint) return;
  QPainter p(this);
  QPen pen(palette().color(QPalette::Highlight));
  pen.setStyle(Qt::DotLine);
  p.setPen(pen);
  p.setBrush(Qt::NoBrush);
  OnPaint(this, p);
}

}  // namespace tl::ui
