// Tf_scenediv "シーン分割": cuts the scenes anew after gaps of a typed length
// and a typed least distance from the scene before.
#pragma once

#include <QDialog>
#include <memory>

class QLineEdit;
class QPushButton;
class MainHost;

class Tf_scenediv : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_scenediv(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  void Button1Click();

  QLineEdit* Edit1 = nullptr;  // gap, seconds
  QLineEdit* Edit2 = nullptr;  // least distance from the scene before, seconds
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;

 private:
  std::shared_ptr<MainHost> host_;
};
