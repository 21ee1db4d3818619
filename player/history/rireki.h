// Tf_rireki "学習履歴(最新反映には要セーブ)": The study history window.
// Created once at start-up, hidden, shown and hidden again by the main window.
// One row per progress file of the folder "sav", read by tl::SearchFile; the
// grid is a view over HistoryModel, the progress bars are painted by
// HistoryBarDelegate.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>
#include <memory>
#include <QStyledItemDelegate>
#include <functional>
#include <string>

#include "core/history.h"

class QMenu;
class QTableView;
class MainHost;

class HistoryModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  enum Role { AchievementRole = Qt::UserRole, HintRateRole };
  using QAbstractTableModel::QAbstractTableModel;
  void setRows(std::vector<tl::HistoryRow> rows);
  const tl::HistoryRow* row(int r) const;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation o, int role) const override;

 private:
  std::vector<tl::HistoryRow> rows_;
};

// Column 2: green up to the achievement, red for the hint rate at the right
// end of the green part, the rest the grid's background; never outside the cell.
class HistoryBarDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  // The green and red spans [left, right) of a cell from x0 of width w.
  static void spans(int x0, int w, int achievement, double hintrate, int& greenR, int& redL);
};

class Tf_rireki : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_rireki(std::shared_ptr<MainHost> host = nullptr, QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  // The folder of the progress files (the data folder + "sav").
  void setFolder(const std::string& folder) { folder_ = folder; }
  // Study time: the base before this run (ms), the run's start tick and the
  // tick now (ms, 32-bit wrapping).
  std::function<void(int64_t& baseMs, uint32_t& startTick, uint32_t& nowTick)> studyTime;

  // The listing; then one message naming every unreadable file.  Returns the
  // number of rows.
  int SearchFile();
  void N2Click();  // "更新"
  void N4Click();  // "やり直し" on the selected row
  void N3Click();  // "ランク"
  void N6Click();  // "総時間"
  // "やり直し" on one row (the pop-up's row).
  void resetRow(int row);
  // Right click at a point of the grid's viewport: selects the row there and
  // opens the pop-up for it.
  void popupAt(const QPoint& viewportPos);

  QTableView* grid() const { return StringGrid1; }
  HistoryModel* rows() const { return model_; }
  int64_t score() const { return score_; }
  QMenu* popupMenu() const { return PopupMenu1; }

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void say(const QString& text);

  std::shared_ptr<MainHost> host_;
  std::string folder_;
  int64_t score_ = 0;
  int popupRow_ = -1;
  HistoryModel* model_ = nullptr;
  QTableView* StringGrid1 = nullptr;
  QMenu* PopupMenu1 = nullptr;
};
