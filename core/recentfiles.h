// The list of recently opened files (section "file" of the settings key,
// string values "r0" newest to "r9").  Movies, URLs, DVD addresses and
// subtitle files share it.
//
// The list read back holds ten entries, empty ones included: an empty value
// between two filled ones keeps its place (and its digit in the menu) and is
// written back empty.
#pragma once

#include <string>
#include <vector>

namespace tl::reg { class Hive; }

namespace tl {

inline constexpr int kRecentMax = 10;

// Puts path at the head of the list: every equal entry (exact comparison)
// is removed first, and the list is cut to ten entries, so that the oldest
// one drops out when an eleventh distinct path is added.  An empty path
// changes nothing.
void refileadd(std::vector<std::string>& refilelist, const std::string& path);

// Reads r0..r9 (missing or mistyped values read as empty; a mistyped one is
// reported in *messages).  Always ten entries.
std::vector<std::string> ReadFile(const reg::Hive& hive, std::vector<std::string>* messages = nullptr);
// Writes entry n as "r" + n for the first min(count, 10) entries (r0 is
// always written, empty when the list is empty) and saves the hive
// atomically; false with *err when the save failed (the old file is kept).
bool WriteFile(reg::Hive& hive, const std::vector<std::string>& refilelist, std::string* err = nullptr);
// Merges the paths a window opened (oldest first) into the list stored at
// this moment, under the hive's lock, and saves: each goes to the head as
// refileadd puts it, so what other windows stored meanwhile keeps its place
// behind them.  False with *err when the save failed.
bool WriteFileMerged(reg::Hive& hive, const std::vector<std::string>& opened, std::string* err = nullptr);

// One entry of the history menu: caption "n:path" with every "&" doubled so
// that a menu shows it literally; the path itself goes in the entry's data.
struct RecentItem {
  int index;            // the digit shown
  std::string caption;  // UTF-8, "&" escaped
  std::string path;     // as stored
};
std::vector<RecentItem> recentMenuItems(const std::vector<std::string>& refilelist);

// "&" -> "&&": a text shown literally in a menu caption.
std::string menuCaption(const std::string& text);

// Whether a history entry opens as subtitles (extension ".srt" in any case)
// rather than as a movie.
bool refileIsSrt(const std::string& path);

}  // namespace tl
