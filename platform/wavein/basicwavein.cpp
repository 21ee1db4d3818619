#include "platform/wavein/basicwavein.h"

#include <QMetaObject>
#include <QObject>
#include <QPointer>

namespace tl::wavein {

namespace {

bool validFormat(const WaveFormat& f) {
  if (f.formatTag != 1 || f.cbSize != 0) return false;
  if (f.channels != 1 && f.channels != 2) return false;
  if (f.bitsPerSample != 8 && f.bitsPerSample != 16) return false;
  if (f.samplesPerSec == 0) return false;
  if (f.blockAlign != f.channels * (f.bitsPerSample / 8)) return false;
  return f.avgBytesPerSec == f.blockAlign * f.samplesPerSec;
}

}  // namespace

BasicWaveIn::~BasicWaveIn() = default;

void BasicWaveIn::post(std::function<void()> fn) {
  // A QPointer guards against a receiver that went away; Qt also drops the
  // posted call together with the receiver's other pending events.
  if (!receiver_ || !fn) return;
  QPointer<QObject> guard(receiver_);
  QMetaObject::invokeMethod(
      receiver_, [guard, fn = std::move(fn)] { if (guard) fn(); }, Qt::QueuedConnection);
}

Result BasicWaveIn::open(uint32_t device, const WaveFormat& format, QObject* receiver,
                         Events events) {
  {
    std::lock_guard lk(m_);
    if (open_) return err_allocated;
  }
  if (device != wave_mapper && device >= max_devices) return err_baddeviceid;
  if (!validFormat(format)) return err_badformat;
  Result r = doOpen(device, format);
  if (r != ok) return r;
  {
    std::lock_guard lk(m_);
    open_ = true;
    started_ = false;
    stop_ = false;
    format_ = format;
    receiver_ = receiver;
    events_ = std::move(events);
    mailbox_ = std::make_shared<Mailbox>();
    mailbox_->onData = events_.onData;
  }
  post(events_.onOpen);
  return ok;
}

Result BasicWaveIn::prepare(WaveHeader* h) {
  std::lock_guard lk(m_);
  if (!open_) return err_invalhandle;
  if (!h || !h->data || h->bufferLength == 0) return err_invalparam;
  h->flags |= hdr_prepared;
  return ok;
}

Result BasicWaveIn::unprepare(WaveHeader* h) {
  std::lock_guard lk(m_);
  if (!open_) return err_invalhandle;
  if (!h) return err_invalparam;
  if (h->flags & hdr_inqueue) return err_stillplaying;
  h->flags &= ~hdr_prepared;
  return ok;
}

Result BasicWaveIn::addBuffer(WaveHeader* h) {
  std::lock_guard lk(m_);
  if (!open_) return err_invalhandle;
  if (!h || !h->data || h->bufferLength == 0) return err_invalparam;
  if (!(h->flags & hdr_prepared)) return err_unprepared;
  if (h->flags & hdr_inqueue) return err_stillplaying;
  h->flags = (h->flags & ~hdr_done) | hdr_inqueue;
  h->bytesRecorded = 0;
  queue_.push_back(h);
  cv_.notify_all();
  return ok;
}

Result BasicWaveIn::start() {
  {
    std::lock_guard lk(m_);
    if (!open_) return err_invalhandle;
    if (started_) return ok;
    stop_ = false;
  }
  Result r = doStart();
  if (r != ok) return r;
  std::lock_guard lk(m_);
  started_ = true;
  return ok;
}

Result BasicWaveIn::reset() {
  {
    std::lock_guard lk(m_);
    if (!open_) return err_invalhandle;
    stop_ = true;
    cv_.notify_all();
  }
  doStop();
  std::deque<WaveHeader*> back;
  {
    std::lock_guard lk(m_);
    started_ = false;
    back.swap(queue_);
  }
  for (WaveHeader* h : back) {
    h->flags = (h->flags & ~hdr_inqueue) | hdr_done;
    auto onData = events_.onData;
    if (onData) post([onData, h] { onData(h); });
  }
  return ok;
}

Result BasicWaveIn::close() {
  {
    std::lock_guard lk(m_);
    if (!open_) return err_invalhandle;
    if (!queue_.empty()) return err_stillplaying;
    stop_ = true;
    cv_.notify_all();
  }
  doStop();
  doClose();
  auto onClose = events_.onClose;
  post(onClose);
  std::lock_guard lk(m_);
  open_ = false;
  started_ = false;
  receiver_ = nullptr;
  events_ = {};
  mailbox_.reset();
  return ok;
}

bool BasicWaveIn::isOpen() const {
  std::lock_guard lk(m_);
  return open_;
}

bool BasicWaveIn::isStarted() const {
  std::lock_guard lk(m_);
  return started_;
}

size_t BasicWaveIn::queuedCount() const {
  std::lock_guard lk(m_);
  return queue_.size();
}

bool BasicWaveIn::stopRequested() const {
  std::lock_guard lk(m_);
  return stop_;
}

WaveHeader* BasicWaveIn::frontHeader(bool wait) {
  std::unique_lock lk(m_);
  if (wait) cv_.wait(lk, [this] { return stop_ || !queue_.empty(); });
  if (stop_ && wait) return nullptr;
  return queue_.empty() ? nullptr : queue_.front();
}

void BasicWaveIn::completeFront() {
  std::shared_ptr<Mailbox> box;
  {
    std::lock_guard lk(m_);
    if (queue_.empty()) return;
    WaveHeader* h = queue_.front();
    queue_.pop_front();
    h->flags = (h->flags & ~hdr_inqueue) | hdr_done;
    box = mailbox_;
    if (!box || !box->onData) return;
    std::lock_guard bl(box->m);
    box->done.push_back(h);
    if (box->posted) return;  // the call already on its way takes this one too
    box->posted = true;
  }
  // One wake-up of the receiver's thread for every header done meanwhile.
  post([box] {
    std::deque<WaveHeader*> done;
    {
      std::lock_guard bl(box->m);
      done.swap(box->done);
      box->posted = false;
    }
    for (WaveHeader* h : done) box->onData(h);
  });
}

}  // namespace tl::wavein
