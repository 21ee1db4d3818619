// Readers on 1 MB of hostile input: a run of bare CRs, one line of "<>"
// pairs, a whole SRT load of each, a hive with one very deep key path, hives
// at the bounds of what one may hold and a progress file against a large
// table.  Every one must stay well under a
// second (they once took seconds to minutes).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "core/letterstates.h"
#include "core/progressfile.h"
#include "core/srtread.h"
#include "platform/paths/files.h"
#include "platform/registry/registry.h"

namespace {

constexpr size_t kMB = 1 << 20;

void BM_SplitBareCRs(benchmark::State& state) {
  const std::string text = "a" + std::string(kMB, '\r') + "b";
  for (auto _ : state) benchmark::DoNotOptimize(tl::splitLines(text).size());
  state.SetBytesProcessed(state.iterations() * (int64_t)text.size());
}
BENCHMARK(BM_SplitBareCRs)->Unit(benchmark::kMillisecond);

void BM_TagdelPairs(benchmark::State& state) {
  std::string line;
  while (line.size() < kMB) line += "<>";
  for (auto _ : state) benchmark::DoNotOptimize(tl::tagdel(line).size());
  state.SetBytesProcessed(state.iterations() * (int64_t)line.size());
}
BENCHMARK(BM_TagdelPairs)->Unit(benchmark::kMillisecond);

void BM_LoadSrtOfHostileLines(benchmark::State& state) {
  const std::string head = "1\r\n00:00:01,000 --> 00:00:02,000\r\n";
  const std::string body = state.range(0) == 0 ? std::string(kMB, '\r') : [] {
    std::string s;
    while (s.size() < kMB) s += "<>";
    return s;
  }();
  const std::string srt = head + "x" + body + "y\r\n";
  for (auto _ : state) {
    tl::Lesson l;
    benchmark::DoNotOptimize(tl::loadSrtBytes(srt, "/bench/a.srt", 28591, "/bench/", l).ok);
  }
  state.SetLabel(state.range(0) == 0 ? "bare CRs" : "<> pairs");
}
BENCHMARK(BM_LoadSrtOfHostileLines)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

std::string tempPath(const char* name) {
  const char* t = std::getenv("TMPDIR");
  return std::string(t && *t ? t : "/tmp") + "/tl-bench-" + std::to_string(::getpid()) + "-" + name;
}

std::string u32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s += (char)((v >> (8 * i)) & 0xFF);
  return s;
}

// A hive file around payload, with a valid header and checksum.
std::string hiveFile(const std::string& payload) {
  uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char b : payload) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  return std::string("TLHIVE\r\n") + u32(1) + u32(0) + u32((uint32_t)payload.size()) + u32(crc ^ 0xFFFFFFFFu) +
         payload;
}

void loadEachTime(benchmark::State& state, const std::string& file, const char* name) {
  const std::string p = tempPath(name);
  tl::paths::atomicWriteFile(p, file);
  for (auto _ : state) {
    tl::reg::Hive h(p);
    benchmark::DoNotOptimize(h.load());
  }
  ::unlink(p.c_str());
}

void BM_HiveWithDeepKeyPath(benchmark::State& state) {
  // A file that parses as valid but for its key path of 1 MB: refused fast.
  std::string path = "a";
  while (path.size() < kMB) path += "\\a";
  loadEachTime(state, hiveFile(u32(1) + u32((uint32_t)path.size()) + path + u32(0)), "deep.hive");
}
BENCHMARK(BM_HiveWithDeepKeyPath)->Unit(benchmark::kMillisecond);

void BM_HiveAtItsBounds(benchmark::State& state) {
  // 0: as many bytes as a hive may have, of deep paths whose every record
  // adds 32 keys (refused at the key bound); 1: a valid hive with as many
  // keys and values as it may hold.  Each is read at every start.
  std::string payload;
  uint32_t keys = 0;
  if (state.range(0) == 0) {
    std::string tail;
    for (int d = 0; d < 31; ++d) tail += "\\a";
    for (; payload.size() + 100 < tl::reg::kMaxHiveBytes; ++keys) {
      const std::string path = "k" + std::to_string(keys) + tail;
      payload += u32((uint32_t)path.size()) + path + u32(0);
    }
  } else {
    const uint32_t perKey = tl::reg::kMaxHiveValues / tl::reg::kMaxHiveKeys;
    for (; keys < tl::reg::kMaxHiveKeys; ++keys) {
      const std::string path = "k" + std::to_string(keys);
      payload += u32((uint32_t)path.size()) + path + u32(perKey);
      for (uint32_t v = 0; v < perKey; ++v) payload += u32(1) + std::string(1, char('a' + v)) + u32(1) + u32(1) + "1";
    }
  }
  loadEachTime(state, hiveFile(u32(keys) + payload), "bounds.hive");
}
BENCHMARK(BM_HiveAtItsBounds)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ProgressLoadLargeTable(benchmark::State& state) {
  // 20 000 cues of about 50 letters: a progress file of about 4 MB.
  std::string srt;
  for (int k = 1; k <= 20000; ++k)
    srt += std::to_string(k) + "\r\n00:00:01,000 --> 00:00:02,000\r\nSome words of cue " + std::to_string(k) +
           " to type in here\r\n\r\n";
  tl::Lesson l;
  tl::loadSrtBytes(srt, "/bench/big.srt", 28591, "/bench/", l);
  tl::closeflginit(l);
  l.savpath = tempPath("big.dat");
  l.memopath = tempPath("big.txt");
  l.flgdirty = true;
  tl::subflgsave(l);
  for (auto _ : state) {
    tl::Lesson again = l;
    benchmark::DoNotOptimize(tl::subflgload(again).fromFile);
  }
  ::unlink(l.savpath.c_str());
  ::unlink(l.memopath.c_str());
}
BENCHMARK(BM_ProgressLoadLargeTable)->Unit(benchmark::kMillisecond);

}  // namespace
