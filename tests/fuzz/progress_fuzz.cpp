// Progress and memo files read against a loaded table.  The first two bytes
// give the length of the progress part; the rest is the memo file.
#include <cstddef>
#include <cstdint>

#include "core/letterstates.h"
#include "core/memofile.h"
#include "core/progressfile.h"
#include "core/srtread.h"
#include "support.h"

namespace {

const tl::Lesson& table() {
  static tl::Lesson l = [] {
    tl::Lesson t;
    tl::loadSrtBytes(
        "1\r\n00:00:01,000 --> 00:00:02,000\r\nHey (you)\r\n\r\n"
        "2\r\n00:00:03,000 --> 00:00:04,000\r\nwww.example.org\r\n\r\n"
        "3\r\n00:00:15,000 --> 00:00:17,500\r\nTwo\r\nlines\r\n\r\n",
        "/fuzz/x.srt", 28591, "/fuzz/", t);
    return t;
  }();
  return l;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t split = (size_t)data[0] | (size_t)data[1] << 8;
  data += 2;
  size -= 2;
  if (split > size) split = size;
  tl::Lesson l = table();
  l.savpath = tl::fuzz::putFile("x.dat", data, split);
  l.memopath = tl::fuzz::putFile("x.txt", data + split, size - split);
  const tl::ProgressLoadResult r = tl::subflgload(l);
  if (r.askAdjust && !tl::adjustmentFits(l, l.adjsaved)) __builtin_trap();
  if (l.resumesub < 0 || l.resumesub >= l.subcount) __builtin_trap();
  (void)tl::progressBytes(l);
  (void)tl::memoBytes(l);
  tl::recountflags(l);
  return 0;
}
