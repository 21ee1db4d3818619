// The rows of the filter list: three texts ("フィルタ名", "メリット値",
// "ファイル名") and the FilterItem record behind each row.  A row owns its
// record, and the record its filter description: both are freed when the row
// is removed, whether one row goes, the list is cleared or the model ends.
#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "platform/filters/filterdata.h"

namespace quendle {

// The record behind every row of the filter list.
struct FilterItem {
  std::string SortKey;  // the sort column's text in code page 932
  tl::flt::Guid ClassId;  // all zero for rows of a record file
  std::unique_ptr<tl::flt::RegFilter2> FilterDescription;  // null for rows of a record file
};

class FilterListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  static constexpr int kColumns = 3;

  explicit FilterListModel(QObject* parent = nullptr);
  ~FilterListModel() override;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

  // Empty outside the list.
  QString text(int row, int column) const;
  // Null outside the list and for a row without a record.
  FilterItem* item(int row) const;

  // Empties the list and starts filling it: the rows appended until
  // endFill() reach the views at once.
  void beginFill();
  void endFill();
  bool filling() const { return filling_; }
  // Appends one row; returns its index.
  int append(const QString& name, const QString& merit, const QString& path,
             std::unique_ptr<FilterItem> item);
  void remove(int row);
  void clear();
  // Puts the rows in the order given (order[i]: the old index of the new row
  // i, a permutation of every row); selections follow their rows.
  void reorder(const std::vector<int>& order);

 private:
  struct Row {
    std::array<QString, kColumns> texts;
    std::unique_ptr<FilterItem> item;
  };
  std::vector<Row> rows_;
  bool filling_ = false;
};

}  // namespace quendle
