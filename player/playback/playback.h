// PlaybackController: the rules of playback, apart from any window.  It holds
// the media player and the lesson model, runs the main timer (the poll, the
// precise pause at a cue's end, the rest while paused), plays from a time,
// toggles play and pause, follows the medium's open state and the seek bars'
// drags.  What the user sees it announces by signals; the main window shows
// them and forwards the user's input here.
//
// Threads: the UI thread only; the wait of playpause for the playing state
// is a continuation on a timer, never a nested event loop.
#pragma once

#include <QObject>
#include <QString>
#include <cstdint>
#include <functional>
#include <string>

#include "core/lesson.h"
#include "core/maintimer.h"
#include "core/navigation.h"

class QTimer;
class LessonModel;

namespace tl {
class MediaPlayer;
}

class PlaybackController : public QObject, private tl::TimerView, private tl::NavView {
  Q_OBJECT
 public:
  PlaybackController(LessonModel& model, tl::MediaPlayer& player, std::function<uint32_t()> tickCount,
                     QObject* parent = nullptr);
  ~PlaybackController() override;

  // Whether the main window is in the foreground (the keys' and the
  // replay's guards); by default it is.
  std::function<bool()> foreground;

  // ---- the main timer -------------------------------------------------------
  QTimer* timer() const { return Timer1; }
  // One tick of the poll (also called directly).
  void tick();
  // One tick that does the cue work also while paused (after a seek or a
  // timing change).
  void forcedTick();
  // The one tick a resting timer needs (after typing: the status panels).
  void tickIfResting();
  // The poll from now on (a load, the first play) or no more (a load
  // starting, closing); a dialog may hold it meanwhile.
  void startPolling();
  void stopPolling();
  bool timerEnabled() const;
  void setTimerEnabled(bool on);
  // The interval or the on/off of the settings changed.
  void intervalChanged();
  bool seMarkVisible() const { return maintimer_.seMarkVisible; }
  void clearSeMark() { maintimer_.seMarkVisible = false; }

  // ---- playing ----------------------------------------------------------------
  // Plays from time t; slot names the cue the jump aims at (0: none).
  bool posplay(int32_t slot, tl::ttime t);
  void playpause() override;
  // Replay of the displayed cue (Up, Backspace) and the next cue (Down).
  void beforesub();
  void nextsub();
  // The first play of a newly opened medium; the recorder starts once the
  // player gives a real position (recordingDue).
  void firstPlay();
  void armRecording() { recordPending_ = true; }

  // ---- the medium -------------------------------------------------------------
  bool movopened() const { return movopened_; }
  bool dvdmode() const { return dvdmode_; }
  bool mediumOpen() const { return movopened_ || dvdmode_; }
  void setMedium(bool movie, bool dvd) {
    movopened_ = movie;
    dvdmode_ = dvd;
  }
  // Before another medium opens: the position state of the one before goes.
  void clearMedium();
  // The player's open state changed; true when the medium is open now (the
  // window then fits itself to the picture).  A medium that could not be
  // opened is closed here and announced by openFailed.
  bool openStateChanged(int state);

  // ---- the seek bars ------------------------------------------------------------
  bool seekdrag() const { return seekdrag_; }
  void setSeekDrag(bool on) { seekdrag_ = on; }
  // The movie bar (0..maximum) over the whole medium, the subtitle bar in
  // whole seconds of the lesson.
  static int movieBarValue(int maximum, tl::ttime nowpos, double durationSeconds);
  static int pointBarValue(tl::ttime nowpos) { return (int)(nowpos / 10000); }
  // The time at a ratio (0..1) of the movie bar.
  tl::ttime movieBarTime(double ratio) const;
  // The drags: pressing starts one, moving shows the time aimed at, and
  // releasing gives the time to seek to (false: no seek).
  void movieBarPressed();
  void movieBarMoved(double ratio);
  bool movieBarReleased(double ratio, tl::ttime& t);
  void pointBarPressed() { seekdrag_ = true; }
  void pointBarMoved(int seconds);
  bool pointBarReleased(int seconds, tl::ttime& t);
  // Plays from t; the displayed cue follows the new position also while paused.
  void seekTo(tl::ttime t);

 signals:
  void statusText(int panel, const std::string& utf8);
  void logLine(const std::string& utf8);
  // A toggle of playpause: the play button's face and the panels' colour.
  void toggled(bool playing);
  // A jump started playing at its new position.
  void jumped();
  void jumpAhead(tl::ttime t);  // a jump to t is about to happen
  // The positions that the bars and the focus bar follow.
  void mediumPosition(tl::ttime nowpos, double durationSeconds);
  void lessonPosition(tl::ttime nowpos, bool follow);
  void ticked();     // every tick, within it (what follows the time)
  void tickDone();   // after each tick's work
  void gapEntered();
  // A new cue became the displayed one: by the timer, by a jump.
  void cueReached();
  void cueJumpedTo();
  void failed(const QString& text);      // a tick failed; the timer is latched off
  void openFailed(const QString& text);  // the medium could not be opened
  void recordingDue();

 private:
  // TimerView / NavView
  bool playerPosition(double& seconds) override;
  int playerState() override;
  double playerDuration() override;
  uint32_t tickCount() override;
  void setStatusText(int panel, const std::string& utf8) override { emit statusText(panel, utf8); }
  void mediumPositionReported(tl::ttime nowpos, double durationSeconds) override {
    emit mediumPosition(nowpos, durationSeconds);
  }
  void tickPassed() override { emit ticked(); }
  void lessonPositionReported(tl::ttime nowpos, bool follow) override { emit lessonPosition(nowpos, follow); }
  void gapReached() override { emit gapEntered(); }
  void newCueDisplayed() override { emit cueReached(); }
  void displayedCueChanged() override { emit cueJumpedTo(); }
  void jumpComing(tl::ttime t) override { emit jumpAhead(t); }
  void tickFailed(const std::string& utf8Message) override { emit failed(QString::fromStdString(utf8Message)); }
  bool isForeground() override { return !foreground || foreground(); }
  void seekAndPlay(tl::ttime t) override;
  void logout(const std::string& utf8) override { emit logLine(utf8); }

  void restIfIdle();
  void wake();
  tl::TimerInputs inputs() const;
  void followCueEnd();

  LessonModel& model_;
  tl::Lesson& L;
  tl::MediaPlayer& player_;
  std::function<uint32_t()> tickCount_;
  tl::MainTimer maintimer_;
  QTimer* Timer1 = nullptr;
  QTimer* endShot_ = nullptr;   // the precise pause at the displayed cue's end
  QTimer* playWait_ = nullptr;  // the bounded wait of playpause for the playing state
  qint64 playWaitStart_ = 0;
  bool movopened_ = false;
  bool dvdmode_ = false;
  bool seekdrag_ = false;
  bool recordPending_ = false;
  bool restTick_ = false;     // inside tickIfResting
  bool timerWanted_ = false;  // the poll was started (load, first play) and not deliberately stopped
  tl::ttime movieSeekTarget_ = 0;
};
