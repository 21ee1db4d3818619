// The carried position of a sound-only medium and of a picture, on readings
// with made-up wall times: mpv's value steps every 100 ms here, as with its
// null output, and every 40 ms on a 25 fps picture.
#include "platform/media/positionclock.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tl {

namespace {

// The value mpv reports at wall time w when playback started at wall 10 s
// from position p0, stepping every `step` seconds.
double stepped(double w, double p0 = 2.0, double step = 0.1, double rate = 1.0) {
  const double played = (w - 10.0) * rate;
  if (played <= 0) return p0;
  return p0 + step * rate * (double)(long)(played / (step * rate));
}

}  // namespace

TEST(PositionClock, CarriesThePositionBetweenStepsOnceTheSoundRuns) {
  PositionClock c;
  // Paused: the value as it is.
  EXPECT_DOUBLE_EQ(c.read(2.0, 9.0, 1.0, false), 2.0);
  // The play command; the sound server takes 0.7 s to start: no carrying
  // while the value has not moved, however long that takes.
  EXPECT_DOUBLE_EQ(c.read(2.0, 9.3, 1.0, true), 2.0);
  EXPECT_DOUBLE_EQ(c.read(2.0, 9.9, 1.0, true), 2.0);
  // The first step, read 30 ms late, then readings between the steps.
  EXPECT_DOUBLE_EQ(c.read(stepped(10.13), 10.13, 1.0, true), 2.1);
  EXPECT_NEAR(c.read(stepped(10.16), 10.16, 1.0, true), 2.13, 1e-9);
  // A reading right after the next step gives the true clock, kept from then.
  EXPECT_NEAR(c.read(stepped(10.201), 10.201, 1.0, true), 2.2, 1e-9);
  EXPECT_NEAR(c.read(stepped(10.275), 10.275, 1.0, true), 2.274, 1e-9);
  // A late reading of a step does not pull the clock back.
  EXPECT_NEAR(c.read(stepped(10.34), 10.34, 1.0, true), 2.339, 1e-9);
  // Paused: the value as mpv has it, and a restart waits for a step again.
  EXPECT_DOUBLE_EQ(c.read(2.345, 10.4, 1.0, false), 2.345);
  EXPECT_DOUBLE_EQ(c.read(2.345, 11.0, 1.0, true), 2.345);
}

// A 25 fps picture: the value steps by 40 ms as each frame is shown, and is
// read 1 ms after each frame and by the timers in between.  The carried
// position is the sound's, never ahead of it and at most that 1 ms behind;
// paused, it is the frame on screen.
TEST(PositionClock, CarriesAPictureBetweenItsFrames) {
  PositionClock c;
  const double p0 = 3.0, w0 = 10.0, frame = 0.04;
  auto shown = [&](double w) { return stepped(w, p0, frame); };
  EXPECT_DOUBLE_EQ(c.read(p0, w0, 1.0, true), p0);
  double worst = 0;
  for (int f = 0; f < 50; ++f) {
    const double atFrame = w0 + f * frame + 0.001;
    c.read(shown(atFrame), atFrame, 1.0, true);
    const double between = atFrame + 0.027;  // a timer between two frames
    const double got = c.read(shown(between), between, 1.0, true);
    if (f == 0) continue;  // the first step is not known yet
    const double sound = p0 + (between - w0);
    EXPECT_LE(got, sound + 1e-9) << "frame " << f;
    worst = std::max(worst, sound - got);
  }
  EXPECT_LE(worst, 0.001 + 1e-9);
  const double pausedAt = w0 + 2.013;
  EXPECT_NEAR(c.read(shown(pausedAt), pausedAt, 1.0, false), p0 + 2.0, 1e-9);
}

TEST(PositionClock, FollowsTheRateAndStartsAgainWhenItChanges) {
  PositionClock c;
  c.read(4.0, 20.0, 0.5, true);
  c.read(4.05, 20.1, 0.5, true);                              // the first step
  EXPECT_NEAR(c.read(4.05, 20.16, 0.5, true), 4.08, 1e-9);    // half speed
  // Twice the speed: nothing is carried until the value steps again.
  EXPECT_DOUBLE_EQ(c.read(4.05, 20.18, 2.0, true), 4.05);
  EXPECT_DOUBLE_EQ(c.read(4.05, 20.2, 2.0, true), 4.05);
  c.read(4.2, 20.25, 2.0, true);
  EXPECT_NEAR(c.read(4.2, 20.28, 2.0, true), 4.26, 1e-9);
}

TEST(PositionClock, AStallOrAJumpBackIsNotCarriedOver) {
  PositionClock c;
  c.read(1.0, 0.0, 1.0, true);
  c.read(1.1, 0.1, 1.0, true);
  // The stream buffers: the value stands still.  The carry stops at its
  // limit and then gives the value itself until the next step.
  EXPECT_NEAR(c.read(1.1, 0.25, 1.0, true), 1.25, 1e-9);
  EXPECT_DOUBLE_EQ(c.read(1.1, 0.4, 1.0, true), 1.1);
  EXPECT_DOUBLE_EQ(c.read(1.1, 2.0, 1.0, true), 1.1);
  c.read(1.2, 2.1, 1.0, true);
  EXPECT_NEAR(c.read(1.2, 2.15, 1.0, true), 1.25, 1e-9);
  // The player goes back on its own (a loop): the lower value at once.
  EXPECT_DOUBLE_EQ(c.read(0.0, 2.2, 1.0, true), 0.0);
  EXPECT_DOUBLE_EQ(c.read(0.0, 2.26, 1.0, true), 0.0);
}

TEST(PositionClock, UnusableReadingsAreGivenBackAsTheyAre) {
  PositionClock c;
  c.read(1.0, 0.0, 1.0, true);
  c.read(1.1, 0.1, 1.0, true);
  EXPECT_DOUBLE_EQ(c.read(1.1, 0.15, 0.0, true), 1.1);  // no rate
  EXPECT_DOUBLE_EQ(c.read(1.1, 0.16, -1.0, true), 1.1);
  c.restart();
  EXPECT_DOUBLE_EQ(c.read(1.1, 0.17, 1.0, true), 1.1);
}

}  // namespace tl
