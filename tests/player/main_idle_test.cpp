// While paused the main timer rests; playback, a forced tick and typing
// bring the ticks back.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>

#include "support/mainaccess.h"
#include "mainwindow_fixture.h"

namespace {

using A = MainTestAccess;

const char* kCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n";

class IdleTimerTest : public tltest::MainWindowFixture {};

TEST_F(IdleTimerTest, PausedTimerRestsUntilPlaybackOrTyping) {
  load(kCues);
  openMovie();
  if (player->playState() != tl::ps_playing) w->playpause();
  ASSERT_EQ(player->playState(), tl::ps_playing);
  player->advance(0.5);  // a real position: the recording starts
  now += 2000;
  w->Timer1Timer();
  EXPECT_TRUE(A::Timer1(*w)->isActive());  // playing: the poll goes on
  w->playpause();
  ASSERT_NE(player->playState(), tl::ps_playing);
  w->Timer1Timer();
  EXPECT_FALSE(A::Timer1(*w)->isActive());  // paused, nothing pending
  // Typing while paused still refreshes the status panels.
  L().hintpoint = 7;
  A::FormKeyPress(*w, QChar('x'));
  EXPECT_EQ(w->statusText(2).toStdString(), "ﾋﾝﾄ:7/20");
  EXPECT_FALSE(A::Timer1(*w)->isActive());
  // Playing again wakes it.
  w->playpause();
  EXPECT_TRUE(A::Timer1(*w)->isActive());
}

TEST_F(IdleTimerTest, ForcedTickWhileRestingShowsTheCueAtTheNewPosition) {
  load(kCues);
  openMovie();
  player->advance(0.5);
  w->Timer1Timer();
  if (player->playState() == tl::ps_playing) w->playpause();
  now += 2000;
  w->Timer1Timer();
  ASSERT_FALSE(A::Timer1(*w)->isActive());
  player->setCurrentPosition(3.5);
  A::forcedTick(*w);
  EXPECT_EQ(L().cursub, 3);
}

}  // namespace
