// Loading SRT files of 10 000 and 100 000 cues: decoding, parsing and the
// initial letter states, from bytes in memory and from a file.
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
