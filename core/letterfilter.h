// The letter filter: hides or opens the letters of many cues at once.
//
// FilterForm is the dialog's state without widgets: the chosen modes, the
// texts of the number boxes, the range, the four target kinds and which
// controls are enabled.  The click rules of the mode buttons and the presets
// act on it; runFilter applies the form to the slot table.
//
// Only ASCII letters (A-Z, a-z) ever change state, and only the ticked kinds.
// A word is a maximal run of ASCII letters; a sentence is one cue's text,
// its length the byte length of the text (line ends included).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/lesson.h"

namespace tl {

enum class FilterMode { Word, Sentence, AllClose, AllOpen };  // the outer mode
enum class WordSub { Length, Random, OwnTyping };             // the word sub-mode

// Index of the comparison boxes: -1 nothing selected, 0 "以上", 1 "以下".
constexpr int kCmpNone = -1, kCmpAtLeast = 0, kCmpAtMost = 1;

// Index of the range box.
enum FilterRange : int {
  kRangeNone = -1,
  kRangeAll = 0,     // "全ての字幕"
  kRangeBefore = 1,  // "現在位置から前の字幕"
  kRangeAfter = 2,   // "現在位置から後の字幕"
  kRangeScene = 3,   // "現在のシーン"
  kRangeCue = 4,     // "現在の文"
};

constexpr int kFilterPresetCount = 10;
// Caption of preset i (UTF-8); empty outside 0..9.
const char* filterPresetCaption(int i);
extern const char* const kFilterCustom;  // "カスタム"

struct FilterKinds {
  bool c0 = false;  // flg_open     "オープン文字"
  bool c1 = true;   // flg_closed   "クローズ文字"
  bool c2 = true;   // flg_hinted   "ヒント使用文字"
  bool c3 = false;  // flg_reclosed "仮クローズ文字"
  bool operator==(const FilterKinds&) const = default;
};

struct FilterForm {
  FilterMode mode = FilterMode::Word;
  WordSub wordsub = WordSub::Length;
  std::string wordlen = "0";   // Edit1
  int wordcmp = kCmpAtLeast;   // ComboBox1
  std::string percent = "40";  // ComboBox2 (editable)
  std::string sntlen = "0";    // Edit2
  int sntcmp = kCmpAtMost;     // ComboBox3
  int range = kRangeAll;       // cb_taisyobun
  FilterKinds kinds;

  // What is enabled (sntonoff, wdonoff, wdnumonoff, wdrndonoff).
  bool sntEnabled = false;      // RadioButton6, Edit2, ComboBox3
  bool wordSubEnabled = true;   // RadioButton1..3
  bool wordNumEnabled = true;   // Edit1, ComboBox1
  bool wordRndEnabled = false;  // ComboBox2

  // The click rule of an outer mode button that was turned on.
  void modeClicked(FilterMode m);
  // The click rule of a word sub-mode button that was turned on.
  void wordSubClicked(WordSub s);
  // Turns the outer mode / sub-mode on; the click rule runs only when the
  // button was not on yet (as a preset does it).
  void setMode(FilterMode m);
  void setWordSub(WordSub s);
  // Applies preset i (0..9); other indexes change nothing.
  void applyPreset(int i);
};

// The slots a run works on, both inclusive; empty when first > last.  Never
// leaves the slot table or the scene table.
struct SlotRange {
  int32_t first = 0, last = -1;
  bool empty() const { return first > last; }
};
SlotRange filterRange(const Lesson& L, int range);

struct FilterResult {
  bool ok = true;        // false: a number box did not hold a whole number
  std::string error;     // then the conversion message (UTF-8)
  SlotRange range;       // the slots worked on
  int64_t changed = 0;   // letters whose state changed
};

// A draw from 0 to 99 for the random word mode; the dialog passes one seeded
// from the clock at each run, tests a fixed sequence.
using FilterDraw = std::function<int()>;

// Converts the three number boxes (all three, in every mode), then applies
// the filter to the cues of the range.  On a conversion failure nothing is
// changed.  The caller ends with the recount (afterflgchg) whenever ok.
FilterResult runFilter(Lesson& L, const FilterForm& form, const FilterDraw& draw);

// Whole-number conversion of a number box: spaces around are allowed, then
// an optional sign and decimal digits within 32 bits.
bool filterNumber(const std::string& text, int32_t& out);
// The conversion message for a text that is not a whole number.
std::string filterNumberError(const std::string& text);

}  // namespace tl
