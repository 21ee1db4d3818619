#include "platform/modules/module.h"

#include <dlfcn.h>

#include <cstdlib>

#include "platform/filters/filterhost.h"

namespace tl::mod {

// Keeps the module interface in every program that loads modules: a modules'
// call into it resolves against the program, so the object that defines it
// must be linked in although the program never calls it.  The pointer has
// external linkage, so that no optimiser may drop it and the reference.
extern int32_t (*const volatile moduleHostInterface)(void);
int32_t (*const volatile moduleHostInterface)(void) = &tl_filter_host_version;

Module::~Module() { unload(); }

bool Module::load(const std::string& path, std::string* err) {
  unload();
  if (path.empty()) {
    if (err) *err = "empty path";
    return false;
  }
  std::string name = path.find('/') == std::string::npos ? "./" + path : path;
  dlerror();
  handle_ = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!handle_ && err) {
    const char* e = dlerror();
    *err = e ? e : "cannot load";
  }
  return handle_ != nullptr;
}

void* Module::symbol(const char* name) const {
  if (!handle_) return nullptr;
  return dlsym(handle_, name);
}

int32_t Module::call(const char* name) const {
  using Entry = int32_t (*)();
  auto fn = reinterpret_cast<Entry>(symbol(name));
  if (!fn) return static_cast<int32_t>(0x80004005u);
  return fn();
}

void Module::unload() {
  if (handle_) dlclose(handle_);
  handle_ = nullptr;
}

std::string expandEnvironment(const std::string& path) {
  std::string out;
  size_t i = 0;
  while (i < path.size()) {
    size_t start = path.find('%', i);
    if (start == std::string::npos) break;
    size_t end = path.find('%', start + 1);
    if (end == std::string::npos) break;
    out.append(path, i, start - i);
    std::string name = path.substr(start + 1, end - start - 1);
    const char* v = name.empty() ? nullptr : std::getenv(name.c_str());
    if (v) {
      out += v;
      i = end + 1;
    } else {
      out += '%';
      i = start + 1;
    }
  }
  out.append(path, i, std::string::npos);
  return out;
}

}  // namespace tl::mod
