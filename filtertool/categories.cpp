#include "filtertool/categories.h"

namespace quendle {

using namespace tl::flt;

QString categoryName(int category) {
  static const char* const kNames[kCategoryCount] = {
      "MPEG-1 Video Decoder", "MPEG-1 Audio Decoder", "MPEG-2 Video Decoder",
      "MPEG-2 Audio Decoder", "MPEG-1 Splitter",      "MPEG-2 Splitter",
      "すべて",               "メリット値を変更したフィルタ", "登録を解除したフィルタ"};
  if (category < 0 || category >= kCategoryCount) return {};
  return QString::fromUtf8(kNames[category]);
}

CategoryMediaTypes categoryMediaTypes(int category) {
  switch (category) {
    case kMpeg1VideoDecoder:
      return {MEDIATYPE_Video, MEDIASUBTYPE_MPEG1Payload, MEDIATYPE_Video, GUID_NULL, true};
    case kMpeg1AudioDecoder:
      return {MEDIATYPE_Audio, MEDIASUBTYPE_MPEG1AudioPayload, MEDIATYPE_Audio, GUID_NULL, true};
    case kMpeg2VideoDecoder:
      return {MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, MEDIATYPE_Video, GUID_NULL, true};
    case kMpeg2AudioDecoder:
      return {MEDIATYPE_MPEG2_PES, GUID_NULL, MEDIATYPE_Audio, GUID_NULL, true};
    case kMpeg1Splitter:
      return {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG1System, GUID_NULL, GUID_NULL, false};
    case kMpeg2Splitter:
    default:
      return {MEDIATYPE_Stream, MEDIASUBTYPE_MPEG2_PROGRAM, GUID_NULL, GUID_NULL, false};
  }
}

}  // namespace quendle
