// The stop-word list and the word entries of a cue on arbitrary bytes; the
// query encoding of the same bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/translation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const size_t cut = all.find('\0');
  const std::string_view list = cut == std::string_view::npos ? all : all.substr(0, cut);
  const std::string_view text = cut == std::string_view::npos ? all : all.substr(cut + 1);
  tl::trans::EscapeList esc;
  esc.load(list);
  for (const std::string& e : tl::trans::wordEntries(text, esc)) {
    if (e.size() < 10 || e.compare(0, 3, "nts") != 0) __builtin_trap();
    const int off = std::stoi(e.substr(3, 3));
    if (off < 0 || off > tl::trans::kMaxEntryOffset || text.substr(size_t(off), e.size() - 6) != e.substr(6))
      __builtin_trap();
    if (esc.contains(e.substr(6))) __builtin_trap();
  }
  const std::string q = tl::trans::queryEncode(text);
  for (char c : q)
    if (c == ' ' || c == '&' || c == '=' || c == '\r' || c == '\n' || (unsigned char)c >= 0x80) __builtin_trap();
  return 0;
}
