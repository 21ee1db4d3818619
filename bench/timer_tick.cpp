// One main-timer tick over a table of 10 000 cues while playing through it.
#include <benchmark/benchmark.h>

#include "core/maintimer.h"
#include "support/lessonbuilder.h"

namespace {

struct QuietView : tl::TimerView {
  double pos = 0;
  bool playerPosition(double& s) override {
    s = pos;
    return true;
  }
  int playerState() override { return 3; }
  double playerDuration() override { return 50000; }
  uint32_t tickCount() override { return 1u << 30; }
  void setStatusText(int, const std::string&) override {}
  void mediumPositionReported(tl::ttime, double) override {}
  void tickPassed() override {}
  void lessonPositionReported(tl::ttime, bool) override {}
  void playpause() override {}
  void gapReached() override {}
  void newCueDisplayed() override {}
  void tickFailed(const std::string&) override {}
};

void BM_TimerTick10000Cues(benchmark::State& state) {
  const int cues = 10000;
  // cleared: it plays on without pausing
  tl::Lesson L = tl::test::LessonBuilder()
                     .cues(cues, 40000, 30000, "Some words of a cue\r\n")
                     .letters(tl::test::Letters::None)
                     .cleared()
                     .build();
  tl::Options O;
  QuietView v;
  tl::MainTimer t(L, O, v);
  tl::TimerInputs in;
  in.movopened = true;
  for (auto _ : state) {
    v.pos += 0.05;
    if (v.pos > cues * 4.0) v.pos = 0;
    t.tick(in);
  }
}
BENCHMARK(BM_TimerTick10000Cues);

}  // namespace
