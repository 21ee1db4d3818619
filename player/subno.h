// Tf_subno "字幕番号指定ジャンプ": Jumps to a subtitle by its number.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_subno : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subno(QWidget* parent = nullptr);
};
