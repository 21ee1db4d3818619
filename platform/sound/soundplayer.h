// Playing a short sound held in memory (a WAV file image), asynchronously.
//
// AlsaSoundPlayer plays on the ALSA device "default" from a thread of its
// own; a new play stops the one still sounding.  Without a usable device
// nothing is heard and nothing fails.  FakeSoundPlayer records the plays.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tl {

class SoundPlayer {
 public:
  virtual ~SoundPlayer() = default;
  // Starts playing the WAV file image and returns at once.  Bytes that are
  // not a PCM WAV play nothing.
  virtual void playAsync(const std::string& wavBytes) = 0;
  // Stops what is playing (nothing when silent).
  virtual void stop() = 0;
};

class AlsaSoundPlayer : public SoundPlayer {
 public:
  explicit AlsaSoundPlayer(std::string device = "default");
  ~AlsaSoundPlayer() override;
  AlsaSoundPlayer(const AlsaSoundPlayer&) = delete;
  AlsaSoundPlayer& operator=(const AlsaSoundPlayer&) = delete;
  void playAsync(const std::string& wavBytes) override;
  void stop() override;
  // Plays that have finished or were given up (for tests and diagnostics).
  uint64_t finishedCount() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> d_;
};

class FakeSoundPlayer : public SoundPlayer {
 public:
  void playAsync(const std::string& wavBytes) override { played.push_back(wavBytes); }
  void stop() override { ++stops; }
  std::vector<std::string> played;
  int stops = 0;
};

// The PCM format and samples of a WAV file image.
struct WavData {
  int channels = 0;
  int sampleRate = 0;
  int bitsPerSample = 0;  // 8, 16, 24 or 32 (integer PCM)
  std::string samples;    // interleaved, as stored in the file
};
// Reads a RIFF/WAVE image of integer PCM; false when it is not one.  Every
// chunk length is checked; a data chunk longer than the file is cut to it.
bool parseWav(const std::string& bytes, WavData& out);

// The two sounds of a cleared sentence and a cleared scene, made in code:
// 16-bit PCM, mono, 22050 Hz, about 0.3 s.
enum class ClearSound { Sentence, Scene };
const std::string& clearSound(ClearSound which);

// A WAV file image of 16-bit mono samples.
std::string makeWav16(const std::vector<int16_t>& samples, int sampleRate);

}  // namespace tl
