// The playback controller on its own, with the scripted player and no window.
#include <gtest/gtest.h>

#include <QTimer>
#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "platform/media/fakeplayer.h"
#include "player/lessonmodel.h"
#include "player/playback/playback.h"
#include "support/lessonbuilder.h"
#include "support/waituntil.h"

namespace {

class Playback : public ::testing::Test {
 protected:
  void SetUp() override {
    model.lesson() = tl::test::LessonBuilder()
                         .cue(10000, 20000, "One\r\n")
                         .cue(30000, 40000, "Two\r\n")
                         .letters(tl::test::Letters::Hidden)
                         .build();
    player.onOpenStateChange = [this](int s) { pb.openStateChanged(s); };
    QObject::connect(&pb, &PlaybackController::statusText,
                     [this](int panel, const std::string& t) { status[panel] = t; });
    QObject::connect(&pb, &PlaybackController::openFailed,
                     [this](const QString& t) { failures.push_back(t.toStdString()); });
  }
  // A movie of `duration` seconds, open and playing, with the poll running.
  void openPlaying(double duration) {
    pb.setMedium(true, false);
    player.setURL("/films/a.mp4");
    player.completeOpen(640, 360, duration);
    pb.firstPlay();
    pb.startPolling();
    ASSERT_EQ(player.playState(), tl::ps_playing);
  }
  bool logged(const std::string& call) const {
    return std::find(player.log().begin(), player.log().end(), call) != player.log().end();
  }

  LessonModel model;
  tl::FakePlayer player;
  uint32_t now = 100000;
  PlaybackController pb{model, player, [this] { return now; }};
  std::map<int, std::string> status;
  std::vector<std::string> failures;
};

// The toggle returns at once; the pause flag stays until the player really
// plays (or the bound passes), and a second toggle ends the wait.
TEST_F(Playback, PlayWaitIsAContinuationThatEndsWhenThePlayerPlays) {
  openPlaying(60);
  pb.playpause();
  ASSERT_EQ(player.playState(), tl::ps_paused);
  ASSERT_TRUE(model.lesson().playpaused);
  player.setSlowPlay(true);
  pb.playpause();
  EXPECT_NE(player.playState(), tl::ps_playing);
  EXPECT_TRUE(model.lesson().playpaused);
  player.settle();
  EXPECT_TRUE(tl::test::waitUntil([this] { return !model.lesson().playpaused; }, 250));

  pb.playpause();  // pause, then play with a wait that a pause cuts short
  pb.playpause();
  player.settle();
  pb.playpause();
  EXPECT_TRUE(model.lesson().playpaused);
  tl::test::pump(400);
  EXPECT_TRUE(model.lesson().playpaused);  // the old wait did not end the new pause
}

// With a poll of a second the pause at the cue's end comes from the precise
// one-shot timer, well before the next poll.
TEST_F(Playback, PausesAtTheCueEndBetweenTwoPolls) {
  model.options().tinterval = 1000;
  openPlaying(60);
  player.setPosition(1.5);
  pb.tick();
  ASSERT_EQ(model.lesson().cursub, 1);
  ASSERT_TRUE(pb.timer()->isActive());
  player.setPosition(2.0);  // the fake does not move by itself
  EXPECT_TRUE(tl::test::waitUntil([this] { return player.playState() == tl::ps_paused; }, 800));
  EXPECT_TRUE(model.lesson().playpaused);
}

TEST_F(Playback, AMediumThatCannotOpenIsClosedAndAnnounced) {
  pb.setMedium(true, false);
  player.setURL("/films/broken.mp4");
  pb.armRecording();
  pb.startPolling();
  bool recording = false;
  QObject::connect(&pb, &PlaybackController::recordingDue, [&] { recording = true; });
  player.failOpen("unrecognized file format");
  EXPECT_FALSE(pb.mediumOpen());
  EXPECT_FALSE(pb.timer()->isActive());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("/films/broken.mp4"), std::string::npos);
  pb.tick();
  EXPECT_FALSE(recording);
  // A seek bar does nothing without a medium.
  tl::ttime t = -1;
  pb.movieBarPressed();
  EXPECT_FALSE(pb.seekdrag());
  pb.pointBarPressed();
  EXPECT_FALSE(pb.pointBarReleased(30, t));
  EXPECT_FALSE(pb.seekdrag());
}

// A drive's disc is opened as a DVD alone (no movie before it): its failure
// is announced and stops the poll as a file's does.
TEST_F(Playback, ADiscThatCannotOpenIsAnnouncedToo) {
  pb.setMedium(false, true);
  player.setURL("wmpdvd:///dev/sr0");
  pb.startPolling();
  player.failOpen("no disc");
  EXPECT_FALSE(pb.mediumOpen());
  EXPECT_FALSE(pb.timer()->isActive());
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_NE(failures[0].find("wmpdvd:///dev/sr0"), std::string::npos);
}

TEST_F(Playback, TheMovieBarMapsTheWholeMedium) {
  openPlaying(200);
  EXPECT_EQ(PlaybackController::movieBarValue(1000, 500000, 200), 250);
  pb.movieBarPressed();
  ASSERT_TRUE(pb.seekdrag());
  pb.movieBarMoved(0.25);
  EXPECT_EQ(status[4], "00:00:50");
  tl::ttime t = -1;
  ASSERT_TRUE(pb.movieBarReleased(0.25, t));
  EXPECT_EQ(t, 500000);
  EXPECT_FALSE(pb.seekdrag());
  player.clearLog();
  pb.seekTo(t);
  EXPECT_TRUE(logged("setCurrentPosition 50"));
  EXPECT_DOUBLE_EQ(player.position(), 50.0);
}

}  // namespace
