// A panel without a background of its own: whatever its parent paints under
// it (the video picture, the parent's own painting) shows through, and
// everything the panel shows is drawn by its OnPaint handler.
//
// The panel is a plain (non-native) child widget that never fills its
// background, so every repaint of it first repaints the parent's area under
// it; no platform transparency is involved.
#pragma once

#include <QWidget>
#include <functional>

class QPainter;

namespace tl::ui {

class TTransPanel : public QWidget {
  Q_OBJECT
 public:
  explicit TTransPanel(QWidget* owner = nullptr);

  // The painting handler; the painter is the panel's canvas with a dotted
  // highlight pen and no brush.  Without a handler nothing is drawn.
  std::function<void(TTransPanel* sender, QPainter& canvas)> OnPaint;

  // Repaints the parent's area under the panel and then the panel.  Does
  // nothing while the panel is not shown.
  virtual void Invalidate();
  virtual void Invalidate(const QRegion& part);

 protected:
  void paintEvent(QPaintEvent*) override;
};

}  // namespace tl::ui
