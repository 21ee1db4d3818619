// The media layer's URL mapping and its texts.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "platform/media/mediaurl.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string url(reinterpret_cast<const char*>(data), size);
  (void)tl::media::mapUrl(url);
  (void)tl::media::cdTrackOf(url);
  if (size >= sizeof(double)) {
    double v;
    std::memcpy(&v, data, sizeof v);
    (void)tl::media::durationText(v);
    (void)tl::media::statusText((int)data[0] - 8, url);
  }
  return 0;
}
