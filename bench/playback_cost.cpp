// CPU cost of playing the demo video: Tallisen's main window with the real
// libmpv player against the mpv program with its X11 output, both on the same
// file for the same time in the same run.  Needs an X display (run it through
// bench/playback_cost.sh, which starts Xvfb); without one it is skipped.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/media/mpvplayer.h"
#include "platform/registry/registry.h"
#include "player/main.h"

namespace {

constexpr int kSeconds = 8;

double cpuSeconds(const rusage& r) {
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

// Percent of one core used by Tallisen while it plays, and while it is paused.
void measureTallisen(const std::string& video, double& playing, double& paused) {
  tl::reg::Hive hive((std::filesystem::temp_directory_path() / "tl_bench_cost.hive").string());
  MainDeps d;
  d.player = std::make_unique<tl::MpvPlayer>(true);
  d.hive = &hive;
  d.exedir = std::filesystem::temp_directory_path().string() + "/";
  d.showMessage = [](const QString&, const QString&) {};
  d.ask = [](const QString&, const QString&, int) { return 0; };
  Tf_main w(std::move(d));
  w.model()->options().pausemode = false;  // play straight through
  w.show();
  w.movfileopen(video);
  spin(1500);
  w.WMP().play();  // the window's first play (and its recorder) as the learner's
  spin(500);
  rusage a{}, b{};
  getrusage(RUSAGE_SELF, &a);
  QElapsedTimer t;
  t.start();
  spin(kSeconds * 1000);
  getrusage(RUSAGE_SELF, &b);
  playing = 100.0 * (cpuSeconds(b) - cpuSeconds(a)) / (t.elapsed() / 1000.0);
  w.WMP().pause();
  spin(500);
  getrusage(RUSAGE_SELF, &a);
  t.restart();
  spin(3000);
  getrusage(RUSAGE_SELF, &b);
  paused = 100.0 * (cpuSeconds(b) - cpuSeconds(a)) / (t.elapsed() / 1000.0);
}

// Percent of one core used by `mpv --vo=x11` playing the same file.
double measureMpv(const std::string& video) {
  const std::string length = "--length=" + std::to_string(kSeconds + 1);
  QElapsedTimer t;
  t.start();
  pid_t pid = fork();
  if (pid == 0) {
    execlp("mpv", "mpv", "--no-config", "--really-quiet", "--vo=x11", "--ao=null",
           "--hwdec=no", length.c_str(), video.c_str(), (char*)nullptr);
    _exit(127);
  }
  if (pid < 0) return -1;
  int status = 0;
  rusage r{};
  wait4(pid, &status, 0, &r);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return -1;
  return 100.0 * cpuSeconds(r) / (t.elapsed() / 1000.0);
}

void BM_PlaybackCost(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X display: run bench/playback_cost.sh");
    return;
  }
  static int argc = 1;
  static char arg0[] = "bench";
  static char* argv[] = {arg0, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
  const std::string video = TL_BINARY_DIR "/demo/demo.mkv";
  double playing = 0, paused = 0, mpv = 0;
  for (auto _ : state) {
    measureTallisen(video, playing, paused);
    mpv = measureMpv(video);
  }
  state.counters["tallisen_cpu_pct"] = playing;
  state.counters["paused_cpu_pct"] = paused;
  state.counters["mpv_x11_cpu_pct"] = mpv;
  state.counters["ratio"] = mpv > 0 ? playing / mpv : 0;
}
BENCHMARK(BM_PlaybackCost)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
