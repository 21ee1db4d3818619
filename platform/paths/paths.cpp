#include "platform/paths/paths.h"

#include <climits>
#include <cstdlib>
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

// Copies a file shipped beside the program into the data folder once.
void seed(const std::string& from, const std::string& to) {
  if (fileExists(to) || !fileExists(from)) return;
  std::string bytes;
  if (readFile(from, bytes)) atomicWriteFile(to, bytes);
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
  const std::string prog = programDir();
  if (::access(prog.c_str(), W_OK) == 0) return prog;
  const std::string user = userDataDir();
  makeDirs(user + "sav");
  seedDataDir(user, prog);
  return user;
}

}  // namespace tl::paths
