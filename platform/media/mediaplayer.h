// The media player layer: the operations the player asks of its media
// control.  MpvPlayer (libmpv, video rendered by us into videoWidget()) is the
// real backend; FakePlayer is a scripted one for tests.
//
// Positions are seconds.  Failures of operations that the caller must notice
// throw MediaError.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

class QWidget;

namespace tl {

struct MediaError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Play states, numbered as the callers expect them.
enum PlayState : int {
  ps_undefined = 0, ps_stopped = 1, ps_paused = 2, ps_playing = 3,
  ps_forward = 4, ps_backward = 5, ps_buffering = 6, ps_waiting = 7,
  ps_ended = 8, ps_transitioning = 9, ps_ready = 10, ps_reconnecting = 11,
};
// Open states; only os_mediaopen is acted upon.
enum OpenState : int { os_undefined = 0, os_closed = 1, os_openingunknown = 8, os_mediaopen = 13 };

class MediaPlayer {
 public:
  virtual ~MediaPlayer() = default;

  // The medium: a file path, a URL, "wmpdvd://" + drive, or "cdda://".
  virtual void setURL(const std::string& url) = 0;
  virtual std::string URL() const = 0;
  virtual int playState() const = 0;
  virtual int openState() const = 0;
  virtual std::string status() const = 0;
  virtual void close() = 0;

  virtual void play() = 0;
  virtual void pause() = 0;
  // Pauses and seeks to 0; the medium stays loaded.
  virtual void stop() = 0;
  // False while no position can be given yet (nothing open, still opening).
  virtual bool currentPosition(double& seconds) const = 0;
  virtual void setCurrentPosition(double seconds) = 0;
  virtual void next() = 0;      // next chapter / track
  virtual void previous() = 0;  // previous chapter / track

  virtual double rate() const = 0;
  virtual void setRate(double r) = 0;
  virtual int volume() const = 0;
  virtual void setVolume(int v) = 0;
  virtual bool fullScreen() const = 0;
  virtual void setFullScreen(bool on) = 0;

  virtual int imageSourceWidth() const = 0;
  virtual int imageSourceHeight() const = 0;
  virtual double duration() const = 0;  // 0 when unknown
  virtual std::string durationString() const = 0;

  // Audio CD: the tracks of a drive's disc as URLs, and playing a list of them.
  virtual std::vector<std::string> cdTracks(const std::string& drive) = 0;
  virtual void playList(const std::vector<std::string>& urls) = 0;

  // DVD menus; throw MediaError where the backend cannot show them.
  virtual void dvdTopMenu() = 0;
  virtual void dvdTitleMenu() = 0;

  // The widget the video is drawn into (the overlay is painted over it);
  // may be nullptr for backends without a picture.
  virtual QWidget* videoWidget() = 0;

  // Why the last open failed (empty when it did not).
  virtual std::string lastError() const { return {}; }
  // The log line naming the decoders of the open medium (empty when unknown).
  virtual std::string decoderLog() const { return {}; }

  // Events, raised on the user-interface thread.
  std::function<void(int newState)> onOpenStateChange;
  std::function<void()> onStatusChange;
  std::function<void(int button, int shiftState, int x, int y)> onClick;
};

}  // namespace tl
