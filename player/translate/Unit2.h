// TMyThread: the translation worker.  It runs the passes of
// tl::trans::TransWorker on its own copy of the lesson's texts, times and word
// entries; what the user-interface thread changes meanwhile (position,
// displayed cue, switches, times) reaches it through WorkerInputs.  Results
// go back through a Mailbox as queued calls; the worker never touches the
// lesson.
#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

#include "core/translation.h"
#include "platform/http/http.h"

// Posts calls to an object on its own thread for as long as the object wants
// them: after close() nothing more is posted.
class Mailbox {
 public:
  explicit Mailbox(QObject* target) : target_(target) {}
  template <class F>
  void post(F f) {
    std::lock_guard<std::mutex> lock(m_);
    if (target_) QMetaObject::invokeMethod(target_, std::move(f), Qt::QueuedConnection);
  }
  void close() {
    std::lock_guard<std::mutex> lock(m_);
    target_ = nullptr;
  }

 private:
  std::mutex m_;
  QObject* target_;
};

class TMyThread : public QThread {
  Q_OBJECT
 public:
  using Deliver = std::function<void(quint64 load, const tl::trans::WorkerResult&)>;

  TMyThread(tl::trans::WorkerCopy copy, tl::trans::Service service, quint64 loadNumber,
            std::unique_ptr<tl::http::Client> client, Deliver deliver, QObject* parent = nullptr);
  // Stops the worker and waits for it.
  ~TMyThread() override;

  tl::trans::WorkerInputs& inputs() { return *inputs_; }
  quint64 loadNumber() const { return load_; }
  // Asks the worker to end and aborts its running transfer at once.  Any thread.
  void stop();

 protected:
  void run() override;  // the worker's body

 private:
  tl::trans::WorkerCopy copy_;
  tl::trans::Service service_;
  quint64 load_;
  std::shared_ptr<tl::trans::WorkerInputs> inputs_;
  std::shared_ptr<tl::http::Client> client_;
  Deliver deliver_;
  // Set as the body's last step: what the body did happens before the
  // destructor's release of the worker's data (QThread::wait alone is not
  // visible to thread checkers).
  std::atomic<bool> ended_{false};
};
