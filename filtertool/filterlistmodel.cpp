#include "filtertool/filterlistmodel.h"

#include "filtertool/quendlestrings.h"

namespace quendle {

FilterListModel::FilterListModel(QObject* parent) : QAbstractTableModel(parent) {}

FilterListModel::~FilterListModel() = default;

int FilterListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FilterListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QVariant FilterListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns) return {};
  if (role == Qt::DisplayRole) return rows_[index.row()].texts[index.column()];
  return {};
}

QVariant FilterListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= kColumns) return {};
  if (role == Qt::DisplayRole) return quendle::text(IDS_COL_NAME + section);
  if (role == Qt::TextAlignmentRole) return int(Qt::AlignLeft | Qt::AlignVCenter);
  return {};
}

QString FilterListModel::text(int row, int column) const {
  if (row < 0 || row >= rowCount() || column < 0 || column >= kColumns) return {};
  return rows_[row].texts[column];
}

FilterItem* FilterListModel::item(int row) const {
  if (row < 0 || row >= rowCount()) return nullptr;
  return rows_[row].item.get();
}

void FilterListModel::beginFill() {
  if (filling_) return;
  beginResetModel();
  filling_ = true;
  rows_.clear();
}

void FilterListModel::endFill() {
  if (!filling_) return;
  filling_ = false;
  endResetModel();
}

int FilterListModel::append(const QString& name, const QString& merit, const QString& path,
                            std::unique_ptr<FilterItem> item) {
  const int row = rowCount();
  if (!filling_) beginInsertRows({}, row, row);
  rows_.push_back(Row{{name, merit, path}, std::move(item)});
  if (!filling_) endInsertRows();
  return row;
}

void FilterListModel::remove(int row) {
  if (row < 0 || row >= rowCount()) return;
  if (!filling_) beginRemoveRows({}, row, row);
  rows_.erase(rows_.begin() + row);
  if (!filling_) endRemoveRows();
}

void FilterListModel::clear() {
  if (filling_) {
    rows_.clear();
    return;
  }
  if (rows_.empty()) return;
  beginResetModel();
  rows_.clear();
  endResetModel();
}

void FilterListModel::reorder(const std::vector<int>& order) {
  const int n = rowCount();
  if (static_cast<int>(order.size()) != n) return;
  if (filling_) {
    std::vector<Row> rows(n);
    for (int r = 0; r < n; ++r) rows[r] = std::move(rows_[order[r]]);
    rows_ = std::move(rows);
    return;
  }
  emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
  std::vector<int> newIndex(n);
  for (int r = 0; r < n; ++r) newIndex[order[r]] = r;
  const QModelIndexList before = persistentIndexList();
  QModelIndexList after;
  after.reserve(before.size());
  for (const QModelIndex& i : before)
    after.push_back(i.row() < n ? index(newIndex[i.row()], i.column()) : QModelIndex());
  std::vector<Row> rows(n);
  for (int r = 0; r < n; ++r) rows[r] = std::move(rows_[order[r]]);
  rows_ = std::move(rows);
  changePersistentIndexList(before, after);
  emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

}  // namespace quendle
