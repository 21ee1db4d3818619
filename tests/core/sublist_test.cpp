// The list's rules: cells, sort orders, search, time cells, sync, jumps and
// the checks of a cue edit.
#include "core/sublist.h"

#include <gtest/gtest.h>

#include "core/letterstates.h"
#include "core/scenes.h"
#include "core/srtread.h"
#include "core/timetext.h"
#include "platform/codepage/codepage.h"

using namespace tl;

namespace {

// n cues "cue k", each 1 s long, 2 s apart; letters hidden.
Lesson cues(int n) {
  std::string srt;
  for (int k = 1; k <= n; ++k) {
    srt += std::to_string(k) + "\r\n" + sec2str_3((ttime)k * 20000) + " --> " + sec2str_3((ttime)k * 20000 + 10000) +
           "\r\ncue " + std::to_string(k) + "\r\n\r\n";
  }
  Lesson l;
  EXPECT_TRUE(loadSrtBytes(srt, "/tmp/x.srt", 0, "/tmp/", l).ok);
  closeflginit(l);
  Scenecut(l, kSceneGapDefault, 0);
  return l;
}

std::string ansi(const char* utf8) { return cp::utf8ToAnsi(utf8); }

TEST(SubList, CellsOfACueAndItsSecondRow) {
  Lesson l = cues(100);
  EXPECT_EQ(slotOrder(l).size() + 1, 201u);  // with the header row
  l.subtext[3] = "Ab\r\nCd\r\n";
  l.subflg[3] = {flg_open, flg_closed, flg_out, flg_out, flg_hinted, flg_reclosed, flg_out, flg_out};
  l.submemo[3] = "note";
  l.substar[3] = 1;
  const auto marks = sceneMarks(l);
  EXPECT_EQ(subCell(l, 3, kColNo, false, 0), "2");
  EXPECT_EQ(subCell(l, 4, kColNo, false, 0), "");
  EXPECT_EQ(subCell(l, 3, kColTime, false, 0), "00:00:04,0000");
  EXPECT_EQ(subCell(l, 3, kColText, false, 0), "Ab Cd");
  EXPECT_EQ(subCell(l, 4, kColText, false, 0), "note");
  // The marks stand under their letters: the first LF is left out.
  EXPECT_EQ(subCell(l, 4, kColText, true, 0), ".* _#  ");
  EXPECT_EQ(subCell(l, 3, kColStar, false, 0), ansi("☆"));
  EXPECT_EQ(subCell(l, 4, kColStar, false, 0), ansi("☆"));
  EXPECT_EQ(subCell(l, 5, kColStar, false, 0), "");
  EXPECT_EQ(subCell(l, 3, kColClear, false, 0), "x");
  EXPECT_EQ(subCell(l, 1, kColScene, false, marks[1]), "x");
  EXPECT_EQ(subCell(l, 3, kColScene, false, marks[3]), "");
  EXPECT_EQ(subCell(l, 7, kColIndex, false, 0), "   7");
  EXPECT_EQ(subCell(l, 12345, kColIndex, false, 0), "");
}

TEST(SubList, SceneColumnFollowsARecut) {
  Lesson l = cues(5);
  l.subtime[4] = 10000;  // a gap of 5 s after cue 2 ... cue 3 starts at 6 s
  Scenecut(l, 2, 0);
  auto marks = sceneMarks(l);
  EXPECT_EQ(marks[5], 'x');
  Scenecut(l, 30, 0);
  marks = sceneMarks(l);
  EXPECT_EQ(marks[5], 0);
  EXPECT_EQ(marks[1], 'x');
}

TEST(SubList, StarSortKeepsPairsAndFormerOrder) {
  Lesson l = cues(10);
  l.substar[2 * 7 - 1] = 1;
  l.substar[2 * 3 - 1] = 1;
  auto rows = slotOrder(l);
  GridSort(l, rows, kColStar);
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_EQ((std::vector<int32_t>(rows.begin(), rows.begin() + 6)), (std::vector<int32_t>{5, 6, 13, 14, 1, 2}));
  EXPECT_EQ(rows.back(), 20);
}

TEST(SubList, ClearSortPutsNotClearedFirst) {
  Lesson l = cues(4);
  recountflags(l);
  for (auto& f : l.subflg[1]) f = flg_out;
  for (auto& f : l.subflg[5]) f = flg_out;
  recountflags(l);
  auto rows = slotOrder(l);
  GridSort(l, rows, kColClear);
  EXPECT_EQ(rows, (std::vector<int32_t>{3, 4, 7, 8, 1, 2, 5, 6}));
}

TEST(SubList, SearchReportsRowAndBytePosition) {
  Lesson l = cues(3);
  l.subtext[3] = "Say HELLO\r\n";
  FindResult r = wordfind(l, 1, "hello");
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.slot, 3);
  EXPECT_EQ(r.report, "3行目5文字目に指定文字列を見つけました");
  EXPECT_FALSE(wordfind(l, 4, "hello").found);
  EXPECT_EQ(wordfind(l, 4, "hello").report, "helloは見つかりませんでした");
  EXPECT_EQ(wordfind(l, 1, "").report, "検索単語が入力されていません");
  EXPECT_FALSE(wordfind(l, 99999, "cue").found);
  EXPECT_FALSE(wordfind(l, -5, "zzz").found);
}

TEST(SubList, SearchDoesNotMatchInsideADoubleByteCharacter) {
  Lesson l = cues(2);
  // "ア" is 0x83 0x41: its trail byte is "A", which folds to "a".
  l.subtext[1] = ansi("アx") + "\r\n";
  EXPECT_FALSE(wordfind(l, 0, "ax").found);
  l.subtext[3] = ansi("ア") + "ax\r\n";
  FindResult r = wordfind(l, 0, "ax");
  ASSERT_TRUE(r.found);
  EXPECT_EQ(r.slot, 3);
  EXPECT_EQ(r.pos, 3);
  // A double-byte needle is reported back in its own characters.
  EXPECT_EQ(wordfind(l, 0, ansi("猫")).report, "猫は見つかりませんでした");
}

TEST(SubList, TimeCellTexts) {
  Lesson l = cues(2);
  TimeEdit e = readTimeCell(l, 1, "00:01:02,345");
  ASSERT_TRUE(e.changed);
  EXPECT_EQ(e.value, 623450);
  e = readTimeCell(l, 1, "00:01:02,3456");
  EXPECT_EQ(e.value, 623450);
  // The list's own four-digit text, unchanged: nothing happens.
  l.subtime[1] = 623456;
  e = readTimeCell(l, 1, sec2str_4(l.subtime[1]));
  EXPECT_FALSE(e.changed);
  EXPECT_TRUE(e.message.empty());
  // Unreadable: the message, no value.
  e = readTimeCell(l, 1, "1:02:03,000");
  EXPECT_FALSE(e.changed);
  EXPECT_NE(e.message.find("SRTファイルの時間変換に失敗しました"), std::string::npos);
  storeTime(l, 1, 5);
  EXPECT_TRUE(l.srtdirty);
  EXPECT_TRUE(l.flgdirty);
}

TEST(SubList, SyncStartsAtTheRowsCueOrTheDisplayedOne) {
  Lesson l = cues(5);  // cue 2 at 4 s, its end at 5 s
  l.cursub = 7;
  EXPECT_EQ(syncFrom(l, 3, 10.0), 3);
  EXPECT_EQ(syncFrom(l, 4, 10.0), 3);
  EXPECT_EQ(syncFrom(l, 4, 4.5), 7);  // the row's time lies ahead
  EXPECT_EQ(syncDelta(40000, 10.0), 60000);
}

TEST(SubList, JumpLeadInStopsAtZero) {
  Lesson l = cues(2);  // cue 1 at 2 s
  EXPECT_EQ(jumpTime(l, 1, 1000), 10000);
  EXPECT_EQ(jumpTime(l, 1, 5000), 0);
}

TEST(SubList, StarMemoAndOutOfDictation) {
  Lesson l = cues(2);
  EXPECT_TRUE(toggleStar(l, 3));
  EXPECT_EQ(l.substar[3], 1);
  EXPECT_TRUE(l.flgdirty);
  l.substar[3] = 7;
  toggleStar(l, 3);
  EXPECT_EQ(l.substar[3], 0);
  EXPECT_FALSE(toggleStar(l, 4));
  EXPECT_FALSE(toggleStar(l, 99));
  l.flgdirty = false;
  EXPECT_TRUE(storeMemo(l, 4, "m"));
  EXPECT_EQ(l.submemo[3], "m");
  EXPECT_TRUE(l.flgdirty);
  EXPECT_FALSE(storeMemo(l, 3, "x"));
  EXPECT_TRUE(dicxsub(l, 1));
  for (int32_t f : l.subflg[1]) EXPECT_EQ(f, flg_out);
  EXPECT_FALSE(dicxsub(l, -1));
}

TEST(SubList, EditLinesAreLogicalLines) {
  // One long line is one line, however an edit control wraps it.
  EXPECT_EQ(logicalLines(std::string(300, 'a')).size(), 1u);
  EXPECT_EQ(logicalLines("a\r\nb\r\n").size(), 2u);
  EXPECT_EQ(logicalLines("a\nb\nc").size(), 3u);
  EXPECT_TRUE(logicalLines("").empty());
  EXPECT_EQ(checkEditLines(logicalLines("a\r\nb\r\nc")), "1字幕の行数は2行までです");
  EXPECT_EQ(checkEditLines(logicalLines("a\r\nb")), "");
  EXPECT_NE(checkEditLines(logicalLines("00:00:01,000 --> 00:00:02,000")), "");
  EXPECT_EQ(editText({}), "\r\n");
  EXPECT_EQ(editText({"a", "b"}), "a\r\nb\r\n");
}

TEST(SubList, EditedCueIsFullyShown) {
  Lesson l = cues(2);
  const std::string t = editText({ansi("猫") + "Hi!"});
  ASSERT_TRUE(applyEdit(l, 3, t));
  EXPECT_EQ(l.subtext[3], t);
  EXPECT_EQ(l.subflg[3], (std::vector<int32_t>{flg_out, flg_out, flg_hinted, flg_hinted, flg_out, flg_out, flg_out}));
  EXPECT_TRUE(l.srtdirty);
  EXPECT_FALSE(applyEdit(l, 2, "x"));
  EXPECT_FALSE(applyEdit(l, 0, "x"));
}

TEST(SubList, NumbersOfTheSmallDialogs) {
  EXPECT_EQ(parseInt(" -500 "), -500);
  EXPECT_FALSE(parseInt("Edit1"));
  EXPECT_FALSE(parseInt("5.5"));
  EXPECT_FALSE(parseInt(""));
  EXPECT_FALSE(parseInt("99999999999999999999999"));
  Lesson l = cues(3);
  EXPECT_EQ(cueStart(l, "1"), 20000);
  EXPECT_EQ(cueStart(l, "3"), 60000);
  EXPECT_FALSE(cueStart(l, "0"));
  EXPECT_FALSE(cueStart(l, "4"));
  EXPECT_FALSE(cueStart(l, "x"));
}

}  // namespace
