#include "platform/paths/files.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
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

void syncDir(const std::string& dir) {
  const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);  // the rename is done; a folder that cannot sync is no failure
    ::close(dfd);
  }
}

// One file written to its temporary name, ready to be renamed into place.
struct Prepared {
  std::string shown;   // the path the caller gave (for messages)
  std::string target;  // the file replaced (links followed)
  std::string tmp;
  std::string keep;    // a hard link to the old file while others commit
};

bool prepare(const std::string& path, const std::string& bytes, Prepared& p, std::string* err) {
  if (path.empty()) {
    if (err) *err = "no file name";
    return false;
  }
  p.shown = path;
  if (!resolveLinks(path, p.target, err)) return false;
  removeStaleTemporaries(p.target);
  mode_t mode = 0644;
  struct stat st;
  if (::stat(p.target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return fail(err, "cannot write", path, EISDIR);
    // Mode bits, not access(): root may write anything, but a file the user
    // made read-only is kept as it is.
    if ((st.st_mode & 0222) == 0) {
      if (err) *err = "cannot write " + path + ": the file is read-only";
      return false;
    }
    if (::access(p.target.c_str(), W_OK) != 0) return fail(err, "cannot write", path, errno);
    mode = st.st_mode & 07777;
  }
  const std::string dir = parentDir(p.target);
  p.tmp = dir + "/." + fileName(p.target) + kTempMark + "XXXXXX";
  const int fd = ::mkostemp(p.tmp.data(), O_CLOEXEC);
  if (fd < 0) return fail(err, "cannot create a temporary file for", path, errno);
  int e = 0;
  if (!writeAll(fd, bytes.data(), bytes.size())) e = errno;
  if (!e && ::fchmod(fd, mode) != 0) e = errno;
  if (!e && ::fsync(fd) != 0) e = errno;
  if (::close(fd) != 0 && !e) e = errno;
  if (e) {
    ::unlink(p.tmp.c_str());
    return fail(err, "cannot write", path, e);
  }
  return true;
}

bool commit(const Prepared& p, std::string* err) {
  if (::rename(p.tmp.c_str(), p.target.c_str()) != 0) {
    const int e = errno;
    ::unlink(p.tmp.c_str());
    return fail(err, "cannot replace", p.shown, e);
  }
  syncDir(parentDir(p.target));
  return true;
}

}  // namespace

std::string parentDir(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string fileName(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool fileExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool dirExists(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool sameFile(const std::string& a, const std::string& b) {
  struct stat x, y;
  return ::stat(a.c_str(), &x) == 0 && ::stat(b.c_str(), &y) == 0 && x.st_dev == y.st_dev && x.st_ino == y.st_ino;
}

bool resolveLinks(const std::string& path, std::string& target, std::string* err) {
  std::string cur = path;
  for (int depth = 0; depth < 40; ++depth) {
    struct stat st;
    if (::lstat(cur.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      target = cur;
      return true;
    }
    std::string link(st.st_size > 0 ? static_cast<size_t>(st.st_size) + 1 : 4096, '\0');
    const ssize_t n = ::readlink(cur.c_str(), link.data(), link.size());
    if (n < 0) return fail(err, "cannot read the link", path, errno);
    link.resize(static_cast<size_t>(n));
    if (link.empty()) return fail(err, "cannot follow the link", path, ENOENT);
    cur = link[0] == '/' ? link : parentDir(cur) + "/" + link;
  }
  return fail(err, "cannot follow the link", path, ELOOP);
}

bool isOurTemporary(const std::string& name, const std::string& target) {
  auto tail6 = [&](const std::string& prefix) {
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
  };
  return tail6("." + target + kTempMark) || tail6(target + ".tmp-");
}

int removeStaleTemporaries(const std::string& path, int maxAgeSeconds) {
  const std::string dir = parentDir(path), name = fileName(path);
  DIR* d = ::opendir(dir.c_str());
  if (!d) return 0;
  int removed = 0;
  const time_t now = ::time(nullptr);
  while (const dirent* e = ::readdir(d)) {
    if (!isOurTemporary(e->d_name, name)) continue;
    const std::string full = dir + "/" + e->d_name;
    struct stat st;
    if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
    // A young temporary may belong to a save still running in another
    // process.  A name with a second link is the old file kept aside by
    // atomicWriteFiles while the file itself still holds it: not a leftover.
    if (st.st_nlink > 1 || now - st.st_mtime < maxAgeSeconds) continue;
    if (::unlink(full.c_str()) == 0) ++removed;
  }
  ::closedir(d);
  return removed;
}

bool readFile(const std::string& path, std::string& out, std::string* err) {
  out.clear();
  // Not blocking: a pipe or device under a file's name must not stall the
  // program; only regular files are read.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return fail(err, "cannot open", path, errno);
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) {
    ::close(fd);
    if (S_ISDIR(st.st_mode)) return fail(err, "cannot read", path, EISDIR);
    if (err) *err = "cannot read " + path + ": not a regular file";
    return false;
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
  Prepared p;
  return prepare(path, bytes, p, err) && commit(p, err);
}

bool writeTemporary(const std::string& path, const std::string& bytes, std::string& tmp, std::string& target,
                    std::string* err) {
  Prepared p;
  if (!prepare(path, bytes, p, err)) return false;
  tmp = p.tmp;
  target = p.target;
  return true;
}

void syncFolder(const std::string& dir) { syncDir(dir); }

bool atomicWriteFiles(const std::vector<FileWrite>& files, std::string* err) {
  std::vector<Prepared> ready(files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    if (!prepare(files[i].path, files[i].bytes, ready[i], err)) {
      for (size_t k = 0; k < i; ++k) ::unlink(ready[k].tmp.c_str());
      return false;
    }
  }
  // Keep every old file reachable under a temporary name of ours until all
  // are in place, so that a failed rename can put the earlier ones back.
  for (Prepared& p : ready) {
    if (!fileExists(p.target) || ready.size() < 2) continue;
    std::string keep = parentDir(p.target) + "/." + fileName(p.target) + kTempMark + "XXXXXX";
    const int fd = ::mkostemp(keep.data(), O_CLOEXEC);
    if (fd < 0) continue;
    ::close(fd);
    ::unlink(keep.c_str());
    if (::link(p.target.c_str(), keep.c_str()) == 0) p.keep = keep;
  }
  bool ok = true;
  size_t done = 0;
  for (; done < ready.size(); ++done)
    if (!commit(ready[done], err)) {
      ok = false;
      break;
    }
  if (!ok) {
    for (size_t k = done + 1; k < ready.size(); ++k) ::unlink(ready[k].tmp.c_str());
    for (size_t k = 0; k < done; ++k)
      if (!ready[k].keep.empty() && ::rename(ready[k].keep.c_str(), ready[k].target.c_str()) == 0)
        ready[k].keep.clear();
  }
  for (const Prepared& p : ready)
    if (!p.keep.empty()) ::unlink(p.keep.c_str());
  return ok;
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
