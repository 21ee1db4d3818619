#include "platform/media/decoderchoice.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <mpv/client.h>

#include <algorithm>
#include <map>

#include "platform/filters/filterdata.h"
#include "platform/filters/filterstore.h"
#include "platform/filters/nameguid.h"

namespace tl::media {

namespace {

std::string join(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) {
    if (!out.empty()) out += ',';
    out += n;
  }
  return out;
}

struct Split {
  bool anyRegistered = false;
  bool anyExcluded = false;
  std::vector<std::string> usable;  // highest merit first, ties in library order
};

Split split(const std::vector<FilterCandidate>& all, FilterKind kind, bool byMerit) {
  Split s;
  std::vector<std::pair<uint32_t, std::string>> ok;
  for (const FilterCandidate& c : all) {
    if (c.kind != kind) continue;
    if (c.merit) s.anyRegistered = true;
    if (c.merit && *c.merit > MERIT_DO_NOT_USE)
      ok.emplace_back(*c.merit, c.name);
    else
      s.anyExcluded = true;
  }
  if (byMerit)
    std::stable_sort(ok.begin(), ok.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
  for (auto& p : ok) s.usable.push_back(std::move(p.second));
  return s;
}

std::string decoderList(const std::vector<FilterCandidate>& all, FilterKind kind) {
  Split s = split(all, kind, true);
  if (!s.anyRegistered) return {};
  if (!s.anyExcluded) return join(s.usable);
  s.usable.push_back("-");
  return join(s.usable);
}

}  // namespace

DecoderChoice buildDecoderChoice(const std::vector<FilterCandidate>& candidates) {
  DecoderChoice c;
  c.vd = decoderList(candidates, FilterKind::VideoDecoder);
  c.ad = decoderList(candidates, FilterKind::AudioDecoder);
  Split d = split(candidates, FilterKind::Demuxer, false);
  if (d.anyRegistered && d.anyExcluded)
    // No demuxer is named "-": an empty list would allow every one.
    c.formatWhitelist = d.usable.empty() ? std::string("-") : join(d.usable);
  return c;
}

std::vector<FilterCandidate> readCandidates(const flt::FilterStore& store) {
  std::map<std::string, uint32_t> merits;  // class identifier text -> merit
  std::vector<flt::PropertyBag> bags;
  store.createClassEnumerator(flt::CLSID_LegacyAmFilterCategory, bags);
  for (const flt::PropertyBag& bag : bags) {
    std::string id, data;
    if (!bag.readString("CLSID", id) || !bag.readBytes("FilterData", data)) continue;
    auto guid = flt::fromString(id);
    auto f = flt::parseFilterData(data);
    if (guid && f) merits.emplace(flt::toString(*guid), f->merit);
  }
  auto meritOf = [&](const std::string& name) -> std::optional<uint32_t> {
    auto it = merits.find(flt::nameGuidText(name));
    if (it == merits.end()) return std::nullopt;
    return it->second;
  };

  std::vector<FilterCandidate> out;
  void* it = nullptr;
  while (const AVCodec* c = av_codec_iterate(&it)) {
    if (!av_codec_is_decoder(c)) continue;
    if (c->type != AVMEDIA_TYPE_VIDEO && c->type != AVMEDIA_TYPE_AUDIO) continue;
    out.push_back({c->type == AVMEDIA_TYPE_VIDEO ? FilterKind::VideoDecoder : FilterKind::AudioDecoder,
                   c->name, meritOf(std::string("lavc-decoder:") + c->name)});
  }
  it = nullptr;
  while (const AVInputFormat* f = av_demuxer_iterate(&it))
    out.push_back({FilterKind::Demuxer, f->name, meritOf(std::string("lavf-demuxer:") + f->name)});
  return out;
}

DecoderChoice currentDecoderChoice() {
  flt::FilterStore store;
  if (!store.open()) return {};
  return buildDecoderChoice(readCandidates(store));
}

void applyDecoderChoice(mpv_handle* mpv, const DecoderChoice& c) {
  mpv_set_property_string(mpv, "vd", c.vd.c_str());
  mpv_set_property_string(mpv, "ad", c.ad.c_str());
  // A map node: the list's commas need no quoting.
  char key[] = "format_whitelist";
  char* keys[] = {key};
  mpv_node value{};
  value.format = MPV_FORMAT_STRING;
  value.u.string = const_cast<char*>(c.formatWhitelist.c_str());
  mpv_node_list list{};
  list.num = c.formatWhitelist.empty() ? 0 : 1;
  list.values = &value;
  list.keys = keys;
  mpv_node map{};
  map.format = MPV_FORMAT_NODE_MAP;
  map.u.list = &list;
  mpv_set_property(mpv, "demuxer-lavf-o", MPV_FORMAT_NODE, &map);
}

std::string decodersInUse(mpv_handle* mpv) {
  auto get = [mpv](const char* name) {
    char* s = mpv_get_property_string(mpv, name);
    std::string out = s ? s : "";
    mpv_free(s);
    return out;
  };
  return decoderLogText(get("current-tracks/video/decoder-desc"),
                        get("current-tracks/audio/decoder-desc"));
}

std::string decoderLogText(const std::string& video, const std::string& audio) {
  std::string out;
  if (!video.empty()) out = "映像デコーダ " + video;
  if (!audio.empty()) out += (out.empty() ? "" : "　") + std::string("音声デコーダ ") + audio;
  return out;
}

}  // namespace tl::media
