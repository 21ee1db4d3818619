// The WAV reader of the clear sounds.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/sound/soundplayer.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  tl::WavData w;
  (void)tl::parseWav(bytes, w);
  return 0;
}
