// CPU time of the core part of one typed letter (compare, open, cursor,
// clear and scene checks) and of a cursor move, on a film-sized table.
#include <benchmark/benchmark.h>

#include "core/dictation.h"
#include "core/scenes.h"

using namespace tl;

namespace {

// 1500 cues of two 30-letter lines, scenes every 20 cues.
Lesson bigLesson() {
  Lesson L;
  const int32_t n = 1500;
  L.subcount = 2 * n + 1;
  L.subtime.assign(L.subcount, 0);
  L.subtext.assign(L.subcount, "");
  L.subflg.assign(L.subcount, {});
  L.subclear.assign(L.subcount, 0);
  for (int32_t k = 0; k < n; ++k) {
    const int32_t s = 2 * k + 1;
    L.subtime[s] = (ttime)k * 30000 + (ttime)(k / 20) * 200000;  // a 20 s pause every 20 cues
    L.subtime[s + 1] = L.subtime[s] + 20000;
    L.subtext[s] = "Where are you going tonight, my friend?\r\nI am going home now.\r\n";
    for (unsigned char c : L.subtext[s]) L.subflg[s].push_back(asciiLetter(c) ? flg_closed : flg_out);
  }
  for (auto& f : L.subflg)
    for (int32_t v : f) L.flgtotal += v == flg_closed;
  L.flgrest = L.flgtotal;
  L.srtloaded = true;
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
