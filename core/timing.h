// Timing adjustment of the slot table: shifts, the stretch, syncing a time
// to the playing position, the nudges of the displayed cue, and the reset to
// the file's times.  Plain functions on the Lesson; the caller reads the
// player and does the refresh.
//
// A change that returns changed == true moved times of slots first..last
// (a Timing change of the data); tick asks for one forced main-timer tick
// (cursub > 0), delta is the shift applied, log the line to show.
//
// Times are 1/10000 s; rounding is to the nearest unit, halves to even.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/lesson.h"
#include "core/options.h"

namespace tl {

struct TimingChange {
  bool changed = false;
  int32_t first = 0, last = -1;  // slots whose times moved
  ttime delta = 0;               // adjshift: the shift applied
  bool tick = false;             // cursub > 0: one forced main-timer tick
  std::string log;               // UTF-8 log line, or empty
  std::vector<std::string> messages;  // resetsub: time conversion messages
};

// Sets adjfrom, kept inside the table (0 .. subcount - 1).
void setadjfrom(Lesson& l, int64_t slot);

// Shift by delta (negative = earlier).  With adjcrt on: when playing,
// adjfrom := cursub; slots adjfrom..last move; when slot adjfrom now starts
// before slot adjfrom-1, that slot is put 0.1 s before it; srtdirty on; log
// "字幕位置:<s>　No.<n>[セリフ終わり]以降調整".  With adjcrt off every slot
// moves, flgdirty on, log "字幕位置:<s>".  adjsaved := subtime[0].
// Nothing unless subtitles are loaded.
TimingChange adjshift(Lesson& l, const Options& o, ttime delta, bool playing);

// Stretch every slot by position / t (position = the player's position in
// seconds, stored rounded in nowpos).  Nothing when not loaded, no medium
// is open, t <= 0 or the position is <= 0.  srtdirty and flgdirty on;
// adjsaved := subtime[0]; log "<ratio>全字幕に掛けました".
TimingChange adjratio(Lesson& l, ttime t, double positionSeconds, bool mediumOpen);

// Shift so that time t falls on the playing position: adjshift(round(p*10000
// - t)).  Nothing without an open medium.
TimingChange adjpos(Lesson& l, const Options& o, ttime t, double positionSeconds, bool mediumOpen, bool playing);

// a_subtopadj / a_subendadj: adjfrom := cursub, then adjpos with the start
// (end) of the displayed cue.  Nothing unless a cue is displayed.
TimingChange subtopadj(Lesson& l, const Options& o, double positionSeconds, bool mediumOpen, bool playing);
TimingChange subendadj(Lesson& l, const Options& o, double positionSeconds, bool mediumOpen, bool playing);

// The 1-based byte column of a press at (x, y) on a strip showing text in
// cells of cellw x cellh: x - xoffset (the left edge of the text on the
// previous and next cue strips, 0 on the displayed cue's) divided by cellw, + 1; a press below
// the first line (y > cellh + 2) adds the position of the first CR LF + 1.
// 0 when cellw <= 0.
int clickColumn(int x, int y, int cellh, int cellw, const std::string& text, int xoffset);

// The time spoken at byte `column` of cue `slot`: start + (end - start) x
// column / length of the text, rounded (beyond the text it extrapolates).
// Empty unless slot is a cue of the table with a non-empty text.
std::optional<ttime> clickTarget(const Lesson& l, int64_t slot, int64_t column);

// Alt + click sync: adjpos(clickTarget(slot, column)).  The strips' handlers
// set adjfrom first: previous strip cursub - 2 (only when that is >= 1),
// next strip cursub; the displayed cue's leaves it.  clickadj computes the column with
// clickColumn (xoffset 0 when slot == cursub, else splitterLeft).
TimingChange clickadj(Lesson& l, const Options& o, int x, int y, int cellh, int cellw, int64_t slot,
                      int splitterLeft, double positionSeconds, bool mediumOpen, bool playing);
TimingChange clickadjg(Lesson& l, const Options& o, int64_t slot, int64_t column, double positionSeconds,
                       bool mediumOpen, bool playing);

// a_pointsubdown: start of the displayed cue 0.5 s earlier (the gap before
// it put 0.1 s before it when it would start later).  a_pointsubup: end of the
// displayed cue 0.5 s later (the next cue pushed to 0.1 s after it when it
// would start earlier).  Both need a displayed cue (cursub >= 1) and set
// srtdirty (the times now differ from the file); adjsaved is not touched.
TimingChange pointsubdown(Lesson& l);
TimingChange pointsubup(Lesson& l);

// The question n_adjresetClick asks before resetsub (Yes / No; No keeps
// every time).
extern const char* const kAskAdjReset;         // "この字幕に対する字幕位置調整をリセットしますか？"
extern const char* const kAskAdjResetCaption;  // "字幕位置調整リセット"

// Every time back to the loaded file's (read again from srtsource as the load
// read them), subtime[0] := 0, adjsaved := 0.  srtdirty on when a time
// changed, flgdirty on when adjsaved was not 0.
TimingChange resetsub(Lesson& l);

}  // namespace tl
