// Code-page conversion with glibc iconv.
//
// Every conversion goes through Unicode code points: the source bytes are
// decoded robustly (an undefined or cut-off byte becomes one replacement
// character and decoding goes on after it), then the code points are encoded
// one run at a time, and a character the target cannot hold becomes '?'.
// UTF-8 and UTF-16 are decoded and encoded here directly; 932 and the
// single-byte pages decode through tables filled from iconv; iconv does the
// rest.  Converters are cached per thread, since opening one is costly
// compared with converting a short line.  Text that is all ASCII passes
// through untouched where ASCII stands for itself.
#include "platform/codepage/codepage.h"
#include "platform/codepage/bestfit.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>
#include <array>
#include <utility>

namespace tl::cp {

namespace {

constexpr char32_t kBad = 0xFFFD;  // decoded in place of an undefined byte

// Windows' 1252 leaves these bytes undefined; its decoder keeps them as the
// C1 control of the same number, and so do we (iconv rejects them).
bool cp1252Undefined(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return cd_; }
  void reset() const { iconv(cd_, nullptr, nullptr, nullptr, nullptr); }

 private:
  iconv_t cd_;
};

// A converter of this thread for (to, from); nullptr when iconv lacks it.
const Converter* converter(const char* to, const char* from) {
  thread_local std::map<std::pair<std::string, std::string>, std::unique_ptr<Converter>> cache;
  auto& slot = cache[{to, from}];
  if (!slot) slot = std::make_unique<Converter>(to, from);
  if (!slot->ok()) return nullptr;
  slot->reset();
  return slot.get();
}

// Code points to UTF-32LE bytes and back (the form handed to iconv).
void putU32(std::string& out, char32_t c) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((c >> (8 * i)) & 0xFF));
}

// One code point through a converter from UTF-32LE; false when the converter
// is missing or has no form for it.
bool convertOne(const Converter* cv, char32_t c, std::string& out) {
  if (!cv) return false;
  std::string one;
  putU32(one, c);
  char* ip = one.data();
  size_t il = one.size();
  char buf[32];
  char* op = buf;
  size_t ol = sizeof buf;
  cv->reset();
  if (iconv(cv->get(), &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0) return false;
  out.assign(buf, op - buf);
  return true;
}
char32_t getU32(const char* p) {
  char32_t c = 0;
  for (int i = 3; i >= 0; --i) c = (c << 8) | static_cast<unsigned char>(p[i]);
  return c;
}

// Invalid sequences become one replacement character per maximal ill-formed
// part (a lead byte with the continuation bytes that fit it).
std::u32string decodeUtf8(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  const size_t n = s.size();
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  size_t i = 0;
  while (i < n) {
    const unsigned char b = byte(i);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    size_t need = 0;
    unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
    char32_t c = 0;
    if (b >= 0xC2 && b <= 0xDF) {
      need = 1, c = b & 0x1F;
    } else if (b >= 0xE0 && b <= 0xEF) {
      need = 2, c = b & 0x0F;
      if (b == 0xE0) lo = 0xA0;
      if (b == 0xED) hi = 0x9F;  // no surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
      need = 3, c = b & 0x07;
      if (b == 0xF0) lo = 0x90;
      if (b == 0xF4) hi = 0x8F;
    }
    size_t k = i + 1;
    size_t got = 0;
    while (got < need && k < n) {
      const unsigned char t = byte(k);
      const bool fits = got == 0 ? (t >= lo && t <= hi) : (t & 0xC0) == 0x80;
      if (!fits) break;
      c = (c << 6) | (t & 0x3F);
      ++got, ++k;
    }
    out.push_back(need > 0 && got == need ? c : kBad);
    i = k;
  }
  return out;
}

void encodeUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

// 16-bit units to code points; an unpaired surrogate becomes kBad.
template <class Unit>
std::u32string decodeUnits(size_t n, Unit unit) {
  std::u32string out;
  out.reserve(n);
  for (size_t i = 0; i < n; ++i) {
    const char32_t u = unit(i);
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
      const char32_t v = unit(i + 1);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        out.push_back(0x10000 + ((u - 0xD800) << 10) + (v - 0xDC00));
        ++i;
        continue;
      }
    }
    out.push_back(u >= 0xD800 && u <= 0xDFFF ? kBad : u);
  }
  return out;
}

// Bytes of code page 1200 (little-endian) or 1201 (big-endian).  A byte
// order mark at the start decides the order and is dropped; an odd last byte
// is one replacement character.
std::u32string decodeUtf16Bytes(std::string_view s, bool bigEndian) {
  auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  if (s.size() >= 2 && byte(0) == 0xFF && byte(1) == 0xFE) {
    bigEndian = false;
    s.remove_prefix(2);
  } else if (s.size() >= 2 && byte(0) == 0xFE && byte(1) == 0xFF) {
    bigEndian = true;
    s.remove_prefix(2);
  }
  std::u32string out = decodeUnits(s.size() / 2, [&](size_t i) -> char32_t {
    const unsigned a = byte(2 * i), b = byte(2 * i + 1);
    return bigEndian ? (a << 8) | b : (b << 8) | a;
  });
  if (s.size() % 2) out.push_back(kBad);
  return out;
}

void encodeUtf16Bytes(std::string& out, char32_t c, bool bigEndian) {
  auto unit = [&](char32_t u) {
    const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
    if (bigEndian) {
      out.push_back(hi);
      out.push_back(lo);
    } else {
      out.push_back(lo);
      out.push_back(hi);
    }
  };
  if (c >= 0x10000) {
    unit(0xD800 + ((c - 0x10000) >> 10));
    unit(0xDC00 + ((c - 0x10000) & 0x3FF));
  } else {
    unit(c);
  }
}

// The 50222 form of JIS shifts to half-width katakana with SO and back with
// SI, which iconv does not read: rewrite them as the escape sequences of the
// 50221 form (SI returns to the set designated before SO).
std::string soSiToEscapes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  std::string last = "\x1b(B";
  for (size_t i = 0; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '\x1b' && i + 2 < s.size()) {
      const size_t len = (s[i + 1] == '$' && s[i + 2] == '(' && i + 3 < s.size()) ? 4 : 3;
      last.assign(s.substr(i, len));
      out += last;
      i += len - 1;
    } else if (c == '\x0e') {
      out += "\x1b(I";
    } else if (c == '\x0f') {
      out += last;
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// Bytes of an iconv code set to code points.  Undefined bytes are replaced
// (1252's five become their C1 controls) and decoding resumes after them.
std::u32string decodeIconv(std::string_view s, int codepage, const char* name) {
  std::u32string out;
  const Converter* cv = converter("UTF-32LE", name);
  if (!cv) return out;
  std::string src = codepage == 50222 ? soSiToEscapes(s) : std::string(s);
  char* in = src.data();
  size_t inLeft = src.size();
  std::string buf(4 * src.size() + 16, '\0');
  out.reserve(src.size());
  while (true) {
    char* o = buf.data();
    size_t oLeft = buf.size();
    const size_t r = iconv(cv->get(), inLeft ? &in : nullptr, inLeft ? &inLeft : nullptr, &o, &oLeft);
    const int e = errno;
    for (const char* p = buf.data(); p + 4 <= o; p += 4) out.push_back(getU32(p));
    if (r != static_cast<size_t>(-1)) {
      if (inLeft == 0) break;
      continue;
    }
    if (e == E2BIG) continue;
    if (e == EINVAL) {  // a character cut off at the end
      out.push_back(kBad);
      break;
    }
    // EILSEQ: one undefined byte.
    const unsigned char b = static_cast<unsigned char>(*in);
    out.push_back(codepage == 1252 && cp1252Undefined(b) ? char32_t(b) : kBad);
    ++in;
    --inLeft;
    if (inLeft == 0) break;
  }
  return out;
}

// Code points to an iconv code set; what the set cannot hold becomes '?'
// (itself encoded, so that stateful sets stay consistent).
std::string encodeIconv(const std::u32string& text, const char* name) {
  std::string out;
  const Converter* cv = converter(name, "UTF-32LE");
  if (!cv) return out;
  // Characters without a form here become '?' before the stream is
  // converted (asked once per distinct character: iconv's error path is slow).
  thread_local std::map<std::string, std::unordered_map<char32_t, bool>> known;
  auto& fits = known[name];
  std::string src;
  src.reserve(4 * text.size());
  for (char32_t c : text) {
    if (c >= 0x80) {
      auto it = fits.find(c);
      if (it == fits.end()) {
        std::string form;
        const bool ok = convertOne(cv, c, form);
        if (fits.size() > 100000) fits.clear();
        it = fits.emplace(c, ok).first;
      }
      if (!it->second) c = U'?';
    }
    putU32(src, c);
  }
  cv->reset();
  char* in = src.data();
  size_t inLeft = src.size();
  std::string buf(2 * text.size() + 64, '\0');
  out.reserve(text.size() + 8);
  auto run = [&](char** ip, size_t* il) {
    while (true) {
      char* o = buf.data();
      size_t oLeft = buf.size();
      const size_t r = iconv(cv->get(), ip, il, &o, &oLeft);
      const int e = errno;
      out.append(buf.data(), o - buf.data());
      if (r != static_cast<size_t>(-1) || e != E2BIG) return r == static_cast<size_t>(-1) ? e : 0;
    }
  };
  while (inLeft) {
    if (run(&in, &inLeft) == 0) break;
    // The character at `in` has no form here (or is not a character).
    std::string q;
    putU32(q, U'?');
    char* qi = q.data();
    size_t ql = q.size();
    run(&qi, &ql);
    in += 4;
    inLeft -= 4;
  }
  run(nullptr, nullptr);  // back to the initial shift state
  return out;
}

// --- Table-driven paths for the stateless code sets --------------------------
//
// iconv reports every undefined byte or unmappable character through a slow
// error path (microseconds each), so text full of them would take seconds.
// For 932 and the single-byte pages the decoder is a table filled once from
// iconv; encoding asks iconv once per distinct character and remembers the
// answer.  Both give exactly iconv's mapping.

constexpr char32_t kNone = 0xFFFFFFFF;

// One character of `name` (1 or 2 bytes) to its code point, kNone if undefined.
char32_t decodeOne(const char* name, const char* bytes, size_t n) {
  const Converter* cv = converter("UTF-32LE", name);
  if (!cv) return kNone;
  char in[2] = {bytes[0], n > 1 ? bytes[1] : '\0'};
  char* ip = in;
  size_t il = n;
  char out[8];
  char* op = out;
  size_t ol = sizeof out;
  if (iconv(cv->get(), &ip, &il, &op, &ol) == static_cast<size_t>(-1) || il != 0 || op - out != 4) return kNone;
  return getU32(out);
}

struct Cp932Table {
  std::array<char32_t, 256> single{};
  std::vector<char32_t> pair;  // (lead << 8 | trail) - 0x8100
};

const Cp932Table& cp932Table() {
  static const Cp932Table table = [] {
    Cp932Table t;
    t.pair.assign(0x10000 - 0x8100, kNone);
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      t.single[b] = isLeadByte(static_cast<unsigned char>(b)) ? kNone : decodeOne("CP932", &c, 1);
    }
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
      if (!isLeadByte(static_cast<unsigned char>(lead))) continue;
      for (int trail = 0x40; trail <= 0xFC; ++trail) {
        if (!isTrailByte(static_cast<unsigned char>(trail))) continue;
        const char two[2] = {static_cast<char>(lead), static_cast<char>(trail)};
        t.pair[(lead << 8 | trail) - 0x8100] = decodeOne("CP932", two, 2);
      }
    }
    return t;
  }();
  return table;
}

std::u32string decodeCp932(std::string_view s) {
  const Cp932Table& t = cp932Table();
  std::u32string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    const unsigned char b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      out.push_back(b);
    } else if (isLeadByte(b)) {
      const unsigned char next = i + 1 < s.size() ? static_cast<unsigned char>(s[i + 1]) : 0;
      const char32_t c = isTrailByte(next) ? t.pair[(b << 8 | next) - 0x8100] : kNone;
      if (c == kNone) {
        out.push_back(kBad);  // the next byte is read on its own
      } else {
        out.push_back(c);
        ++i;
      }
    } else {
      out.push_back(t.single[b] == kNone ? kBad : t.single[b]);
    }
  }
  return out;
}

// The 256 characters of a single-byte page (kNone: undefined).
const std::array<char32_t, 256>& singleByteTable(int codepage) {
  static std::mutex m;
  static std::map<int, std::unique_ptr<std::array<char32_t, 256>>> tables;
  std::lock_guard<std::mutex> lock(m);
  auto& slot = tables[codepage];
  if (!slot) {
    slot = std::make_unique<std::array<char32_t, 256>>();
    for (int b = 0; b < 256; ++b) {
      const char c = static_cast<char>(b);
      char32_t u = decodeOne(iconvName(codepage), &c, 1);
      if (u == kNone && codepage == 1252 && cp1252Undefined(static_cast<unsigned char>(b))) u = char32_t(b);
      (*slot)[b] = u;
    }
  }
  return *slot;
}

std::u32string decodeSingleByte(std::string_view s, int codepage) {
  const auto& t = singleByteTable(codepage);
  std::u32string out(s.size(), 0);
  for (size_t i = 0; i < s.size(); ++i) {
    const char32_t c = t[static_cast<unsigned char>(s[i])];
    out[i] = c == kNone ? kBad : c;
  }
  return out;
}

// Encoding to a stateless code set, one character at a time with a cache of
// iconv's answers ("" = no form).
std::string encodeStateless(const std::u32string& text, const char* name) {
  thread_local std::map<std::string, std::unordered_map<char32_t, std::string>> caches;
  auto& cache = caches[name];
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
      continue;
    }
    auto it = cache.find(c);
    if (it == cache.end()) {
      std::string form;
      if (!convertOne(converter(name, "UTF-32LE"), c, form)) {
        // No exact form: the closest single character from our own table
        // (an accented letter becomes its base letter).  iconv's //TRANSLIT
        // would depend on the process locale.
        const char fit = bestFitAscii(c);
        form = fit ? std::string(1, fit) : std::string();
      }
      if (cache.size() > 100000) cache.clear();
      it = cache.emplace(c, std::move(form)).first;
    }
    if (it->second.empty()) out.push_back('?');
    else out += it->second;
  }
  return out;
}

std::u32string decode(std::string_view bytes, int codepage, bool* ok) {
  if (ok) *ok = true;
  std::u32string out;
  switch (codepage) {
    case 65001:
      out = decodeUtf8(bytes);
      if (!out.empty() && out[0] == 0xFEFF) out.erase(0, 1);  // byte order mark
      return out;
    case 1200:
    case 1201:
      return decodeUtf16Bytes(bytes, codepage == 1201);
    default:
      break;
  }
  const char* name = iconvName(codepage);
  if (!name || !converter("UTF-32LE", name)) {
    if (ok) *ok = false;
    return out;
  }
  if (codepage == 932) return decodeCp932(bytes);
  if (isSingleByte(codepage)) return decodeSingleByte(bytes, codepage);
  return decodeIconv(bytes, codepage, name);
}

std::string encode(const std::u32string& text, int codepage, bool* ok) {
  if (ok) *ok = true;
  std::string out;
  switch (codepage) {
    case 65001:
      for (char32_t c : text) encodeUtf8(out, c);
      return out;
    case 1200:
    case 1201:
      for (char32_t c : text) encodeUtf16Bytes(out, c, codepage == 1201);
      return out;
    default:
      break;
  }
  const char* name = iconvName(codepage);
  if (!name || !converter(name, "UTF-32LE")) {
    if (ok) *ok = false;
    return out;
  }
  if (asciiIsItself(codepage)) return encodeStateless(text, name);
  return encodeIconv(text, name);
}

}  // namespace

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

bool asciiIsItself(int codepage) {
  return codepage == 932 || codepage == 65001 || codepage == 20932 || codepage == 51932 || isSingleByte(codepage);
}

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

bool isTrailByte(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC); }

const char* iconvName(int codepage) {
  switch (codepage) {
    case 932: return "CP932";
    case 1252: return "CP1252";
    case 28591: return "ISO-8859-1";
    case 28592: return "ISO-8859-2";
    case 28593: return "ISO-8859-3";
    case 28594: return "ISO-8859-4";
    case 28595: return "ISO-8859-5";
    case 28596: return "ISO-8859-6";
    case 28597: return "ISO-8859-7";
    case 28598: return "ISO-8859-8";
    case 28599: return "ISO-8859-9";
    case 28603: return "ISO-8859-13";
    case 28605: return "ISO-8859-15";
    // The three JIS forms read the same set; this converter also knows the
    // one-byte katakana escape (the SO/SI form is rewritten before decoding).
    case 50220:
    case 50221:
    case 50222: return "ISO-2022-JP-2";
    case 20932:
    case 51932: return "EUC-JP-MS";
    case 65000: return "UTF-7";
    case 65001: return "UTF-8";
    case 1200: return "UTF-16LE";
    case 1201: return "UTF-16BE";
    default: return nullptr;
  }
}

bool isSingleByte(int codepage) {
  switch (codepage) {
    case 1252:
    case 28591: case 28592: case 28593: case 28594: case 28595:
    case 28596: case 28597: case 28598: case 28599: case 28603: case 28605:
      return true;
    default:
      return false;
  }
}

std::string toAnsi(std::string_view bytes, int codepage, bool* ok) {
  if (codepage == 0) {
    if (ok) *ok = true;
    return std::string(bytes);
  }
  if (asciiIsItself(codepage) && isAscii(bytes)) {
    if (ok) *ok = true;
    return std::string(bytes);
  }
  bool known = true;
  std::u32string text = decode(bytes, codepage, &known);
  if (ok) *ok = known;
  if (!known) return std::string(bytes);
  return encode(text, kAnsi, nullptr);
}

std::string fromAnsi(std::string_view ansi, int codepage, bool* ok) {
  if (codepage == 0) {
    if (ok) *ok = true;
    return std::string(ansi);
  }
  if (asciiIsItself(codepage) && isAscii(ansi)) {
    if (ok) *ok = true;
    return std::string(ansi);
  }
  bool known = iconvName(codepage) != nullptr;
  std::string out;
  if (known) out = encode(decode(ansi, kAnsi, nullptr), codepage, &known);
  if (ok) *ok = known;
  if (!known) return std::string(ansi);
  return out;
}

std::u16string ansiToUtf16(std::string_view ansi) {
  if (isAscii(ansi)) return std::u16string(ansi.begin(), ansi.end());
  std::u32string text = decode(ansi, kAnsi, nullptr);
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c >= 0x10000) {
      out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::string utf16ToAnsi(std::u16string_view text) {
  return encode(decodeUnits(text.size(), [&](size_t i) -> char32_t { return text[i]; }), kAnsi, nullptr);
}

std::string ansiToUtf8(std::string_view ansi) {
  if (isAscii(ansi)) return std::string(ansi);
  std::string out;
  for (char32_t c : decode(ansi, kAnsi, nullptr)) encodeUtf8(out, c);
  return out;
}

std::string utf8ToAnsi(std::string_view utf8) {
  if (isAscii(utf8)) return std::string(utf8);
  return encode(decodeUtf8(utf8), kAnsi, nullptr);
}

}  // namespace tl::cp
