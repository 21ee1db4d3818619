// The main timer's tick and the jumps, on a scripted player.
#include <gtest/gtest.h>

#include <map>

#include "core/maintimer.h"
#include "core/navigation.h"
#include "support/lessonbuilder.h"

namespace {

using tl::ttime;

// Three cues: 1.0-2.0 s, 3.0-4.0 s, 4.0-5.0 s (the last two touch).
tl::Lesson threeCues() {
  tl::Lesson L = tl::test::LessonBuilder()
                     .cue(10000, 20000, "One\r\n")
                     .cue(30000, 40000, "Two\r\n")
                     .cue(40000, 50000, "Three\r\n")
                     .letters(tl::test::Letters::None)
                     .build();
  L.flgtotal = 11;
  L.flgrest = 11;
  return L;
}

struct FakeView : tl::TimerView, tl::NavView {
  double pos = 0;
  bool havePos = true;
  bool playing = true;
  uint32_t now = 100000;
  int pauses = 0;
  std::vector<double> pausedAt;
  int newCues = 0;
  int gaps = 0;
  bool throwOnPos = false;
  std::map<int, std::string> status;
  std::vector<ttime> seeks;
  std::vector<std::string> logs;
  std::string failure;

  bool playerPosition(double& s) override {
    if (throwOnPos) throw std::runtime_error("player");
    s = pos;
    return havePos;
  }
  int playerState() override { return playing ? 3 : 2; }
  double playerDuration() override { return 60; }
  uint32_t tickCount() override { return now; }
  void setStatusText(int p, const std::string& t) override { status[p] = t; }
  int movieBarMax() override { return 1000; }
  void setMovieBarPos(int) override {}
  void setPointBarPos(int) override {}
  void repaintWave() override {}
  void repaintFocusBar() override {}
  void playpause() override {
    if (playing) {
      ++pauses;
      pausedAt.push_back(pos);
    }
    playing = !playing;
  }
  void gapReached() override { ++gaps; }
  void newCueDisplayed() override { ++newCues; }
  void tickFailed(const std::string& m) override { failure = m; }
  bool isForeground() override { return true; }
  void waveResetIfOutside(ttime) override {}
  void seekAndPlay(ttime t) override {
    seeks.push_back(t);
    pos = t / 10000.0;
    playing = true;
  }
  void logout(const std::string& s) override { logs.push_back(s); }
  void displayedCueChanged() override { ++newCues; }
};

// Plays from 0 to `until` seconds in 50 ms ticks, resuming after each pause.
void playThrough(tl::MainTimer& t, FakeView& v, double until) {
  tl::TimerInputs in;
  in.movopened = true;
  for (v.pos = 0; v.pos <= until; v.pos += 0.05) {
    v.now += 50;
    t.tick(in);
    if (!v.playing) v.playing = true;
  }
}

TEST(MainTimer, PausesInTheFirstTickAfterEachCueEnd) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::MainTimer t(L, O, v);
  playThrough(t, v, 5.5);
  // After cue 1 (gap), after cue 2 straight into cue 3 (two slots), after cue 3.
  ASSERT_EQ(v.pausedAt.size(), 3u);
  EXPECT_NEAR(v.pausedAt[0], 2.05, 1e-6);
  EXPECT_NEAR(v.pausedAt[1], 4.05, 1e-6);
  EXPECT_NEAR(v.pausedAt[2], 5.05, 1e-6);
  EXPECT_EQ(L.cursub, 5);
}

TEST(MainTimer, ClearedCuesPlayOnWithTheSkipSetting) {
  tl::Lesson L = threeCues();
  L.subclear[1] = 1;
  tl::Options O;
  FakeView v;
  tl::MainTimer t(L, O, v);
  playThrough(t, v, 5.5);
  ASSERT_EQ(v.pausedAt.size(), 2u);
  EXPECT_NEAR(v.pausedAt[0], 4.05, 1e-6);

  tl::Lesson L2 = threeCues();
  L2.subclear[1] = 1;
  O.notclearpause = false;
  FakeView v2;
  tl::MainTimer t2(L2, O, v2);
  playThrough(t2, v2, 5.5);
  EXPECT_EQ(v2.pausedAt.size(), 3u);
}

TEST(MainTimer, PositionAtAStartBelongsToTheSlotBefore) {
  tl::Lesson L = threeCues();
  tl::binarysearch(L, 10000);
  EXPECT_EQ(L.possub, 0);
  tl::binarysearch(L, 10001);
  EXPECT_EQ(L.possub, 1);
  tl::binarysearch(L, 999999);
  EXPECT_EQ(L.possub, 6);
  L.possub = 3;
  tl::binarysearch(L, 0);  // at or before subtime[0]: unchanged
  EXPECT_EQ(L.possub, 3);
  tl::Lesson empty;
  tl::binarysearch(empty, 5);  // reads nothing
  EXPECT_EQ(empty.possub, 0);
}

TEST(MainTimer, NoPositionYetIsNotAFailure) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  v.havePos = false;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  t.tick(in);
  EXPECT_FALSE(t.tmrstop);
  EXPECT_TRUE(v.failure.empty());
}

TEST(MainTimer, AFailureLatchesTheTimerOnce) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  v.throwOnPos = true;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  t.tick(in);
  EXPECT_TRUE(t.tmrstop);
  EXPECT_EQ(v.failure, tl::MainTimer::kFailureMessage);
  v.failure.clear();
  t.tick(in);
  EXPECT_TRUE(v.failure.empty());
}

TEST(MainTimer, HeldKeyAndLockKeepTheDisplayedCue) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  in.ppbtnheld = true;
  for (v.pos = 0; v.pos < 5.5; v.pos += 0.05) t.tick(in);
  EXPECT_EQ(v.pauses, 0);
  EXPECT_EQ(L.cursub, 0);
  in.ppbtnheld = false;
  L.sublocked = true;
  v.pos = 1.5;
  t.tick(in);
  EXPECT_EQ(L.cursub, 0);
}

TEST(MainTimer, AchievementWithoutLettersIsComplete) {
  EXPECT_EQ(tl::achievementText(0, 0), "達成:100%:0/0");
  EXPECT_EQ(tl::achievementText(3, 12), "達成:75%:9/12");
}

TEST(MainTimer, ForcedTickWhilePausedFollowsWithoutPlaying) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  v.playing = false;
  v.pos = 2.5;  // in the gap after cue 1
  L.forcetick = true;
  t.tick(in);
  EXPECT_FALSE(v.playing);
  EXPECT_EQ(L.cursub, 3);  // the cue after the gap
  EXPECT_FALSE(L.forcetick);
}

TEST(Navigation, ReplayOnceAndTwice) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  L.cursub = 3;
  L.repcount = 1;
  tl::beforesub(L, O, v);
  ASSERT_EQ(v.seeks.size(), 1u);
  EXPECT_EQ(v.seeks[0], 30000 - 10000);
  EXPECT_EQ(L.repcount, 2);
  EXPECT_EQ(L.startsub, 3);
  v.now += 500;  // second press within a second: the cue before
  tl::beforesub(L, O, v);
  ASSERT_EQ(v.seeks.size(), 2u);
  EXPECT_EQ(v.seeks[1], 0);  // 1.0 s - 1.0 s lead-in
  EXPECT_EQ(L.cursub, 1);
  EXPECT_EQ(L.repcount, 1);
  ASSERT_FALSE(v.logs.empty());
  EXPECT_EQ(v.logs.back(), "00:00:00");
}

TEST(Navigation, LeadInBeforeTheStartOfTheFileStartsAtZero) {
  tl::Lesson L = threeCues();
  L.subtime[1] = 3000;  // first cue at 0.3 s
  tl::Options O;
  FakeView v;
  L.cursub = 1;
  tl::beforesub(L, O, v);
  ASSERT_EQ(v.seeks.size(), 1u);
  EXPECT_EQ(v.seeks[0], 0);
}

TEST(Navigation, NextSentence) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::nextsub(L, O, v);  // nothing displayed yet: the first cue from its exact start
  ASSERT_EQ(v.seeks.size(), 1u);
  EXPECT_EQ(v.seeks[0], 10000);
  L.cursub = 1;
  O.nextsubplus = false;
  tl::nextsub(L, O, v);
  EXPECT_EQ(v.seeks.back(), 30000);
  EXPECT_EQ(L.cursub, 3);
  EXPECT_EQ(L.repcount, 0);
  L.cursub = 5;  // the last cue: nothing
  tl::nextsub(L, O, v);
  EXPECT_EQ(v.seeks.size(), 2u);
  EXPECT_FALSE(tl::posplay(L, v, 0, -1));
}

}  // namespace
