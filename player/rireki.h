// Tf_rireki "学習履歴(最新反映には要セーブ)": The study history window.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_rireki : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_rireki(QWidget* parent = nullptr);
};
