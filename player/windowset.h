// The seventeen windows of Tallisen, created once in their order and kept for
// the whole run.
#pragma once

#include <memory>

#include "player/windows.h"

class Tf_main;
class Tf_sub;
class Tf_option;
class Tf_rireki;
class Tf_wordopen;
class Tf_filter;
class Tf_hanrei;
class Tf_scenediv;
class Tf_subposfind;
class Tf_srtout;
class Tf_adjnum;
class Tf_keystct;
class Tf_subno;
class Tf_subedit;
class Tf_wordtest;
class Tf_urlopen;
class Tf_ted;
struct MainDeps;

class WindowSet : public MainWindows {
 public:
  // Creates the windows; Tf_option's creation loads the settings into the
  // main window.
  explicit WindowSet(MainDeps deps);
  ~WindowSet() override;

  Tf_main* main() const { return f_main; }

  void showSubList() override;
  void showSubEdit() override;
  void showUrlOpen() override;
  void showSubNo() override;
  void showWordOpen() override;
  void showFilter() override;
  void showAdjNum() override;
  void showOption() override;
  void showRireki() override;
  void showKeys() override;
  void showSceneDiv() override;
  void showTed() override;
  bool saveProgress() override;
  bool textUnsaved() const override;
  void showWordTest() override;
  bool saveOpenReview() override;

  Tf_main* f_main = nullptr;
  Tf_sub* f_sub = nullptr;
  Tf_option* f_option = nullptr;
  Tf_rireki* f_rireki = nullptr;
  Tf_wordopen* f_wordopen = nullptr;
  Tf_filter* f_filter = nullptr;
  Tf_hanrei* f_hanrei = nullptr;
  Tf_scenediv* f_scenediv = nullptr;
  Tf_subposfind* f_subposfind = nullptr;
  Tf_srtout* f_srtout = nullptr;
  Tf_adjnum* f_adjnum = nullptr;
  Tf_keystct* f_keystct = nullptr;
  Tf_subno* f_subno = nullptr;
  Tf_subedit* f_subedit = nullptr;
  Tf_wordtest* f_wordtest = nullptr;
  Tf_urlopen* f_urlopen = nullptr;
  Tf_ted* f_ted = nullptr;
};
