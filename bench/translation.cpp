// Responsiveness of the user-interface thread while the translation worker
// is busy: the fake server on 127.0.0.1 delays every reply by 3 s, a 50 ms
// timer (the main timer's interval) ticks through a lesson as playback would,
// and the longest gap between two ticks is reported.  The run lasts 10 s
// (the goal: a gap under two intervals).  A second measure drives a stream of
// on-demand translations at the same time.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "player/lessonmodel.h"
#include "player/translate/translation.h"
#include "support/fakehttpserver.h"
#include "support/lessonbuilder.h"

namespace {

constexpr int kIntervalMs = 50;
constexpr int kRunMs = 10000;

void ensureApp() {
  static int argc = 1;
  static char name[] = "bench_translation";
  static char* argv[] = {name, nullptr};
  if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

void loadLesson(LessonModel& m, int cues) {
  m.lesson() = tl::test::LessonBuilder()
                  .cues(cues, 20000, 15000, "Several longer words inside this sentence\r\n")
                  .unloaded()
                  .build();
  m.announce(tl::Change::Load);
}

void BM_UiGapWhileWorkerWaits3s(benchmark::State& state) {
  ensureApp();
  const bool onDemand = state.range(0) != 0;
  for (auto _ : state) {
    tl::test::FakeHttpServer server;
    server.setDefault(tl::test::FakeHttpServer::answer("<string>\xE8\xA8\xB3</string>", 200, 3000));
    LessonModel model;
    loadLesson(model, 500);
    int landed = 0;
    QObject::connect(&model, &LessonModel::changed, [&](tl::Change c, int) {
      if (c == tl::Change::Translations) ++landed;
    });
    qint64 maxGap = 0, ticks = 0;
    {
      TranslationService ts(&model, {server.hostPort(), "ID"});
      ts.transwordset();
      QElapsedTimer clock;
      clock.start();
      qint64 last = 0;
      tl::ttime pos = 0;
      QTimer tick;
      tick.setTimerType(Qt::PreciseTimer);
      QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        if (ticks > 0) maxGap = std::max(maxGap, now - last);
        last = now;
        ++ticks;
        pos += kIntervalMs * 10;
        const int cue = int(pos / 20000);
        ts.setPosition(cue > 0 ? 2 * cue - 1 : 0, pos);
        if (onDemand && ticks % 20 == 0) ts.trans("Several", [](const std::string&) {});
      });
      tick.start(kIntervalMs);
      QEventLoop loop;
      QTimer::singleShot(kRunMs, &loop, &QEventLoop::quit);
      loop.exec();
      tick.stop();
      QElapsedTimer closing;
      closing.start();
      ts.stop();
      state.counters["close_ms"] = double(closing.elapsed());
    }
    state.counters["max_gap_ms"] = double(maxGap);
    state.counters["gap_in_intervals"] = double(maxGap) / kIntervalMs;
    state.counters["ticks"] = double(ticks);
    state.counters["requests"] = double(server.requestCount());
    state.counters["landed"] = double(landed);
  }
}
BENCHMARK(BM_UiGapWhileWorkerWaits3s)->Arg(0)->Arg(1)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
