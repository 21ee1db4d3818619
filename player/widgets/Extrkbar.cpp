#include "player/widgets/Extrkbar.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QStyle>
#include <QStyleOptionSlider>

TExtTrackBar::TExtTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
  setRange(0, 10);
  setSingleStep(1);
  setPageStep(2);
  // Moves are reported with and without a button held.
  setMouseTracking(true);
  setAutoFillBackground(true);
  sliderVisible_ = true;
}

QColor TExtTrackBar::Color() const {
  return parentColor_ ? palette().color(QPalette::Window) : color_;
}

void TExtTrackBar::setColor(const QColor& c) {
  color_ = c;
  parentColor_ = false;
  applyColor();
  update();
}

void TExtTrackBar::setParentColor(bool on) {
  if (on == parentColor_) return;
  if (on) {
    parentColor_ = true;
    applying_ = true;
    setPalette(QPalette());  // back to the inherited palette
    applying_ = false;
  } else {
    color_ = Color();
    parentColor_ = false;
    applyColor();
  }
  update();
}

void TExtTrackBar::applyColor() {
  if (parentColor_ || applying_) return;
  if (testAttribute(Qt::WA_SetPalette) && palette().color(QPalette::Window) == color_) return;
  applying_ = true;
  QPalette p = palette();
  p.setColor(QPalette::Window, color_);
  setPalette(p);
  applying_ = false;
}

void TExtTrackBar::setSliderVisible(bool on) {
  if (on == sliderVisible_) return;
  sliderVisible_ = on;
  update();
}

int TExtTrackBar::valueAt(int x) const {
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  const QRect groove = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderGroove, this);
  const QRect handle = style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
  const int len = handle.width();
  const int lo = groove.x();
  const int hi = groove.right() - len + 1;
  const int pos = x - len / 2 - lo;
  return QStyle::sliderValueFromPosition(minimum(), maximum(), pos, hi - lo, opt.upsideDown);
}

double TExtTrackBar::positionRatio() const {
  if (maximum() <= minimum()) return 0.0;
  return double(value() - minimum()) / double(maximum() - minimum());
}

void TExtTrackBar::mousePressEvent(QMouseEvent* e) {
  const QPoint p = e->position().toPoint();
  // A click puts the position under the mouse, so the press also grabs the
  // thumb there and a drag goes on from that point.
  if (e->button() == Qt::LeftButton && maximum() > minimum()) setValue(valueAt(p.x()));
  QSlider::mousePressEvent(e);
  if (OnMouseDown) OnMouseDown(this, e->button(), e->modifiers(), p.x(), p.y());
}

void TExtTrackBar::mouseMoveEvent(QMouseEvent* e) {
  QSlider::mouseMoveEvent(e);
  const QPoint p = e->position().toPoint();
  if (OnMouseMove) OnMouseMove(this, e->buttons(), e->modifiers(), p.x(), p.y());
}

void TExtTrackBar::mouseReleaseEvent(QMouseEvent* e) {
  QSlider::mouseReleaseEvent(e);
  const QPoint p = e->position().toPoint();
  if (OnMouseUp) OnMouseUp(this, e->button(), e->modifiers(), p.x(), p.y());
}

void TExtTrackBar::resizeEvent(QResizeEvent* e) {
  QSlider::resizeEvent(e);
  if (OnResize) OnResize(this);
}

void TExtTrackBar::changeEvent(QEvent* e) {
  QSlider::changeEvent(e);
  // A new parent palette or new system colours must not replace our own.
  switch (e->type()) {
    case QEvent::PaletteChange:
    case QEvent::ApplicationPaletteChange:
    case QEvent::StyleChange:
      applyColor();
      break;
    default:
      break;
  }
}

void TExtTrackBar::paintEvent(QPaintEvent* e) {
  if (sliderVisible_) {
    QSlider::paintEvent(e);
    return;
  }
  QPainter painter(this);
  QStyleOptionSlider opt;
  initStyleOption(&opt);
  opt.subControls = QStyle::SC_SliderGroove;
  if (tickPosition() != QSlider::NoTicks) opt.subControls |= QStyle::SC_SliderTickmarks;
  opt.activeSubControls = QStyle::SC_None;
  style()->drawComplexControl(QStyle::CC_Slider, &opt, &painter, this);
}
