#include "player/translate/Unit2.h"

TMyThread::TMyThread(tl::trans::WorkerCopy copy, tl::trans::Service service, quint64 loadNumber,
                     std::unique_ptr<tl::http::Client> client, Deliver deliver, QObject* parent)
    : QThread(parent),
      copy_(std::move(copy)),
      service_(std::move(service)),
      load_(loadNumber),
      inputs_(std::make_shared<tl::trans::WorkerInputs>()),
      client_(std::move(client)),
      deliver_(std::move(deliver)) {}

TMyThread::~TMyThread() {
  stop();
  wait();
  if (isFinished())
    while (!ended_.load(std::memory_order_acquire)) QThread::yieldCurrentThread();
}

void TMyThread::stop() {
  inputs_->requestStop();
  if (client_) client_->abort();
}

void TMyThread::run() {
  struct Ended {
    std::atomic<bool>& flag;
    ~Ended() { flag.store(true, std::memory_order_release); }
  } ended{ended_};
  if (!client_) return;
  tl::trans::TransWorker worker(std::move(copy_), *inputs_, *client_, service_, tl::trans::steadyClock(),
                                [this](const tl::trans::WorkerResult& r) {
                                  if (!inputs_->stopRequested()) deliver_(load_, r);
                                });
  worker.run();
}
