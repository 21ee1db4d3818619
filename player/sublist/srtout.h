// Tf_srtout "字幕出力": writes all cues, or the cues of the list's selection,
// to a new SRT file in the program folder.
#pragma once

#include <QDialog>
#include <memory>

class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class MainHost;
class Tf_sub;

class Tf_srtout : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_srtout(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  void setList(Tf_sub* sub) { sub_ = sub; }
  void Button1Click();

  QRadioButton* rg_all = nullptr;  // "全て"
  QRadioButton* rg_sel = nullptr;  // "選択範囲"
  QPushButton* Button1 = nullptr;
  QPlainTextEdit* Memo1 = nullptr;

 private:
  std::shared_ptr<MainHost> host_;
  Tf_sub* sub_ = nullptr;
};
