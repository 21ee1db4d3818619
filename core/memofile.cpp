#include "core/memofile.h"

#include <algorithm>

namespace tl {

std::string memoBytes(const Lesson& L) {
  std::string out;
  const size_t n = std::max<size_t>(L.submemo.size(), L.subcount > 0 ? (size_t)L.subcount : 0);
  for (size_t i = 0; i < n; ++i) {
    if (i < L.submemo.size()) {
      for (char c : L.submemo[i]) out += (c == '\r' || c == '\n') ? ' ' : c;
    }
    out += "\r\n";
  }
  return out;
}

std::vector<std::string> memoLines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::string cur;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      lines.push_back(cur);
      cur.clear();
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) lines.push_back(cur);
  return lines;
}

void padMemos(Lesson& L) {
  if (L.subcount > 0 && L.submemo.size() < (size_t)L.subcount) L.submemo.resize(L.subcount);
}

}  // namespace tl
