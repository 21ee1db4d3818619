// Tf_main: the main timer, play/pause and the jumps' window side.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QStyle>
#include <QThread>
#include <QToolButton>

#include "platform/media/mediaplayer.h"
#include "player/Extrkbar.h"
#include "player/main.h"
#include "player/subpanels.h"

void Tf_main::Timer1Timer() {
  // Recording starts once the player gives a real position, so that the
  // first buffers are not refused for the position 0 of a medium still opening.
  if (recordPending) {
    double p = 0;
    if (player_->currentPosition(p) && p > 0) {
      recordPending = false;
      startRecording();
    }
  }
  tl::TimerInputs in;
  in.movopened = movopened;
  in.dvdmode = dvdmode;
  in.seekdrag = seekdrag;
  in.ppbtnheld = dict.ppbtnheld;
  maintimer_.tick(in);
}

bool Tf_main::playerPosition(double& seconds) { return player_->currentPosition(seconds); }
int Tf_main::playerState() { return player_->playState(); }
double Tf_main::playerDuration() { return player_->duration(); }
uint32_t Tf_main::tickCount() { return deps_.tickCount(); }
int Tf_main::movieBarMax() { return tb_movie->maximum(); }
void Tf_main::setMovieBarPos(int pos) { tb_movie->setValue(pos); }
void Tf_main::setPointBarPos(int pos) { tb_point->setValue(pos); }

void Tf_main::gapReached() {
  onGapReached();
  i_se->move(subPanel ? subPanel->seMarkPos(Splitter2->x())
                     : QPoint(std::max(0, p_subs->width() - i_se->width() - 4), 4));
  i_se->show();
  i_se->raise();
}

void Tf_main::newCueDisplayed() {
  i_se->hide();
  csrset(0);
  Sceneposset();
  subs_invalidate();
  sm_ref();
}

void Tf_main::tickFailed(const std::string& utf8Message) {
  message(QString::fromStdString(utf8Message));
}

bool Tf_main::isForeground() {
  return forceForeground || isActiveWindow();
}

void Tf_main::seekAndPlay(tl::ttime t) {
  player_->setCurrentPosition((double)t / 10000.0);
  player_->play();
  sb_playpause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  spltcol();
  Panel1->setFocus();
  i_se->hide();
  maintimer_.seMarkVisible = false;
}

void Tf_main::displayedCueChanged() {
  Sceneposset();
  csrset(0);
  subs_invalidate();
  sm_ref();
}

void Tf_main::playpause() {
  if (player_->playState() == tl::ps_playing) {
    L.playpaused = true;
    player_->pause();
    sb_playpause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
    if (L.validSlot(L.cursub)) L.adjfrom = L.cursub;
  } else {
    player_->play();
    sb_playpause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
    // Wait a short, bounded time for the player to report playing, letting
    // events run meanwhile; a medium that cannot play does not hang us.
    QElapsedTimer t;
    t.start();
    while (player_->playState() != tl::ps_playing && t.elapsed() < 300) {
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 1);
      QThread::msleep(1);
    }
    L.playpaused = false;
  }
  spltcol();
  Panel1->setFocus();
}

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
  Sceneposset();
  sb_playpause->setIcon(style()->standardIcon(QStyle::SP_MediaPause));
  spltcol();
  tb_movie->setValue(0);
  if (L.resumesub != 0 && L.validSlot(L.resumesub)) {
    if (question(QStringLiteral("前回再生位置が保存されています。レジュームしますか？"),
                 QStringLiteral("レジューム"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
      player_->setCurrentPosition((double)L.subtime[L.resumesub] / 10000.0);
  }
  repaintOverlay();
  recordPending = true;
  Timer1->setInterval(std::max(1, opt.tinterval));
  if (opt.tinterval > 0) Timer1->start();
}
