// Tf_wordopen "指定単語オープン": Opens the letters of a chosen word.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_wordopen : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_wordopen(QWidget* parent = nullptr);
};
