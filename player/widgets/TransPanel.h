// A panel without a background of its own: whatever its parent paints under
// it (the video picture, the parent's own painting) shows through, and
// everything the panel shows is drawn by its OnPaint handler.
//
// The panel is a plain (non-native) child widget that never fills its
// background, so every repaint of it first repaints the parent's area under
// it; no platform transparency is involved.
//
// What OnPaint draws is kept in an image on a transparent ground and drawn
// again from there: a repaint caused by the parent alone (a new video frame,
// 25 times a second) costs one blend of that image, not the painting of
// every cue.  OnPaint runs again for the parts Invalidate names, and for all
// of the panel after a resize or a change of font, palette or screen.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <functional>
#include <utility>
#include <vector>

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
  void resizeEvent(QResizeEvent*) override;
  void changeEvent(QEvent*) override;

 private:
  void findInk(const QRect& part);

  QImage drawn_;   // OnPaint's drawing over transparency
  QRegion stale_;  // parts of drawn_ that OnPaint must draw again
  QRegion inked_;  // where drawn_ is not transparent: what a repaint blends
  std::vector<std::pair<int, int>> rows_;  // first and last inked pixel of each row
};

}  // namespace tl::ui
