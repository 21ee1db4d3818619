// The registry hive file, and the settings read from it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/history.h"
#include "core/settings.h"
#include "platform/registry/registry.h"
#include "support.h"

namespace {

size_t keys = 0, values = 0;

void walk(const tl::reg::Hive& h, const std::string& key, int depth) {
  if (depth > 40) __builtin_trap();  // deeper than a hive may be
  for (const std::string& n : h.valueNames(key)) {
    (void)h.value(key, n);
    if (++values > tl::reg::kMaxHiveValues) __builtin_trap();  // more than a hive may hold
  }
  for (const std::string& k : h.subkeys(key)) {
    if (++keys > tl::reg::kMaxHiveKeys) __builtin_trap();
    walk(h, key.empty() ? k : key + "\\" + k, depth + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = tl::fuzz::putFile("user.hive", data, size);
  tl::reg::Hive h(path);
  if (!h.load()) return 0;
  keys = values = 0;
  walk(h, "", 0);
  tl::Settings s;
  std::vector<std::string> messages;
  tl::ReadEnv(h, s, &messages);
  // The study time shown and added at the close stays within its arithmetic.
  (void)tl::totalTimeMessage(tl::ReadTotaltime(h, &messages).ms, 0, UINT32_MAX);
  return 0;
}
