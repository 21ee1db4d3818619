// Tf_option "設定": the settings dialog.  Its controls are the working copy of
// the values of section "option"; the main window's menu marks, panel sizes
// and overlay position, and the list window's grid, are the working copies of
// the others.  ReadEnv loads everything from the hive, pushes it into the
// controls and the list window and hands the result to the main window;
// WriteEnv stores everything back.
//
// The main window sets the hooks below and then calls FormCreate once.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "core/settings.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class Tf_sub;

namespace tl::reg { class Hive; }

class Tf_option : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_option(tl::reg::Hive& hive, QWidget* parent = nullptr);

  // ---- hooks set by the main window --------------------------------------
  // Applies loaded settings to the main window (see the notes in option.cpp
  // for the order).  Called by every ReadEnv.
  std::function<void(const tl::Settings&)> applyToMain;
  // Fills the main window's current values into a settings record before a
  // save: PaintBoxs1, panel1, vlm, wmpwidth, wmpheight, the view marks in
  // opt, tpx, tpy, prewid, prehigh.
  std::function<void(tl::Settings&)> collectFromMain;
  // The main window's refresh (a_F5Execute), run after OK.
  std::function<void()> refreshMain;
  // The overlay's current font sizes (points x 10000), shown when the dialog
  // becomes active; false when there are none to show.
  std::function<bool(int32_t& gfsize, int32_t& gfssize)> overlayFontSizes;
  // Puts a device number into the recording component (-1 = wave mapper).
  std::function<void(int device)> setWaveDevice;
  // Message boxes (tests replace it).  Default: a warning box "Tallisen".
  std::function<void(const QString& text)> showMessage;

  void setListWindow(Tf_sub* sub) { sub_ = sub; }

  // ---- operations ----------------------------------------------------------
  // Start-up: ReadEnv, then one more start on the counter.
  void FormCreate();
  // Loads every setting (never stops early; problems are shown in one
  // message) and returns what was applied.
  tl::Settings ReadEnv();
  // Stores the settings changed since they were last loaded or stored (see
  // tl::WriteEnvChanged) and saves the hive.  An entry of the dialog that is
  // not valid keeps the value last loaded.  False when the hive could not be
  // saved (*err says why; the old file is kept).
  bool WriteEnv(std::string* err = nullptr);
  void Button3Click();  // OK
  void Button4Click();  // cancel

  // The settings the controls hold now.  strict: an invalid backmore,
  // tinterval or code-page entry gives empty with the conversion message in
  // *err; otherwise such an entry keeps the value last loaded.
  std::optional<tl::Settings> fromControls(bool strict, std::string* err = nullptr) const;
  // The settings last loaded (what the main window was given).
  const tl::Settings& settings() const { return cur_; }

  // ---- controls (names as the settings refer to them) ---------------------
  QTabWidget* tabs = nullptr;
  QRadioButton *RadioButton1 = nullptr, *c_subopenmode = nullptr, *c_subview = nullptr;
  QCheckBox *c_soundmode = nullptr, *c_pausemode = nullptr, *c_notclearpause = nullptr,
            *c_nextsubplus = nullptr, *c_adjcrt = nullptr, *c_orgsize = nullptr,
            *c_autocopy = nullptr, *c_hintmode = nullptr, *c_giveup = nullptr;
  QLineEdit *e_backmore = nullptr, *e_tinterval = nullptr;
  QComboBox *com_ssize = nullptr, *com_size = nullptr, *com_gfssize = nullptr,
            *com_gfsize = nullptr, *com_charset = nullptr, *ComboBox1 = nullptr;
  QComboBox* ComboBox2_6[5] = {};
  QPushButton *Button3 = nullptr, *Button4 = nullptr;

 protected:
  bool event(QEvent* e) override;

 private:
  void build();
  QWidget* buildBasicTab();
  QWidget* buildWaveTab();
  QWidget* buildAdvancedTab();
  void toControls(const tl::Settings& s);
  void FormActivate();
  void ComboBox1Change();
  void message(const std::string& utf8);

  tl::reg::Hive& hive_;
  Tf_sub* sub_ = nullptr;
  tl::Settings cur_;
  tl::Settings stored_;  // as last loaded or stored: what a save compares with
};
