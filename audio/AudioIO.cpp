#include "audio/AudioIO.h"

#include <algorithm>
#include <new>

namespace tl {

using namespace wavein;

// ---- TAudioIO --------------------------------------------------------------

TAudioIO::TAudioIO(QObject* owner) : QObject(owner) {
  format_.formatTag = 1;
  format_.bitsPerSample = 16;
  format_.channels = 1;
  format_.samplesPerSec = 22050;
  format_.cbSize = 0;
  UpdateFormat();
  AllocBuffers();
}

TAudioIO::~TAudioIO() { FreeBuffers(); }

void TAudioIO::UpdateFormat() {
  format_.blockAlign = uint16_t((format_.bitsPerSample / 8) * format_.channels);
  format_.avgBytesPerSec = uint32_t(format_.blockAlign) * format_.samplesPerSec;
  bufferSize_ = requestedSize_ - requestedSize_ % format_.blockAlign;
}

void TAudioIO::setBufferSize(int value) {
  requestedSize_ = std::max(value, kMinBufferSize);
  UpdateFormat();
  if (buffersInUse()) {
    // The device still writes into the current buffers: make the new ones
    // once it has closed.
    sizePending_ = true;
    return;
  }
  FreeBuffers();
  AllocBuffers();
}

void TAudioIO::applyPendingSize() {
  if (!sizePending_ || buffersInUse()) return;
  sizePending_ = false;
  FreeBuffers();
  AllocBuffers();
}

void TAudioIO::setNumBuffers(int value) { numBuffers_ = std::clamp(value, 2, kMaxBuffers); }

void TAudioIO::setFrameRate(int value) {
  format_.samplesPerSec = uint32_t(value);
  UpdateFormat();
}

void TAudioIO::setStereo(bool value) {
  format_.channels = value ? 2 : 1;
  UpdateFormat();
}

void TAudioIO::setQuantization(uint16_t value) {
  format_.bitsPerSample = value <= 8 ? 8 : 16;
  UpdateFormat();
}

bool TAudioIO::AllocBuffers() {
  // Every ring position gets a buffer of the requested size: the effective
  // size of any format is at most that, and NumBuffers may be raised later.
  try {
    for (int i = 0; i < kMaxBuffers; ++i) {
      buffers_[i].assign(size_t(requestedSize_), 0);
      headers_[i].data = buffers_[i].data();
    }
  } catch (const std::bad_alloc&) {
    FreeBuffers();
    lastErrorText_ = QStringLiteral("Error allocating wave buffer memory");
    return false;
  }
  return true;
}

void TAudioIO::FreeBuffers() {
  for (int i = 0; i < kMaxBuffers; ++i) {
    std::vector<char>().swap(buffers_[i]);
    headers_[i].data = nullptr;
  }
}

void TAudioIO::InitHeaders() {
  UpdateFormat();
  for (int i = 0; i < numBuffers_; ++i) {
    WaveHeader& h = headers_[i];
    h = WaveHeader{};
    h.data = buffers_[i].empty() ? nullptr : buffers_[i].data();
    h.bufferLength = uint32_t(std::min<size_t>(size_t(bufferSize_), buffers_[i].size()));
  }
}

void TAudioIO::Stop() {
  running_ = false;
  recording_ = false;
}

void TAudioIO::Drain() { recording_ = false; }

// ---- TAudioIn --------------------------------------------------------------

TAudioIn::TAudioIn(QObject* owner, std::unique_ptr<WaveIn> device)
    : TAudioIO(owner), device_(device ? std::move(device) : makeSystemWaveIn()) {}

TAudioIn::~TAudioIn() {
  // Never free buffers that a device may still write into.
  Stop();
}

void TAudioIn::setDeviceError(Result code, const QString& prefix) {
  lastErrorText_ = prefix + QString::fromStdString(errorText(code));
}

bool TAudioIn::Start() {
  if (!OpenDevice()) return false;
  return BeginRecording();
}

bool TAudioIn::OpenDevice() {
  if (deviceOpen_) {
    lastErrorText_ = QStringLiteral("Wave Input device is already open");
    return false;
  }
  ringPos_ = 0;
  applyPendingSize();
  if (buffers_[0].empty()) {
    lastErrorText_ = QStringLiteral("Error allocating wave buffer memory");
    return false;
  }
  const uint64_t session = ++session_;
  Events ev;
  ev.onOpen = [this, session] { onOpen(session); };
  ev.onData = [this, session](WaveHeader* h) { onData(session, h); };
  ev.onClose = [this, session] { onClose(session); };
  Result r = device_->open(waveDevice_, format_, this, std::move(ev));
  if (r != ok) {
    setDeviceError(r);
    return false;
  }
  deviceOpen_ = true;
  InitHeaders();
  for (int i = 0; i < numBuffers_; ++i) {
    r = device_->prepare(&headers_[i]);
    if (r != ok) {
      setDeviceError(r);
      CloseDevice();
      return false;
    }
  }
  queuedCount_ = 0;
  recording_ = true;
  running_ = true;
  return true;
}

bool TAudioIn::BeginRecording() {
  Result r = device_->start();
  if (r != ok) {
    CloseDevice();
    setDeviceError(r, QStringLiteral("Error starting wave record: "));
    return false;
  }
  running_ = true;
  for (int i = 0; i < numBuffers_; ++i) {
    if (!QueueNext()) {
      CloseDevice();
      return false;
    }
  }
  return true;
}

bool TAudioIn::queueHeader(WaveHeader* h) {
  h->flags = hdr_prepared;
  Result r = device_->addBuffer(h);
  if (r != ok) {
    setDeviceError(r);
    Drain();
    return false;
  }
  ++queuedCount_;
  return true;
}

bool TAudioIn::QueueNext() {
  if (!queueHeader(&headers_[ringPos_])) return false;
  ringPos_ = (ringPos_ + 1) % numBuffers_;
  return true;
}

bool TAudioIn::DispatchBuffer(char* buffer, int size) {
  if (!recording_) return false;
  if (!OnBufferFilled) return true;
  int s = size;
  return OnBufferFilled(buffer, s);
}

void TAudioIn::onData(uint64_t session, WaveHeader* h) {
  // Buffers returned by the reset of a closed recording are not handed over.
  if (session != session_ || !deviceOpen_) return;
  --queuedCount_;
  running_ = queuedCount_ > 0;
  const bool again = DispatchBuffer(h->data, int(h->bytesRecorded));
  // The handler may have stopped (or even restarted) the recording.
  if (session != session_ || !deviceOpen_) return;
  // The buffer that just came back goes to the device again.
  if (again) queueHeader(h);
  if (!running_) {
    recording_ = false;
    CloseDevice();
  }
}

void TAudioIn::onOpen(uint64_t) {
  if (OnStart) OnStart(this);
}

void TAudioIn::onClose(uint64_t) {
  if (OnStop) OnStop(this);
}

Result TAudioIn::CloseDevice() {
  running_ = false;
  recording_ = false;
  // Reset first: every queued buffer comes back, so that each header can be
  // unprepared and the device closed.
  device_->reset();
  for (WaveHeader& h : headers_)
    if (h.flags & hdr_prepared) device_->unprepare(&h);
  Result r = device_->close();
  deviceOpen_ = false;
  queuedCount_ = 0;
  applyPendingSize();
  return r;
}

void TAudioIn::Stop() {
  if (!deviceOpen_) return;
  running_ = false;
  recording_ = false;
  CloseDevice();
}

void TAudioIn::Drain() {
  if (deviceOpen_) recording_ = false;
}

}  // namespace tl
