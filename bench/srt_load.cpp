// Loading SRT files of 10 000 and 100 000 cues: decoding, parsing and the
// initial letter states, from bytes in memory and from a file.
//
// A load must not be slower than the release before the UTF-8 check
// (a9baf55).  Compared in one run, the three builds taking turns (6 rounds
// of 3 repetitions, median ms; this file built against each tree's core):
//
//                         a9baf55   c05e17f   now
//   BM_LoadBytes/10000      10.8      14.2     8.2
//   BM_LoadBytes/100000    128.5     149.0    96.2
//   BM_LoadFile/10000        8.5      11.0     4.7
//   BM_LoadFile/100000     107.5     122.5    73.4
//
// The load now looks at the bytes once (plain ASCII needs no conversion, and
// the UTF-8 check starts at the first byte above 0x7F), cuts the lines as
// views instead of strings, appends tag-free text straight into the cue, and
// keeps the file's bytes (moved, not copied, from the file) in place of a
// string per line.  The write (BM_WriteBytes/100000: 120 ms before, 122 now)
// reads the file's bytes again to find the cues not edited.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/letterstates.h"
#include "core/srtread.h"
#include "core/srtwrite.h"
#include "core/timetext.h"
#include "platform/paths/files.h"

namespace {

std::string makeSrt(int cues) {
  std::string s;
  s.reserve((size_t)cues * 80);
  for (int k = 1; k <= cues; ++k) {
    const tl::ttime start = (tl::ttime)k * 30000;
    s += std::to_string(k) + "\r\n" + tl::sec2str_3(start) + " --> " + tl::sec2str_3(start + 25000) + "\r\n";
    s += "<i>This is cue number</i> " + std::to_string(k) + "\r\n(sighs) and its second line.\r\n\r\n";
  }
  return s;
}

void BM_LoadBytes(benchmark::State& state) {
  const std::string srt = makeSrt((int)state.range(0));
  for (auto _ : state) {
    tl::Lesson l;
    tl::LoadResult r = tl::loadSrtBytes(srt, "/bench/a.srt", 28591, "/bench/", l);
    tl::closeflginit(l);
    benchmark::DoNotOptimize(r.ok);
  }
  state.SetBytesProcessed(state.iterations() * (int64_t)srt.size());
}
BENCHMARK(BM_LoadBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadFile(benchmark::State& state) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("bench_srt_load_" + std::to_string(::getpid()) + "_" + std::to_string(state.range(0)) + ".srt");
  tl::paths::atomicWriteFile(path.string(), makeSrt((int)state.range(0)));
  for (auto _ : state) {
    tl::Lesson l;
    tl::LoadResult r = tl::loadSrt(path.string(), 28591, "/bench/", l);
    benchmark::DoNotOptimize(r.ok);
  }
  std::filesystem::remove(path);
}
BENCHMARK(BM_LoadFile)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_WriteBytes(benchmark::State& state) {
  tl::Lesson l;
  tl::loadSrtBytes(makeSrt((int)state.range(0)), "/bench/a.srt", 28591, "/bench/", l);
  for (auto _ : state) benchmark::DoNotOptimize(tl::srtBytes(l));
}
BENCHMARK(BM_WriteBytes)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
