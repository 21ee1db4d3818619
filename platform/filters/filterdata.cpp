#include "platform/filters/filterdata.h"

#include <cstring>

namespace tl::flt {

namespace {

constexpr char kMagic[4] = {'T', 'L', 'F', 'D'};

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putGuid(std::string& out, const Guid& g) {
  out.append(reinterpret_cast<const char*>(g.b.data()), g.b.size());
}

class Reader {
 public:
  explicit Reader(std::string_view b) : b_(b) {}
  size_t left() const { return b_.size() - pos_; }
  bool u32(uint32_t& v) {
    if (left() < 4) return false;
    v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(b_[pos_ + i])) << (8 * i);
    pos_ += 4;
    return true;
  }
  bool guid(Guid& g) {
    if (left() < 16) return false;
    std::memcpy(g.b.data(), b_.data() + pos_, 16);
    pos_ += 16;
    return true;
  }
  bool magic() {
    if (left() < 4 || std::memcmp(b_.data() + pos_, kMagic, 4) != 0) return false;
    pos_ += 4;
    return true;
  }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

}  // namespace

std::string serializeFilterData(const RegFilter2& f) {
  std::string out(kMagic, 4);
  putU32(out, f.version);
  putU32(out, f.merit);
  putU32(out, static_cast<uint32_t>(f.pins.size()));
  for (const RegPin& p : f.pins) {
    putU32(out, p.flags);
    putU32(out, p.instances);
    putGuid(out, p.category);
    putU32(out, static_cast<uint32_t>(p.types.size()));
    for (const MediaTypePair& t : p.types) {
      putGuid(out, t.major);
      putGuid(out, t.minor);
    }
  }
  return out;
}

std::optional<RegFilter2> parseFilterData(std::string_view bytes) {
  Reader r(bytes);
  RegFilter2 f;
  uint32_t pinCount = 0;
  if (!r.magic() || !r.u32(f.version) || !r.u32(f.merit) || !r.u32(pinCount)) return std::nullopt;
  if (f.version != 2 || pinCount > kMaxPins) return std::nullopt;
  // Each pin takes at least 28 bytes: a count cannot promise more than is there.
  if (pinCount > r.left() / 28) return std::nullopt;
  f.pins.resize(pinCount);
  for (RegPin& p : f.pins) {
    uint32_t typeCount = 0;
    if (!r.u32(p.flags) || !r.u32(p.instances) || !r.guid(p.category) || !r.u32(typeCount))
      return std::nullopt;
    if (typeCount > kMaxTypes || typeCount > r.left() / 32) return std::nullopt;
    p.types.resize(typeCount);
    for (MediaTypePair& t : p.types)
      if (!r.guid(t.major) || !r.guid(t.minor)) return std::nullopt;
  }
  if (r.left() != 0) return std::nullopt;
  return f;
}

}  // namespace tl::flt
