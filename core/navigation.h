// Moving playback through the cues: play from a time, replay the displayed
// cue, go on to the next one.  Every jump of the program goes through posplay.
#pragma once

#include <cstdint>
#include <string>

#include "core/lesson.h"
#include "core/options.h"

namespace tl {

class NavView {
 public:
  virtual ~NavView() = default;
  virtual bool isForeground() = 0;
  virtual uint32_t tickCount() = 0;
  // A jump to `t` is about to happen (what follows the time, such as the
  // waveform, starts anew when t lies outside what it holds).
  virtual void jumpComing(ttime t) = 0;
  // Seeks the player to t and plays.
  virtual void seekAndPlay(ttime t) = 0;
  virtual void logout(const std::string& utf8) = 0;
  // The displayed cue changed by a jump (the cursor goes to its first hidden
  // letter, the scene follows).
  virtual void displayedCueChanged() = 0;
};

// start - lead; a lead-in that would start before the medium starts at its
// beginning (0).
ttime leadIn(ttime start, ttime lead);

// Plays from time t as the start belonging to `slot` (0: none).  A negative
// time does nothing (false).
bool posplay(Lesson& L, NavView& v, int32_t slot, ttime t);

// Replay (Up, Backspace): the displayed cue again from backmore ms before its
// start; a second press within a second goes to the cue before.
void beforesub(Lesson& L, const Options& O, NavView& v);

// Next cue (Down).
void nextsub(Lesson& L, const Options& O, NavView& v);

}  // namespace tl
