// Tf_main: the two seek bars and the subtitle lock.
#include <QAction>
#include <QIcon>
#include <QToolButton>
#include <cmath>

#include "core/timetext.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"

void Tf_main::seekBarsWire() {
  tb_movie->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (movopened || dvdmode) seekdrag = true;
  };
  tb_movie->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag || !(movopened || dvdmode)) return;
    movieSeekTarget = movieBarTime();
    setStatusText(4, tl::sec2str_0(movieSeekTarget));
  };
  tb_movie->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag) return;
    seekdrag = false;
    if (!(movopened || dvdmode)) return;
    // A click without a drag seeks to where the bar now stands.
    movieSeekTarget = movieBarTime();
    seekFromBar(movieSeekTarget);
    setStatusText(7, player_->durationString());
  };
  tb_point->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { seekdrag = true; };
  tb_point->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    if (L.srtloaded && seekdrag) setStatusText(4, tl::sec2str_0((tl::ttime)tb_point->value() * 10000));
  };
  tb_point->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag) return;
    seekdrag = false;
    if (!L.srtloaded || !(movopened || dvdmode)) return;
    seekFromBar((tl::ttime)tb_point->value() * 10000);
  };
}

tl::ttime Tf_main::movieBarTime() {
  double d = player_->duration();
  if (!(d > 0)) d = 9000;
  return (tl::ttime)std::nearbyint(d * tb_movie->positionRatio() * 10000.0);
}

void Tf_main::seekFromBar(tl::ttime t) {
  guarded([this, t] {
    posplay(0, t);
    // The displayed cue follows the new position also while paused.
    if (L.cursub > 0) forcedTick();
  });
}

void Tf_main::forcedTick() {
  L.forcetick = true;
  Timer1Timer();
  if (L.forcetick) wakeTimer();  // the tick could not take it yet
}

void Tf_main::lockunlock() {
  // The menu item toggles its own check mark; the state is ours.
  L.sublocked = !L.sublocked;
  n_sublock->setChecked(L.sublocked);
  sb_sublock->setIcon(lockIcon(L.sublocked));
  spltcol();
}

