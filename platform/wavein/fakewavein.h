// A deterministic wave-input device for tests.  Nothing is captured by
// itself: fill() completes the oldest queued buffer with a known pattern and
// posts its data event (delivered when the receiver's event loop runs).
// Failures of open, prepare, start and addBuffer can be scripted; every call
// is logged by name.
#pragma once

#include "platform/wavein/basicwavein.h"

#include <string>
#include <vector>

namespace tl::wavein {

class FakeWaveIn : public BasicWaveIn {
 public:
  // Scripted results (ok = behave normally).
  Result openResult = ok;
  Result prepareResult = ok;
  Result startResult = ok;
  // addBuffer call number addFailAt (1-based, counted over the device's
  // life) fails with addFailResult; 0 = never.
  int addFailAt = 0;
  Result addFailResult = err_nomem;

  // Call names in order: "open", "prepare", "unprepare", "addBuffer",
  // "start", "reset", "close" (failed calls included).
  std::vector<std::string> calls;
  uint32_t lastDevice = 0;
  WaveFormat lastFormat;
  // Largest bufferLength ever added.
  uint32_t largestBuffer = 0;

  Result open(uint32_t device, const WaveFormat& format, QObject* receiver,
              Events events) override;
  Result prepare(WaveHeader* h) override;
  Result unprepare(WaveHeader* h) override;
  Result addBuffer(WaveHeader* h) override;
  Result start() override;
  Result reset() override;
  Result close() override;

  // Completes the oldest queued buffer while started: byte k of the n-th
  // filled buffer (1-based) becomes (n + k) & 0xFF.  False when not started
  // or nothing is queued.
  bool fill();
  int filledCount() const { return filled_; }
  int count(const std::string& call) const;

  // The byte fill() writes at offset k of the n-th filled buffer.
  static char patternByte(int n, uint32_t k) { return char((n + k) & 0xFF); }

 protected:
  Result doOpen(uint32_t device, const WaveFormat& format) override;
  Result doStart() override;
  void doStop() override {}
  void doClose() override {}

 private:
  int adds_ = 0;
  int filled_ = 0;
};

}  // namespace tl::wavein
