#include "core/timerepair.h"

#include <gtest/gtest.h>

namespace tl {
namespace {

using Times = std::vector<ttime>;

TEST(TimeRepair, RunsUntilNothingChanges) {
  // One pass leaves 12000 before 8000 here.
  Times t = {0, 10000, 12000, 5000, 8000};
  EXPECT_TRUE(repairTimeOrder(t));
  EXPECT_EQ(t, (Times{0, 10000, 12000, 12000, 12000}));
}

TEST(TimeRepair, CueEndingBeforeItStartsIsSwappedAndLateGapMovesUp) {
  Times t = {0, 20000, 10000, 30000, 40000};  // cue 1 ends before it starts
  EXPECT_TRUE(repairTimeOrder(t));
  EXPECT_EQ(t, (Times{0, 10000, 20000, 30000, 40000}));
  t = {0, 10000, 30000, 25000, 40000};  // cue 2 starts before cue 1 ends
  EXPECT_TRUE(repairTimeOrder(t));
  EXPECT_EQ(t, (Times{0, 10000, 30000, 30000, 40000}));
}

TEST(TimeRepair, OrderedTimesAndTheCommandsFlags) {
  Times t = {0, 1, 1, 2};
  EXPECT_FALSE(repairTimeOrder(t));
  Lesson L;
  L.subtime = {0, 10000, 12000, 5000, 8000};
  EXPECT_FALSE(timecheck(L));  // nothing while no subtitles are loaded
  L.srtloaded = true;
  EXPECT_TRUE(timecheck(L));
  EXPECT_TRUE(L.srtdirty);
  EXPECT_FALSE(L.flgdirty);
  L.srtdirty = false;
  EXPECT_FALSE(timecheck(L));
  EXPECT_FALSE(L.srtdirty);
}

TEST(TimeRepair, DescendingTableEndsOrdered) {
  Times t;
  for (int i = 0; i < 301; ++i) t.push_back((301 - i) * 1000);
  repairTimeOrder(t);
  EXPECT_TRUE(std::is_sorted(t.begin(), t.end()));
}

}  // namespace
}  // namespace tl
