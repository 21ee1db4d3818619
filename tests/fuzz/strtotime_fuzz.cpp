// One time text, and the small text routines of the SRT reader.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/srtread.h"
#include "core/timetext.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string s(reinterpret_cast<const char*>(data), size);
  std::string err;
  const tl::ttime t = tl::strtotime(s, &err);
  if (!tl::timeFits(t)) __builtin_trap();  // every time read stays in range
  // The SRT text the program writes reads back to the time it shows.
  const std::string own = tl::sec2str_3(t);
  std::string err2;
  if (tl::strtotime(own, &err2) != t / 10 * 10 || !err2.empty()) __builtin_trap();
  size_t arrow = 0;
  (void)tl::isTimeLine(s, &arrow, true);
  (void)tl::tagdel(s);
  (void)tl::pardel(s);
  (void)tl::splitLines(s);
  (void)tl::eu2asc(s);
  return 0;
}
