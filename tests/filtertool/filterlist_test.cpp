// The filter list: rows of each category, server paths, sorting, the menu.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QTableView>
#include <gtest/gtest.h>

#include "filtertool/categories.h"
#include "filtertool/dlgfixture.h"

using namespace tl::flt;
using namespace quendle;

namespace {

const Guid kLigos = guidOf("{00000000-0000-0000-0000-0000000000C1}");
const Guid kQuartz = guidOf("{00000000-0000-0000-0000-0000000000C2}");
const Guid kBroken = guidOf("{00000000-0000-0000-0000-0000000000C3}");
const Guid kBare = guidOf("{00000000-0000-0000-0000-0000000000C4}");
const Guid kPercent = guidOf("{00000000-0000-0000-0000-0000000000C5}");
const Guid kAudio = guidOf("{00000000-0000-0000-0000-0000000000C6}");

// The fixture module's two filters and some registered by hand.
void populate(fx::TempStore& t) {
  t.registerTwoFilters();
  FilterStore s;
  // Listed as a video decoder and as a splitter by its pins.
  RegFilter2 ligos;
  ligos.merit = 0x00500000;
  RegPin a, b, o;
  a.types = {{MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload}};
  b.types = {{MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System}};
  o.flags = kPinOutput;
  o.types = {{MEDIATYPE_Video, GUID_NULL}};
  ligos.pins = {a, b, o};
  ASSERT_EQ(s.registerFilter(kLigos, "Ligos MPEG Splitter", CLSID_LegacyAmFilterCategory, ligos), kOk);
  t.addFilter(kQuartz, "system splitter", 0x00200000, {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM},
              {GUID_NULL, GUID_NULL}, "/opt/filters/QUARTZ.DLL");
  t.addFilter(kBare, "bare decoder", 0x00100000, {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload},
              {MEDIATYPE_Audio, GUID_NULL}, "fx_bare_name.ax");
  t.addFilter(kPercent, "percent decoder", 0x00000010, {MEDIATYPE_MPEG2_PES, GUID_NULL},
              {MEDIATYPE_Audio, GUID_NULL}, "%FX_NO_SUCH_VAR%/pes.ax");
  // Filter data that no parser should accept: left out, no crash.
  tl::reg::Hive m(t.machineHive());
  ASSERT_TRUE(m.load());
  const std::string key = instanceKey(CLSID_LegacyAmFilterCategory, kBroken);
  m.createKey(key);
  m.setString(key, "FriendlyName", "broken");
  m.setString(key, "CLSID", toString(kBroken));
  m.setBinary(key, "FilterData", std::string("TLFD\x02\0\0\0\0\0\0\0\xff\xff\xff\x7f", 16));
  ASSERT_TRUE(m.save());
}

}  // namespace

TEST(FilterList, RowsOfEachCategory) {
  fx::TempStore t;
  populate(t);
  fx::ScriptedDlg d;
  EXPECT_EQ(d.rowCount(), 0);  // no category at start
  EXPECT_EQ(d.category(), -1);

  d.setCategory(kMpeg1VideoDecoder);
  ASSERT_EQ(d.names(), QStringList{"Fixture MPEG-1 Video Decoder"});  // Ligos left out
  EXPECT_EQ(d.rowText(0, 1), "0x00600000");
  EXPECT_EQ(d.rowText(0, 2), FX_TWO_FILTERS);
  EXPECT_EQ(d.rowItem(0)->ClassId, fx::kDecoder);

  d.setCategory(kMpeg1Splitter);  // the mapper's order: highest merit first
  EXPECT_EQ(d.names(), (QStringList{"Ligos MPEG Splitter", "Fixture MPEG-1 Splitter"}));
  EXPECT_EQ(d.rowText(0, 2), "");  // no server entry

  d.setCategory(kMpeg2Splitter);
  EXPECT_EQ(d.names(), QStringList{"system splitter"});
  d.setCategory(kMpeg2AudioDecoder);
  EXPECT_EQ(d.names(), QStringList{"percent decoder"});
  EXPECT_EQ(d.rowText(0, 2), "%FX_NO_SUCH_VAR%/pes.ax");  // shown as stored
  d.setCategory(kMpeg2VideoDecoder);
  EXPECT_EQ(d.rowCount(), 0);

  d.setCategory(kAllFilters);
  EXPECT_EQ(d.names(), (QStringList{"Fixture MPEG-1 Video Decoder", "Ligos MPEG Splitter",
                                    "Fixture MPEG-1 Splitter", "system splitter", "bare decoder",
                                    "percent decoder"}));
  EXPECT_EQ(d.rowText(5, 1), "0x00000010");
  EXPECT_EQ(d.sortColumn(), 1);
  EXPECT_FALSE(d.sortAscending());

  d.setCategory(kChangedFilters);
  EXPECT_EQ(d.rowCount(), 0);
  EXPECT_TRUE(QFile::exists(t.recordPath(false)));  // created empty
}

TEST(FilterList, BareServerNamesAreSearchedAlongPath) {
  fx::TempStore t;
  const QString a = t.dir() + "/a", b = t.dir() + "/b";
  QDir().mkpath(a);
  QDir().mkpath(b);
  QFile(b + "/m.ax").open(QIODevice::WriteOnly);
  EXPECT_EQ(CQuendleDlg::searchPath("m.ax", (a + ":" + b + "/").toUtf8()), b + "/m.ax");
  EXPECT_EQ(CQuendleDlg::searchPath("m.ax", (a + "::" + b).toUtf8()), "");  // ends at the empty element
  EXPECT_EQ(CQuendleDlg::searchPath("m.ax", (":" + b).toUtf8()), "");
  EXPECT_EQ(CQuendleDlg::searchPath("m.ax", QByteArray()), "");

  populate(t);
  QFile(a + "/fx_bare_name.ax").open(QIODevice::WriteOnly);
  const QByteArray oldPath = qgetenv("PATH");
  qputenv("PATH", (b + ":" + a).toUtf8());
  fx::ScriptedDlg d;
  d.setCategory(kMpeg1AudioDecoder);
  qputenv("PATH", oldPath);
  ASSERT_EQ(d.names(), QStringList{"bare decoder"});
  EXPECT_EQ(d.rowText(0, 2), a + "/fx_bare_name.ax");
}

TEST(FilterList, ColumnClicksSortAndReverse) {
  fx::TempStore t;
  populate(t);
  fx::ScriptedDlg d;
  d.setCategory(kMpeg1Splitter);
  // The sort state already says merit, descending: a first click ascends.
  d.OnColumnclickList(1);
  EXPECT_EQ(d.names(), (QStringList{"Fixture MPEG-1 Splitter", "Ligos MPEG Splitter"}));

  d.setCategory(kAllFilters);
  d.OnColumnclickList(0);
  EXPECT_TRUE(d.sortAscending());
  EXPECT_EQ(d.names(), (QStringList{"bare decoder", "Fixture MPEG-1 Splitter", "Fixture MPEG-1 Video Decoder",
                                    "Ligos MPEG Splitter", "percent decoder", "system splitter"}));
  d.OnColumnclickList(0);
  EXPECT_EQ(d.names().first(), "system splitter");
  d.OnColumnclickList(1);  // merit after another column: descending
  EXPECT_FALSE(d.sortAscending());
  EXPECT_EQ(d.names().last(), "percent decoder");
  d.OnColumnclickList(2);
  EXPECT_TRUE(d.sortAscending());
  EXPECT_EQ(d.rowText(0, 2), "");  // empty file columns first
}

TEST(FilterList, SelectionFollowsItsRowThroughSortsAndDeletions) {
  fx::TempStore t;
  populate(t);
  fx::ScriptedDlg d;
  d.setCategory(kAllFilters);
  const int n = d.rowCount();
  d.pickRow("percent decoder");
  d.OnColumnclickList(0);
  EXPECT_EQ(d.selectedName(), "percent decoder");
  d.OnColumnclickList(0);
  EXPECT_EQ(d.selectedName(), "percent decoder");
  ASSERT_NE(d.rowItem(d.selectedRow()), nullptr);
  EXPECT_EQ(d.rowItem(d.selectedRow())->ClassId, kPercent);  // records move with their rows
  // The view shows what the dialog reads.
  QAbstractItemModel* m = d.FilterList->model();
  ASSERT_EQ(m->rowCount(), n);
  for (int r = 0; r < n; ++r)
    for (int c = 0; c < 3; ++c) EXPECT_EQ(m->index(r, c).data().toString(), d.rowText(r, c));
  d.setCategory(kAllFilters);  // a new listing starts without a selection
  EXPECT_EQ(d.selectedRow(), -1);
  EXPECT_EQ(m->rowCount(), n);
}

TEST(FilterList, NamesDifferingInLetterCaseSortAsEqual) {
  FilterItem a, b, c;
  a.SortKey = "abc";
  b.SortKey = "ABC";
  c.SortKey = "abd";
  EXPECT_EQ(CQuendleDlg::CompareItems(&a, &b, true), 0);
  EXPECT_LT(CQuendleDlg::CompareItems(&b, &c, true), 0);
  EXPECT_GT(CQuendleDlg::CompareItems(&b, &c, false), 0);
  EXPECT_EQ(CQuendleDlg::CompareItems(nullptr, &c, true), 0);
}

TEST(FilterList, ContextMenuGreying) {
  fx::TempStore t;
  populate(t);
  fx::ScriptedDlg d;
  EXPECT_FALSE(d.prepareContextMenu());  // no category
  d.setCategory(kAllFilters);
  EXPECT_FALSE(d.prepareContextMenu());  // no row
  auto enabled = [&](int id) { return d.action(id)->isEnabled(); };

  d.pickRow("Fixture MPEG-1 Splitter");
  ASSERT_TRUE(d.prepareContextMenu());
  EXPECT_TRUE(enabled(ID_CHANGE_MERIT));
  EXPECT_TRUE(enabled(ID_REREGISTER));
  EXPECT_TRUE(enabled(ID_DELETE_FILTER_INFO));
  EXPECT_TRUE(enabled(ID_UNREGISTER));
  EXPECT_FALSE(enabled(ID_DELETE_RESTORE_INFO));

  d.pickRow("system splitter");
  EXPECT_TRUE(d.IsQuartzFilter(d.selectedRow()));
  ASSERT_TRUE(d.prepareContextMenu());
  EXPECT_FALSE(enabled(ID_UNREGISTER));
  EXPECT_TRUE(enabled(ID_CHANGE_MERIT));

  d.pickRow("Ligos MPEG Splitter");  // empty file column: the menu still comes
  EXPECT_TRUE(d.prepareContextMenu());

  t.writeRecords(false, "/x.ax?X\r\n");
  d.setCategory(kChangedFilters);
  d.pickRow("X");
  ASSERT_TRUE(d.prepareContextMenu());
  EXPECT_FALSE(enabled(ID_CHANGE_MERIT));
  EXPECT_FALSE(enabled(ID_DELETE_FILTER_INFO));
  EXPECT_FALSE(enabled(ID_UNREGISTER));
  EXPECT_TRUE(enabled(ID_REREGISTER));
  EXPECT_TRUE(enabled(ID_DELETE_RESTORE_INFO));
  EXPECT_EQ(d.rowText(0, 1), "");
}
