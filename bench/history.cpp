// The study history's listing: 1 000 progress files of 1 000 cues each
// (40 bytes of text per cue), read from the page cache, scanned, sorted and
// put into the grid's model.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "core/history.h"
#include "player/history/rireki.h"

namespace {

namespace fs = std::filesystem;

constexpr int kFiles = 1000, kCues = 1000, kTextBytes = 40;

fs::path makeFolder() {
  const fs::path dir = fs::temp_directory_path() / ("tl_bench_history_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::mt19937 gen(7);
  std::vector<int32_t> v;
  for (int f = 0; f < kFiles; ++f) {
    v.clear();
    int32_t total = 0;
    for (int c = 0; c < kCues; ++c) {
      for (int b = 0; b < kTextBytes; ++b) {
        if (b % 6 == 5 || b >= kTextBytes - 2) {
          v.push_back(-1);
        } else {
          v.push_back((int32_t)(gen() % 4));
          ++total;
        }
      }
    }
    v.push_back(total);
    v.push_back(0);
    v.push_back(0);  // adjustment
    v.push_back(17);  // resume slot
    for (int s = 0; s < 2 * kCues + 1; ++s) v.push_back(s % 7 == 0);
    std::ofstream(dir / ("Work " + std::to_string(f) + ".dat"), std::ios::binary)
        .write((const char*)v.data(), (std::streamsize)(v.size() * 4));
  }
  return dir;
}

void BM_HistoryListing(benchmark::State& state) {
  static const fs::path dir = makeFolder();
  tl::SearchFile(dir.string());  // into the page cache
  HistoryModel model;
  for (auto _ : state) {
    tl::HistoryListing h = tl::SearchFile(dir.string());
    if (h.rows.size() != (size_t)kFiles || !h.unreadable.empty()) state.SkipWithError("wrong listing");
    model.setRows(std::move(h.rows));
    benchmark::DoNotOptimize(model.rowCount());
  }
  state.counters["files"] = kFiles;
  state.counters["MB"] = (double)kFiles * (kCues * kTextBytes + 2 * kCues + 5) * 4 / 1e6;
  fs::remove_all(dir);
}
BENCHMARK(BM_HistoryListing)->Unit(benchmark::kMillisecond)->Iterations(10);

}  // namespace
