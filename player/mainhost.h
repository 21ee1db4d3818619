// MainHost: what every secondary window (the list and its dialogs, the
// filter, the history, the word windows, the waveform) may ask of the main
// window.  The main window implements it once (Tf_main::host()); tests give
// a quiet one.  A window that needs the main window for something else adds
// it here only when it really calls it.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "core/lesson.h"
#include "core/options.h"

class LessonModel;
class QWidget;

class MainHost {
 public:
  virtual ~MainHost() = default;
  virtual LessonModel& model() = 0;
  virtual const tl::Options& options() = 0;
  virtual std::string exedir() = 0;
  // The window that dialogs opened for the host belong to (may be null).
  virtual QWidget* window() = 0;
  // Plays from t as the start of `slot` (0: none); false when it could not.
  // A player failure gets its message here.
  virtual bool posplay(int32_t slot, tl::ttime t) = 0;
  // Shifts the times by delta from slot `from` on (the first slot of a
  // partial shift), whether the player plays or not.
  virtual void adjshiftFrom(int32_t from, tl::ttime delta) = 0;
  // Stretches every time by position / t.
  virtual void adjratio(tl::ttime t) = 0;
  // The player's position (0 when it has none); false after a player
  // failure, which got its message.
  virtual bool positionSeconds(double& seconds) = 0;
  virtual bool mediumOpen() = 0;
  // The letter flags changed: recount the dictation's figures.
  virtual void afterflgchg() = 0;
  // A time of `slot` was typed in: seek-bar range, time column, forced tick.
  virtual void timeEdited(int32_t slot) = 0;
  // The star or the memo of `slot` changed (the main window's star button
  // and memo edit follow when it is the displayed cue).
  virtual void starChanged(int32_t slot) = 0;
  virtual void memoChanged(int32_t slot) = 0;
  // The scene table was cut anew: scene ticks of the bar, status panel 3.
  virtual void scenesChanged() = 0;
  virtual bool srtsav() = 0;
  virtual bool subflgsave() = 0;
  // The progress save (it may ask first); false when nothing was saved.
  virtual bool saveProgress() = 0;
  virtual void logout(const std::string& utf8) = 0;
  // Message boxes in front of `asking` (null: the active window).
  virtual void message(const QString& text, const QString& caption = QString(), QWidget* asking = nullptr) = 0;
  virtual int question(const QString& text, const QString& caption, int buttons, QWidget* asking = nullptr) = 0;
  virtual bool mainTimerEnabled() = 0;
  virtual void setMainTimerEnabled(bool on) = 0;
  virtual void toggleFullScreen() = 0;
};
