// Tf_adjnum "指定字幕調整": Shifts the timing of a chosen subtitle.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_adjnum : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_adjnum(QWidget* parent = nullptr);
};
