// SubListModel: the rows of the subtitle list over the slot table.  Row r
// shows slot rows()[r]; a sort permutes that mapping, the table itself is
// never copied.  Cells are made when the view asks for them, so a refill
// costs one pass over the slots (the row mapping and the scene column).
#pragma once

#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/lesson.h"

class SubListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  // Role telling whether a row opens a cue pair (its slot is a cue).
  static constexpr int CueRole = Qt::UserRole + 1;

  explicit SubListModel(QObject* parent = nullptr);

  void setLesson(const tl::Lesson* l) { L_ = l; }
  const tl::Lesson* lesson() const { return L_; }

  // The second row of a pair shows the letter marks instead of the memo.
  void setDicMode(bool on);
  bool dicMode() const { return dicMode_; }

  // Refill in slot order (gridset).
  void refill();
  // Stable descending sort by the star or clear column (tl::kColStar,
  // tl::kColClear) from row `from` on.
  void sortBy(int col, int from = 0);
  // Back to slot order without refilling the table.
  void restoreOrder();

  // One slot's data changed: repaints its row and the other row of its pair.
  void slotChanged(int slot);
  // Every time changed (column 1 of all rows).
  void timesChanged();
  // The scene table changed (column 5).
  void scenesChanged();

  int slotOfRow(int row) const;  // -1 when row is not a row
  int rowOfSlot(int slot) const; // -1 when slot has no row
  const std::vector<int32_t>& rows() const { return rows_; }

  // Called for an edit committed in the view (time or memo cell); returns
  // true when it was stored.
  std::function<bool(int slot, int col, const QString& text)> onEdit;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

 private:
  void rebuildIndex();
  void emitRow(int row, int c0, int c1);

  const tl::Lesson* L_ = nullptr;
  bool dicMode_ = false;
  std::vector<int32_t> rows_;     // row -> slot
  std::vector<int32_t> rowOf_;    // slot -> row (-1: none)
  std::vector<char> sceneMarks_;  // slot -> 'o', 'x' or 0
};
