#include "platform/paths/paths.h"

#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <mutex>
#include <unistd.h>

#include "platform/paths/files.h"

namespace tl::paths {

namespace {

std::mutex& overrideMutex() {
  static std::mutex m;
  return m;
}
std::string& overridePath() {
  static std::string p;
  return p;
}

std::string withSlash(std::string dir) {
  if (dir.empty() || dir.back() != '/') dir.push_back('/');
  return dir;
}

// Copies a file into the data folder when it is not there yet.
bool seed(const std::string& from, const std::string& to) {
  if (fileExists(to) || !fileExists(from)) return false;
  std::string bytes;
  return readFile(from, bytes) && atomicWriteFile(to, bytes);
}

}  // namespace

void setExedirForTests(const std::string& path) {
  std::lock_guard<std::mutex> lock(overrideMutex());
  overridePath() = path;
}

std::string programDir() {
  char buf[PATH_MAX];
  const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n <= 0) return "./";
  return withSlash(parentDir(std::string(buf, static_cast<size_t>(n))));
}

std::string userDataDir() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg == '/') return withSlash(xdg) + "tallisen/";
  const char* home = std::getenv("HOME");
  return withSlash(home && *home ? home : "/tmp") + ".local/share/tallisen/";
}

int migrateFrom(const std::string& from, const std::string& to) {
  if (from == to) return 0;
  int moved = 0;
  const std::string oldSav = from + "sav/";
  if (dirExists(oldSav)) {
    makeDirs(to + "sav");
    if (DIR* d = ::opendir(oldSav.c_str())) {
      while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        if (!fileExists(oldSav + name) || name.find(".tmp-") != std::string::npos ||
            name.find(kTempMark) != std::string::npos)
          continue;
        if (seed(oldSav + name, to + "sav/" + name)) {
          ++moved;
          ::unlink((oldSav + name).c_str());  // the copy is on disk; may fail, then both stay
        }
      }
      ::closedir(d);
    }
  }
  moved += seed(from + "word.csv", to + "word.csv");
  moved += seed(from + "escape.txt", to + "escape.txt");
  return moved;
}

void seedDataDir(const std::string& dataDir, const std::string& prog) {
  const std::string dir = withSlash(dataDir);
  const std::string installed = withSlash(prog) + "../share/tallisen/";
  for (const char* name : {"word.csv", "escape.txt"}) {
    const std::string from = fileExists(withSlash(prog) + name) ? withSlash(prog) + name : installed + name;
    seed(from, dir + name);
  }
}

std::string exedir() {
  {
    std::lock_guard<std::mutex> lock(overrideMutex());
    if (!overridePath().empty()) return withSlash(overridePath());
  }
  if (const char* env = std::getenv("TALLISEN_EXEDIR"); env && *env) return withSlash(env);
  const std::string user = userDataDir();
  static std::once_flag once;
  std::call_once(once, [&] {
    makeDirs(user + "sav");
    migrateFrom(programDir(), user);
    seedDataDir(user, programDir());
  });
  return user;
}

}  // namespace tl::paths
