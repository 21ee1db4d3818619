// The translation worker and the on-demand translation against the fake
// server on 127.0.0.1: results land in the current load only, failures never
// hammer the server, and closing during a request ends at once.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>

#include "player/lessonmodel.h"
#include "player/translate/translation.h"
#include "support/fakehttpserver.h"
#include "support/waituntil.h"
#include "support/lessonbuilder.h"

using namespace tl;
using tl::test::FakeHttpServer;

namespace {

using tl::test::pump;
using tl::test::waitUntil;

void load(LessonModel& m, const std::vector<std::string>& cues) {
  test::LessonBuilder b;
  for (size_t k = 0; k < cues.size(); ++k) b.cue(ttime(k + 1) * 20000, ttime(k + 1) * 20000 + 10000, cues[k] + "\r\n");
  m.lesson() = b.build();
  m.announce(Change::Load);
}

std::string textOf(const std::string& target) {
  const size_t k = target.find("&text=");
  return k == std::string::npos ? std::string("probe") : target.substr(k + 6);
}

}  // namespace

TEST(TMyThread, TranslationsLandInTheTablesAndAreAnnounced) {
  FakeHttpServer s;
  s.setDefault(FakeHttpServer::answer("<string>\xE8\xA8\xB3</string>"));  // "訳"
  LessonModel m;
  load(m, {"Wait, I'll see you tomorrow.", "Hello there"});
  TranslationService ts(&m, {s.hostPort(), "ID"});
  std::vector<Change> changes;
  QObject::connect(&m, &LessonModel::changed, [&](Change c, int) { changes.push_back(c); });
  ts.transwordset();
  ASSERT_NE(ts.transthread(), nullptr);
  const Lesson& l = m.lesson();
  ASSERT_TRUE(waitUntil([&] { return !l.jasnt[3].empty() && !trans::untranslated(l.jawd[3][1]); }, 5000));
  EXPECT_EQ(l.jasnt[1], "\x96\xF3");
  EXPECT_EQ(l.jawd[1], (std::vector<std::string>{"000\x96\xF3", "019\x96\xF3"}));
  EXPECT_GE(changes.size(), 4u);
  EXPECT_EQ(changes.at(0), Change::Translations);

  const auto seen = s.requests();
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen[0].requestLine, "GET /V2/http.svc/Translate?appId=ID&from=en&to=ja&text=Wait HTTP/1.1");
  EXPECT_EQ(seen[0].headers.at("connection"), "keep-alive");
  EXPECT_EQ(textOf(seen[1].target), "Wait%2C+I'll+see+you+tomorrow.%0D%0A");
  EXPECT_EQ(s.connections(), 1);  // one kept-alive connection
}

TEST(TMyThread, AReloadDuringARequestLetsNoOldResultLand) {
  FakeHttpServer s;
  s.push(FakeHttpServer::answer("old", 200, 800));
  s.setDefault(FakeHttpServer::answer("new"));
  LessonModel m;
  load(m, {"Alpha"});
  TranslationService ts(&m, {s.hostPort(), "ID"});
  ts.transwordset();
  ASSERT_TRUE(s.waitForRequests(1, 3000));
  // A reload that starts no new worker: the old one answers for an old load.
  load(m, {"Alpha"});
  m.lesson().jawd[1] = {"nts000Alpha"};
  pump(1200);
  EXPECT_EQ(m.lesson().jawd[1], (std::vector<std::string>{"nts000Alpha"}));
  EXPECT_TRUE(m.lesson().jasnt[1].empty());

  // A proper reload: the old worker's transfer is aborted, the new one fills the new table.
  s.push(FakeHttpServer::answer("stale", 200, 800));
  ts.transwordset();
  const TMyThread* second = ts.transthread();
  ASSERT_TRUE(s.waitForRequests(s.requestCount() + 1, 3000));
  load(m, {"Bravo"});
  ts.transwordset();
  EXPECT_NE(ts.transthread(), second);
  const Lesson& l = m.lesson();
  ASSERT_TRUE(waitUntil([&] { return l.jasnt[1] == "new"; }, 5000));
  EXPECT_EQ(l.jawd[1], (std::vector<std::string>{"000new"}));
  pump(1000);  // the aborted "stale" reply never shows up
  EXPECT_EQ(l.jasnt[1], "new");
  EXPECT_TRUE(waitUntil([&] { return ts.workerCount() == 1; }, 3000));
}

TEST(TMyThread, AServerThatClosesOrFailsIsAskedRarely) {
  FakeHttpServer s;
  s.setDefault(FakeHttpServer::close());
  LessonModel m;
  load(m, {"Alpha Bravo", "Charlie"});
  TranslationService ts(&m, {s.hostPort(), "ID"});
  ts.transwordset();
  pump(4000);
  // At 0 s and after the 3 s pause: nothing like a busy loop.
  EXPECT_LE(s.requestCount(), 3);
  EXPECT_GE(s.requestCount(), 1);
  EXPECT_TRUE(trans::untranslated(m.lesson().jawd[1][0]));  // kept for a later try

  // 503 and 429 are retried later; a 404 marks the word done with no text.
  FakeHttpServer t;
  t.push(FakeHttpServer::answer("", 404));
  t.setDefault(FakeHttpServer::answer("", 503));
  LessonModel m2;
  load(m2, {"Alpha"});
  TranslationService ts2(&m2, {t.hostPort(), "ID"});
  ts2.setSwitches(false, true);
  ts2.transwordset();
  ASSERT_TRUE(waitUntil([&] { return m2.lesson().jawd[1][0] == "000"; }, 3000));
}

TEST(TMyThread, GarbageRepliesNeverCrash) {
  FakeHttpServer s;
  std::string junk("\0\x01<\xFF\xFE>\x80zz<", 10);
  s.setDefault(FakeHttpServer::answer(junk));
  LessonModel m;
  load(m, {"Alpha"});
  TranslationService ts(&m, {s.hostPort(), "ID"});
  ts.transwordset();
  ASSERT_TRUE(waitUntil([&] { return !m.lesson().jasnt[1].empty(); }, 3000));
  EXPECT_EQ(m.lesson().jasnt[1], std::string("\0\x01?zz<", 6));
}

TEST(TMyThread, ClosingDuringARequestEndsAtOnceAndNoEndHandlerRunsLater) {
  FakeHttpServer s;
  s.setDefault(FakeHttpServer::silent());
  LessonModel m;
  load(m, {"Alpha"});
  int logs = 0;
  QElapsedTimer t;
  {
    TranslationService ts(&m, {s.hostPort(), "ID"});
    QObject::connect(&ts, &TranslationService::logLine, [&](const QString&) { ++logs; });
    ts.transwordset();
    ts.trans("Bravo", [](const std::string&) { ADD_FAILURE() << "no answer after close"; });
    ASSERT_TRUE(s.waitForRequests(2, 3000));
    t.start();
  }
  EXPECT_LT(t.elapsed(), 1000);
  pump(200);
  EXPECT_EQ(logs, 0);
}

TEST(TMyThread, TheEndHandlerLogsWhenAWorkerIsReplaced) {
  FakeHttpServer s;
  LessonModel m;
  load(m, {"Alpha"});
  TranslationService ts(&m, {s.hostPort(), "ID"});
  QStringList logs;
  QObject::connect(&ts, &TranslationService::logLine, [&](const QString& x) { logs << x; });
  ts.transwordset();
  ts.startExtra();  // one more, the first goes on
  EXPECT_EQ(ts.workerCount(), 2);
  ts.transwordset();  // stops the current one only
  ASSERT_TRUE(waitUntil([&] { return logs.count() >= 1; }, 3000));
  EXPECT_EQ(logs.at(0), QString::fromUtf8("翻訳処理終了"));
  EXPECT_EQ(ts.workerCount(), 2);
}

TEST(TMyThread, NoHostNoWorkerNoRequest) {
  LessonModel m;
  load(m, {"Alpha"});
  TranslationService ts(&m, {});
  ts.transwordset();
  EXPECT_EQ(ts.transthread(), nullptr);
  EXPECT_EQ(m.lesson().jawd[1], (std::vector<std::string>{"nts000Alpha"}));
  bool called = false;
  std::string got = "x";
  ts.trans("Alpha", [&](const std::string& r) { called = true, got = r; });
  EXPECT_FALSE(called);  // never synchronous
  ASSERT_TRUE(waitUntil([&] { return called; }, 1000));
  EXPECT_EQ(got, "");
}

TEST(Translator, OnDemandAnswersLaterAndKeepsTheWindowResponsive) {
  FakeHttpServer s;
  s.push(FakeHttpServer::answer("<s>ok</s>"));
  s.push(FakeHttpServer::answer("x", 500));
  s.push(FakeHttpServer::silent());
  TranslationService ts(nullptr, {s.hostPort(), "ID"});
  std::vector<std::string> got;
  auto done = [&](const std::string& r) { got.push_back(r); };
  ts.trans("a b&c", done);
  ASSERT_TRUE(waitUntil([&] { return got.size() == 1; }, 3000));
  ts.trans("x", done);
  ASSERT_TRUE(waitUntil([&] { return got.size() == 2; }, 3000));
  EXPECT_EQ(got, (std::vector<std::string>{"ok", ""}));
  EXPECT_EQ(textOf(s.requests()[0].target), "a+b%26c");

  // A silent server: the answer is empty within the 5 s limit, and the
  // event loop goes on meanwhile.
  int ticks = 0;
  QTimer timer;
  QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
  timer.start(50);
  QElapsedTimer t;
  t.start();
  ts.trans("slow", done);
  ASSERT_TRUE(waitUntil([&] { return got.size() == 3; }, 8000));
  EXPECT_EQ(got[2], "");
  EXPECT_GE(t.elapsed(), 4500);
  EXPECT_LT(t.elapsed(), 7000);
  EXPECT_GT(ticks, 60);
}
