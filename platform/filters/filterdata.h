// A filter's registration data: version, merit and pins with their media
// types, and "FilterData", the binary form kept in the filter store.
//
// FilterData layout (all numbers unsigned 32-bit little-endian, identifiers
// 16 bytes in text order, see guid.h):
//
//   magic      4 bytes "TLFD"
//   version    u32            (2)
//   merit      u32
//   pinCount   u32            (at most kMaxPins)
//   pinCount times:
//     flags      u32          (PinFlag bits)
//     instances  u32          (how many instances the pin may have; 0 = any)
//     category   16 bytes     (pin category, GUID_NULL for none)
//     typeCount  u32          (at most kMaxTypes)
//     typeCount times: major type 16 bytes, subtype 16 bytes
//
// Nothing may follow the last pin.  The bytes come from a store file that
// anyone with write access may have changed, so the parser checks every count
// and length before it reads and refuses the whole block on any mismatch.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/filters/guid.h"

namespace tl::flt {

enum PinFlag : uint32_t {
  kPinZero = 1,      // the filter may have no instance of this pin
  kPinRendered = 2,  // the filter renders this input
  kPinMany = 4,      // the filter may have many instances of this pin
  kPinOutput = 8,    // an output pin (else an input pin)
};

struct MediaTypePair {
  Guid major;
  Guid minor;
  friend bool operator==(const MediaTypePair&, const MediaTypePair&) = default;
};

struct RegPin {
  uint32_t flags = 0;
  uint32_t instances = 0;
  Guid category;
  std::vector<MediaTypePair> types;
  bool isOutput() const { return flags & kPinOutput; }
  friend bool operator==(const RegPin&, const RegPin&) = default;
};

struct RegFilter2 {
  uint32_t version = 2;
  uint32_t merit = 0;
  std::vector<RegPin> pins;
  friend bool operator==(const RegFilter2&, const RegFilter2&) = default;
};

constexpr uint32_t kMaxPins = 256;
constexpr uint32_t kMaxTypes = 1024;

std::string serializeFilterData(const RegFilter2& f);
// nullopt for anything that is not a complete, valid block.
std::optional<RegFilter2> parseFilterData(std::string_view bytes);

}  // namespace tl::flt
