// CPU cost of playing the demo video with its subtitles: Tallisen's main
// window with the real libmpv player against the mpv program with its X11
// output, both on the same file in the same run.  Needs an X display; run it
// through bench/playback_cost.sh, which measures two cases in interleaved
// rounds: no sound server, and a private PulseAudio server whose null sink's
// monitor is the default source (so the waveform's recorder runs).  Without a
// display it is skipped.
//
// To compare like with like: mpv's window gets exactly the size of our video
// picture (so both scale to, and put on screen, the same number of pixels);
// both use the sound output the environment gives; both are measured over
// the same span of steady playback after the same warm-up (start-up work is
// left out of both); each round checks that both really played through the
// span, that our subtitles were shown (the title names demo.srt) and that
// the picture stood still while paused.  Every round is printed with the
// machine's load; the figures are medians over the rounds.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "benchsupport.h"
#include "platform/media/mpvplayer.h"
#include "platform/registry/registry.h"
#include "player/main/main.h"

namespace {

constexpr int kWarmupMs = 2000;   // after play starts, before measuring
constexpr int kSeconds = 16;      // measured span (the clip is 32 s long)
constexpr int kPausedSeconds = 4;
constexpr int kRounds = 5;  // TL_BENCH_ROUNDS overrides

double cpuSeconds(const rusage& r) {
  return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// CPU seconds of a child process so far (user + system), -1 when gone.
double childCpuSeconds(pid_t pid) {
  std::ifstream f("/proc/" + std::to_string(pid) + "/stat");
  std::string s((std::istreambuf_iterator<char>(f)), {});
  const auto close = s.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream in(s.substr(close + 2));
  std::string field;
  std::vector<std::string> v;
  while (in >> field) v.push_back(field);
  // After "pid (comm) ": state is field 3, utime 14, stime 15.
  if (v.size() < 13 || v[0] == "Z") return -1;
  return (std::stod(v[11]) + std::stod(v[12])) / double(sysconf(_SC_CLK_TCK));
}

void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

using tl::bench::loadAverage;

double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

struct TallisenRun {
  double playing = -1, paused = -1;
  QSize picture;    // the video picture on screen
  int frames = 0;   // frames shown during the measured span
  int pausedFrames = 0;  // frames shown while paused
  bool subtitled = false;  // the subtitles were loaded all through the span
};

// Percent of one core used by Tallisen while it plays, and while it is paused.
TallisenRun measureTallisen(const std::string& video, const std::string& srt) {
  TallisenRun run;
  tl::reg::Hive hive((std::filesystem::temp_directory_path() / "tl_bench_cost.hive").string());
  tl::MpvPlayer* mpv = nullptr;
  Tf_main w(tl::bench::windowDeps(hive, &mpv));
  w.model()->options().pausemode = false;  // play straight through
  w.show();
  w.srtfileopen(srt);
  w.movfileopen(video);
  spin(1500);
  w.WMP().play();  // the window's first play (and its recorder) as the learner's
  spin(kWarmupMs);
  run.picture = mpv->videoView()->videoRect().size();
  const int frames0 = mpv->framesShown();
  auto subtitled = [&] { return w.windowTitle().endsWith(QStringLiteral("[demo.srt]")); };
  run.subtitled = subtitled();
  rusage a{}, b{};
  getrusage(RUSAGE_SELF, &a);
  QElapsedTimer t;
  t.start();
  spin(kSeconds * 1000);
  getrusage(RUSAGE_SELF, &b);
  run.playing = 100.0 * (cpuSeconds(b) - cpuSeconds(a)) / (t.elapsed() / 1000.0);
  run.frames = mpv->framesShown() - frames0;
  run.subtitled = run.subtitled && subtitled();
  if (w.WMP().playState() != tl::ps_playing) run.playing = -1;
  w.playpause();  // paused as the learner pauses
  spin(1000);
  const int pausedFrames0 = mpv->framesShown();
  getrusage(RUSAGE_SELF, &a);
  t.restart();
  spin(kPausedSeconds * 1000);
  getrusage(RUSAGE_SELF, &b);
  run.paused = 100.0 * (cpuSeconds(b) - cpuSeconds(a)) / (t.elapsed() / 1000.0);
  run.pausedFrames = mpv->framesShown() - pausedFrames0;
  return run;
}

// Percent of one core used by `mpv --vo=x11` playing the same file in a
// window of the given size, over the same span after the same warm-up.
double measureMpv(const std::string& video, QSize window) {
  const std::string geometry =
      "--geometry=" + std::to_string(window.width()) + "x" + std::to_string(window.height());
  pid_t pid = fork();
  if (pid == 0) {
    execlp("mpv", "mpv", "--no-config", "--really-quiet", "--vo=x11", "--hwdec=no", "--no-border", "--no-osc", "--osd-level=0", geometry.c_str(),
           video.c_str(), (char*)nullptr);
    _exit(127);
  }
  if (pid < 0) return -1;
  // mpv opens its file in about the time our window takes (1.5 s) and then
  // plays: the same warm-up as ours follows.
  usleep((1500 + kWarmupMs) * 1000);
  QElapsedTimer t;
  const double a = childCpuSeconds(pid);
  t.start();
  usleep(kSeconds * 1000 * 1000);
  const double b = childCpuSeconds(pid);
  const double secs = t.elapsed() / 1000.0;
  // Still running at the end of the span: it played all through it.
  const bool alive = waitpid(pid, nullptr, WNOHANG) == 0;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  if (!alive || a < 0 || b < 0) return -1;
  return 100.0 * (b - a) / secs;
}

void BM_PlaybackCost(benchmark::State& state) {
  if (!std::getenv("DISPLAY")) {
    state.SkipWithError("no X display: run bench/playback_cost.sh");
    return;
  }
  tl::bench::ensureApplication();
  const std::string video = TL_BINARY_DIR "/demo/demo.mkv";
  const std::string srt = TL_BINARY_DIR "/demo/demo.srt";
  const char* caseName = std::getenv("TL_BENCH_CASE");
  std::vector<double> ours, paused, theirs, ratios;
  QSize picture;
  int frames = 0;
  for (auto _ : state) {
    const char* env = std::getenv("TL_BENCH_ROUNDS");
    const int rounds = env && std::atoi(env) > 0 ? std::atoi(env) : kRounds;
    for (int i = 0; i < rounds; ++i) {
      const double load = loadAverage();
      const TallisenRun r = measureTallisen(video, srt);
      if (r.playing < 0 || r.picture.isEmpty() || r.frames <= 0) {
        state.SkipWithError("Tallisen did not play through the measured span");
        return;
      }
      if (!r.subtitled) {
        state.SkipWithError("the subtitles were not shown while measuring");
        return;
      }
      if (r.pausedFrames > 0) {
        state.SkipWithError("the picture moved while paused");
        return;
      }
      const double m = measureMpv(video, r.picture);
      if (m <= 0) {
        state.SkipWithError("mpv did not play through the measured span");
        return;
      }
      std::fprintf(stderr, "round %d%s%s: load %.2f; picture %dx%d, %d frames, subtitles shown; "
                   "tallisen %.2f %%, paused %.2f %%, mpv %.2f %%, ratio %.2f\n", i + 1,
                   caseName ? " " : "", caseName ? caseName : "", load, r.picture.width(),
                   r.picture.height(), r.frames, r.playing, r.paused, m, r.playing / m);
      ours.push_back(r.playing);
      paused.push_back(r.paused);
      theirs.push_back(m);
      ratios.push_back(r.playing / m);
      picture = r.picture;
      frames = r.frames;
    }
  }
  state.counters["tallisen_cpu_pct"] = median(ours);
  state.counters["paused_cpu_pct"] = median(paused);
  state.counters["mpv_x11_cpu_pct"] = median(theirs);
  state.counters["ratio"] = median(ratios);
  state.counters["picture_w"] = picture.width();
  state.counters["picture_h"] = picture.height();
  state.counters["frames"] = frames;
}
BENCHMARK(BM_PlaybackCost)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
