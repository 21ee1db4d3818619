#include "core/strutil.h"

#include "core/lesson.h"

namespace tl {

std::string midstr(const std::string& text, long long from, long long to) {
  const long long count = to - from + 1;
  if (from < 1) from = 1;
  if (count < 1 || from > (long long)text.size()) return {};
  return text.substr((size_t)(from - 1), (size_t)count);
}

std::string afterstr(const std::string& sep, const std::string& text) {
  const size_t p = sep.empty() ? std::string::npos : text.find(sep);
  if (p == std::string::npos) return midstr(text, (long long)sep.size(), (long long)text.size());
  return midstr(text, (long long)(p + 1 + sep.size()), (long long)text.size());
}

long long wordend(const std::string& text, long long index, int step) {
  const long long n = (long long)text.size();
  if (index < 1 || index > n) return index;
  long long i = index;
  while (i >= 1 && i <= n && asciiLetter((unsigned char)text[(size_t)(i - 1)])) i += step;
  return i;
}

}  // namespace tl
