// HTTP layer: plain GET of a full URL, the reply body as bytes.
//
// A Client keeps its connection between requests (keep-alive) until it is
// reset or destroyed.  get() blocks the calling thread; abort() may be called
// from any other thread and makes a running get() return at once with a
// failure (and every later get() until reset()).
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tl::http {

struct Request {
  std::string url;          // "http://host[:port]/path?query"
  std::string connection;   // value of the Connection header; empty: none sent
  int connectTimeoutMs = 2000;
  int totalTimeoutMs = 5000;
  size_t maxBodyBytes = 0;  // a longer body is a failure; 0: no limit
};

struct Response {
  bool ok = false;       // an answer with a 2xx status and a body within the limit
  bool answered = false; // the server sent a status line (status is valid)
  int status = 0;        // HTTP status; 0 without an answer
  bool tooLarge = false; // the body passed maxBodyBytes
  bool aborted = false;  // abort() ended the request
  std::string body;      // bytes as received (empty on failure)
  std::string error;     // what went wrong, for logs
};

class Client {
 public:
  virtual ~Client() = default;
  virtual Response get(const Request& request) = 0;
  // Thread-safe: ends the running request at once and refuses later ones.
  virtual void abort() = 0;
  // Drops the connection (a fresh one is made by the next get()).
  virtual void reset() = 0;
};

// A client on libcurl.
std::unique_ptr<Client> makeCurlClient();

// The HTTP library's version text ("libcurl/7.88.1 OpenSSL/3.0.11 ...").
std::string libraryVersion();

}  // namespace tl::http
