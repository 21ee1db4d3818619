#include "support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace tl::fuzz {

namespace {
std::string& dirSlot() {
  static std::string d;
  return d;
}
void cleanup() {
  std::error_code ec;
  if (!dirSlot().empty()) std::filesystem::remove_all(dirSlot(), ec);
}
}  // namespace

const std::string& scratchDir() {
  std::string& d = dirSlot();
  if (d.empty()) {
    const char* base = ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::string tmpl = std::string(base) + "/tl-fuzz-XXXXXX";
    if (!::mkdtemp(tmpl.data())) std::abort();
    d = tmpl;
    std::atexit(cleanup);
  }
  return d;
}

std::string putFile(const std::string& name, const uint8_t* data, size_t size) {
  const std::string path = scratchDir() + "/" + name;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) std::abort();
  if (size) std::fwrite(data, 1, size, f);
  std::fclose(f);
  return path;
}

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

}  // namespace tl::fuzz
