// Tf_subposfind "検索": Finds a subtitle by its text.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_subposfind : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subposfind(QWidget* parent = nullptr);
};
