// The player's choice of decoders and splitters, taken from the filter store
// that the filter tool edits.  The decoder and splitter modules register every
// decoder and demuxer of libavcodec and libavformat (class identifiers from
// "lavc-decoder:" / "lavf-demuxer:" + name); here their merits become mpv's
// options at each media open:
//   vd / ad    every usable video / audio decoder, highest merit first, ties
//              in the library's order; when one is left out the list ends
//              in "-" (mpv then uses only what is listed)
//   format_whitelist (libavformat, via demuxer-lavf-o)  the usable demuxers,
//              set only when one is left out: mpv picks a demuxer by
//              probing, so splitter merits can exclude but not order.
// Left out: a filter at or below MERIT_DO_NOT_USE, or one not registered.
// A kind of which the store holds no filter at all (the module was never
// registered, the store is unreadable) is left to mpv's own choice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct mpv_handle;

namespace tl::flt {
class FilterStore;
}

namespace tl::media {

constexpr uint32_t MERIT_DO_NOT_USE = 0x200000;

enum class FilterKind { VideoDecoder, AudioDecoder, Demuxer };

struct FilterCandidate {
  FilterKind kind;
  std::string name;
  std::optional<uint32_t> merit;  // nullopt: not registered
};

struct DecoderChoice {
  std::string vd;               // empty: mpv's own choice
  std::string ad;               // empty: mpv's own choice
  std::string formatWhitelist;  // empty: every demuxer
};

// candidates: in the libraries' own order.
DecoderChoice buildDecoderChoice(const std::vector<FilterCandidate>& candidates);

// Every video and audio decoder and every demuxer of the libraries, in their
// order, with the merit the store holds for it.
std::vector<FilterCandidate> readCandidates(const flt::FilterStore& store);

// Both steps on the store the filter tool edits.
DecoderChoice currentDecoderChoice();

// Sets mpv's options "vd", "ad" and "demuxer-lavf-o" for the next open.
void applyDecoderChoice(mpv_handle* mpv, const DecoderChoice& choice);
// The log line of the decoders mpv has opened for the current medium.
std::string decodersInUse(mpv_handle* mpv);

// The log line naming the decoders in use ("映像デコーダ ..." and "音声デコーダ ..."); either
// may be empty (no such stream).  Empty when both are.
std::string decoderLogText(const std::string& video, const std::string& audio);

}  // namespace tl::media
