#include "platform/paths/files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tl::paths {

namespace {

bool fail(std::string* err, const std::string& what, const std::string& path, int e) {
  if (err) *err = what + " " + path + ": " + std::strerror(e);
  return false;
}

bool writeAll(int fd, const char* p, size_t n) {
  while (n > 0) {
    const ssize_t w = ::write(fd, p, n);
    if (w < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += w;
    n -= static_cast<size_t>(w);
  }
  return true;
}

}  // namespace

std::string parentDir(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool dirExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool readFile(const std::string& path, std::string& out, std::string* err) {
  out.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fail(err, "cannot open", path, errno);
  struct stat st;
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return fail(err, "cannot read", path, EISDIR);
  }
  if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
  char buf[65536];
  while (true) {
    const ssize_t r = ::read(fd, buf, sizeof buf);
    if (r < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      out.clear();
      return fail(err, "cannot read", path, e);
    }
    if (r == 0) break;
    out.append(buf, static_cast<size_t>(r));
  }
  ::close(fd);
  return true;
}

bool atomicWriteFile(const std::string& path, const std::string& bytes, std::string* err) {
  if (path.empty()) {
    if (err) *err = "no file name";
    return false;
  }
  const std::string dir = parentDir(path);
  std::string tmp = path + ".tmp-XXXXXX";
  const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) return fail(err, "cannot create a temporary file in", dir, errno);
  mode_t mode = 0644;
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) mode = st.st_mode & 07777;
  int e = 0;
  if (!writeAll(fd, bytes.data(), bytes.size())) e = errno;
  if (!e && ::fchmod(fd, mode) != 0) e = errno;
  if (!e && ::fsync(fd) != 0) e = errno;
  if (::close(fd) != 0 && !e) e = errno;
  if (e) {
    ::unlink(tmp.c_str());
    return fail(err, "cannot write", path, e);
  }
  if (::rename(tmp.c_str(), path.c_str()) != 0) {
    e = errno;
    ::unlink(tmp.c_str());
    return fail(err, "cannot replace", path, e);
  }
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);  // the rename is done; a folder that cannot sync is no failure
    ::close(dfd);
  }
  return true;
}

bool makeDirs(const std::string& dir, std::string* err) {
  if (dir.empty() || dirExists(dir)) return true;
  std::string part;
  size_t pos = 0;
  while (pos != std::string::npos) {
    pos = dir.find('/', pos + 1);
    part = dir.substr(0, pos);
    if (part.empty() || dirExists(part)) continue;
    if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return fail(err, "cannot create folder", part, errno);
  }
  if (!dirExists(dir)) return fail(err, "cannot create folder", dir, ENOTDIR);
  return true;
}

}  // namespace tl::paths
