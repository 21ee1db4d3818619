#include "core/dictationkeys.h"

#include <cmath>

namespace tl {

ttime positionMinus(double positionSeconds, int32_t n) {
  const ttime t = (ttime)std::nearbyint((positionSeconds - n) * 10000.0);
  return t < 0 ? 0 : t;
}

KeyDownCmd dictKeyDown(Dictation& d, Lesson& L, DictKey key, int32_t digit, const KeyEnv& env, uint32_t now) {
  KeyDownCmd c;
  if (!L.srtloaded || !env.foreground || d.ppbtnheld || d.peekkey) return c;
  switch (key) {
    case DictKey::Space:
      if (env.editFocus) break;
      d.ppbtnheld = true;
      c.kind = KeyDownCmd::HoldSpace;
      break;
    case DictKey::Backspace:
      if (!env.editFocus) c.kind = KeyDownCmd::Replay;
      break;
    case DictKey::Peek:
      d.peekkey = true;
      c.kind = KeyDownCmd::PeekOn;
      break;
    case DictKey::Digit:
      if (digit < 1 || digit > 9) break;
      d.ppbtnheld = true;
      d.digittick = now;
      c.seconds = digit;
      if (digit <= 6) {
        L.replaytick = now;
        c.kind = KeyDownCmd::PlayFromCue;
        c.slot = L.cursub;
        const ttime start = (L.cursub >= 0 && L.cursub < (int32_t)L.subtime.size()) ? L.subtime[L.cursub] : 0;
        c.time = start - (ttime)digit * 10000;
      } else {
        c.kind = KeyDownCmd::PlayFromPos;
        c.slot = 0;
      }
      break;
    case DictKey::Other:
      break;
  }
  return c;
}

KeyUpCmd dictKeyUp(Dictation& d, const Lesson& L, DictKey key, const KeyEnv& env, uint32_t now) {
  KeyUpCmd c;
  if (!L.srtloaded || !env.foreground) return c;
  d.ppbtnheld = false;
  if (key == DictKey::Digit) {
    if (now - d.digittick > 1000u) c.playpause = true;
  } else if (key == DictKey::Peek) {
    d.peekkey = false;
    c.peekOff = true;
  } else if (key == DictKey::Space && !env.editFocus) {
    c.playpause = true;
  }
  return c;
}

bool dictFocusLost(Dictation& d) {
  const bool peek = d.peekkey;
  d.ppbtnheld = false;
  d.peekkey = false;
  return peek;
}

}  // namespace tl
