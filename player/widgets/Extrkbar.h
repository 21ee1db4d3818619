// A track bar (horizontal slider) with mouse events, a resize event, its own
// background colour and a thumb that can be hidden.
//
// The range defaults to 0..10 with position 0.  A press of the left button
// moves the position to the clicked point at once (and a drag follows the
// mouse), so the handlers read the clicked position in OnMouseDown and
// OnMouseUp even when the mouse never moved.
#pragma once

#include <QColor>
#include <QSlider>

#include <functional>

class TExtTrackBar : public QSlider {
 public:
  using MouseEvent = std::function<void(TExtTrackBar* sender, Qt::MouseButton button,
                                        Qt::KeyboardModifiers shift, int x, int y)>;
  using MouseMoveEvent = std::function<void(TExtTrackBar* sender, Qt::MouseButtons buttons,
                                            Qt::KeyboardModifiers shift, int x, int y)>;
  using NotifyEvent = std::function<void(TExtTrackBar* sender)>;

  explicit TExtTrackBar(QWidget* parent = nullptr);

  // Background colour.  With ParentColor on (the default) the bar shows its
  // parent's background; setting a colour turns ParentColor off.
  QColor Color() const;
  void setColor(const QColor& c);
  bool ParentColor() const { return parentColor_; }
  void setParentColor(bool on);

  bool SliderVisible() const { return sliderVisible_; }
  void setSliderVisible(bool on);

  // The position a horizontal pixel x of the bar stands for, clamped to the
  // range.
  int valueAt(int x) const;
  // Where the position lies in the range: 0.0 at minimum, 1.0 at maximum;
  // 0.0 for an empty range (maximum <= minimum), so callers never divide by
  // zero.
  double positionRatio() const;

  MouseEvent OnMouseDown;
  MouseMoveEvent OnMouseMove;
  MouseEvent OnMouseUp;
  NotifyEvent OnResize;

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void changeEvent(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  void applyColor();

  bool sliderVisible_ = true;
  bool parentColor_ = true;
  QColor color_;
  bool applying_ = false;
};
