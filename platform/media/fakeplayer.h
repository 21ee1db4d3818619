// A scripted MediaPlayer for tests of the windows: nothing happens by itself.
// The test opens media (completeOpen / failOpen), moves time (advance), and
// reads what was asked of the player from log().
//
// Play states follow MpvPlayer: 9 while opening, 10 open and not yet played,
// 3 playing, 2 paused, 1 after stop(), 8 at the end, 0 with nothing open.
#pragma once

#include "platform/media/mediaplayer.h"

#include <QPointer>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tl {

class VideoWidget;

class FakePlayer : public MediaPlayer {
 public:
  FakePlayer();
  ~FakePlayer() override;

  // ---- scripting ----
  // Ends the open under way successfully: open state 13 is raised; a play()
  // asked while opening takes effect now.
  void completeOpen(int width, int height, double duration);
  // Ends the open under way with a failure: open state 1, status = reason.
  void failOpen(const std::string& reason);
  // setURL itself throws MediaError(reason) while set (empty = off).
  void setOpenError(const std::string& reason) { openError_ = reason; }
  // While on, play() first enters "transitioning"; settle() then makes it play.
  void setSlowPlay(bool on) { slowPlay_ = on; }
  void settle();
  // Moves the position by seconds while playing (at rate); reaching the
  // duration ends playback (state 8) there.
  void advance(double seconds);
  // Sets the position directly (any state); not logged.
  void setPosition(double seconds) { position_ = seconds; }
  double position() const { return position_; }
  // While off, currentPosition() gives no position.
  void setPositionAvailable(bool on) { positionAvailable_ = on; }
  // The next call of operation op (as named in the log, e.g. "play",
  // "currentPosition") throws MediaError.
  void failNext(const std::string& op) { failNext_.insert(op); }
  void setChapters(int n) { chapters_ = n; }
  void setCdTracks(std::vector<std::string> urls) { cdTracks_ = std::move(urls); }
  // What decoderLog() says about the open medium.
  void setDecoderLog(std::string text) { decoderLog_ = std::move(text); }
  std::string decoderLog() const override { return decoderLog_; }

  // Calls that change something, in order, e.g. "setURL a.mp4", "play",
  // "setCurrentPosition 12.5", "setRate 1.5", "setVolume 35".
  const std::vector<std::string>& log() const { return log_; }
  void clearLog() { log_.clear(); }
  int chapter() const { return chapter_; }

  // ---- MediaPlayer ----
  void setURL(const std::string& url) override;
  std::string URL() const override { return url_; }
  int playState() const override;
  int openState() const override { return openState_; }
  std::string status() const override;
  void close() override;
  void play() override;
  void pause() override;
  void stop() override;
  bool currentPosition(double& seconds) const override;
  void setCurrentPosition(double seconds) override;
  void next() override;
  void previous() override;
  double rate() const override;
  void setRate(double r) override;
  int volume() const override;
  void setVolume(int v) override;
  bool fullScreen() const override { return fullScreen_; }
  void setFullScreen(bool on) override;
  int imageSourceWidth() const override { return width_; }
  int imageSourceHeight() const override { return height_; }
  double duration() const override { return duration_; }
  std::string durationString() const override;
  std::vector<std::string> cdTracks(const std::string& drive) override;
  void playList(const std::vector<std::string>& urls) override;
  void dvdTopMenu() override;
  void dvdTitleMenu() override;
  // A VideoWidget made on first use, sized to the picture of completeOpen.
  QWidget* videoWidget() override;
  std::string lastError() const override { return lastError_; }

 private:
  void enter(const std::string& op, const std::string& args = {});
  void check(const std::string& op) const;
  int state() const;
  void setOpenState(int s);
  void statusMaybeChanged();

  std::string url_;
  int openState_ = os_undefined;
  bool opening_ = false, loaded_ = false, played_ = false, stopped_ = false;
  bool playing_ = false, transitioning_ = false, ended_ = false, playAsked_ = false;
  bool slowPlay_ = false, positionAvailable_ = true, fullScreen_ = false;
  double position_ = 0, duration_ = 0, rate_ = 1.0;
  int volume_ = 50, width_ = 0, height_ = 0, chapters_ = 0, chapter_ = 0;
  std::optional<double> pendingSeek_;
  std::string openError_, lastError_, lastStatus_;
  std::vector<std::string> cdTracks_;
  std::string decoderLog_;
  std::vector<std::string> log_;
  mutable std::set<std::string> failNext_;
  QPointer<VideoWidget> view_;
};

}  // namespace tl
