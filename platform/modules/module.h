// Loading filter modules (shared objects) and calling their entry points.
#pragma once

#include <cstdint>
#include <string>

namespace tl::mod {

class Module {
 public:
  Module() = default;
  ~Module();
  Module(const Module&) = delete;
  Module& operator=(const Module&) = delete;

  // Loads the shared object with every symbol bound at once, so that a module
  // that needs what this program does not provide fails here.  A name without
  // a slash is taken from the current directory.  false with the loader's
  // reason in *err.
  bool load(const std::string& path, std::string* err = nullptr);
  bool loaded() const { return handle_ != nullptr; }
  void* symbol(const char* name) const;
  bool has(const char* name) const { return symbol(name) != nullptr; }
  // Calls an exported int32_t(void) entry point; a missing export gives the
  // general failure 0x80004005.
  int32_t call(const char* name) const;
  void unload();

 private:
  void* handle_ = nullptr;
};

// Replaces %NAME% references by the environment's values; a reference to an
// unset variable, or a lone percent sign, stays as written.
std::string expandEnvironment(const std::string& path);

}  // namespace tl::mod
