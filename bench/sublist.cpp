// The subtitle list over large tables: a refill (gridset) with the view
// laying out its visible rows, one star toggled and repainted, and a sort
// by star, at 10 000 and 100 000 cues.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <memory>

#include "core/letterstates.h"
#include "core/scenes.h"
#include "core/sublist.h"
#include "core/timetext.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"
#include "support/quiethost.h"
#include "player/sublist/sublistmodel.h"

using namespace tl;

namespace {

using Host = tl::test::QuietHost;

void fill(Lesson& l, int n) {
  l = Lesson{};
  l.subcount = 2 * n + 1;
  l.subtime.resize(l.subcount);
  l.subtext.resize(l.subcount);
  for (int i = 0; i < l.subcount; ++i) l.subtime[i] = (ttime)i * 15000;
  for (int k = 1; k <= n; ++k) l.subtext[2 * k - 1] = "The quick brown fox number " + std::to_string(k) + "\r\n";
  l.substar.assign(l.subcount, 0);
  l.submemo.assign(l.subcount, "");
  l.srtloaded = true;
  closeflginit(l);
  recountflags(l);
  Scenecut(l, kSceneGapDefault, 0);
  for (int k = 1; k <= n; k += 7) l.substar[2 * k - 1] = 1;
  l.cursub = n | 1;
  l.possub = l.cursub;
}

struct Fixture {
  std::shared_ptr<Host> host = std::make_shared<Host>();
  Tf_sub sub;
  explicit Fixture(int n) {
    fill(host->m.lesson(), n);
    sub.setHost(host);
    sub.resize(760, 480);
    sub.show();
    QApplication::processEvents();
  }
};

void BM_gridset(benchmark::State& st) {
  Fixture f((int)st.range(0));
  for (auto _ : st) {
    f.sub.gridset();
    // The view lays out and paints what it shows.
    f.sub.subgrid->viewport()->repaint();
  }
  st.SetComplexityN(st.range(0));
}

void BM_starToggle(benchmark::State& st) {
  Fixture f((int)st.range(0));
  const int row = f.sub.rows()->rowOfSlot(f.host->m.lesson().cursub);
  for (auto _ : st) {
    f.sub.toggleStarAt(row);
    f.sub.subgrid->viewport()->repaint();
  }
}

void BM_sortByStar(benchmark::State& st) {
  Fixture f((int)st.range(0));
  for (auto _ : st) {
    f.sub.sortByStar();
    f.sub.sortno();
  }
  st.SetComplexityN(st.range(0));
}

}  // namespace

BENCHMARK(BM_gridset)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(BM_starToggle)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_sortByStar)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
