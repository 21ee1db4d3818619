// AlsaSoundPlayer: one worker thread takes the newest request and plays it.
// The device is opened non-blocking and written in short pieces, so a new
// play, stop() or the destructor ends the current sound within a few
// milliseconds, and a stalled device cannot hold the thread for long.
#include <alsa/asoundlib.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/sound/soundplayer.h"

namespace tl {

namespace {

void quietAlsa(const char*, int, const char*, int, const char*, ...) {}

snd_pcm_format_t formatOf(int bits) {
  switch (bits) {
    case 8: return SND_PCM_FORMAT_U8;
    case 16: return SND_PCM_FORMAT_S16_LE;
    case 24: return SND_PCM_FORMAT_S24_3LE;
    default: return SND_PCM_FORMAT_S32_LE;
  }
}

}  // namespace

struct AlsaSoundPlayer::Impl {
  std::string device;
  std::mutex m;
  std::condition_variable cv;
  std::string request;
  bool hasRequest = false;
  bool quit = false;
  std::atomic<uint64_t> generation{0};  // bumped by every play and stop
  std::atomic<uint64_t> finished{0};
  std::thread worker;

  bool cancelled(uint64_t gen) const { return generation.load() != gen; }

  void play(const std::string& bytes, uint64_t gen) {
    WavData wav;
    if (!parseWav(bytes, wav) || wav.samples.empty()) return;
    snd_pcm_t* pcm = nullptr;
    if (snd_pcm_open(&pcm, device.c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) return;
    const size_t frameBytes = static_cast<size_t>(wav.channels) * (wav.bitsPerSample / 8);
    if (snd_pcm_set_params(pcm, formatOf(wav.bitsPerSample), SND_PCM_ACCESS_RW_INTERLEAVED,
                           static_cast<unsigned>(wav.channels), static_cast<unsigned>(wav.sampleRate), 1,
                           200000) < 0) {
      snd_pcm_close(pcm);
      return;
    }
    const char* p = wav.samples.data();
    snd_pcm_uframes_t left = wav.samples.size() / frameBytes;
    auto lastProgress = std::chrono::steady_clock::now();
    const auto stalled = [&] { return std::chrono::steady_clock::now() - lastProgress > std::chrono::seconds(2); };
    while (left > 0 && !cancelled(gen) && !stalled()) {
      const snd_pcm_sframes_t w = snd_pcm_writei(pcm, p, std::min<snd_pcm_uframes_t>(left, 1024));
      if (w == -EAGAIN) {
        snd_pcm_wait(pcm, 20);
        continue;
      }
      if (w < 0) {
        if (snd_pcm_recover(pcm, static_cast<int>(w), 1) < 0) break;
        continue;
      }
      p += static_cast<size_t>(w) * frameBytes;
      left -= static_cast<snd_pcm_uframes_t>(w);
      lastProgress = std::chrono::steady_clock::now();
    }
    // Let the queued frames sound out (as long as the device says they take),
    // still listening for a stop.
    snd_pcm_sframes_t delay = 0;
    if (left == 0 && snd_pcm_delay(pcm, &delay) == 0 && delay > 0) {
      const auto wait = std::chrono::milliseconds(std::min<long>(1000, delay * 1000L / wav.sampleRate + 30));
      const auto until = std::chrono::steady_clock::now() + wait;
      while (!cancelled(gen) && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    snd_pcm_drop(pcm);
    snd_pcm_close(pcm);
  }

  void run() {
    while (true) {
      std::string bytes;
      uint64_t gen;
      {
        std::unique_lock<std::mutex> lock(m);
        cv.wait(lock, [&] { return quit || hasRequest; });
        if (quit) return;
        bytes.swap(request);
        hasRequest = false;
        gen = generation.load();
      }
      play(bytes, gen);
      finished.fetch_add(1);
    }
  }
};

AlsaSoundPlayer::AlsaSoundPlayer(std::string device) : d_(std::make_unique<Impl>()) {
  static std::once_flag once;
  std::call_once(once, [] { snd_lib_error_set_handler(&quietAlsa); });
  d_->device = std::move(device);
  d_->worker = std::thread([this] { d_->run(); });
}

AlsaSoundPlayer::~AlsaSoundPlayer() {
  {
    std::lock_guard<std::mutex> lock(d_->m);
    d_->quit = true;
    d_->generation.fetch_add(1);
  }
  d_->cv.notify_all();
  d_->worker.join();
}

void AlsaSoundPlayer::playAsync(const std::string& wavBytes) {
  {
    std::lock_guard<std::mutex> lock(d_->m);
    d_->request = wavBytes;
    d_->hasRequest = true;
    d_->generation.fetch_add(1);
  }
  d_->cv.notify_all();
}

void AlsaSoundPlayer::stop() {
  std::lock_guard<std::mutex> lock(d_->m);
  d_->hasRequest = false;
  d_->request.clear();
  d_->generation.fetch_add(1);
}

uint64_t AlsaSoundPlayer::finishedCount() const { return d_->finished.load(); }

}  // namespace tl
