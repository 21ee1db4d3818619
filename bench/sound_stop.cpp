// Where the sound really stops at each auto-pause, measured from the outside:
// the main window plays the demo lesson through a PulseAudio server, parec
// records the server's sink, and the cut is found in the recording.  The
// demo's cue ends are moved 300 ms earlier than the speech ends, so every
// pause cuts speech; each cut is lined up with demo.wav by matching the
// waveform just before it.  Beside it, the program's own reading of the
// pause (the position it reads once playback stood still).
//
// Run it through bench/sound_stop.sh, which starts the private sound server
// (and an X server) and passes PULSE_SERVER on:
//   bench/sound_stop.sh                 both media, build/
//   bench/sound_stop.sh build-x         another build folder
//   TL_ROUNDS=N ...                     N plays of each medium (default 3)
//   TL_SOUND_STOP_KEEP=DIR ...          keep the recordings (DIR/*.raw)
//
// Goal: demo.wav and demo.mkv both within median 10 ms, max 20 ms after the
// cue end; the learner never hears the next sentence.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "benchsupport.h"
#include "platform/media/mpvplayer.h"
#include "platform/registry/registry.h"
#include "player/lessonmodel.h"

namespace {

// Waits in the event loop as the program does (no busy polling, which would
// take a core from the player on a busy machine).
bool waitFor(const std::function<bool()>& pred, int timeoutMs) {
  if (pred()) return true;
  QEventLoop loop;
  QTimer poll, limit;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (pred()) loop.quit();
  });
  QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
  poll.start(2);
  limit.setSingleShot(true);
  limit.start(timeoutMs);
  loop.exec();
  return pred();
}

void spin(int ms) {
  QEventLoop loop;
  QTimer::singleShot(ms, &loop, &QEventLoop::quit);
  loop.exec();
}

constexpr int kRate = 22050;     // demo.wav's rate; the recording's too
constexpr int kEarlierMs = 300;  // cue ends moved this much before the speech ends
constexpr int kHoldMs = 1500;    // each pause is held this long (longer than any gap)

std::string demo(const char* name) { return std::string(TL_BINARY_DIR) + "/demo/" + name; }

// demo.srt with every cue end moved kEarlierMs earlier; the ends in ms.
std::string earlierEnds(const std::string& srt, const std::string& out, std::vector<double>& ends) {
  std::ifstream in(srt);
  std::stringstream text;
  text << in.rdbuf();
  const std::regex line(R"((\d\d):(\d\d):(\d\d),(\d\d\d) --> (\d\d):(\d\d):(\d\d),(\d\d\d))");
  std::string s = text.str(), result;
  std::smatch m;
  auto ms = [&](int i) {
    return ((std::stol(m[i]) * 60 + std::stol(m[i + 1])) * 60 + std::stol(m[i + 2])) * 1000 +
           std::stol(m[i + 3]);
  };
  while (std::regex_search(s, m, line)) {
    const long start = ms(1), end = ms(5) - kEarlierMs;
    ends.push_back(double(end));
    auto stamp = [](long t) {
      char at[48];
      std::snprintf(at, sizeof at, "%02ld:%02ld:%02ld,%03ld", t / 3600000, t / 60000 % 60, t / 1000 % 60,
                    t % 1000);
      return std::string(at);
    };
    result += m.prefix().str() + stamp(start) + " --> " + stamp(end);
    s = m.suffix().str();
  }
  result += s;
  std::ofstream(out, std::ios::binary) << result;
  return out;
}

std::vector<int16_t> readRaw(const std::string& path, size_t skipBytes = 0) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(f)), {});
  std::vector<int16_t> s;
  if (bytes.size() <= skipBytes) return s;
  s.resize((bytes.size() - skipBytes) / 2);
  std::memcpy(s.data(), bytes.data() + skipBytes, s.size() * 2);
  return s;
}

// demo.wav's samples (16-bit mono; the data chunk found by its tag).
std::vector<int16_t> readWav(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::vector<char> b((std::istreambuf_iterator<char>(f)), {});
  for (size_t i = 12; i + 8 <= b.size();) {
    uint32_t len = 0;
    std::memcpy(&len, &b[i + 4], 4);
    if (std::string(&b[i], 4) == "data") {
      std::vector<int16_t> s(std::min<size_t>(len, b.size() - i - 8) / 2);
      std::memcpy(s.data(), &b[i + 8], s.size() * 2);
      return s;
    }
    i += 8 + len + (len & 1);
  }
  return {};
}

// The lag k (source index = recording index + k) within [lo, hi] at which
// rec[from, from+n) matches the source best (normalised correlation).
long bestLag(const std::vector<int16_t>& rec, long from, long n, const std::vector<int16_t>& src, long lo,
             long hi, double* score) {
  long best = lo;
  double bestC = -2;
  double er = 0;
  for (long i = 0; i < n; ++i) er += double(rec[from + i]) * rec[from + i];
  for (long k = lo; k <= hi; ++k) {
    if (from + k < 0 || from + k + n > (long)src.size()) continue;
    double c = 0, es = 0;
    for (long i = 0; i < n; ++i) {
      const double x = src[from + k + i];
      c += x * rec[from + i];
      es += x * x;
    }
    const double norm = std::sqrt(er * es);
    const double v = norm > 0 ? c / norm : 0;
    if (v > bestC) {
      bestC = v;
      best = k;
    }
  }
  if (score) *score = bestC;
  return best;
}

struct Pause {
  double end = 0;      // the cue end, ms
  double reading = 0;  // the program's reading minus the end, ms
  double cut = NAN;    // where the sound stopped minus the end, ms
  double match = 0;    // how well the recording lined up with the source (1: exactly)
};

// Plays the medium with the main window; every pause's cue end and reading.
bool play(const std::string& media, const std::string& srt, const std::vector<double>& ends,
          std::vector<Pause>& pauses, std::string& err) {
  tl::reg::Hive hive((std::filesystem::temp_directory_path() / "tl_bench_soundstop.hive").string());
  tl::MpvPlayer* mpv = nullptr;
  Tf_main w(tl::bench::windowDeps(hive, &mpv));
  w.model()->options().pausemode = true;
  w.model()->options().notclearpause = false;
  w.show();
  w.srtfileopen(srt);
  w.movfileopen(media);
  if (!waitFor([&] { return mpv->openState() == tl::os_mediaopen; }, 10000)) {
    err = "cannot open " + media;
    return false;
  }
  spin(500);
  w.WMP().play();  // the window's first play, as the learner's
  const double last = ends.back();
  while (true) {
    if (!waitFor([&] { return w.WMP().playState() == tl::ps_playing; }, 5000)) break;
    if (!waitFor([&] { return w.WMP().playState() != tl::ps_playing; }, 15000)) break;
    QElapsedTimer held;
    held.start();
    spin(80);  // where playback settled
    double p = 0;
    w.WMP().currentPosition(p);
    const double ms = p * 1000;
    // The cue just left: the last end at or before the position (plus slack).
    double end = -1;
    for (double e : ends)
      if (e <= ms + 100) end = e;
    if (end < 0) break;
    pauses.push_back({end, ms - end, NAN});
    spin(std::max(0, kHoldMs - (int)held.elapsed()));
    if (end >= last) break;
    w.playpause();
  }
  if (pauses.empty()) {
    err = "no pause on " + media;
    return false;
  }
  return true;
}

// Finds each pause in the recording (a run of silence longer than any gap of
// the lesson) and where it cut the medium, lined up with the source.
void findCuts(const std::vector<int16_t>& rec, const std::vector<int16_t>& src, std::vector<Pause>& pauses) {
  const long minRun = long(kRate) * (kHoldMs - 300) / 1000;
  std::vector<long> cuts;
  long firstSound = -1;
  for (long i = 0; i < (long)rec.size(); ++i)
    if (std::abs(rec[i]) > 2) {
      firstSound = i;
      break;
    }
  if (firstSound < 0) return;
  long runStart = -1;
  for (long i = firstSound; i < (long)rec.size(); ++i) {
    if (rec[i] == 0) {
      if (runStart < 0) runStart = i;
      if (i - runStart == minRun) cuts.push_back(runStart);
    } else {
      runStart = -1;
    }
  }
  // 400 ms of sound before the cut: enough voiced speech to line up by, as
  // the hiss of a fricative alone does not survive the server's resampling.
  const long win = kRate * 2 / 5, search = kRate * 15 / 100;
  for (size_t j = 0; j < pauses.size() && j < cuts.size(); ++j) {
    const long c = cuts[j];
    const long from = c - win - kRate / 50;
    if (from < 0) continue;
    // Expected: the recording's sample c is the source's sample at the end.
    const long expect = long(std::lround(pauses[j].end / 1000.0 * kRate)) - c;
    double score = 0;
    const long k = bestLag(rec, from, win, src, expect - search, expect + search, &score);
    pauses[j].match = score;
    if (score < 0.8) continue;  // not lined up: leave this pause out
    pauses[j].cut = (double(c + k) / kRate) * 1000.0 - pauses[j].end;
  }
}

using tl::bench::Figures;
using tl::bench::figures;
using tl::bench::loadAverage;

void BM_SoundStop(benchmark::State& state, const char* media) {
  if (!std::getenv("PULSE_SERVER")) {
    state.SkipWithError("no private sound server: run bench/sound_stop.sh");
    return;
  }
  tl::bench::ensureApplication();
  const std::string file = demo(media);
  const std::vector<int16_t> src = readWav(demo("demo.wav"));
  if (!std::filesystem::exists(file) || src.empty()) {
    state.SkipWithError("no demo lesson (build the demo target)");
    return;
  }
  QTemporaryDir dir;
  std::vector<double> ends;
  const std::string srt = earlierEnds(demo("demo.srt"), dir.path().toStdString() + "/demo.srt", ends);
  if (ends.empty()) {
    state.SkipWithError("demo.srt has no cues");
    return;
  }
  const char* sink = std::getenv("TL_SINK");
  const QString monitor = QString::fromLocal8Bit(sink ? sink : "tl_sink") + ".monitor";
  const char* roundsEnv = std::getenv("TL_ROUNDS");
  const int rounds = roundsEnv && std::atoi(roundsEnv) > 0 ? std::atoi(roundsEnv) : 3;
  std::vector<double> cut, reading;
  size_t pausesSeen = 0;
  for (auto _ : state) {
   for (int round = 1; round <= rounds; ++round) {
    const QString raw = dir.path() + "/" + media + ".raw";
    QProcess parec;
    parec.setStandardOutputFile(raw);
    // The sink renders in blocks as short as the shortest latency asked of
    // it; a short one here keeps that block from blurring where the cut is.
    parec.start("parec", {"--device=" + monitor, "--format=s16le", "--rate=" + QString::number(kRate),
                          "--channels=1", "--latency-msec=2", "--raw"});
    if (!parec.waitForStarted(3000)) {
      state.SkipWithError("parec could not be started");
      return;
    }
    spin(300);
    std::vector<Pause> pauses;
    std::string err;
    const bool ok = play(file, srt, ends, pauses, err);
    spin(300);
    parec.terminate();
    parec.waitForFinished(3000);
    if (!ok) {
      state.SkipWithError(err.c_str());
      return;
    }
    if (const char* keep = std::getenv("TL_SOUND_STOP_KEEP"))
      std::filesystem::copy_file(raw.toStdString(), std::string(keep) + "/" + media + "-" + std::to_string(round) + ".raw",
                                 std::filesystem::copy_options::overwrite_existing);
    findCuts(readRaw(raw.toStdString()), src, pauses);
    std::fprintf(stderr, "%s round %d, load %.2f\n", media, round, loadAverage());
    for (const Pause& p : pauses) {
      std::fprintf(stderr, "%s cue end %8.1f ms: sound stops %+6.1f ms, program reads %+6.1f ms (match %.2f)\n",
                   media, p.end, p.cut, p.reading, p.match);
      cut.push_back(p.cut);
      reading.push_back(p.reading);
    }
    pausesSeen += pauses.size();
   }
    const Figures c = figures(cut), r = figures(reading);
    std::fprintf(stderr,
                 "%s: %zu pauses, sound stops after the cue end min %.1f / median %.1f / max %.1f ms "
                 "(%zu found); the program reads min %.1f / median %.1f / max %.1f ms\n",
                 media, pausesSeen, c.min, c.median, c.max, c.n, r.min, r.median, r.max);
    state.counters["pauses"] = double(pausesSeen);
    state.counters["cuts_found"] = double(c.n);
    state.counters["stop_min_ms"] = c.min;
    state.counters["stop_median_ms"] = c.median;
    state.counters["stop_max_ms"] = c.max;
    state.counters["read_median_ms"] = r.median;
    state.counters["read_max_ms"] = r.max;
  }
}
BENCHMARK_CAPTURE(BM_SoundStop, wav, "demo.wav")->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(BM_SoundStop, mkv, "demo.mkv")->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
