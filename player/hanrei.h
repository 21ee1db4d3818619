// Tf_hanrei "凡例": The legend of the list window's colours.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_hanrei : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_hanrei(QWidget* parent = nullptr);
};
