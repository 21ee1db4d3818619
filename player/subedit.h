// Tf_subedit "字幕編集": Edits the text of one subtitle.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_subedit : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subedit(QWidget* parent = nullptr);
};
