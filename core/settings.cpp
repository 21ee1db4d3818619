#include "core/settings.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "platform/registry/registry.h"

namespace tl {

namespace {

std::string keyOf(const char* section) { return std::string(kRegKey) + "\\" + section; }

void note(std::vector<std::string>* messages, std::string m) {
  if (messages) messages->push_back(std::move(m));
}

// The stored text of a value: empty optional when missing or mistyped (the
// latter reported).
std::optional<std::string> readText(const reg::Hive& h, const char* section, const std::string& name,
                                    std::vector<std::string>* messages) {
  auto v = h.value(keyOf(section), name);
  if (!v) return std::nullopt;
  if (v->type != reg::Type::String) {
    note(messages, readTypeMessage(section, name));
    return std::nullopt;
  }
  return v->data;
}

int32_t readInt(const reg::Hive& h, const char* section, const std::string& name, int32_t def,
                std::vector<std::string>* messages) {
  auto t = readText(h, section, name, messages);
  if (!t) return def;
  return parseInt32(*t).value_or(def);
}

// Like readInt, but values outside lo..hi give the default too.
int32_t readIntIn(const reg::Hive& h, const char* section, const std::string& name, int32_t def,
                  int32_t lo, int32_t hi, std::vector<std::string>* messages) {
  int32_t n = readInt(h, section, name, def, messages);
  return (n < lo || n > hi) ? def : n;
}

bool readBool(const reg::Hive& h, const char* section, const std::string& name, bool def,
              std::vector<std::string>* messages) {
  return readInt(h, section, name, def ? 1 : 0, messages) != 0;
}

// An edit-box setting: the stored text must be a whole number within lo..hi;
// anything else (an empty text included) gives the default and a message.
int32_t readEditInt(const reg::Hive& h, const std::string& name, int32_t def, int32_t lo, int32_t hi,
                    std::vector<std::string>* messages) {
  auto t = readText(h, "option", name, messages);
  if (!t) return def;
  auto n = parseInt32(*t);
  if (!n || *n < lo || *n > hi) {
    note(messages, intConvertMessage(*t));
    return def;
  }
  return *n;
}

void writeInt(reg::Hive& h, const char* section, const std::string& name, int64_t n) {
  h.setString(keyOf(section), name, std::to_string(n));
}
void writeBool(reg::Hive& h, const char* section, const std::string& name, bool b) {
  h.setString(keyOf(section), name, b ? "1" : "0");
}

bool isBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

template <class T>
std::optional<T> parseWhole(std::string_view t) {
  if (!t.empty() && t.front() == '+') {
    t.remove_prefix(1);
    if (!t.empty() && t.front() == '-') return std::nullopt;
  }
  if (t.empty()) return std::nullopt;
  T n{};
  auto [p, ec] = std::from_chars(t.data(), t.data() + t.size(), n);
  if (ec != std::errc() || p != t.data() + t.size()) return std::nullopt;
  return n;
}

}  // namespace

// ---- conversions ----------------------------------------------------------

std::optional<int32_t> parseInt32(std::string_view text) { return parseWhole<int32_t>(text); }
std::optional<int64_t> parseInt64(std::string_view text) { return parseWhole<int64_t>(text); }

std::string intConvertMessage(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid integer value";
}

std::string readTypeMessage(const std::string& section, const std::string& name) {
  return "Invalid data type for '" + name + "' (section '" + section + "')";
}

std::optional<int32_t> parseFixed4(std::string_view text, int64_t maxUnits) {
  std::string_view t = trimmed(text);
  bool neg = false;
  if (!t.empty() && (t.front() == '+' || t.front() == '-')) {
    neg = t.front() == '-';
    t.remove_prefix(1);
  }
  // Mantissa digits and the power of ten they are scaled by.
  std::string digits;
  int64_t exp10 = 0;
  bool anyDigit = false, point = false;
  size_t i = 0;
  for (; i < t.size(); ++i) {
    char c = t[i];
    if (c >= '0' && c <= '9') {
      anyDigit = true;
      if (!(digits.empty() && c == '0')) digits.push_back(c);
      if (point) --exp10;
      if (digits.size() > 40) return std::nullopt;  // far beyond any font size
    } else if (c == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (!anyDigit) return std::nullopt;
  if (i < t.size()) {
    if (t[i] != 'e' && t[i] != 'E') return std::nullopt;
    std::string_view e = t.substr(i + 1);
    bool eneg = false;
    if (!e.empty() && (e.front() == '+' || e.front() == '-')) {
      eneg = e.front() == '-';
      e.remove_prefix(1);
    }
    if (e.empty()) return std::nullopt;
    int64_t ev = 0;
    for (char c : e) {
      if (c < '0' || c > '9') return std::nullopt;
      if (ev < 100000) ev = ev * 10 + (c - '0');
    }
    exp10 += eneg ? -ev : ev;
  }
  if (digits.empty() || neg) return std::nullopt;  // zero or negative: no font size
  // units = digits x 10^(exp10 + 4), truncated toward zero.
  int64_t shift = exp10 + 4;
  int64_t intDigits = static_cast<int64_t>(digits.size()) + shift;
  if (intDigits <= 0) return std::nullopt;  // below 1/10000
  if (intDigits > 15) return std::nullopt;  // far too large
  int64_t units = 0;
  for (int64_t k = 0; k < intDigits; ++k)
    units = units * 10 + (k < static_cast<int64_t>(digits.size()) ? digits[k] - '0' : 0);
  if (units < 1 || units > maxUnits || units > std::numeric_limits<int32_t>::max()) return std::nullopt;
  return static_cast<int32_t>(units);
}

std::string fixed4ToText(int32_t units) {
  int64_t u = units;
  std::string s;
  if (u < 0) {
    s = "-";
    u = -u;
  }
  s += std::to_string(u / 10000);
  int64_t frac = u % 10000;
  if (frac) {
    std::string f = std::to_string(frac);
    f.insert(0, 4 - f.size(), '0');
    while (f.back() == '0') f.pop_back();
    s += "." + f;
  }
  return s;
}

std::optional<int32_t> codepageOfEntry(std::string_view e) {
  size_t bytes = 0;
  for (int letters = 0; letters < 5 && bytes < e.size(); ++letters) {
    ++bytes;
    while (bytes < e.size() && (static_cast<unsigned char>(e[bytes]) & 0xC0) == 0x80) ++bytes;
  }
  return parseInt32(trimmed(e.substr(0, bytes)));
}

// ---- load and store ----------------------------------------------------------

void ReadEnv(const reg::Hive& h, Settings& s, std::vector<std::string>* m) {
  Options& o = s.opt;
  const Options d;  // defaults
  s.x = readInt(h, "option", "x", 1, m);

  o.hintmode = readBool(h, "option", "hintmode", d.hintmode, m);
  o.giveup = readBool(h, "option", "giveup", d.giveup, m);
  o.pausemode = readBool(h, "option", "pausemode", d.pausemode, m);
  // The two display modes are radio buttons beside the dictation mode:
  // turning one on that was off selects it alone and clears both pause flags.
  bool on = readBool(h, "option", "subopenmode", d.subopenmode, m);
  if (on && !o.subopenmode) o.subview = o.pausemode = o.notclearpause = false;
  o.subopenmode = on;
  on = readBool(h, "option", "subview", d.subview, m);
  if (on && !o.subview) o.subopenmode = o.pausemode = o.notclearpause = false;
  o.subview = on;
  o.soundmode = readBool(h, "option", "soundmode", d.soundmode, m);
  o.notclearpause = readBool(h, "option", "notclearpause", d.notclearpause, m);
  o.orgsize = readBool(h, "option", "orgsize", d.orgsize, m);
  o.nextsubplus = readBool(h, "option", "nextsubplus", d.nextsubplus, m);
  o.autocopy = readBool(h, "option", "autocopy", d.autocopy, m);
  o.adjcrt = readBool(h, "option", "adjcrt", d.adjcrt, m);

  o.backmore = readEditInt(h, "backmore", d.backmore, 0, kBackmoreMax, m);
  o.tinterval = readEditInt(h, "tinterval", d.tinterval, std::numeric_limits<int32_t>::min(),
                            kTintervalMax, m);

  const Settings ds;
  s.size = readIntIn(h, "option", "size", ds.size, 1, kFontSizeMax, m);
  s.ssize = readIntIn(h, "option", "ssize", ds.ssize, 1, kFontSizeMax, m);
  o.codepage = readInt(h, "option", "codepage", d.codepage, m);

  s.PaintBoxs1 = readIntIn(h, "window", "PaintBoxs1", ds.PaintBoxs1, 0, 1'000'000, m);
  s.panel1 = readIntIn(h, "window", "panel1", ds.panel1, 0, 1'000'000, m);
  // The bar stops at its ends: a stored volume beyond them loads as that end.
  s.vlm = std::clamp(readInt(h, "window", "vlm", ds.vlm, m), 0, 100);

  o.outline = readBool(h, "view", "outline", d.outline, m);
  o.bold = readBool(h, "view", "bold", d.bold, m);
  o.xcenter = readBool(h, "view", "xcenter", d.xcenter, m);
  o.panelsub = readBool(h, "view", "panelsub", d.panelsub, m);
  o.gpresub = readBool(h, "view", "gpresub", d.gpresub, m);
  o.gnextsub = readBool(h, "view", "gnextsub", d.gnextsub, m);
  o.prenextsub = readBool(h, "view", "prenextsub", d.prenextsub, m);
  o.speedvis = readBool(h, "view", "speedvis", d.speedvis, m);
  o.focusbar = readBool(h, "view", "focusbar", d.focusbar, m);
  o.playwav = readBool(h, "view", "playwav", d.playwav, m);
  o.recwav = readBool(h, "view", "recwav", d.recwav, m);
  o.gsubno = readBool(h, "view", "gsubno", d.gsubno, m);

  const int32_t fmax = kFontSizeMax * 10000;
  s.gfsize = readIntIn(h, "option", "gfsize", ds.gfsize, 1, fmax, m);
  s.gfssize = readIntIn(h, "option", "gfssize", ds.gfssize, 1, fmax, m);

  o.xp = readBool(h, "view", "xp", d.xp, m);
  o.win7 = readBool(h, "view", "7", d.win7, m);
  o.dispsub = readBool(h, "view", "dispsub", d.dispsub, m);
  o.startreset = readBool(h, "view", "startreset", d.startreset, m);
  o.gtssnt = readBool(h, "view", "gtssnt", d.gtssnt, m);
  o.gtsword = readBool(h, "view", "gtsword", d.gtsword, m);
  o.jaclose = readBool(h, "view", "jaclose", d.jaclose, m);

  s.tpx.reset();
  s.tpy.reset();
  if (!o.startreset) {
    auto optInt = [&](const char* name) -> std::optional<int32_t> {
      auto t = readText(h, "view", name, m);
      return t ? parseInt32(*t) : std::nullopt;
    };
    s.tpx = optInt("tpx");
    s.tpy = optInt("tpy");
  }

  s.FSize = readIntIn(h, "view", "FSize", ds.FSize, 1, kFontSizeMax, m);
  s.RHeight = readIntIn(h, "view", "RHeight", ds.RHeight, 1, 10'000, m);
  for (size_t i = 0; i < s.CWidth.size(); ++i)
    s.CWidth[i] = readIntIn(h, "view", "CWidth" + std::to_string(i), ds.CWidth[i], 0, 100'000, m);
}

void WriteEnv(reg::Hive& h, const Settings& s) {
  const Options& o = s.opt;
  h.createKey(kRegKey);
  writeInt(h, "option", "x", s.x);
  writeBool(h, "option", "hintmode", o.hintmode);
  writeBool(h, "option", "giveup", o.giveup);
  writeBool(h, "option", "pausemode", o.pausemode);
  writeBool(h, "option", "subopenmode", o.subopenmode);
  writeBool(h, "option", "subview", o.subview);
  writeBool(h, "option", "soundmode", o.soundmode);
  writeBool(h, "option", "notclearpause", o.notclearpause);
  writeBool(h, "option", "orgsize", o.orgsize);
  writeBool(h, "option", "nextsubplus", o.nextsubplus);
  writeBool(h, "option", "autocopy", o.autocopy);
  writeBool(h, "option", "adjcrt", o.adjcrt);
  writeInt(h, "option", "backmore", o.backmore);
  writeInt(h, "option", "tinterval", o.tinterval);
  writeInt(h, "option", "size", s.size);
  writeInt(h, "option", "ssize", s.ssize);
  writeInt(h, "option", "codepage", o.codepage);

  writeInt(h, "window", "PaintBoxs1", s.PaintBoxs1);
  writeInt(h, "window", "panel1", s.panel1 == 0 ? 150 : s.panel1);
  writeInt(h, "window", "vlm", s.vlm);
  writeInt(h, "window", "wmpwidth", s.wmpwidth);
  writeInt(h, "window", "wmpheight", s.wmpheight);

  writeBool(h, "view", "panelsub", o.panelsub);
  writeBool(h, "view", "xp", o.xp);
  writeBool(h, "view", "7", o.win7);
  writeBool(h, "view", "dispsub", o.dispsub);
  writeBool(h, "view", "xcenter", o.xcenter);
  writeBool(h, "view", "bold", o.bold);
  writeBool(h, "view", "outline", o.outline);
  writeBool(h, "view", "gpresub", o.gpresub);
  writeBool(h, "view", "gnextsub", o.gnextsub);
  writeBool(h, "view", "startreset", o.startreset);
  writeBool(h, "view", "prenextsub", o.prenextsub);
  writeBool(h, "view", "speedvis", o.speedvis);
  writeBool(h, "view", "focusbar", o.focusbar);
  writeBool(h, "view", "playwav", o.playwav);
  writeBool(h, "view", "recwav", o.recwav);
  writeBool(h, "view", "gsubno", o.gsubno);
  writeBool(h, "view", "gtssnt", o.gtssnt);
  writeBool(h, "view", "gtsword", o.gtsword);
  writeBool(h, "view", "jaclose", o.jaclose);
  if (s.tpx) writeInt(h, "view", "tpx", *s.tpx);
  if (s.tpy) writeInt(h, "view", "tpy", *s.tpy);
  writeInt(h, "view", "prewid", s.prewid);
  writeInt(h, "view", "prehigh", s.prehigh);
  writeInt(h, "view", "FSize", s.FSize);
  writeInt(h, "view", "RHeight", s.RHeight);
  for (size_t i = 0; i < s.CWidth.size(); ++i) writeInt(h, "view", "CWidth" + std::to_string(i), s.CWidth[i]);

  writeInt(h, "option", "gfsize", s.gfsize);
  writeInt(h, "option", "gfssize", s.gfssize);
}

int64_t ReadEnvOne(const reg::Hive& h, const std::string& name, std::vector<std::string>* m) {
  auto t = readText(h, "onereg", name, m);
  if (!t) return 0;
  auto n = parseInt64(*t);
  if (!n) return 0;
  if (*n >= 0) return *n;
  // Older versions stored the count as a signed 32-bit number that wrapped.
  if (*n >= std::numeric_limits<int32_t>::min()) return *n + (int64_t(1) << 32);
  return 0;
}

const char* const kMsgTotaltimeUnreadable =
    "累計学習時間（totaltime）を読み込めませんでした。保存されている値はそのまま残し、上書きしません";

TotalTime ReadTotaltime(const reg::Hive& h, std::vector<std::string>* m) {
  TotalTime t;
  auto v = h.value(keyOf("onereg"), "totaltime");
  if (!v) return t;  // never stored: 0
  std::optional<int64_t> n;
  if (v->type == reg::Type::String) n = parseInt64(v->data);
  if (!n || *n < std::numeric_limits<int32_t>::min()) {
    t.unreadable = true;
    note(m, kMsgTotaltimeUnreadable);
    return t;
  }
  t.ms = ReadEnvOne(h, "totaltime");
  return t;
}

bool WriteEnvOne(reg::Hive& h, const std::string& name, int64_t value, std::string* err) {
  writeInt(h, "onereg", name.c_str(), value);
  return saveHive(h, err);
}

bool loadHive(reg::Hive& h, std::string* message) {
  std::string e;
  if (h.load(&e)) return true;
  if (message)
    *message = "設定ファイルを読み込めませんでした。既定の設定を使います（このファイルは上書きしません）。\n" +
               h.path() + "\n" + e;
  return false;
}

bool saveHive(reg::Hive& h, std::string* message) {
  std::string e;
  if (h.save(&e)) return true;
  if (message) *message = "設定を保存できませんでした。\n" + h.path() + "\n" + e;
  return false;
}

}  // namespace tl
