// Class and type identifiers derived from names: a name-based identifier
// (SHA-1 of a fixed name space and the name, version 5, RFC 4122 variant),
// so that every program that knows a filter's kind and name finds its entry
// in the filter store without a table.  Header only: the filter modules use
// it without linking anything of ours.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace tl::flt {

namespace nameguid_detail {

inline uint32_t rol(uint32_t v, int n) { return (v << n) | (v >> (32 - n)); }

// SHA-1 of data (FIPS 180-4), 20 bytes into out.
inline void sha1(std::string_view data, uint8_t out[20]) {
  uint32_t h[5] = {0x67452301u, 0xEFCDAB89u, 0x98BADCFEu, 0x10325476u, 0xC3D2E1F0u};
  std::string m(data);
  const uint64_t bits = uint64_t(data.size()) * 8;
  m += char(0x80);
  while (m.size() % 64 != 56) m += char(0);
  for (int i = 7; i >= 0; --i) m += char((bits >> (i * 8)) & 0xFF);
  for (size_t off = 0; off < m.size(); off += 64) {
    uint32_t w[80];
    for (int i = 0; i < 16; ++i)
      w[i] = uint32_t(uint8_t(m[off + 4 * i])) << 24 | uint32_t(uint8_t(m[off + 4 * i + 1])) << 16 |
             uint32_t(uint8_t(m[off + 4 * i + 2])) << 8 | uint32_t(uint8_t(m[off + 4 * i + 3]));
    for (int i = 16; i < 80; ++i) w[i] = rol(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (int i = 0; i < 80; ++i) {
      uint32_t f, k;
      if (i < 20) {
        f = (b & c) | (~b & d);
        k = 0x5A827999u;
      } else if (i < 40) {
        f = b ^ c ^ d;
        k = 0x6ED9EBA1u;
      } else if (i < 60) {
        f = (b & c) | (b & d) | (c & d);
        k = 0x8F1BBCDCu;
      } else {
        f = b ^ c ^ d;
        k = 0xCA62C1D6u;
      }
      const uint32_t t = rol(a, 5) + f + e + k + w[i];
      e = d;
      d = c;
      c = rol(b, 30);
      b = a;
      a = t;
    }
    h[0] += a;
    h[1] += b;
    h[2] += c;
    h[3] += d;
    h[4] += e;
  }
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 4; ++j) out[4 * i + j] = uint8_t(h[i] >> (24 - 8 * j));
}

// The name space of Tallisen's filter identifiers, in byte order.
inline constexpr uint8_t kNameSpace[16] = {0x7A, 0x1C, 0x52, 0x0E, 0x3B, 0x64, 0x4F, 0x2D,
                                           0x9A, 0x41, 0x6C, 0x0B, 0x8E, 0x53, 0x27, 0xD1};

}  // namespace nameguid_detail

// The braced text form ("{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper
// case) of the identifier of `name`, e.g. "lavc-decoder:mpeg2video".
inline std::string nameGuidText(std::string_view name) {
  std::string input(reinterpret_cast<const char*>(nameguid_detail::kNameSpace), 16);
  input.append(name);
  uint8_t d[20];
  nameguid_detail::sha1(input, d);
  d[6] = uint8_t((d[6] & 0x0F) | 0x50);
  d[8] = uint8_t((d[8] & 0x3F) | 0x80);
  char buf[40];
  std::snprintf(buf, sizeof buf,
                "{%02X%02X%02X%02X-%02X%02X-%02X%02X-%02X%02X-%02X%02X%02X%02X%02X%02X}", d[0],
                d[1], d[2], d[3], d[4], d[5], d[6], d[7], d[8], d[9], d[10], d[11], d[12], d[13],
                d[14], d[15]);
  return buf;
}

}  // namespace tl::flt
