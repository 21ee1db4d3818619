// The track bar: mouse, resize, colour and hidden thumb.
#include "player/widgets/Extrkbar.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWidget>
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace {

void mouse(QWidget* w, QEvent::Type type, int x, Qt::MouseButton button, Qt::MouseButtons held) {
  const QPointF local(x, w->height() / 2);
  QMouseEvent e(type, local, w->mapToGlobal(local), button, held, Qt::NoModifier);
  QApplication::sendEvent(w, &e);
}
void press(QWidget* w, int x) { mouse(w, QEvent::MouseButtonPress, x, Qt::LeftButton, Qt::LeftButton); }
void drag(QWidget* w, int x) { mouse(w, QEvent::MouseMove, x, Qt::NoButton, Qt::LeftButton); }
void release(QWidget* w, int x) { mouse(w, QEvent::MouseButtonRelease, x, Qt::LeftButton, Qt::NoButton); }

struct Seen {
  char what;
  int value, x;
};

struct Fixture : ::testing::Test {
  QWidget parent;
  TExtTrackBar* bar = new TExtTrackBar(&parent);
  std::vector<Seen> seen;

  void SetUp() override {
    parent.resize(240, 40);
    bar->setGeometry(10, 5, 220, 24);
    bar->setRange(0, 100);
    bar->OnMouseDown = [this](TExtTrackBar* s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int) {
      EXPECT_EQ(s, bar);
      EXPECT_EQ(b, Qt::LeftButton);
      seen.push_back({'d', s->value(), x});
    };
    bar->OnMouseMove = [this](TExtTrackBar* s, Qt::MouseButtons, Qt::KeyboardModifiers, int x, int) {
      seen.push_back({'m', s->value(), x});
    };
    bar->OnMouseUp = [this](TExtTrackBar* s, Qt::MouseButton, Qt::KeyboardModifiers, int x, int) {
      seen.push_back({'u', s->value(), x});
    };
    parent.show();
  }
};

using TrackBar = Fixture;

TEST(TrackBarDefaults, RangeThumbAndColour) {
  TExtTrackBar bar;
  EXPECT_EQ(bar.orientation(), Qt::Horizontal);
  EXPECT_EQ(bar.minimum(), 0);
  EXPECT_EQ(bar.maximum(), 10);
  EXPECT_EQ(bar.value(), 0);
  EXPECT_TRUE(bar.SliderVisible());
  EXPECT_TRUE(bar.ParentColor());
  bar.setRange(0, 0);
  EXPECT_EQ(bar.positionRatio(), 0.0);
  bar.setRange(0, 10);
  bar.setValue(5);
  EXPECT_DOUBLE_EQ(bar.positionRatio(), 0.5);
}

TEST_F(TrackBar, AClickWithoutDragReportsTheClickedPosition) {
  const int x = 165;
  const int expected = bar->valueAt(x);
  EXPECT_NEAR(expected, 75, 4);
  press(bar, x);
  release(bar, x);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].what, 'd');
  EXPECT_EQ(seen[0].value, expected);
  EXPECT_EQ(seen[0].x, x);
  EXPECT_EQ(seen[1].what, 'u');
  EXPECT_EQ(seen[1].value, expected);
  EXPECT_EQ(bar->value(), expected);
}

TEST_F(TrackBar, DragFollowsTheMouseAndALaterClickIsNotTheDragsTarget) {
  press(bar, 20);
  drag(bar, 100);
  drag(bar, 200);
  release(bar, 200);
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[1].what, 'm');
  EXPECT_EQ(seen[1].value, bar->valueAt(100));
  EXPECT_EQ(seen[3].value, bar->valueAt(200));
  seen.clear();
  press(bar, 50);
  release(bar, 50);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].value, bar->valueAt(50));
  EXPECT_LT(seen[1].value, 30);
  // Moves without a button are reported too and change nothing.
  seen.clear();
  mouse(bar, QEvent::MouseMove, 150, Qt::NoButton, Qt::NoButton);
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].value, bar->valueAt(50));
}

TEST_F(TrackBar, OnResizeOncePerSizeChange) {
  int calls = 0;
  bar->OnResize = [&](TExtTrackBar* s) {
    EXPECT_EQ(s, bar);
    ++calls;
  };
  bar->resize(180, 24);
  EXPECT_EQ(calls, 1);
  bar->resize(180, 24);
  EXPECT_EQ(calls, 1);
  bar->move(0, 0);
  EXPECT_EQ(calls, 1);
  bar->resize(200, 20);
  EXPECT_EQ(calls, 2);
}

TEST_F(TrackBar, OwnColourSurvivesParentAndSystemColourChanges) {
  const QColor own(200, 30, 40);
  bar->setColor(own);
  EXPECT_FALSE(bar->ParentColor());
  QPalette pp = parent.palette();
  pp.setColor(QPalette::Window, QColor(0, 0, 255));
  parent.setPalette(pp);
  EXPECT_EQ(bar->Color(), own);
  EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), own);

  const QPalette saved = QApplication::palette();
  QPalette ap = saved;
  ap.setColor(QPalette::Window, QColor(0, 255, 0));
  QApplication::setPalette(ap);
  EXPECT_EQ(bar->Color(), own);
  EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), own);
  QApplication::setPalette(saved);

  // Back to the parent's colour.
  bar->setParentColor(true);
  EXPECT_EQ(bar->Color(), QColor(0, 0, 255));
  EXPECT_EQ(bar->grab().toImage().pixelColor(1, 1), QColor(0, 0, 255));
}

TEST_F(TrackBar, HiddenThumbAndShowingItAgain) {
  bar->setColor(Qt::white);
  bar->setValue(50);
  const QImage withThumb = bar->grab().toImage();
  bar->setSliderVisible(false);
  EXPECT_FALSE(bar->SliderVisible());
  const QImage without = bar->grab().toImage();
  EXPECT_NE(withThumb, without);
  bar->setSliderVisible(true);
  EXPECT_EQ(bar->grab().toImage(), withThumb);

  // Created hidden, then switched on.
  TExtTrackBar other(&parent);
  other.setSliderVisible(false);
  other.setGeometry(bar->geometry());
  other.setRange(0, 100);
  other.setValue(50);
  other.setColor(Qt::white);
  other.show();
  EXPECT_EQ(other.grab().toImage(), without);
  other.setSliderVisible(true);
  EXPECT_EQ(other.grab().toImage(), withThumb);
}

}  // namespace
