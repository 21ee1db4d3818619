// Filter module of libavcodec's video and audio decoders.  Each decoder is a
// filter named as the library names it, with the class identifier of
// "lavc-decoder:" + name, an input pin of its coded format and an output pin
// of plain video or audio.
extern "C" {
#include <libavcodec/avcodec.h>
}

#include <vector>

#include "filtermodules/moduleutil.h"

namespace {

using namespace tlmod;

// The input subtype of a coded format: the established identifier where
// there is one, else one derived from the format's name.
std::string subtypeOf(AVCodecID id) {
  switch (id) {
    case AV_CODEC_ID_MPEG1VIDEO:
      return kMpeg1Payload;
    case AV_CODEC_ID_MPEG2VIDEO:
      return kMpeg2Video;
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP3:
      return kMpeg1AudioPayload;
    default:
      return tl::flt::nameGuidText(std::string("lavc-codec:") + avcodec_get_name(id));
  }
}

// Formats that come in the audio packets of an MPEG-2 program stream.
bool inMpeg2Pes(AVCodecID id) {
  return id == AV_CODEC_ID_MP2 || id == AV_CODEC_ID_AC3 || id == AV_CODEC_ID_DTS ||
         id == AV_CODEC_ID_PCM_DVD;
}

template <typename F>
void forEachDecoder(F f) {
  void* it = nullptr;
  while (const AVCodec* c = av_codec_iterate(&it)) {
    if (!av_codec_is_decoder(c)) continue;
    if (c->type != AVMEDIA_TYPE_VIDEO && c->type != AVMEDIA_TYPE_AUDIO) continue;
    f(*c);
  }
}

std::string classIdOf(const AVCodec& c) {
  return tl::flt::nameGuidText(std::string("lavc-decoder:") + c.name);
}

}  // namespace

TL_MODULE_EXPORT int32_t DllRegisterServer(void) {
  return registerAll(
      reinterpret_cast<const void*>(&DllRegisterServer), [](auto visit) { forEachDecoder(visit); },
      [](const AVCodec& c, const std::string& path, uint32_t merit) {
        const bool video = c.type == AVMEDIA_TYPE_VIDEO;
        const char* major = video ? kVideo : kAudio;
        const std::string subtype = subtypeOf(c.id);
        std::vector<TlFilterType> in = {{major, subtype.c_str()}};
        if (inMpeg2Pes(c.id)) in.push_back({kMpeg2Pes, subtype.c_str()});
        const TlFilterType out[] = {{major, nullptr}};
        const TlFilterPin pins[] = {{0, 1, uint32_t(in.size()), in.data()}, {8, 1, 1, out}};
        return registerOne(classIdOf(c), c.name, c.long_name ? c.long_name : "", path, merit, 2, pins);
      });
}

TL_MODULE_EXPORT int32_t DllUnregisterServer(void) {
  return unregisterAll([](auto visit) { forEachDecoder(visit); },
                       [](const AVCodec& c) { return classIdOf(c); });
}
