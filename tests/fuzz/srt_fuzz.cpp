// SRT reading with every code page setting, then what a load is followed by:
// letter states, scenes, a shift, the reset to the file's times and the write,
// also after an edit.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/letterstates.h"
#include "core/options.h"
#include "core/scenes.h"
#include "core/srtread.h"
#include "core/srtwrite.h"
#include "core/timing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  static const int kPages[] = {28591, 932, 65001, 1200, 0};
  const int codepage = kPages[data[0] % 5];
  const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  tl::Lesson l;
  const tl::LoadResult r = tl::loadSrtBytes(bytes, "/fuzz/in.srt", codepage, "/fuzz/", l);
  if (!r.ok) return 0;
  tl::closeflginit(l);
  tl::Scenecut(l, tl::kSceneGapDefault, 0);
  tl::Options o;
  o.adjcrt = (data[0] & 8) != 0;
  tl::adjshift(l, o, (data[0] & 16) ? -123456789 : 987654321, false);
  tl::adjratio(l, 12345, 3.5, true);
  tl::resetsub(l);
  (void)tl::srtBytes(l);
  // An edited cue is written from its 932 text beside the file's own lines.
  l.subtext[1] += "x\r\n";
  (void)tl::srtBytes(l);
  return 0;
}
