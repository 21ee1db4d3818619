// Quendle's filter list with "すべて" over a store of about 830 filters (as
// many as the decoder and splitter modules register): choosing the category
// (reading the store, building the rows, sorting by merit) and painting the
// dialog; a click on "フィルタ名" that sorts the rows by name.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>

#include "filtertool/categories.h"
#include "filtertool/quendledlg.h"
#include "platform/filters/filterdata.h"
#include "platform/filters/filterstore.h"

using namespace tl::flt;

namespace {

constexpr int kFilters = 830;

// A temporary store holding kFilters filters of two modules, merits falling
// in registration order as the modules give them.
class FilledStore {
 public:
  FilledStore() {
    store_ = FilterStore((dir_.path() + "/machine.hive").toStdString(),
                         (dir_.path() + "/user.hive").toStdString());
    store_.beginBatch();
    const std::string decoders = (dir_.path() + "/lavc_decoders.so").toStdString();
    const std::string splitters = (dir_.path() + "/lavf_splitters.so").toStdString();
    for (int i = 0; i < kFilters; ++i) {
      const bool splitter = i >= 480;
      char clsid[64];
      std::snprintf(clsid, sizeof clsid, "{5A1E0900-0000-4000-8000-%012X}", i);
      char name[64];
      std::snprintf(name, sizeof name, splitter ? "Splitter%03d" : "decoder_%03d", (i * 37) % kFilters);
      RegFilter2 f;
      f.merit = 0x00600000u - static_cast<uint32_t>(i) * 0x100u;
      RegPin in, out;
      in.types.push_back(splitter ? MediaTypePair{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM}
                                  : MediaTypePair{MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO});
      out.flags = kPinOutput;
      out.types.push_back({MEDIATYPE_Video, GUID_NULL});
      f.pins = {in, out};
      const Guid id = guidOf(clsid);
      store_.registerFilter(id, name, CLSID_LegacyAmFilterCategory, f);
      store_.registerServer(id, name, splitter ? splitters : decoders);
    }
    store_.commit();
  }
  const FilterStore& store() const { return store_; }
  QString dir() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  FilterStore store_;
};

FilledStore& filled() {
  static FilledStore s;
  return s;
}

void BM_ShowAllFilters(benchmark::State& state) {
  quendle::CQuendleDlg d(nullptr, filled().dir(), filled().store());
  d.resize(900, 600);
  d.show();
  QApplication::processEvents();
  for (auto _ : state) {
    d.setCategory(quendle::kAllFilters);
    d.repaint();
  }
  if (d.rowCount() != kFilters) state.SkipWithError("the list does not hold every filter");
  state.counters["rows"] = d.rowCount();
}
BENCHMARK(BM_ShowAllFilters)->Unit(benchmark::kMillisecond);

void BM_SortAllByName(benchmark::State& state) {
  quendle::CQuendleDlg d(nullptr, filled().dir(), filled().store());
  d.resize(900, 600);
  d.show();
  d.setCategory(quendle::kAllFilters);
  QApplication::processEvents();
  for (auto _ : state) {
    d.OnColumnclickList(0);
    d.repaint();
  }
}
BENCHMARK(BM_SortAllByName)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
