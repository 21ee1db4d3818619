#include <gtest/gtest.h>

#include "core/strutil.h"

TEST(StrUtil, MidstrBounds) {
  EXPECT_EQ(tl::midstr("abcdef", 2, 4), "bcd");
  EXPECT_EQ(tl::midstr("abcdef", -1, 1), "abc");  // start below 1: same count from 1
  EXPECT_EQ(tl::midstr("abcdef", 7, 9), "");
  EXPECT_EQ(tl::midstr("abcdef", 3, 2), "");
  EXPECT_EQ(tl::midstr("abcdef", 5, 99), "ef");
}

TEST(StrUtil, AfterstrTakesTheSecondLine) {
  EXPECT_EQ(tl::afterstr("\r\n", "ab\r\ncd\r\n"), "cd\r\n");
  EXPECT_EQ(tl::afterstr("\r\n", "abc"), "bc");
}

TEST(StrUtil, WordendStopsAtTheFirstNonLetter) {
  EXPECT_EQ(tl::wordend("it's", 1, +1), 3);
  EXPECT_EQ(tl::wordend("it's", 2, -1), 0);
  EXPECT_EQ(tl::wordend("it's", 9, +1), 9);
  EXPECT_EQ(tl::wordend("word", 2, +1), 5);
}
