// Online translation: the stop-word list, the word entries of a cue, the
// request and its query-value encoding, the reply handling, and the worker's
// rhythm (passes, look-ahead, keep-alive probe, back-off) as a plain class
// that runs on whatever thread calls it.
//
// Texts are bytes of code page 932 throughout; the service answers UTF-8,
// which is converted here.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lesson.h"
#include "platform/http/http.h"

namespace tl::reg { class Hive; }

namespace tl::trans {

inline constexpr const char* kPath = "/V2/http.svc/Translate";
inline constexpr size_t kReplyCap = 64 * 1024;      // a longer reply is a failure
// A translation is kept to what the overlay can show, so that painting it
// stays quick whatever the service sends: 256 letter cells (one per byte),
// that is 256 one-byte or 128 double-byte characters.
inline constexpr size_t kTranslationBytes = 256;
inline constexpr int kMaxEntryOffset = 999;         // entries hold three digits
inline constexpr ttime kLookAheadTime = 150000;     // 15 s
inline constexpr int kLookAheadSlots = 7;
inline constexpr uint64_t kProbeAfterMs = 5000;
inline constexpr uint64_t kIdleSleepMs = 1000;
inline constexpr uint64_t kBackoffFirstMs = 3000;
inline constexpr uint64_t kBackoffMaxMs = 60000;
// Limits of one request: on demand (a word registration) and by the worker.
inline constexpr int kOnDemandConnectMs = 2000, kOnDemandTotalMs = 5000;
inline constexpr int kWorkerConnectMs = 3000, kWorkerTotalMs = 10000;

// ---- stop words ("escape.txt") -------------------------------------------

class EscapeList {
 public:
  // One word per line (CR LF or LF); kept sorted without regard to case.
  void load(std::string_view bytes);
  bool contains(std::string_view word) const;
  size_t size() const { return words_.size(); }

 private:
  std::vector<std::string> words_;  // lower-case, sorted
};

// Loads the list from a file; false when the file cannot be read (the list is
// then empty and every long word gets translated).
bool escapeinit(const std::string& path, EscapeList& list);

// ---- requests --------------------------------------------------------------

// Query-value encoding of bytes: A-Z a-z 0-9 * @ . _ - $ ! ' ( ) copied, a
// space as "+", every other byte as "%" and two upper-case hex digits.
std::string queryEncode(std::string_view bytes);

// Where requests go.  With no host nothing is ever sent.
struct Service {
  std::string host;   // "name" or "name:port"; plain HTTP
  std::string appId;
  bool enabled() const { return !host.empty(); }
};

// Registry key of the service settings (values "host" and "appid").  The
// settings dialog's save does not write here.
inline constexpr const char* kServiceKey = "Software\\Tallisen\\translate";
// Used when no application id is set.
inline constexpr const char* kDefaultAppId = "6C1F0E5A3B9D47B2A8E4F0C3D5B7A9E1F2C4D6B8";
// Reads the service from the hive; $TALLISEN_TRANS_HOST and
// $TALLISEN_TRANS_APPID, when set (even empty), win over it.  A host with
// characters that do not belong in a host name is taken as not set.
Service readService(const reg::Hive& hive);
bool validHost(std::string_view host);

std::string translateUrl(const Service& s, std::string_view text932);
std::string probeUrl(const Service& s);

// ---- replies ---------------------------------------------------------------

enum class Outcome {
  Translated,  // a non-empty reply: `text` holds the translation (may be empty after tag removal)
  Done,        // an answer that holds no translation: empty, not asked again
  Retry,       // no answer, 5xx or 429: ask again after the back-off
};
struct Reply {
  Outcome outcome = Outcome::Retry;
  std::string text;  // 932 bytes
};
// A 932 text cut to at most kTranslationBytes bytes, never inside a
// double-byte character.
std::string fitTranslation(std::string text932);
// UTF-8 reply body -> 932 text with tags removed, cut by fitTranslation.  Invalid UTF-8 and characters without a 932 form become '?'.
std::string replyText(std::string_view utf8Body);
Reply handleReply(const http::Response& r);

// One translation request through `client`.
Reply translate(http::Client& client, const Service& s, std::string_view text932, int connectMs,
                int totalMs, const std::string& connection = {});

// ---- word entries ------------------------------------------------------------

// The entries "nts" + offset (three digits) + word of every run of more than
// three ASCII letters that is not a stop word and starts at offset <= 999.
std::vector<std::string> wordEntries(std::string_view subtext, const EscapeList& escape);
// Rebuilds jawd (entries per slot) and jasnt (all empty) for the loaded table.
void transwordset(Lesson& l, const EscapeList& escape);
inline bool untranslated(const std::string& entry) { return entry.rfind("nts", 0) == 0; }

// ---- the worker --------------------------------------------------------------

// What the worker reads, copied from the lesson at a load.
struct WorkerCopy {
  std::vector<ttime> subtime;
  std::vector<std::string> subtext;
  std::vector<std::vector<std::string>> jawd;
  std::vector<std::string> jasnt;
};
WorkerCopy copyForWorker(const Lesson& l);

// What the user-interface thread changes while a worker runs.
class WorkerInputs {
 public:
  std::atomic<int32_t> cursub{0};
  std::atomic<int64_t> nowpos{0};
  std::atomic<bool> autosnt{true};
  std::atomic<bool> autoword{true};

  void setTimes(std::vector<ttime> t);
  // Takes times set since the last call.
  std::optional<std::vector<ttime>> takeTimes();
  // A cue text edited since the load whose sentence is not translated yet:
  // the sentence is asked for (again) with this text.
  void setText(int32_t slot, std::string text);
  std::vector<std::pair<int32_t, std::string>> takeTexts();

  void requestStop();
  bool stopRequested() const { return stop_.load(); }
  // Sleeps up to ms; returns early (false) when a stop is requested.
  bool sleepMs(uint64_t ms);

 private:
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::condition_variable cv_;
  std::optional<std::vector<ttime>> times_;
  std::vector<std::pair<int32_t, std::string>> texts_;
};

class WorkerClock {
 public:
  virtual ~WorkerClock() = default;
  virtual uint64_t nowMs() = 0;
  // Returns early when in.requestStop() is called.
  virtual void sleepMs(uint64_t ms, WorkerInputs& in) = 0;
};
WorkerClock& steadyClock();

// Growing pause after failures: kBackoffFirstMs doubling up to kBackoffMaxMs.
class Backoff {
 public:
  void failed(uint64_t now);
  void succeeded() { delay_ = 0, until_ = 0; }
  bool allowed(uint64_t now) const { return now >= until_; }
  uint64_t waitMs(uint64_t now) const { return now >= until_ ? 0 : until_ - now; }
  uint64_t delay() const { return delay_; }

 private:
  uint64_t delay_ = 0, until_ = 0;
};

struct WorkerResult {
  enum Kind { Word, Sentence } kind = Word;
  int slot = 0;
  int index = 0;        // entry of jawd[slot] (words)
  std::string before;   // the untranslated entry (words)
  std::string text;     // the new entry (words) or the sentence translation
  std::string source;   // the cue text the sentence translation was made from
};

class TransWorker {
 public:
  TransWorker(WorkerCopy copy, WorkerInputs& in, http::Client& client, Service service,
              WorkerClock& clock, std::function<void(const WorkerResult&)> deliver);

  // Passes until a stop is requested.
  void run();
  // One pass: the scan, then the probe or the pause that follows it.
  void pass();

  const WorkerCopy& copy() const { return copy_; }
  const Backoff& backoff() const { return backoff_; }

 private:
  // One request through the worker's own keep-alive client; false when it
  // failed so that the scan must end (back-off).
  bool threadtrans(std::string_view text, Reply& out);
  // The sentence of cue `slot` (a cue of the table, as the scan gives it).
  bool snttrans(int slot, Reply& out);
  void probe();

  WorkerCopy copy_;
  std::vector<bool> sentenceDone_;
  WorkerInputs& in_;
  http::Client& client_;
  Service service_;
  WorkerClock& clock_;
  std::function<void(const WorkerResult&)> deliver_;
  Backoff backoff_;
  bool idle_ = true;
  std::optional<uint64_t> lasttick_;
};

}  // namespace tl::trans
