// Opening a given word in every cue.
#include <gtest/gtest.h>

#include "core/letterstates.h"
#include "core/wordopen.h"
#include "support/lessonbuilder.h"

using namespace tl;

namespace {

Lesson lessonOf(std::vector<std::string> cues) {
  test::LessonBuilder b;
  for (auto& c : cues) b.cue(0, 0, c + "\r\n");
  Lesson L = b.letters(test::Letters::None).unloaded().build();
  L.subtime.push_back(0);
  closeflginit(L);
  return L;
}

std::string states(const Lesson& L, int slot) {
  std::string s;
  for (int32_t f : L.subflg[slot]) s += f == flg_out ? '-' : char('0' + f);
  return s;
}

}  // namespace

TEST(WordOpen, EveryWholeWordOccurrence) {
  Lesson L = lessonOf({"There is the cat", "The cat", "the THE then"});
  EXPECT_EQ(word::openWord(L, "the"), 4);
  EXPECT_TRUE(L.flgdirty);
  EXPECT_EQ(states(L, 1), "11111-11-222-111--");  // "the" after "There" opens
  EXPECT_EQ(states(L, 3), "222-111--");
  EXPECT_EQ(states(L, 5), "222-222-1111--");
}

TEST(WordOpen, OnlyHiddenLettersChangeAndExcludedTextsCount) {
  Lesson L = lessonOf({"(laughs) now laughs"});
  L.subflg[1][13] = flg_open;  // "l" of the second "laughs" typed
  EXPECT_EQ(word::openWord(L, "Laughs"), 2);
  EXPECT_EQ(states(L, 1), "---------111-022222--");
  EXPECT_EQ(word::openWord(L, "ow"), 0);
  EXPECT_EQ(word::openWord(L, ""), 0);
}

TEST(WordOpen, NeverMatchesInsideADoubleByteCharacter) {
  // 0x83 0x41 ("ア"): its second byte is "A".
  Lesson L = lessonOf({"\x83\x41 a"});
  EXPECT_EQ(word::openWord(L, "a"), 1);
  EXPECT_EQ(states(L, 1), "---2--");
}
