// The waveform's costs: one recorded buffer handled (peak column and marker
// scroll) and one paint of p_wav1 at 1400 px with markers and labels.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "core/wave.h"
#include "player/wave/wavepanel.h"
#include "support/lessonbuilder.h"
#include "support/quiethost.h"

namespace {

tl::Lesson makeLesson(int cues) {
  // Cue k from (2k-1) * 1.2 s to 2k * 1.2 s, all cleared.
  tl::test::LessonBuilder b;
  for (int k = 1; k <= cues; ++k) b.cue((2 * k - 1) * 12000, 2 * k * 12000, "A sentence of some length here.\r\n");
  return b.letters(tl::test::Letters::None).cleared().build();
}

void BM_WaveBuffer(benchmark::State& st) {
  tl::Lesson l = makeLesson(400);
  tl::WaveView w;
  w.setSize(1400, 120);
  tl::wavreset(w, l);
  std::vector<int16_t> s(256);
  for (int k = 0; k < 256; ++k) s[k] = int16_t((k * 977) % 30000 - 15000);
  double pos = 0.5;
  for (auto _ : st) {
    pos += w.wavcolsec;
    l.cursub = 1 + 2 * int(pos * 10000 / 24000);
    if (l.cursub >= l.subcount) l.cursub = 1;
    tl::WaveInput in;
    in.positionSeconds = pos;
    benchmark::DoNotOptimize(tl::wavbuffer(w, l, in, s.data(), 512));
  }
}
BENCHMARK(BM_WaveBuffer);

struct Host : tl::test::QuietHost {
  tl::Lesson& l = m.lesson();
  Host() { l = makeLesson(400); }
};

void BM_WavePaint1400(benchmark::State& st) {
  Host h;
  // 0: no cue shows its text (marker numbers only); 1: every cue cleared.
  if (st.range(0) == 0) std::fill(h.l.subclear.begin(), h.l.subclear.end(), 0);
  Panel5 panel(&h);
  panel.resize(1400 + 30, 120);
  panel.p_wav1->resize(1400, 120);
  panel.wave.setSize(1400, 120);
  tl::wavreset(panel.wave, h.l);
  std::vector<int16_t> s(256);
  double pos = 0.5;
  for (int i = 0; i < 3000; ++i) {
    for (int k = 0; k < 256; ++k) s[k] = int16_t(((k + i) * 977) % 30000 - 15000);
    pos += panel.wave.wavcolsec;
    h.l.cursub = 1 + 2 * int(pos * 10000 / 24000);
    tl::WaveInput in;
    in.positionSeconds = pos;
    tl::wavbuffer(panel.wave, h.l, in, s.data(), 512);
  }
  QImage img(1400, 120, QImage::Format_RGB32);
  for (auto _ : st) {
    QPainter p(&img);
    panel.p_wav1Paint(p);
  }
}
BENCHMARK(BM_WavePaint1400)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
