// Wave input: recording PCM sound into buffers that the caller owns.
//
// The calls follow the usual life of a recording: open a device with a
// format, prepare each buffer header, add buffers to the device's queue,
// start, and at the end reset (every queued buffer comes back), unprepare and
// close.  The device reports three events, always posted to the thread of the
// receiver object given to open() (the user-interface thread), never called
// directly from a call or from a capture thread:
//   onOpen  - the device was opened,
//   onData  - one queued buffer came back (filled, or cut short by reset),
//   onClose - the device was closed.
// Buffers come back in the order they were added.
//
// Every call returns a result code; 0 is success, errorText() gives the
// English text for any other code.
//
// AlsaWaveIn (alsawavein.h) is the real backend; FakeWaveIn (fakewavein.h) is
// a deterministic device for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QObject;

namespace tl::wavein {

using Result = uint32_t;

// Result codes.
enum : Result {
  ok = 0,
  err_error = 1,          // unspecified error
  err_baddeviceid = 2,    // device number out of range
  err_notenabled = 3,
  err_allocated = 4,      // device already in use
  err_invalhandle = 5,    // device not open
  err_nodriver = 6,       // no sound input at all
  err_nomem = 7,
  err_invalflag = 10,
  err_invalparam = 11,
  err_badformat = 32,     // format not supported by the device
  err_stillplaying = 33,  // buffers are still queued
  err_unprepared = 34,    // buffer header not prepared
};

// Device number selecting the system's default input.
inline constexpr uint32_t wave_mapper = 0xFFFFFFFFu;
// Numbered devices: 0 .. max_devices-1.
inline constexpr uint32_t max_devices = 4;

// PCM format, handed to the device unchanged.
struct WaveFormat {
  uint16_t formatTag = 1;  // 1 = PCM
  uint16_t channels = 1;
  uint32_t samplesPerSec = 22050;
  uint32_t avgBytesPerSec = 44100;
  uint16_t blockAlign = 2;
  uint16_t bitsPerSample = 16;
  uint16_t cbSize = 0;
};

// Header flags.
enum : uint32_t {
  hdr_done = 0x01,      // the device has finished with the buffer
  hdr_prepared = 0x02,  // prepared for the device
  hdr_inqueue = 0x10,   // queued on the device
};

// One buffer as the device sees it.  The caller owns header and data and
// keeps both alive from prepare() to unprepare().
struct WaveHeader {
  char* data = nullptr;
  uint32_t bufferLength = 0;   // bytes the device may write
  uint32_t bytesRecorded = 0;  // bytes it did write
  uintptr_t user = 0;
  uint32_t flags = 0;
};

struct Events {
  std::function<void()> onOpen;
  std::function<void(WaveHeader*)> onData;
  std::function<void()> onClose;
};

// The English text for a result code.
std::string errorText(Result code);

class WaveIn {
 public:
  virtual ~WaveIn() = default;

  // Opens device `device` (wave_mapper or 0..max_devices-1) for `format`.
  // Events are posted to `receiver`'s thread; a receiver that is destroyed
  // drops its pending events.
  virtual Result open(uint32_t device, const WaveFormat& format, QObject* receiver,
                      Events events) = 0;
  virtual Result prepare(WaveHeader* h) = 0;
  virtual Result unprepare(WaveHeader* h) = 0;
  virtual Result addBuffer(WaveHeader* h) = 0;
  virtual Result start() = 0;
  // Stops input and returns every queued buffer (onData for each).
  virtual Result reset() = 0;
  // Fails with err_stillplaying while buffers are queued.
  virtual Result close() = 0;
};

// The real backend (ALSA capture on a thread of its own).
std::unique_ptr<WaveIn> makeSystemWaveIn();
// The ALSA device a device number opens: "default" for wave_mapper,
// "plughw:N" for device N.
std::string alsaDeviceName(uint32_t device);

}  // namespace tl::wavein
