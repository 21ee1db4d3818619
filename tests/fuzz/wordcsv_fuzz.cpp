// Fuzz target: the word.csv reader and everything that reads its lines
// (records, the comma-text rule, both exports), with a round trip of every
// record through the writer's join.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/wordexport.h"
#include "core/wordfile.h"
#include "core/wordrecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  tl::word::WordFile f;
  if (!tl::word::parseWordFile(bytes, f, nullptr)) return 0;
  for (const auto& line : f.lines) {
    auto r = tl::word::wordread(line);
    if (!r) continue;
    // A record written back reads back with the same fields.
    auto again = tl::word::wordread(tl::word::joinCommaText(r->fields));
    if (!again || again->fields != r->fields) std::abort();
    (void)tl::word::decodeWork(f.toAnsi(r->work()));
    (void)tl::word::sentenceForDisplay(f.toAnsi(r->sentence()));
  }
  (void)tl::word::ankiExport(f);
  (void)tl::word::pssExport(f);
  tl::word::sortLines(f.lines, f.utf8());
  return 0;
}
