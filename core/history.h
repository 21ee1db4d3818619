// The study history: one row per progress file in the folder "sav", with the
// counts of its letter states, the achievement and hint rates, the rank over
// all works and the study time.
//
// A progress file holds int32 letter states (-1..3), then the total, an
// int64 adjustment, an int32 resume slot and one int32 star per slot (an odd
// count).  The scan takes the total as the first value outside -1..3.  A
// work with three letters or fewer has a total inside -1..3; such a total is
// recognised by the layout of the fields after it (see savfilechk).
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace tl {

struct ProgressScan {
  bool ok = false;        // false: no total could be found (unreadable)
  int64_t states = 0;     // number of letter states before the total
  int32_t total = 0;      // the total (> 0 when ok)
  int64_t count[5] = {};  // letters in state -1, 0, 1, 2, 3 (index state + 1)
  int64_t of(int32_t state) const { return count[state + 1]; }
};

// Scans the int32 values of a progress file of `bytes` bytes (values =
// bytes / 4 of them).  The total is at the smallest index k, preceded only by
// values -1..3, for which either
//  - the value is 1..3, k is at least that value, and the file has exactly
//    the layout of a total there: bytes = 4k + 16 + 4n with n odd and at least
//    3, the n values at the end all 0 or 1, and the resume slot (value k + 3)
//    within 0..n-1; or
//  - the value is outside -1..3 and greater than 0 (every file with a total of
//    4 or more is read so, whatever follows it).
// Nothing found, or a first value outside -1..3 that is 0 or less: not ok.
ProgressScan savfilechk(const int32_t* values, size_t bytes);
// The same on a file's bytes (little-endian int32).
ProgressScan scanProgressBytes(const std::string& bytes);

struct HistoryRow {
  std::string name;  // file name without ".dat" (UTF-8) - column 0
  std::string path;  // the file's exact path
  bool complete = false;  // no letter in state 1 or 2: "☆"
  int achievement = 0;    // 100 - (state 1 x 100) div total, within 0..100
  double hintrate = 0;    // state 2 x 100 / total, within 0..100
  int32_t total = 0;
  std::time_t mtime = 0;  // last write
  ProgressScan scan;
};

struct HistoryListing {
  bool folder = false;                   // the folder exists
  std::vector<HistoryRow> rows;          // sorted by name, case-insensitively
  std::vector<std::string> unreadable;   // paths of files that could not be read or scanned
  int64_t score = 0;                     // letters in states 0 and 3 over all rows
};

// Lists every "*.dat" file (not folders) of the folder.
HistoryListing SearchFile(const std::string& folder);

// Column texts.
std::string completeText(const HistoryRow& r);   // "☆" or ""
std::string totalText(const HistoryRow& r);      // "<total>文字"
std::string lastWriteText(std::time_t t);        // local "yyyy/mm/dd  hh:mm"
std::string hintRateText(double rate);           // up to 15 significant digits: "12.5", "33.3333333333333"

// "E" .. "S", "☆" by the score.
const char* rankOf(int64_t score);
// "現在ランクは" + rank + "です（達成文字数" + score + "文字）"
std::string rankMessage(int64_t score);
// "総学習時間:" + total + " 今回学習時間" + this run, each "0h:MM:SS".  The run's
// milliseconds are now - start on a wrapping 32-bit tick count.
std::string totalTimeMessage(int64_t baseMs, uint32_t startTick, uint32_t nowTick);

// One line per unreadable file: path + "の読み込みに失敗しました".
std::string unreadableMessage(const std::vector<std::string>& paths);

}  // namespace tl
