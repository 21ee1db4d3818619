// Tf_main: the two seek bars and the subtitle lock.
#include <QAction>
#include <QIcon>
#include <QToolButton>

#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

void Tf_main::seekBarsWire() {
  tb_movie->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    playback_->movieBarPressed();
  };
  tb_movie->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    playback_->movieBarMoved(tb_movie->positionRatio());
  };
  tb_movie->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    tl::ttime t = 0;
    if (!playback_->movieBarReleased(tb_movie->positionRatio(), t)) return;
    seekFromBar(t);
    setStatusText(7, player_->durationString());
  };
  tb_point->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    playback_->pointBarPressed();
  };
  tb_point->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    playback_->pointBarMoved(tb_point->value());
  };
  tb_point->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    tl::ttime t = 0;
    if (playback_->pointBarReleased(tb_point->value(), t)) seekFromBar(t);
  };
}

void Tf_main::seekFromBar(tl::ttime t) {
  guarded([this, t] { playback_->seekTo(t); });
}

void Tf_main::forcedTick() { playback_->forcedTick(); }

void Tf_main::lockunlock() {
  // The menu item toggles its own check mark; the state is ours.
  L.sublocked = !L.sublocked;
  n_sublock->setChecked(L.sublocked);
  sb_sublock->setIcon(lockIcon(L.sublocked));
  spltcol();
}

