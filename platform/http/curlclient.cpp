// The libcurl client.  A multi handle drives the easy handle so that abort()
// can wake the waiting thread at once (curl_multi_wakeup) instead of waiting
// for the next progress callback.
#include "platform/http/http.h"

#include <atomic>
#include <curl/curl.h>
#include <mutex>

namespace tl::http {

namespace {

void globalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Sink {
  std::string* body;
  size_t limit;
  bool tooLarge = false;
};

size_t onData(char* data, size_t size, size_t count, void* user) {
  auto* sink = static_cast<Sink*>(user);
  const size_t n = size * count;
  if (sink->limit && sink->body->size() + n > sink->limit) {
    sink->tooLarge = true;
    return 0;  // ends the transfer with CURLE_WRITE_ERROR
  }
  sink->body->append(data, n);
  return n;
}

class CurlClient : public Client {
 public:
  CurlClient() {
    globalInit();
    multi_ = curl_multi_init();
  }
  ~CurlClient() override {
    dropEasy();
    if (multi_) curl_multi_cleanup(multi_);
  }

  Response get(const Request& rq) override {
    Response r;
    if (aborted_.load()) {
      r.aborted = true;
      r.error = "aborted";
      return r;
    }
    if (!multi_) {
      r.error = "no HTTP handle";
      return r;
    }
    if (!easy_) easy_ = curl_easy_init();
    if (!easy_) {
      r.error = "no HTTP handle";
      return r;
    }
    CURL* e = easy_;
    curl_easy_reset(e);
    std::string body;
    Sink sink{&body, rq.maxBodyBytes};
    curl_slist* headers = nullptr;
    if (!rq.connection.empty()) headers = curl_slist_append(headers, ("Connection: " + rq.connection).c_str());
    curl_easy_setopt(e, CURLOPT_URL, rq.url.c_str());
    curl_easy_setopt(e, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(e, CURLOPT_PROXY, "");  // straight to the host
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, long(rq.connectTimeoutMs > 0 ? rq.connectTimeoutMs : 1));
    curl_easy_setopt(e, CURLOPT_TIMEOUT_MS, long(rq.totalTimeoutMs > 0 ? rq.totalTimeoutMs : 1));
    curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, onData);
    curl_easy_setopt(e, CURLOPT_WRITEDATA, &sink);
    if (headers) curl_easy_setopt(e, CURLOPT_HTTPHEADER, headers);

    curl_multi_add_handle(multi_, e);
    CURLcode result = CURLE_OK;
    bool done = false;
    while (!done) {
      if (aborted_.load()) break;
      int running = 0;
      if (curl_multi_perform(multi_, &running) != CURLM_OK) {
        result = CURLE_FAILED_INIT;
        break;
      }
      int queued = 0;
      while (CURLMsg* m = curl_multi_info_read(multi_, &queued)) {
        if (m->msg == CURLMSG_DONE && m->easy_handle == e) {
          result = m->data.result;
          done = true;
        }
      }
      if (done || running == 0) {
        if (!done) result = CURLE_FAILED_INIT;
        break;
      }
      curl_multi_poll(multi_, nullptr, 0, 1000, nullptr);
    }
    long status = 0;
    curl_easy_getinfo(e, CURLINFO_RESPONSE_CODE, &status);
    curl_multi_remove_handle(multi_, e);
    if (headers) curl_slist_free_all(headers);

    r.status = static_cast<int>(status);
    r.answered = status > 0;
    if (aborted_.load() && !done) {
      r.aborted = true;
      r.error = "aborted";
      dropConnection();  // the connection is in an unknown state
      return r;
    }
    if (sink.tooLarge) {
      r.tooLarge = true;
      r.error = "reply too large";
      dropConnection();
      return r;
    }
    if (result != CURLE_OK) {
      r.error = curl_easy_strerror(result);
      dropConnection();
      return r;
    }
    if (status < 200 || status > 299) {
      r.error = "HTTP status " + std::to_string(status);
      return r;
    }
    r.ok = true;
    r.body = std::move(body);
    return r;
  }

  void abort() override {
    aborted_.store(true);
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (multi_) curl_multi_wakeup(multi_);
  }

  void reset() override { dropConnection(); }

 private:
  void dropEasy() {
    if (easy_) curl_easy_cleanup(easy_);
    easy_ = nullptr;
  }
  // The multi handle holds the connection cache: a new one starts afresh.
  void dropConnection() {
    dropEasy();
    std::lock_guard<std::mutex> lock(wakeMutex_);
    if (multi_) curl_multi_cleanup(multi_);
    multi_ = curl_multi_init();
  }

  CURLM* multi_ = nullptr;
  CURL* easy_ = nullptr;
  std::atomic<bool> aborted_{false};
  std::mutex wakeMutex_;
};

}  // namespace

std::unique_ptr<Client> makeCurlClient() { return std::make_unique<CurlClient>(); }

std::string libraryVersion() {
  globalInit();
  const char* v = curl_version();
  return v ? v : "";
}

}  // namespace tl::http
