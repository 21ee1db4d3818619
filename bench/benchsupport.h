// Small pieces the window benchmarks share: the machine's load, the figures
// of a series, and the main window's set-up around a real player.
#pragma once

#include <QApplication>
#include <QString>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/media/mpvplayer.h"
#include "platform/registry/registry.h"
#include "player/main/main.h"

namespace tl::bench {

// The one-minute load average, to judge how quiet the machine was.
inline double loadAverage() {
  std::ifstream f("/proc/loadavg");
  double l = -1;
  f >> l;
  return l;
}

// Min, median and max of a series; values that are not numbers are left out.
struct Figures {
  double min = NAN, median = NAN, max = NAN;
  size_t n = 0;
};

inline Figures figures(std::vector<double> v) {
  Figures f;
  v.erase(std::remove_if(v.begin(), v.end(), [](double x) { return std::isnan(x); }), v.end());
  if (v.empty()) return f;
  std::sort(v.begin(), v.end());
  f.n = v.size();
  f.min = v.front();
  f.max = v.back();
  f.median = v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
  return f;
}

// The application object of a window benchmark, made at the first call.
inline void ensureApplication() {
  static int argc = 1;
  static char arg0[] = "bench";
  static char* argv[] = {arg0, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  (void)app;
}

// What the program block gives the main window, with the real player (its
// sound to the environment's output) and a hive in the temporary folder;
// *mpv is the player.  No message box waits for an answer.
inline MainDeps windowDeps(tl::reg::Hive& hive, tl::MpvPlayer** mpv) {
  MainDeps d;
  auto player = std::make_unique<tl::MpvPlayer>(false);
  *mpv = player.get();
  d.player = std::move(player);
  d.hive = &hive;
  d.exedir = std::filesystem::temp_directory_path().string() + "/";
  d.showMessage = [](const QString&, const QString&) {};
  d.ask = [](const QString&, const QString&, int) { return 0; };
  return d;
}

}  // namespace tl::bench
