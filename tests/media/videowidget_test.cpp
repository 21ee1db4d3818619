#include "platform/media/videowidget.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace tl {

TEST(VideoWidget, PaintsTheFrameIntoItsRectAndBlackAround) {
  VideoWidget w;
  w.resize(200, 100);
  QImage black = w.grab().toImage();
  EXPECT_EQ(black.pixel(100, 50) & 0xFFFFFF, 0u);  // nothing to show yet
  EXPECT_TRUE(w.videoRect().isEmpty());

  w.setVideoSize(QSize(100, 100));
  EXPECT_EQ(w.videoRect(), QRect(50, 0, 100, 100));
  EXPECT_EQ(w.renderSize(), QSize(100, 100));
  QImage frame(w.renderSize(), QImage::Format_RGBX8888);
  frame.fill(QColor(10, 200, 30));
  w.setFrame(frame);
  QImage shot = w.grab().toImage();
  EXPECT_EQ(shot.pixel(100, 50) & 0xFFFFFF, 0x0AC81Eu);
  EXPECT_EQ(shot.pixel(20, 50) & 0xFFFFFF, 0u);
  EXPECT_EQ(shot.pixel(180, 50) & 0xFFFFFF, 0u);

  // A child laid over the picture paints on top of it.
  QWidget overlay(&w);
  overlay.setGeometry(60, 10, 20, 20);
  overlay.setAutoFillBackground(true);
  QPalette pal;
  pal.setColor(QPalette::Window, Qt::red);
  overlay.setPalette(pal);
  overlay.show();
  shot = w.grab().toImage();
  EXPECT_EQ(shot.pixel(70, 20) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(shot.pixel(100, 50) & 0xFFFFFF, 0x0AC81Eu);

  w.setVideoSize(QSize());
  EXPECT_TRUE(w.videoRect().isEmpty());
  EXPECT_TRUE(w.frame().isNull());
}

TEST(VideoWidget, ReportsClicksWithButtonAndShiftBits) {
  VideoWidget w;
  w.resize(100, 100);
  std::vector<int> got;
  QObject::connect(&w, &VideoWidget::clicked,
                   [&](int b, int s, int x, int y) { got = {b, s, x, y}; });
  QMouseEvent left(QEvent::MouseButtonPress, QPointF(5, 6), QPointF(5, 6), Qt::LeftButton,
                   Qt::LeftButton, Qt::AltModifier);
  QCoreApplication::sendEvent(&w, &left);
  EXPECT_EQ(got, (std::vector<int>{1, 4, 5, 6}));
  QMouseEvent right(QEvent::MouseButtonPress, QPointF(40, 30), QPointF(40, 30), Qt::RightButton,
                    Qt::RightButton, Qt::ShiftModifier | Qt::ControlModifier);
  QCoreApplication::sendEvent(&w, &right);
  EXPECT_EQ(got, (std::vector<int>{2, 3, 40, 30}));
}

TEST(VideoWidget, FullScreenLeavesTheLayoutAndComesBack) {
  QWidget window;
  auto* layout = new QVBoxLayout(&window);
  auto* w = new VideoWidget;
  layout->addWidget(w);
  window.resize(300, 200);
  window.show();
  w->setFullScreenMode(true);
  EXPECT_TRUE(w->isWindow());
  EXPECT_TRUE(w->fullScreenMode());
  EXPECT_EQ(w->parentWidget(), &window);
  w->setFullScreenMode(false);
  EXPECT_FALSE(w->isWindow());
  EXPECT_FALSE(w->fullScreenMode());
  EXPECT_EQ(layout->indexOf(w), 0);
}

}  // namespace tl
