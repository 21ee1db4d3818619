// The playing position between two reports of the player's clock.
//
// On a medium without a picture, mpv moves its position in steps, once for
// each refill of the sound output's buffer: every 50 to 120 ms, and between
// two steps the value stands still.  A pause asked for at a cue's end would
// then land up to one step late, in the next sentence.  PositionClock carries
// the position on by the wall clock from the freshest step seen, at the
// playback rate, and never further than a step could be (kCarry) ahead of
// the value read: when playback stalls (a stream buffering), the estimate
// stops there and starts again from the next readings.
//
// Each reading gives an offset, position - rate * wall time.  A reading taken
// just after a step gives the true offset; a later one a smaller one, as the
// value stood still meanwhile.  So the largest offset seen since playback
// (re)started is the best one.  The reading at the start itself does not
// count: the sound may start well after the play command (a sound server can
// take a second to open), so the clock waits for the first step.
#pragma once

namespace tl {

class PositionClock {
 public:
  static constexpr double kCarry = 0.2;  // seconds

  // raw: the player's position; wall: a steady clock in seconds; running:
  // playing (not paused, not seeking, not at the end).  Gives the position.
  double read(double raw, double wall, double rate, bool running);

  // Playback (re)starts from wherever the next reading is: after a seek, a
  // pause, a rate change or a new medium.
  void restart() { state_ = State::Idle; }

  // A step has been seen since playback (re)started: later readings only
  // refine the clock.
  bool carrying() const { return state_ == State::Carrying; }

 private:
  enum class State { Idle, Waiting, Carrying };
  State state_ = State::Idle;
  double first_ = 0;   // the value read when playback started
  double rate_ = 1;
  double offset_ = 0;  // best position - rate * wall
  double lastRaw_ = 0;
};

}  // namespace tl
