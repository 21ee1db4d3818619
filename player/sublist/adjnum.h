// Tf_adjnum "指定字幕調整": shifts the times by a typed number of
// milliseconds from the displayed cue on (or all, by the setting adjcrt).
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class MainHost;

class Tf_adjnum : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_adjnum(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  void Button1Click();

  QLineEdit* Edit1 = nullptr;
  QPushButton* Button1 = nullptr;

 private:
  std::shared_ptr<MainHost> host_;
};
