// Tf_wordtest "単語テスト": Flash-card review of the registered words.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_wordtest : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_wordtest(QWidget* parent = nullptr);
};
