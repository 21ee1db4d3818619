// Every persistent setting of the player and its transfer to and from the
// registry key "Software\\Tallisen" (sections "option", "window", "view",
// "onereg"; the recent files of section "file" are in recentfiles.h).
//
// All values are stored as strings: integers as decimal text, booleans as
// "0" / "1".  Reading is forgiving and never stops early: a missing value or
// a text that is not a whole number gives the default; a value stored with
// another registry type is a read error that is reported and also gives the
// default, so one bad value never keeps the later ones from loading.  The
// windows store only what changed (WriteEnvChanged), so that several can
// share the file.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/options.h"

namespace tl::reg { class Hive; }

namespace tl {

inline constexpr const char* kRegKey = "Software\\Tallisen";

// Ranges accepted for the two edit-box settings; outside them the default
// applies at load and the dialog refuses the entry.
inline constexpr int32_t kBackmoreMax = 3'600'000;   // ms
inline constexpr int32_t kTintervalMax = 3'600'000;  // ms; <= 0 stops the timer
// Font sizes in points accepted for the panel and overlay fonts.
inline constexpr int32_t kFontSizeMax = 500;

struct Settings {
  // section "option": flags, backmore, tinterval and codepage live in opt.
  Options opt;
  int32_t x = 1;          // start counter
  int32_t size = 16;      // panel font, displayed cue (points)
  int32_t ssize = 10;     // panel font, previous / next strips (points)
  int32_t gfsize = 240000;   // overlay font, current cue (points x 10000)
  int32_t gfssize = 160000;  // overlay font, previous / next cue (points x 10000)

  // section "window"
  int32_t PaintBoxs1 = 24;  // width of the strip left of the subtitle panel
  int32_t panel1 = 150;     // height of the lower panel
  int32_t vlm = 50;         // volume bar position 0-100
  int32_t wmpwidth = 0, wmpheight = 0;  // written only (player widget size)

  // section "view" (integers; the booleans are in opt, "7" is opt.win7)
  // The overlay text position; empty when not stored (or not read because
  // startreset is on): the main window then uses its own default.
  std::optional<int32_t> tpx, tpy;
  int32_t prewid = 0, prehigh = 0;  // written only (overlay scaling memory)
  int32_t FSize = 8;                // list grid font size
  int32_t RHeight = 13;             // list grid default row height
  std::array<int32_t, 7> CWidth = {32, 88, 486, 32, 30, 31, 31};
};

// Default overlay position when "tpx"/"tpy" are absent: a quarter of the
// main window's width; half of (its height - the lower panel's height).
inline int32_t defaultTpx(int32_t mainWidth) { return mainWidth / 4; }
inline int32_t defaultTpy(int32_t mainHeight, int32_t panel1Height) {
  return (mainHeight - panel1Height) / 2;
}

// Reads every setting from the hive into s, in the load order.  The fields of
// s that reading does not set keep their value; the mode flags subopenmode /
// subview / pausemode / notclearpause follow the radio-button rules against
// the modes s held before (a mode newly turned on turns the other mode,
// pausemode and notclearpause off; notclearpause is read after the modes).
// Problems (read errors, unusable values) are appended to *messages.
void ReadEnv(const reg::Hive& hive, Settings& s, std::vector<std::string>* messages = nullptr);

// Stores every setting into the hive (in memory; the caller saves the hive).
void WriteEnv(reg::Hive& hive, const Settings& s);
// Stores what changed and saves the hive, so that a window does not undo what
// another one (another process too) stored meanwhile: the values whose text
// differs between s and base (the settings as loaded or last stored), and
// those the hive holds no text for yet.  The start counter adds its own
// starts to the count stored now.  False with a message when the save failed.
bool WriteEnvChanged(reg::Hive& hive, const Settings& s, const Settings& base, std::string* message);

// Section "onereg", used for "totaltime" (ms of use over all runs).  Stored as
// decimal text of a 64-bit count; a negative text of 32-bit range (written by
// older versions, which wrapped) reads as its unsigned 32-bit value.  Missing,
// mistyped or unusable values read as 0.
int64_t ReadEnvOne(const reg::Hive& hive, const std::string& name,
                   std::vector<std::string>* messages = nullptr);
// The study time "totaltime" as the start reads it.  A value that is present
// but cannot be read (not a number, another registry type, a count beyond
// 10^15 ms) is reported in
// *messages and marked unreadable: the close must then not store this run's
// time in its place (mayStoreTotaltime), so the value stays for the user.
struct TotalTime {
  int64_t ms = 0;
  bool unreadable = false;
};
TotalTime ReadTotaltime(const reg::Hive& hive, std::vector<std::string>* messages = nullptr);
inline bool mayStoreTotaltime(const TotalTime& t) { return !t.unreadable; }
// The message of an unreadable "totaltime".
extern const char* const kMsgTotaltimeUnreadable;

// Stores the value and saves the hive; false with *err when the save failed
// (the hive file then stays as it was).
bool WriteEnvOne(reg::Hive& hive, const std::string& name, int64_t value, std::string* err = nullptr);
// Adds runMs to the study time stored at this moment (read and written under
// the hive's lock, so runs that end together both count) and saves.  A stored
// value that cannot be read stays as it is.
bool addTotaltime(reg::Hive& hive, int64_t runMs, std::string* message = nullptr);

// Loads the hive file.  False with a clear message when the file is
// unreadable or corrupt: the hive is then empty (every setting reads its
// default) and the hive refuses to save over that file.
bool loadHive(reg::Hive& hive, std::string* message);
// Saves the hive (atomically); false with a clear message on failure, the
// old file being kept.
bool saveHive(reg::Hive& hive, std::string* message);
// The same with edit run under the hive's lock on what is stored now (see
// reg::Hive::update); edit's changes are dropped when the save fails.
bool updateHive(reg::Hive& hive, const std::function<void(reg::Hive&)>& edit, std::string* message);

// ---- text conversions shared with the settings dialog -------------------

// Whole decimal number of 32 bits ("-12", "+7"); nothing else.
std::optional<int32_t> parseInt32(std::string_view text);
std::optional<int64_t> parseInt64(std::string_view text);
// The message shown when a text is not a valid integer.
std::string intConvertMessage(std::string_view text);
// The message shown when a stored value has another type than string.
std::string readTypeMessage(const std::string& section, const std::string& name);

// Decimal text ("24.5", "  16", "2.45e1") to a fixed-point count of
// 1/10000, truncated after the fourth decimal, computed exactly.  Empty when
// the text is not a finite number or the result is outside 1..maxUnits.
std::optional<int32_t> parseFixed4(std::string_view text, int64_t maxUnits = int64_t(kFontSizeMax) * 10000);
// Fixed-point count of 1/10000 as shortest decimal text: 245000 -> "24.5".
std::string fixed4ToText(int32_t units);
// Code page number of a code-page list entry: its first five characters,
// trimmed, as an integer ("932   日本語..." -> 932, "00000 変換しない" -> 0).
// The five characters are counted as letters (UTF-8 sequences), not bytes.
std::optional<int32_t> codepageOfEntry(std::string_view utf8Entry);

// Whether a timer interval makes the main timer tick at all.
inline bool timerTicks(int32_t tinterval) { return tinterval > 0; }
// Whether the main timer runs after the settings' OK: an interval of 0 or
// less stops it; a positive interval lets it run again when the main window
// wants it running (subtitles or a medium loaded and started; the window
// keeps that wish apart from the timer itself, which interval 0 stops).
inline bool timerRunsAfterSettings(int32_t tinterval, bool wanted) { return timerTicks(tinterval) && wanted; }

}  // namespace tl
