#include "player/playback/playback.h"

#include <QElapsedTimer>
#include <QTimer>
#include <cmath>

#include "core/settings.h"
#include "core/timetext.h"
#include "platform/media/mediaplayer.h"
#include "platform/media/openfailure.h"
#include "player/lessonmodel.h"

namespace {
constexpr int kPlayWaitMs = 300;  // bound of the wait for the playing state
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

PlaybackController::PlaybackController(LessonModel& model, tl::MediaPlayer& player,
                                       std::function<uint32_t()> tickCount, QObject* parent)
    : QObject(parent),
      model_(model),
      L(model.lesson()),
      player_(player),
      tickCount_(std::move(tickCount)),
      maintimer_(L, model.options(), static_cast<tl::TimerView&>(*this)) {
  Timer1 = new QTimer(this);
  Timer1->setInterval(50);
  connect(Timer1, &QTimer::timeout, this, &PlaybackController::tick);
}

PlaybackController::~PlaybackController() = default;

bool PlaybackController::playerPosition(double& seconds) { return player_.currentPosition(seconds); }
int PlaybackController::playerState() { return player_.playState(); }
double PlaybackController::playerDuration() { return player_.duration(); }
uint32_t PlaybackController::tickCount() { return tickCount_(); }

// ---- the main timer -----------------------------------------------------------

void PlaybackController::tick() {
  // Recording starts once the player gives a real position, so that the
  // first buffers are not refused for the position 0 of a medium still opening.
  if (recordPending_) {
    double p = 0;
    if (player_.currentPosition(p) && p > 0) {
      recordPending_ = false;
      emit recordingDue();
    }
  }
  maintimer_.tick(inputs());
  followCueEnd();
  emit tickDone();
  restIfIdle();
}

// A paused player needs no poll: the timer rests until playback starts or a
// tick is asked for.  A medium still opening, buffering or seeking, a
// pending recording start, a forced tick or a replay's quiet second keeps it.
void PlaybackController::restIfIdle() {
  if (!Timer1->isActive()) return;
  if (recordPending_ || L.forcetick || (playWait_ && playWait_->isActive())) return;
  const int s = player_.playState();
  if (s != tl::ps_paused && s != tl::ps_stopped && s != tl::ps_ended) return;
  if ((uint32_t)(tickCount() - L.replaytick) < 1000u) return;
  Timer1->stop();
}

void PlaybackController::wake() {
  const int interval = model_.options().tinterval;
  if (timerWanted_ && tl::timerTicks(interval) && !Timer1->isActive()) Timer1->start(interval);
}

void PlaybackController::tickIfResting() {
  if (Timer1->isActive() || !timerWanted_ || restTick_) return;
  restTick_ = true;
  tick();
  restTick_ = false;
}

void PlaybackController::forcedTick() {
  L.forcetick = true;
  tick();
  if (L.forcetick) wake();  // the tick could not take it yet
}

void PlaybackController::startPolling() {
  const int interval = model_.options().tinterval;
  timerWanted_ = true;
  Timer1->setInterval(std::max(1, interval));
  if (interval > 0) Timer1->start();
}

void PlaybackController::stopPolling() {
  timerWanted_ = false;
  Timer1->stop();
}

bool PlaybackController::timerEnabled() const { return Timer1->isActive(); }

void PlaybackController::setTimerEnabled(bool on) {
  if (on && model_.options().tinterval > 0)
    Timer1->start();
  else if (!on)
    Timer1->stop();
}

void PlaybackController::intervalChanged() {
  const int interval = model_.options().tinterval;
  if (tl::timerRunsAfterSettings(interval, timerWanted_))
    Timer1->start(interval);
  else
    Timer1->stop();
}

tl::TimerInputs PlaybackController::inputs() const {
  tl::TimerInputs in;
  in.movopened = movopened_;
  in.dvdmode = dvdmode_;
  in.seekdrag = seekdrag_;
  in.ppbtnheld = model_.dictation().ppbtnheld;
  return in;
}

// The poll comes every interval; when the displayed cue ends before the next
// one, a precise one-shot timer pauses there.  When it fires the position is
// read again: a seek or a rate change in between gives a new answer.
void PlaybackController::followCueEnd() {
  if (!Timer1->isActive()) {
    if (endShot_) endShot_->stop();
    return;
  }
  double pos = 0;
  if (!player_.currentPosition(pos)) return;
  const tl::TimerInputs in = inputs();
  const tl::EndShot s = maintimer_.endShot(in, player_.playState() == tl::ps_playing, pos, player_.rate(),
                                           Timer1->interval());
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

// ---- playing ----------------------------------------------------------------------

bool PlaybackController::posplay(int32_t slot, tl::ttime t) {
  return tl::posplay(L, static_cast<tl::NavView&>(*this), slot, t);
}

void PlaybackController::beforesub() { tl::beforesub(L, model_.options(), static_cast<tl::NavView&>(*this)); }
void PlaybackController::nextsub() { tl::nextsub(L, model_.options(), static_cast<tl::NavView&>(*this)); }

void PlaybackController::seekAndPlay(tl::ttime t) {
  player_.setCurrentPosition((double)t / 10000.0);
  player_.play();
  wake();
  maintimer_.seMarkVisible = false;
  emit jumped();
}

void PlaybackController::playpause() {
  if (playWait_) playWait_->stop();  // a new toggle ends an earlier wait
  if (player_.playState() == tl::ps_playing) {
    L.playpaused = true;
    player_.pause();
    if (L.validSlot(L.cursub)) L.adjfrom = L.cursub;
    emit toggled(false);
    return;
  }
  player_.play();
  wake();
  // The pause ends once the player reports playing or the bound passes (a
  // medium that cannot play does not keep it); nothing waits meanwhile:
  // the rest runs as a continuation on the UI thread.
  if (player_.playState() == tl::ps_playing) {
    L.playpaused = false;
  } else {
    if (!playWait_) {
      playWait_ = new QTimer(this);
      playWait_->setInterval(kPlayWaitPollMs);
      connect(playWait_, &QTimer::timeout, this, [this] {
        if (player_.playState() == tl::ps_playing || monotonicNow() - playWaitStart_ >= kPlayWaitMs) {
          playWait_->stop();
          L.playpaused = false;
        }
      });
    }
    playWaitStart_ = monotonicNow();
    playWait_->start();
  }
  emit toggled(true);
}

void PlaybackController::firstPlay() {
  Timer1->stop();
  player_.play();
  L.playpaused = false;  // a pause of the medium before does not hold the view
}

// ---- the medium -------------------------------------------------------------------

void PlaybackController::clearMedium() {
  stopPolling();
  if (playWait_) playWait_->stop();
  recordPending_ = false;
  L.cursub = 0;
  L.possub = 0;
  L.startsub = 0;
  L.prevpossub = 0;
  L.nowpos = 0;
  L.justseeked = false;
  L.newcue = false;
  L.replaytick = 0;
  L.curscene = -1;
  maintimer_.seMarkVisible = false;
}

bool PlaybackController::openStateChanged(int state) {
  if (state == tl::os_closed && mediumOpen()) {
    // A medium that could not be opened (a drive's disc counts too).
    const std::string why = player_.lastError();
    if (why.empty()) return false;
    stopPolling();
    recordPending_ = false;
    movopened_ = false;
    dvdmode_ = false;
    emit openFailed(QString::fromStdString(tl::media::openFailureText(why)) + QStringLiteral("\n") +
                    QString::fromStdString(player_.URL()));
    return false;
  }
  return state == tl::os_mediaopen;
}

// ---- the seek bars ------------------------------------------------------------------

int PlaybackController::movieBarValue(int maximum, tl::ttime nowpos, double durationSeconds) {
  return (int)std::trunc((double)maximum * (double)nowpos / durationSeconds / 10000.0);
}

tl::ttime PlaybackController::movieBarTime(double ratio) const {
  double d = player_.duration();
  if (!(d > 0)) d = 9000;
  return (tl::ttime)std::nearbyint(d * ratio * 10000.0);
}

void PlaybackController::movieBarPressed() {
  if (mediumOpen()) seekdrag_ = true;
}

void PlaybackController::movieBarMoved(double ratio) {
  if (!seekdrag_ || !mediumOpen()) return;
  movieSeekTarget_ = movieBarTime(ratio);
  emit statusText(4, tl::sec2str_0(movieSeekTarget_));
}

bool PlaybackController::movieBarReleased(double ratio, tl::ttime& t) {
  if (!seekdrag_) return false;
  seekdrag_ = false;
  if (!mediumOpen()) return false;
  // A click without a drag seeks to where the bar now stands.
  t = movieSeekTarget_ = movieBarTime(ratio);
  return true;
}

void PlaybackController::pointBarMoved(int seconds) {
  if (L.srtloaded && seekdrag_) emit statusText(4, tl::sec2str_0((tl::ttime)seconds * 10000));
}

bool PlaybackController::pointBarReleased(int seconds, tl::ttime& t) {
  if (!seekdrag_) return false;
  seekdrag_ = false;
  if (!L.srtloaded || !mediumOpen()) return false;
  t = (tl::ttime)seconds * 10000;
  return true;
}

void PlaybackController::seekTo(tl::ttime t) {
  posplay(0, t);
  if (L.cursub > 0) forcedTick();
}
