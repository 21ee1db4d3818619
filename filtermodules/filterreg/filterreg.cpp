// filterreg: registers filter modules into the filter store (the machine
// hive), as the set-up does on every run.  Only a module that the store has
// never held is registered: one that has filters there under its own file is
// left as it is (merits changed since stay), and one that the learner
// unregistered in the filter tool stays unregistered.  The store keeps a mark
// for every module it once held.  Running it again is harmless and quick.
//   filterreg MODULE...     exit 0 when every module is registered or was once
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "platform/filters/filterstore.h"
#include "platform/filters/guid.h"
#include "platform/modules/module.h"
#include "platform/registry/registry.h"

namespace {

std::string absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (!getcwd(cwd, sizeof cwd)) return path;
  std::string p = path.rfind("./", 0) == 0 ? path.substr(2) : path;
  return std::string(cwd) + "/" + p;
}

// Whether some filter of the store names `path` as its server file.
bool hasFiltersOf(const std::string& path) {
  using namespace tl::flt;
  tl::reg::Hive h(tl::reg::machineHivePath());
  if (!h.load()) return false;
  const std::string instances = classKey(CLSID_LegacyAmFilterCategory) + "\\Instance";
  for (const std::string& sub : h.subkeys(instances)) {
    std::string server;
    if (h.getString("Software\\Classes\\CLSID\\" + sub + "\\InprocServer32", "", server) &&
        server == path)
      return true;
  }
  return false;
}

const char kHeldKey[] = "Software\\Tallisen\\filterreg";

// Whether the store once held the module at `path`.
bool onceHeld(const std::string& path) {
  tl::reg::Hive h(tl::reg::machineHivePath());
  std::string mark;
  return h.load() && h.getString(kHeldKey, path, mark);
}

// Marks the module at `path` as held by the store; false when the store
// cannot be written.
bool markHeld(const std::string& path) {
  tl::reg::Hive h(tl::reg::machineHivePath());
  if (!h.load()) return false;
  h.setString(kHeldKey, path, "1");
  return h.save();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s MODULE...\n", argv[0]);
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string path = absolute(argv[i]);
    if (onceHeld(path)) continue;
    if (hasFiltersOf(path)) {
      // Registered before the store kept marks: from now on an
      // unregistration is kept.  Without write access that waits for a run
      // that has it.
      markHeld(path);
      continue;
    }
    tl::mod::Module m;
    std::string err;
    if (!m.load(path, &err)) {
      std::fprintf(stderr, "%s: %s\n", path.c_str(), err.c_str());
      status = 1;
      continue;
    }
    tl::flt::clearStoreFault();
    const int32_t r = m.call("DllRegisterServer");
    if (r < 0) {
      const tl::flt::StoreFault f = tl::flt::lastStoreFault();
      std::fprintf(stderr, "%s: registration failed (0x%08x)%s%s%s%s\n", path.c_str(),
                   static_cast<unsigned>(r), f.empty() ? "" : ": ", f.file.c_str(),
                   f.empty() ? "" : ": ", f.reason.c_str());
      status = 1;
      continue;
    }
    if (!markHeld(path)) {
      std::fprintf(stderr, "%s: registered, but the mark could not be written to %s\n", path.c_str(),
                   tl::reg::machineHivePath().c_str());
      status = 1;
      continue;
    }
    std::printf("registered %s\n", path.c_str());
  }
  return status;
}
