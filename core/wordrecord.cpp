#include "core/wordrecord.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"

namespace tl::word {

namespace {

const char kIdeoSpace[] = "\x81\x40";  // "　"
const char kWideComma[] = "\x81\x43";  // "，"
const char kWideHyphen[] = "\x81\x5D"; // "‐"
const char kWideQuote[] = "\x81\x68";  // "”"

bool blank(unsigned char c) { return c >= 1 && c <= ' '; }

std::string replaceAll(const std::string& s, const std::string& from, const std::string& to) {
  std::string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    if (s.compare(i, from.size(), from) == 0) {
      out += to;
      i += from.size();
    } else {
      out += s[i++];
    }
  }
  return out;
}

// Every byte at or below " " becomes "　".
std::string blanksToIdeo(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (unsigned char c : s) {
    if (c <= ' ') out += kIdeoSpace;
    else out += (char)c;
  }
  return out;
}

// Reads an unsigned decimal number that is the whole of s (1 to 9 digits).
bool readNumber(const std::string& s, int& out) {
  if (s.empty() || s.size() > 9) return false;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
  }
  out = v;
  return true;
}

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && (unsigned char)s[a] <= ' ') ++a;
  while (b > a && (unsigned char)s[b - 1] <= ' ') --b;
  return s.substr(a, b - a);
}

// Splits s at sep into numbers; every part one or more digits.
bool readParts(const std::string& s, char sep, std::vector<int>& parts) {
  parts.clear();
  size_t start = 0;
  while (true) {
    size_t p = s.find(sep, start);
    std::string part = s.substr(start, p == std::string::npos ? std::string::npos : p - start);
    int v;
    if (!readNumber(part, v)) return false;
    parts.push_back(v);
    if (p == std::string::npos) return true;
    start = p + 1;
  }
}

int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = (unsigned)(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + (int64_t)doe - 719468;
}

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0)) return 29;
  return kDays[m - 1];
}

}  // namespace

std::vector<std::string> splitCommaText(const std::string& line) {
  std::vector<std::string> out;
  const size_t n = line.find('\0') == std::string::npos ? line.size() : line.find('\0');
  size_t p = 0;
  while (p < n && blank(line[p])) ++p;
  while (p < n) {
    std::string field;
    if (line[p] == '"') {
      ++p;
      while (p < n) {
        if (line[p] == '"') {
          if (p + 1 < n && line[p + 1] == '"') {
            field += '"';
            p += 2;
          } else {
            ++p;
            break;
          }
        } else {
          field += line[p++];
        }
      }
    } else {
      size_t a = p;
      while (p < n && (unsigned char)line[p] > ' ' && line[p] != ',') ++p;
      field.assign(line, a, p - a);
    }
    out.push_back(std::move(field));
    while (p < n && blank(line[p])) ++p;
    if (p < n && line[p] == ',') {
      if (p + 1 == n) out.emplace_back();
      do ++p;
      while (p < n && blank(line[p]));
    }
  }
  return out;
}

std::string joinCommaText(const std::vector<std::string>& fields) {
  std::string out;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) out += ',';
    const std::string& f = fields[i];
    bool quote = std::any_of(f.begin(), f.end(), [](char c) {
      return (unsigned char)c <= ' ' || c == '"' || c == ',';
    });
    if (!quote) {
      out += f;
      continue;
    }
    out += '"';
    for (char c : f) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  return out;
}

int64_t stampSeconds(const Stamp& s) {
  return daysFromCivil(s.year, (unsigned)s.month, (unsigned)s.day) * 86400 + s.hour * 3600 +
         s.minute * 60 + s.second;
}

Stamp nowStamp() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::string dateText(const Stamp& s) {
  char b[32];
  std::snprintf(b, sizeof b, "%04d/%02d/%02d", s.year, s.month, s.day);
  return b;
}

std::string timeText(const Stamp& s) {
  char b[32];
  std::snprintf(b, sizeof b, "%d:%02d:%02d", s.hour, s.minute, s.second);
  return b;
}

std::optional<Stamp> readDateTime(const std::string& date, const std::string& time) {
  std::vector<int> d, t;
  const std::string dt = trim(date);
  if (!readParts(dt, '/', d) || d.size() != 3 || dt.find('/') != 4) return std::nullopt;
  if (!readParts(trim(time), ':', t) || t.size() < 2 || t.size() > 3) return std::nullopt;
  Stamp s{d[0], d[1], d[2], t[0], t[1], t.size() == 3 ? t[2] : 0};
  if (s.year < 1 || s.year > 9999 || s.month < 1 || s.month > 12 || s.day < 1 ||
      s.day > daysInMonth(s.year, s.month))
    return std::nullopt;
  if (s.hour > 23 || s.minute > 59 || s.second > 59) return std::nullopt;
  return s;
}

std::string encodeWork(const std::string& name932) {
  std::string s = replaceAll(name932, ",", "\\c");
  s = replaceAll(s, " ", "\\s");
  s = blanksToIdeo(s);
  return replaceAll(s, "\"", kWideQuote);
}

std::string decodeWork(const std::string& field) {
  std::string a;
  for (size_t i = 0; i < field.size(); ++i) {
    unsigned char c = field[i];
    if (cp::isLeadByte(c) && i + 1 < field.size()) {
      a += field[i];
      a += field[++i];
    } else if (c == '\\' && i + 1 < field.size() && field[i + 1] == 'c') {
      a += ',';
      ++i;
    } else {
      a += (char)c;
    }
  }
  std::string b;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char c = a[i];
    if (cp::isLeadByte(c) && i + 1 < a.size()) {
      b += a[i];
      b += a[++i];
    } else if (c == '\\' && i + 1 < a.size() && a[i + 1] == 's') {
      b += ' ';
      ++i;
    } else {
      b += (char)c;
    }
  }
  return b;
}

std::string cleanText(const std::string& text932, bool sentence) {
  std::string s = replaceAll(text932, "\r\n", kIdeoSpace);
  s = replaceAll(s, ",", kWideComma);
  s = replaceAll(s, " ", kIdeoSpace);
  if (sentence) s = replaceAll(s, "-", kWideHyphen);
  return blanksToIdeo(s);
}

std::string buildLine(const std::string& srtname932, int32_t slot, const std::string& word932,
                      const std::string& trans932, const std::string& sentence932, const Stamp& when) {
  char no[24];
  std::snprintf(no, sizeof no, "no%.4d", (int)slot);
  std::string line = encodeWork(srtname932) + "," + no + "," + cleanText(word932, false) + "," +
                     cleanText(trans932, false) + "," + cleanText(sentence932, true) + "," +
                     dateText(when) + "," + timeText(when) + ",0";
  return replaceAll(line, "\"", kWideQuote);
}

std::optional<Record> wordread(const std::string& line) {
  Record r;
  r.fields = splitCommaText(line);
  if (r.fields.size() < 8) return std::nullopt;
  const std::string& no = r.fields[1];
  if (no.size() < 3 || no.compare(0, 2, "no") != 0) return std::nullopt;
  int v;
  if (!readNumber(no.substr(2), v)) return std::nullopt;
  r.slot = v;
  if (!readNumber(trim(r.fields[7]), v)) return std::nullopt;
  r.level = v;
  auto when = readDateTime(r.fields[5], r.fields[6]);
  if (!when) return std::nullopt;
  r.when = *when;
  return r;
}

std::string sentenceForDisplay(const std::string& field932) {
  std::string out;
  for (size_t i = 0; i < field932.size(); ++i) {
    unsigned char c = field932[i];
    if (cp::isLeadByte(c) && i + 1 < field932.size()) {
      if (c == 0x81 && (unsigned char)field932[i + 1] == 0x40) out += ' ';
      else {
        out += field932[i];
        out += field932[i + 1];
      }
      ++i;
    } else {
      out += (char)c;
    }
  }
  return out;
}

void sortLines(std::vector<std::string>& lines, bool utf8) {
  auto fold = [utf8](const std::string& s) {
    std::string f = s;
    for (size_t i = 0; i < f.size(); ++i) {
      unsigned char c = f[i];
      if (!utf8 && cp::isLeadByte(c)) ++i;
      else f[i] = cp::lowerAscii(f[i]);
    }
    return f;
  };
  std::vector<std::pair<std::string, std::string>> keyed;
  keyed.reserve(lines.size());
  for (auto& l : lines) keyed.emplace_back(fold(l), std::move(l));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (size_t i = 0; i < lines.size(); ++i) lines[i] = std::move(keyed[i].second);
}

}  // namespace tl::word
