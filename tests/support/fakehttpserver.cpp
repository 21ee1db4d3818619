#include "support/fakehttpserver.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tl::test {

namespace {

using Clock = std::chrono::steady_clock;

struct Conn {
  int fd = -1;
  std::string in;
  bool silent = false;           // stays open, never answers again
  bool pending = false;          // an answer waits for its time
  Clock::time_point due;
  std::string out;
};

std::string lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return s;
}

std::string reasonOf(int status) {
  switch (status) {
    case 200: return "OK";
    case 404: return "Not Found";
    case 429: return "Too Many Requests";
    case 500: return "Internal Server Error";
    case 503: return "Service Unavailable";
    default: return "Status";
  }
}

void sendAll(int fd, const std::string& s) {
  size_t done = 0;
  while (done < s.size()) {
    const ssize_t n = ::send(fd, s.data() + done, s.size() - done, MSG_NOSIGNAL);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      return;
    }
    done += size_t(n);
  }
}

}  // namespace

FakeHttpServer::FakeHttpServer() {
  default_ = answer("<string>ok</string>");
  listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listenFd_ < 0) throw std::runtime_error("socket");
  int one = 1;
  ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(listenFd_, 16) != 0)
    throw std::runtime_error("bind/listen");
  socklen_t len = sizeof a;
  ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&a), &len);
  port_ = ntohs(a.sin_port);
  if (::pipe2(wakePipe_, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("pipe");
  thread_ = std::thread([this] { run(); });
}

FakeHttpServer::~FakeHttpServer() {
  stop();
  if (wakePipe_[0] >= 0) ::close(wakePipe_[0]);
  if (wakePipe_[1] >= 0) ::close(wakePipe_[1]);
}

void FakeHttpServer::stop() {
  if (stopping_.exchange(true)) {
    if (thread_.joinable()) thread_.join();
    return;
  }
  const char c = 'x';
  [[maybe_unused]] ssize_t n = ::write(wakePipe_[1], &c, 1);
  if (thread_.joinable()) thread_.join();
}

void FakeHttpServer::push(Reply r) {
  std::lock_guard<std::mutex> lock(m_);
  script_.push_back(std::move(r));
}

void FakeHttpServer::setDefault(Reply r) {
  std::lock_guard<std::mutex> lock(m_);
  default_ = std::move(r);
}

std::vector<FakeHttpServer::Seen> FakeHttpServer::requests() const {
  std::lock_guard<std::mutex> lock(m_);
  return seen_;
}

int FakeHttpServer::requestCount() const {
  std::lock_guard<std::mutex> lock(m_);
  return int(seen_.size());
}

bool FakeHttpServer::waitForRequests(int n, int timeoutMs) const {
  std::unique_lock<std::mutex> lock(m_);
  return cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return int(seen_.size()) >= n; });
}

void FakeHttpServer::run() {
  std::vector<Conn> conns;
  while (!stopping_.load()) {
    std::vector<pollfd> fds;
    fds.push_back({wakePipe_[0], POLLIN, 0});
    fds.push_back({listenFd_, POLLIN, 0});
    for (const Conn& c : conns) fds.push_back({c.fd, POLLIN, 0});
    int timeout = 200;
    const auto now = Clock::now();
    for (const Conn& c : conns)
      if (!c.pending && !c.silent && c.in.find("\r\n\r\n") != std::string::npos) timeout = 0;
      else if (c.pending) {
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(c.due - now).count();
        timeout = std::max<int>(0, std::min<int>(timeout, int(ms)));
      }
    ::poll(fds.data(), fds.size(), timeout);
    if (fds[0].revents) break;
    if (fds[1].revents & POLLIN) {
      const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        ++connections_;
        Conn c;
        c.fd = fd;
        conns.push_back(std::move(c));
      }
    }
    std::vector<size_t> gone;
    for (size_t k = 0; k < conns.size(); ++k) {
      Conn& c = conns[k];
      // A connection accepted in this round has no poll entry yet.
      const short rev = k + 2 < fds.size() ? fds[k + 2].revents : 0;
      if (rev & (POLLIN | POLLHUP | POLLERR)) {
        char buf[4096];
        const ssize_t n = ::recv(c.fd, buf, sizeof buf, 0);
        if (n <= 0) {
          gone.push_back(k);
          continue;
        }
        c.in.append(buf, size_t(n));
      }
      // One request at a time per connection (no pipelining needed).
      if (!c.pending && !c.silent) {
        const size_t end = c.in.find("\r\n\r\n");
        if (end != std::string::npos) {
          const std::string head = c.in.substr(0, end);
          c.in.erase(0, end + 4);
          Seen s;
          size_t lineEnd = head.find("\r\n");
          s.requestLine = head.substr(0, lineEnd);
          const size_t sp1 = s.requestLine.find(' ');
          const size_t sp2 = s.requestLine.rfind(' ');
          if (sp1 != std::string::npos && sp2 > sp1) s.target = s.requestLine.substr(sp1 + 1, sp2 - sp1 - 1);
          while (lineEnd != std::string::npos) {
            const size_t from = lineEnd + 2;
            lineEnd = head.find("\r\n", from);
            const std::string line = head.substr(from, lineEnd == std::string::npos ? std::string::npos : lineEnd - from);
            const size_t colon = line.find(':');
            if (colon == std::string::npos) continue;
            std::string value = line.substr(colon + 1);
            while (!value.empty() && value.front() == ' ') value.erase(0, 1);
            s.headers[lower(line.substr(0, colon))] = value;
          }
          Reply r;
          {
            std::lock_guard<std::mutex> lock(m_);
            seen_.push_back(std::move(s));
            if (!script_.empty()) {
              r = script_.front();
              script_.pop_front();
            } else {
              r = default_;
            }
          }
          cv_.notify_all();
          if (r.mode == Mode::Close) {
            gone.push_back(k);
            continue;
          }
          if (r.mode == Mode::Silent) {
            c.silent = true;
            continue;
          }
          c.out = "HTTP/1.1 " + std::to_string(r.status) + " " + reasonOf(r.status) +
                  "\r\nContent-Type: text/xml; charset=utf-8\r\nContent-Length: " +
                  std::to_string(r.body.size()) + "\r\n\r\n" + r.body;
          c.pending = true;
          c.due = Clock::now() + std::chrono::milliseconds(r.delayMs);
        }
      }
      if (c.pending && Clock::now() >= c.due) {
        sendAll(c.fd, c.out);
        c.out.clear();
        c.pending = false;
      }
    }
    for (auto it = gone.rbegin(); it != gone.rend(); ++it) {
      ::close(conns[*it].fd);
      conns.erase(conns.begin() + long(*it));
    }
  }
  for (Conn& c : conns) ::close(c.fd);
  ::close(listenFd_);
  listenFd_ = -1;
}

}  // namespace tl::test
