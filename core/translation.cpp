#include "core/translation.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "core/srtread.h"
#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/files.h"
#include "platform/registry/registry.h"

namespace tl::trans {

// ---- stop words --------------------------------------------------------------

void EscapeList::load(std::string_view bytes) {
  words_.clear();
  size_t from = 0;
  while (from < bytes.size()) {
    size_t end = bytes.find('\n', from);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(from, end - from);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) words_.push_back(cp::lowerAscii(line));
    from = end + 1;
  }
  std::sort(words_.begin(), words_.end());
}

bool EscapeList::contains(std::string_view word) const {
  return std::binary_search(words_.begin(), words_.end(), cp::lowerAscii(word));
}

bool escapeinit(const std::string& path, EscapeList& list) {
  std::string bytes;
  if (!paths::readFile(path, bytes)) {
    list.load({});
    return false;
  }
  list.load(bytes);
  return true;
}

// ---- requests ------------------------------------------------------------------

std::string queryEncode(std::string_view bytes) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (unsigned char c : bytes) {
    if (asciiLetter(c) || (c >= '0' && c <= '9') || std::string_view("*@._-$!'()").find(char(c)) != std::string_view::npos) {
      out.push_back(char(c));
    } else if (c == ' ') {
      out.push_back('+');
    } else {
      out.push_back('%');
      out.push_back(hex[c >> 4]);
      out.push_back(hex[c & 15]);
    }
  }
  return out;
}

bool validHost(std::string_view host) {
  if (host.empty() || host.size() > 255) return false;
  for (char c : host)
    if (!(asciiLetter(static_cast<unsigned char>(c)) || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
          c == ':' || c == '[' || c == ']'))
      return false;
  return true;
}

Service readService(const reg::Hive& hive) {
  Service s;
  std::string v;
  if (hive.getString(kServiceKey, "host", v)) s.host = v;
  if (hive.getString(kServiceKey, "appid", v)) s.appId = v;
  if (const char* e = std::getenv("TALLISEN_TRANS_HOST")) s.host = e;
  if (const char* e = std::getenv("TALLISEN_TRANS_APPID")) s.appId = e;
  if (!validHost(s.host)) s.host.clear();
  if (s.appId.empty()) s.appId = kDefaultAppId;
  return s;
}

std::string translateUrl(const Service& s, std::string_view text932) {
  return "http://" + s.host + kPath + "?appId=" + queryEncode(s.appId) + "&from=en&to=ja&text=" +
         queryEncode(text932);
}

std::string probeUrl(const Service& s) {
  return "http://" + s.host + kPath + "?appId=" + queryEncode(s.appId) + "&text=a&from=en&to=ja";
}

// ---- replies ---------------------------------------------------------------------

std::string fitTranslation(std::string text932) {
  size_t end = 0;
  while (end < text932.size()) {
    const size_t n = cp::isLeadByte((unsigned char)text932[end]) && end + 1 < text932.size() ? 2 : 1;
    if (end + n > kTranslationBytes) break;
    end += n;
  }
  text932.resize(end);
  return text932;
}

// Tags go by the subtitle text's own rule (core/srtread.h).
std::string replyText(std::string_view utf8Body) { return fitTranslation(tl::tagdel(cp::utf8ToAnsi(utf8Body))); }

Reply handleReply(const http::Response& r) {
  Reply out;
  if (r.ok) {
    if (r.body.empty()) {
      out.outcome = Outcome::Done;
    } else if (r.body.size() > kReplyCap) {
      out.outcome = Outcome::Done;
    } else {
      out.outcome = Outcome::Translated;
      out.text = replyText(r.body);
    }
    return out;
  }
  if (r.tooLarge) out.outcome = Outcome::Done;
  else if (!r.answered || r.status >= 500 || r.status == 429) out.outcome = Outcome::Retry;
  else out.outcome = Outcome::Done;
  return out;
}

Reply translate(http::Client& client, const Service& s, std::string_view text932, int connectMs,
                int totalMs, const std::string& connection) {
  if (!s.enabled()) return Reply{Outcome::Done, {}};
  http::Request rq;
  rq.url = translateUrl(s, text932);
  rq.connection = connection;
  rq.connectTimeoutMs = connectMs;
  rq.totalTimeoutMs = totalMs;
  rq.maxBodyBytes = kReplyCap;
  return handleReply(client.get(rq));
}

// ---- word entries -------------------------------------------------------------------

std::vector<std::string> wordEntries(std::string_view subtext, const EscapeList& escape) {
  std::vector<std::string> out;
  size_t start = 0, len = 0;
  for (size_t j = 0; j < subtext.size(); ++j) {
    if (asciiLetter(static_cast<unsigned char>(subtext[j]))) {
      if (len == 0) start = j;
      ++len;
      continue;
    }
    if (len > 3 && start <= size_t(kMaxEntryOffset)) {
      const std::string_view word = subtext.substr(start, len);
      if (!escape.contains(word)) {
        char off[8];
        std::snprintf(off, sizeof off, "%.3d", int(start));
        out.push_back("nts" + std::string(off) + std::string(word));
      }
    }
    len = 0;
  }
  return out;
}

void transwordset(Lesson& l, const EscapeList& escape) {
  const size_t n = size_t(std::max<int32_t>(l.subcount, 0));
  l.jawd.assign(n, {});
  l.jasnt.assign(n, std::string());
  for (size_t i = 0; i < n && i < l.subtext.size(); ++i) l.jawd[i] = wordEntries(l.subtext[i], escape);
}

// ---- the worker ---------------------------------------------------------------------

WorkerCopy copyForWorker(const Lesson& l) {
  WorkerCopy c;
  c.subtime = l.subtime;
  c.subtext = l.subtext;
  c.jawd = l.jawd;
  c.jasnt = l.jasnt;
  return c;
}

void WorkerInputs::setTimes(std::vector<ttime> t) {
  std::lock_guard<std::mutex> lock(m_);
  times_ = std::move(t);
}

std::optional<std::vector<ttime>> WorkerInputs::takeTimes() {
  std::lock_guard<std::mutex> lock(m_);
  std::optional<std::vector<ttime>> t;
  t.swap(times_);
  return t;
}

void WorkerInputs::setText(int32_t slot, std::string text) {
  std::lock_guard<std::mutex> lock(m_);
  texts_.emplace_back(slot, std::move(text));
}

std::vector<std::pair<int32_t, std::string>> WorkerInputs::takeTexts() {
  std::lock_guard<std::mutex> lock(m_);
  std::vector<std::pair<int32_t, std::string>> t;
  t.swap(texts_);
  return t;
}

void WorkerInputs::requestStop() {
  {
    std::lock_guard<std::mutex> lock(m_);
    stop_.store(true);
  }
  cv_.notify_all();
}

bool WorkerInputs::sleepMs(uint64_t ms) {
  std::unique_lock<std::mutex> lock(m_);
  return !cv_.wait_for(lock, std::chrono::milliseconds(ms), [&] { return stop_.load(); });
}

namespace {
class SteadyClock : public WorkerClock {
 public:
  uint64_t nowMs() override {
    return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                        std::chrono::steady_clock::now().time_since_epoch())
                        .count());
  }
  void sleepMs(uint64_t ms, WorkerInputs& in) override { in.sleepMs(ms); }
};
}  // namespace

WorkerClock& steadyClock() {
  static SteadyClock c;
  return c;
}

void Backoff::failed(uint64_t now) {
  delay_ = delay_ == 0 ? kBackoffFirstMs : std::min(delay_ * 2, kBackoffMaxMs);
  until_ = now + delay_;
}

TransWorker::TransWorker(WorkerCopy copy, WorkerInputs& in, http::Client& client, Service service,
                         WorkerClock& clock, std::function<void(const WorkerResult&)> deliver)
    : copy_(std::move(copy)),
      in_(in),
      client_(client),
      service_(std::move(service)),
      clock_(clock),
      deliver_(std::move(deliver)) {
  sentenceDone_.assign(copy_.jasnt.size(), false);
  for (size_t i = 0; i < copy_.jasnt.size(); ++i) sentenceDone_[i] = !copy_.jasnt[i].empty();
}

void TransWorker::run() {
  while (!in_.stopRequested()) pass();
}

bool TransWorker::threadtrans(std::string_view text, Reply& out) {
  clock_.sleepMs(1, in_);
  out = translate(client_, service_, text, kWorkerConnectMs, kWorkerTotalMs, "keep-alive");
  if (in_.stopRequested()) return false;
  if (out.outcome == Outcome::Retry) {
    client_.reset();
    backoff_.failed(clock_.nowMs());
    return false;
  }
  backoff_.succeeded();
  if (out.outcome == Outcome::Translated) {
    lasttick_ = clock_.nowMs();
    idle_ = false;
  }
  return true;
}

bool TransWorker::snttrans(int slot, Reply& out) { return threadtrans(copy_.subtext[size_t(slot)], out); }

void TransWorker::probe() {
  http::Request rq;
  rq.url = probeUrl(service_);
  rq.connection = "keep-alive";
  rq.connectTimeoutMs = kWorkerConnectMs;
  rq.totalTimeoutMs = kWorkerTotalMs;
  rq.maxBodyBytes = kReplyCap;
  const http::Response r = client_.get(rq);
  if (in_.stopRequested()) return;
  const Reply reply = handleReply(r);
  if (reply.outcome == Outcome::Retry) {
    client_.reset();
    backoff_.failed(clock_.nowMs());
  } else {
    // Any answer shows the connection alive; the reply itself is ignored.
    backoff_.succeeded();
    lasttick_ = clock_.nowMs();
  }
}

void TransWorker::pass() {
  if (auto t = in_.takeTimes(); t && t->size() == copy_.subtime.size()) copy_.subtime = std::move(*t);
  for (auto& [slot, text] : in_.takeTexts()) {
    if (slot <= 0 || size_t(slot) >= copy_.subtext.size()) continue;
    copy_.subtext[size_t(slot)] = std::move(text);
    if (size_t(slot) < sentenceDone_.size()) {
      sentenceDone_[size_t(slot)] = false;
      copy_.jasnt[size_t(slot)].clear();
    }
  }
  idle_ = true;
  if (!service_.enabled()) {
    clock_.sleepMs(kIdleSleepMs, in_);
    return;
  }
  bool failed = false;
  const int n = int(std::min(copy_.subtime.size(), copy_.subtext.size()));
  const int cs = std::max(0, int(in_.cursub.load()));
  const ttime pos = in_.nowpos.load();
  for (int i = cs; i < n && !failed && !in_.stopRequested(); ++i) {
    if (!Lesson::isCue(i)) continue;
    if (copy_.subtime[i] - pos > kLookAheadTime && i - cs > kLookAheadSlots) break;
    if (in_.autoword.load() && i > 0 && i < int(copy_.jawd.size())) {
      auto& list = copy_.jawd[i];
      auto it = std::find_if(list.begin(), list.end(), untranslated);
      if (it != list.end() && it->size() < 6) *it = "000";  // not an entry of ours: drop it
      else if (it != list.end()) {
        if (!backoff_.allowed(clock_.nowMs())) {
          failed = true;
          break;
        }
        Reply r;
        if (!threadtrans(std::string_view(*it).substr(6), r)) {
          failed = true;
          break;
        }
        WorkerResult res;
        res.kind = WorkerResult::Word;
        res.slot = i;
        res.index = int(it - list.begin());
        res.before = *it;
        res.text = it->substr(3, 3) + r.text;
        *it = res.text;
        deliver_(res);
      }
    }
    if (in_.autosnt.load() && i > 0 && i < int(copy_.jasnt.size()) && !sentenceDone_[i]) {
      if (!backoff_.allowed(clock_.nowMs())) {
        failed = true;
        break;
      }
      Reply r;
      if (!snttrans(i, r)) {
        failed = true;
        break;
      }
      sentenceDone_[i] = true;
      copy_.jasnt[i] = r.text;
      if (!r.text.empty()) {
        WorkerResult res;
        res.kind = WorkerResult::Sentence;
        res.slot = i;
        res.text = r.text;
        res.source = copy_.subtext[i];
        deliver_(res);
      }
      break;
    }
  }
  if (in_.stopRequested()) return;
  const uint64_t now = clock_.nowMs();
  if (!backoff_.allowed(now)) {
    clock_.sleepMs(std::max<uint64_t>(backoff_.waitMs(now), 1), in_);
    return;
  }
  if (!idle_ || failed) return;
  if (!lasttick_ || now - *lasttick_ > kProbeAfterMs) probe();
  else clock_.sleepMs(kIdleSleepMs, in_);
}

}  // namespace tl::trans
