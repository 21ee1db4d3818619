// Repair of subtitle times that run backwards: a cue that ends before it
// starts gets its two times swapped; a cue that starts before the end of the
// cue before it is moved to start at that end.
#pragma once

#include <vector>

#include "core/lesson.h"

namespace tl {

// Repeats the repair pass over the times until one pass changes nothing, so
// that the times never decrease afterwards.  One pass goes i = 0 .. size-2:
// when t[i+1] < t[i], an odd i (a cue) swaps the two, an even i (a gap) sets
// t[i+1] := t[i].  Returns true when a time changed.
bool repairTimeOrder(std::vector<ttime>& t);

// The command: nothing unless subtitles are loaded; srtdirty on when a time
// changed (the SRT file must be written again).  Returns true when a time
// changed.
bool timecheck(Lesson& L);

}  // namespace tl
