#include "platform/http/fakeclient.h"

namespace tl::http {

Response FakeClient::answer(std::string body, int status) {
  Response r;
  r.answered = true;
  r.status = status;
  r.ok = status >= 200 && status <= 299;
  if (r.ok) r.body = std::move(body);
  else r.error = "HTTP status " + std::to_string(status);
  return r;
}

Response FakeClient::noAnswer(std::string error) {
  Response r;
  r.error = std::move(error);
  return r;
}

void FakeClient::push(Response r) {
  std::lock_guard<std::mutex> lock(m_);
  script_.push_back(std::move(r));
}

Response FakeClient::get(const Request& request) {
  if (onRequest) onRequest(request);
  std::lock_guard<std::mutex> lock(m_);
  requests_.push_back(request);
  if (aborted_) {
    Response r = noAnswer("aborted");
    r.aborted = true;
    return r;
  }
  Response r = fallback;
  if (!script_.empty()) {
    r = std::move(script_.front());
    script_.pop_front();
  }
  if (r.ok && request.maxBodyBytes && r.body.size() > request.maxBodyBytes) {
    r.ok = false;
    r.tooLarge = true;
    r.body.clear();
  }
  return r;
}

void FakeClient::abort() {
  std::lock_guard<std::mutex> lock(m_);
  aborted_ = true;
}

void FakeClient::reset() {
  std::lock_guard<std::mutex> lock(m_);
  ++resets_;
}

std::vector<Request> FakeClient::requests() const {
  std::lock_guard<std::mutex> lock(m_);
  return requests_;
}
int FakeClient::resets() const {
  std::lock_guard<std::mutex> lock(m_);
  return resets_;
}
bool FakeClient::aborted() const {
  std::lock_guard<std::mutex> lock(m_);
  return aborted_;
}

}  // namespace tl::http
