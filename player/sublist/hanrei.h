// Tf_hanrei "凡例": the legend of the letter marks of the list window.
#pragma once

#include <QDialog>

class Tf_hanrei : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_hanrei(QWidget* parent = nullptr);
};
