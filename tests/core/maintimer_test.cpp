// The main timer's tick and the jumps, on a scripted player.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <utility>

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
  void mediumPositionReported(tl::ttime, double) override {}
  void tickPassed() override {}
  void lessonPositionReported(tl::ttime, bool) override {}
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
  void jumpComing(ttime) override {}
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
  // Again in that gap, the cue after it already displayed: it starts over,
  // with the repeat count at 1 and the cursor back on its first letter.
  L.repcount = 4;
  const int before = v.newCues;
  L.forcetick = true;
  t.tick(in);
  EXPECT_EQ(L.cursub, 3);
  EXPECT_EQ(L.repcount, 1);
  EXPECT_EQ(v.newCues, before + 1);
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

// ---- the precise pause at the cue end -------------------------------------

// A virtual wall clock: the player's position follows it at the rate (shown
// on a frame grid when frameSec > 0), the poll comes every 50 ms and the
// one-shot timer at its due time.  After a pause play resumes at the next poll.
struct Clocked {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::MainTimer t{L, O, v};
  tl::TimerInputs in;
  bool precise = true;
  double rate = 1, frameSec = 0;
  double clockMs = 0, anchorMs = 0, anchorPos = 0;  // the position is anchorPos at anchorMs
  double shotAtMs = -1;
  std::vector<std::pair<double, std::function<void()>>> events;  // at clock ms, once

  Clocked() { in.movopened = true; }
  double inner() const { return v.playing ? anchorPos + (clockMs - anchorMs) / 1000.0 * rate : anchorPos; }
  void show() {
    const double p = inner();
    v.pos = frameSec > 0 ? std::floor(p / frameSec + 1e-9) * frameSec : p;
  }
  void reanchor() {
    anchorPos = inner();
    anchorMs = clockMs;
  }
  void follow() {
    if (!precise) return;
    show();
    const tl::EndShot s = t.endShot(in, v.playing, v.pos, rate, 50);
    shotAtMs = s.kind == tl::EndShot::Arm ? clockMs + s.delayMs : -1;
    if (s.kind == tl::EndShot::Pause) pauseNow([&] { t.pauseAtEnd(in, s.end); });
  }
  template <class F>
  void pauseNow(F f) {
    reanchor();
    const bool was = v.playing;
    f();
    if (was && !v.playing) anchorMs = clockMs;  // frozen at anchorPos
  }
  void run(double untilSec) {
    double nextPoll = 50;
    while (inner() < untilSec) {
      double next = nextPoll;
      if (shotAtMs >= 0 && shotAtMs < next) next = shotAtMs;
      for (auto& e : events)
        if (e.second && e.first < next) next = std::max(e.first, clockMs);
      clockMs = next;
      for (auto& e : events)
        if (e.second && e.first <= clockMs) std::exchange(e.second, nullptr)();
      if (shotAtMs >= 0 && clockMs >= shotAtMs) {
        shotAtMs = -1;
        follow();
      }
      if (clockMs >= nextPoll) {
        nextPoll += 50;
        if (!v.playing) {
          v.playing = true;
          anchorMs = clockMs;
        }
        v.now = 100000 + (uint32_t)clockMs;
        show();
        pauseNow([&] { t.tick(in); });
        follow();
      }
    }
  }
};

const double kEnds[] = {2.0, 4.0, 5.0};

TEST(EndShot, PausesAtTheCueEndWhereThePollIsLate) {
  for (double rate : {1.0, 0.5, 1.5}) {
    Clocked poll, shot;
    poll.precise = false;
    poll.rate = shot.rate = rate;
    poll.run(5.5);
    shot.run(5.5);
    ASSERT_EQ(shot.v.pausedAt.size(), 3u) << rate;
    ASSERT_EQ(poll.v.pausedAt.size(), 3u) << rate;
    for (int i = 0; i < 3; ++i) {
      EXPECT_GE(shot.v.pausedAt[i], kEnds[i] - 1e-9) << rate << " cue " << i;
      EXPECT_LE(shot.v.pausedAt[i], kEnds[i] + 0.0011 * rate + 1e-9) << rate << " cue " << i;
    }
    // The cue after the touching end is displayed and paused once.
    EXPECT_EQ(shot.L.cursub, 5);
    // The poll alone comes up to one interval late.
    EXPECT_GT(poll.v.pausedAt[0] - kEnds[0], 0.02) << rate;
  }
}

TEST(EndShot, OnAFrameGridThePauseLandsWithinOneFrame) {
  Clocked c;
  c.frameSec = 0.04;
  c.L.subtime = {0, 10000, 12100, 30000, 40000, 40000, 50100};
  c.run(5.5);
  const double ends[] = {1.21, 4.0, 5.01};
  ASSERT_EQ(c.v.pausedAt.size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(c.v.pausedAt[i], ends[i] - 0.0011) << i;
    EXPECT_LE(c.v.pausedAt[i], ends[i] + 0.04 + 1e-9) << i;
  }
}

TEST(EndShot, ASeekOrARateChangeBeforeTheShotIsSafe) {
  // Armed at the 1950 ms poll for the end at 2.0 s; a jump back to 0.5 s
  // (as posplay does) before it fires: no pause then, one at the end later.
  Clocked seek;
  seek.events.push_back({1960, [&] {
                           seek.reanchor();
                           seek.anchorPos = 0.5;
                           seek.L.justseeked = true;
                         }});
  seek.run(2.2);
  ASSERT_EQ(seek.v.pausedAt.size(), 1u);
  EXPECT_NEAR(seek.v.pausedAt[0], 2.0, 0.0011);
  EXPECT_GT(seek.clockMs, 3400);

  // Slowed to half speed after arming: the shot finds 20 ms left (40 ms of
  // wall clock) and arms again instead of pausing early.
  Clocked slow;
  slow.events.push_back({1960, [&] {
                           slow.reanchor();
                           slow.rate = 0.5;
                         }});
  slow.run(2.1);
  ASSERT_EQ(slow.v.pausedAt.size(), 1u);
  EXPECT_GE(slow.v.pausedAt[0], 2.0 - 1e-9);
  EXPECT_LE(slow.v.pausedAt[0], 2.0011);
}

TEST(EndShot, APauseAHairBeforeTheEndHappensOnce) {
  tl::Lesson L = threeCues();
  tl::Options O;
  FakeView v;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  v.pos = 1.5;
  t.tick(in);
  ASSERT_EQ(L.cursub, 1);
  v.pos = 1.9995;  // the player stopped half a millisecond before the end
  const tl::EndShot s = t.endShot(in, true, v.pos, 1.0, 50);
  ASSERT_EQ(s.kind, tl::EndShot::Pause);
  t.pauseAtEnd(in, s.end);
  ASSERT_EQ(v.pauses, 1);
  EXPECT_EQ(L.possub, 2);
  // Resumed: the position passes the end again without a second pause.
  v.playing = true;
  for (double p : {1.9996, 2.0, 2.05, 2.5}) {
    v.pos = p;
    v.now += 50;
    t.tick(in);
    EXPECT_EQ(t.endShot(in, true, p, 1.0, 50).kind, tl::EndShot::None) << p;
  }
  EXPECT_EQ(v.pauses, 1);
  EXPECT_EQ(L.possub, 2);
  // Nothing to arm when pausing is off, while a key is held or when the cue
  // was cleared.
  tl::Lesson M = threeCues();
  FakeView w;
  tl::MainTimer u(M, O, w);
  w.pos = 1.98;
  u.tick(in);
  EXPECT_EQ(u.endShot(in, true, 1.98, 1.0, 50).kind, tl::EndShot::Arm);
  EXPECT_EQ(u.endShot(in, true, 1.98, 1.0, 50).delayMs, 20);
  EXPECT_EQ(u.endShot(in, true, 1.90, 1.0, 50).kind, tl::EndShot::None);
  EXPECT_EQ(u.endShot(in, false, 1.98, 1.0, 50).kind, tl::EndShot::None);
  tl::TimerInputs held = in;
  held.ppbtnheld = true;
  EXPECT_EQ(u.endShot(held, true, 1.98, 1.0, 50).kind, tl::EndShot::None);
  M.subclear[1] = 1;
  EXPECT_EQ(u.endShot(in, true, 1.98, 1.0, 50).kind, tl::EndShot::None);
}
