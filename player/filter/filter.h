// Tf_filter "フィルタ": The letter filter dialog.
// Created once at start-up, hidden, shown and hidden again by the main window.
// The controls edit a tl::FilterForm; OK runs it over the main window's
// lesson and ends with the main window's recount.
#pragma once

#include <QDialog>
#include <memory>
#include <functional>

#include "core/letterfilter.h"

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class MainHost;

class Tf_filter : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_filter(std::shared_ptr<MainHost> host = nullptr, QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }

  const tl::FilterForm& form() const { return form_; }
  // The random draws of a run (0..99); by default a generator seeded afresh
  // at each run.  Tests set a fixed sequence.
  std::function<tl::FilterDraw()> makeDraw;

  void cb_ptnSelect(int index);
  void Button1Click();  // OK
  void Button2Click();  // キャンセル

 private:
  void pull();  // controls -> form
  void push();  // form -> controls
  void modeClicked(tl::FilterMode m);
  void wordSubClicked(tl::WordSub s);

  std::shared_ptr<MainHost> host_;
  tl::FilterForm form_;
  bool pushing_ = false;

  QComboBox* cb_ptn = nullptr;
  QRadioButton *rb_wdmode = nullptr, *rb_sntmode = nullptr, *rb_allclose = nullptr, *rb_allopen = nullptr;
  QRadioButton *RadioButton1 = nullptr, *RadioButton2 = nullptr, *RadioButton3 = nullptr, *RadioButton6 = nullptr;
  QLineEdit *Edit1 = nullptr, *Edit2 = nullptr;
  QComboBox *ComboBox1 = nullptr, *ComboBox2 = nullptr, *ComboBox3 = nullptr, *cb_taisyobun = nullptr;
  QCheckBox *c_0 = nullptr, *c_1 = nullptr, *c_2 = nullptr, *c_3 = nullptr;
};
