// Test access to the main window's private controls and state: the tests
// that drive the window end to end read these; nothing else does.
#pragma once

#include <QChar>
#include <QSlider>
#include <QToolButton>
#include <string>
#include <vector>

#include "player/main.h"

class MainTestAccess {
 public:
  static TExtTrackBar* tb_movie(Tf_main& w) { return w.tb_movie; }
  static QWidget* Panel1(Tf_main& w) { return w.Panel1; }
  static QAction* n_sublock(Tf_main& w) { return w.n_sublock; }
  static QAction* n_fullp(Tf_main& w) { return w.n_fullp; }
  static QMenu* n_refile(Tf_main& w) { return w.n_refile; }
  static tl::TAudioIn* AudioIn1(Tf_main& w) { return w.AudioIn1.get(); }
  static bool seekdrag(const Tf_main& w) { return w.seekdrag; }
  static const std::vector<std::string>& refilelist(const Tf_main& w) { return w.refilelist; }
  static void FormKeyPress(Tf_main& w, QChar c) { w.FormKeyPress(c); }
  static QToolButton* sb_playpause(Tf_main& w) { return w.sb_playpause; }
  static QToolButton* sb_stop(Tf_main& w) { return w.sb_stop; }
  static QSlider* t_vlm(Tf_main& w) { return w.t_vlm; }
  static tl::ui::TSubOverlay* tp_sub(Tf_main& w) { return w.tp_sub; }
};
