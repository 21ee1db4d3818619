// Class and type identifiers (16 bytes) with their registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", and the identifiers the filter
// tool and the filter store use.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tl::flt {

// The bytes are kept in the order of the text form, so that comparing the
// bytes compares the texts.
struct Guid {
  std::array<uint8_t, 16> b{};

  bool isNull() const;
  friend bool operator==(const Guid&, const Guid&) = default;
  friend auto operator<=>(const Guid&, const Guid&) = default;
};

// 38 characters in braces, upper-case hexadecimal digits.
std::string toString(const Guid& g);
// Accepts the braced form in either letter case; anything else gives nullopt.
std::optional<Guid> fromString(std::string_view text);
// For constants: the text must be valid (checked in debug builds).
Guid guidOf(std::string_view text);

// Identifiers of media types, categories and interfaces.
extern const Guid GUID_NULL;
extern const Guid MEDIATYPE_Video;
extern const Guid MEDIATYPE_Audio;
extern const Guid MEDIATYPE_Stream;
extern const Guid MEDIATYPE_MPEG2_PES;
extern const Guid MEDIASUBTYPE_MPEG1Payload;
extern const Guid MEDIASUBTYPE_MPEG1AudioPayload;
extern const Guid MEDIASUBTYPE_MPEG2_VIDEO;
extern const Guid MEDIASUBTYPE_MPEG1System;
extern const Guid MEDIASUBTYPE_MPEG2_PROGRAM;
extern const Guid CLSID_LegacyAmFilterCategory;
extern const Guid CLSID_FilterMapper2;
extern const Guid IID_IFilterMapper2;
extern const Guid CLSID_SystemDeviceEnum;
extern const Guid IID_ICreateDevEnum;
extern const Guid IID_IAMFilterData;

}  // namespace tl::flt
