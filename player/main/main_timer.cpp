// Tf_main: the window side of playback (PlaybackController holds the rules).
#include <cmath>

#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>

#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/views/subpanels.h"
#include "player/translate/translation.h"

void Tf_main::Timer1Timer() { playback_->tick(); }

// What the playback controller announces, shown; its failures in a box.
void Tf_main::wirePlayback() {
  PlaybackController* pb = playback_.get();
  pb->foreground = [this] { return isForeground(); };
  connect(pb, &PlaybackController::statusText, this,
          [this](int panel, const std::string& t) { setStatusText(panel, t); });
  connect(pb, &PlaybackController::logLine, this, [this](const std::string& t) { logout(t); });
  connect(pb, &PlaybackController::toggled, this, [this](bool playing) {
    pauseGlyph(playing);
    spltcol();
    Panel1->setFocus();
  });
  connect(pb, &PlaybackController::jumped, this, [this] {
    pauseGlyph(true);
    spltcol();
    Panel1->setFocus();
    i_se->hide();
  });
  connect(pb, &PlaybackController::jumpAhead, this, [this](tl::ttime t) { jumpComing(t); });
  // The movie seek bar follows the position through the whole medium.
  connect(pb, &PlaybackController::mediumPosition, this, [this](tl::ttime nowpos, double duration) {
    tb_movie->setValue(PlaybackController::movieBarValue(tb_movie->maximum(), nowpos, duration));
  });
  // The focus bar and the subtitle seek bar follow the position in the lesson.
  connect(pb, &PlaybackController::lessonPosition, this, [this](tl::ttime nowpos, bool follow) {
    if (opt.focusbar) repaintFocusBar();
    if (follow) tb_point->setValue(PlaybackController::pointBarValue(nowpos));
  });
  connect(pb, &PlaybackController::ticked, this, [this] { repaintWave(); });
  // The translation worker looks ahead from the displayed cue and the position.
  connect(pb, &PlaybackController::tickDone, this, [this] {
    if (ts) ts->setPosition(L.cursub, L.nowpos);
  });
  connect(pb, &PlaybackController::gapEntered, this, [this] { gapReached(); });
  connect(pb, &PlaybackController::cueReached, this, [this] { newCueDisplayed(); });
  connect(pb, &PlaybackController::cueJumpedTo, this, [this] {
    Sceneposset();
    csrset(0);
    model_->announce(tl::Change::Cursor);
    sm_ref();
  });
  connect(pb, &PlaybackController::failed, this, [this](const QString& t) { message(t); });
  connect(pb, &PlaybackController::openFailed, this, [this](const QString& t) { notice(t); });
  connect(pb, &PlaybackController::recordingDue, this, [this] {
    startRecording();
    wavreset();
  });
}

uint32_t Tf_main::tickCount() { return deps_.tickCount(); }

void Tf_main::gapReached() {
  onGapReached();
  placeSeMark();
  i_se->show();
  i_se->raise();
}

// After the cue's last letter on the panel, wherever the panel now lies and
// whatever its cell size.
void Tf_main::placeSeMark() {
  i_se->move(subPanel ? subPanel->seMarkPos(Splitter2->x())
                     : QPoint(std::max(0, p_subs->width() - i_se->width() - 4), 4));
}

void Tf_main::newCueDisplayed() {
  i_se->hide();
  csrset(0);
  Sceneposset();
  model_->announce(tl::Change::Cursor);
  sm_ref();
}

bool Tf_main::isForeground() {
  return forceForeground_ || isActiveWindow();
}

void Tf_main::pauseGlyph(bool playing) {
  sb_playpause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void Tf_main::playpause() { playback_->playpause(); }

void Tf_main::spltcol() {
  QColor c;
  if (player_ && player_->playState() == tl::ps_playing)
    c = QColor(0x17, 0x17, 0x17);
  else if (opt.giveup && L.repcount > 2)
    c = QColor(0, 255, 0);
  else
    c = QColor(255, 255, 255);
  if (L.sublocked) c = QColor(255, 0, 0);
  QPalette p = Splitter2->palette();
  p.setColor(QPalette::Window, c);
  Splitter2->setPalette(p);
}

void Tf_main::fstplay() {
  playback_->firstPlay();
  Sceneposset();
  pauseGlyph(true);
  spltcol();
  tb_movie->setValue(0);
  if (L.resumesub != 0 && L.validSlot(L.resumesub)) {
    if (question(QStringLiteral("前回再生位置が保存されています。レジュームしますか？"),
                 QStringLiteral("レジューム"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
      player_->setCurrentPosition((double)L.subtime[L.resumesub] / 10000.0);
  }
  repaintOverlay();
  playback_->armRecording();
  playback_->startPolling();
}
