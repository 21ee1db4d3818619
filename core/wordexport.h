// The exports of "word.csv" for two flash-card programs.
//
// Anki: one UTF-8 line per word, word + ";" + translation (a ";" inside
// either becomes "；"), CR LF, no header, no byte order mark.
// P-Study System: the four header lines, then word + "," + translation + ","
// + sentence per word, in code page 932 with CR LF.
// Lines are taken in the sorted order; every line of eight or more fields is
// written (word, translation, sentence), whatever its other fields hold; a
// line of fewer fields is no record and is skipped.
#pragma once

#include <string>

#include "core/wordfile.h"

namespace tl::word {

struct ExportText {
  std::string bytes;  // the whole output file
  int words = 0;      // records written
  int skipped = 0;    // lines of fewer than eight fields
};

ExportText ankiExport(const WordFile& f);
ExportText pssExport(const WordFile& f);

}  // namespace tl::word
