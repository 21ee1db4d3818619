#include "core/maintimer.h"

#include <algorithm>
#include <cmath>
#include <exception>

#include "core/timetext.h"

namespace tl {

const char* MainTimer::kFailureMessage =
    "エラーが起きました　字幕表示処理が停止されます お手数ですがTallisenを再起動してください";

ttime secondsToTime(double seconds) {
  // nearbyint rounds to nearest with ties to even in the default rounding mode.
  return (ttime)std::nearbyint(seconds * 10000.0);
}

void binarysearch(Lesson& L, ttime nowpos) {
  const int64_t n = (int64_t)L.subtime.size();
  if (n == 0) return;
  if (nowpos > L.subtime[n - 1]) {
    L.possub = (int32_t)(n - 1);
    return;
  }
  if (nowpos <= L.subtime[0]) return;
  // Invariant: subtime[lo] < nowpos <= subtime[hi].
  int64_t lo = 0, hi = n - 1;
  while (hi - lo > 1) {
    int64_t mid = lo + (hi - lo) / 2;
    if (L.subtime[mid] < nowpos)
      lo = mid;
    else
      hi = mid;
  }
  L.possub = (int32_t)lo;
}

std::string achievementText(int32_t flgrest, int32_t flgtotal) {
  int64_t pct = 100;
  if (flgtotal > 0) pct = 100 - (int64_t)flgrest * 100 / flgtotal;
  return "達成:" + std::to_string(pct) + "%:" + std::to_string((int64_t)flgtotal - flgrest) + "/" +
         std::to_string(flgtotal);
}

std::string hintText(int32_t hintpoint, int32_t hintcost) {
  return "ﾋﾝﾄ:" + std::to_string(hintpoint) + "/" + std::to_string(hintcost);
}

void MainTimer::tick(const TimerInputs& in) {
  if (tmrstop) return;
  if (!in.movopened && !in.dvdmode) return;
  try {
    tickBody(in);
  } catch (const std::exception& e) {
    tmrstop = true;
    V.tickFailed(kFailureMessage);
  } catch (...) {
    tmrstop = true;
    V.tickFailed(kFailureMessage);
  }
}

namespace {
constexpr ttime kEndEarly = 10;     // 1 ms: a shot firing this early counts as at the end
constexpr ttime kHeldSlack = 1000;  // 100 ms: further back than this is a jump, not a hair
}  // namespace

void MainTimer::tickBody(const TimerInputs& in) {
  double sec = 0;
  if (!V.playerPosition(sec)) return;  // no position this tick
  L.nowpos = secondsToTime(sec);
  if (heldPast_ >= 0) {
    if (L.justseeked || L.nowpos >= heldPast_ || L.nowpos < heldPast_ - kHeldSlack)
      heldPast_ = -1;
    else
      L.nowpos = heldPast_;
  }
  const bool playing = V.playerState() == 3;

  if (playing && !in.seekdrag) {
    V.setStatusText(4, sec2str_4(L.nowpos));
    double d = V.playerDuration();
    if (!(d > 0)) d = 9000;
    V.mediumPositionReported(L.nowpos, d);
  }
  V.tickPassed();

  if (!L.srtloaded || L.subcount <= 0) return;
  if ((int64_t)L.subtext.size() < L.subcount || (int64_t)L.subclear.size() < L.subcount) return;
  if ((uint32_t)(V.tickCount() - L.replaytick) < 1000u) return;

  V.setStatusText(1, "ﾘﾋﾟｰﾄ:" + std::to_string(L.repcount));
  V.setStatusText(2, hintText(L.hintpoint, L.hintcost));
  V.setStatusText(6, achievementText(L.flgrest, L.flgtotal));

  if (!playing && !L.forcetick) {
    L.forcetick = false;
    return;
  }
  V.lessonPositionReported(L.nowpos, !in.seekdrag);
  if (L.sublocked || in.ppbtnheld) return;

  L.prevpossub = L.possub;
  binarysearch(L, L.nowpos);
  if (L.possub < 0) L.possub = 0;
  if (L.possub > L.subcount - 1) L.possub = L.subcount - 1;
  if (L.prevpossub < 0 || L.prevpossub > L.subcount - 1) L.prevpossub = L.possub;
  L.incue = (L.possub & 1) == 1;
  const bool emptyText = L.subtext[L.possub].empty();
  const int32_t d = L.possub - L.prevpossub;

  if (O.pausemode && !L.justseeked && L.possub != L.prevpossub && (emptyText || d == 2) &&
      (L.subclear[L.prevpossub] != 1 || !O.notclearpause) && L.possub >= L.startsub) {
    // Only a playing player is paused here: a tick forced while paused must
    // not start playback, and goes on so that the displayed cue follows.
    if (playing) {
      V.playpause();
      return;
    }
  }
  if (L.possub < L.startsub) return;

  int32_t shown = L.possub;
  if (emptyText && !(L.forcetick && L.possub < L.subcount - 2)) {
    if (L.possub > 0 && !seMarkVisible) {
      seMarkVisible = true;
      V.gapReached();
    }
    return;
  }
  // Forced tick in a gap with a cue after it: that cue becomes the displayed
  // one.  possub itself stays on the gap, so that the next tick does not take
  // the gap for a newly entered one and pause at once.
  if (emptyText) shown = L.possub + 1;

  // Compared with the slot found, not the one shown: a forced tick in the
  // gap before the displayed cue starts that cue over too.
  if (L.cursub != L.possub) {
    L.repcount = 1;
    seMarkVisible = false;
    L.cursub = shown;
    L.newcue = true;
    V.newCueDisplayed();
  }
  L.justseeked = false;
  L.forcetick = false;
}

EndShot MainTimer::endShot(const TimerInputs& in, bool playing, double positionSeconds, double rate,
                          int intervalMs) const {
  EndShot none;
  if (tmrstop || (!in.movopened && !in.dvdmode) || !playing || in.seekdrag || in.ppbtnheld) return none;
  if (!O.pausemode || !L.srtloaded || L.sublocked || L.justseeked || heldPast_ >= 0) return none;
  if (!(rate > 0) || intervalMs <= 0 || !std::isfinite(positionSeconds)) return none;
  if ((int64_t)L.subtime.size() < L.subcount || (int64_t)L.subtext.size() < L.subcount ||
      (int64_t)L.subclear.size() < L.subcount)
    return none;
  if ((uint32_t)(V.tickCount() - L.replaytick) < 1000u) return none;
  // The tick pauses when the position leaves the displayed cue c into the
  // gap after it (or straight into the next cue).
  const int32_t c = L.cursub;
  if (c < 1 || !Lesson::isCue(c) || c + 1 >= L.subcount || L.possub != c) return none;
  if (c + 1 < L.startsub) return none;
  if (L.subclear[c] == 1 && O.notclearpause) return none;
  const bool gapNext = L.subtext[c + 1].empty() ||
                       (c + 2 < L.subcount && L.subtime[c + 2] <= L.subtime[c + 1]);
  if (!gapNext) return none;
  const ttime end = L.subtime[c + 1];
  const ttime pos = secondsToTime(positionSeconds);
  const ttime rest = end - pos;
  if (rest <= kEndEarly) {
    if (rest < -kHeldSlack) return none;  // far past: not this cue's end any more
    return {EndShot::Pause, 0, end};
  }
  const double ms = (double)rest / 10.0 / rate;
  if (ms > (double)intervalMs) return none;
  return {EndShot::Arm, std::max(1, (int)std::ceil(ms)), end};
}

void MainTimer::pauseAtEnd(const TimerInputs& in, ttime end) {
  heldPast_ = end + 1;
  tick(in);
}

}  // namespace tl
