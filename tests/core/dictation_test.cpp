// The road of typed letters, hints, give-up, cursor moves and the jumps.
#include <gtest/gtest.h>

#include "core/dictation.h"
#include "core/dictationkeys.h"
#include "core/scenes.h"
#include "support/lessonbuilder.h"

using namespace tl;

namespace {

struct Cue {
  double from, to;  // seconds
  std::string text;
};

// A loaded table with every ASCII letter hidden; cue 1 displayed.
Lesson makeLesson(const std::vector<Cue>& cues) {
  test::LessonBuilder b;
  for (const Cue& c : cues) b.cue((ttime)(c.from * 10000), (ttime)(c.to * 10000), c.text + "\r\n");
  Lesson L = b.letters(test::Letters::Hidden).build();
  Scenecut(L, 10, 0);
  L.cursub = 1;
  Sceneposset(L);
  return L;
}

struct Typing : ::testing::Test {
  Options O;
  Lesson L;
  void load(const std::vector<Cue>& cues) {
    L = makeLesson(cues);
    Dictation d(L, O);
    d.cueDisplayed();
  }
  DictOutcome type(Dictation& d, const std::string& s) {
    DictOutcome last;
    for (char c : s) last = d.keyPress(c, true);
    return last;
  }
};

}  // namespace

TEST_F(Typing, TypedLetterOpensAndMovesCursor) {
  load({{1, 2, "Hi you"}});
  Dictation d(L, O);
  DictOutcome o = d.keyPress('h', true);
  EXPECT_TRUE(o.opened);
  EXPECT_EQ(L.subflg[1][0], flg_open);
  EXPECT_EQ(L.hintpoint, 21);
  EXPECT_EQ(L.flgrest, 4);
  EXPECT_EQ(L.subcsr, 1);
  EXPECT_TRUE(L.flgdirty);
  EXPECT_TRUE(o.changes.has(Change::Letters, 1));
  std::vector<LetterMark> marks{{LetterMark::Letter, 0, 0},
                                {LetterMark::Underline, 0, kUnderWhite},
                                {LetterMark::Underline, 1, kUnderYellow}};
  EXPECT_EQ(o.marks, marks);
  EXPECT_TRUE(d.lastword.empty());

  // Mismatch, upper case, non-letters: nothing.
  for (char c : std::string("xIA1 ")) {
    o = d.keyPress(c, true);
    EXPECT_FALSE(o.opened);
    EXPECT_TRUE(o.marks.empty());
  }
  EXPECT_EQ(L.hintpoint, 21);
  // Not in the foreground, peek key held, display modes: nothing.
  EXPECT_FALSE(d.keyPress('i', false).opened);
  d.peekkey = true;
  EXPECT_FALSE(d.keyPress('i', true).opened);
  d.peekkey = false;
  O.subview = true;
  EXPECT_FALSE(d.keyPress('i', true).opened);
  O.subview = false;

  // Finishing the word jumps over the space and remembers it.
  O.autocopy = true;
  o = d.keyPress('i', true);
  EXPECT_EQ(L.subcsr, 3);
  EXPECT_EQ(d.lastword, "Hi");
  EXPECT_EQ(o.clipboard, "Hi");
  EXPECT_EQ(o.logLine, "Hiコピーしました");
}

TEST_F(Typing, UpperCaseLetterInTextOpensByLowerCaseKey) {
  load({{1, 2, "E e"}});
  Dictation d(L, O);
  EXPECT_FALSE(d.keyPress('E', true).opened);
  EXPECT_TRUE(d.keyPress('e', true).opened);
  EXPECT_EQ(d.lastword, "E");  // a one-letter word
  EXPECT_TRUE(d.keyPress('e', true).opened);
}

TEST_F(Typing, WrapClearSceneAndAllCleared) {
  load({{1, 2, "ab cd"}, {3, 4, "x"}});
  Dictation d(L, O);
  d.wordNext(true);  // to "cd"
  ASSERT_EQ(L.subcsr, 3);
  type(d, "cd");
  EXPECT_EQ(L.subcsr, 0);  // wrapped to the first hidden letter
  EXPECT_EQ(d.lastword, "cd");

  // Clearing cue 1: letter + cue credit, BCLR only (cue 2 of the scene is open).
  const int32_t before = L.hintpoint;
  type(d, "a");
  DictOutcome o = d.keyPress('b', true);
  EXPECT_EQ(L.subclear[1], 1);
  EXPECT_EQ(L.hintpoint, before + 1 + 2);
  EXPECT_EQ(o.sounds, std::vector<CueSound>{CueSound::BCLR});
  EXPECT_TRUE(o.changes.has(Change::Letters, 1));
  EXPECT_TRUE(o.message.empty());

  // Typing in a cleared cue changes nothing and earns nothing.
  const int32_t p = L.hintpoint;
  EXPECT_FALSE(d.keyPress('a', true).opened);
  EXPECT_EQ(L.hintpoint, p);

  // The last cue clears the scene and the whole file: 3 credits.
  L.cursub = 3;
  d.cueDisplayed();
  o = d.keyPress('x', true);
  EXPECT_EQ(L.hintpoint, p + 3);
  EXPECT_EQ((std::vector<CueSound>{CueSound::BCLR, CueSound::SCLR}), o.sounds);
  EXPECT_EQ(L.sceneflg[0], 1);
  EXPECT_EQ(L.flgrest, 0);
  EXPECT_TRUE(o.congratulate);
  EXPECT_EQ(o.message, kMsgAllCleared);
}

TEST_F(Typing, SoundsFollowSoundmodeAndPeek) {
  O.soundmode = false;
  load({{1, 2, "a"}});
  Dictation d(L, O);
  DictOutcome o = d.keyPress('a', true);
  EXPECT_TRUE(o.sounds.empty());
  EXPECT_EQ(L.hintpoint, 23);
}

TEST_F(Typing, HintWithAndWithoutLimit) {
  load({{1, 2, "ab"}});
  Dictation d(L, O);
  O.hintmode = true;
  L.hintpoint = 19;
  DictOutcome o = d.hint();
  EXPECT_FALSE(o.opened);
  EXPECT_EQ(o.message, "ヒント回数がないので使えません　20文字あけるごとにヒントが１回使えます");
  EXPECT_EQ(L.subflg[1][0], flg_closed);

  O.hintmode = false;
  L.hintpoint = 0;
  o = d.hint();
  EXPECT_TRUE(o.opened);
  EXPECT_EQ(L.subflg[1][0], flg_hinted);
  EXPECT_EQ(L.hintpoint, -20);
  EXPECT_EQ(o.marks[1], (LetterMark{LetterMark::Underline, 0, kUnderRed}));

  O.hintmode = true;
  L.hintpoint = 20;
  o = d.hint();  // opens the last letter: cue, scene and file cleared
  EXPECT_TRUE(o.opened);
  EXPECT_EQ(L.hintpoint, 0 + 1 + 1);
  EXPECT_TRUE(o.congratulate);
  // A cleared cue takes no hint and costs nothing.
  L.hintpoint = 40;
  EXPECT_FALSE(d.hint().opened);
  EXPECT_EQ(L.hintpoint, 40);
}

TEST_F(Typing, GiveupLimitAndEffect) {
  load({{1, 2, "ab c"}, {30, 31, "d"}});
  Dictation d(L, O);
  O.giveup = true;
  L.repcount = 2;
  DictOutcome o = d.giveup(true);
  EXPECT_EQ(o.message, kMsgGiveupLimit);
  EXPECT_EQ(L.flgrest, 4);
  EXPECT_TRUE(d.giveup(false).message.empty());  // not in the foreground

  L.repcount = 3;
  const int32_t p = L.hintpoint;
  o = d.giveup(true);
  EXPECT_TRUE(o.message.empty());
  EXPECT_EQ(L.subflg[1], (std::vector<int32_t>{2, 2, -1, 2, -1, -1}));
  EXPECT_EQ(L.flgrest, 1);
  EXPECT_EQ(L.subclear[1], 1);
  EXPECT_TRUE(L.flgdirty);
  // Cue 2 is its own scene (30 s gap): scene 0 cleared, one credit, SCLR only.
  EXPECT_EQ(L.hintpoint, p + 1);
  EXPECT_EQ(o.sounds, std::vector<CueSound>{CueSound::SCLR});
  EXPECT_TRUE(o.changes.has(Change::Letters, 1));
}

TEST_F(Typing, NoDisplayedCueOrNoLettersDoesNothing) {
  load({{1, 2, ""}, {3, 4, "ab"}});
  Dictation d(L, O);
  // Slot 0 and a gap.
  for (int32_t slot : {0, 2, 99, -1}) {
    L.cursub = slot;
    L.subcsr = 7;
    EXPECT_FALSE(d.keyPress('a', true).opened);
    EXPECT_FALSE(d.hint().opened);
    DictOutcome g = d.giveup(true);
    EXPECT_TRUE(g.changes.empty());
    EXPECT_TRUE(d.wordNext(true).marks.empty());
    EXPECT_TRUE(d.wordBack(true).marks.empty());
  }
  // A letterless cue ("\r\n" only) became cleared on display; the cursor
  // is put back inside its text.
  L.cursub = 1;
  L.subcsr = 50;
  d.cueDisplayed();
  EXPECT_EQ(L.subcsr, 1);
  EXPECT_EQ(L.subclear[1], 1);
  EXPECT_FALSE(d.keyPress('a', true).opened);
  // A cursor past the end of the text is put back inside it.
  L.cursub = 3;
  L.subcsr = 1000;
  EXPECT_FALSE(d.keyPress('b', true).opened);
  EXPECT_EQ(L.subcsr, 3);  // the last byte of "ab\r\n"
  L.subcsr = -5;
  EXPECT_TRUE(d.keyPress('a', true).opened);
  EXPECT_EQ(L.subflg[3][0], flg_open);
}

TEST_F(Typing, CursorMovesWrapAndAlwaysEnd) {
  load({{1, 2, "ab cd ef"}});
  Dictation d(L, O);
  ASSERT_EQ(L.subcsr, 0);
  // Left at the first hidden run wraps to the last run.
  DictOutcome o = d.wordBack(true);
  EXPECT_EQ(L.subcsr, 6);
  EXPECT_EQ(o.marks.front(), (LetterMark{LetterMark::Underline, 0, kUnderRed}));
  EXPECT_EQ(o.marks.back(), (LetterMark{LetterMark::Underline, 6, kUnderYellow}));
  d.wordBack(true);
  EXPECT_EQ(L.subcsr, 3);
  // Right: next run, then wrap to 0.
  d.wordNext(true);
  EXPECT_EQ(L.subcsr, 6);
  d.wordNext(true);
  EXPECT_EQ(L.subcsr, 0);
  // From inside a word Left goes to its start.
  L.subcsr = 4;
  d.wordBack(true);
  EXPECT_EQ(L.subcsr, 3);
  // Not in the foreground: nothing.
  EXPECT_TRUE(d.wordNext(false).marks.empty());

  // No hidden letter although not cleared: every start ends, cursor inside.
  for (auto& f : L.subflg[1]) f = flg_open;
  for (int32_t s = -3; s < 14; ++s) {
    L.subcsr = s;
    d.wordBack(true);
    EXPECT_GE(L.subcsr, 0);
    EXPECT_LT(L.subcsr, 10);
    d.wordNext(true);
    EXPECT_LT(L.subcsr, 10);
    EXPECT_FALSE(cursorBeforeWord(L, s));
    EXPECT_FALSE(cursorNextWord(L, s));
  }
  // A single hidden letter at the last index (not a real text, but must end).
  L.subflg[1].back() = flg_closed;
  for (int32_t s = 0; s < 10; ++s) {
    cursorBeforeWord(L, s);
    cursorNextWord(L, s);
  }
}

TEST_F(Typing, ReHidingHintsRecounts) {
  load({{1, 2, "ab"}, {3, 4, "c,"}});
  Dictation d(L, O);
  d.hint();
  d.hint();  // cue 1 cleared by hints
  L.subflg[3][1] = flg_hinted;  // a hinted comma (never hidden again)
  L.flgdirty = false;
  DictOutcome o = d.hidehint();
  EXPECT_EQ(L.subflg[1][0], flg_closed);
  EXPECT_EQ(L.subflg[1][1], flg_closed);
  EXPECT_EQ(L.subflg[3][1], flg_hinted);
  EXPECT_EQ(L.flgrest, 3);
  EXPECT_EQ(L.subclear[1], 0);
  EXPECT_EQ(L.subclear[2], 1);  // gaps count as cleared after a recount
  EXPECT_TRUE(L.flgdirty);
  EXPECT_TRUE(o.changes.has(Change::Letters, kAllSlots));
}

TEST_F(Typing, JumpsToHiddenText) {
  O.backmore = 1000;
  load({{10, 11, "a"}, {12, 13, "b"}, {14, 15, "c"}, {16, 17, "d"}, {18, 19, "e"}});
  Dictation d(L, O);
  L.cursub = 7;  // cue 4; cues 1-3 uncleared
  DictOutcome o = d.backclose();
  EXPECT_TRUE(o.play);
  EXPECT_EQ(o.playSlot, 0);
  EXPECT_EQ(o.playTime, 100000 - 10000);
  // Cue 2 cleared: the run before cue 4 is cue 3 alone.
  L.subclear[3] = 1;
  EXPECT_EQ(d.backclose().playTime, 140000 - 10000);
  // All earlier cleared: nothing.
  L.subclear[1] = L.subclear[5] = 1;
  EXPECT_FALSE(d.backclose().play);

  o = d.nextclose();
  EXPECT_EQ(o.playTime, 180000 - 10000);
  L.subclear[9] = 1;
  EXPECT_FALSE(d.nextclose().play);
  L.cursub = 0;
  EXPECT_EQ(d.nextclose().playTime, 160000 - 10000);
  // A lead-in reaching before the file's start plays from 0.
  L.subtime[1] = 5000;
  L.subclear[1] = 0;
  L.cursub = 3;
  EXPECT_EQ(d.backclose().playTime, 0);
  L.cursub = 0;
  EXPECT_EQ(d.nextclose().playTime, 0);
}

TEST_F(Typing, KeyDecisions) {
  load({{10, 11, "a"}});
  Dictation d(L, O);
  KeyEnv env;
  KeyDownCmd c = dictKeyDown(d, L, DictKey::Space, 0, env, 100);
  EXPECT_EQ(c.kind, KeyDownCmd::HoldSpace);
  EXPECT_TRUE(d.ppbtnheld);
  // While held, other keys do nothing.
  EXPECT_EQ(dictKeyDown(d, L, DictKey::Backspace, 0, env, 110).kind, KeyDownCmd::None);
  EXPECT_TRUE(dictKeyUp(d, L, DictKey::Space, env, 200).playpause);
  EXPECT_FALSE(d.ppbtnheld);
  env.editFocus = true;
  EXPECT_EQ(dictKeyDown(d, L, DictKey::Space, 0, env, 300).kind, KeyDownCmd::None);
  EXPECT_EQ(dictKeyDown(d, L, DictKey::Backspace, 0, env, 300).kind, KeyDownCmd::None);
  EXPECT_FALSE(dictKeyUp(d, L, DictKey::Space, env, 300).playpause);
  env.editFocus = false;
  EXPECT_EQ(dictKeyDown(d, L, DictKey::Backspace, 0, env, 300).kind, KeyDownCmd::Replay);

  c = dictKeyDown(d, L, DictKey::Digit, 3, env, 5000);
  EXPECT_EQ(c.kind, KeyDownCmd::PlayFromCue);
  EXPECT_EQ(c.slot, 1);
  EXPECT_EQ(c.time, 100000 - 30000);
  EXPECT_EQ(L.replaytick, 5000u);
  EXPECT_FALSE(dictKeyUp(d, L, DictKey::Digit, env, 6000).playpause);  // 1000 ms: not more
  c = dictKeyDown(d, L, DictKey::Digit, 8, env, 7000);
  EXPECT_EQ(c.kind, KeyDownCmd::PlayFromPos);
  EXPECT_EQ(positionMinus(12.5, 8), 45000);
  EXPECT_EQ(positionMinus(3.0, 7), 0);  // before the start: from 0
  EXPECT_TRUE(dictKeyUp(d, L, DictKey::Digit, env, 8001).playpause);  // held > 1 s

  EXPECT_EQ(dictKeyDown(d, L, DictKey::Peek, 0, env, 9000).kind, KeyDownCmd::PeekOn);
  EXPECT_TRUE(d.peekkey);
  EXPECT_FALSE(d.keyPress('a', true).opened);  // letters are not typed while peeking
  EXPECT_TRUE(dictFocusLost(d));
  EXPECT_FALSE(d.peekkey);
  EXPECT_FALSE(d.ppbtnheld);
  // Not in the foreground: key down does nothing.
  env.foreground = false;
  EXPECT_EQ(dictKeyDown(d, L, DictKey::Space, 0, env, 9100).kind, KeyDownCmd::None);
}
