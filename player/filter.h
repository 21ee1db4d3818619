// Tf_filter "フィルタ": The letter filter dialog.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_filter : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_filter(QWidget* parent = nullptr);
};
