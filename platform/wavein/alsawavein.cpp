// Wave input on ALSA capture.  The PCM is opened non-blocking; a capture
// thread, running from start() to reset()/close(), waits for frames and reads
// them into the oldest queued buffer, completing it when full.  Frames that
// arrive while no buffer is queued are read and dropped, as a device without
// buffers loses its input.
#include "platform/wavein/basicwavein.h"

#include <alsa/asoundlib.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <thread>
#include <vector>

namespace tl::wavein {

namespace {

// Latency asked of ALSA; reads take whatever has arrived.
constexpr unsigned kLatencyUs = 50000;
constexpr int kWaitMs = 20;

class AlsaWaveIn final : public BasicWaveIn {
 public:
  ~AlsaWaveIn() override {
    // The owner is expected to reset and close; never leave a thread behind.
    stopThread();
    if (pcm_) snd_pcm_close(pcm_);
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
    rc = snd_pcm_set_params(pcm, fmt, SND_PCM_ACCESS_RW_INTERLEAVED, f.channels,
                            f.samplesPerSec, 1, kLatencyUs);
    if (rc < 0) {
      snd_pcm_close(pcm);
      return rc == -ENOMEM ? err_nomem : err_badformat;
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
  }

 private:
  void stopThread() {
    quit_ = true;
    if (thread_.joinable()) thread_.join();
  }

  bool quitting() const { return quit_ || stopRequested(); }

  void run() {
    while (!quitting()) {
      int w = snd_pcm_wait(pcm_, kWaitMs);
      if (quitting()) break;
      if (w < 0) {
        if (snd_pcm_recover(pcm_, w, 1) < 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
        else
          snd_pcm_start(pcm_);
        continue;
      }
      if (w == 0) continue;
      WaveHeader* h = frontHeader(false);
      char* dst;
      snd_pcm_uframes_t frames;
      if (h) {
        const uint32_t room = h->bufferLength - h->bytesRecorded;
        if (room < blockAlign_) {
          completeFront();
          continue;
        }
        dst = h->data + h->bytesRecorded;
        frames = room / blockAlign_;
      } else {
        dst = scratch_.data();
        frames = scratch_.size() / blockAlign_;
      }
      snd_pcm_sframes_t n = snd_pcm_readi(pcm_, dst, frames);
      if (n == -EAGAIN) continue;
      if (n < 0) {
        if (snd_pcm_recover(pcm_, int(n), 1) < 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(kWaitMs));
        else
          snd_pcm_start(pcm_);
        continue;
      }
      if (!h) continue;
      h->bytesRecorded += uint32_t(n) * blockAlign_;
      if (h->bufferLength - h->bytesRecorded < blockAlign_) completeFront();
    }
  }

  snd_pcm_t* pcm_ = nullptr;
  uint32_t blockAlign_ = 2;
  std::vector<char> scratch_;
  std::thread thread_;
  std::atomic<bool> quit_{false};
};

}  // namespace

std::unique_ptr<WaveIn> makeSystemWaveIn() { return std::make_unique<AlsaWaveIn>(); }

}  // namespace tl::wavein
