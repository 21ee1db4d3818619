#include "core/wordexport.h"

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

// Every line of eight or more fields, in sorted order, with its word,
// translation and sentence; lines of fewer fields are counted as passed
// over.  Only those three fields are written, so a record whose other fields
// do not read (a date in another form) is exported all the same.
template <class Fn>
void eachRecord(const WordFile& f, ExportText& out, Fn fn) {
  std::vector<std::string> lines = f.lines;
  sortLines(lines, f.utf8());
  for (const auto& line : lines) {
    const std::vector<std::string> fields = splitCommaText(line);
    if (fields.size() < 8) {
      ++out.skipped;
      continue;
    }
    ++out.words;
    fn(fields[2], fields[3], fields[4]);
  }
}

}  // namespace

ExportText ankiExport(const WordFile& f) {
  ExportText out;
  eachRecord(f, out, [&](const std::string& word, const std::string& trans, const std::string&) {
    if (f.utf8()) {
      const char* wide = "\xEF\xBC\x9B";  // "；" in UTF-8
      out.bytes += replaceSemicolons(word, wide) + ";" + replaceSemicolons(trans, wide);
    } else {
      const char* wide = "\x81\x47";  // "；" in 932
      out.bytes += cp::ansiToUtf8(replaceSemicolons(word, wide) + ";" + replaceSemicolons(trans, wide));
    }
    out.bytes += "\r\n";
  });
  return out;
}

ExportText pssExport(const WordFile& f) {
  ExportText out;
  out.bytes = "psscsvfile,100\r\nTallisen,na,na\r\nTallisenExport\r\na1,q1,h1\r\n";
  eachRecord(f, out, [&](const std::string& word, const std::string& trans, const std::string& sentence) {
    out.bytes += f.toAnsi(word + "," + trans + "," + sentence) + "\r\n";
  });
  return out;
}

}  // namespace tl::word
