#include "platform/filters/guid.h"

#include <cassert>

namespace tl::flt {

namespace {

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Positions of the dashes inside the 38-character text.
bool isDashAt(size_t i) { return i == 9 || i == 14 || i == 19 || i == 24; }

}  // namespace

bool Guid::isNull() const {
  for (uint8_t x : b)
    if (x) return false;
  return true;
}

std::string toString(const Guid& g) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string s = "{";
  size_t byte = 0;
  for (size_t i = 1; i < 37; ++i) {
    if (isDashAt(i)) {
      s += '-';
      continue;
    }
    s += kDigits[g.b[byte] >> 4];
    s += kDigits[g.b[byte] & 15];
    ++byte;
    ++i;
  }
  s += '}';
  return s;
}

std::optional<Guid> fromString(std::string_view t) {
  if (t.size() != 38 || t.front() != '{' || t.back() != '}') return std::nullopt;
  Guid g;
  size_t byte = 0;
  for (size_t i = 1; i < 37;) {
    if (isDashAt(i)) {
      if (t[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    int hi = hexValue(t[i]), lo = hexValue(t[i + 1]);
    if (hi < 0 || lo < 0 || isDashAt(i + 1)) return std::nullopt;
    g.b[byte++] = static_cast<uint8_t>(hi * 16 + lo);
    i += 2;
  }
  if (byte != 16) return std::nullopt;
  return g;
}

Guid guidOf(std::string_view text) {
  auto g = fromString(text);
  assert(g);
  return g.value_or(Guid{});
}

const Guid GUID_NULL{};
const Guid MEDIATYPE_Video = guidOf("{73646976-0000-0010-8000-00AA00389B71}");
const Guid MEDIATYPE_Audio = guidOf("{73647561-0000-0010-8000-00AA00389B71}");
const Guid MEDIATYPE_Stream = guidOf("{E436EB83-524F-11CE-9F53-0020AF0BA770}");
const Guid MEDIATYPE_MPEG2_PES = guidOf("{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}");
const Guid MEDIASUBTYPE_MPEG1Payload = guidOf("{E436EB81-524F-11CE-9F53-0020AF0BA770}");
const Guid MEDIASUBTYPE_MPEG1AudioPayload = guidOf("{00000050-0000-0010-8000-00AA00389B71}");
const Guid MEDIASUBTYPE_MPEG2_VIDEO = guidOf("{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}");
const Guid MEDIASUBTYPE_MPEG1System = guidOf("{E436EB84-524F-11CE-9F53-0020AF0BA770}");
const Guid MEDIASUBTYPE_MPEG2_PROGRAM = guidOf("{E06D8022-DB46-11CF-B4D1-00805F6CBBEA}");
const Guid CLSID_LegacyAmFilterCategory = guidOf("{083863F1-70DE-11D0-BD40-00A0C911CE86}");
const Guid CLSID_FilterMapper2 = guidOf("{CDA42200-BD88-11D0-BD4E-00A0C911CE86}");
const Guid IID_IFilterMapper2 = guidOf("{B79BB0B0-33C1-11D1-ABE1-00A0C905F375}");
const Guid CLSID_SystemDeviceEnum = guidOf("{62BE5D10-60EB-11D0-BD3B-00A0C911CE86}");
const Guid IID_ICreateDevEnum = guidOf("{29840822-5B84-11D0-BD3B-00A0C911CE86}");
const Guid IID_IAMFilterData = guidOf("{97F7C4D4-547B-4A5F-8332-536430AD2E4D}");

}  // namespace tl::flt
