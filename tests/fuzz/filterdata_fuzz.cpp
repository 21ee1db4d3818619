// The filter-data parser of the filter registrations.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/filters/filterdata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const auto f = tl::flt::parseFilterData(bytes);
  if (!f) return 0;
  // What the parser accepts, the writer writes and the parser reads again.
  if (!tl::flt::parseFilterData(tl::flt::serializeFilterData(*f))) __builtin_trap();
  return 0;
}
