#include "core/letterstates.h"

#include <gtest/gtest.h>

#include "support/lessonbuilder.h"

namespace tl {
namespace {

// A table of slots with the given cue texts (gaps empty), no states yet.
Lesson table(const std::vector<std::string>& cues) {
  test::LessonBuilder b;
  for (const auto& c : cues) b.cue(0, 0, c);
  return b.letters(test::Letters::None).build();
}

// The states of a slot as marks: '*' hidden, ' ' out, '.' open.
std::string marks(const Lesson& l, int slot) {
  std::string m;
  for (int32_t f : l.subflg[slot]) m += f == flg_closed ? '*' : f == flg_out ? ' ' : '.';
  return m;
}

TEST(CloseFlgInit, HidesLettersOutsideParentheses) {
  Lesson l = table({"x", "x", "Hello (laughs) you\r\n", "((a) b) c", "a) b (c", "x", "x", "x", "x"});
  closeflginit(l);
  EXPECT_EQ(marks(l, 5), "*****" + std::string(10, ' ') + "***  ");
  EXPECT_EQ(marks(l, 7), std::string(9, ' '));  // the inner "(" saved a switch that was already off
  EXPECT_EQ(marks(l, 9), "*  *   ");    // an unclosed "(" stops hiding to the end of its cue
  EXPECT_EQ(l.flgtotal, 5 + 3 + 2 + 6);
  EXPECT_EQ(l.flgrest, l.flgtotal);
  EXPECT_EQ(l.subclear[5], 0);
}

TEST(CloseFlgInit, ExcludedSlotsAreNeverHiddenAndCleared) {
  Lesson l = table({"Subtitles in English", "a", "b", "mail me@host", "visit www.x", "a.com) b", "English class",
                    "c", "d", "spanish"});
  closeflginit(l);
  EXPECT_EQ(l.subclear[1], 1);  // among the first four slots
  EXPECT_EQ(marks(l, 1), std::string(20, ' '));
  EXPECT_EQ(l.subclear[7], 1);
  EXPECT_EQ(l.subclear[9], 1);
  EXPECT_EQ(marks(l, 11), std::string(8, ' '));  // a stray ")" does not turn hiding on
  EXPECT_EQ(l.subclear[13], 0);           // "English" in the middle of the file is hidden
  EXPECT_EQ(marks(l, 13), "******* *****");
  EXPECT_EQ(l.subclear[19], 1);           // among the last four slots
  EXPECT_EQ(l.subclear[0], 0);
  EXPECT_EQ(l.subclear[2], 0);
}

TEST(CloseFlgInit, DoubleByteCharactersAreOut) {
  // "A", a kanji whose trail byte is the letter 'A', "b".
  Lesson l = table({"A\x88\x41" "b", "x", "x", "x", "x", "x", "x", "x"});
  closeflginit(l);
  EXPECT_EQ(marks(l, 1), "*  *");
  EXPECT_EQ(l.flgtotal, 2 + 7);
}

TEST(RecountFlags, CountsHiddenAndTargetLettersAndClearsSlots) {
  Lesson l = table({"ab c", "d!", "xy"});
  l.subflg = {{}, {flg_closed, flg_open, flg_out, flg_reclosed}, {}, {flg_hinted, flg_open}, {},
              {flg_out, flg_out}, {}};
  l.subclear.assign(7, 0);
  recountflags(l);
  EXPECT_EQ(l.flgrest, 2);
  EXPECT_EQ(l.flgtotal, 4);  // '!' is not a letter, flg_out letters do not count
  EXPECT_EQ(l.subclear, (std::vector<int32_t>{1, 0, 1, 1, 1, 1, 1}));
}

TEST(RecountFlags, ShortStateArraysAreFittedToTheTexts) {
  Lesson l = table({"abc"});
  l.subflg = {{}, {flg_closed}};
  recountflags(l);
  EXPECT_EQ(l.subflg.size(), 3u);
  EXPECT_EQ(l.subflg[1].size(), 3u);
  EXPECT_EQ(l.flgrest, 1);
  EXPECT_EQ(l.flgtotal, 1);
}

}  // namespace
}  // namespace tl
