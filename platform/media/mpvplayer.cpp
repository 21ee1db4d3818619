#include "platform/media/mpvplayer.h"

#include "platform/media/decoderchoice.h"
#include "platform/media/mediaurl.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QMetaObject>
#include <QTimer>
#include <algorithm>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace tl {

namespace {

// Seconds as mpv reads them, independent of the locale.
std::string secondsText(double s) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, s, std::chars_format::fixed, 6);
  return std::string(buf, r.ptr);
}

// A seek whose completion never arrives (the stream refused it) stops being
// reported after this long.
constexpr auto kSeekReportLimit = std::chrono::seconds(3);

const char* const kObserved[] = {"pause",  "speed",   "eof-reached", "duration", "width",
                                 "height", "dwidth", "dheight",     "chapters"};

// The reply id of "time-pos", observed while a medium without a picture is open.
constexpr uint64_t kClockSteps = 1;

// How long a position read stays good for another request.
constexpr auto kPositionReuse = std::chrono::milliseconds(2);
constexpr auto kPausedPositionReuse = std::chrono::milliseconds(200);

// A picture's position is carried between its frames only when they come at
// least this often: a slower one steps further than the clock may carry.
constexpr double kFrameClockFps = 10;

}  // namespace

MpvPlayer::MpvPlayer(bool nullAudio, QObject* parent) : QObject(parent) {
  // mpv refuses to start under a locale whose decimal point is not '.'.
  std::setlocale(LC_NUMERIC, "C");
  mpv_ = mpv_create();
  if (!mpv_) throw MediaError("libmpv could not be started");

  const char* env = std::getenv("TALLISEN_MPV_NULL");
  if (env && std::strcmp(env, "1") == 0) nullAudio = true;

  const std::pair<const char*, const char*> options[] = {
      {"config", "no"},
      {"terminal", "no"},
      {"idle", "yes"},
      {"keep-open", "yes"},
      {"pause", "yes"},
      {"ytdl", "no"},
      {"input-default-bindings", "no"},
      {"input-vo-keyboard", "no"},
      {"osc", "no"},
      {"osd-level", "0"},
      {"vo", "libmpv"},
      {"hwdec", "no"},
      // Subtitles are ours to show: mpv must not draw any into the picture.
      {"sub-auto", "no"},
      {"sid", "no"},
      // An audio file has no picture (no cover art as video).
      {"audio-display", "no"},
      // The renderer runs on the Qt thread: it must not wait for display time.
      {"video-timing-offset", "0"},
  };
  for (auto [name, value] : options) mpv_set_option_string(mpv_, name, value);
  if (nullAudio) mpv_set_option_string(mpv_, "ao", "null");

  if (mpv_initialize(mpv_) < 0) {
    mpv_terminate_destroy(mpv_);
    mpv_ = nullptr;
    throw MediaError("libmpv could not be initialised");
  }
  mpv_request_log_messages(mpv_, "error");
  for (const char* name : kObserved) mpv_observe_property(mpv_, 0, name, MPV_FORMAT_NODE);

  char apiType[] = MPV_RENDER_API_TYPE_SW;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (mpv_render_context_create(&render_, mpv_, params) < 0) {
    mpv_terminate_destroy(mpv_);
    mpv_ = nullptr;
    throw MediaError("libmpv video renderer could not be created");
  }

  view_ = new VideoWidget;
  connect(view_, &VideoWidget::videoRectChanged, this, [this] { renderFrame(true); });
  connect(view_, &VideoWidget::clicked, this, [this](int b, int s, int x, int y) {
    if (onClick) onClick(b, s, x, y);
  });

  // Both callbacks come from mpv's threads: they only post work to ours.
  mpv_set_wakeup_callback(
      mpv_,
      [](void* ctx) {
        auto* self = static_cast<MpvPlayer*>(ctx);
        if (!self->eventsQueued_.exchange(true))
          QMetaObject::invokeMethod(self, [self] { self->drainEvents(); }, Qt::QueuedConnection);
      },
      this);
  mpv_render_context_set_update_callback(
      render_,
      [](void* ctx) {
        auto* self = static_cast<MpvPlayer*>(ctx);
        if (!self->frameQueued_.exchange(true))
          QMetaObject::invokeMethod(self, [self] { self->renderFrame(false); },
                                    Qt::QueuedConnection);
      },
      this);
}

MpvPlayer::~MpvPlayer() {
  if (mpv_) {
    mpv_set_wakeup_callback(mpv_, nullptr, nullptr);
    if (render_) {
      mpv_render_context_set_update_callback(render_, nullptr, nullptr);
      mpv_render_context_free(render_);
    }
    mpv_terminate_destroy(mpv_);
  }
  // The widget belongs to whoever took it into a window; else it is ours.
  if (view_ && !view_->parent()) delete view_.data();
}

// ---- commands and properties ----------------------------------------------

void MpvPlayer::command(std::initializer_list<const char*> args, bool mustWork) {
  std::vector<const char*> argv(args);
  argv.push_back(nullptr);
  const int rc = mpv_command(mpv_, argv.data());
  if (rc < 0 && mustWork)
    throw MediaError(std::string(args.begin()[0]) + ": " + mpv_error_string(rc));
}

void MpvPlayer::setFlag(const char* name, bool on) {
  int v = on ? 1 : 0;
  const int rc = mpv_set_property(mpv_, name, MPV_FORMAT_FLAG, &v);
  if (std::strcmp(name, "pause") == 0) forgetKnown();
  if (rc < 0) throw MediaError(std::string(name) + ": " + mpv_error_string(rc));
}

// Each property read waits for mpv's core thread.  The pause flag and the
// speed change only by our own commands or with an event, so they are read
// once after each change; the position is read at most once per
// kPositionReuse (the timer's handlers ask for it several times per tick),
// while paused once per kPausedPositionReuse.
bool MpvPlayer::paused() const {
  if (!known_.paused) known_.paused = getFlag("pause");
  return *known_.paused;
}

bool MpvPlayer::rawPosition(double& t) const {
  const auto now = std::chrono::steady_clock::now();
  // Paused, the position moves only by our own commands, which forget it, or
  // with a restart, which forgets it too; it may still settle for a moment.
  const auto reuse = known_.paused && *known_.paused ? kPausedPositionReuse : kPositionReuse;
  if (!known_.position || now - known_.positionAt > reuse) {
    double v = 0;
    if (mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &v) < 0) return false;
    known_.position = v;
    known_.positionAt = now;
  }
  t = *known_.position;
  return true;
}

void MpvPlayer::forgetKnown() { known_ = Known{}; }

// A picture's position moves frame by frame and needs no help; a sound-only
// position is read again at each of its steps (see PositionClock).
void MpvPlayer::followClockSteps(bool on) {
  if (on == followingSteps_) return;
  followingSteps_ = on;
  if (on)
    mpv_observe_property(mpv_, kClockSteps, "time-pos", MPV_FORMAT_NONE);
  else
    mpv_unobserve_property(mpv_, kClockSteps);
}

double MpvPlayer::getDouble(const char* name, double fallback) const {
  double v = 0;
  return mpv_get_property(mpv_, name, MPV_FORMAT_DOUBLE, &v) >= 0 ? v : fallback;
}

bool MpvPlayer::getFlag(const char* name) const {
  int v = 0;
  return mpv_get_property(mpv_, name, MPV_FORMAT_FLAG, &v) >= 0 && v;
}

// ---- opening ----------------------------------------------------------------

void MpvPlayer::load(const std::string& url, bool append) {
  clock_.restart();
  forgetKnown();
  const media::Source src = media::mapUrl(url);
  if (!src.dvdDevice.empty())
    mpv_set_property_string(mpv_, "dvd-device", src.dvdDevice.c_str());
  if (src.cd) cdMode_ = true;
  if (!append) pendingChapter_ = src.chapter;
  media::applyDecoderChoice(mpv_, media::currentDecoderChoice());
  command({"loadfile", src.url.c_str(), append ? "append" : "replace"});
}

void MpvPlayer::setURL(const std::string& url) {
  url_ = url;
  failing_ = false;
  ++openGeneration_;
  cdMode_ = false;
  loaded_ = false;
  played_ = false;
  stopped_ = false;
  eof_ = false;
  pendingSeek_.reset();
  seekTarget_.reset();
  loadError_.clear();
  lastError_.clear();
  width_ = height_ = dwidth_ = dheight_ = 0;
  fps_ = 0;
  frameClock_ = false;
  duration_ = 0;
  chapters_ = 0;
  updateVideoSize();
  if (url.empty()) {
    close();
    return;
  }
  // A new medium opens paused; play() starts it (also while it still opens).
  setFlag("pause", true);
  opening_ = true;
  load(url, false);
  setOpenState(os_openingunknown);
  notifyChanges();
}

void MpvPlayer::playList(const std::vector<std::string>& urls) {
  if (urls.empty()) return;
  // Tracks of one audio CD are chapters of one mpv stream: opening the first
  // plays the following ones in order.
  bool allCd = true;
  for (const auto& u : urls) allCd = allCd && media::cdTrackOf(u) >= 0;
  setURL(urls.front());
  if (!allCd)
    for (size_t i = 1; i < urls.size(); ++i) load(urls[i], true);
  play();
}

std::vector<std::string> MpvPlayer::cdTracks(const std::string& drive) {
  std::string device;
  const std::vector<int> tracks = media::readCdTracks(drive, &device);
  mpv_set_property_string(mpv_, "cdrom-device", device.c_str());
  std::vector<std::string> urls;
  for (int t : tracks) urls.push_back("cdda://" + std::to_string(t));
  if (urls.empty()) urls.push_back("cdda://");
  return urls;
}

void MpvPlayer::close() {
  command({"stop"}, false);
  url_.clear();
  failing_ = false;
  ++openGeneration_;
  opening_ = loaded_ = played_ = stopped_ = eof_ = false;
  pendingSeek_.reset();
  seekTarget_.reset();
  forgetKnown();
  followClockSteps(false);
  width_ = height_ = dwidth_ = dheight_ = 0;
  fps_ = 0;
  frameClock_ = false;
  duration_ = 0;
  updateVideoSize();
  if (view_) view_->setFrame(QImage());
  setOpenState(os_closed);
  notifyChanges();
}

void MpvPlayer::fileLoaded() {
  forgetKnown();
  opening_ = false;
  loaded_ = true;
  eof_ = false;
  duration_ = std::max(0.0, getDouble("duration", 0));
  int64_t v = 0;
  width_ = mpv_get_property(mpv_, "width", MPV_FORMAT_INT64, &v) >= 0 ? int(v) : 0;
  height_ = mpv_get_property(mpv_, "height", MPV_FORMAT_INT64, &v) >= 0 ? int(v) : 0;
  chapters_ = mpv_get_property(mpv_, "chapters", MPV_FORMAT_INT64, &v) >= 0 ? int(v) : 0;
  fps_ = getDouble("container-fps", 0);
  frameClock_ = fps_ >= kFrameClockFps;
  followClockSteps(width_ == 0);
  decoderLog_ = media::decodersInUse(mpv_);
  if (pendingChapter_ >= 0) {
    int64_t c = pendingChapter_;
    mpv_set_property(mpv_, "chapter", MPV_FORMAT_INT64, &c);
    pendingChapter_ = -1;
  }
  if (pendingSeek_) {
    const double t = *pendingSeek_;
    pendingSeek_.reset();
    setCurrentPosition(t);
  }
  setOpenState(os_mediaopen);
}

void MpvPlayer::openFailed(int error) {
  failing_ = false;
  opening_ = false;
  loaded_ = false;
  pendingSeek_.reset();
  seekTarget_.reset();
  lastError_ = !loadError_.empty() ? loadError_ : std::string(mpv_error_string(error));
  width_ = height_ = dwidth_ = dheight_ = 0;
  fps_ = 0;
  frameClock_ = false;
  duration_ = 0;
  updateVideoSize();
  setOpenState(os_closed);
}

void MpvPlayer::setOpenState(int s) {
  if (s == openState_) return;
  openState_ = s;
  emit openStateChanged(s);
  if (onOpenStateChange) onOpenStateChange(s);
}

// ---- state ------------------------------------------------------------------

int MpvPlayer::playState() const {
  if (opening_) return ps_transitioning;
  if (!loaded_) return ps_undefined;
  if (eof_) return ps_ended;
  if (!paused()) return ps_playing;
  if (stopped_) return ps_stopped;
  return played_ ? ps_paused : ps_ready;
}

std::string MpvPlayer::status() const { return media::statusText(playState(), lastError_); }

void MpvPlayer::notifyChanges() {
  const int ps = playState();
  if (ps != lastPlayState_) {
    lastPlayState_ = ps;
    emit playStateChanged(ps);
  }
  std::string st = status();
  if (st != lastStatus_) {
    lastStatus_ = std::move(st);
    emit statusChanged();
    if (onStatusChange) onStatusChange();
  }
}

// ---- transport --------------------------------------------------------------

void MpvPlayer::play() {
  if (!loaded_ && !opening_) return;
  if (loaded_ && eof_) setCurrentPosition(0);  // play at the end starts over
  setFlag("pause", false);
  clock_.restart();
  played_ = true;
  stopped_ = false;
  notifyChanges();
}

void MpvPlayer::pause() {
  if (!loaded_ && !opening_) return;
  setFlag("pause", true);
  clock_.restart();
  notifyChanges();
}

void MpvPlayer::stop() {
  if (!loaded_ && !opening_) return;
  setFlag("pause", true);
  setCurrentPosition(0);
  stopped_ = true;
  notifyChanges();
}

bool MpvPlayer::currentPosition(double& seconds) const {
  if (!loaded_) return false;
  if (seekTarget_ && std::chrono::steady_clock::now() - seekSent_ < kSeekReportLimit) {
    seconds = *seekTarget_;
    return true;
  }
  double t = 0;
  if (!rawPosition(t)) return false;
  if (width_ > 0 && !frameClock_) {
    seconds = t;
    return true;
  }
  // A picture's position steps frame by frame, 40 ms at 25 fps, and lags the
  // sound by up to a frame: it is carried on like a sound-only one.  Paused,
  // the value is the frame on screen.
  const bool running = !eof_ && !seekTarget_ && !paused();
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  seconds = clock_.read(t, wall, running ? rate() : 0, running);
  return true;
}

void MpvPlayer::setCurrentPosition(double seconds) {
  if (!std::isfinite(seconds)) throw MediaError("invalid position");
  if (seconds < 0) seconds = 0;
  if (opening_) {
    // mpv drops a seek sent before the file is open: apply it once it is.
    pendingSeek_ = seconds;
    return;
  }
  if (!loaded_) return;
  const std::string t = secondsText(seconds);
  command({"seek", t.c_str(), "absolute+exact"});
  clock_.restart();
  forgetKnown();
  seekTarget_ = seconds;
  seekSent_ = std::chrono::steady_clock::now();
  if (eof_) {
    eof_ = false;
    notifyChanges();
  }
}

void MpvPlayer::next() {
  if (!loaded_) return;
  if (chapters_ > 0)
    command({"add", "chapter", "1"}, false);
  else
    command({"playlist-next"}, false);
}

void MpvPlayer::previous() {
  if (!loaded_) return;
  if (chapters_ > 0)
    command({"add", "chapter", "-1"}, false);
  else
    command({"playlist-prev"}, false);
}

double MpvPlayer::rate() const {
  if (!known_.speed) known_.speed = getDouble("speed", 1.0);
  return *known_.speed;
}

void MpvPlayer::setRate(double r) {
  if (!(r > 0) || !std::isfinite(r)) throw MediaError("invalid rate");
  r = std::clamp(r, 0.01, 100.0);
  const int rc = mpv_set_property(mpv_, "speed", MPV_FORMAT_DOUBLE, &r);
  forgetKnown();
  if (rc < 0) throw MediaError("rate could not be set");
  clock_.restart();
}

int MpvPlayer::volume() const { return int(std::lround(getDouble("volume", 100))); }

void MpvPlayer::setVolume(int v) {
  double d = std::clamp(v, 0, 100);
  if (mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &d) < 0)
    throw MediaError("volume could not be set");
}

bool MpvPlayer::fullScreen() const { return view_ && view_->fullScreenMode(); }

void MpvPlayer::setFullScreen(bool on) {
  if (view_) view_->setFullScreenMode(on);
}

std::string MpvPlayer::durationString() const { return media::durationText(duration_); }

void MpvPlayer::dvdTopMenu() { throw MediaError("DVD menus are not available"); }
void MpvPlayer::dvdTitleMenu() { throw MediaError("DVD menus are not available"); }

// ---- events -----------------------------------------------------------------

void MpvPlayer::drainEvents() {
  eventsQueued_ = false;
  while (mpv_) {
    mpv_event* e = mpv_wait_event(mpv_, 0);
    if (e->event_id == MPV_EVENT_NONE) break;
    handleEvent(*e);
  }
  notifyChanges();
}

void MpvPlayer::handleEvent(const mpv_event& e) {
  switch (e.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
      const auto* m = static_cast<const mpv_event_log_message*>(e.data);
      if ((opening_ || failing_) && loadError_.empty() && m->text) {
        loadError_ = m->text;
        while (!loadError_.empty() && (loadError_.back() == '\n' || loadError_.back() == ' '))
          loadError_.pop_back();
      }
      break;
    }
    case MPV_EVENT_START_FILE:
      if (!opening_) {  // the next entry of a play list
        opening_ = true;
        loaded_ = false;
        loadError_.clear();
        setOpenState(os_openingunknown);
      }
      break;
    case MPV_EVENT_FILE_LOADED:
      fileLoaded();
      break;
    case MPV_EVENT_END_FILE: {
      const auto* ef = static_cast<const mpv_event_end_file*>(e.data);
      if (ef->reason == MPV_END_FILE_REASON_ERROR && !failing_) {
        // mpv hands out queued events before log messages: the reason for
        // the failure may still follow.  Collect it for a moment.
        failing_ = true;
        const unsigned generation = ++openGeneration_;
        const int error = ef->error;
        QTimer::singleShot(100, this, [this, generation, error] {
          if (failing_ && generation == openGeneration_) {
            drainEvents();
            openFailed(error);
            notifyChanges();
          }
        });
      } else if (ef->reason == MPV_END_FILE_REASON_EOF && !opening_) {
        loaded_ = false;  // a play list moves on; START_FILE follows
      }
      // STOP: the medium was replaced (setURL) or closed (close()).
      break;
    }
    case MPV_EVENT_PLAYBACK_RESTART:
      seekTarget_.reset();
      forgetKnown();
      break;
    case MPV_EVENT_PROPERTY_CHANGE: {
      const auto* p = static_cast<const mpv_event_property*>(e.data);
      const auto* node = static_cast<const mpv_node*>(p->data);
      const bool has = p->format == MPV_FORMAT_NODE && node;
      auto asInt = [&] {
        if (!has) return 0;
        if (node->format == MPV_FORMAT_INT64) return int(node->u.int64);
        if (node->format == MPV_FORMAT_DOUBLE) return int(node->u.double_);
        return 0;
      };
      const std::string name = p->name;
      if (name == "pause") {
        known_.paused.reset();
      } else if (name == "speed") {
        known_.speed.reset();
      } else if (name == "eof-reached") {
        eof_ = loaded_ && has && node->format == MPV_FORMAT_FLAG && node->u.flag;
      } else if (name == "duration") {
        if (loaded_) duration_ = has && node->format == MPV_FORMAT_DOUBLE ? node->u.double_ : 0;
      } else if (name == "width") {
        if (loaded_ || !has) width_ = asInt();
        followClockSteps(loaded_ && width_ == 0);
      } else if (name == "height") {
        if (loaded_ || !has) height_ = asInt();
      } else if (name == "dwidth") {
        dwidth_ = asInt();
        updateVideoSize();
      } else if (name == "dheight") {
        dheight_ = asInt();
        updateVideoSize();
      } else if (name == "chapters") {
        chapters_ = asInt();
      } else if (name == "time-pos" && e.reply_userdata == kClockSteps) {
        // A sound-only position steps: a reading right at each step keeps
        // the carried position within a millisecond or so.
        double s = 0;
        known_.position.reset();
        if (loaded_ && width_ == 0) currentPosition(s);
      }
      break;
    }
    default:
      break;
  }
}

// ---- video ------------------------------------------------------------------

void MpvPlayer::updateVideoSize() {
  if (!view_) return;
  if (dwidth_ > 0 && dheight_ > 0)
    view_->setVideoSize(QSize(dwidth_, dheight_));
  else
    view_->setVideoSize(QSize());
}

// A frame buffer for mpv's renderer: Format_RGB32 with its start and every
// line on a 64-byte boundary (mpv copies the whole frame once more when the
// target is less aligned).
QImage MpvPlayer::frameBuffer(QSize size) {
  const qsizetype stride = (qsizetype(size.width()) * 4 + 63) / 64 * 64;
  const size_t bytes = size_t(stride) * size_t(size.height());
  void* mem = std::aligned_alloc(64, (bytes + 63) / 64 * 64);
  if (!mem) return {};
  return QImage(static_cast<uchar*>(mem), size.width(), size.height(), stride,
                QImage::Format_RGB32, [](void* p) { std::free(p); }, mem);
}

void MpvPlayer::renderFrame(bool force) {
  frameQueued_ = false;
  if (!render_) return;
  const uint64_t flags = mpv_render_context_update(render_);
  if (!(flags & MPV_RENDER_UPDATE_FRAME) && !force) return;
  // Without a place to show it the frame is still taken (into a small scratch
  // image), so mpv's video output never waits for us.
  QSize size = view_ && dwidth_ > 0 && dheight_ > 0 ? view_->renderSize() : QSize();
  const bool shown = !size.isEmpty();
  if (!shown) size = QSize(16, 16);
  QImage& img = shown ? buffers_[nextBuffer_] : scratch_;
  if (img.size() != size) img = frameBuffer(size);
  if (img.isNull()) return;
  int sz[2] = {size.width(), size.height()};
  size_t stride = size_t(img.bytesPerLine());
  mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, sz},
                               {MPV_RENDER_PARAM_SW_FORMAT, nullptr},
                               {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                               {MPV_RENDER_PARAM_SW_POINTER, img.bits()},
                               {MPV_RENDER_PARAM_INVALID, nullptr}};
  // mpv writes straight into the layout of the window's backing store
  // (32-bit BGRA in memory, QImage::Format_RGB32): painting the frame is then
  // a plain copy, with no conversion per pixel.  "bgra" makes mpv fill the
  // fourth byte with 0xFF as Format_RGB32 wants; "bgr0" (the documented name,
  // fourth byte undefined) is the fallback should a libmpv refuse "bgra".
  char bgra[] = "bgra", bgr0[] = "bgr0";
  params[1].data = bgraWorks_ ? bgra : bgr0;
  int rc = mpv_render_context_render(render_, params);
  if (rc < 0 && bgraWorks_) {
    params[1].data = bgr0;
    rc = mpv_render_context_render(render_, params);
    bgraWorks_ = rc < 0;  // keep "bgra" when the failure was not the format's
  }
  if (rc >= 0) readAtFrame();
  if (rc < 0 || !shown) return;
  // Two buffers: the widget keeps showing one while mpv fills the other.
  img.setDevicePixelRatio(view_->devicePixelRatioF());
  view_->setFrame(img);
  nextBuffer_ ^= 1;
  ++framesShown_;
  emit frameShown();
}

// The position steps as a frame comes: a reading right then keeps the
// carried position of a picture within a millisecond or so.
void MpvPlayer::readAtFrame() {
  if (!loaded_ || width_ == 0) return;
  // Some containers give no frame rate; the decoder's estimate follows
  // within a few frames.
  if (fps_ <= 0) {
    fps_ = getDouble("estimated-vf-fps", 0);
    frameClock_ = fps_ >= kFrameClockFps;
  }
  if (!frameClock_) return;
  // Once the clock has its first step, every fourth frame keeps it right.
  if (clock_.carrying() && ++framesSinceRead_ < 4) return;
  framesSinceRead_ = 0;
  known_.position.reset();
  double s = 0;
  currentPosition(s);
}

}  // namespace tl
