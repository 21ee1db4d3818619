// A scripted HTTP client for tests: answers come from a queue, every request
// is recorded.  With the queue empty it answers `fallback`.
#pragma once

#include <deque>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/http/http.h"

namespace tl::http {

class FakeClient : public Client {
 public:
  // Shortcuts for scripted answers.
  static Response answer(std::string body, int status = 200);
  static Response noAnswer(std::string error = "connection refused");

  void push(Response r);
  Response fallback = noAnswer();
  // Called with each request before it is answered (e.g. to move a clock).
  std::function<void(const Request&)> onRequest;

  Response get(const Request& request) override;
  void abort() override;
  void reset() override;

  std::vector<Request> requests() const;
  int resets() const;
  bool aborted() const;

 private:
  mutable std::mutex m_;
  std::deque<Response> script_;
  std::vector<Request> requests_;
  int resets_ = 0;
  bool aborted_ = false;
};

}  // namespace tl::http
