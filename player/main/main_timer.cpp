// Tf_main: the main timer, play/pause and the jumps' window side.
#include <cmath>

#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>

#include "core/settings.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/views/subpanels.h"
#include "player/translate/translation.h"

void Tf_main::Timer1Timer() {
  // Recording starts once the player gives a real position, so that the
  // first buffers are not refused for the position 0 of a medium still opening.
  if (recordPending) {
    double p = 0;
    if (player_->currentPosition(p) && p > 0) {
      recordPending = false;
      startRecording();
      wavreset();
    }
  }
  maintimer_.tick(timerInputs());
  followCueEnd();
  // The translation worker looks ahead from the displayed cue and the position.
  if (ts) ts->setPosition(L.cursub, L.nowpos);
  restTimerIfIdle();
}

// A paused player needs no poll: the timer rests until playback starts or a
// tick is asked for.  A medium still opening, buffering or seeking, a
// pending recording start, a forced tick or a replay's quiet second keeps it.
void Tf_main::restTimerIfIdle() {
  if (!Timer1 || !Timer1->isActive()) return;
  if (recordPending || L.forcetick || (playWait_ && playWait_->isActive())) return;
  const int s = player_->playState();
  if (s != tl::ps_paused && s != tl::ps_stopped && s != tl::ps_ended) return;
  if ((uint32_t)(tickCount() - L.replaytick) < 1000u) return;
  Timer1->stop();
}

void Tf_main::wakeTimer() {
  if (Timer1 && timerWanted_ && tl::timerTicks(opt.tinterval) && !Timer1->isActive()) Timer1->start(opt.tinterval);
}

void Tf_main::tickIfResting() {
  if (!Timer1 || Timer1->isActive() || !timerWanted_ || restTick_) return;
  restTick_ = true;
  Timer1Timer();
  restTick_ = false;
}

tl::TimerInputs Tf_main::timerInputs() const {
  tl::TimerInputs in;
  in.movopened = movopened;
  in.dvdmode = dvdmode;
  in.seekdrag = seekdrag;
  in.ppbtnheld = dict.ppbtnheld;
  return in;
}

// The poll comes every interval; when the displayed cue ends before the next
// one, a precise one-shot timer pauses there.  When it fires the position is
// read again: a seek or a rate change in between gives a new answer.
void Tf_main::followCueEnd() {
  if (!Timer1 || !Timer1->isActive()) {
    if (endShot_) endShot_->stop();
    return;
  }
  double pos = 0;
  if (!player_->currentPosition(pos)) return;
  const tl::TimerInputs in = timerInputs();
  const tl::EndShot s = maintimer_.endShot(in, player_->playState() == tl::ps_playing, pos,
                                           player_->rate(), Timer1->interval());
  if (s.kind == tl::EndShot::Pause) {
    if (endShot_) endShot_->stop();
    maintimer_.pauseAtEnd(in, s.end);
  } else if (s.kind == tl::EndShot::Arm) {
    if (!endShot_) {
      endShot_ = new QTimer(this);
      endShot_->setSingleShot(true);
      endShot_->setTimerType(Qt::PreciseTimer);
      connect(endShot_, &QTimer::timeout, this, [this] { followCueEnd(); });
    }
    endShot_->start(s.delayMs);
  } else if (endShot_) {
    endShot_->stop();
  }
}

bool Tf_main::playerPosition(double& seconds) { return player_->currentPosition(seconds); }
int Tf_main::playerState() { return player_->playState(); }
double Tf_main::playerDuration() { return player_->duration(); }
uint32_t Tf_main::tickCount() { return deps_.tickCount(); }
// The movie seek bar follows the position through the whole medium.
void Tf_main::mediumPositionReported(tl::ttime nowpos, double durationSeconds) {
  tb_movie->setValue((int)std::trunc((double)tb_movie->maximum() * (double)nowpos / durationSeconds / 10000.0));
}

void Tf_main::tickPassed() { repaintWave(); }

// The focus bar and the subtitle seek bar follow the position in the lesson.
void Tf_main::lessonPositionReported(tl::ttime nowpos, bool follow) {
  if (opt.focusbar) repaintFocusBar();
  if (follow) tb_point->setValue((int)(nowpos / 10000));
}

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

void Tf_main::tickFailed(const std::string& utf8Message) {
  message(QString::fromStdString(utf8Message));
}

bool Tf_main::isForeground() {
  return forceForeground_ || isActiveWindow();
}

void Tf_main::seekAndPlay(tl::ttime t) {
  player_->setCurrentPosition((double)t / 10000.0);
  player_->play();
  wakeTimer();
  pauseGlyph(true);
  spltcol();
  Panel1->setFocus();
  i_se->hide();
  maintimer_.seMarkVisible = false;
}

void Tf_main::displayedCueChanged() {
  Sceneposset();
  csrset(0);
  model_->announce(tl::Change::Cursor);
  sm_ref();
}

namespace {
constexpr int kPlayWaitMs = 300;   // bound of the wait for the playing state
constexpr int kPlayWaitPollMs = 5;
qint64 monotonicNow() {
  static QElapsedTimer t = [] {
    QElapsedTimer e;
    e.start();
    return e;
  }();
  return t.elapsed();
}
}  // namespace

void Tf_main::pauseGlyph(bool playing) {
  sb_playpause->setIcon(style()->standardIcon(playing ? QStyle::SP_MediaPause : QStyle::SP_MediaPlay));
}

void Tf_main::playpause() {
  if (playWait_) playWait_->stop();  // a new toggle ends an earlier wait
  if (player_->playState() == tl::ps_playing) {
    L.playpaused = true;
    player_->pause();
    pauseGlyph(false);
    if (L.validSlot(L.cursub)) L.adjfrom = L.cursub;
  } else {
    player_->play();
    wakeTimer();
    pauseGlyph(true);
    // The pause ends once the player reports playing or the bound passes (a
    // medium that cannot play does not keep it); nothing waits meanwhile:
    // the rest runs as a continuation on the UI thread.
    if (player_->playState() == tl::ps_playing) {
      playStarted();
    } else {
      if (!playWait_) {
        playWait_ = new QTimer(this);
        playWait_->setInterval(kPlayWaitPollMs);
        connect(playWait_, &QTimer::timeout, this, [this] {
          if (player_->playState() == tl::ps_playing || monotonicNow() - playWaitStart_ >= kPlayWaitMs) {
            playWait_->stop();
            playStarted();
          }
        });
      }
      playWaitStart_ = monotonicNow();
      playWait_->start();
    }
  }
  spltcol();
  Panel1->setFocus();
}

void Tf_main::playStarted() { L.playpaused = false; }

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
  Timer1->stop();
  player_->play();
  L.playpaused = false;  // a pause of the medium before does not hold the view
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
  recordPending = true;
  timerWanted_ = true;
  Timer1->setInterval(std::max(1, opt.tinterval));
  if (opt.tinterval > 0) Timer1->start();
}
