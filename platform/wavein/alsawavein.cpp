// Wave input on ALSA capture.  The PCM is opened non-blocking; a capture
// thread, running from start() to reset()/close(), sleeps until a whole
// period of frames has arrived (or, for a buffer larger than a period, until
// the oldest queued buffer can be filled) and reads them into the queued
// buffers in order, completing each as it fills.  Frames that arrive while no
// buffer is queued are read and dropped, as a device without buffers loses
// its input.
//
// The period is long (about 46 ms) so that the sound server, the capture
// thread and the receiver wake about 22 times a second rather than once per
// small buffer: four buffers of 11.6 ms are filled and handed over together.
#include "platform/wavein/basicwavein.h"

#include <alsa/asoundlib.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace tl::wavein {

namespace {

// The capture period asked of ALSA, and the ring behind it in periods.
constexpr unsigned kPeriodUs = 46440;
constexpr unsigned kPeriods = 8;
// Pause after a failure that recovery could not mend.
constexpr int kRetryMs = 20;

class AlsaWaveIn final : public BasicWaveIn {
 public:
  ~AlsaWaveIn() override {
    // The owner is expected to reset and close; never leave a thread behind.
    stopThread();
    if (pcm_) snd_pcm_close(pcm_);
    if (wake_ >= 0) ::close(wake_);
  }

 protected:
  Result doOpen(uint32_t device, const WaveFormat& f) override {
    const std::string name = alsaDeviceName(device);
    snd_pcm_t* pcm = nullptr;
    int rc = snd_pcm_open(&pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
    if (rc < 0) {
      switch (-rc) {
        case ENOENT: case ENODEV: case ENXIO:
          return device == wave_mapper ? err_nodriver : err_baddeviceid;
        case EBUSY: return err_allocated;
        case ENOMEM: return err_nomem;
        default: return err_error;
      }
    }
    const snd_pcm_format_t fmt = f.bitsPerSample == 8 ? SND_PCM_FORMAT_U8 : SND_PCM_FORMAT_S16_LE;
    rc = setParams(pcm, fmt, f);
    if (rc < 0) {
      snd_pcm_close(pcm);
      return rc == -ENOMEM ? err_nomem : err_badformat;
    }
    wake_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wake_ < 0) {
      snd_pcm_close(pcm);
      return err_nomem;
    }
    pcm_ = pcm;
    blockAlign_ = f.blockAlign;
    scratch_.assign(size_t(4096) * f.blockAlign, 0);
    return ok;
  }

  Result doStart() override {
    if (!pcm_) return err_invalhandle;
    int rc = snd_pcm_prepare(pcm_);
    if (rc >= 0) rc = snd_pcm_start(pcm_);
    if (rc < 0) return err_error;
    quit_ = false;
    thread_ = std::thread([this] { run(); });
    return ok;
  }

  void doStop() override {
    stopThread();
    if (pcm_) snd_pcm_drop(pcm_);
  }

  void doClose() override {
    stopThread();
    if (pcm_) snd_pcm_close(pcm_);
    pcm_ = nullptr;
    if (wake_ >= 0) ::close(wake_);
    wake_ = -1;
  }

 private:
  // Interleaved frames of the given format, a period of kPeriodUs and a ring
  // of kPeriods periods (whatever the device grants nearest to that).
  int setParams(snd_pcm_t* pcm, snd_pcm_format_t fmt, const WaveFormat& f) {
    snd_pcm_hw_params_t* hw;
    snd_pcm_hw_params_alloca(&hw);
    unsigned rate = f.samplesPerSec, period = kPeriodUs, buffer = kPeriodUs * kPeriods;
    int dir = 0;
    int rc = snd_pcm_hw_params_any(pcm, hw);
    if (rc >= 0) rc = snd_pcm_hw_params_set_access(pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED);
    if (rc >= 0) rc = snd_pcm_hw_params_set_format(pcm, hw, fmt);
    if (rc >= 0) rc = snd_pcm_hw_params_set_channels(pcm, hw, f.channels);
    if (rc >= 0) rc = snd_pcm_hw_params_set_rate_resample(pcm, hw, 1);
    if (rc >= 0) rc = snd_pcm_hw_params_set_rate_near(pcm, hw, &rate, &dir);
    if (rc >= 0 && rate != f.samplesPerSec) rc = -EINVAL;
    if (rc >= 0) rc = snd_pcm_hw_params_set_buffer_time_near(pcm, hw, &buffer, &dir);
    if (rc >= 0) rc = snd_pcm_hw_params_set_period_time_near(pcm, hw, &period, &dir);
    if (rc >= 0) rc = snd_pcm_hw_params(pcm, hw);
    if (rc < 0) return rc;
    snd_pcm_hw_params_get_period_size(hw, &periodFrames_, &dir);
    snd_pcm_hw_params_get_buffer_size(hw, &bufferFrames_);
    availMin_ = 0;
    return 0;
  }

  // The capture thread sleeps until `frames` have arrived (at least a
  // period, at most half the ring).
  void wakeAfter(snd_pcm_uframes_t frames) {
    frames = std::clamp(frames, periodFrames_, std::max(periodFrames_, bufferFrames_ / 2));
    if (frames == availMin_) return;
    snd_pcm_sw_params_t* sw;
    snd_pcm_sw_params_alloca(&sw);
    if (snd_pcm_sw_params_current(pcm_, sw) < 0) return;
    if (snd_pcm_sw_params_set_avail_min(pcm_, sw, frames) < 0) return;
    if (snd_pcm_sw_params(pcm_, sw) >= 0) availMin_ = frames;
  }

  void stopThread() {
    quit_ = true;
    if (wake_ >= 0) {
      const uint64_t one = 1;
      [[maybe_unused]] ssize_t n = ::write(wake_, &one, sizeof one);
    }
    if (thread_.joinable()) thread_.join();
    if (wake_ >= 0) {
      uint64_t v;
      [[maybe_unused]] ssize_t n = ::read(wake_, &v, sizeof v);
    }
  }

  bool quitting() const { return quit_ || stopRequested(); }

  void recover(int err) {
    if (snd_pcm_recover(pcm_, err, 1) < 0)
      std::this_thread::sleep_for(std::chrono::milliseconds(kRetryMs));
    else
      snd_pcm_start(pcm_);
  }

  // Sleeps until the device has frames for us or the thread is told to end;
  // false on the latter.  A negative *err is a device failure.
  bool waitForFrames(int* err) {
    *err = 0;
    const int n = snd_pcm_poll_descriptors_count(pcm_);
    if (n <= 0) {
      *err = n < 0 ? n : -EIO;
      return !quitting();
    }
    fds_.resize(size_t(n) + 1);
    snd_pcm_poll_descriptors(pcm_, fds_.data(), unsigned(n));
    fds_[size_t(n)] = {wake_, POLLIN, 0};
    for (;;) {
      if (::poll(fds_.data(), fds_.size(), -1) < 0) {
        if (errno == EINTR) continue;
        *err = -errno;
        return !quitting();
      }
      if (quitting() || (fds_[size_t(n)].revents & POLLIN)) return false;
      unsigned short revents = 0;
      snd_pcm_poll_descriptors_revents(pcm_, fds_.data(), unsigned(n), &revents);
      if (revents & (POLLERR | POLLNVAL)) {
        *err = -EPIPE;
        return true;
      }
      if (revents & POLLIN) return true;
    }
  }

  void run() {
    while (!quitting()) {
      WaveHeader* front = frontHeader(false);
      const uint32_t need = front ? front->bufferLength - front->bytesRecorded : 0;
      wakeAfter(need / blockAlign_);
      int err = 0;
      if (!waitForFrames(&err)) break;
      if (err < 0) {
        recover(err);
        continue;
      }
      // Everything that has arrived, into as many queued buffers as it fills.
      snd_pcm_sframes_t avail = snd_pcm_avail_update(pcm_);
      if (avail < 0) {
        recover(int(avail));
        continue;
      }
      while (avail > 0 && !quitting()) {
        const snd_pcm_sframes_t n = readSome(snd_pcm_uframes_t(avail));
        if (n <= 0) break;
        avail -= n;
      }
    }
  }

  // Reads up to `frames` into the oldest queued buffer (or drops them when
  // none is queued); the frames read, 0 when none were there, or < 0.
  snd_pcm_sframes_t readSome(snd_pcm_uframes_t frames) {
    WaveHeader* h = frontHeader(false);
    while (h && h->bufferLength - h->bytesRecorded < blockAlign_) {
      completeFront();
      h = frontHeader(false);
    }
    char* dst;
    if (h) {
      const uint32_t room = h->bufferLength - h->bytesRecorded;
      dst = h->data + h->bytesRecorded;
      frames = std::min<snd_pcm_uframes_t>(frames, room / blockAlign_);
    } else {
      dst = scratch_.data();
      frames = std::min<snd_pcm_uframes_t>(frames, scratch_.size() / blockAlign_);
    }
    const snd_pcm_sframes_t n = snd_pcm_readi(pcm_, dst, frames);
    if (n == -EAGAIN) return 0;
    if (n < 0) {
      recover(int(n));
      return n;
    }
    if (h) {
      h->bytesRecorded += uint32_t(n) * blockAlign_;
      if (h->bufferLength - h->bytesRecorded < blockAlign_) completeFront();
    }
    return n;
  }

  snd_pcm_t* pcm_ = nullptr;
  int wake_ = -1;  // eventfd: tells the capture thread to end
  uint32_t blockAlign_ = 2;
  snd_pcm_uframes_t periodFrames_ = 1024, bufferFrames_ = 8192, availMin_ = 0;
  std::vector<char> scratch_;
  std::vector<pollfd> fds_;
  std::thread thread_;
  std::atomic<bool> quit_{false};
};

}  // namespace

std::unique_ptr<WaveIn> makeSystemWaveIn() { return std::make_unique<AlsaWaveIn>(); }

}  // namespace tl::wavein
