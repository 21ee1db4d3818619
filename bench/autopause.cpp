// Where the auto-pause lands after each cue's end, with real libmpv playing
// the demo lesson (build/demo/demo.mkv and demo.wav with demo.srt): the main
// timer's 50 ms poll alone, and the poll with the precise one-shot timer at
// the cue end, in the same run.  Overshoot = the position where playback
// stood still minus the cue's end, over every cue: min, median, max.
//
//   bench_autopause                     both modes, both media
//   bench_autopause --precise=off       the poll alone
//   bench_autopause --benchmark_filter=wav
//   TL_SETTLE_MS=0 bench_autopause      read the position at once after the pause
//                                       (default: 80 ms later, where it settled)
//   TL_SOUND=1 bench_autopause          play through the sound server instead
//                                       of mpv's null output
//
// Goal: video within one frame (40 ms) after the end, on the frame grid;
// audio only within 10 ms median, 25 ms max.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "core/maintimer.h"
#include "core/srtread.h"
#include "media/mediatest.h"
#include "platform/media/mpvplayer.h"

namespace {

using tl::test::spin;
using tl::test::waitFor;

bool gPreciseAllowed = true;

using tl::bench::Figures;
using tl::bench::figures;

// Plays the medium through with the lesson's cues; the overshoot of every
// pause in milliseconds.
bool measure(const std::string& media, const tl::Lesson& lesson, bool precise, std::vector<double>& out,
             std::string& err) {
  tl::MpvPlayer player(!std::getenv("TL_SOUND"));
  player.setURL(media);
  if (!waitFor([&] { return player.openState() == tl::os_mediaopen; }, 10000)) {
    err = "cannot open " + media;
    return false;
  }
  tl::Lesson L = lesson;
  tl::Options O;
  tl::test::PlayerTimerView view(player);
  tl::MainTimer timer(L, O, view);
  tl::TimerInputs in;
  in.movopened = true;
  const int interval = 50;
  QTimer poll, shot;
  poll.setInterval(interval);
  shot.setSingleShot(true);
  shot.setTimerType(Qt::PreciseTimer);
  auto follow = [&] {
    if (!precise) return;
    double pos = 0;
    if (!player.currentPosition(pos)) return;
    const tl::EndShot s = timer.endShot(in, player.playState() == tl::ps_playing, pos, player.rate(), interval);
    if (s.kind == tl::EndShot::Pause) {
      shot.stop();
      timer.pauseAtEnd(in, s.end);
    } else if (s.kind == tl::EndShot::Arm) {
      shot.start(s.delayMs);
    } else {
      shot.stop();
    }
  };
  QObject::connect(&poll, &QTimer::timeout, [&] {
    timer.tick(in);
    follow();
  });
  QObject::connect(&shot, &QTimer::timeout, follow);
  poll.start();
  player.play();
  const double last = (double)L.subtime[L.subcount - 1] / 10000.0;
  int seen = 0;
  while (true) {
    const bool paused = waitFor([&] { return (int)view.pausedAt.size() > seen; }, 15000);
    if (!paused) break;
    seen = (int)view.pausedAt.size();
    // The end of the cue just left: the last cue end before the position.
    spin(std::getenv("TL_SETTLE_MS") ? std::atoi(std::getenv("TL_SETTLE_MS")) : 80);  // playback settles where the pause landed
    double p = 0;
    player.currentPosition(p);
    const tl::ttime pt = tl::secondsToTime(p);
    tl::ttime end = -1;
    for (int i = 2; i < L.subcount; i += 2)
      if (L.subtime[i] <= pt + 1000 && !L.subtext[i - 1].empty()) end = std::max(end, L.subtime[i]);
    if (end >= 0) out.push_back((double)(pt - end) / 10.0);
    if (p >= last - 0.01) break;
    player.play();
  }
  poll.stop();
  shot.stop();
  if (out.empty()) {
    err = "no pause on " + media;
    return false;
  }
  return true;
}

std::string demo(const char* name) { return std::string(TL_BINARY_DIR) + "/demo/" + name; }

void BM_AutoPause(benchmark::State& state, const char* media, bool precise) {
  if (precise && !gPreciseAllowed) {
    state.SkipWithError("precise timer off (--precise=off)");
    return;
  }
  tl::Lesson L;
  const std::string srt = demo("demo.srt"), file = demo(media);
  if (!std::filesystem::exists(srt) || !std::filesystem::exists(file)) {
    state.SkipWithError("no demo lesson (build the demo target)");
    return;
  }
  if (!tl::loadSrt(srt, 28591, "/tmp/", L).ok) {
    state.SkipWithError("demo.srt does not load");
    return;
  }
  for (auto _ : state) {
    std::vector<double> over;
    std::string err;
    if (!measure(file, L, precise, over, err)) {
      state.SkipWithError(err.c_str());
      return;
    }
    const Figures f = figures(over);
    state.counters["cues"] = (double)f.n;
    state.counters["min_ms"] = f.min;
    state.counters["median_ms"] = f.median;
    state.counters["max_ms"] = f.max;
    std::printf("%-9s %-7s overshoot over %zu cues: min %6.1f ms  median %6.1f ms  max %6.1f ms\n", media,
                precise ? "precise" : "poll", f.n, f.min, f.median, f.max);
  }
}

BENCHMARK_CAPTURE(BM_AutoPause, mkv_poll, "demo.mkv", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_AutoPause, mkv_precise, "demo.mkv", true)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_AutoPause, wav_poll, "demo.wav", false)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_AutoPause, wav_precise, "demo.wav", true)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
  std::vector<char*> args;
  for (int i = 0; i < argc; ++i) {
    if (std::strcmp(argv[i], "--precise=off") == 0) {
      gPreciseAllowed = false;
      continue;
    }
    args.push_back(argv[i]);
  }
  int n = (int)args.size();
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  benchmark::Initialize(&n, args.data());
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
