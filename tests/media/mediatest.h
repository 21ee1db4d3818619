// Helpers of the media tests (and of the auto-pause benchmark): waiting on
// the event loop, the test clip, the main timer's view of a real player.
#pragma once

#include <QElapsedTimer>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/maintimer.h"
#include "platform/media/mediaplayer.h"

namespace tl::test {

// Runs the event loop until pred() holds or timeoutMs passed; returns pred().
bool waitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs the event loop for ms milliseconds.
void spin(int ms);

// Encodes `seconds` of a test picture (320x240, 25 fps) with a 440 Hz sine
// into `path` with libmpv's encoder, using the given encoder options (o is
// set from path).  Returns 0, or mpv's error (-1 when mpv could not start).
int encodeTestClip(const std::string& path,
                   const std::vector<std::pair<const char*, const char*>>& encoderOptions, int seconds);

// A 5 s clip (320x240, 25 fps, mpeg4 video, 440 Hz aac sound) made once per
// test program with libmpv's encoder in a temporary folder.
const std::string& clipPath();

// The main timer's view of a real player: the position and the state come
// from it, playpause toggles it and keeps where each pause was asked, the
// rest is silent.  A failed tick goes to onFailure.
struct PlayerTimerView : TimerView {
  explicit PlayerTimerView(MediaPlayer& p) : player(p) { clock.start(); }
  MediaPlayer& player;
  QElapsedTimer clock;
  std::vector<double> pausedAt;
  std::function<void(const std::string&)> onFailure;

  bool playerPosition(double& s) override { return player.currentPosition(s); }
  int playerState() override { return player.playState(); }
  double playerDuration() override { return player.duration(); }
  uint32_t tickCount() override { return (uint32_t)clock.elapsed() + 100000; }
  void setStatusText(int, const std::string&) override {}
  void mediumPositionReported(ttime, double) override {}
  void tickPassed() override {}
  void lessonPositionReported(ttime, bool) override {}
  void playpause() override;
  void gapReached() override {}
  void newCueDisplayed() override {}
  void tickFailed(const std::string& m) override {
    if (onFailure) onFailure(m);
  }
};

}  // namespace tl::test
