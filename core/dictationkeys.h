// Decisions of the main window's key-down and key-up handling while dictating
// (Space hold, Backspace replay, the peek key, replay digits 1-9).  The window
// maps its key events to DictKey, calls these, and carries out the command;
// the held-key state lives in the Dictation.
#pragma once

#include <cstdint>

#include "core/dictation.h"

namespace tl {

enum class DictKey {
  Other,
  Space,
  Backspace,
  Peek,   // the peek key (backslash key of Japanese keyboards)
  Digit,  // "1" to "9", main row or keypad; the number goes in digit
};

// What the environment looks like when the key arrives.
struct KeyEnv {
  bool foreground = true;   // the main window is the foreground window
  bool editFocus = false;   // the memo edit has the keyboard focus
};

struct KeyDownCmd {
  enum Kind {
    None,
    HoldSpace,    // Panel1 takes the focus; play/pause happens on release
    Replay,       // beforesub
    PeekOn,       // the peek key went down: hidden letters show (Change::Peek)
    PlayFromCue,  // posplay(slot, time): the displayed cue's start minus n s
    PlayFromPos,  // posplay(0, positionMinus(player position, seconds))
  } kind = None;
  int32_t seconds = 0;
  int32_t slot = 0;
  ttime time = 0;
};

struct KeyUpCmd {
  bool playpause = false;  // call playpause once
  bool peekOff = false;    // the peek key went up: hidden letters hide (Change::Peek)
};

// Key down.  now is the tick count in ms (replaytick / digittick are set).
KeyDownCmd dictKeyDown(Dictation& d, Lesson& L, DictKey key, int32_t digit, const KeyEnv& env, uint32_t now);
// Key up.  A digit held longer than 1000 ms pauses on release.
KeyUpCmd dictKeyUp(Dictation& d, const Lesson& L, DictKey key, const KeyEnv& env, uint32_t now);
// The window lost the focus: held keys count as released.  True when the
// peek key was held (a Change::Peek).
bool dictFocusLost(Dictation& d);

// (position in seconds - n) as a time value, rounded half to even; 0 when
// that lies before the start of the medium.
ttime positionMinus(double positionSeconds, int32_t n);

}  // namespace tl
