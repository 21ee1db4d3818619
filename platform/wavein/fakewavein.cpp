#include "platform/wavein/fakewavein.h"

#include <algorithm>

namespace tl::wavein {

Result FakeWaveIn::open(uint32_t device, const WaveFormat& format, QObject* receiver,
                        Events events) {
  calls.push_back("open");
  lastDevice = device;
  lastFormat = format;
  return BasicWaveIn::open(device, format, receiver, std::move(events));
}

Result FakeWaveIn::doOpen(uint32_t, const WaveFormat&) { return openResult; }

Result FakeWaveIn::prepare(WaveHeader* h) {
  calls.push_back("prepare");
  if (prepareResult != ok && isOpen()) return prepareResult;
  return BasicWaveIn::prepare(h);
}

Result FakeWaveIn::unprepare(WaveHeader* h) {
  calls.push_back("unprepare");
  return BasicWaveIn::unprepare(h);
}

Result FakeWaveIn::addBuffer(WaveHeader* h) {
  calls.push_back("addBuffer");
  ++adds_;
  if (addFailAt > 0 && adds_ == addFailAt) return addFailResult;
  Result r = BasicWaveIn::addBuffer(h);
  if (r == ok) largestBuffer = std::max(largestBuffer, h->bufferLength);
  return r;
}

Result FakeWaveIn::start() {
  calls.push_back("start");
  return BasicWaveIn::start();
}

Result FakeWaveIn::doStart() { return startResult; }

Result FakeWaveIn::reset() {
  calls.push_back("reset");
  return BasicWaveIn::reset();
}

Result FakeWaveIn::close() {
  calls.push_back("close");
  return BasicWaveIn::close();
}

bool FakeWaveIn::fill() {
  if (!isStarted()) return false;
  WaveHeader* h = frontHeader(false);
  if (!h) return false;
  ++filled_;
  for (uint32_t k = 0; k < h->bufferLength; ++k) h->data[k] = patternByte(filled_, k);
  h->bytesRecorded = h->bufferLength;
  completeFront();
  return true;
}

int FakeWaveIn::count(const std::string& call) const {
  return int(std::count(calls.begin(), calls.end(), call));
}

}  // namespace tl::wavein
