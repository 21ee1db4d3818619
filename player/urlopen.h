// Tf_urlopen "URLを開く": Opens a movie by its address.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>

class Tf_urlopen : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_urlopen(QWidget* parent = nullptr);
};
