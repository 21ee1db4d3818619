#include "core/timing.h"

#include <gtest/gtest.h>

#include "core/scenes.h"
#include "core/srtread.h"
#include "fourcues.h"
#include "core/timetext.h"

#include <cstdint>

namespace tl {
namespace {

using Times = std::vector<ttime>;

const Times kFour = {0, 10000, 20000, 30000, 40000, 50000, 60000, 100000, 120000};

Options crt(bool on) {
  Options o;
  o.adjcrt = on;
  return o;
}

TEST(AdjShift, WholeTableFromSlotZero) {
  Lesson l = test::fourCues();
  const TimingChange c = adjshift(l, crt(true), 1000, false);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(l.subtime, (Times{1000, 11000, 21000, 31000, 41000, 51000, 61000, 101000, 121000}));
  EXPECT_TRUE(l.srtdirty);
  EXPECT_FALSE(l.flgdirty);
  EXPECT_EQ(l.adjsaved, 1000);
  EXPECT_EQ(c.first, 0);
  EXPECT_EQ(c.last, 8);
  EXPECT_EQ(c.delta, 1000);
  EXPECT_FALSE(c.tick);  // no cue displayed
  EXPECT_EQ(c.log, "字幕位置:0.1　No.1セリフ終わり以降調整");
}

TEST(AdjShift, PartialShiftPullsBackOnlyTheSlotBefore) {
  Lesson l = test::fourCues();
  l.subtime[4] = 30500;  // cue 2 ends 0.05 s after its start
  l.adjfrom = 4;
  l.cursub = 3;
  const TimingChange c = adjshift(l, crt(true), -1000, false);
  EXPECT_EQ(l.subtime, (Times{0, 10000, 20000, 28500, 29500, 49000, 59000, 99000, 119000}));
  // Slot 3 (30000) is later than slot 4 (29500) now: it is pulled to 0.1 s
  // before; slot 2 keeps its time.
  l = test::fourCues();
  l.subtime[3] = 39500;
  l.adjfrom = 4;
  adjshift(l, crt(true), -1000, false);
  EXPECT_EQ(l.subtime[4], 39000);
  EXPECT_EQ(l.subtime[3], 38000);
  EXPECT_EQ(l.subtime[2], 20000);
  EXPECT_EQ(c.log, "字幕位置:-0.1　No.3セリフ終わり以降調整");
  EXPECT_TRUE(c.tick);
  EXPECT_EQ(c.first, 4);
  EXPECT_EQ(l.adjsaved, 0);
}

TEST(AdjShift, PlayingStartsAtTheDisplayedCueAndAdjfromStaysInTheTable) {
  Lesson l = test::fourCues();
  l.cursub = 5;
  l.adjfrom = 1;
  TimingChange c = adjshift(l, crt(true), 150000, true);
  EXPECT_EQ(l.adjfrom, 5);
  EXPECT_EQ(l.subtime[4], 40000);
  EXPECT_EQ(l.subtime[5], 200000);
  EXPECT_EQ(c.log, "字幕位置:15　No.3以降調整");
  l.adjfrom = 99;  // left over from a longer file
  c = adjshift(l, crt(true), 10, false);
  EXPECT_EQ(l.adjfrom, 8);
  EXPECT_EQ(c.first, 8);
  setadjfrom(l, -3);
  EXPECT_EQ(l.adjfrom, 0);
}

TEST(AdjShift, AllSlotsWithoutAdjcrtAndNothingWhenNotLoaded) {
  Lesson l = test::fourCues();
  l.adjfrom = 5;
  const TimingChange c = adjshift(l, crt(false), -2500, true);
  EXPECT_EQ(l.subtime[0], -2500);
  EXPECT_EQ(l.subtime[8], 117500);
  EXPECT_TRUE(l.flgdirty);
  EXPECT_FALSE(l.srtdirty);
  EXPECT_EQ(l.adjfrom, 5);
  EXPECT_EQ(c.log, "字幕位置:-0.25");
  Lesson none;
  EXPECT_FALSE(adjshift(none, crt(true), 1000, false).changed);
}

TEST(AdjRatio, StretchesEverySlotAndGuardsItsInputs) {
  Lesson l = test::fourCues();
  EXPECT_FALSE(adjratio(l, 0, 30.0, true).changed);
  EXPECT_FALSE(adjratio(l, 100000, 0.0, true).changed);
  EXPECT_FALSE(adjratio(l, 100000, 30.0, false).changed);
  EXPECT_FALSE(adjratio(l, -5, 30.0, true).changed);
  EXPECT_EQ(l.subtime, kFour);
  EXPECT_FALSE(l.srtdirty || l.flgdirty);

  l.subtime[0] = 3;
  const TimingChange c = adjratio(l, 100000, 10.5, true);
  ASSERT_TRUE(c.changed);
  EXPECT_EQ(l.nowpos, 105000);
  EXPECT_EQ(l.subtime, (Times{3, 10500, 21000, 31500, 42000, 52500, 63000, 105000, 126000}));  // 3.15 -> 3 (even)
  EXPECT_EQ(l.adjsaved, 3);
  EXPECT_TRUE(l.srtdirty && l.flgdirty);
  EXPECT_EQ(c.log, "1.05全字幕に掛けました");
}

TEST(AdjPos, ShiftsTheTimeToThePosition) {
  Lesson l = test::fourCues();
  EXPECT_FALSE(adjpos(l, crt(true), 10000, 5.0, false, false).changed);
  const TimingChange c = adjpos(l, crt(true), 10000, 1.25, true, false);
  EXPECT_EQ(c.delta, 2500);
  EXPECT_EQ(l.subtime[1], 12500);
}

TEST(ClickSync, FirstLetterOfATwentyByteCue) {
  Lesson l = test::fourCues();
  ASSERT_EQ(l.subtext[7].size(), 20u);
  l.cursub = 7;
  l.adjfrom = 7;
  EXPECT_EQ(clickTarget(l, 7, 1), 101000);
  const TimingChange c = clickadj(l, crt(true), 3, 5, 16, 8, 7, 40, 30.0, true, false);
  EXPECT_EQ(c.delta, 199000);  // +19.9 s
  EXPECT_EQ(c.log, "字幕位置:19.9　No.4以降調整");
  EXPECT_EQ(l.subtime[7], 299000);
  EXPECT_EQ(l.subtime[6], 60000);
}

TEST(ClickSync, ColumnsOfBothLinesAndOfTheSideStrips) {
  Lesson l = test::fourCues();
  const std::string& text = l.subtext[5];  // "ab\r\ncd\r\n"
  EXPECT_EQ(clickColumn(9, 5, 16, 8, text, 0), 2);
  EXPECT_EQ(clickColumn(1, 20, 16, 8, text, 0), 1 + 3 + 1);  // "c": first line and its CR LF before it
  EXPECT_EQ(clickColumn(41, 5, 16, 8, text, 40), 1);         // previous/next strip: splitter edge first
  EXPECT_EQ(clickColumn(5, 5, 16, 0, text, 0), 0);
  EXPECT_EQ(clickTarget(l, 5, 5), 56250);                    // 5 + 1 x 5/8
  EXPECT_EQ(clickTarget(l, 5, 16), 70000);                   // beyond the text: extrapolated
  EXPECT_FALSE(clickTarget(l, 4, 1));
  EXPECT_FALSE(clickTarget(l, 9, 1));
  EXPECT_FALSE(clickTarget(l, -1, 1));
  // The next strip: adjfrom is the displayed cue, the target is in the next.
  l.cursub = 3;
  l.adjfrom = 3;
  const TimingChange c = clickadj(l, crt(true), 40, 20, 8, 4, 5, 40, 6.0, true, false);
  EXPECT_EQ(c.first, 3);
  EXPECT_EQ(l.subtime[5], 50000 + (60000 - 56250));
}

TEST(ClickSync, SubEndAdjPutsTheEndOnThePosition) {
  Lesson l = test::fourCues();
  EXPECT_FALSE(subendadj(l, crt(true), 9.0, true, false).changed);  // no cue displayed
  l.cursub = 3;
  const TimingChange c = subendadj(l, crt(true), 9.0, true, false);
  EXPECT_EQ(l.adjfrom, 3);
  EXPECT_EQ(c.delta, 50000);
  EXPECT_EQ(l.subtime[4], 90000);
  EXPECT_EQ(l.subtime[3], 80000);
  EXPECT_EQ(l.subtime[2], 20000);
  subtopadj(l, crt(true), 7.0, true, false);
  EXPECT_EQ(l.subtime[3], 70000);
}

TEST(Nudges, DownAndUpWithTheirGuards) {
  Lesson l = test::fourCues();
  EXPECT_FALSE(pointsubdown(l).changed);
  EXPECT_FALSE(pointsubup(l).changed);
  EXPECT_EQ(l.subtime, kFour);

  l.cursub = 1;
  l.subtime[1] = 3000;
  TimingChange c = pointsubdown(l);
  EXPECT_EQ(l.subtime[1], -2000);
  EXPECT_EQ(l.subtime[0], -3000);  // slot 0 moved to 0.1 s before
  EXPECT_EQ(c.first, 0);
  EXPECT_EQ(l.adjsaved, 0);
  EXPECT_TRUE(l.srtdirty);
  adjshift(l, crt(false), 0, false);
  EXPECT_EQ(l.adjsaved, -3000);  // the next shift copies it

  l = test::fourCues();
  l.cursub = 7;
  c = pointsubup(l);
  EXPECT_EQ(l.subtime[8], 125000);
  EXPECT_EQ(c.first, 8);
  EXPECT_EQ(c.last, 8);
  l.cursub = 1;
  l.subtime[3] = 21000;
  pointsubup(l);
  EXPECT_EQ(l.subtime[2], 25000);
  EXPECT_EQ(l.subtime[3], 26000);
}

TEST(ResetSub, RestoresTheFileTimesAfterAStretch) {
  Lesson l = test::fourCues();
  l.adjfrom = 0;
  adjshift(l, crt(true), 12345, false);
  adjratio(l, 100000, 13.0, true);
  l.srtdirty = l.flgdirty = false;
  const TimingChange c = resetsub(l);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(l.subtime, kFour);
  EXPECT_EQ(l.adjsaved, 0);
  EXPECT_TRUE(l.srtdirty);
  EXPECT_TRUE(l.flgdirty);
  EXPECT_TRUE(c.messages.empty());
  // Nothing changed: nothing marked.
  l.srtdirty = l.flgdirty = false;
  resetsub(l);
  EXPECT_FALSE(l.srtdirty || l.flgdirty);
}

TEST(TimeRange, ShiftsAndStretchesThatWouldOverflowChangeNothing) {
  Lesson l = test::fourCues();
  const Times before = l.subtime;
  EXPECT_FALSE(adjshift(l, crt(false), INT64_MAX, false).changed);
  EXPECT_FALSE(adjshift(l, crt(true), kTimeMax, false).changed);
  EXPECT_FALSE(adjshift(l, crt(false), -kTimeMax - 1, false).changed);
  EXPECT_EQ(l.subtime, before);
  EXPECT_FALSE(l.srtdirty);
  EXPECT_FALSE(adjratio(l, 1, 1e12, true).changed);  // x 1e16 would leave the range
  EXPECT_EQ(l.subtime, before);
  EXPECT_FALSE(adjpos(l, crt(false), 0, 1e300, true, false).changed);
  EXPECT_EQ(l.subtime, before);
  // Right at the edge a shift still works.
  EXPECT_TRUE(adjshift(l, crt(false), kTimeMax - 120000, false).changed);
  EXPECT_EQ(l.subtime.back(), kTimeMax);
  l.cursub = 7;
  EXPECT_FALSE(pointsubup(l).changed);
  EXPECT_EQ(l.subtime.back(), kTimeMax);
}

TEST(TimeRange, ScenesOfTimesAtBothEndsOfTheRange) {
  Lesson l = test::fourCues();
  l.subtime = {0, -kTimeMax, -kTimeMax + 1, 0, 1, 2, 3, kTimeMax - 1, kTimeMax};
  Scenecut(l, 10, 0);
  EXPECT_EQ(l.scenetop, (std::vector<int32_t>{1, 3, 7}));
  // Any pair of 64-bit values: the gap arithmetic does not overflow.
  l.subtime = {0, INT64_MIN, INT64_MIN, INT64_MAX, INT64_MAX, 0, 0, 0, 0};
  Scenecut(l, 10, INT64_MAX);
  EXPECT_EQ(l.scenetop, (std::vector<int32_t>{1, 3}));  // MAX - MIN is more than any distance
}

}  // namespace
}  // namespace tl
