#include "platform/media/fakeplayer.h"

#include "platform/media/mediaurl.h"
#include "platform/media/videowidget.h"

#include <algorithm>
#include <cmath>
#include <sstream>

namespace tl {

namespace {
std::string num(double v) {
  std::ostringstream s;
  s.imbue(std::locale::classic());
  s << v;
  return s.str();
}
}  // namespace

FakePlayer::FakePlayer() = default;

FakePlayer::~FakePlayer() {
  if (view_ && !view_->parent()) delete view_.data();
}

void FakePlayer::check(const std::string& op) const {
  if (failNext_.erase(op)) throw MediaError(op + " failed");
}

void FakePlayer::enter(const std::string& op, const std::string& args) {
  log_.push_back(args.empty() ? op : op + " " + args);
  check(op);
}

void FakePlayer::setOpenState(int s) {
  if (s == openState_) return;
  openState_ = s;
  if (onOpenStateChange) onOpenStateChange(s);
}

void FakePlayer::statusMaybeChanged() {
  std::string st = status();
  if (st == lastStatus_) return;
  lastStatus_ = std::move(st);
  if (onStatusChange) onStatusChange();
}

// ---- scripting --------------------------------------------------------------

void FakePlayer::completeOpen(int width, int height, double duration) {
  if (!opening_) return;
  opening_ = false;
  loaded_ = true;
  width_ = width;
  height_ = height;
  duration_ = duration;
  position_ = 0;
  if (view_) view_->setVideoSize(width > 0 && height > 0 ? QSize(width, height) : QSize());
  if (pendingSeek_) position_ = *pendingSeek_;
  pendingSeek_.reset();
  if (playAsked_) {
    playing_ = true;
    played_ = true;
  }
  setOpenState(os_mediaopen);
  statusMaybeChanged();
}

void FakePlayer::failOpen(const std::string& reason) {
  if (!opening_) return;
  opening_ = false;
  loaded_ = false;
  playAsked_ = false;
  pendingSeek_.reset();
  lastError_ = reason;
  setOpenState(os_closed);
  statusMaybeChanged();
}

void FakePlayer::settle() {
  if (!transitioning_) return;
  transitioning_ = false;
  playing_ = true;
  statusMaybeChanged();
}

void FakePlayer::advance(double seconds) {
  if (!loaded_ || !playing_ || transitioning_) return;
  position_ += seconds * rate_;
  if (duration_ > 0 && position_ >= duration_) {
    position_ = duration_;
    playing_ = false;
    ended_ = true;
  }
  statusMaybeChanged();
}

// ---- MediaPlayer --------------------------------------------------------------

void FakePlayer::setURL(const std::string& url) {
  enter("setURL", url);
  if (!openError_.empty()) throw MediaError(openError_);
  url_ = url;
  opening_ = !url.empty();
  loaded_ = played_ = stopped_ = playing_ = transitioning_ = ended_ = playAsked_ = false;
  position_ = duration_ = 0;
  width_ = height_ = 0;
  pendingSeek_.reset();
  lastError_.clear();
  if (view_) view_->setVideoSize(QSize());
  setOpenState(opening_ ? os_openingunknown : os_closed);
  statusMaybeChanged();
}

int FakePlayer::playState() const {
  check("playState");
  return state();
}

int FakePlayer::state() const {
  if (opening_) return ps_transitioning;
  if (!loaded_) return ps_undefined;
  if (transitioning_) return ps_transitioning;
  if (ended_) return ps_ended;
  if (playing_) return ps_playing;
  if (stopped_) return ps_stopped;
  return played_ ? ps_paused : ps_ready;
}

std::string FakePlayer::status() const { return media::statusText(state(), lastError_); }

void FakePlayer::close() {
  enter("close");
  url_.clear();
  opening_ = loaded_ = played_ = stopped_ = playing_ = transitioning_ = ended_ = false;
  position_ = duration_ = 0;
  width_ = height_ = 0;
  if (view_) view_->setVideoSize(QSize());
  setOpenState(os_closed);
  statusMaybeChanged();
}

void FakePlayer::play() {
  enter("play");
  if (opening_) {
    playAsked_ = true;
  } else if (loaded_) {
    if (ended_) position_ = 0;
    ended_ = stopped_ = false;
    played_ = true;
    if (slowPlay_)
      transitioning_ = true;
    else
      playing_ = true;
  }
  statusMaybeChanged();
}

void FakePlayer::pause() {
  enter("pause");
  playAsked_ = false;
  playing_ = transitioning_ = false;
  statusMaybeChanged();
}

void FakePlayer::stop() {
  enter("stop");
  playAsked_ = false;
  if (opening_) pendingSeek_ = 0.0;
  if (loaded_) {
    playing_ = transitioning_ = ended_ = false;
    stopped_ = true;
    position_ = 0;
  }
  statusMaybeChanged();
}

bool FakePlayer::currentPosition(double& seconds) const {
  check("currentPosition");
  if (!loaded_ || !positionAvailable_) return false;
  seconds = position_;
  return true;
}

void FakePlayer::setCurrentPosition(double seconds) {
  enter("setCurrentPosition", num(seconds));
  if (!std::isfinite(seconds)) throw MediaError("invalid position");
  seconds = std::max(0.0, seconds);
  if (opening_) {
    pendingSeek_ = seconds;
    return;
  }
  if (!loaded_) return;
  position_ = duration_ > 0 ? std::min(seconds, duration_) : seconds;
  if (ended_ && position_ < duration_) ended_ = false;
  statusMaybeChanged();
}

void FakePlayer::next() {
  enter("next");
  if (chapter_ + 1 < chapters_) ++chapter_;
}

void FakePlayer::previous() {
  enter("previous");
  if (chapter_ > 0) --chapter_;
}

double FakePlayer::rate() const {
  check("rate");
  return rate_;
}

void FakePlayer::setRate(double r) {
  enter("setRate", num(r));
  if (!(r > 0) || !std::isfinite(r)) throw MediaError("invalid rate");
  rate_ = r;
}

int FakePlayer::volume() const {
  check("volume");
  return volume_;
}

void FakePlayer::setVolume(int v) {
  enter("setVolume", std::to_string(v));
  volume_ = std::clamp(v, 0, 100);
}

void FakePlayer::setFullScreen(bool on) {
  enter("setFullScreen", on ? "1" : "0");
  fullScreen_ = on;
}

std::string FakePlayer::durationString() const { return media::durationText(duration_); }

std::vector<std::string> FakePlayer::cdTracks(const std::string& drive) {
  enter("cdTracks", drive);
  return cdTracks_.empty() ? std::vector<std::string>{"cdda://"} : cdTracks_;
}

void FakePlayer::playList(const std::vector<std::string>& urls) {
  std::string joined;
  for (const auto& u : urls) joined += (joined.empty() ? "" : " ") + u;
  enter("playList", joined);
  if (urls.empty()) return;
  url_ = urls.front();
  opening_ = true;
  loaded_ = played_ = stopped_ = playing_ = transitioning_ = ended_ = false;
  playAsked_ = true;
  setOpenState(os_openingunknown);
  statusMaybeChanged();
}

void FakePlayer::dvdTopMenu() {
  enter("dvdTopMenu");
  throw MediaError("DVD menus are not available");
}

void FakePlayer::dvdTitleMenu() {
  enter("dvdTitleMenu");
  throw MediaError("DVD menus are not available");
}

QWidget* FakePlayer::videoWidget() {
  if (!view_) {
    view_ = new VideoWidget;
    if (loaded_ && width_ > 0 && height_ > 0) view_->setVideoSize(QSize(width_, height_));
  }
  return view_;
}

}  // namespace tl
