// A module with two filters: an MPEG-1 video decoder and an MPEG-1 splitter.
#include "fixture_module.h"

namespace {

const char kDecoder[] = "{5A1E0001-0000-4000-8000-00000000F001}";
const char kSplitter[] = "{5A1E0001-0000-4000-8000-00000000F002}";
const char kVideo[] = "{73646976-0000-0010-8000-00AA00389B71}";
const char kStream[] = "{E436EB83-524F-11CE-9F53-0020AF0BA770}";
const char kMpeg1Payload[] = "{E436EB81-524F-11CE-9F53-0020AF0BA770}";
const char kMpeg1System[] = "{E436EB84-524F-11CE-9F53-0020AF0BA770}";

}  // namespace

FX_EXPORT int32_t DllRegisterServer(void) {
  const std::string path = fxModulePath(reinterpret_cast<const void*>(&DllRegisterServer));
  const TlFilterType decIn[] = {{kVideo, kMpeg1Payload}};
  const TlFilterType decOut[] = {{kVideo, nullptr}};
  const TlFilterPin decPins[] = {{0, 1, 1, decIn}, {8, 1, 1, decOut}};
  const TlFilterType splIn[] = {{kStream, kMpeg1System}};
  const TlFilterType splOut[] = {{kVideo, kMpeg1Payload}};
  const TlFilterPin splPins[] = {{0, 1, 1, splIn}, {8 | 4 | 1, 0, 1, splOut}};
  int32_t r = tl_filter_register_server(kDecoder, "Fixture MPEG-1 Video Decoder", path.c_str());
  if (r >= 0) r = tl_filter_register_server(kSplitter, "Fixture MPEG-1 Splitter", path.c_str());
  if (r >= 0) r = tl_filter_register(kDecoder, "Fixture MPEG-1 Video Decoder", 0x00600000, 2, decPins);
  if (r >= 0) r = tl_filter_register(kSplitter, "Fixture MPEG-1 Splitter", 0x00400000, 2, splPins);
  return r;
}

FX_EXPORT int32_t DllUnregisterServer(void) {
  int32_t r = 0;
  for (const char* id : {kDecoder, kSplitter}) {
    int32_t a = tl_filter_unregister(id);
    int32_t b = tl_filter_unregister_server(id);
    if (a < 0) r = a;
    if (b < 0) r = b;
  }
  return r;
}
