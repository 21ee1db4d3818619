// The word test's due rule at the boundaries of each level.
#include <gtest/gtest.h>

#include "core/worddue.h"

using namespace tl::word;

TEST(WordDue, LevelsAndIntervals) {
  const double hour = 1.0 / 24;
  struct Case {
    int level;
    double days;
    bool due;
    int next;
  } cases[] = {
      {0, 0, true, 1},          {0, 23 * hour, true, 1},  {0, 1, true, 2},
      {0, 6.99, true, 2},       {0, 7, true, 3},          {0, 10, true, 3},
      {1, 23.9 * hour, false, 0}, {1, 1, true, 2},        {1, 7 - hour, true, 2},
      {1, 7, true, 3},          {2, 6.999, false, 0},     {2, 7, true, 3},
      {3, 0, false, 0},         {3, 1000, false, 0},      {0, -hour, false, 0},
  };
  for (const auto& c : cases) {
    Due d = review(c.level, c.days);
    EXPECT_EQ(d.due, c.due) << c.level << " " << c.days;
    if (c.due) {
      EXPECT_EQ(d.nextlevel, c.next) << c.level << " " << c.days;
    }
  }
}

TEST(WordDue, CountsFromTheRegistrationOnTheWallClock) {
  const Stamp reg{2012, 2, 28, 9, 5, 7};
  EXPECT_FALSE(reviewAt(1, reg, {2012, 2, 29, 9, 5, 6}).due);  // across a leap day
  EXPECT_TRUE(reviewAt(1, reg, {2012, 2, 29, 9, 5, 7}).due);
  EXPECT_EQ(reviewAt(0, reg, {2012, 3, 6, 9, 5, 7}).nextlevel, 3);
  EXPECT_EQ(reviewAt(0, reg, {2012, 3, 6, 9, 5, 6}).nextlevel, 2);
}
