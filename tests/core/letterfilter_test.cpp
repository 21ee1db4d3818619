#include "core/letterfilter.h"

#include <gtest/gtest.h>

#include <deque>

#include "support/lessonbuilder.h"
namespace tl {
namespace {

// States written as one character per byte: '-' flg_out, '0'..'3'.
std::vector<int32_t> st(const std::string& p) {
  std::vector<int32_t> v;
  for (char c : p) v.push_back(c == '-' ? flg_out : c - '0');
  return v;
}
std::string pat(const std::vector<int32_t>& v) {
  std::string s;
  for (int32_t f : v) s += f == flg_out ? '-' : char('0' + f);
  return s;
}

// A table of cues (odd slots) with their texts and states; gaps are empty.
Lesson table(const std::vector<std::pair<std::string, std::string>>& cues) {
  test::LessonBuilder b;
  for (const auto& c : cues) b.cue(0, 0, c.first);
  Lesson L = b.letters(test::Letters::None).build();
  for (size_t k = 0; k < cues.size(); ++k) L.subflg[2 * k + 1] = st(cues[k].second);
  return L;
}

FilterDraw seq(std::deque<int> d, int* taken = nullptr) {
  return [d, taken]() mutable {
    if (taken) ++*taken;
    int v = d.front();
    d.pop_front();
    return v;
  };
}

TEST(FilterRun, DefaultsHideHintedLettersAgainAndLeaveTheRest) {
  Lesson L = table({{"ab cd", "02-13"}});
  FilterForm f;  // word mode, length at least 0, kinds 1 and 2
  const FilterResult r = runFilter(L, f, nullptr);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(pat(L.subflg[1]), "01-13");
  EXPECT_EQ(r.changed, 1);
}

TEST(FilterRun, SentenceModeZeroAtMostChoosesNoCue) {
  Lesson L = table({{"ab", "13"}, {"cd", "30"}});
  FilterForm f;
  f.modeClicked(FilterMode::Sentence);  // kinds 1, 2, 3
  f.sntlen = "0";
  f.sntcmp = kCmpAtMost;
  ASSERT_TRUE(runFilter(L, f, nullptr).ok);
  EXPECT_EQ(pat(L.subflg[1]), "20");
  EXPECT_EQ(pat(L.subflg[3]), "00");
}

TEST(FilterRun, SentenceLengthCountsLineEnds) {
  Lesson L = table({{"ab\r\n", "02--"}, {"abcde\r\n", "02222--"}});
  FilterForm f;
  f.modeClicked(FilterMode::Sentence);
  f.kinds = {true, true, true, true};
  f.sntlen = "4";
  f.sntcmp = kCmpAtMost;
  ASSERT_TRUE(runFilter(L, f, nullptr).ok);
  EXPECT_EQ(pat(L.subflg[1]), "31--");
  EXPECT_EQ(pat(L.subflg[3]), "02222--");
}

TEST(FilterRun, AllOpenAndAllCloseOnlyTouchTickedKinds) {
  Lesson L = table({{"abcd", "0123"}});
  FilterForm f;
  f.modeClicked(FilterMode::AllOpen);  // kinds 1 and 3
  runFilter(L, f, nullptr);
  EXPECT_EQ(pat(L.subflg[1]), "0220");
  f.modeClicked(FilterMode::AllClose);  // kind 2 only
  runFilter(L, f, nullptr);
  EXPECT_EQ(pat(L.subflg[1]), "0110");
  f.kinds = {false, false, false, false};
  runFilter(L, f, nullptr);
  EXPECT_EQ(pat(L.subflg[1]), "0110");
}

TEST(FilterRun, WordLengthSplitsAtApostrophes) {
  // don't = "don" and "t"; "at least 2" hides don and opens t.
  Lesson L = table({{"don't", "111-1"}});
  FilterForm f;
  f.wordlen = "2";
  ASSERT_TRUE(runFilter(L, f, nullptr).ok);
  EXPECT_EQ(pat(L.subflg[1]), "111-2");
}

TEST(FilterRun, RandomModeDrawsAgainOnlyAfterWordsWithTickedLetters) {
  // Words: "ab" (ticked), "cd" (all open, not ticked), "ef" (ticked), "gh".
  Lesson L = table({{"ab cd ef gh", "11-00-11-11"}});
  FilterForm f;
  f.wordSubClicked(WordSub::Random);  // kinds 1 and 2
  f.percent = "90";
  int taken = 0;
  // first draw 91: ab not chosen (opened); new draw 90: cd chosen (no ticked
  // letter, draw stays 90); ef chosen; new draw 95: gh not chosen.
  ASSERT_TRUE(runFilter(L, f, seq({91, 90, 95, 0}, &taken)).ok);
  EXPECT_EQ(pat(L.subflg[1]), "22-00-11-22");
  EXPECT_EQ(taken, 4);
}

TEST(FilterRun, OwnTypingHidesWordsWithAClosedOrHintedLetter) {
  Lesson L = table({{"ab cde fg", "03-020-11"}});
  FilterForm f;
  f.wordSubClicked(WordSub::OwnTyping);  // kinds 0 and 2
  ASSERT_TRUE(runFilter(L, f, nullptr).ok);
  EXPECT_EQ(pat(L.subflg[1]), "03-313-11");
}

TEST(FilterRun, OnlyAsciiLettersChangeState) {
  // A state 2 on a digit or a double-byte character would become hidden and
  // could never be typed.
  Lesson L = table({{"a1\x82\xa0", "2222"}});
  FilterForm f;
  f.modeClicked(FilterMode::AllClose);
  runFilter(L, f, nullptr);
  EXPECT_EQ(pat(L.subflg[1]), "1222");
}

TEST(FilterRun, BadNumberChangesNothing) {
  Lesson L = table({{"ab", "22"}});
  FilterForm f;
  f.modeClicked(FilterMode::AllClose);
  f.sntlen = "x";  // converted in every mode
  const FilterResult r = runFilter(L, f, nullptr);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "'x' は有効な整数値ではありません");
  EXPECT_EQ(pat(L.subflg[1]), "22");
}

TEST(FilterRange, StaysInsideTheTables) {
  Lesson L = table({{"a", "1"}, {"b", "1"}, {"c", "1"}});  // 7 slots
  L.cursub = 0;
  EXPECT_EQ(filterRange(L, kRangeCue).first, 0);  // before any cue: the first cue
  EXPECT_EQ(filterRange(L, kRangeCue).last, 1);
  L.cursub = 6;  // last gap: never past the last slot
  EXPECT_EQ(filterRange(L, kRangeCue).last, 6);
  EXPECT_EQ(filterRange(L, kRangeAfter).first, 6);
  L.cursub = 3;
  EXPECT_EQ(filterRange(L, kRangeBefore).last, 3);
  EXPECT_TRUE(filterRange(L, kRangeScene).empty());  // no current scene
  L.scenetop = {1, 5};
  L.curscene = 1;  // the last scene runs to the last slot
  EXPECT_EQ(filterRange(L, kRangeScene).first, 5);
  EXPECT_EQ(filterRange(L, kRangeScene).last, 6);
  L.curscene = 0;
  EXPECT_EQ(filterRange(L, kRangeScene).last, 4);
  L.curscene = 2;  // beyond the scene table
  EXPECT_TRUE(filterRange(L, kRangeScene).empty());
  L.scenetop = {1, 99};  // a stale table
  L.curscene = 0;
  EXPECT_EQ(filterRange(L, kRangeScene).last, 6);
  EXPECT_EQ(filterRange(L, kRangeNone).last, 6);
}

TEST(FilterRange, NoCurrentSceneChangesNothing) {
  Lesson L = table({{"ab", "22"}});
  FilterForm f;
  f.range = kRangeScene;
  const FilterResult r = runFilter(L, f, nullptr);
  EXPECT_TRUE(r.ok);
  EXPECT_TRUE(r.range.empty());
  EXPECT_EQ(pat(L.subflg[1]), "22");
}

TEST(FilterForm, ClickRulesSetKindsAndEnabling) {
  FilterForm f;
  f.modeClicked(FilterMode::Sentence);
  EXPECT_TRUE(f.sntEnabled);
  EXPECT_FALSE(f.wordSubEnabled || f.wordNumEnabled || f.wordRndEnabled);
  f.wordsub = WordSub::Random;  // the sub-mode keeps its mark
  f.modeClicked(FilterMode::Word);
  EXPECT_TRUE(f.wordSubEnabled && f.wordRndEnabled);
  EXPECT_FALSE(f.sntEnabled || f.wordNumEnabled);
  EXPECT_EQ(f.kinds, (FilterKinds{false, true, true, true}));
  f.wordSubClicked(WordSub::OwnTyping);
  EXPECT_EQ(f.kinds, (FilterKinds{true, false, true, false}));
  f.modeClicked(FilterMode::AllOpen);
  EXPECT_EQ(f.kinds, (FilterKinds{false, true, false, true}));
}

TEST(FilterForm, PresetsFourAndFiveDoWhatTheirCaptionsSay) {
  FilterForm f;
  f.applyPreset(4);  // long words
  EXPECT_EQ(f.wordlen, "5");
  EXPECT_EQ(f.wordcmp, kCmpAtLeast);
  f.applyPreset(5);  // short words
  EXPECT_EQ(f.wordlen, "3");
  EXPECT_EQ(f.wordcmp, kCmpAtMost);
  Lesson L = table({{"in house", "11-11111"}});
  ASSERT_TRUE(runFilter(L, f, nullptr).ok);
  EXPECT_EQ(pat(L.subflg[1]), "11-22222");
}

TEST(FilterForm, PresetSetsKindsLastAndKeepsOtherValues) {
  FilterForm f;
  f.percent = "70";
  f.applyPreset(3);
  EXPECT_EQ(f.mode, FilterMode::Sentence);
  EXPECT_EQ(f.sntlen, "20");
  EXPECT_EQ(f.sntcmp, kCmpAtMost);
  EXPECT_EQ(f.percent, "70");
  f.applyPreset(7);
  EXPECT_EQ(f.mode, FilterMode::Word);
  EXPECT_EQ(f.wordsub, WordSub::OwnTyping);
  EXPECT_EQ(f.kinds, (FilterKinds{true, false, true, false}));
  f.applyPreset(6);
  EXPECT_EQ(f.percent, "30");
  EXPECT_TRUE(f.wordRndEnabled);
  EXPECT_FALSE(f.wordNumEnabled);
}

TEST(FilterNumber, WholeNumbersOnly) {
  int32_t v = 0;
  EXPECT_TRUE(filterNumber(" 40 ", v));
  EXPECT_EQ(v, 40);
  EXPECT_TRUE(filterNumber("-3", v));
  EXPECT_EQ(v, -3);
  EXPECT_FALSE(filterNumber("", v));
  EXPECT_FALSE(filterNumber("4.5", v));
  EXPECT_FALSE(filterNumber("99999999999", v));
}

}  // namespace
}  // namespace tl
