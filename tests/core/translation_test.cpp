// Translation rules: encoding, replies, stop words, word entries, and the
// worker's rhythm on a scripted client and a clock that only moves when told.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

#include "core/srtread.h"
#include "core/translation.h"
#include "platform/http/fakeclient.h"
#include "platform/registry/registry.h"
#include "support/lessonbuilder.h"
#include "support/tempfolder.h"

using namespace tl;
using namespace tl::trans;
using tl::http::FakeClient;

namespace {

class FakeClock : public WorkerClock {
 public:
  uint64_t now = 100000;  // far from 0, as a tick count is
  std::vector<uint64_t> sleeps;
  uint64_t nowMs() override { return now; }
  void sleepMs(uint64_t ms, WorkerInputs&) override {
    if (ms > 1) sleeps.push_back(ms);
    now += ms;
  }
};

std::string textOf(const http::Request& r) {
  const size_t k = r.url.find("&text=");
  if (k == std::string::npos) return {};
  std::string t = r.url.substr(k + 6);
  const size_t amp = t.find('&');
  return amp == std::string::npos ? t : t.substr(0, amp);
}
bool isProbe(const http::Request& r) { return r.url.find("?appId=ID&text=a&from=en&to=ja") != std::string::npos; }

Service svc() { return Service{"127.0.0.1:9", "ID"}; }

// Cue k (slot 2k-1) starts at k * step; its text is given.
WorkerCopy table(const std::vector<std::string>& cues, ttime step, const EscapeList& esc = {}) {
  test::LessonBuilder b;
  for (size_t k = 0; k < cues.size(); ++k) b.cue(ttime(k + 1) * step, ttime(k + 1) * step + step / 2, cues[k] + "\r\n");
  Lesson l = b.unloaded().build();
  transwordset(l, esc);
  return copyForWorker(l);
}

struct Rig {
  FakeClient client;
  FakeClock clock;
  WorkerInputs in;
  std::vector<WorkerResult> got;
  std::unique_ptr<TransWorker> w;
  void start(WorkerCopy c, Service s = svc()) {
    client.onRequest = [this](const http::Request&) { clock.now += 20; };
    w = std::make_unique<TransWorker>(std::move(c), in, client, s, clock,
                                      [this](const WorkerResult& r) { got.push_back(r); });
  }
  std::vector<std::string> texts() {
    std::vector<std::string> t;
    for (const auto& r : client.requests()) t.push_back(isProbe(r) ? "probe" : textOf(r));
    return t;
  }
};

}  // namespace

TEST(Translation, QueryEncoding) {
  EXPECT_EQ(queryEncode("a b&c"), "a+b%26c");
  EXPECT_EQ(queryEncode("\r\n"), "%0D%0A");
  EXPECT_EQ(queryEncode("AZaz09*@._-$!'()"), "AZaz09*@._-$!'()");
  EXPECT_EQ(queryEncode(std::string("\0/?%+\x82\xA0\xFF", 8)), "%00%2F%3F%25%2B%82%A0%FF");
}

TEST(Translation, RequestAndProbeUrls) {
  const Service s{"example.test:8080", "ABC"};
  EXPECT_EQ(translateUrl(s, "Hi you.\r\n"),
            "http://example.test:8080/V2/http.svc/Translate?appId=ABC&from=en&to=ja&text=Hi+you.%0D%0A");
  EXPECT_EQ(probeUrl(s), "http://example.test:8080/V2/http.svc/Translate?appId=ABC&text=a&from=en&to=ja");
}

TEST(Translation, ServiceSettingsAndTheirOverride) {
  unsetenv("TALLISEN_TRANS_HOST");
  unsetenv("TALLISEN_TRANS_APPID");
  reg::Hive h;
  Service s = readService(h);
  EXPECT_FALSE(s.enabled());  // nothing set: nothing is ever sent
  EXPECT_EQ(s.appId, kDefaultAppId);
  EXPECT_EQ(std::string(kDefaultAppId).size(), 40u);

  h.setString(kServiceKey, "host", "trans.example:81");
  h.setString(kServiceKey, "appid", "0123");
  s = readService(h);
  EXPECT_EQ(s.host, "trans.example:81");
  EXPECT_EQ(s.appId, "0123");

  h.setString(kServiceKey, "host", "evil.example/path?x");  // not a host name
  EXPECT_FALSE(readService(h).enabled());

  setenv("TALLISEN_TRANS_HOST", "127.0.0.1:5", 1);
  EXPECT_EQ(readService(h).host, "127.0.0.1:5");
  setenv("TALLISEN_TRANS_HOST", "", 1);  // set but empty: switched off
  h.setString(kServiceKey, "host", "trans.example");
  EXPECT_FALSE(readService(h).enabled());
  unsetenv("TALLISEN_TRANS_HOST");
}

TEST(Translation, TagRemoval) {
  EXPECT_EQ(tagdel("<string xmlns=\"x\">Hello</string>"), "Hello");
  EXPECT_EQ(tagdel(">a<b"), ">a<b");          // lone ">" first: unchanged
  EXPECT_EQ(tagdel("a > b <i>c</i>"), "a > b <i>c</i>");
  EXPECT_EQ(tagdel("<a<b>>x"), ">x");
  EXPECT_EQ(tagdel(" x &amp; y "), " x &amp; y ");  // untrimmed, references kept
  EXPECT_EQ(tagdel("<open"), "<open");
}

TEST(Translation, ReplyTextIs932WithBadBytesReplaced) {
  // "こんにちは" in UTF-8 -> code page 932.
  EXPECT_EQ(replyText("<s>\xE3\x81\x93\xE3\x82\x93</s>"), "\x82\xB1\x82\xF1");
  EXPECT_EQ(replyText("a\xFF" "b"), "a?b");             // invalid UTF-8
  EXPECT_EQ(replyText("\xF0\x9F\x98\x80"), "?");         // no 932 form
  EXPECT_EQ(replyText(std::string("a\0b", 3)), std::string("a\0b", 3));
  // A long translation keeps its first characters, never half of one.
  std::string ja, kept = "a";
  for (int k = 0; k < 20000; ++k) ja += "\xE8\xA8\xB3";  // "訳"
  while (kept.size() + 2 <= kTranslationBytes) kept += "\x96\xF3";
  ASSERT_EQ(kept.size(), kTranslationBytes - 1);
  EXPECT_EQ(replyText("<s>a" + ja + "</s>"), kept);
}

TEST(Translation, ReplyOutcomes) {
  EXPECT_EQ(handleReply(FakeClient::answer("<s>x</s>")).outcome, Outcome::Translated);
  EXPECT_EQ(handleReply(FakeClient::answer("<s></s>")).text, "");
  EXPECT_EQ(handleReply(FakeClient::answer("")).outcome, Outcome::Done);
  for (int st : {400, 403, 404, 302})
    EXPECT_EQ(handleReply(FakeClient::answer("x", st)).outcome, Outcome::Done) << st;
  for (int st : {429, 500, 502, 503})
    EXPECT_EQ(handleReply(FakeClient::answer("x", st)).outcome, Outcome::Retry) << st;
  EXPECT_EQ(handleReply(FakeClient::noAnswer()).outcome, Outcome::Retry);

  // A body above 64 KiB is a failure that is not asked again.
  FakeClient c;
  c.push(FakeClient::answer(std::string(kReplyCap + 1, 'x')));
  c.push(FakeClient::answer(std::string(kReplyCap, 'x')));
  const Service s = svc();
  EXPECT_EQ(translate(c, s, "w", 1, 1).outcome, Outcome::Done);
  EXPECT_EQ(translate(c, s, "w", 1, 1).text.size(), kTranslationBytes);  // kept to what shows
  EXPECT_EQ(c.requests().at(0).maxBodyBytes, kReplyCap);
  // No host: no request at all.
  EXPECT_EQ(translate(c, Service{}, "w", 1, 1).outcome, Outcome::Done);
  EXPECT_EQ(c.requests().size(), 2u);
}

TEST(Translation, StopWordsAreFoundWithoutRegardToCase) {
  EscapeList e;
  e.load("THE\r\nwould\r\n\r\nTomorrow\n");
  EXPECT_EQ(e.size(), 3u);
  EXPECT_TRUE(e.contains("the"));
  EXPECT_TRUE(e.contains("Would"));
  EXPECT_TRUE(e.contains("TOMORROW"));
  EXPECT_FALSE(e.contains("wait"));

  const tl::test::TempFolder tmp("tl-escape");
  const std::string& dir = tmp.path;
  EscapeList f;
  EXPECT_FALSE(escapeinit(dir + "/no-such-escape.txt", f));
  EXPECT_EQ(f.size(), 0u);
  std::ofstream(dir + "/escape.txt") << "Wait\r\n";
  EXPECT_TRUE(escapeinit(dir + "/escape.txt", f));
  EXPECT_TRUE(f.contains("WAIT"));
}

TEST(Translation, WordEntriesOfACue) {
  EscapeList none;
  EXPECT_EQ(wordEntries("Wait, I'll see you tomorrow.\r\n", none),
            (std::vector<std::string>{"nts000Wait", "nts019tomorrow"}));
  EscapeList e;
  e.load("TOMORROW\r\n");
  EXPECT_EQ(wordEntries("Wait, I'll see you tomorrow.\r\n", e), (std::vector<std::string>{"nts000Wait"}));
  // A run at the very end (no byte after it) is not listed.
  EXPECT_TRUE(wordEntries("tomorrow", none).empty());
  // Letter bytes inside a double-byte character count as letters.
  EXPECT_EQ(wordEntries("\x83" "ABCD ", none), (std::vector<std::string>{"nts001ABCD"}));
  // Offsets up to 999 only: the entry holds three digits.
  const std::string pad(999, ' ');
  EXPECT_EQ(wordEntries(pad + "Later Again\r\n", none), (std::vector<std::string>{"nts999Later"}));
  EXPECT_TRUE(wordEntries(pad + " Later\r\n", none).empty());
}

TEST(Translation, TranswordsetRebuildsBothTables) {
  Lesson l;
  l.subcount = 3;
  l.subtext = {"", "Hello there\r\n", ""};
  l.jawd = {{"x"}, {"y"}, {"z"}, {"w"}};
  l.jasnt = {"a", "b", "c", "d"};
  transwordset(l, EscapeList{});
  EXPECT_EQ(l.jawd, (std::vector<std::vector<std::string>>{{}, {"nts000Hello", "nts006there"}, {}}));
  EXPECT_EQ(l.jasnt, std::vector<std::string>(3));
}

TEST(TransWorker, IdleRhythmSleepsAndProbesEveryFiveSeconds) {
  Rig r;
  r.in.autosnt = false;  // only words, and none to translate
  r.start(table({"a b", "c d"}, 10000));
  const uint64_t t0 = r.clock.now;
  std::vector<uint64_t> probes;
  r.client.onRequest = [&](const http::Request& q) {
    if (isProbe(q)) probes.push_back(r.clock.now - t0);
  };
  r.client.fallback = FakeClient::answer("<s>a</s>");
  for (int k = 0; k < 15; ++k) r.w->pass();
  // First idle pass probes at once; then 1 s sleeps until more than 5 s passed.
  EXPECT_EQ(probes, (std::vector<uint64_t>{0, 6000, 12000}));
  for (uint64_t s : r.clock.sleeps) EXPECT_EQ(s, kIdleSleepMs);
  EXPECT_EQ(r.client.requests().front().connection, "keep-alive");
}

TEST(TransWorker, PassOrderOneWordPerCueThenTheSentence) {
  Rig r;
  r.client.fallback = FakeClient::answer("<s>T</s>");
  r.start(table({"Alpha Bravo", "Charlie", "Delta"}, 10000));
  r.w->pass();
  EXPECT_EQ(r.texts(), (std::vector<std::string>{"Alpha", "Alpha+Bravo%0D%0A"}));
  r.w->pass();
  r.w->pass();
  EXPECT_EQ(r.texts(), (std::vector<std::string>{"Alpha", "Alpha+Bravo%0D%0A", "Bravo", "Charlie",
                                                  "Charlie%0D%0A", "Delta", "Delta%0D%0A"}));
  ASSERT_GE(r.got.size(), 2u);
  EXPECT_EQ(r.got[0].kind, WorkerResult::Word);
  EXPECT_EQ(r.got[0].slot, 1);
  EXPECT_EQ(r.got[0].before, "nts000Alpha");
  EXPECT_EQ(r.got[0].text, "000T");
  EXPECT_EQ(r.got[1].kind, WorkerResult::Sentence);
  EXPECT_EQ(r.got[1].text, "T");
  EXPECT_EQ(r.w->copy().jawd[1], (std::vector<std::string>{"000T", "006T"}));
}

TEST(TransWorker, LookAheadIsFifteenSecondsOrSevenSlots) {
  std::vector<std::string> cues(20, "Word");
  {
    Rig r;  // cues 1 s apart: 15 s reach further than 7 slots
    r.in.autosnt = false;
    r.client.fallback = FakeClient::answer("x");
    r.start(table(cues, 10000));
    r.in.cursub = 1;
    r.w->pass();
    EXPECT_EQ(r.client.requests().size(), 15u);  // cues 1 to 15 start within 15 s
  }
  {
    Rig r;  // cues 10 s apart: 7 slots reach further
    r.in.autosnt = false;
    r.client.fallback = FakeClient::answer("x");
    r.start(table(cues, 100000));
    r.in.cursub = 1;
    r.w->pass();
    EXPECT_EQ(r.client.requests().size(), 4u);  // slots 1, 3, 5, 7
    // A timing change reaches the worker's copy: all cues now start at once.
    std::vector<ttime> t(41, 0);
    r.in.setTimes(t);
    r.w->pass();
    EXPECT_EQ(r.client.requests().size(), 4u + 16u);  // 16 more untranslated words
  }
}

TEST(TransWorker, NoAnswerBacksOffAndRetriesOtherAnswersAreDoneEmpty) {
  Rig r;
  r.in.autosnt = false;
  r.start(table({"Wordy Hello Again"}, 10000));
  r.client.push(FakeClient::answer("", 404));    // done, empty
  r.client.push(FakeClient::answer("p"));         // the idle pass's probe
  r.client.push(FakeClient::noAnswer());          // retried later
  r.client.push(FakeClient::answer("x", 503));    // retried later
  r.client.push(FakeClient::answer("<s>Y</s>"));
  r.client.push(FakeClient::answer(""));          // empty body: done, empty
  for (int k = 0; k < 6; ++k) r.w->pass();
  EXPECT_EQ(r.texts(), (std::vector<std::string>{"Wordy", "probe", "Hello", "Hello", "Hello", "Again"}));
  EXPECT_EQ(r.w->copy().jawd[1], (std::vector<std::string>{"000", "006Y", "012"}));
  EXPECT_EQ(r.clock.sleeps, (std::vector<uint64_t>{kBackoffFirstMs, 2 * kBackoffFirstMs, kIdleSleepMs, kIdleSleepMs}));
  EXPECT_GE(r.client.resets(), 2);
}

TEST(TransWorker, AnUnreachableServiceIsAskedAHandfulOfTimesAMinute) {
  Rig r;
  r.start(table({"Alpha Bravo", "Charlie"}, 10000));
  r.client.fallback = FakeClient::noAnswer();
  const uint64_t t0 = r.clock.now;
  int passes = 0;
  while (r.clock.now - t0 < 5 * 60 * 1000) {
    r.w->pass();
    ASSERT_LT(++passes, 1000);
  }
  const auto n = r.client.requests().size();
  EXPECT_LE(n, 12u);  // 3, 6, 12, 24, 48 s, then once a minute
  EXPECT_GE(n, 6u);
  EXPECT_EQ(r.w->backoff().delay(), kBackoffMaxMs);
  // Back again: the next request goes out after the pause and the work resumes.
  r.client.fallback = FakeClient::answer("ok");
  for (int k = 0; k < 3; ++k) r.w->pass();
  EXPECT_EQ(r.w->backoff().delay(), 0u);
  EXPECT_EQ(r.w->copy().jasnt[1], "ok");
}

TEST(TransWorker, SentenceFailuresAndSwitches) {
  Rig r;
  r.in.autoword = false;
  r.start(table({"Hi.", "Yo."}, 10000));
  r.client.push(FakeClient::answer("", 200));   // empty: not asked again
  r.client.push(FakeClient::answer("ok"));      // the idle pass's probe
  r.client.fallback = FakeClient::answer("<s>again</s>");
  r.w->pass();
  r.w->pass();
  EXPECT_EQ(r.texts(), (std::vector<std::string>{"Hi.%0D%0A", "probe", "Yo.%0D%0A"}));
  ASSERT_EQ(r.got.size(), 1u);
  EXPECT_EQ(r.got[0].slot, 3);
  EXPECT_EQ(r.got[0].text, "again");
  // Both switches off: only the keep-alive probe goes out.
  r.in.autosnt = false;
  Rig q;
  q.in.autosnt = false;
  q.in.autoword = false;
  q.client.fallback = FakeClient::answer("x");
  q.start(table({"Hello world"}, 10000));
  for (int k = 0; k < 3; ++k) q.w->pass();
  EXPECT_EQ(q.texts(), (std::vector<std::string>{"probe"}));
}

TEST(TransWorker, AStopDuringARequestDeliversNothing) {
  Rig r;
  r.start(table({"Hello world"}, 10000));
  r.client.fallback = FakeClient::answer("x");
  r.client.onRequest = [&](const http::Request&) { r.in.requestStop(); };
  r.w->run();  // returns after the first request
  EXPECT_EQ(r.client.requests().size(), 1u);
  EXPECT_TRUE(r.got.empty());
}

TEST(TransWorker, NoHostNoRequest) {
  Rig r;
  r.start(table({"Hello world"}, 10000), Service{});
  for (int k = 0; k < 10; ++k) r.w->pass();
  EXPECT_TRUE(r.client.requests().empty());
  EXPECT_EQ(r.clock.sleeps.size(), 10u);
}
