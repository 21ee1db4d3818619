#include "player/translate/translation.h"

#include <QTimer>

#include <algorithm>
#include <atomic>

#include "player/lessonmodel.h"

using namespace tl;

struct TranslationService::Job {
  std::shared_ptr<http::Client> client;
  std::thread thread;
  std::atomic<bool> finished{false};
};

TranslationService::TranslationService(LessonModel* model, trans::Service service, QObject* parent,
                                       ClientFactory makeClient)
    : QObject(parent),
      model_(model),
      service_(std::move(service)),
      makeClient_(std::move(makeClient)),
      mailbox_(std::make_shared<Mailbox>(this)) {
  if (model_) {
    connect(model_, &LessonModel::changed, this, [this](Change what, int slot) {
      if (what == Change::Timing) updateTimes();
      if (what == Change::Texts) updateText(slot);
    });
  }
}

TranslationService::~TranslationService() {
  mailbox_->close();
  stop();
  reapJobs(true);
}

bool TranslationService::escapeinit(const std::string& path) { return trans::escapeinit(path, escape_); }

void TranslationService::transwordset() {
  if (!model_) return;
  Lesson& l = model_->lesson();
  trans::transwordset(l, escape_);
  start(trans::copyForWorker(l), model_->loadNumber());
}

TMyThread* TranslationService::makeWorker(trans::WorkerCopy copy, quint64 load) {
  std::shared_ptr<Mailbox> box = mailbox_;
  auto* w = new TMyThread(std::move(copy), service_, load, makeClient_(),
                          [this, box](quint64 ld, const trans::WorkerResult& r) {
                            box->post([this, ld, r] { land(ld, r); });
                          });
  w->inputs().autosnt = autosnt_;
  w->inputs().autoword = autoword_;
  w->inputs().cursub = cursub_;
  w->inputs().nowpos = nowpos_;
  const quint64 serial = ++serial_;
  serials_[w] = serial;
  connect(w, &QThread::finished, this, [this, serial] { workerEnded(serial); });
  workers_.push_back(w);
  transthread_ = w;
  w->start();
  return w;
}

void TranslationService::start(trans::WorkerCopy copy, quint64 loadNumber) {
  if (transthread_) transthread_->stop();
  transthread_ = nullptr;
  lastLoad_ = loadNumber;
  if (!service_.enabled()) {
    lastCopy_ = {};
    return;
  }
  lastCopy_ = copy;
  makeWorker(std::move(copy), loadNumber);
}

void TranslationService::startExtra() {
  if (!service_.enabled()) return;
  makeWorker(lastCopy_, lastLoad_);
}

void TranslationService::setPosition(int32_t cursub, ttime nowpos) {
  cursub_ = cursub;
  nowpos_ = nowpos;
  for (TMyThread* w : workers_) {
    w->inputs().cursub = cursub;
    w->inputs().nowpos = nowpos;
  }
}

void TranslationService::setSwitches(bool autosnt, bool autoword) {
  autosnt_ = autosnt;
  autoword_ = autoword;
  for (TMyThread* w : workers_) {
    w->inputs().autosnt = autosnt;
    w->inputs().autoword = autoword;
  }
}

void TranslationService::updateTimes() {
  if (!model_) return;
  const auto& t = model_->lesson().subtime;
  if (t.size() == lastCopy_.subtime.size()) lastCopy_.subtime = t;
  for (TMyThread* w : workers_)
    if (w->loadNumber() == model_->loadNumber()) w->inputs().setTimes(t);
}

void TranslationService::updateText(int slot) {
  if (!model_) return;
  const Lesson& l = model_->lesson();
  if (slot <= 0 || slot >= int(l.subtext.size())) return;
  if (slot < int(lastCopy_.subtext.size())) lastCopy_.subtext[slot] = l.subtext[slot];
  // A translation already shown stays until the next load.
  if (slot < int(l.jasnt.size()) && !l.jasnt[slot].empty()) return;
  for (TMyThread* w : workers_)
    if (w->loadNumber() == model_->loadNumber()) w->inputs().setText(slot, l.subtext[slot]);
}

void TranslationService::stop(int waitMs) {
  for (TMyThread* w : workers_) w->stop();
  for (TMyThread* w : workers_) {
    if (w->wait(QDeadlineTimer(waitMs))) {
      delete w;
    } else {
      // Still in a transfer that would not end: leave it running alone; it
      // reaches nothing of ours any more (the mailbox is closed by then or
      // the results are of an old load).
      w->setParent(nullptr);
      disconnect(w, nullptr, this, nullptr);
    }
  }
  workers_.clear();
  serials_.clear();
  transthread_ = nullptr;
}

void TranslationService::MyThreadDone() { emit logLine(QString::fromUtf8("翻訳処理終了")); }

void TranslationService::workerEnded(quint64 serial) {
  MyThreadDone();
  // The worker may already be gone (stop() deletes what it waited for): it
  // is found by its serial number, never through its pointer.
  auto it = std::find_if(workers_.begin(), workers_.end(), [&](TMyThread* w) {
    auto s = serials_.find(w);
    return s != serials_.end() && s->second == serial;
  });
  if (it == workers_.end()) return;
  TMyThread* w = *it;
  workers_.erase(it);
  serials_.erase(w);
  if (transthread_ == w) transthread_ = nullptr;
  w->deleteLater();
}

void TranslationService::land(quint64 load, const trans::WorkerResult& r) {
  if (!model_ || load != model_->loadNumber()) return;
  Lesson& l = model_->lesson();
  if (r.slot <= 0 || r.slot >= l.subcount) return;
  if (r.kind == trans::WorkerResult::Word) {
    if (r.slot >= int(l.jawd.size())) return;
    auto& list = l.jawd[r.slot];
    if (r.index < 0 || r.index >= int(list.size()) || list[r.index] != r.before) return;
    list[r.index] = r.text;
  } else {
    if (r.slot >= int(l.jasnt.size()) || !l.jasnt[r.slot].empty()) return;
    // Made from a text edited since: the worker asks again with the new one.
    if (r.slot >= int(l.subtext.size()) || r.source != l.subtext[r.slot]) return;
    l.jasnt[r.slot] = r.text;
  }
  model_->announce(Change::Translations, r.slot);
}

void TranslationService::runJob(std::function<void(http::Client&)> body) {
  reapJobs(false);
  auto job = std::make_unique<Job>();
  job->client = std::shared_ptr<http::Client>(makeClient_());
  Job* j = job.get();
  job->thread = std::thread([j, body = std::move(body)] {
    body(*j->client);
    j->finished = true;
  });
  jobs_.push_back(std::move(job));
}

void TranslationService::reapJobs(bool all) {
  for (auto it = jobs_.begin(); it != jobs_.end();) {
    Job& j = **it;
    if (all) j.client->abort();
    if (all || j.finished.load()) {
      j.thread.join();
      it = jobs_.erase(it);
    } else {
      ++it;
    }
  }
}

void TranslationService::trans(const std::string& text932, std::function<void(const std::string&)> done) {
  if (!service_.enabled() || !makeClient_) {
    QTimer::singleShot(0, this, [done] { done(std::string()); });
    return;
  }
  std::shared_ptr<Mailbox> box = mailbox_;
  const trans::Service s = service_;
  runJob([box, s, text932, done](http::Client& c) {
    const trans::Reply r = trans::translate(c, s, text932, trans::kOnDemandConnectMs, trans::kOnDemandTotalMs);
    const std::string out = r.outcome == trans::Outcome::Translated ? r.text : std::string();
    box->post([done, out] { done(out); });
  });
}

void TranslationService::probeOnce() {
  if (!service_.enabled() || !makeClient_) return;
  const trans::Service s = service_;
  runJob([s](http::Client& c) {
    http::Request rq;
    rq.url = trans::probeUrl(s);
    rq.connectTimeoutMs = trans::kOnDemandConnectMs;
    rq.totalTimeoutMs = trans::kOnDemandTotalMs;
    rq.maxBodyBytes = trans::kReplyCap;
    c.get(rq);
  });
}

QString TranslationService::libraryVersion() { return QString::fromStdString(http::libraryVersion()); }
