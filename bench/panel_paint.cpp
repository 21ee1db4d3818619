// One typed letter through to the repainted subtitle panel: the letter is
// opened on the Lesson, then p_sub (and the overlay's cells) are painted into
// an image.  Measures the CPU time of a keystroke's painting.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cctype>
#include <clocale>
#include <cstdlib>

#include "core/dictation.h"
#include "core/translation.h"
#include "player/views/overlay.h"
#include "player/views/subpanels.h"
#include "support/lessonbuilder.h"

using namespace tl;
using namespace tl::ui;

namespace {

// A two-line cue of 60 letters, all hidden.
struct Scene {
  Lesson l;
  Options o;
  bool peek = false;
  Scene() {
    std::string t = "How much wood would a woodchuck chuck\r\nif it could chuck wood\r\n";
    l = test::LessonBuilder().cue(10000, 50000, t).letters(test::Letters::Hidden).at(1).build();
    l.subclear = {1, 0, 1};
    l.scenetop = {0};
    l.sceneflg = {0};
    l.curscene = 0;
  }
  void rehide() {
    for (size_t i = 0; i < l.subtext[1].size(); ++i)
      if (asciiLetter((unsigned char)l.subtext[1][i])) l.subflg[1][i] = flg_closed;
    l.subclear[1] = 0;
    l.subcsr = 0;
    l.flgrest = 1000;
  }
};

void BM_TypedLetterRepaintsPanel(benchmark::State& st) {
  Scene s;
  Dictation d(s.l, s.o);
  TSubPanel panel(PanelView{s.l, s.o, s.peek});
  panel.resize(900, 80);
  QImage img(panel.size(), QImage::Format_RGB32);
  s.rehide();
  for (auto _ : st) {
    if (s.l.subclear[1] == 1) s.rehide();
    // the key that matches the letter under the cursor
    char c = (char)std::tolower((unsigned char)s.l.subtext[1][s.l.subcsr]);
    DictOutcome out = d.keyPress(c, true);
    QPainter p(&img);
    if (out.changes.has(tl::Change::Letters, s.l.cursub)) panel.p_subPaint(p);
    benchmark::DoNotOptimize(img.constBits());
  }
}
BENCHMARK(BM_TypedLetterRepaintsPanel)->MeasureProcessCPUTime()->UseRealTime();

// Whole overlay paints of the scene's cue into an image.
void paintOverlay(benchmark::State& st, Scene& s) {
  QWidget host;
  host.resize(1280, 720);
  TSubOverlay ov(PanelView{s.l, s.o, s.peek}, &host);
  ov.setTextPos(100, 600);
  QImage img(ov.size(), QImage::Format_RGB32);
  s.rehide();
  for (auto _ : st) {
    img.fill(Qt::black);
    QPainter p(&img);
    ov.tp_subPaint(p);
    benchmark::DoNotOptimize(img.constBits());
  }
}

void BM_OverlayFullPaint(benchmark::State& st) {
  Scene s;
  paintOverlay(st, s);
}
BENCHMARK(BM_OverlayFullPaint)->MeasureProcessCPUTime()->UseRealTime();

// The same with translations as long as a service may send (20 000
// characters each for the sentence and every word; Japanese, or with
// argument 1 ASCII), stored as the program stores them.
void BM_OverlayPaintLongTranslations(benchmark::State& st) {
  Scene s;
  http::Response r;
  r.ok = r.answered = true;
  r.status = 200;
  for (int k = 0; k < 20000; ++k) r.body += st.range(0) ? "x" : "\xE8\xA8\xB3";  // "訳"
  const std::string stored = trans::handleReply(r).text;
  s.l.jasnt = {"", stored, ""};
  s.l.jawd = {{}, {"004" + stored, "009" + stored, "014" + stored, "022" + stored}, {}};
  paintOverlay(st, s);
}
BENCHMARK(BM_OverlayPaintLongTranslations)->Arg(0)->Arg(1)->MeasureProcessCPUTime()->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  std::setlocale(LC_NUMERIC, "C");
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
