// A commit journal found at start, whatever its bytes.  Recovered from the
// scratch folder so that relative paths in the input reach real files: a
// progress file with a temporary beside it in the data folder "sav", and a
// file outside it that no journal may replace or remove.  (Only during the
// call: the fuzzer's own corpus paths are relative to where it started.)
#include <cstddef>
#include <cstdint>
#include <string>
#include <fcntl.h>
#include <unistd.h>

#include "core/commitjournal.h"
#include "platform/paths/files.h"
#include "support.h"

namespace {

void put(const std::string& path, const std::string& bytes) {
  tl::fuzz::putFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const int home = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  static const bool ready = tl::paths::makeDirs(tl::fuzz::scratchDir() + "/sav");
  if (!ready || home < 0) return 0;
  put("keep", "keep");
  put("sav/x.dat", "old");
  put(std::string("sav/.x.dat") + tl::paths::kTempMark + "abcdef", "new");
  tl::fuzz::putFile(std::string("sav/") + tl::journal::kJournalName, data, size);
  if (::chdir(tl::fuzz::scratchDir().c_str()) != 0) __builtin_trap();
  const bool ok = tl::journal::recover("sav");
  const bool gone = !ok || ::access((std::string("sav/") + tl::journal::kJournalName).c_str(), F_OK) != 0;
  if (::fchdir(home) != 0) __builtin_trap();
  if (!gone) __builtin_trap();
  std::string keep;
  if (!tl::paths::readFile(tl::fuzz::scratchDir() + "/keep", keep) || keep != "keep") __builtin_trap();
  return 0;
}
