// Tf_scenediv "シーン分割": Divides the subtitles into scenes.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_scenediv : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_scenediv(QWidget* parent = nullptr);
};
