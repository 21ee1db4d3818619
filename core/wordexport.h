// The exports of "word.csv" for two flash-card programs.
//
// Anki: one UTF-8 line per word, word + ";" + translation (a ";" inside
// either becomes "；"), CR LF, no header, no byte order mark.
// P-Study System: the four header lines, then word + "," + translation + ","
// + sentence per word, in code page 932 with CR LF.
// Lines are taken in the sorted order; lines that are no record (fewer than
// eight fields, a slot, level or date that does not read) are skipped.
#pragma once

#include <string>

#include "core/wordfile.h"

namespace tl::word {

struct ExportText {
  std::string bytes;  // the whole output file
  int words = 0;      // records written
  int skipped = 0;    // lines that were no record
};

ExportText ankiExport(const WordFile& f);
ExportText pssExport(const WordFile& f);

}  // namespace tl::word
