// The main timer's tick: follows the playing position, finds the slot under
// it, pauses when playback leaves a cue and makes a newly reached cue the
// displayed one.  The playback controller (player/playback/) implements
// TimerView and calls tick() on every timer event (and once more after
// setting forcetick).
#pragma once

#include <cstdint>
#include <string>

#include "core/lesson.h"
#include "core/options.h"

namespace tl {

// What the tick asks of and tells the window.
class TimerView {
 public:
  virtual ~TimerView() = default;
  // Player position in seconds; false when the player cannot give one yet
  // (the medium is still opening): that tick then does nothing more.
  virtual bool playerPosition(double& seconds) = 0;
  virtual int playerState() = 0;      // 3 = playing
  virtual double playerDuration() = 0;  // seconds, 0 when unknown
  virtual uint32_t tickCount() = 0;   // milliseconds
  virtual void setStatusText(int panel, const std::string& utf8) = 0;
  // While playing: the playing position against the medium's duration
  // (seconds; 9000 when unknown).
  virtual void mediumPositionReported(ttime nowpos, double durationSeconds) = 0;
  // Every tick: time went on (what follows the time, such as the waveform,
  // refreshes).
  virtual void tickPassed() = 0;
  // While playing (or on a forced tick) with subtitles loaded: the position
  // within the lesson; `follow` is false while the learner drags the
  // position by hand.
  virtual void lessonPositionReported(ttime nowpos, bool follow) = 0;
  virtual void playpause() = 0;
  // Playback entered the gap after the displayed cue for the first time
  // (the end of the sentence was reached).
  virtual void gapReached() = 0;
  // A new cue became the displayed one (cursub already set): the cursor goes
  // to its first hidden letter and the scene follows.
  virtual void newCueDisplayed() = 0;
  // Something failed inside a tick; the timer is latched off.
  virtual void tickFailed(const std::string& utf8Message) = 0;
};

// The flags the window keeps about playback that the tick reads.
struct TimerInputs {
  bool movopened = false;
  bool dvdmode = false;
  bool seekdrag = false;
  bool ppbtnheld = false;
};

// What the window does about the end of the cue playing, asked after every
// tick and again when a precise one-shot timer fires.  The poll alone pauses
// up to one interval late; when the end comes before the next poll, the
// window arms a one-shot timer for the rest, and when it fires asks again
// (a seek or a rate change in between gives a new answer).
struct EndShot {
  enum Kind { None, Arm, Pause } kind = None;
  int delayMs = 0;  // Arm: wall-clock milliseconds to the end at the playback rate
  ttime end = 0;    // Arm, Pause: the end of the cue playing
};

class MainTimer {
 public:
  MainTimer(Lesson& lesson, const Options& options, TimerView& view)
      : L(lesson), O(options), V(view) {}

  void tick(const TimerInputs& in);

  // The end of the displayed cue when the tick would pause there and it comes
  // within intervalMs (at the rate): Arm with the delay, or Pause when the
  // position (seconds) is at the end already (1 ms early counts).  None
  // otherwise: the poll handles it.
  EndShot endShot(const TimerInputs& in, bool playing, double positionSeconds, double rate,
                  int intervalMs) const;
  // The tick at the end of the cue: the position counts as just past `end`
  // until the player's own position passes it (so that the pause happens
  // once, also when the player stopped a hair before the end).
  void pauseAtEnd(const TimerInputs& in, ttime end);

  bool tmrstop = false;     // latch: once set every tick returns at once
  bool seMarkVisible = false;  // end-of-sentence mark shown (the gap was reached)

  static const char* kFailureMessage;

 private:
  void tickBody(const TimerInputs& in);
  ttime heldPast_ = -1;  // pauseAtEnd: the position counts as at least this
  Lesson& L;
  const Options& O;
  TimerView& V;
};

// Position in seconds as a time value: x 10000, rounded to nearest, ties to even.
ttime secondsToTime(double seconds);

// Sets L.possub to the slot under `nowpos` (subtime[i] < nowpos <= subtime[i+1];
// after the last entry: the last slot; at or before subtime[0]: unchanged).
// Reads no entry outside subtime.
void binarysearch(Lesson& L, ttime nowpos);

// The achievement text of status panel 6.  A file without any hideable letter
// shows as complete.
std::string achievementText(int32_t flgrest, int32_t flgtotal);
// The hint credits of status panel 2.
std::string hintText(int32_t hintpoint, int32_t hintcost);

}  // namespace tl
