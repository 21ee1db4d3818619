#include "core/settings.h"

#include <algorithm>
#include <charconv>
#include <cstring>
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

// One value as WriteEnv stores it.
struct Stored {
  const char* section;
  std::string name;
  std::string text;
};
void putInt(std::vector<Stored>& out, const char* section, const std::string& name, int64_t n) {
  out.push_back({section, name, std::to_string(n)});
}
void putBool(std::vector<Stored>& out, const char* section, const std::string& name, bool b) {
  out.push_back({section, name, b ? "1" : "0"});
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
    // Far off any screen counts as not stored: the overlay computes with it.
    auto optInt = [&](const char* name) -> std::optional<int32_t> {
      auto t = readText(h, "view", name, m);
      auto n = t ? parseInt32(*t) : std::nullopt;
      if (n && (*n < -1'000'000 || *n > 1'000'000)) n.reset();
      return n;
    };
    s.tpx = optInt("tpx");
    s.tpy = optInt("tpy");
  }

  s.FSize = readIntIn(h, "view", "FSize", ds.FSize, 1, kFontSizeMax, m);
  s.RHeight = readIntIn(h, "view", "RHeight", ds.RHeight, 1, 10'000, m);
  for (size_t i = 0; i < s.CWidth.size(); ++i)
    s.CWidth[i] = readIntIn(h, "view", "CWidth" + std::to_string(i), ds.CWidth[i], 0, 100'000, m);
}

namespace {

// Every stored value of s as its text, in the save order.
std::vector<Stored> storedTexts(const Settings& s) {
  const Options& o = s.opt;
  std::vector<Stored> out;
  putInt(out, "option", "x", s.x);
  putBool(out, "option", "hintmode", o.hintmode);
  putBool(out, "option", "giveup", o.giveup);
  putBool(out, "option", "pausemode", o.pausemode);
  putBool(out, "option", "subopenmode", o.subopenmode);
  putBool(out, "option", "subview", o.subview);
  putBool(out, "option", "soundmode", o.soundmode);
  putBool(out, "option", "notclearpause", o.notclearpause);
  putBool(out, "option", "orgsize", o.orgsize);
  putBool(out, "option", "nextsubplus", o.nextsubplus);
  putBool(out, "option", "autocopy", o.autocopy);
  putBool(out, "option", "adjcrt", o.adjcrt);
  putInt(out, "option", "backmore", o.backmore);
  putInt(out, "option", "tinterval", o.tinterval);
  putInt(out, "option", "size", s.size);
  putInt(out, "option", "ssize", s.ssize);
  putInt(out, "option", "codepage", o.codepage);

  putInt(out, "window", "PaintBoxs1", s.PaintBoxs1);
  putInt(out, "window", "panel1", s.panel1 == 0 ? 150 : s.panel1);
  putInt(out, "window", "vlm", s.vlm);
  putInt(out, "window", "wmpwidth", s.wmpwidth);
  putInt(out, "window", "wmpheight", s.wmpheight);

  putBool(out, "view", "panelsub", o.panelsub);
  putBool(out, "view", "xp", o.xp);
  putBool(out, "view", "7", o.win7);
  putBool(out, "view", "dispsub", o.dispsub);
  putBool(out, "view", "xcenter", o.xcenter);
  putBool(out, "view", "bold", o.bold);
  putBool(out, "view", "outline", o.outline);
  putBool(out, "view", "gpresub", o.gpresub);
  putBool(out, "view", "gnextsub", o.gnextsub);
  putBool(out, "view", "startreset", o.startreset);
  putBool(out, "view", "prenextsub", o.prenextsub);
  putBool(out, "view", "speedvis", o.speedvis);
  putBool(out, "view", "focusbar", o.focusbar);
  putBool(out, "view", "playwav", o.playwav);
  putBool(out, "view", "recwav", o.recwav);
  putBool(out, "view", "gsubno", o.gsubno);
  putBool(out, "view", "gtssnt", o.gtssnt);
  putBool(out, "view", "gtsword", o.gtsword);
  putBool(out, "view", "jaclose", o.jaclose);
  if (s.tpx) putInt(out, "view", "tpx", *s.tpx);
  if (s.tpy) putInt(out, "view", "tpy", *s.tpy);
  putInt(out, "view", "prewid", s.prewid);
  putInt(out, "view", "prehigh", s.prehigh);
  putInt(out, "view", "FSize", s.FSize);
  putInt(out, "view", "RHeight", s.RHeight);
  for (size_t i = 0; i < s.CWidth.size(); ++i) putInt(out, "view", "CWidth" + std::to_string(i), s.CWidth[i]);

  putInt(out, "option", "gfsize", s.gfsize);
  putInt(out, "option", "gfssize", s.gfssize);
  return out;
}

}  // namespace

void WriteEnv(reg::Hive& h, const Settings& s) {
  h.createKey(kRegKey);
  for (const Stored& v : storedTexts(s)) h.setString(keyOf(v.section), v.name, v.text);
}

bool WriteEnvChanged(reg::Hive& hive, const Settings& s, const Settings& base, std::string* message) {
  const std::vector<Stored> now = storedTexts(s), was = storedTexts(base);
  return updateHive(hive, [&](reg::Hive& h) {
    h.createKey(kRegKey);
    for (const Stored& v : now) {
      const auto old = std::find_if(was.begin(), was.end(), [&](const Stored& w) {
        return std::strcmp(w.section, v.section) == 0 && w.name == v.name;
      });
      const bool changed = old == was.end() || old->text != v.text;
      std::string text = v.text;
      if (v.name == "x" && changed) {
        // Starts counted by other windows meanwhile stay counted.
        const int32_t stored = readInt(h, "option", "x", base.x, nullptr);
        text = std::to_string(static_cast<int32_t>(static_cast<uint32_t>(stored) +
                                                   static_cast<uint32_t>(s.x) - static_cast<uint32_t>(base.x)));
      }
      std::string have;
      if (changed || !h.getString(keyOf(v.section), v.name, have)) h.setString(keyOf(v.section), v.name, text);
    }
  }, message);
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
  // Far beyond any real study time; a larger count (another program's) would
  // overflow the sums and texts made of it.
  constexpr int64_t kMaxMs = 1'000'000'000'000'000;
  if (!n || *n < std::numeric_limits<int32_t>::min() || *n > kMaxMs) {
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
  return updateHive(h, nullptr, message);
}

bool updateHive(reg::Hive& h, const std::function<void(reg::Hive&)>& edit, std::string* message) {
  std::string e;
  if (edit ? h.update(edit, &e) : h.save(&e)) return true;
  if (message) *message = "設定を保存できませんでした。\n" + h.path() + "\n" + e;
  return false;
}

bool addTotaltime(reg::Hive& hive, int64_t runMs, std::string* message) {
  return updateHive(hive, [&](reg::Hive& h) {
    const TotalTime t = ReadTotaltime(h);
    if (mayStoreTotaltime(t)) writeInt(h, "onereg", "totaltime", t.ms + runMs);
  }, message);
}

}  // namespace tl
