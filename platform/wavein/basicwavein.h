// The bookkeeping every wave-input device shares: open state, prepared and
// queued headers, the rules on which call is allowed when, and the posting of
// events to the receiver's thread.  A backend supplies the four do* steps and
// calls frontHeader()/completeFront() from its capture side.
#pragma once

#include "platform/wavein/wavein.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

namespace tl::wavein {

class BasicWaveIn : public WaveIn {
 public:
  ~BasicWaveIn() override;

  Result open(uint32_t device, const WaveFormat& format, QObject* receiver,
              Events events) override;
  Result prepare(WaveHeader* h) override;
  Result unprepare(WaveHeader* h) override;
  Result addBuffer(WaveHeader* h) override;
  Result start() override;
  Result reset() override;
  Result close() override;

  bool isOpen() const;
  bool isStarted() const;
  size_t queuedCount() const;

 protected:
  // Opens the device itself; the format was checked already.
  virtual Result doOpen(uint32_t device, const WaveFormat& format) = 0;
  // Begins capturing into the queued buffers.
  virtual Result doStart() = 0;
  // Halts capturing; once it returns no buffer is being written.
  virtual void doStop() = 0;
  virtual void doClose() = 0;

  // Called by the backend whenever it wants to write: the oldest queued
  // header, or nullptr.  With wait, blocks until there is one or
  // stopRequested() becomes true.
  WaveHeader* frontHeader(bool wait);
  // The oldest queued header is done: taken off the queue, onData posted.
  // Headers done in a row reach the receiver in one posted call, in order.
  void completeFront();
  // True from the start of doStop() until the next doStart().
  bool stopRequested() const;
  const WaveFormat& format() const { return format_; }

 private:
  void post(std::function<void()> fn);

  mutable std::mutex m_;
  std::condition_variable cv_;
  std::deque<WaveHeader*> queue_;
  bool open_ = false;
  bool started_ = false;
  bool stop_ = false;
  WaveFormat format_;
  QObject* receiver_ = nullptr;
  Events events_;
  // Done headers not yet handed to the receiver; shared with the posted call,
  // which may run after this object is gone.
  struct Mailbox {
    std::mutex m;
    std::deque<WaveHeader*> done;
    bool posted = false;
    std::function<void(WaveHeader*)> onData;
  };
  std::shared_ptr<Mailbox> mailbox_;
};

}  // namespace tl::wavein
