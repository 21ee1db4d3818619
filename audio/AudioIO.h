// The recording component: PCM sound from a wave-input device into a small
// ring of fixed-size buffers, each filled buffer handed to the owner on the
// user-interface thread.
//
// TAudioIO holds the format, the ring and its memory; TAudioIn records.
// Nothing throws: an operation that fails returns false and leaves an English
// text in LastErrorText() for the caller to show.
//
// Life: closed -> Start() -> open and recording -> closed again by Stop(), by
// the last queued buffer coming back (after refusals or Drain()), or by a
// failure inside Start().  Start() is accepted only while closed.
#pragma once

#include "platform/wavein/wavein.h"

#include <QObject>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace tl {

class TAudioIO : public QObject {
 public:
  static constexpr int kMaxBuffers = 4;
  static constexpr int kMinBufferSize = 512;

  using NotifyEvent = std::function<void(QObject* sender)>;

  explicit TAudioIO(QObject* owner = nullptr);
  ~TAudioIO() override;

  // Effective size in bytes: the requested size rounded down to whole sample
  // frames.  Setting asks for max(value, 512) bytes; while a device is open
  // the new buffers are made when it has closed.
  int BufferSize() const { return bufferSize_; }
  void setBufferSize(int value);
  int RequestedSize() const { return requestedSize_; }
  // 2 to 4.
  int NumBuffers() const { return numBuffers_; }
  void setNumBuffers(int value);
  // Samples per second, stored as given.
  int FrameRate() const { return int(format_.samplesPerSec); }
  void setFrameRate(int value);
  bool Stereo() const { return format_.channels == 2; }
  void setStereo(bool value);
  // Bits per sample: 8 or 16 (below 8 becomes 8, above 8 becomes 16).
  uint16_t Quantization() const { return format_.bitsPerSample; }
  void setQuantization(uint16_t value);
  // Device number; wave_mapper (0xFFFFFFFF) is the system's default input.
  uint32_t WaveDevice() const { return waveDevice_; }
  void setWaveDevice(uint32_t value) { waveDevice_ = value; }
  const wavein::WaveFormat& WaveFormat() const { return format_; }

  const QString& LastErrorText() const { return lastErrorText_; }
  bool Recording() const { return recording_; }
  bool Running() const { return running_; }
  int QueuedCount() const { return queuedCount_; }

  // Raised when the device reports that it opened / closed.
  NotifyEvent OnStart;
  NotifyEvent OnStop;

  virtual void Stop();
  virtual void Drain();

 protected:
  void UpdateFormat();
  void InitHeaders();
  bool AllocBuffers();
  void FreeBuffers();
  // Buffer memory is (re)made only while no device uses it.
  virtual bool buffersInUse() const { return false; }
  void applyPendingSize();

  std::array<wavein::WaveHeader, kMaxBuffers> headers_{};
  std::array<std::vector<char>, kMaxBuffers> buffers_;
  wavein::WaveFormat format_;
  int bufferSize_ = 0;
  int requestedSize_ = 8192;
  int numBuffers_ = kMaxBuffers;
  uint32_t waveDevice_ = wavein::wave_mapper;
  int ringPos_ = 0;
  bool recording_ = false;
  bool running_ = false;
  int queuedCount_ = 0;
  bool sizePending_ = false;
  QString lastErrorText_;
};

class TAudioIn : public TAudioIO {
 public:
  // Buffer: first byte of the filled buffer; Size: its byte count (what the
  // handler writes back is ignored).  True queues the buffer again.
  using BufferEvent = std::function<bool(char* Buffer, int& Size)>;

  // device: the wave-input layer to record from; nullptr = the system's.
  explicit TAudioIn(QObject* owner = nullptr, std::unique_ptr<wavein::WaveIn> device = nullptr);
  ~TAudioIn() override;

  // Opens the device and starts recording.  False with LastErrorText() set
  // when the device is already open, cannot be opened or will not start.
  bool Start();
  // Stops at once and closes the device; nothing while closed.
  void Stop() override;
  // No more buffers are handed over or queued again; the device closes when
  // the last queued buffer has come back.
  void Drain() override;

  bool DeviceOpen() const { return deviceOpen_; }
  wavein::WaveIn* device() const { return device_.get(); }

  BufferEvent OnBufferFilled;

 protected:
  virtual bool DispatchBuffer(char* buffer, int size);
  virtual wavein::Result CloseDevice();
  virtual bool OpenDevice();
  bool buffersInUse() const override { return deviceOpen_; }

 private:
  bool BeginRecording();
  bool QueueNext();
  bool queueHeader(wavein::WaveHeader* h);
  void onData(uint64_t session, wavein::WaveHeader* h);
  void onOpen(uint64_t session);
  void onClose(uint64_t session);
  void setDeviceError(wavein::Result code, const QString& prefix = {});

  std::unique_ptr<wavein::WaveIn> device_;
  bool deviceOpen_ = false;
  // Numbers each open; events of any other recording are dropped.
  uint64_t session_ = 0;
};

}  // namespace tl
