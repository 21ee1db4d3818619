// ASCII case folding of single bytes.  Only A-Z change, so a byte of a
// double-byte 932 character may fold, as it does in the stored files' own
// comparisons; no locale is consulted.
#pragma once

#include <string>
#include <string_view>

namespace tl::cp {

constexpr char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

inline std::string lowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = lowerAscii(c);
  return out;
}

}  // namespace tl::cp
