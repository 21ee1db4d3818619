// What a change of the lesson's data touched.  Core operations and the lesson
// model report these; every view decides for itself what to repaint.
#pragma once

namespace tl {

enum class Change {
  Load,          // a new table was loaded (or the table was cleared): everything
  Letters,       // letter states, counters, cleared flags (recount done)
  Cursor,        // the typing cursor or the displayed cue moved
  Timing,        // cue times changed
  Scenes,        // the scene table changed
  Stars,         // a star was set or cleared
  Memos,         // a memo text changed
  Texts,         // a cue text changed (edit)
  Translations,  // word lists or sentence translations arrived
};

// slot of a change that concerns the whole table
constexpr int kAllSlots = -1;

}  // namespace tl
