// A new folder below the system's temporary folder, removed with everything
// in it at the end of its scope.  path is empty when it could not be made.
#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>

namespace tl::test {

struct TempFolder {
  std::string path;
  explicit TempFolder(const std::string& prefix = "tl-test") {
    std::string tmpl = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(tmpl.data())) path = tmpl;
  }
  ~TempFolder() {
    if (path.empty()) return;
    std::error_code ec;
    // A test may have taken the owner's rights away to make a write fail.
    std::filesystem::permissions(path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path, ec);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  std::string file(const std::string& name) const { return path + "/" + name; }
};

}  // namespace tl::test
