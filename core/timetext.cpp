#include "core/timetext.h"

namespace tl {

std::string inttostr2(long long n, int width) {
  std::string s = std::to_string(n);
  if ((int)s.size() < width) s.insert(0, width - s.size(), '0');
  return s;
}

namespace {

// "0" + hours + ":" + MM + ":" + SS of the whole seconds of t.
std::string clock(ttime t) {
  const ttime s = t / 10000;
  return "0" + std::to_string(s / 3600) + ":" + inttostr2((s % 3600) / 60, 2) + ":" + inttostr2(s % 60, 2);
}

ttime fraction(ttime t) { return t - (t / 10000) * 10000; }

}  // namespace

std::string sec2str_4(ttime t) { return clock(t) + "," + inttostr2(fraction(t), 4); }

std::string sec2str_3(ttime t) { return clock(t) + "," + inttostr2(fraction(t) * 1000 / 10000, 3); }

std::string sec2str_0(ttime t) { return clock(t); }

}  // namespace tl
