// MediaPlayer on libmpv.  mpv's events are handled on the Qt thread; the
// picture is rendered by mpv's software renderer into VideoWidget, so widgets
// laid over the video (the subtitle overlay) paint on top of it and the
// player works on any Qt platform, offscreen included.
//
// Play states: 9 while opening, 10 when open and not yet played, 3 playing,
// 2 paused, 1 after stop() (paused at 0, the medium stays open), 8 at the end
// (the last frame stays), 0 with nothing open or after a failed open.
#pragma once

#include "platform/media/mediaplayer.h"
#include "platform/media/positionclock.h"
#include "platform/media/videowidget.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <atomic>
#include <chrono>
#include <optional>

struct mpv_handle;
struct mpv_render_context;
struct mpv_event;

namespace tl {

class MpvPlayer : public QObject, public MediaPlayer {
  Q_OBJECT
 public:
  // nullAudio: no sound output (tests; also when TALLISEN_MPV_NULL=1).
  // Throws MediaError when libmpv cannot be started.
  explicit MpvPlayer(bool nullAudio = false, QObject* parent = nullptr);
  ~MpvPlayer() override;

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
  bool fullScreen() const override;
  void setFullScreen(bool on) override;

  int imageSourceWidth() const override { return width_; }
  int imageSourceHeight() const override { return height_; }
  double duration() const override { return duration_; }
  std::string durationString() const override;

  std::vector<std::string> cdTracks(const std::string& drive) override;
  void playList(const std::vector<std::string>& urls) override;

  void dvdTopMenu() override;
  void dvdTitleMenu() override;

  QWidget* videoWidget() override { return view_; }
  VideoWidget* videoView() const { return view_; }
  std::string lastError() const override { return lastError_; }
  std::string decoderLog() const override { return decoderLog_; }

  // Frames shown in the video widget since the start (tests, diagnostics).
  int framesShown() const { return framesShown_; }

 signals:
  void openStateChanged(int state);
  void playStateChanged(int state);
  void statusChanged();
  void frameShown();

 private:
  void drainEvents();
  void handleEvent(const mpv_event& e);
  void fileLoaded();
  void openFailed(int error);
  void renderFrame(bool force);
  static QImage frameBuffer(QSize size);
  void setOpenState(int s);
  void notifyChanges();
  void load(const std::string& url, bool append);
  void command(std::initializer_list<const char*> args, bool mustWork = true);
  void setFlag(const char* name, bool on);
  double getDouble(const char* name, double fallback) const;
  bool getFlag(const char* name) const;
  bool paused() const;
  bool rawPosition(double& seconds) const;
  void forgetKnown();
  void followClockSteps(bool on);
  void readAtFrame();
  void updateVideoSize();

  mpv_handle* mpv_ = nullptr;
  mpv_render_context* render_ = nullptr;
  QPointer<VideoWidget> view_;
  QImage buffers_[2];
  QImage scratch_;
  int nextBuffer_ = 0;
  bool bgraWorks_ = true;
  int framesShown_ = 0;
  std::atomic<bool> eventsQueued_{false};
  std::atomic<bool> frameQueued_{false};

  std::string url_;
  int openState_ = os_undefined;
  bool opening_ = false;     // loadfile sent, not yet loaded or failed
  bool loaded_ = false;      // a medium is open
  bool played_ = false;      // played since it was opened
  bool stopped_ = false;     // stop() and no play since
  bool eof_ = false;
  std::string lastError_;
  std::string decoderLog_;   // the decoders of the open medium, for the log line
  std::string loadError_;    // first error message of the open under way
  bool failing_ = false;     // the open failed; its reason is being collected
  unsigned openGeneration_ = 0;
  std::optional<double> pendingSeek_;  // asked before the medium was open
  int pendingChapter_ = -1;
  std::optional<double> seekTarget_;   // seek in flight: the position to report
  std::chrono::steady_clock::time_point seekSent_;
  // Values read from mpv, kept until they may have changed.
  struct Known {
    std::optional<bool> paused;
    std::optional<double> speed;
    std::optional<double> position;
    std::chrono::steady_clock::time_point positionAt;
  };
  mutable Known known_;
  mutable PositionClock clock_;
  bool followingSteps_ = false;  // "time-pos" observed: a medium without a picture  // carries a sound-only position between its steps
  bool frameClock_ = false;      // a picture whose frames come often enough to carry its position
  double fps_ = 0;               // its frame rate, 0 while unknown
  int framesSinceRead_ = 0;      // frames rendered since the position was last read at one
  bool cdMode_ = false;

  int width_ = 0, height_ = 0, dwidth_ = 0, dheight_ = 0;
  double duration_ = 0;
  int chapters_ = 0;

  int lastPlayState_ = -1;
  std::string lastStatus_;
};

}  // namespace tl
