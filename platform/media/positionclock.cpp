#include "platform/media/positionclock.h"

#include <algorithm>
#include <cmath>

namespace tl {

double PositionClock::read(double raw, double wall, double rate, bool running) {
  if (!running || !(rate > 0) || !std::isfinite(raw) || !std::isfinite(wall)) {
    state_ = State::Idle;
    return raw;
  }
  if (state_ == State::Idle || rate != rate_) {
    state_ = State::Waiting;
    first_ = raw;
    rate_ = rate;
    lastRaw_ = raw;
    return raw;
  }
  if (state_ == State::Waiting) {
    if (raw == first_) return raw;
    state_ = State::Carrying;
    offset_ = raw - rate * wall;
    lastRaw_ = raw;
    return raw;
  }
  const double offset = raw - rate * wall;
  const double estimate = offset_ + rate * wall;
  if (raw < lastRaw_ || estimate > raw + kCarry * rate) {
    // The position went back (the player jumped on its own) or stood still
    // for longer than any step (a stall): wait for the next step.
    state_ = State::Waiting;
    first_ = raw;
    lastRaw_ = raw;
    return raw;
  }
  offset_ = std::max(offset_, offset);
  lastRaw_ = raw;
  return std::max(raw, offset_ + rate * wall);
}

}  // namespace tl
