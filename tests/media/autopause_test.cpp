// The main timer driving real libmpv (null audio) on the generated clip: the
// pause after a cue lands after that cue's end.
#include <gtest/gtest.h>

#include <QTimer>
#include <cstdio>

#include "core/maintimer.h"
#include "mediatest.h"
#include "platform/media/mpvplayer.h"
#include "support/lessonbuilder.h"

namespace {


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
  tl::test::PlayerTimerView view(player);
  view.onFailure = [](const std::string& m) { ADD_FAILURE() << m; };
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
