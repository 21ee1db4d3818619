#include "platform/media/videowidget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace tl {

QRect fitRect(QSize picture, QRect area) {
  if (picture.isEmpty() || area.isEmpty()) return {};
  QSize s = picture.scaled(area.size(), Qt::KeepAspectRatio);
  if (s.isEmpty()) return {};
  return QRect(area.x() + (area.width() - s.width()) / 2,
               area.y() + (area.height() - s.height()) / 2, s.width(), s.height());
}

VideoWidget::VideoWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::ClickFocus);
  setMinimumSize(16, 16);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, Qt::black);
  setPalette(pal);
}

void VideoWidget::setVideoSize(QSize size) {
  if (size == videoSize_) return;
  videoSize_ = size;
  if (size.isEmpty()) frame_ = QImage();
  relayout();
  update();
}

QSize VideoWidget::renderSize() const {
  if (videoRect_.isEmpty()) return {};
  const qreal dpr = devicePixelRatioF();
  return QSize(int(std::lround(videoRect_.width() * dpr)),
               int(std::lround(videoRect_.height() * dpr)));
}

void VideoWidget::setFrame(const QImage& frame) {
  frame_ = frame;
  update(videoRect_.isEmpty() ? rect() : videoRect_);
}

void VideoWidget::setFullScreenMode(bool on) {
  if (on == fullScreen_) return;
  fullScreen_ = on;
  if (on) {
    // A window inside a layout counts as empty: the layout closes the gap and
    // takes the widget back when the flag is cleared.
    setWindowFlags(windowFlags() | Qt::Window);
    showFullScreen();
  } else {
    setWindowFlags(windowFlags() & ~Qt::Window);
    showNormal();
    show();
  }
  emit fullScreenChanged(on);
}

void VideoWidget::relayout() {
  QRect r = fitRect(videoSize_, rect());
  if (r == videoRect_) return;
  videoRect_ = r;
  emit videoRectChanged(r);
}

void VideoWidget::paintEvent(QPaintEvent*) {
  QPainter p(this);
  if (videoRect_.isEmpty() || frame_.isNull()) {
    p.fillRect(rect(), Qt::black);
    return;
  }
  // Black bands around the picture only; the picture covers the rest.
  const QRect r = videoRect_;
  const QRect all = rect();
  p.fillRect(QRect(all.left(), all.top(), all.width(), r.top() - all.top()), Qt::black);
  p.fillRect(QRect(all.left(), r.bottom() + 1, all.width(), all.bottom() - r.bottom()), Qt::black);
  p.fillRect(QRect(all.left(), r.top(), r.left() - all.left(), r.height()), Qt::black);
  p.fillRect(QRect(r.right() + 1, r.top(), all.right() - r.right(), r.height()), Qt::black);
  if (frame_.size() != renderSize()) p.setRenderHint(QPainter::SmoothPixmapTransform);
  p.drawImage(r, frame_);
}

void VideoWidget::resizeEvent(QResizeEvent*) { relayout(); }

void VideoWidget::mousePressEvent(QMouseEvent* e) {
  int button = 0;
  switch (e->button()) {
    case Qt::LeftButton: button = 1; break;
    case Qt::RightButton: button = 2; break;
    case Qt::MiddleButton: button = 4; break;
    default: break;
  }
  const Qt::KeyboardModifiers m = e->modifiers();
  const int shift = (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) |
                    (m & Qt::AltModifier ? 4 : 0);
  const QPoint pos = e->position().toPoint();
  emit clicked(button, shift, pos.x(), pos.y());
  QWidget::mousePressEvent(e);
}

void VideoWidget::keyPressEvent(QKeyEvent* e) {
  if (fullScreen_ && e->key() == Qt::Key_Escape) {
    setFullScreenMode(false);
    return;
  }
  QWidget::keyPressEvent(e);
}

}  // namespace tl
