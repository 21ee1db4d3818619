// Listing the filters of a category, their rows, sorting and the context menu.
#include <QAction>
#include <QComboBox>
#include <QCursor>
#include <QFileInfo>
#include <QMenu>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>
#include <numeric>

#include "filtertool/categories.h"
#include "filtertool/quendledlg.h"
#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"
#include "platform/modules/module.h"

namespace quendle {

using namespace tl::flt;

namespace {

// Friendly names are left out of the four decoder categories under this name.
const char kSkippedDecoderName[] = "Ligos MPEG Splitter";

bool fileExists(const QString& path) {
  QFileInfo fi(path);
  return fi.exists() && !fi.isDir();
}

}  // namespace

void CQuendleDlg::ShowCategory(bool sortAll) {
  clearRows();
  const int c = category();
  if (c < 0) return;
  // The rows reach the view at once when the list is complete.
  FilterRows->beginFill();
  // One reading of the store for the whole list (a module holds hundreds of
  // filters, each row looks up its server file).
  const bool held = !FilterMapper.inBatch();
  if (held) FilterMapper.beginBatch();
  if (c <= kMpeg2Splitter)
    ListFiltersByCategory(c);
  else if (c == kAllFilters)
    ListAllFilters(sortAll);
  else
    ListRestoreFile(c == kUnregisteredFilters);
  if (held) FilterMapper.discard();
  FilterRows->endFill();
  FilterList->setFocus();
}

void CQuendleDlg::ListFiltersByCategory(int c) {
  const CategoryMediaTypes t = categoryMediaTypes(c);
  std::vector<PropertyBag> found;
  HResult r = FilterMapper.enumMatchingFilters(found, 0, true, 0, true, {{t.inMajor, t.inMinor}},
                                               false, t.outputNeeded, {{t.outMajor, t.outMinor}});
  if (r != kOk) return;
  for (const PropertyBag& bag : found) {
    std::string name;
    if (!bag.readString("FriendlyName", name)) continue;
    if (c <= kMpeg2AudioDecoder && name == kSkippedDecoderName) continue;
    std::unique_ptr<RegFilter2> description;
    if (failed(ReadFilterData(bag, description))) continue;
    std::string clsidText;
    if (!bag.readString("CLSID", clsidText)) continue;
    auto clsid = fromString(clsidText);
    if (!clsid) continue;
    AddFilterRow(QString::fromStdString(name), *clsid, std::move(description));
  }
}

void CQuendleDlg::ListAllFilters(bool sortAll) {
  std::vector<PropertyBag> found;
  HResult r = FilterMapper.createClassEnumerator(CLSID_LegacyAmFilterCategory, found);
  if (r != kOk) return;
  for (const PropertyBag& bag : found) {
    std::string name, clsidText;
    if (!bag.readString("FriendlyName", name)) continue;
    std::unique_ptr<RegFilter2> description;
    if (failed(ReadFilterData(bag, description))) continue;
    if (!bag.readString("CLSID", clsidText)) continue;
    auto clsid = fromString(clsidText);
    if (!clsid) continue;
    AddFilterRow(QString::fromStdString(name), *clsid, std::move(description));
  }
  if (sortAll) {
    FillSortKeys(1);
    sortRows(false);
  }
}

HResult CQuendleDlg::ReadFilterData(const PropertyBag& bag, std::unique_ptr<RegFilter2>& description) {
  std::string bytes;
  if (!bag.readBytes("FilterData", bytes)) return kFail;
  auto parsed = parseFilterData(bytes);
  if (!parsed) return kInvalidData;
  description = std::make_unique<RegFilter2>(std::move(*parsed));
  return kOk;
}

void CQuendleDlg::AddFilterRow(const QString& name, const Guid& classId,
                               std::unique_ptr<RegFilter2> description) {
  const QString merit = QString::asprintf("0x%08x", description ? description->merit : 0u);
  std::string stored;
  const bool found = GetServerPath(classId, stored) == kOk;
  auto item = std::make_unique<FilterItem>();
  item->ClassId = classId;
  item->FilterDescription = std::move(description);
  QString path;
  if (found) {
    path = QString::fromStdString(stored);
    if (!fileExists(path) && !path.contains(u'/')) {
      QString hit = searchPath(path, qgetenv("PATH"));
      if (!hit.isEmpty()) path = hit;
    }
  }
  appendRow(name, merit, path, std::move(item));
}

QString CQuendleDlg::searchPath(const QString& fileName, const QByteArray& pathVariable) {
  if (pathVariable.isNull()) return {};
  QString rest = QString::fromLocal8Bit(pathVariable) + u':';
  for (;;) {
    qsizetype sep = rest.indexOf(u':');
    if (sep <= 0) return {};
    QString dir = rest.left(sep);
    if (!dir.endsWith(u'/')) dir += u'/';
    if (fileExists(dir + fileName)) return dir + fileName;
    rest.remove(0, sep + 1);
  }
}

HResult CQuendleDlg::GetServerPath(const Guid& classId, std::string& path) {
  return FilterMapper.serverPath(classId, path);
}

void CQuendleDlg::FillSortKeys(int column) {
  for (int r = 0; r < rowCount(); ++r)
    if (FilterItem* item = FilterRows->item(r))
      item->SortKey = tl::cp::utf8ToAnsi(rowText(r, column).toStdString());
}

int CQuendleDlg::CompareItems(const FilterItem* a, const FilterItem* b, bool ascending) {
  if (!a || !b) return 0;
  const std::string& x = a->SortKey;
  const std::string& y = b->SortKey;
  auto fold = [](char c) { return int((unsigned char)tl::cp::lowerAscii(c)); };
  int result = 0;
  for (size_t i = 0;; ++i) {
    int cx = i < x.size() ? fold(x[i]) : -1;
    int cy = i < y.size() ? fold(y[i]) : -1;
    if (cx != cy) {
      result = cx < cy ? -1 : 1;
      break;
    }
    if (cx < 0) break;
  }
  return ascending ? result : -result;
}

void CQuendleDlg::sortRows(bool ascending) {
  std::vector<int> order(rowCount());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return CompareItems(FilterRows->item(a), FilterRows->item(b), ascending) < 0;
  });
  // The selection and the current row move with their rows; the selected
  // row stays in sight.
  FilterRows->reorder(order);
  if (!FilterRows->filling() && selectedRow() >= 0) FilterList->scrollTo(FilterList->currentIndex());
}

void CQuendleDlg::OnColumnclickList(int column) {
  if (column == SortColumn) {
    SortAscending = !SortAscending;
  } else {
    SortAscending = column != 1;
    SortColumn = column;
  }
  FillSortKeys(column);
  sortRows(SortAscending);
}

void CQuendleDlg::OnSelchangeCategory() {
  ShowCategory(true);
  SortAscending = false;
  SortColumn = 1;
}

void CQuendleDlg::RefreshList() {
  const int column = SortColumn;
  ShowCategory(false);
  FillSortKeys(column == -1 ? 1 : column);
  sortRows(SortAscending);
}

void CQuendleDlg::ScrollToItem(int n) {
  QScrollBar* bar = FilterList->verticalScrollBar();
  bar->setValue(bar->value() + n);
}

bool CQuendleDlg::IsQuartzFilter(int row) const {
  QString path = rowText(row, 2);
  qsizetype cut = std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
  return path.mid(cut + 1).compare(u"quartz.dll", Qt::CaseInsensitive) == 0;
}

bool CQuendleDlg::prepareContextMenu() {
  const int row = selectedRow();
  const int c = category();
  if (row < 0 || c < 0) return false;
  for (int id : {ID_CHANGE_MERIT, ID_DELETE_FILTER_INFO, ID_UNREGISTER, ID_DELETE_RESTORE_INFO})
    action(id)->setEnabled(true);
  if (c <= kAllFilters) {
    action(ID_UNREGISTER)->setEnabled(!IsQuartzFilter(row));
    action(ID_DELETE_RESTORE_INFO)->setEnabled(false);
  } else {
    for (int id : {ID_CHANGE_MERIT, ID_DELETE_FILTER_INFO, ID_UNREGISTER})
      action(id)->setEnabled(false);
  }
  return true;
}

void CQuendleDlg::OnRclickList(const QPoint& pos) {
  if (!prepareContextMenu()) return;
  PopupMenu->exec(FilterList->viewport()->mapToGlobal(pos));
}

int CQuendleDlg::findRow(const Guid& classId, const QString& name) const {
  if (!classId.isNull())
    for (int r = 0; r < rowCount(); ++r)
      if (const FilterItem* item = FilterRows->item(r); item && item->ClassId == classId) return r;
  for (int r = 0; r < rowCount(); ++r)
    if (rowText(r, 0).compare(name, Qt::CaseInsensitive) == 0) return r;
  return -1;
}

void CQuendleDlg::reselect(const Guid& classId, const QString& name, int top) {
  if (rowCount() == 0) return;
  ScrollToItem(top);
  int r = findRow(classId, name);
  if (r >= 0) selectRow(r);
}

}  // namespace quendle
