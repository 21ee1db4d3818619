#include "mediatest.h"
#include "platform/media/mpvplayer.h"

#include <QElapsedTimer>
#include <QImage>
#include <QMouseEvent>
#include <QCoreApplication>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>

namespace tl {
namespace {

using test::clipPath;
using test::spin;
using test::waitFor;

double positionOf(const MediaPlayer& p) {
  double s = -1;
  return p.currentPosition(s) ? s : -1;
}

// A player with the clip open (paused at 0, never played).
class MpvClip : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string& clip = clipPath();
    player = std::make_unique<MpvPlayer>(true);
    player->onOpenStateChange = [this](int s) { opens.push_back(s); };
    QElapsedTimer t;
    t.start();
    player->setURL(clip);
    ASSERT_TRUE(waitFor([&] { return player->openState() == os_mediaopen; }));
    openMs = t.elapsed();
  }
  // Waits until a seek has landed and mpv itself reports the position.
  void settle() {
    spin(150);
  }
  std::unique_ptr<MpvPlayer> player;
  std::vector<int> opens;
  qint64 openMs = 0;
};

TEST_F(MpvClip, OpensWithSizeAndDuration) {
  std::printf("[ open time ] %lld ms\n", static_cast<long long>(openMs));
  EXPECT_EQ(opens, (std::vector<int>{os_openingunknown, os_mediaopen}));
  EXPECT_EQ(player->URL(), clipPath());
  EXPECT_EQ(player->imageSourceWidth(), 320);
  EXPECT_EQ(player->imageSourceHeight(), 240);
  EXPECT_NEAR(player->duration(), 5.0, 0.1);
  EXPECT_EQ(player->durationString(), "00:05");
  EXPECT_EQ(player->playState(), ps_ready);
  EXPECT_EQ(player->status(), "準備完了");
  EXPECT_EQ(player->lastError(), "");
  EXPECT_NEAR(positionOf(*player), 0.0, 0.05);
}

TEST_F(MpvClip, PlayPauseStop) {
  int statusChanges = 0;
  player->onStatusChange = [&] { ++statusChanges; };
  player->play();
  EXPECT_EQ(player->playState(), ps_playing);
  EXPECT_EQ(player->status(), "再生中");
  ASSERT_TRUE(waitFor([&] { return positionOf(*player) > 0.4; }, 3000));

  player->pause();
  EXPECT_EQ(player->playState(), ps_paused);
  EXPECT_EQ(player->status(), "一時停止");
  spin(100);
  const double held = positionOf(*player);
  spin(200);
  EXPECT_DOUBLE_EQ(positionOf(*player), held);

  player->stop();
  EXPECT_EQ(player->playState(), ps_stopped);
  EXPECT_EQ(player->status(), "停止");
  EXPECT_EQ(player->openState(), os_mediaopen);
  EXPECT_EQ(positionOf(*player), 0.0);
  settle();
  EXPECT_NEAR(positionOf(*player), 0.0, 0.041);  // the first frame
  EXPECT_EQ(player->URL(), clipPath());
  player->play();
  EXPECT_EQ(player->playState(), ps_playing);
  EXPECT_GE(statusChanges, 4);
}

TEST_F(MpvClip, ExactSeekLandsOnTheFrameGrid) {
  double worst = 0;
  for (double target : {2.3, 0.52, 4.1, 1.0}) {
    player->setCurrentPosition(target);
    // Until the seek lands the target itself is reported.
    EXPECT_DOUBLE_EQ(positionOf(*player), target);
    settle();
    const double got = positionOf(*player);
    worst = std::max(worst, std::fabs(got - target));
    EXPECT_NEAR(got, target, 0.041) << "target " << target;
  }
  std::printf("[ seek error ] worst %.1f ms (25 fps clip)\n", worst * 1000);
  EXPECT_EQ(player->playState(), ps_ready);  // seeking does not start playback
}

TEST_F(MpvClip, RateAndVolume) {
  player->setRate(2.0);
  EXPECT_DOUBLE_EQ(player->rate(), 2.0);
  player->play();
  spin(700);
  player->pause();
  spin(50);
  // At double speed 0.7 s move the position by about 1.4 s (less the start).
  EXPECT_GT(positionOf(*player), 0.85);
  EXPECT_THROW(player->setRate(0), MediaError);

  player->setVolume(35);
  EXPECT_EQ(player->volume(), 35);
  player->setVolume(150);
  EXPECT_EQ(player->volume(), 100);
  player->setVolume(-4);
  EXPECT_EQ(player->volume(), 0);
}

TEST_F(MpvClip, EndKeepsTheLastFrameAndPlayStartsOver) {
  player->setCurrentPosition(4.7);
  player->play();
  ASSERT_TRUE(waitFor([&] { return player->playState() == ps_ended; }, 3000));
  EXPECT_EQ(player->openState(), os_mediaopen);
  EXPECT_GT(positionOf(*player), 4.8);
  player->play();
  EXPECT_EQ(player->playState(), ps_playing);
  EXPECT_LT(positionOf(*player), 0.5);
}

TEST_F(MpvClip, VideoWidgetShowsTheFrameOffscreen) {
  VideoWidget* w = player->videoView();
  ASSERT_NE(w, nullptr);
  QRect changed;
  QObject::connect(w, &VideoWidget::videoRectChanged, [&](QRect r) { changed = r; });
  w->resize(640, 240);
  w->show();
  ASSERT_TRUE(waitFor([&] { return w->videoRect() == QRect(160, 0, 320, 240); }));
  EXPECT_EQ(changed, QRect(160, 0, 320, 240));
  player->play();
  const int before = player->framesShown();
  ASSERT_TRUE(waitFor([&] { return player->framesShown() >= before + 3; }, 3000));
  player->pause();
  spin(50);

  QImage img = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(img.size(), QSize(640, 240));
  // Black bands left and right, picture (colour bars of the test source) between.
  EXPECT_EQ(img.pixel(10, 120) & 0xFFFFFF, 0u);
  EXPECT_EQ(img.pixel(630, 120) & 0xFFFFFF, 0u);
  int lit = 0;
  for (int y = 0; y < 240; y += 8)
    for (int x = 160; x < 480; x += 8) lit += (img.pixel(x, y) & 0xFFFFFF) != 0;
  EXPECT_GT(lit, 500);
  // The frame is in the window's own pixel layout, fully opaque.
  EXPECT_EQ(w->frame().format(), QImage::Format_RGB32);
  const QImage& f = w->frame();
  int notOpaque = 0;
  for (int y = 0; y < f.height(); y += 7)
    for (int x = 0; x < f.width(); x += 7)
      notOpaque += (reinterpret_cast<const uint32_t*>(f.constScanLine(y))[x] >> 24) != 0xFF;
  EXPECT_EQ(notOpaque, 0);
  // mpv's fast path wants the buffer and its lines on 64-byte boundaries.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(f.constBits()) % 64, 0u);
  EXPECT_EQ(f.bytesPerLine() % 64, 0);

  // A resize while paused draws the held frame at the new size.
  w->resize(320, 480);
  ASSERT_TRUE(waitFor([&] { return w->videoRect() == QRect(0, 120, 320, 240); }));
  ASSERT_TRUE(waitFor([&] { return w->frame().size() == QSize(320, 240); }));
}

TEST_F(MpvClip, ClicksReachOnClick) {
  std::vector<int> got;
  player->onClick = [&](int b, int s, int x, int y) { got = {b, s, x, y}; };
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 30), QPointF(40, 30), Qt::LeftButton,
                    Qt::LeftButton, Qt::ShiftModifier);
  QCoreApplication::sendEvent(player->videoWidget(), &press);
  EXPECT_EQ(got, (std::vector<int>{1, 1, 40, 30}));
}

TEST(MpvPlayer, SeekAndPlayAskedWhileOpeningApplyOnceOpen) {
  MpvPlayer p(true);
  p.setURL(clipPath());
  EXPECT_EQ(p.playState(), ps_transitioning);
  EXPECT_EQ(p.status(), "メディアを開いています...");
  double s;
  EXPECT_FALSE(p.currentPosition(s));
  p.setCurrentPosition(3.0);
  ASSERT_TRUE(waitFor([&] { return p.openState() == os_mediaopen; }));
  spin(150);
  EXPECT_NEAR(positionOf(p), 3.0, 0.041);
}

TEST(MpvPlayer, MissingFileFailsWithReason) {
  MpvPlayer p(true);
  std::vector<int> opens;
  p.onOpenStateChange = [&](int s) { opens.push_back(s); };
  p.setURL("/nonexistent/folder/clip.mkv");
  ASSERT_TRUE(waitFor([&] { return p.openState() == os_closed; }));
  EXPECT_EQ(opens, (std::vector<int>{os_openingunknown, os_closed}));
  EXPECT_NE(p.lastError().find("No such file"), std::string::npos) << p.lastError();
  EXPECT_EQ(p.status(), p.lastError());
  EXPECT_EQ(p.playState(), ps_undefined);
  double s;
  EXPECT_FALSE(p.currentPosition(s));
  EXPECT_NO_THROW(p.play());  // nothing open: nothing happens

  // The next medium opens normally and clears the error.
  p.setURL(clipPath());
  ASSERT_TRUE(waitFor([&] { return p.openState() == os_mediaopen; }));
  EXPECT_EQ(p.lastError(), "");
}

TEST(MpvPlayer, DvdMenusAndClose) {
  MpvPlayer p(true);
  EXPECT_THROW(p.dvdTopMenu(), MediaError);
  EXPECT_THROW(p.dvdTitleMenu(), MediaError);
  EXPECT_EQ(p.playState(), ps_undefined);
  p.setURL(clipPath());
  ASSERT_TRUE(waitFor([&] { return p.openState() == os_mediaopen; }));
  p.close();
  EXPECT_EQ(p.openState(), os_closed);
  EXPECT_EQ(p.playState(), ps_undefined);
  EXPECT_EQ(p.URL(), "");
  spin(100);
  EXPECT_EQ(p.playState(), ps_undefined);
}

}  // namespace
}  // namespace tl
