#include <algorithm>
#include <cctype>
#include <dirent.h>
#include <sstream>

#include "platform/drives/drives.h"
#include "platform/paths/files.h"

namespace tl {

namespace {

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::string readTrimmed(const std::string& path) {
  std::string s;
  if (!paths::readFile(path, s)) return {};
  if (s.size() > 256) s.resize(256);
  return trim(s);
}

// "sr12" -> 12; -1 for names that are not an optical drive.
long srNumber(const std::string& name) {
  if (name.size() < 3 || name.compare(0, 2, "sr") != 0 || name.size() > 8) return -1;
  long n = 0;
  for (size_t i = 2; i < name.size(); ++i) {
    if (!std::isdigit(static_cast<unsigned char>(name[i]))) return -1;
    n = n * 10 + (name[i] - '0');
  }
  return n;
}

std::vector<std::string> fromSys(const std::string& root) {
  std::vector<std::string> names;
  DIR* dir = ::opendir((root + "sys/block").c_str());
  if (!dir) return names;
  while (dirent* e = ::readdir(dir))
    if (srNumber(e->d_name) >= 0) names.push_back(e->d_name);
  ::closedir(dir);
  return names;
}

// "drive name:\t\tsr1\tsr0" -> {sr1, sr0}.
std::vector<std::string> fromProc(const std::string& root) {
  std::vector<std::string> names;
  std::string info;
  if (!paths::readFile(root + "proc/sys/dev/cdrom/info", info)) return names;
  std::istringstream lines(info);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, 11, "drive name:") != 0) continue;
    std::istringstream words(line.substr(11));
    std::string w;
    while (words >> w)
      if (srNumber(w) >= 0) names.push_back(w);
  }
  return names;
}

}  // namespace

SystemDrives::SystemDrives(std::string root) : root_(std::move(root)) {
  if (root_.empty() || root_.back() != '/') root_.push_back('/');
}

std::vector<Drive> SystemDrives::list() const {
  std::vector<std::string> names = fromSys(root_);
  if (names.empty()) names = fromProc(root_);
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return srNumber(a) < srNumber(b); });
  names.erase(std::unique(names.begin(), names.end()), names.end());
  std::vector<Drive> out;
  for (const std::string& n : names) {
    const std::string dev = root_ + "sys/block/" + n + "/device/";
    std::string label = trim(readTrimmed(dev + "vendor") + " " + readTrimmed(dev + "model"));
    out.push_back({"/dev/" + n, label.empty() ? n : n + " (" + label + ")"});
  }
  return out;
}

}  // namespace tl
