// A fake translation server for tests: a real HTTP/1.1 listener on
// 127.0.0.1 at a port the system chooses, served by a thread of its own.
//
// It records every request (request line and headers), answers from a script
// (status, body, delay; or stays silent; or closes the connection without an
// answer), keeps connections open between requests, and counts connections.
// With the script empty it answers `setDefault`'s reply.
#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tl::test {

class FakeHttpServer {
 public:
  enum class Mode { Answer, Silent, Close };
  struct Reply {
    Mode mode = Mode::Answer;
    int status = 200;
    std::string body;
    int delayMs = 0;
  };
  struct Seen {
    std::string requestLine;  // "GET /path?query HTTP/1.1"
    std::string target;       // "/path?query"
    std::map<std::string, std::string> headers;  // names lower-case
  };

  FakeHttpServer();
  ~FakeHttpServer();
  FakeHttpServer(const FakeHttpServer&) = delete;
  FakeHttpServer& operator=(const FakeHttpServer&) = delete;

  int port() const { return port_; }
  std::string hostPort() const { return "127.0.0.1:" + std::to_string(port_); }
  std::string url(const std::string& target) const { return "http://" + hostPort() + target; }

  void push(Reply r);
  void setDefault(Reply r);
  static Reply answer(std::string body, int status = 200, int delayMs = 0) {
    return Reply{Mode::Answer, status, std::move(body), delayMs};
  }
  static Reply silent() { return Reply{Mode::Silent, 0, {}, 0}; }
  static Reply close() { return Reply{Mode::Close, 0, {}, 0}; }

  std::vector<Seen> requests() const;
  int requestCount() const;
  int connections() const { return connections_.load(); }
  // Waits until at least n requests arrived; false after timeoutMs.
  bool waitForRequests(int n, int timeoutMs) const;
  // Stops listening and closes every connection (later connects are refused).
  void stop();

 private:
  void run();

  int listenFd_ = -1;
  int wakePipe_[2] = {-1, -1};
  int port_ = 0;
  std::atomic<int> connections_{0};
  std::atomic<bool> stopping_{false};
  mutable std::mutex m_;
  mutable std::condition_variable cv_;
  std::deque<Reply> script_;
  Reply default_;
  std::vector<Seen> seen_;
  std::thread thread_;
};

}  // namespace tl::test
