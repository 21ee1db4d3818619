// The main timer driving real libmpv (null audio) on the generated clip: the
// pause after a cue lands after that cue's end.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "core/maintimer.h"
#include "mediatest.h"
#include "platform/media/mpvplayer.h"
#include "support/lessonbuilder.h"

namespace {

struct MpvView : tl::TimerView {
  explicit MpvView(tl::MediaPlayer& p) : player(p) { clock.start(); }
  tl::MediaPlayer& player;
  QElapsedTimer clock;
  std::vector<double> pausedAt;

  bool playerPosition(double& s) override { return player.currentPosition(s); }
  int playerState() override { return player.playState(); }
  double playerDuration() override { return player.duration(); }
  uint32_t tickCount() override { return (uint32_t)clock.elapsed() + 100000; }
  void setStatusText(int, const std::string&) override {}
  void mediumPositionReported(tl::ttime, double) override {}
  void tickPassed() override {}
  void lessonPositionReported(tl::ttime, bool) override {}
  void playpause() override {
    if (player.playState() == tl::ps_playing) {
      player.pause();
      double p = 0;
      player.currentPosition(p);
      pausedAt.push_back(p);
    } else {
      player.play();
    }
  }
  void gapReached() override {}
  void newCueDisplayed() override {}
  void tickFailed(const std::string& m) override { ADD_FAILURE() << m; }
};

TEST(AutoPause, PauseLandsAfterTheCueEndOnRealPlayback) {
  tl::MpvPlayer player(true);
  player.setURL(tl::test::clipPath());
  ASSERT_TRUE(tl::test::waitFor([&] { return player.openState() == tl::os_mediaopen; }));

  tl::Lesson L = tl::test::LessonBuilder()
                     .cue(5000, 12000, "One\r\n")
                     .cue(20000, 30000, "Two\r\n")
                     .letters(tl::test::Letters::None)
                     .build();
  tl::Options O;
  MpvView view(player);
  tl::MainTimer timer(L, O, view);
  tl::TimerInputs in;
  in.movopened = true;

  QTimer t;
  t.setInterval(50);
  QObject::connect(&t, &QTimer::timeout, [&] { timer.tick(in); });
  t.start();
  player.play();
  const double ends[] = {1.2, 3.0};
  for (size_t i = 0; i < 2; ++i) {
    ASSERT_TRUE(tl::test::waitFor([&] { return view.pausedAt.size() > i; }, 8000)) << "no pause " << i;
    const double over = view.pausedAt[i] - ends[i];
    std::printf("pause %zu: %.3f s after the cue end\n", i + 1, over);
    EXPECT_GE(over, -0.045);  // the position moves on the video's 40 ms frame grid
    EXPECT_LT(over, 0.5);
    player.play();
  }
  t.stop();
}

}  // namespace
