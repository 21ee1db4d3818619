// Tf_urlopen "URLを開く": Opens a movie by its address.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

class QLineEdit;

class Tf_urlopen : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_urlopen(QWidget* parent = nullptr);
  // Opens the movie at an address (the main window's movfileopen).
  std::function<void(const std::string& url)> openMovie;
  // "開く": hands the address to openMovie; an empty address opens nothing.
  // The dialog stays open.
  void Button1Click();

 private:
  QLineEdit* Edit1 = nullptr;
};
