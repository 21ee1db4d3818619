// The filter tool's record files ("changed.bak", "deleted.bak").
#include <cstddef>
#include <cstdint>

#include "filtertool/restorefile.h"
#include "support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string path = tl::fuzz::putFile("changed.bak", data, size);
  quendle::RestoreFile f(QString::fromStdString(path));
  const auto records = f.list();
  if (!records.empty()) f.remove(records.front().path, false);
  return 0;
}
