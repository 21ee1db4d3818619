#include "core/history.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/timetext.h"
#include "platform/codepage/ascii.h"

namespace tl {

namespace {

inline bool stateValue(int32_t v) { return (uint32_t)(v + 1) <= 4u; }

// Counts the states of values[from, to) into c.
void countStates(const int32_t* v, size_t from, size_t to, int64_t (&c)[5], int sign) {
  int64_t a[5] = {}, b[5] = {};
  size_t i = from;
  for (; i + 1 < to; i += 2) {
    ++a[v[i] + 1];
    ++b[v[i + 1] + 1];
  }
  if (i < to) ++a[v[i] + 1];
  for (int s = 0; s < 5; ++s) c[s] += sign * (a[s] + b[s]);
}

bool lessNoCase(const std::string& a, const std::string& b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int x = (unsigned char)cp::lowerAscii(a[i]), y = (unsigned char)cp::lowerAscii(b[i]);
    if (x != y) return x < y;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

bool endsWithDat(const char* name, size_t len) {
  if (len < 4) return false;
  const char* e = name + len - 4;
  return e[0] == '.' && cp::lowerAscii(e[1]) == 'd' && cp::lowerAscii(e[2]) == 'a' && cp::lowerAscii(e[3]) == 't';
}

// Reads a whole file into buf (as int32 values); false when it cannot be
// opened or read.  Folders, pipes and devices (no progress files, and a pipe
// would never answer) are reported through notFile.
bool readValues(const std::string& path, std::vector<int32_t>& buf, size_t& bytes, std::time_t& mtime,
                bool& notFile) {
  notFile = false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    struct stat st;
    notFile = ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return false;
  }
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    notFile = true;
    ::close(fd);
    return false;
  }
  mtime = st.st_mtime;
  size_t cap = (size_t)std::max<off_t>(st.st_size, 0);
  buf.resize(cap / 4 + 2);
  size_t got = 0;
  for (;;) {
    if (got == buf.size() * 4) buf.resize(buf.size() * 2);
    const ssize_t r = ::read(fd, (char*)buf.data() + got, buf.size() * 4 - got);
    if (r < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (r == 0) break;
    got += (size_t)r;
  }
  ::close(fd);
  bytes = got;
  return true;
}

}  // namespace

ProgressScan savfilechk(const int32_t* v, size_t bytes) {
  ProgressScan s;
  const size_t m = bytes / 4;
  // First value outside -1..3, counting the states before it.
  size_t k0 = 0;
  {
    int64_t a[5] = {}, b[5] = {};
    size_t i = 0;
    for (; i + 1 < m; i += 2) {
      if (!stateValue(v[i])) break;
      ++a[v[i] + 1];
      if (!stateValue(v[i + 1])) {
        ++i;
        break;
      }
      ++b[v[i + 1] + 1];
    }
    if (i + 1 == m && stateValue(v[i])) ++a[v[i] + 1], ++i;
    k0 = i;
    for (int x = 0; x < 5; ++x) s.count[x] = a[x] + b[x];
  }

  // Whether the fields after a total at index k have the layout of a
  // progress file: n stars (n odd, at least 3) of 0 or 1 at the end, and the
  // resume slot within 0..n-1.
  size_t tail = m;  // start of the run of 0 / 1 values at the end
  while (tail > 0 && (v[tail - 1] == 0 || v[tail - 1] == 1)) --tail;
  auto fits = [&](size_t k) {
    if (bytes % 4 != 0 || m < 7 || k > m - 7 || k + 4 < tail) return false;
    const size_t n = m - 4 - k;
    const int32_t resume = v[k + 3];
    return n % 2 == 1 && resume >= 0 && (size_t)resume < n;
  };
  auto take = [&](size_t k) {
    countStates(v, k, k0, s.count, -1);
    s.ok = true;
    s.states = (int64_t)k;
    s.total = v[k];
    return s;
  };
  const bool bigTotal = k0 < m && v[k0] > 0;
  // A total of 4 or more in a well-formed file.
  if (bigTotal && fits(k0)) return take(k0);
  // A total of 1..3, at least as many states before it.
  for (size_t k = tail >= 4 ? tail - 4 : 0; k < k0; ++k) {
    const int32_t t = v[k];
    if (t >= 1 && t <= 3 && (size_t)t <= k && fits(k)) return take(k);
  }
  // A total of 4 or more before a damaged or cut tail.
  if (bigTotal) return take(k0);
  return ProgressScan{};
}

ProgressScan scanProgressBytes(const std::string& bytes) {
  std::vector<int32_t> v(bytes.size() / 4 + 1);
  std::memcpy(v.data(), bytes.data(), bytes.size());
  return savfilechk(v.data(), bytes.size());
}

HistoryListing SearchFile(const std::string& folder) {
  HistoryListing out;
  DIR* d = ::opendir(folder.c_str());
  if (!d) return out;
  out.folder = true;
  std::string base = folder;
  if (base.empty() || base.back() != '/') base += '/';
  std::vector<int32_t> buf;
  while (const dirent* e = ::readdir(d)) {
    const size_t len = std::strlen(e->d_name);
    if (e->d_type == DT_DIR || !endsWithDat(e->d_name, len)) continue;
    HistoryRow row;
    row.name.assign(e->d_name, len - 4);
    row.path = base + e->d_name;
    size_t bytes = 0;
    bool notFile = false;
    if (!readValues(row.path, buf, bytes, row.mtime, notFile)) {
      if (!notFile) out.unreadable.push_back(row.path);
      continue;
    }
    row.scan = savfilechk(buf.data(), bytes);
    if (!row.scan.ok) {
      out.unreadable.push_back(row.path);
      continue;
    }
    const ProgressScan& s = row.scan;
    row.total = s.total;
    row.complete = s.of(1) == 0 && s.of(2) == 0;
    const int64_t ach = 100 - (s.of(1) * 100) / s.total;
    row.achievement = (int)std::clamp<int64_t>(ach, 0, 100);
    row.hintrate = std::clamp((double)s.of(2) * 100.0 / s.total, 0.0, 100.0);
    out.score += s.of(0) + s.of(3);
    out.rows.push_back(std::move(row));
  }
  ::closedir(d);
  std::sort(out.rows.begin(), out.rows.end(),
            [](const HistoryRow& a, const HistoryRow& b) { return lessNoCase(a.name, b.name); });
  std::sort(out.unreadable.begin(), out.unreadable.end());
  return out;
}

std::string completeText(const HistoryRow& r) { return r.complete ? "☆" : ""; }

std::string totalText(const HistoryRow& r) { return std::to_string(r.total) + "文字"; }

std::string lastWriteText(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  char b[32];
  std::strftime(b, sizeof b, "%Y/%m/%d  %H:%M", &tm);
  return b;
}

std::string hintRateText(double rate) {
  char b[40];
  std::snprintf(b, sizeof b, "%.15g", rate);
  return b;
}

const char* rankOf(int64_t score) {
  if (score < 1000) return "E";
  if (score < 5000) return "D";
  if (score < 10000) return "C";
  if (score < 20000) return "B";
  if (score < 100000) return "A";
  if (score < 200000) return "S";
  return "☆";
}

std::string rankMessage(int64_t score) {
  return std::string("現在ランクは") + rankOf(score) + "です（達成文字数" + std::to_string(score) + "文字）";
}

std::string totalTimeMessage(int64_t baseMs, uint32_t startTick, uint32_t nowTick) {
  const uint32_t runMs = nowTick - startTick;
  const int64_t totalMs = baseMs + (int64_t)runMs;
  return "総学習時間:" + sec2str_0((totalMs / 1000) * 10000) + " 今回学習時間" + sec2str_0((int64_t)(runMs / 1000) * 10000);
}

std::string unreadableMessage(const std::vector<std::string>& paths) {
  std::string m;
  for (const std::string& p : paths) {
    if (!m.empty()) m += "\n";
    m += p + "の読み込みに失敗しました";
  }
  return m;
}

}  // namespace tl
