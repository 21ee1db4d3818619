// The widget the video picture is drawn into.  The backend hands it frames
// rendered at renderSize(); the widget paints the frame into videoRect() (the
// largest rectangle of the picture's aspect that fits, centred) and black
// around it.  Child widgets (the subtitle overlay) paint over the picture.
#pragma once

#include <QImage>
#include <QRect>
#include <QSize>
#include <QWidget>

namespace tl {

class VideoWidget : public QWidget {
  Q_OBJECT
 public:
  explicit VideoWidget(QWidget* parent = nullptr);

  // Display size of the picture (aspect already applied); empty = no picture.
  void setVideoSize(QSize size);
  QSize videoSize() const { return videoSize_; }

  // Where the picture is drawn, in widget coordinates; empty without a picture.
  QRect videoRect() const { return videoRect_; }
  // The size in device pixels a frame should be rendered at (videoRect's size).
  QSize renderSize() const;

  // Shows a rendered frame; a null image clears the picture to black.
  void setFrame(const QImage& frame);
  const QImage& frame() const { return frame_; }

  // Full screen: the widget leaves its parent's layout as a window of its own
  // and comes back when switched off (Esc switches off too).
  void setFullScreenMode(bool on);
  bool fullScreenMode() const { return fullScreen_; }

 signals:
  void videoRectChanged(QRect rect);
  // Mouse press: button 1 = left, 2 = right, 4 = middle; shift bits 1 = Shift,
  // 2 = Ctrl, 4 = Alt; x, y in widget coordinates.
  void clicked(int button, int shiftState, int x, int y);
  void fullScreenChanged(bool on);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;

 private:
  void relayout();

  QSize videoSize_;
  QRect videoRect_;
  QImage frame_;
  bool fullScreen_ = false;
};

// The centred rectangle of aspect `picture` that fits `area`.
QRect fitRect(QSize picture, QRect area);

}  // namespace tl
