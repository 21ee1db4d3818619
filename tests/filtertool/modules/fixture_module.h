// Shared bits of the fixture filter modules.
#pragma once

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#include <string>

#include "platform/filters/filterhost.h"

#define FX_EXPORT extern "C" __attribute__((visibility("default")))

constexpr int32_t kFxFail = static_cast<int32_t>(0x80004005u);

// The absolute path of the module holding `addr`.
inline std::string fxModulePath(const void* addr) {
  Dl_info info{};
  if (!dladdr(addr, &info) || !info.dli_fname) return {};
  char buf[PATH_MAX];
  return realpath(info.dli_fname, buf) ? std::string(buf) : std::string(info.dli_fname);
}
