// Tf_subposfind "検索": the search text and where the list's search starts.
#pragma once

#include <QDialog>

class QButtonGroup;
class QLineEdit;
class QPushButton;
class QRadioButton;
class Tf_sub;

class Tf_subposfind : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_subposfind(QWidget* parent = nullptr);
  void setList(Tf_sub* sub) { sub_ = sub; }
  QString searchText() const;
  void Button1Click();

  QLineEdit* e_sc = nullptr;
  QPushButton* Button1 = nullptr;
  // "最初から検索", "選択位置の次から検索", "再生位置から検索"
  QRadioButton* rg_stt[3] = {};

 private:
  Tf_sub* sub_ = nullptr;
};
