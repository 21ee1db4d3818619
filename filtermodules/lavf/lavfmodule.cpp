// Filter module of libavformat's demuxers (splitters).  Each demuxer is a
// filter named as the library names it, with the class identifier of
// "lavf-demuxer:" + name, an input pin of its stream format and an output pin
// of any number of elementary streams.
extern "C" {
#include <libavformat/avformat.h>
}

#include <cstring>
#include <vector>

#include "filtermodules/moduleutil.h"

namespace {

using namespace tlmod;

// The stream subtypes a demuxer reads: the established identifiers of the
// MPEG system streams, else one derived from the format's name.
std::vector<std::string> subtypesOf(const char* name) {
  if (std::strcmp(name, "mpeg") == 0) return {kMpeg1System, kMpeg2Program};
  if (std::strcmp(name, "mpegts") == 0) return {kMpeg2Program};
  return {tl::flt::nameGuidText(std::string("lavf-format:") + name)};
}

template <typename F>
void forEachDemuxer(F f) {
  void* it = nullptr;
  while (const AVInputFormat* fmt = av_demuxer_iterate(&it)) f(*fmt);
}

std::string classIdOf(const AVInputFormat& f) {
  return tl::flt::nameGuidText(std::string("lavf-demuxer:") + f.name);
}

}  // namespace

TL_MODULE_EXPORT int32_t DllRegisterServer(void) {
  return registerAll(
      reinterpret_cast<const void*>(&DllRegisterServer), [](auto visit) { forEachDemuxer(visit); },
      [](const AVInputFormat& f, const std::string& path, uint32_t merit) {
        const std::vector<std::string> subtypes = subtypesOf(f.name);
        std::vector<TlFilterType> in;
        for (const std::string& s : subtypes) in.push_back({kStream, s.c_str()});
        const TlFilterType out[] = {{nullptr, nullptr}};
        const TlFilterPin pins[] = {{0, 1, uint32_t(in.size()), in.data()}, {8 | 4 | 1, 0, 1, out}};
        return registerOne(classIdOf(f), f.name, f.long_name ? f.long_name : "", path, merit, 2, pins);
      });
}

TL_MODULE_EXPORT int32_t DllUnregisterServer(void) {
  return unregisterAll([](auto visit) { forEachDemuxer(visit); },
                       [](const AVInputFormat& f) { return classIdOf(f); });
}
