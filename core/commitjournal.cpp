#include "core/commitjournal.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tl::journal {

namespace {

void (*stepHook)(int) = nullptr;

void step(int& n) {
  ++n;
  if (stepHook) stepHook(n);
}

bool setErr(std::string* err, const std::string& why) {
  if (err) *err = why;
  return false;
}

std::string sysErr(const std::string& what, const std::string& path, int e) {
  return what + " " + path + ": " + std::strerror(e);
}

bool present(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

constexpr const char* kHeader = "tallisen commit 1\n";
constexpr const char* kEnd = "end\n";

struct Entry {
  std::string tmp, target;
};
struct Parsed {
  std::vector<Entry> writes;
  std::vector<std::string> removes;
};

// Fields are written with their length, so any byte may stand in a path.
void putField(std::string& out, const std::string& f) { out += std::to_string(f.size()) + ' ' + f + '\n'; }

std::string journalText(const std::vector<Entry>& writes, const std::vector<std::string>& removes) {
  std::string out = kHeader;
  for (const Entry& e : writes) {
    out += "w\n";
    putField(out, e.tmp);
    putField(out, e.target);
  }
  for (const std::string& r : removes) {
    out += "r\n";
    putField(out, r);
  }
  return out + kEnd;
}

bool getField(const std::string& s, size_t& pos, std::string& f) {
  size_t len = 0, digits = 0;
  while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9' && digits < 10) {
    len = len * 10 + size_t(s[pos++] - '0');
    ++digits;
  }
  if (digits == 0 || pos >= s.size() || s[pos] != ' ') return false;
  ++pos;
  if (s.size() - pos < len + 1 || s[pos + len] != '\n') return false;
  f = s.substr(pos, len);
  pos += len + 1;
  // A path never holds a NUL: the system would read it cut short.
  return !f.empty() && f.find('\0') == std::string::npos;
}

// False for a journal that does not read whole (it was never in place).
bool parse(const std::string& s, Parsed& p) {
  if (s.compare(0, std::strlen(kHeader), kHeader) != 0) return false;
  size_t pos = std::strlen(kHeader);
  while (pos < s.size()) {
    if (s.compare(pos, std::string::npos, kEnd) == 0) return true;
    if (s.compare(pos, 2, "w\n") == 0) {
      pos += 2;
      Entry e;
      if (!getField(s, pos, e.tmp) || !getField(s, pos, e.target)) return false;
      p.writes.push_back(e);
    } else if (s.compare(pos, 2, "r\n") == 0) {
      pos += 2;
      std::string r;
      if (!getField(s, pos, r)) return false;
      p.removes.push_back(r);
    } else {
      return false;
    }
  }
  return false;
}

bool namesAFile(const std::string& path) {
  const std::string name = paths::fileName(path);
  return !name.empty() && name != "." && name != "..";
}

// A journal read from the disk is carried out only when it names what a
// commit of ours writes: temporaries by our naming, each beside its file and
// a plain file when there, and removals of files in the data folder itself.
// Anything else was not written by a commit and moves no file.
bool isOurs(const Parsed& p, const std::string& dir) {
  for (const Entry& e : p.writes) {
    if (!namesAFile(e.target)) return false;
    const std::string prefix = paths::parentDir(e.target) + "/." + paths::fileName(e.target) + paths::kTempMark;
    if (e.tmp.size() != prefix.size() + 6 || e.tmp.compare(0, prefix.size(), prefix) != 0 ||
        e.tmp.find('/', prefix.size()) != std::string::npos)
      return false;
    struct stat st;
    if (::lstat(e.tmp.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return false;
  }
  for (const std::string& r : p.removes) {
    const std::string name = paths::fileName(r);
    if (!namesAFile(r) || name == kJournalName || name == kLockName || !paths::sameFile(paths::parentDir(r), dir))
      return false;
  }
  return true;
}

// Renames what is still to rename and removes what is still there; every
// step may already be done.  A file whose temporary and itself are both gone
// did not arrive: the files it was to replace (the removals) are kept.
bool carryOut(const Parsed& p, std::string* err, int* steps) {
  std::set<std::string> folders;
  bool allThere = true;
  for (const Entry& e : p.writes) {
    if (present(e.tmp) && ::rename(e.tmp.c_str(), e.target.c_str()) != 0)
      return setErr(err, sysErr("cannot replace", e.target, errno));
    allThere = allThere && present(e.target);
    folders.insert(paths::parentDir(e.target));
    if (steps) step(*steps);
  }
  for (const std::string& r : p.removes) {
    if (!allThere) break;
    if (::unlink(r.c_str()) != 0 && errno != ENOENT) return setErr(err, sysErr("cannot remove", r, errno));
    folders.insert(paths::parentDir(r));
    if (steps) step(*steps);
  }
  for (const std::string& f : folders) paths::syncFolder(f);
  return true;
}

bool dropJournal(const std::string& dir, std::string* err) {
  const std::string jp = dir + "/" + kJournalName;
  if (::unlink(jp.c_str()) != 0 && errno != ENOENT) return setErr(err, sysErr("cannot remove", jp, errno));
  paths::syncFolder(dir);
  return true;
}

// A journal is a few paths long.  Whatever else stands under its name (a
// link, a pipe, a huge file) is no journal of ours and is never read.
constexpr off_t kMaxJournalBytes = 1 << 20;

// The journal's text, or empty when what is there is no journal.  False
// with *err when it cannot be read.
bool readJournal(const std::string& jp, std::string& text, std::string* err) {
  text.clear();
  const int fd = ::open(jp.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno == ELOOP || errno == ENOENT || setErr(err, sysErr("cannot open", jp, errno));
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kMaxJournalBytes) {
    ::close(fd);
    return true;
  }
  char buf[4096];
  while (true) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) {
      const int e = errno;
      ::close(fd);
      text.clear();
      return setErr(err, sysErr("cannot read", jp, e));
    }
    if (r == 0 || text.size() > size_t(kMaxJournalBytes)) break;
    text.append(buf, size_t(r));
  }
  ::close(fd);
  if (text.size() > size_t(kMaxJournalBytes)) text.clear();
  return true;
}

bool replay(const std::string& dir, std::string* err) {
  const std::string jp = dir + "/" + kJournalName;
  if (!present(jp)) return true;
  std::string text;
  if (!readJournal(jp, text, err)) return false;
  Parsed p;
  if (parse(text, p) && isOurs(p, dir) && !carryOut(p, err, nullptr)) return false;
  return dropJournal(dir, err);
}

}  // namespace

Guard::Guard(const std::string& dataDir) {
  if (dataDir.empty() || !paths::dirExists(dataDir)) return;
  const std::string lp = dataDir + "/" + kLockName;
  fd_ = ::open(lp.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  // A lock file made read-only still locks (flock needs no write access).
  if (fd_ < 0) fd_ = ::open(lp.c_str(), O_RDONLY | O_CLOEXEC);
  // A folder that takes no lock file takes no journal either: nothing can
  // be committed there, so there is nothing to wait for.
  if (fd_ >= 0) {
    // Bounded wait: a commit holds the lock for the time of a few writes.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) {
        // A file system that takes no locks (ENOLCK, EOPNOTSUPP) is not
        // held by anybody: saving there goes on unguarded.
        ::close(fd_);
        fd_ = -1;
        break;
      }
      if (std::chrono::steady_clock::now() > deadline) {
        error_ = "the data folder " + dataDir + " stays locked by another program";
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  replay(dataDir, &error_);
}

Guard::~Guard() {
  if (fd_ >= 0) ::close(fd_);  // closing releases the lock
}

bool recover(const std::string& dataDir, std::string* err) {
  Guard g(dataDir);
  return g.ok() || setErr(err, g.error());
}

std::string recoveryFailedMessage(const std::string& err) {
  return "前回中断したセーブを完了できませんでした。\n" + err;
}

bool commit(const std::string& dataDir, const Build& build, std::string* err) {
  Guard g(dataDir);
  if (!g.ok()) return setErr(err, g.error());
  Group group;
  if (!build(group, err)) return false;
  if (group.removes.empty() && group.writes.size() <= 1)
    return group.writes.empty() || paths::atomicWriteFile(group.writes[0].path, group.writes[0].bytes, err);
  if (dataDir.empty()) return setErr(err, "no data folder for the journal");
  // Nobody can have locked or left a journal in a folder that did not exist.
  if (!paths::makeDirs(dataDir, err)) return false;
  // A folder made just now was not locked: lock it before the journal goes
  // in, or another program's start could replay it while it is carried out.
  std::optional<Guard> late;
  if (!g.locked()) late.emplace(dataDir);
  if (late && !late->ok()) return setErr(err, late->error());

  int n = 0;
  Parsed p;
  p.removes = group.removes;
  auto dropTemporaries = [&] {
    for (const Entry& e : p.writes) ::unlink(e.tmp.c_str());
  };
  for (const paths::FileWrite& w : group.writes) {
    Entry e;
    if (!paths::writeTemporary(w.path, w.bytes, e.tmp, e.target, err)) {
      dropTemporaries();
      return false;
    }
    p.writes.push_back(e);
    // One file named twice (a subtitle file saved under the name of its own
    // progress file) would end up holding only the last of its contents.
    for (size_t k = 0; k + 1 < p.writes.size(); ++k)
      if (paths::fileName(p.writes[k].target) == paths::fileName(e.target) &&
          paths::sameFile(paths::parentDir(p.writes[k].target), paths::parentDir(e.target))) {
        dropTemporaries();
        return setErr(err, "cannot write " + w.path + ": the same file is to hold two contents");
      }
    step(n);
  }
  if (!paths::atomicWriteFile(dataDir + "/" + kJournalName, journalText(p.writes, p.removes), err)) {
    dropTemporaries();
    return false;
  }
  step(n);
  // From here the group is written: a failure leaves the journal for the
  // next recovery to finish.
  if (!carryOut(p, err, &n)) return false;
  if (!dropJournal(dataDir, err)) return false;
  step(n);
  return true;
}

bool commit(const std::string& dataDir, const Group& group, std::string* err) {
  return commit(
      dataDir,
      [&](Group& g, std::string*) {
        g = group;
        return true;
      },
      err);
}

void setStepHook(void (*hook)(int step)) { stepHook = hook; }

}  // namespace tl::journal
