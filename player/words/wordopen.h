// Tf_wordopen "指定単語オープン": Opens the letters of a chosen word.
// Created once at start-up, hidden, shown and hidden again by the main window.
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class MainHost;

class Tf_wordopen : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_wordopen(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }

  // OK: reveals every whole-word occurrence of the word in the edit box in
  // every cue and says how many it found.
  void Button1Click();
  void Button2Click();

  QLineEdit* e_openword = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  std::shared_ptr<MainHost> host_;
};
