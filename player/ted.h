// Tf_ted "TED": Opens a talk with its subtitles.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_ted : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_ted(QWidget* parent = nullptr);
};
