// Tf_ted "TED": a list of talks (unfinished: nothing enables its menu item and
// none of its controls acts).
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QAbstractTableModel>
#include <QDialog>

class QTableView;

class TalkListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  using QAbstractTableModel::QAbstractTableModel;
  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 1; }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : 2; }
  QVariant data(const QModelIndex& index, int role) const override;
};

class Tf_ted : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_ted(QWidget* parent = nullptr);
  QTableView* grid() const { return StringGrid1; }

 private:
  QTableView* StringGrid1 = nullptr;
};
