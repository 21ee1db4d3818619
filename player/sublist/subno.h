// Tf_subno "字幕番号指定ジャンプ": plays from the start of a cue given by its
// number.  The jump goes through the main window's posplay, as every jump.
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class MainHost;

class Tf_subno : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subno(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  void Button1Click();

  QLineEdit* e_subno = nullptr;
  QPushButton* Button1 = nullptr;

 private:
  std::shared_ptr<MainHost> host_;
};
