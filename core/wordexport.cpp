#include "core/wordexport.h"

#include <optional>

#include "core/wordrecord.h"
#include "platform/codepage/codepage.h"

namespace tl::word {

namespace {

std::string replaceSemicolons(const std::string& s, const char* wide) {
  std::string out;
  for (char c : s) {
    if (c == ';') out += wide;
    else out += c;
  }
  return out;
}

// The records of the file in sorted order; counts the lines passed over.
template <class Fn>
void eachRecord(const WordFile& f, ExportText& out, Fn fn) {
  std::vector<std::string> lines = f.lines;
  sortLines(lines, f.utf8());
  for (const auto& line : lines) {
    std::optional<Record> r = readRecord(line);
    if (!r) {
      ++out.skipped;
      continue;
    }
    ++out.words;
    fn(*r);
  }
}

}  // namespace

ExportText ankiExport(const WordFile& f) {
  ExportText out;
  eachRecord(f, out, [&](const Record& r) {
    if (f.utf8()) {
      const char* wide = "\xEF\xBC\x9B";  // "；" in UTF-8
      out.bytes += replaceSemicolons(r.wordText(), wide) + ";" + replaceSemicolons(r.trans(), wide);
    } else {
      const char* wide = "\x81\x47";  // "；" in 932
      out.bytes += cp::ansiToUtf8(replaceSemicolons(r.wordText(), wide) + ";" +
                                  replaceSemicolons(r.trans(), wide));
    }
    out.bytes += "\r\n";
  });
  return out;
}

ExportText pssExport(const WordFile& f) {
  ExportText out;
  out.bytes = "psscsvfile,100\r\nTallisen,na,na\r\nTallisenExport\r\na1,q1,h1\r\n";
  eachRecord(f, out, [&](const Record& r) {
    out.bytes += f.toAnsi(r.wordText() + "," + r.trans() + "," + r.sentence()) + "\r\n";
  });
  return out;
}

}  // namespace tl::word
