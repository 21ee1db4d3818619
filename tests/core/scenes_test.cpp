// The scene table, the current scene and the scene buttons.
#include <gtest/gtest.h>

#include "core/dictation.h"
#include "core/scenes.h"
#include "support/lessonbuilder.h"

using namespace tl;

namespace {

// Cues with the given start times (time values), each 1 s long, "a" hidden.
Lesson cuesAt(const std::vector<ttime>& starts) {
  test::LessonBuilder b;
  for (ttime t : starts) b.cue(t, t + 10000, "a\r\n");
  return b.letters(test::Letters::Hidden).build();
}

}  // namespace

TEST(Scenes, CutAtTenSeconds) {
  // Never more than 10 s apart: one scene.
  Lesson L = cuesAt({0, 100000, 210000, 320000});
  Scenecut(L, 10, 0);
  EXPECT_EQ(L.scenetop, std::vector<int32_t>{1});
  EXPECT_EQ(L.sceneflg.size(), 1u);

  // Gap (end of cue 1 to start of cue 2): exactly 10 s no, 10 s + 1e-4 s yes.
  L = cuesAt({0, 110000, 220001, 400000});
  Scenecut(L, 10, 0);
  EXPECT_EQ(L.scenetop, (std::vector<int32_t>{1, 5, 7}));
  EXPECT_EQ(sceneLastSlot(L, 0), 4);
  EXPECT_EQ(sceneLastSlot(L, 2), 8);
  EXPECT_EQ(sceneFirstSlot(L, 3), -1);

  // Another gap value.
  Scenecut(L, 5, 0);
  EXPECT_EQ(L.scenetop, (std::vector<int32_t>{1, 3, 5, 7}));
  Scenecut(L, 100, 0);
  EXPECT_EQ(L.scenetop, (std::vector<int32_t>{1}));
}

TEST(Scenes, MinimumDistance) {
  // Long gaps at 20 s, 50 s and 100 s.
  Lesson L = cuesAt({0, 200000, 500000, 1000000});
  Scenecut(L, 10, 0);
  EXPECT_EQ(L.scenetop, (std::vector<int32_t>{1, 3, 5, 7}));
  Scenecut(L, 10, 600000);  // 60 s from the last scene's start
  EXPECT_EQ(L.scenetop, (std::vector<int32_t>{1, 7}));
}

TEST(Scenes, FlagsPositionAndStatus) {
  std::vector<ttime> starts;
  for (int k = 0; k < 20; ++k) starts.push_back((ttime)k * 200000);  // every cue its own scene
  Lesson L = cuesAt(starts);
  L.subclear[1] = 1;
  Scenecut(L, 10, 0);
  ASSERT_EQ(L.scenetop.size(), 20u);
  EXPECT_EQ(L.sceneflg[0], 1);
  EXPECT_EQ(L.sceneflg[1], 0);

  L.cursub = 0;
  EXPECT_EQ(Sceneposset(L), "0-0");
  EXPECT_EQ(L.curscene, -1);
  // Three scenes of 5 cues from cue 16 on: cue 17 in scene 3.
  L.scenetop = {1, 11, 31};
  L.sceneflg = {0, 0, 0};
  L.cursub = 33;
  EXPECT_EQ(Sceneposset(L), "3-17");
  EXPECT_EQ(L.curscene, 2);
}

TEST(Scenes, SceneCheckCreditsOnce) {
  Lesson L = cuesAt({0, 10000, 300000});
  Scenecut(L, 10, 0);  // scenes {1, 3} and {5}
  L.cursub = 1;
  Sceneposset(L);
  L.subclear[1] = 1;
  EXPECT_FALSE(sceneflgset(L));
  L.subclear[3] = 1;
  const int32_t p = L.hintpoint;
  EXPECT_TRUE(sceneflgset(L));
  EXPECT_EQ(L.hintpoint, p + 1);
  EXPECT_FALSE(sceneflgset(L));  // already cleared
  L.curscene = 7;                // outside the table: nothing
  EXPECT_FALSE(sceneflgset(L));
  L.curscene = -1;
  EXPECT_FALSE(sceneflgset(L));
}

TEST(Scenes, BackAndNext) {
  Lesson L = cuesAt({10000, 300000, 600000});
  Scenecut(L, 10, 0);  // one scene per cue
  L.cursub = 1;
  Sceneposset(L);
  // Scene back twice within a second from scene 0 replays scene 0.
  ScenePlay p = Sceneback(L, 5000);
  EXPECT_TRUE(p.play);
  EXPECT_EQ(p.time, 10000);
  p = Sceneback(L, 5500);
  EXPECT_EQ(L.curscene, 0);
  EXPECT_EQ(p.time, 10000);

  L.cursub = 5;
  Sceneposset(L);
  EXPECT_EQ(Sceneback(L, 10000).time, 600000);  // more than 1 s later: same scene
  p = Sceneback(L, 10999);                        // within 1 s: one back
  EXPECT_EQ(L.curscene, 1);
  EXPECT_EQ(p.time, 300000);
  EXPECT_EQ(p.status, "2-3");

  p = Scenenext(L);
  EXPECT_EQ(L.curscene, 2);
  EXPECT_EQ(p.time, 600000);
  EXPECT_FALSE(Scenenext(L).play);  // last scene

  L.curscene = -1;
  EXPECT_FALSE(Sceneback(L, 20000).play);
}

TEST(Scenes, RecutKeepsCurrentSceneInsideTable) {
  Lesson L = cuesAt({0, 200000, 400000, 600000});
  Scenecut(L, 10, 0);
  L.cursub = 7;
  Sceneposset(L);
  ASSERT_EQ(L.curscene, 3);
  Scenecut(L, 30, 0);  // one scene left
  EXPECT_EQ(L.curscene, 0);
  // Nothing displayed: the index is only clamped.
  L.cursub = 0;
  L.curscene = 9;
  Scenecut(L, 10, 0);
  EXPECT_EQ(L.curscene, 3);
}

TEST(Scenes, RecountBringsBackTenSecondScenes) {
  Lesson L = cuesAt({0, 70000, 140000});  // gaps of 6 s
  Scenecut(L, 5, 0);
  ASSERT_EQ(L.scenetop.size(), 3u);
  afterflgchgCore(L);
  EXPECT_EQ(L.scenetop, std::vector<int32_t>{1});
  EXPECT_TRUE(L.flgdirty);
}
