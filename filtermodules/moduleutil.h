// What both library modules share: their own file path, the media type
// identifiers of their pins and the default merits.
#pragma once

#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "platform/filters/filterhost.h"
#include "platform/filters/nameguid.h"

#define TL_MODULE_EXPORT extern "C" __attribute__((visibility("default")))

namespace tlmod {

constexpr int32_t kFail = static_cast<int32_t>(0x80004005u);

// Merits: the first filter of the library's own order gets kFirstMerit, each
// later one kMeritStep less, so the order the library and the player already
// prefer is kept as long as nobody changes a merit.
constexpr uint32_t kFirstMerit = 0x00600000;  // MERIT_NORMAL
constexpr uint32_t kMeritStep = 0x100;
inline uint32_t defaultMerit(uint32_t index) { return kFirstMerit - index * kMeritStep; }

constexpr const char* kVideo = "{73646976-0000-0010-8000-00AA00389B71}";
constexpr const char* kAudio = "{73647561-0000-0010-8000-00AA00389B71}";
constexpr const char* kStream = "{E436EB83-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kMpeg2Pes = "{E06D8020-DB46-11CF-B4D1-00805F6CBBEA}";
constexpr const char* kMpeg1Payload = "{E436EB81-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kMpeg1AudioPayload = "{00000050-0000-0010-8000-00AA00389B71}";
constexpr const char* kMpeg2Video = "{E06D8026-DB46-11CF-B4D1-00805F6CBBEA}";
constexpr const char* kMpeg1System = "{E436EB84-524F-11CE-9F53-0020AF0BA770}";
constexpr const char* kMpeg2Program = "{E06D8022-DB46-11CF-B4D1-00805F6CBBEA}";

// The path of the module holding `addr` as it was loaded (made absolute, but
// links are not followed: a versioned file behind a link is never named).
inline std::string modulePath(const void* addr) {
  Dl_info info{};
  if (!dladdr(addr, &info) || !info.dli_fname || !*info.dli_fname) return {};
  std::string path = info.dli_fname;
  if (path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  if (path.rfind("./", 0) == 0) path.erase(0, 2);
  std::string dir = cwd;
  if (dir.empty() || dir.back() != '/') dir += '/';
  return dir + path;
}

// Registers one filter (class entry and filter) and counts failures.
inline int32_t registerOne(const std::string& clsid, const std::string& name,
                           const std::string& longName, const std::string& path, uint32_t merit,
                           uint32_t pinCount, const TlFilterPin* pins) {
  int32_t r = tl_filter_register_server(clsid.c_str(), longName.empty() ? name.c_str() : longName.c_str(),
                                        path.c_str());
  if (r < 0) return r;
  return tl_filter_register(clsid.c_str(), name.c_str(), merit, pinCount, pins);
}

inline int32_t unregisterOne(const std::string& clsid) {
  int32_t a = tl_filter_unregister(clsid.c_str());
  int32_t b = tl_filter_unregister_server(clsid.c_str());
  return a < 0 ? a : b;
}

// Registers, in one batch of the store, every entry that forEach(visit)
// visits: registerEntry(entry, modulePath, merit) registers one.  Stops at the
// first failure and reports it; else what saving the batch reports.
// `self` is an address inside the module (its DllRegisterServer).
template <typename ForEach, typename RegisterEntry>
int32_t registerAll(const void* self, ForEach forEach, RegisterEntry registerEntry) {
  const std::string path = modulePath(self);
  if (path.empty()) return kFail;
  tl_filter_batch_begin();
  int32_t r = 0;
  uint32_t index = 0;
  forEach([&](const auto& entry) {
    if (r < 0) return;
    r = registerEntry(entry, path, defaultMerit(index++));
  });
  const int32_t saved = tl_filter_batch_end();
  return r < 0 ? r : saved;
}

// Unregisters, in one batch, the class identifier classIdOf(entry) of every
// entry visited; goes on past failures and reports the last one.
template <typename ForEach, typename ClassIdOf>
int32_t unregisterAll(ForEach forEach, ClassIdOf classIdOf) {
  tl_filter_batch_begin();
  int32_t r = 0;
  forEach([&](const auto& entry) {
    const int32_t one = unregisterOne(classIdOf(entry));
    if (one < 0) r = one;
  });
  const int32_t saved = tl_filter_batch_end();
  return r < 0 ? r : saved;
}

}  // namespace tlmod
