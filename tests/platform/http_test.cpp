// The libcurl client against the fake server on 127.0.0.1: what goes out,
// what counts as an answer, the time limits, keep-alive and abort.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/http/http.h"
#include "support/fakehttpserver.h"

using namespace tl;
using tl::test::FakeHttpServer;

namespace {

using Clock = std::chrono::steady_clock;
long msSince(Clock::time_point t) {
  return long(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t).count());
}

http::Request rq(const FakeHttpServer& s, const std::string& target, int connectMs = 2000, int totalMs = 5000) {
  http::Request r;
  r.url = s.url(target);
  r.connectTimeoutMs = connectMs;
  r.totalTimeoutMs = totalMs;
  return r;
}

// A port on 127.0.0.1 where nobody listens.
int refusedPort() {
  FakeHttpServer s;
  const int p = s.port();
  s.stop();
  return p;
}

}  // namespace

TEST(Http, GetSendsTheTargetAndConnectionHeaderAndReturnsTheBodyBytes) {
  FakeHttpServer s;
  const std::string bytes("a\0b\xff", 4);
  s.push(FakeHttpServer::answer(bytes));
  auto c = http::makeCurlClient();
  http::Request r = rq(s, "/V2/http.svc/Translate?appId=X&text=a+b%26c");
  r.connection = "keep-alive";
  const http::Response res = c->get(r);
  ASSERT_TRUE(res.ok) << res.error;
  EXPECT_EQ(res.status, 200);
  EXPECT_EQ(res.body, bytes);
  const auto seen = s.requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].requestLine, "GET /V2/http.svc/Translate?appId=X&text=a+b%26c HTTP/1.1");
  EXPECT_EQ(seen[0].headers.at("connection"), "keep-alive");
  EXPECT_EQ(seen[0].headers.at("host"), s.hostPort());
}

TEST(Http, NonSuccessStatusesAreFailuresWithTheirStatus) {
  FakeHttpServer s;
  auto c = http::makeCurlClient();
  for (int status : {404, 429, 500, 503, 302}) {
    s.push(FakeHttpServer::answer("body", status));
    const http::Response res = c->get(rq(s, "/x"));
    EXPECT_FALSE(res.ok) << status;
    EXPECT_TRUE(res.answered) << status;
    EXPECT_EQ(res.status, status);
    EXPECT_TRUE(res.body.empty()) << status;
  }
  // An empty 2xx body is still a success of the transfer.
  s.push(FakeHttpServer::answer("", 200));
  const http::Response res = c->get(rq(s, "/x"));
  EXPECT_TRUE(res.ok);
  EXPECT_TRUE(res.body.empty());
}

TEST(Http, TransportFailuresGiveNoAnswer) {
  auto c = http::makeCurlClient();
  http::Request r;
  r.url = "http://127.0.0.1:" + std::to_string(refusedPort()) + "/x";
  http::Response res = c->get(r);
  EXPECT_FALSE(res.ok);
  EXPECT_FALSE(res.answered);
  EXPECT_FALSE(res.error.empty());

  FakeHttpServer s;
  s.push(FakeHttpServer::close());  // connection closed without an answer
  res = c->get(rq(s, "/x"));
  EXPECT_FALSE(res.ok);
  EXPECT_FALSE(res.answered);

  s.push(FakeHttpServer::answer("garbage"));
  // Not an HTTP URL at all: refused without touching the network.
  r.url = "file:///etc/passwd";
  res = c->get(r);
  EXPECT_FALSE(res.ok);
}

TEST(Http, ASilentServerIsCutAtTheTotalLimit) {
  FakeHttpServer s;
  s.push(FakeHttpServer::silent());
  auto c = http::makeCurlClient();
  const auto t0 = Clock::now();
  const http::Response res = c->get(rq(s, "/x", 300, 700));
  const long ms = msSince(t0);
  EXPECT_FALSE(res.ok);
  EXPECT_FALSE(res.answered);
  EXPECT_GE(ms, 600);
  EXPECT_LT(ms, 3000);
}

TEST(Http, ABodyAboveTheLimitIsAFailure) {
  FakeHttpServer s;
  s.push(FakeHttpServer::answer(std::string(70000, 'x')));
  s.push(FakeHttpServer::answer(std::string(100, 'y')));
  auto c = http::makeCurlClient();
  http::Request r = rq(s, "/x");
  r.maxBodyBytes = 65536;
  http::Response res = c->get(r);
  EXPECT_FALSE(res.ok);
  EXPECT_TRUE(res.tooLarge);
  EXPECT_TRUE(res.body.empty());
  res = c->get(r);  // the client goes on working
  EXPECT_TRUE(res.ok);
  EXPECT_EQ(res.body, std::string(100, 'y'));
}

TEST(Http, OneClientKeepsItsConnectionAndResetDropsIt) {
  FakeHttpServer s;
  auto c = http::makeCurlClient();
  http::Request r = rq(s, "/x");
  r.connection = "keep-alive";
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(c->get(r).ok);
  EXPECT_EQ(s.connections(), 1);
  c->reset();
  ASSERT_TRUE(c->get(r).ok);
  EXPECT_EQ(s.connections(), 2);
}

TEST(Http, AbortEndsARunningRequestAtOnceAndRefusesLaterOnes) {
  FakeHttpServer s;
  s.push(FakeHttpServer::silent());
  auto c = http::makeCurlClient();
  http::Response res;
  Clock::time_point ended;
  std::thread t([&] {
    res = c->get(rq(s, "/x", 2000, 30000));
    ended = Clock::now();
  });
  ASSERT_TRUE(s.waitForRequests(1, 5000));
  const auto t0 = Clock::now();
  c->abort();
  t.join();
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(ended - t0).count(), 500);
  EXPECT_TRUE(res.aborted);
  EXPECT_FALSE(res.ok);
  const int before = s.requestCount();
  EXPECT_TRUE(c->get(rq(s, "/x")).aborted);
  EXPECT_EQ(s.requestCount(), before);
}

TEST(Http, LibraryVersionNamesLibcurl) {
  EXPECT_NE(http::libraryVersion().find("libcurl"), std::string::npos);
}
