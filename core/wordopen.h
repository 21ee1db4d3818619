// Revealing a given word in every cue at once.
#pragma once

#include <string>

#include "core/lesson.h"

namespace tl::word {

// Finds every whole-word occurrence of word932 (ASCII letters compared
// without case) in every slot: an occurrence counts when the bytes on both
// sides are the text's ends or never hidden (flg_out).  Hidden letters of a
// counted occurrence become flg_hinted; an occurrence counts even when none
// of its letters was hidden.  Sets flgdirty when one counted.  Returns the
// count.  The caller recounts (afterflgchg).
int openWord(Lesson& L, const std::string& word932);

}  // namespace tl::word
