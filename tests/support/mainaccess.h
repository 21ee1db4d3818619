// Test access to the main window's private controls and state: the tests
// that drive the window end to end read these; nothing else does.
#pragma once

#include <QChar>
#include <QSlider>
#include <QToolButton>
#include <string>
#include <vector>

#include "player/main/main.h"
#include "player/playback/playback.h"

class MainTestAccess {
 public:
  static TExtTrackBar* tb_movie(Tf_main& w) { return w.tb_movie; }
  static QWidget* Panel1(Tf_main& w) { return w.Panel1; }
  static QWidget* PaintBox1(Tf_main& w) { return w.PaintBox1; }
  static QAction* n_sublock(Tf_main& w) { return w.n_sublock; }
  static QAction* n_fullp(Tf_main& w) { return w.n_fullp; }
  static QMenu* n_refile(Tf_main& w) { return w.n_refile; }
  static tl::TAudioIn* AudioIn1(Tf_main& w) { return w.AudioIn1.get(); }
  static tl::TAudioIn* AudioIn2(Tf_main& w) { return w.AudioIn2.get(); }
  static tl::TMixer* Mixer1(Tf_main& w) { return w.Mixer1.get(); }
  static Panel5* wavePanel(Tf_main& w) { return w.wavePanel; }
  static Panel6* panel6(Tf_main& w) { return w.panel6; }
  static double wavcolsec(const Tf_main& w) { return w.wavcolsec; }
  static bool seMarkVisible(const Tf_main& w) { return w.playback_->seMarkVisible(); }
  static bool seekdrag(const Tf_main& w) { return w.playback_->seekdrag(); }
  static const std::vector<std::string>& refilelist(const Tf_main& w) { return w.refilelist; }
  static void FormKeyPress(Tf_main& w, QChar c) { w.FormKeyPress(c); }
  static void dropEvent(Tf_main& w, QDropEvent* e) { w.dropEvent(e); }
  static TExtTrackBar* tb_point(Tf_main& w) { return w.tb_point; }
  static tl::ui::TSubStrip* preStrip(Tf_main& w) { return w.preStrip; }
  static tl::ui::TSubOverlay* tp_sub(Tf_main& w) { return w.tp_sub; }
  static void hideOverlayForDvdMenu(Tf_main& w) { w.hideOverlayForDvdMenu(); }
  static TranslationService* ts(Tf_main& w) { return w.ts; }
  static QToolButton* sb_playpause(Tf_main& w) { return w.sb_playpause; }
  static QToolButton* sb_stop(Tf_main& w) { return w.sb_stop; }
  static QSlider* t_vlm(Tf_main& w) { return w.t_vlm; }
  static QTimer* Timer1(Tf_main& w) { return w.playback_->timer(); }
  static void forcedTick(Tf_main& w) { w.forcedTick(); }
  static void n_adjresetClick(Tf_main& w) { w.n_adjresetClick(); }
};
