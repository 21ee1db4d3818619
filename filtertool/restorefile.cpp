#include "filtertool/restorefile.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "platform/codepage/codepage.h"

namespace quendle {

namespace {

std::string toAnsi(const QString& s) { return tl::cp::utf8ToAnsi(s.toStdString()); }
QString fromAnsi(const std::string& s) { return QString::fromStdString(tl::cp::ansiToUtf8(s)); }

// An open record file with its exclusive lock.  The lock is taken on the
// file that is in place when the lock is granted: when another process
// replaced it meanwhile, the new one is opened and locked instead.
class LockedFile {
 public:
  explicit LockedFile(const std::string& path) {
    for (int attempt = 0; attempt < 16; ++attempt) {
      fd_ = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
      if (fd_ < 0) return;
      if (::flock(fd_, LOCK_EX) != 0) break;
      struct stat a {}, b {};
      if (::fstat(fd_, &a) == 0 && ::stat(path.c_str(), &b) == 0 && a.st_ino == b.st_ino &&
          a.st_dev == b.st_dev)
        return;
      ::close(fd_);
      fd_ = -1;
    }
    const int error = errno;
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    errno = error;
  }
  ~LockedFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool ok() const { return fd_ >= 0; }
  int fd() const { return fd_; }

 private:
  int fd_ = -1;
};

bool readAll(int fd, std::string& out) {
  out.clear();
  char buf[8192];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (n == 0) return true;
    out.append(buf, static_cast<size_t>(n));
  }
}

// Non-empty lines without their line ends.
std::vector<std::string> splitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool writeAll(int fd, const std::string& data) {
  size_t done = 0;
  while (done < data.size()) {
    ssize_t n = ::write(fd, data.data() + done, data.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Writes the lines to a temporary file beside `path`, syncs it and renames it
// over `path`.  On failure the old file stays as it was.
bool replaceFile(const std::string& path, const std::vector<std::string>& lines, mode_t mode) {
  std::string data;
  for (const std::string& l : lines) data += l + "\r\n";
  std::string tmp = path + ".XXXXXX";
  int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode & 07777) == 0 && writeAll(fd, data) && ::fsync(fd) == 0;
  int error = ok ? 0 : errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    ::unlink(tmp.c_str());
    errno = error;
    return false;
  }
  std::string dir = QFileInfo(QString::fromStdString(path)).absolutePath().toStdString();
  int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

mode_t modeOf(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 ? st.st_mode : 0644;
}

std::string pathPart(const std::string& line) { return line.substr(0, line.find('?')); }

}  // namespace

bool RestoreFile::canRecord(const QString& name, const QString& path) {
  for (const QString* s : {&name, &path})
    if (s->contains(u'\r') || s->contains(u'\n')) return false;
  if (path.contains(u'?')) return false;
  return fromAnsi(toAnsi(name)) == name && fromAnsi(toAnsi(path)) == path;
}

bool RestoreFile::fail(int error) {
  error_ = QString::fromLocal8Bit(std::strerror(error));
  return false;
}

bool RestoreFile::add(const QString& name, const QString& path) {
  error_.clear();
  if (!canRecord(name, path)) return fail(EILSEQ);
  const std::string file = path_.toStdString();
  LockedFile f(file);
  if (!f.ok()) return fail(errno);
  std::string text;
  if (!readAll(f.fd(), text)) return fail(errno);
  const std::string record = toAnsi(path) + "?" + toAnsi(name);
  std::vector<std::string> lines = splitLines(text);
  for (const std::string& l : lines)
    if (l == record) return true;
  lines.insert(lines.begin(), record);
  return replaceFile(file, lines, modeOf(f.fd())) || fail(errno);
}

int RestoreFile::remove(const QString& key, bool wholeLine) {
  error_.clear();
  const std::string file = path_.toStdString();
  LockedFile f(file);
  if (!f.ok()) return fail(errno), -1;
  std::string text;
  if (!readAll(f.fd(), text)) return fail(errno), -1;
  const std::string k = toAnsi(key);
  std::vector<std::string> kept;
  int dropped = 0;
  for (std::string& l : splitLines(text)) {
    bool hasMark = l.find('?') != std::string::npos;
    bool match = wholeLine ? (hasMark ? l == k : l + "?" == k) : pathPart(l) == k;
    if (match)
      ++dropped;
    else
      kept.push_back(std::move(l));
  }
  if (dropped == 0) return 0;
  return replaceFile(file, kept, modeOf(f.fd())) ? dropped : (fail(errno), -1);
}

std::vector<RestoreRecord> RestoreFile::list() const {
  std::vector<RestoreRecord> out;
  const std::string file = path_.toStdString();
  int fd = ::open(file.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return out;
  std::string text;
  bool ok = readAll(fd, text);
  ::close(fd);
  if (!ok) return out;
  for (const std::string& l : splitLines(text)) {
    size_t q = l.find('?');
    RestoreRecord r;
    r.path = fromAnsi(l.substr(0, q));
    if (q != std::string::npos) r.name = fromAnsi(l.substr(q + 1));
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace quendle
