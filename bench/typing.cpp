// CPU time of the core part of one typed letter (compare, open, cursor,
// clear and scene checks) and of a cursor move, on a film-sized table.
#include <benchmark/benchmark.h>

#include "core/dictation.h"
#include "core/scenes.h"
#include "support/lessonbuilder.h"

using namespace tl;

namespace {

// 1500 cues of two 30-letter lines, scenes every 20 cues.
Lesson bigLesson() {
  test::LessonBuilder b;
  for (int32_t k = 0; k < 1500; ++k) {
    const ttime from = (ttime)k * 30000 + (ttime)(k / 20) * 200000;  // a 20 s pause every 20 cues
    b.cue(from, from + 20000, "Where are you going tonight, my friend?\r\nI am going home now.\r\n");
  }
  Lesson L = b.letters(test::Letters::Hidden).build();
  Scenecut(L, 10, 0);
  L.cursub = 1;
  Sceneposset(L);
  return L;
}

void rehide(Lesson& L, int32_t slot) {
  for (auto& v : L.subflg[slot])
    if (v == flg_open) v = flg_closed;
  L.subclear[slot] = 0;
  L.flgrest = L.flgtotal;
}

void BM_TypedLetter(benchmark::State& state) {
  Options O;
  O.soundmode = true;
  Lesson L = bigLesson();
  Dictation d(L, O);
  d.cueDisplayed();
  for (auto _ : state) {
    if (L.subclear[L.cursub] == 1) {
      state.PauseTiming();
      rehide(L, L.cursub);
      for (auto& f : L.sceneflg) f = 0;
      d.cueDisplayed();
      state.ResumeTiming();
    }
    unsigned char c = (unsigned char)L.subtext[L.cursub][L.subcsr];
    if (c >= 'A' && c <= 'Z') c = (unsigned char)(c - 'A' + 'a');
    DictOutcome o = d.keyPress((char)c, true);
    benchmark::DoNotOptimize(o);
  }
}
BENCHMARK(BM_TypedLetter);

void BM_CursorNextWord(benchmark::State& state) {
  Options O;
  Lesson L = bigLesson();
  Dictation d(L, O);
  d.cueDisplayed();
  for (auto _ : state) {
    DictOutcome o = d.wordNext(true);
    benchmark::DoNotOptimize(o);
  }
}
BENCHMARK(BM_CursorNextWord);

void BM_Scenecut(benchmark::State& state) {
  Lesson L = bigLesson();
  for (auto _ : state) Scenecut(L, 10, 0);
}
BENCHMARK(BM_Scenecut);

}  // namespace
