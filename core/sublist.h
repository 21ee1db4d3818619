// The rules of the subtitle list and its dialogs, on the Lesson: what each
// cell of a row shows, the sort orders, the text search, reading a time
// typed into the list, the timing sync from a row, the jump time, and the
// checks and effects of editing a cue's text.
//
// Rows: the list shows slots 1 .. subcount-1, one row each, in slot order
// unless sorted; a row's slot is found through the row order, never taken
// as the row number.  All texts are bytes of code page 932 unless a name
// says UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/lesson.h"

namespace tl {

// Columns of the list.
enum SubCol : int { kColNo = 0, kColTime, kColText, kColStar, kColClear, kColScene, kColIndex, kSubCols };

// Header texts (UTF-8).
extern const char* const kSubHeaders[kSubCols];

// A cue text on one line: its first line, one blank, then the following
// lines, line ends removed ("Ab\r\nCd\r\n" -> "Ab Cd").
std::string cueLine(std::string_view text);

// The letter marks of a cue: one character per byte, every byte but the LF
// of the first line end, so that the marks of the first two lines stand
// under their letters in cueLine: flg_open ".", flg_closed "*", flg_hinted
// "_", flg_reclosed "#", flg_out " ", anything else "?".
std::string markLine(std::string_view text, const std::vector<int32_t>& flg);

// Scene column of every slot (index = slot): 'o' / 'x' in the first slot of
// a cleared / not cleared scene, 0 elsewhere.
std::vector<char> sceneMarks(const Lesson& l);

// The text of cell (slot, col).  dicMode: the second row shows the letter
// marks instead of the memo.  sceneMark: the entry of sceneMarks for slot.
std::string subCell(const Lesson& l, int32_t slot, int col, bool dicMode, char sceneMark);

// ---- sorting ----------------------------------------------------------------

// Sort keys of the sortable columns for a slot (a gap row carries the key of
// its cue, so a pair stays together): star 1/0, clear 'o'/'x'.
int sortKey(const Lesson& l, int32_t slot, int col);

// The list's sort: stable descending sort of rows[from..] by the column's
// key: starred rows first, not cleared ("x") before cleared ("o"); rows with
// equal keys keep their order.  col is kColStar or kColClear.  The plain
// order (by the index column) is slotOrder.
void GridSort(const Lesson& l, std::vector<int32_t>& rows, int col, size_t from = 0);

// Slot order: rows 1 .. subcount-1.
std::vector<int32_t> slotOrder(const Lesson& l);

// ---- search -----------------------------------------------------------------

struct FindResult {
  bool found = false;
  int32_t slot = 0;
  int32_t pos = 0;     // 1-based byte position in the text
  std::string report;  // UTF-8 status text
};

// Searches the texts from slot `start` on for `needle` (A-Z folded to a-z on
// both sides).  A hit never starts on the trail byte of a double-byte
// character.  Empty needle: "検索単語が入力されていません"; a hit:
// "<slot>行目<pos>文字目に指定文字列を見つけました"; none: needle +
// "は見つかりませんでした".
FindResult wordfind(const Lesson& l, int64_t start, std::string_view needle);

// ---- time cells -------------------------------------------------------------

struct TimeEdit {
  bool changed = false;    // store value
  ttime value = 0;
  std::string message;     // UTF-8, when the text could not be read
};

// A text typed into the time cell of slot: the text the list shows for the
// current time (or the same after trimming) changes nothing; a text strtotime
// cannot read gives its message and changes nothing; otherwise the value.
TimeEdit readTimeCell(const Lesson& l, int32_t slot, std::string_view text);

// Stores a time read from the list: the SRT must be written again and the
// progress is unsaved.
void storeTime(Lesson& l, int32_t slot, ttime t);

// ---- actions on a row -------------------------------------------------------

// The first slot the sync moves: the cue of the row (a gap row names the cue
// above); when the row's time lies after the playing position, the displayed
// cue instead.
int32_t syncFrom(const Lesson& l, int32_t slot, double positionSeconds);
// The shift that puts time t on the playing position.
ttime syncDelta(ttime t, double positionSeconds);

// Where a jump to slot starts: backmore ms before its time, never before 0.
ttime jumpTime(const Lesson& l, int32_t slot, int32_t backmore);

// Star of a cue toggled (0 -> 1, anything else -> 0); flgdirty on.  False
// when slot is not a cue of the table.
bool toggleStar(Lesson& l, int32_t slot);

// "対象外": every letter state of the slot becomes flg_out (the caller then
// recounts).  False when slot is not in the table.
bool dicxsub(Lesson& l, int32_t slot);

// Memo of the cue above a gap row; flgdirty on when it changed.
bool storeMemo(Lesson& l, int32_t gapSlot, const std::string& text);

// ---- editing a cue's text ---------------------------------------------------

// The logical lines of an edit's text (CR LF, LF or CR end a line); a last
// line that is empty does not count.
std::vector<std::string> logicalLines(std::string_view text);

// "" when the lines may become a cue text; else the message (UTF-8):
// "1字幕の行数は2行までです" for three lines and more, and a message for a
// line that would read back as a time line.
std::string checkEditLines(const std::vector<std::string>& lines);

// The cue text of the lines (each with CR LF; none gives CR LF alone).
std::string editText(const std::vector<std::string>& lines);

// Puts the text into cue slot: ASCII letters flg_hinted, every other byte
// (both bytes of a double-byte character too) flg_out; srtdirty and flgdirty
// on.  The caller then recounts.  False when slot is not a cue of the table.
bool applyEdit(Lesson& l, int32_t slot, const std::string& text);

// ---- small dialogs ----------------------------------------------------------

// A whole decimal number (blanks around it allowed, a sign in front).
std::optional<long long> parseInt(std::string_view text);

// Start of cue n (1-based) for the number jump; empty when n is not a number
// or not a cue of the table.
std::optional<ttime> cueStart(const Lesson& l, std::string_view text);

}  // namespace tl
