// Tf_srtout "字幕出力": Writes a range of subtitles to a file.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_srtout : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_srtout(QWidget* parent = nullptr);
};
