// What a change of the lesson's data touched.  Core operations and the lesson
// model report these; every view decides for itself what to repaint.
#pragma once

#include <vector>

namespace tl {

enum class Change {
  Load,          // a new table was loaded (or the table was cleared): everything
  Letters,       // letter states, counters, cleared flags (recount done)
  Cursor,        // the typing cursor or the displayed cue moved
  Timing,        // cue times changed (or their saved state)
  Scenes,        // the scene table changed
  Stars,         // a star was set or cleared
  Memos,         // a memo text changed
  Texts,         // a cue text changed (edit)
  Translations,  // word lists or sentence translations arrived
  Peek,          // the peek key went down or up: hidden letters show or hide
};

// slot of a change that concerns the whole table
constexpr int kAllSlots = -1;

// One reported change: its kind and the slot it concerns (or kAllSlots).
struct ChangeNote {
  Change what = Change::Load;
  int slot = kAllSlots;
  bool operator==(const ChangeNote&) const = default;
};

// Changes reported by one operation, in order; a note already listed is not
// listed again.
struct Changes {
  std::vector<ChangeNote> notes;
  void add(Change what, int slot = kAllSlots) {
    for (const ChangeNote& n : notes)
      if (n.what == what && n.slot == slot) return;
    notes.push_back({what, slot});
  }
  bool has(Change what) const {
    for (const ChangeNote& n : notes)
      if (n.what == what) return true;
    return false;
  }
  bool has(Change what, int slot) const {
    for (const ChangeNote& n : notes)
      if (n.what == what && n.slot == slot) return true;
    return false;
  }
  bool empty() const { return notes.empty(); }
};

}  // namespace tl
