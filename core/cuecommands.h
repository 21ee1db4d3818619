// The star and the memo of a cue, and the skip of 15 seconds: the rules on
// the lesson's data; the window reads its controls and announces the change.
#pragma once

#include <optional>
#include <string>

#include "core/lesson.h"

namespace tl {

// Star toggle of the displayed cue.  Only while subtitles are loaded and a
// cue (odd cursub) is displayed; sets flgdirty.  Returns true when it changed.
bool toggleStar(Lesson& L);
bool starOf(const Lesson& L, int64_t slot);

// The memo of the displayed slot as typed by the learner (932 bytes).  Only
// while subtitles are loaded; a text equal to the stored memo changes
// nothing.  Sets flgdirty.  Returns true when the memo changed.
bool setMemo(Lesson& L, const std::string& ansi);
std::string memoOf(const Lesson& L, int64_t slot);

// Skip of 15 s: the first slot the shift moves is the displayed cue when the
// position is inside a cue (possub odd), else the cue after it.
constexpr ttime kSkipShift = 150000;
int32_t skipAdjfrom(const Lesson& L);
// Where playback goes on: (p + 15) x 10000 rounded, p the position in seconds.
ttime skipTarget(double positionSeconds);

// Path of the filter tool beside the program: programDir + "quendle/quendle".
std::string quendlePath(const std::string& programDir);

}  // namespace tl
