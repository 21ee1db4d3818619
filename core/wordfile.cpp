#include "core/wordfile.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "core/wordrecord.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/files.h"

namespace tl::word {

namespace {

const char kBom[] = "\xEF\xBB\xBF";

// True when s is well-formed UTF-8 (no overlong forms, no surrogates).
bool validUtf8(const std::string& s, bool* nonAscii) {
  *nonAscii = false;
  size_t i = 0, n = s.size();
  while (i < n) {
    unsigned char c = s[i];
    if (c < 0x80) {
      ++i;
      continue;
    }
    *nonAscii = true;
    int len;
    unsigned char lo = 0x80, hi = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) len = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
      len = 3;
      if (c == 0xE0) lo = 0xA0;
      if (c == 0xED) hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
      len = 4;
      if (c == 0xF0) lo = 0x90;
      if (c == 0xF4) hi = 0x8F;
    } else {
      return false;
    }
    if (i + len > n) return false;
    for (int k = 1; k < len; ++k) {
      unsigned char t = s[i + k];
      unsigned char l = k == 1 ? lo : 0x80, h = k == 1 ? hi : 0xBF;
      if (t < l || t > h) return false;
    }
    i += len;
  }
  return true;
}

std::string readFailure(const std::string& reason) {
  return "登録単語ファイル「word.csv」を読めませんでした\n" + reason;
}

}  // namespace

std::string WordFile::fromAnsi(const std::string& text932) const {
  return utf8() ? cp::ansiToUtf8(text932) : text932;
}

std::string WordFile::toAnsi(const std::string& stored) const {
  return utf8() ? cp::utf8ToAnsi(stored) : stored;
}

std::string WordFile::bytes() const {
  std::string out;
  if (enc == Encoding::Utf8Bom) out = kBom;
  for (const auto& l : lines) {
    out += l;
    out += "\r\n";
  }
  return out;
}

std::string wordPath(const std::string& exedir) { return exedir + "word.csv"; }

bool parseWordFile(const std::string& bytes, WordFile& out, std::string* err) {
  out = WordFile{};
  std::string body = bytes;
  const bool utf16 = body.size() >= 2 && ((body[0] == '\xFF' && body[1] == '\xFE') ||
                                          (body[0] == '\xFE' && body[1] == '\xFF'));
  if (utf16) {
    if (err) *err = readFailure("UTF-16 のファイルは読めません。シフトJIS(CP932)かUTF-8で保存し直してください");
    return false;
  }
  if (body.find('\0') != std::string::npos) {
    if (err) *err = readFailure("テキストファイルではありません（NUL 文字を含んでいます）");
    return false;
  }
  if (body.compare(0, 3, kBom) == 0) {
    out.enc = Encoding::Utf8Bom;
    body.erase(0, 3);
  } else {
    bool nonAscii = false;
    if (validUtf8(body, &nonAscii) && nonAscii) out.enc = Encoding::Utf8;
  }
  size_t i = 0, start = 0, n = body.size();
  while (i < n) {
    char c = body[i];
    if (c == '\r' || c == '\n') {
      out.lines.push_back(body.substr(start, i - start));
      i += (c == '\r' && i + 1 < n && body[i + 1] == '\n') ? 2 : 1;
      start = i;
    } else {
      ++i;
    }
  }
  if (start < n) out.lines.push_back(body.substr(start));
  return true;
}

bool readWordFile(const std::string& path, WordFile& out, std::string* err, bool* missing) {
  out = WordFile{};
  if (missing) *missing = false;
  struct stat st;
  if (::lstat(path.c_str(), &st) != 0 && errno == ENOENT) {
    if (missing) *missing = true;
    return true;
  }
  std::string bytes, why;
  if (!paths::readFile(path, bytes, &why)) {
    if (err) *err = readFailure(why);
    return false;
  }
  return parseWordFile(bytes, out, err);
}

bool writeWordFile(const std::string& path, const WordFile& f, std::string* err) {
  std::string why;
  if (paths::atomicWriteFile(path, f.bytes(), &why)) return true;
  if (err) *err = "登録単語ファイル「word.csv」を保存できませんでした\n" + why;
  return false;
}

bool appendLine(const std::string& path, const std::string& line932, std::string* err) {
  WordFile f;
  if (!readWordFile(path, f, err)) return false;
  f.lines.push_back(f.fromAnsi(line932));
  return writeWordFile(path, f, err);
}

bool saveChanges(const std::string& path, const std::vector<LineChange>& changes, Encoding changesEnc,
                 std::string* err) {
  WordFile f;
  if (!readWordFile(path, f, err)) return false;
  const bool convert = (changesEnc == Encoding::Cp932) != !f.utf8();
  WordFile from;
  from.enc = changesEnc;
  auto inFile = [&](const std::string& s) { return convert ? f.fromAnsi(from.toAnsi(s)) : s; };
  // A line that a change already replaced is not matched again.
  std::vector<bool> done(f.lines.size(), false);
  for (const auto& c : changes) {
    const std::string original = inFile(c.original);
    for (size_t i = 0; i < f.lines.size(); ++i) {
      if (done[i] || f.lines[i] != original) continue;
      if (c.replacement) {
        f.lines[i] = inFile(*c.replacement);
        done[i] = true;
      } else {
        f.lines.erase(f.lines.begin() + (std::ptrdiff_t)i);
        done.erase(done.begin() + (std::ptrdiff_t)i);
      }
      break;
    }
  }
  sortLines(f.lines, f.utf8());
  return writeWordFile(path, f, err);
}

}  // namespace tl::word
