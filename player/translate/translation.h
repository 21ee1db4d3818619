// TranslationService: the main window's translation side.  It holds the
// stop-word list, rebuilds the word entries at each load, runs the worker
// (TMyThread) on a copy of the lesson, lands the worker's results in the
// lesson when they still belong there, and answers on-demand translations
// (Translator) off the user-interface thread.
//
// Results land only on the user-interface thread, only while the load they
// were made for is the current one, and only into entries still untranslated.
#pragma once

#include <QObject>
#include <QString>

#include <list>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "core/translation.h"
#include "platform/http/http.h"
#include "player/translate/Unit2.h"
#include "player/translate/translator.h"

class LessonModel;

class TranslationService : public QObject, public Translator {
  Q_OBJECT
 public:
  using ClientFactory = std::function<std::unique_ptr<tl::http::Client>()>;

  TranslationService(LessonModel* model, tl::trans::Service service, QObject* parent = nullptr,
                     ClientFactory makeClient = tl::http::makeCurlClient);
  // Stops every worker and on-demand request (their transfers are aborted)
  // and waits for them a bounded time; nothing they deliver afterwards lands.
  ~TranslationService() override;

  const tl::trans::Service& service() const { return service_; }

  // Loads "escape.txt"; false when it cannot be read (the list stays empty).
  bool escapeinit(const std::string& path);
  const tl::trans::EscapeList& escapelist() const { return escape_; }

  // After a load (and its Change::Load announcement): rebuilds jawd / jasnt
  // of the model's lesson and starts a worker for the model's load number.
  void transwordset();
  // Tells the running worker to stop (not waited for) and starts a new one
  // on `copy`.  With no service host set, no worker is started.
  void start(tl::trans::WorkerCopy copy, quint64 loadNumber);
  // One more worker on the last copy that takes over; the running one goes on.
  void startExtra();

  // What the user-interface thread changes while workers run.
  void setPosition(int32_t cursub, tl::ttime nowpos);
  void setSwitches(bool autosnt, bool autoword);
  // Refreshes the workers' copy of the times (from the model's lesson).
  void updateTimes();
  // Hands an edited cue text to the workers while its sentence is still to
  // be translated.
  void updateText(int slot);

  // Stops every worker and waits up to waitMs for each.
  void stop(int waitMs = 2000);

  // Translator: the on-demand translation, off the user-interface thread,
  // about 2 s to connect and 5 s in all; empty on any failure.
  void trans(const std::string& text932, std::function<void(const std::string& ja932)> done) override;
  // The keep-alive request once through a fresh client; the reply is dropped.
  void probeOnce();
  // The HTTP library's version text.
  static QString libraryVersion();

  TMyThread* transthread() const { return transthread_; }
  int workerCount() const { return int(workers_.size()); }

 signals:
  // Log lines for the main window's logout ("翻訳処理終了" when a worker ends).
  void logLine(const QString& text);

 public slots:
  // End handler of every worker (user-interface thread).
  void MyThreadDone();

 private:
  struct Job;
  void workerEnded(quint64 serial);
  void land(quint64 load, const tl::trans::WorkerResult& r);
  TMyThread* makeWorker(tl::trans::WorkerCopy copy, quint64 load);
  void runJob(std::function<void(tl::http::Client&)> body);
  void reapJobs(bool all);

  LessonModel* model_;
  tl::trans::Service service_;
  ClientFactory makeClient_;
  tl::trans::EscapeList escape_;
  std::shared_ptr<Mailbox> mailbox_;
  std::vector<TMyThread*> workers_;
  std::map<TMyThread*, quint64> serials_;
  quint64 serial_ = 0;
  TMyThread* transthread_ = nullptr;
  tl::trans::WorkerCopy lastCopy_;
  quint64 lastLoad_ = 0;
  bool autosnt_ = true, autoword_ = true;
  int32_t cursub_ = 0;
  tl::ttime nowpos_ = 0;
  std::list<std::unique_ptr<Job>> jobs_;
};
