#include "core/wave.h"

#include <gtest/gtest.h>

#include <cmath>

#include "core/srtread.h"
#include "fourcues.h"

namespace tl {
namespace {

constexpr double kCol = 512.0 / (2.0 * 22050.0);  // seconds per column

// A 400 x 100 view (now line at 300), reset as at the first play.
struct Fixture {
  WaveView w;
  Lesson l = test::fourCues();
  std::vector<int16_t> samples = std::vector<int16_t>(256, 0);
  Fixture() {
    w.wavcolsec = kCol;
    w.setSize(400, 100);
    wavreset(w, l);
  }
  WaveBufferResult feed(double seconds, int16_t peak = 1000, bool paused = false, bool on = true) {
    samples[7] = peak;
    WaveInput in;
    in.viewOn = on;
    in.positionSeconds = seconds;
    in.paused = paused;
    return wavbuffer(w, l, in, samples.data(), 512);
  }
  // One buffer per column from `from` to `to` s, the displayed cue following
  // the position as the main timer makes it.
  void play(double from, double to) {
    for (double t = from; t < to; t += kCol) {
      const ttime p = (ttime)std::llround(t * 10000);
      for (int i = 1; i + 1 < l.subcount; i += 2)
        if (l.subtime[i] <= p && p < l.subtime[i + 1]) l.cursub = i;
      feed(t);
    }
  }
};

TEST(WavePeak, FullScaleNegativeSampleIsTheTopColumnAndSetsTheScale) {
  const int16_t s[3] = {-32768, 5, 100};
  EXPECT_EQ(peakOf(s, 3), 32767);
  const int16_t t[3] = {-300, 200, 100};
  EXPECT_EQ(peakOf(t, 3), 300);

  Fixture f;
  f.samples[0] = -32768;
  f.feed(0.5, 0);
  EXPECT_EQ(f.w.wavbuf[1], 32767);
  EXPECT_EQ(f.w.wavmax, 32767);
  // A negative peak never draws above the view.
  Fixture g;
  g.samples[0] = -2000;
  g.feed(0.5, 100);
  EXPECT_EQ(g.w.wavmax, 2000);
  WaveFont font;
  const WavePicture p = wavpaint(g.w, g.l, font, {});
  ASSERT_EQ(p.columnTop.size(), 1u);
  EXPECT_EQ(p.columnTop[0], 0);
}

TEST(WaveBuffer, RefusedWhileTheViewIsOffAndIdleWhileThePositionIsZero) {
  Fixture f;
  EXPECT_FALSE(f.feed(3.0, 1000, false, false).requeue);
  // A play from 0 s: the recording goes on, nothing is drawn.
  EXPECT_TRUE(f.feed(0.0).requeue);
  EXPECT_EQ(f.w.wavcount, 0);
  EXPECT_EQ(f.w.wavmax, 1);
  EXPECT_TRUE(f.feed(0.1).requeue);
  EXPECT_EQ(f.w.wavcount, 1);
}

TEST(WaveBuffer, AStartAtAnEarlierPositionDrawsFromThere) {
  Fixture f;
  f.play(5.0, 5.5);
  wavstart(f.w);
  EXPECT_TRUE(f.feed(1.0).appended);
  EXPECT_EQ(f.w.wavcount, 1);
}

TEST(WaveBuffer, PausedBuffersDrawNothing) {
  Fixture f;
  f.feed(0.1);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(f.feed(0.2 + i * 0.01, 1000, true).appended);
  EXPECT_EQ(f.w.wavcount, 1);
}

TEST(WaveBuffer, SixteenThousandColumnsStartTheViewAgain) {
  Fixture f;
  WaveBufferResult r;
  for (int i = 1; i <= 16000; ++i) r = f.feed(i * kCol);
  EXPECT_TRUE(r.reset);
  EXPECT_EQ(f.w.wavcount, 0);
  EXPECT_EQ(f.w.wavmax, 1);
  // ...and the next buffer draws again.
  EXPECT_TRUE(f.feed(16001 * kCol).appended);
  EXPECT_EQ(f.w.wavcount, 1);
}

TEST(WaveBuffer, AJumpBackKeepsThePictureAndShowsTheReplayLine) {
  Fixture f;
  for (int i = 1; i <= 20; ++i) f.feed(20.0 + i * kCol);
  ASSERT_EQ(f.w.wavcount, 20);
  const ttime newest = f.w.wavtime;
  f.feed(20.0 + 15 * kCol);  // 5 columns back
  EXPECT_EQ(f.w.wavcount, 20);
  EXPECT_EQ(f.w.wavtime, newest);
  EXPECT_FALSE(waveOutside(f.w, newest - 5 * 116));
  WaveFont font;
  WavePicture p = wavpaint(f.w, f.l, font, {});
  EXPECT_EQ(p.replayLine, 300 - 5);
  f.feed(20.0 + 16 * kCol);
  f.feed(20.0 + 19 * kCol);
  EXPECT_EQ(f.w.wavcount, 20);
  EXPECT_TRUE(f.feed(20.0 + 21 * kCol).appended);
  EXPECT_EQ(f.w.wavcount, 21);
}

TEST(WaveBuffer, AResetOutsideThePictureDrawsAgainAtOnce) {
  Fixture f;
  for (int i = 1; i <= 20; ++i) f.feed(30.0 + i * kCol);
  EXPECT_TRUE(waveOutside(f.w, 10 * 10000));
  wavreset(f.w, f.l);
  EXPECT_TRUE(f.feed(10.0).appended);
}

TEST(WaveMarkers, PlacedScrolledAndShiftedOnlyWhereTheyExist) {
  Fixture f;
  // 0.5 s before cue 1 (at 1 s): its start is 43 columns right of the now line.
  f.feed(0.5);
  EXPECT_EQ(f.l.subwavex[1], 300 + 43 - 1);  // placed, then scrolled with the column
  EXPECT_EQ(f.l.subwavex[0], -1);            // the stopper left of the markers
  EXPECT_EQ(f.w.wavmark, 1);
  f.feed(0.5 + kCol);
  EXPECT_EQ(f.l.subwavex[1], 341);
  EXPECT_EQ(f.l.subwavex[0], -2);
  EXPECT_EQ(f.l.subwavex[2], 0);  // 2 s is beyond the view's right edge

  // A shift of 10 columns moves the placed marker; unplaced slots stay unplaced.
  wavxshift(f.w, f.l, 1161, 0, 8);
  EXPECT_EQ(f.l.subwavex[1], 351);
  EXPECT_EQ(f.l.subwavex[3], 0);
  EXPECT_EQ(f.l.subwavex[0], -2);

  // wavxset puts the visible marker back where its time belongs.
  wavxset(f.w, f.l);
  EXPECT_EQ(f.l.subwavex[1], 300 - (int)std::trunc((f.w.wavtime - 10000) / 10000.0 / kCol));
}

// Behind the newest column after a jump back, the cues passed keep their
// markers where their times are drawn; passing the newest column scrolls
// them on.
TEST(WaveMarkers, AJumpBackInsideThePictureKeepsThePassedMarkers) {
  Fixture f;
  f.play(0.5, 5.8);
  const std::vector<int32_t> before = f.l.subwavex;
  const int32_t count = f.w.wavcount;
  ASSERT_GT(before[3], 0);
  f.play(1.5, 5.75);
  EXPECT_EQ(f.l.subwavex, before);
  f.play(5.75, 5.9);
  const int32_t added = f.w.wavcount - count;
  ASSERT_GT(added, 0);
  for (int s : {3, 4, 5}) EXPECT_EQ(f.l.subwavex[s], before[s] - added) << s;
}

TEST(WaveMarkers, AMarkerIndexFromALongerTableStaysInsideTheNewOne) {
  Fixture f;
  f.w.wavmark = 40;  // left from a table of 41 slots
  f.w.wavfromcur = false;
  f.feed(0.5);
  EXPECT_LE(f.w.wavmark, 8);
  EXPECT_EQ(f.l.subwavex.size(), 9u);
  f.w.wavmark = 40;
  WaveFont font;
  wavpaint(f.w, f.l, font, {});
  f.l.cursub = 55;  // a cursor of the old table as well
  f.feed(0.6);
  EXPECT_EQ(f.l.subwavex.size(), 9u);
}

TEST(WaveMouse, ATenColumnDragShiftsBy1161AndWithCtrlByNothing) {
  Fixture f;
  wavpress(f.w, f.l, 200);
  wavmove(f.w, 210, 50);
  EXPECT_EQ(f.w.dragdelta, 1161);
  WaveRelease r = wavrelease(f.w, f.l, 210, WaveButton::Left, false, false);
  EXPECT_EQ(r.kind, WaveRelease::Shift);
  EXPECT_EQ(r.delta, 1161);
  EXPECT_FALSE(f.w.dragging);

  const auto before = f.l.subtime;
  wavpress(f.w, f.l, 200);
  wavmove(f.w, 210, 50);
  r = wavrelease(f.w, f.l, 210, WaveButton::Left, false, true);
  EXPECT_EQ(r.kind, WaveRelease::None);
  EXPECT_EQ(f.l.subtime, before);
}

TEST(WaveMouse, PressPicksTheFirstMarkerAtOrRightOfThePress) {
  Fixture f;
  f.l.subwavex[3] = 150;
  f.l.subwavex[5] = 250;
  wavpress(f.w, f.l, 200);
  EXPECT_EQ(f.l.adjfrom, 5);
  wavpress(f.w, f.l, 152);
  EXPECT_EQ(f.l.adjfrom, 3);
  f.l.adjfrom = 7;
  wavpress(f.w, f.l, 260);  // none: unchanged
  EXPECT_EQ(f.l.adjfrom, 7);
}

// mousetime of a press at x with the newest column at `newest`.
void pressAt(Fixture& f, ttime newest, int x) {
  f.w.wavtime = newest;
  wavpress(f.w, f.l, x);
}

TEST(WaveMouse, CtrlRightAtACueEndSetsThatEndAndTheNextStart) {
  Fixture f;
  f.l.cursub = 3;
  pressAt(f, 41000, 296);  // 4 columns left of the now line: 40536
  ASSERT_EQ(f.w.mousetime, 40536);
  const WaveRelease r = wavrelease(f.w, f.l, 296, WaveButton::Right, false, true);
  EXPECT_EQ(r.kind, WaveRelease::Subset);
  EXPECT_EQ(f.l.subtime[4], 40536);
  EXPECT_EQ(f.l.subtime[5], 40536);
  EXPECT_EQ(f.l.subwavex[4], 296);
  EXPECT_EQ(f.l.subwavex[5], 296);
  EXPECT_TRUE(f.l.srtdirty);
  EXPECT_TRUE(f.l.flgdirty);
}

// When the end after the one below the press is nearer, it moves alone.
TEST(WaveMouse, CtrlRightNearerTheLaterEndMovesThatEndOnly) {
  Fixture f;
  f.l.cursub = 3;
  pressAt(f, 55000, 300);
  EXPECT_EQ(wavrelease(f.w, f.l, 300, WaveButton::Right, false, true).kind, WaveRelease::Subset);
  EXPECT_EQ(f.l.subtime[6], 55000);
  EXPECT_EQ(f.l.subtime[7], 100000);
  EXPECT_EQ(f.l.subwavex[7], 0);
}

TEST(WaveMouse, CtrlRightAtTheLastEndWritesNothingPastTheTable) {
  Fixture f;
  f.l.cursub = 7;
  pressAt(f, 121000, 300);
  wavrelease(f.w, f.l, 300, WaveButton::Right, false, true);
  EXPECT_EQ(f.l.subtime.size(), 9u);
  EXPECT_EQ(f.l.subwavex.size(), 9u);
  EXPECT_EQ(f.l.subtime[8], 121000);
}

TEST(WaveMouse, WithNoCueDisplayedStartsAreStartsAndSlotZeroIsNeverATarget) {
  Fixture f;
  f.l.cursub = 0;
  pressAt(f, 9000, 300);
  wavrelease(f.w, f.l, 300, WaveButton::Left, false, true);
  EXPECT_EQ(f.l.subtime[0], 0);
  EXPECT_EQ(f.l.subtime[1], 9000);  // cue 1's start, not an end
  EXPECT_EQ(f.l.subtime[2], 20000);

  Fixture g;
  g.l.cursub = 0;
  pressAt(g, 5000, 300);
  wavrelease(g.w, g.l, 300, WaveButton::Right, false, true);
  EXPECT_EQ(g.l.subtime[0], 0);
  EXPECT_EQ(g.l.subtime[2], 5000);  // cue 1's end
  EXPECT_EQ(g.l.subtime[1], 10000);
}

TEST(WaveMouse, ShiftAlignsTheNearestStartOrEnd) {
  Fixture f;
  f.l.cursub = 3;
  pressAt(f, 30500, 300);
  WaveRelease r = wavrelease(f.w, f.l, 300, WaveButton::Left, true, false);
  EXPECT_EQ(r.kind, WaveRelease::Shift);
  EXPECT_EQ(f.l.adjfrom, 3);
  EXPECT_EQ(r.delta, 500);
  // A tie between two ends takes the later one.
  pressAt(f, 50000, 300);
  r = wavrelease(f.w, f.l, 300, WaveButton::Right, true, false);
  EXPECT_EQ(f.l.adjfrom, 6);
  EXPECT_EQ(r.delta, -10000);
  r = wavrelease(f.w, f.l, 300, WaveButton::Middle, true, false);
  EXPECT_EQ(r.kind, WaveRelease::None);
}

TEST(WavePaint, MarkersLabelsAndASizeBelowOneDrawsNoLabel) {
  Fixture f;
  f.w.wavcount = 3;
  f.w.wavbuf[1] = 50;
  f.w.wavbuf[2] = 100;
  f.w.wavbuf[3] = 25;
  f.w.wavmax = 100;
  f.w.wavmark = 3;
  f.l.subwavex[1] = 100;
  f.l.subwavex[3] = 102;
  f.l.cursub = 3;
  WaveFont font;
  font.size = 9;
  font.textHeight = 12;
  font.width = [](const std::string& t, int size) { return int(t.size()) * size; };
  WaveShow show;
  show.textShown = true;
  const WavePicture p = wavpaint(f.w, f.l, font, show);
  EXPECT_EQ(p.nowLine, 300);
  EXPECT_EQ(p.columnTop, (std::vector<int16_t>{75, 0, 50}));
  ASSERT_EQ(p.markers.size(), 2u);
  EXPECT_EQ(p.markers[0].x, 102);
  EXPECT_EQ(p.markers[0].color, WaveColor::Yellow);
  ASSERT_EQ(p.labels.size(), 1u);  // cue 1's label would need a font size of 0
  EXPECT_EQ(p.labels[0].text, " 2<Tw");
  EXPECT_EQ(p.labels[0].color, WaveColor::Aqua);
  EXPECT_EQ(p.labels[0].y, 100 - 24);  // raised: no room to its right
}

TEST(WavePaint, EndLabelsAndTheDraggedMarker) {
  Fixture f;
  f.w.wavmark = 4;
  f.l.subwavex[3] = 100;
  f.l.subwavex[4] = 250;
  f.l.subclear[3] = 1;  // a cleared cue shows its text
  f.l.adjfrom = 4;
  f.w.dragging = true;
  f.w.dragdelta = 1161;
  f.w.dragx = 120;
  f.w.dragy = 40;
  WaveFont font;
  font.width = [](const std::string& t, int) { return int(t.size()) * 6; };
  const WavePicture p = wavpaint(f.w, f.l, font, {});
  ASSERT_EQ(p.markers.size(), 2u);
  EXPECT_EQ(p.markers[0].color, WaveColor::Fuchsia);
  EXPECT_EQ(p.markers[1].color, WaveColor::Yellow);
  ASSERT_EQ(p.labels.size(), 3u);
  EXPECT_EQ(p.labels[0].text, "o\r\n>");
  EXPECT_TRUE(p.labels[0].rightAligned);
  EXPECT_EQ(p.labels[0].x, 256);
  EXPECT_EQ(p.labels[1].text, "0.1161");
  EXPECT_EQ(p.labels[2].text, " 2<Tw");
}

TEST(WaveTime, ColumnSecondsAndMouseTime) {
  EXPECT_DOUBLE_EQ(columnSeconds(512, 22050), kCol);
  EXPECT_EQ(columnSeconds(512, 0), 0);
  Fixture f;
  f.w.wavtime = 50000;
  EXPECT_EQ(wavtimeAt(f.w, 300), 50000);
  EXPECT_EQ(wavtimeAt(f.w, 290), 50000 - 1161);
}

}  // namespace
}  // namespace tl
