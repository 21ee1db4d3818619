// "word.csv": the learner's collection of registered words, one record a
// line (wordrecord.h).
//
// The file is normally in code page 932 with CR LF line ends.  A file that a
// Linux editor saved back as UTF-8 (with a byte order mark, or valid UTF-8
// holding non-ASCII bytes) is read as UTF-8 and stays UTF-8: lines added to
// it are converted, lines read from it are kept as they are.  A UTF-16 file
// or one holding NUL bytes is refused (never rewritten).  A missing file
// reads as empty; every write replaces the file atomically.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tl::word {

enum class Encoding { Cp932, Utf8, Utf8Bom };

struct WordFile {
  Encoding enc = Encoding::Cp932;
  std::vector<std::string> lines;  // as stored, in the file's encoding, without line ends

  bool utf8() const { return enc != Encoding::Cp932; }
  // A 932 text in the file's encoding, and back.
  std::string fromAnsi(const std::string& text932) const;
  std::string toAnsi(const std::string& stored) const;
  // The whole file: the byte order mark when it had one, every line with CR LF.
  std::string bytes() const;
};

// "word.csv" in the data folder (which ends with "/").
std::string wordPath(const std::string& exedir);

// Splits the bytes of a file into lines (CR LF, LF or a lone CR ends a
// line) and finds the encoding.  False with the reason for a file that is
// refused.
bool parseWordFile(const std::string& bytes, WordFile& out, std::string* err);

// Reads the file; a missing file gives an empty one (*missing set when given).
// False with the reason when it exists but cannot be read, or is refused.
bool readWordFile(const std::string& path, WordFile& out, std::string* err, bool* missing = nullptr);

// Writes the whole file atomically.
bool writeWordFile(const std::string& path, const WordFile& f, std::string* err);

// Adds one line (932 bytes) at the end, in the file's encoding; creates the
// file when it is missing.  Lines already there stay byte for byte.
bool appendLine(const std::string& path, const std::string& line932, std::string* err);

// What a review changed: the line whose text was `original` (as stored)
// becomes `replacement`, or is removed when there is none.
struct LineChange {
  std::string original;
  std::optional<std::string> replacement;
};

// Re-reads the file, applies each change to the first line equal to its
// original (a change whose line is gone is dropped), sorts the lines and
// writes the file.  Lines added since the review started stay.  `changesEnc`
// is the encoding the texts of the changes are in.
bool saveChanges(const std::string& path, const std::vector<LineChange>& changes, Encoding changesEnc,
                 std::string* err);

}  // namespace tl::word
