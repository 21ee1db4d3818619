#include "core/recentfiles.h"

#include <algorithm>

#include "core/settings.h"
#include "platform/codepage/ascii.h"
#include "platform/registry/registry.h"

namespace tl {

namespace {
std::string fileKey() { return std::string(kRegKey) + "\\file"; }
}  // namespace

void refileadd(std::vector<std::string>& list, const std::string& path) {
  if (path.empty()) return;
  list.erase(std::remove(list.begin(), list.end(), path), list.end());
  list.insert(list.begin(), path);
  if (list.size() > static_cast<size_t>(kRecentMax)) list.resize(kRecentMax);
}

std::vector<std::string> ReadFile(const reg::Hive& h, std::vector<std::string>* messages) {
  std::vector<std::string> list;
  for (int n = 0; n < kRecentMax; ++n) {
    std::string name = "r" + std::to_string(n);
    auto v = h.value(fileKey(), name);
    if (v && v->type != reg::Type::String) {
      if (messages) messages->push_back(readTypeMessage("file", name));
      v.reset();
    }
    list.push_back(v ? v->data : std::string());
  }
  return list;
}

namespace {
void putList(reg::Hive& h, const std::vector<std::string>& list) {
  h.setString(fileKey(), "r0", list.empty() ? std::string() : list[0]);
  for (size_t n = 1; n < list.size() && n < static_cast<size_t>(kRecentMax); ++n)
    h.setString(fileKey(), "r" + std::to_string(n), list[n]);
}
}  // namespace

bool WriteFile(reg::Hive& h, const std::vector<std::string>& list, std::string* err) {
  putList(h, list);
  return saveHive(h, err);
}

bool WriteFileMerged(reg::Hive& hive, const std::vector<std::string>& opened, std::string* err) {
  return updateHive(hive, [&](reg::Hive& h) {
    std::vector<std::string> list = ReadFile(h);
    for (const std::string& path : opened) refileadd(list, path);
    putList(h, list);
  }, err);
}

std::string menuCaption(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '&') out.push_back('&');
    out.push_back(c);
  }
  return out;
}

std::vector<RecentItem> recentMenuItems(const std::vector<std::string>& list) {
  std::vector<RecentItem> items;
  for (size_t n = 0; n < list.size() && n < static_cast<size_t>(kRecentMax); ++n) {
    if (list[n].empty()) continue;
    items.push_back({static_cast<int>(n), std::to_string(n) + ":" + menuCaption(list[n]), list[n]});
  }
  return items;
}

bool refileIsSrt(const std::string& path) {
  if (path.size() < 4) return false;
  return cp::lowerAscii(std::string_view(path).substr(path.size() - 4)) == ".srt";
}

}  // namespace tl
