#include "player/sublist/sublistmodel.h"

#include "core/sublist.h"
#include "platform/codepage/codepage.h"

namespace {

QString fromAnsi(const std::string& s) {
  bool ascii = true;
  for (unsigned char c : s)
    if (c >= 0x80) {
      ascii = false;
      break;
    }
  if (ascii) return QString::fromLatin1(s.data(), (qsizetype)s.size());
  return QString::fromStdU16String(tl::cp::ansiToUtf16(s));
}

}  // namespace

SubListModel::SubListModel(QObject* parent) : QAbstractTableModel(parent) {}

void SubListModel::setDicMode(bool on) {
  if (dicMode_ == on) return;
  beginResetModel();
  dicMode_ = on;
  endResetModel();
}

void SubListModel::refill() {
  beginResetModel();
  if (L_) {
    rows_ = tl::slotOrder(*L_);
    sceneMarks_ = tl::sceneMarks(*L_);
  } else {
    rows_.clear();
    sceneMarks_.clear();
  }
  rebuildIndex();
  endResetModel();
}

void SubListModel::sortBy(int col, int from) {
  if (!L_ || from < 0) return;
  emit layoutAboutToBeChanged();
  tl::GridSort(*L_, rows_, col, (size_t)from);
  rebuildIndex();
  emit layoutChanged();
}

void SubListModel::restoreOrder() {
  if (!L_) return;
  emit layoutAboutToBeChanged();
  std::vector<int32_t> order = tl::slotOrder(*L_);
  // The rows are the same slots; only their order goes back.
  if (order.size() == rows_.size()) rows_ = std::move(order);
  rebuildIndex();
  emit layoutChanged();
}

void SubListModel::rebuildIndex() {
  rowOf_.assign(rows_.size() + 1, -1);
  for (size_t r = 0; r < rows_.size(); ++r)
    if (rows_[r] >= 0 && (size_t)rows_[r] < rowOf_.size()) rowOf_[rows_[r]] = (int32_t)r;
}

int SubListModel::slotOfRow(int row) const {
  return row >= 0 && row < (int)rows_.size() ? rows_[row] : -1;
}

int SubListModel::rowOfSlot(int slot) const {
  return slot >= 0 && slot < (int)rowOf_.size() ? rowOf_[slot] : -1;
}

void SubListModel::emitRow(int row, int c0, int c1) {
  if (row < 0) return;
  emit dataChanged(index(row, c0), index(row, c1));
}

void SubListModel::slotChanged(int slot) {
  if (!L_ || slot < 1) return;
  const int cue = tl::Lesson::isCue(slot) ? slot : slot - 1;
  emitRow(rowOfSlot(cue), 0, tl::kSubCols - 1);
  emitRow(rowOfSlot(cue + 1), 0, tl::kSubCols - 1);
}

void SubListModel::timesChanged() {
  if (rows_.empty()) return;
  emit dataChanged(index(0, tl::kColTime), index((int)rows_.size() - 1, tl::kColTime));
}

void SubListModel::scenesChanged() {
  if (!L_) return;
  sceneMarks_ = tl::sceneMarks(*L_);
  if (rows_.empty()) return;
  emit dataChanged(index(0, tl::kColScene), index((int)rows_.size() - 1, tl::kColScene));
}

int SubListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : (int)rows_.size();
}

int SubListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : tl::kSubCols; }

QVariant SubListModel::data(const QModelIndex& index, int role) const {
  if (!L_ || !index.isValid()) return {};
  const int slot = slotOfRow(index.row());
  // A row beyond a table that shrank before the refill shows nothing.
  if (slot < 1 || slot >= L_->subcount) return {};
  switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: {
      const char mark = slot < (int)sceneMarks_.size() ? sceneMarks_[slot] : 0;
      return fromAnsi(tl::subCell(*L_, slot, index.column(), dicMode_, mark));
    }
    case CueRole:
      return tl::Lesson::isCue(slot);
    default:
      return {};
  }
}

QVariant SubListModel::headerData(int section, Qt::Orientation o, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (o == Qt::Horizontal && section >= 0 && section < tl::kSubCols)
    return QString::fromUtf8(tl::kSubHeaders[section]);
  if (o == Qt::Vertical) return section + 1;
  return {};
}

Qt::ItemFlags SubListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  if (!L_ || !index.isValid()) return f;
  const int slot = slotOfRow(index.row());
  if (index.column() == tl::kColTime) f |= Qt::ItemIsEditable;
  // The memo row is editable; the marks are read-only.
  if (index.column() == tl::kColText && slot > 0 && !tl::Lesson::isCue(slot) && !dicMode_) f |= Qt::ItemIsEditable;
  return f;
}

bool SubListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !onEdit || !(flags(index) & Qt::ItemIsEditable)) return false;
  const int slot = slotOfRow(index.row());
  if (slot < 1) return false;
  if (!onEdit(slot, index.column(), value.toString())) return false;
  emit dataChanged(index, index);
  return true;
}
