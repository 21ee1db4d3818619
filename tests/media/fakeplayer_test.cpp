#include "platform/media/fakeplayer.h"
#include "platform/media/videowidget.h"

#include <gtest/gtest.h>

namespace tl {

TEST(FakePlayer, OpenPlayPauseStop) {
  FakePlayer p;
  std::vector<int> opens;
  int statusChanges = 0;
  p.onOpenStateChange = [&](int s) { opens.push_back(s); };
  p.onStatusChange = [&] { ++statusChanges; };
  double pos = -1;
  EXPECT_EQ(p.playState(), ps_undefined);
  EXPECT_FALSE(p.currentPosition(pos));

  p.setURL("/v/a.mp4");
  EXPECT_EQ(p.URL(), "/v/a.mp4");
  EXPECT_EQ(p.playState(), ps_transitioning);
  EXPECT_EQ(p.status(), "メディアを開いています...");
  EXPECT_FALSE(p.currentPosition(pos));
  p.completeOpen(320, 240, 65);
  EXPECT_EQ(opens, (std::vector<int>{os_openingunknown, os_mediaopen}));
  EXPECT_EQ(p.playState(), ps_ready);
  EXPECT_EQ(p.imageSourceWidth(), 320);
  EXPECT_EQ(p.imageSourceHeight(), 240);
  EXPECT_EQ(p.durationString(), "01:05");

  p.play();
  EXPECT_EQ(p.playState(), ps_playing);
  EXPECT_EQ(p.status(), "再生中");
  p.advance(2.5);
  ASSERT_TRUE(p.currentPosition(pos));
  EXPECT_DOUBLE_EQ(pos, 2.5);
  p.pause();
  EXPECT_EQ(p.playState(), ps_paused);
  p.advance(1);  // time does not move while paused
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 2.5);
  p.stop();
  EXPECT_EQ(p.playState(), ps_stopped);
  EXPECT_EQ(p.openState(), os_mediaopen);
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 0);
  EXPECT_GE(statusChanges, 5);
  EXPECT_EQ(p.log(), (std::vector<std::string>{"setURL /v/a.mp4", "play", "pause", "stop"}));
}

TEST(FakePlayer, PlayAndSeekAskedWhileOpeningApplyOnOpen) {
  FakePlayer p;
  p.setURL("a.mp4");
  p.setCurrentPosition(12.5);
  p.play();
  EXPECT_EQ(p.playState(), ps_transitioning);
  p.completeOpen(0, 0, 30);
  EXPECT_EQ(p.playState(), ps_playing);
  double pos = 0;
  ASSERT_TRUE(p.currentPosition(pos));
  EXPECT_DOUBLE_EQ(pos, 12.5);
  EXPECT_EQ(p.log()[1], "setCurrentPosition 12.5");
}

TEST(FakePlayer, RateAndEndOfMedium) {
  FakePlayer p;
  p.setURL("a.mp4");
  p.completeOpen(320, 240, 10);
  p.setRate(2);
  p.play();
  p.advance(3);
  double pos = 0;
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 6);
  p.advance(3);
  EXPECT_EQ(p.playState(), ps_ended);
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 10);
  p.play();  // plays again from the start
  EXPECT_EQ(p.playState(), ps_playing);
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 0);
  EXPECT_THROW(p.setRate(0), MediaError);
  p.setVolume(135);
  EXPECT_EQ(p.volume(), 100);
}

TEST(FakePlayer, SlowPlayTransitionsUntilSettled) {
  FakePlayer p;
  p.setURL("a.mp4");
  p.completeOpen(320, 240, 10);
  p.setSlowPlay(true);
  p.play();
  EXPECT_EQ(p.playState(), ps_transitioning);
  p.advance(1);
  double pos = -1;
  p.currentPosition(pos);
  EXPECT_DOUBLE_EQ(pos, 0);
  p.settle();
  EXPECT_EQ(p.playState(), ps_playing);
}

TEST(FakePlayer, FailuresAreScripted) {
  FakePlayer p;
  p.setURL("missing.mp4");
  int lastOpen = -1;
  p.onOpenStateChange = [&](int s) { lastOpen = s; };
  p.failOpen("Cannot open file");
  EXPECT_EQ(lastOpen, os_closed);
  EXPECT_EQ(p.playState(), ps_undefined);
  EXPECT_EQ(p.status(), "Cannot open file");
  EXPECT_EQ(p.lastError(), "Cannot open file");

  p.setURL("a.mp4");
  p.completeOpen(320, 240, 10);
  EXPECT_EQ(p.lastError(), "");
  p.failNext("play");
  EXPECT_THROW(p.play(), MediaError);
  EXPECT_NO_THROW(p.play());  // only the next call fails
  p.failNext("currentPosition");
  double pos;
  EXPECT_THROW(p.currentPosition(pos), MediaError);
  EXPECT_TRUE(p.currentPosition(pos));
  p.setPositionAvailable(false);
  EXPECT_FALSE(p.currentPosition(pos));

  p.setOpenError("no such protocol");
  EXPECT_THROW(p.setURL("zzz://x"), MediaError);
  EXPECT_THROW(p.dvdTopMenu(), MediaError);
  EXPECT_THROW(p.dvdTitleMenu(), MediaError);
}

TEST(FakePlayer, CdTracksAndChapters) {
  FakePlayer p;
  EXPECT_EQ(p.cdTracks("/dev/sr0"), (std::vector<std::string>{"cdda://"}));
  p.setCdTracks({"cdda://1", "cdda://2"});
  p.playList(p.cdTracks("/dev/sr0"));
  EXPECT_EQ(p.URL(), "cdda://1");
  p.completeOpen(0, 0, 300);
  EXPECT_EQ(p.playState(), ps_playing);
  p.setChapters(2);
  p.next();
  p.next();
  EXPECT_EQ(p.chapter(), 1);
  p.previous();
  EXPECT_EQ(p.chapter(), 0);
}

TEST(FakePlayer, VideoWidgetFollowsThePicture) {
  FakePlayer p;
  auto* w = static_cast<VideoWidget*>(p.videoWidget());
  ASSERT_NE(w, nullptr);
  w->resize(640, 240);
  p.setURL("a.mp4");
  p.completeOpen(320, 240, 10);
  EXPECT_EQ(w->videoRect(), QRect(160, 0, 320, 240));
  p.setURL("b.mp3");
  p.completeOpen(0, 0, 10);
  EXPECT_TRUE(w->videoRect().isEmpty());
}

}  // namespace tl
