// Dictation typing: the letter cursor inside the displayed cue, opening a
// letter by typing or by hint, giving up a cue, re-hiding hinted letters,
// the hint-credit economy and the jumps to uncleared cues.
//
// Every operation works on the Lesson and the Options and reports what
// changed in the data (change notes, the letters of the displayed cue whose
// look changed) and what the user is to get (sounds, message, log line,
// clipboard, playback start) in a DictOutcome; nothing here touches a window.
// Texts in an outcome are UTF-8.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/change.h"
#include "core/lesson.h"
#include "core/options.h"

namespace tl {

// Colours of the overlay underlines (low byte red).
constexpr uint32_t kUnderRed = 0x0000FF;
constexpr uint32_t kUnderWhite = 0xFFFFFF;
constexpr uint32_t kUnderYellow = 0x00FFFF;

constexpr int32_t kGiveupRepeats = 3;  // plays needed before a limited give-up

enum class CueSound { BCLR, SCLR };

// One letter of the displayed cue whose look changed: either the letter at
// byte index now shows differently, or its underline now has colour.  In
// order; a view that draws single letters can redraw just these.
struct LetterMark {
  enum Kind { Letter, Underline } kind = Letter;
  int32_t index = 0;
  uint32_t colour = 0;
  bool operator==(const LetterMark&) const = default;
};

struct DictOutcome {
  bool opened = false;          // a letter was opened
  // What changed: Letters for the displayed cue (letters, counters, cleared
  // flag), Cursor for a cursor move, Letters of every slot after a recount.
  Changes changes;
  std::vector<LetterMark> marks;
  std::vector<CueSound> sounds;  // to play, in order (already filtered by soundmode etc.)
  std::string message;             // message box text; empty: none
  bool congratulate = false;       // message is the all-cleared one, shown at msgpos
  std::string clipboard;           // text for the clipboard; empty: none
  std::string logLine;             // log line (logout); empty: none
  bool play = false;               // start playback: posplay(playSlot, playTime)
  int32_t playSlot = 0;
  ttime playTime = 0;
};

// Messages.
extern const char* const kMsgAllCleared;
extern const char* const kMsgGiveupLimit;
std::string hintRefusal(int32_t hintcost);

// Cursor moves on the Lesson alone (no repaint reports).  Each keeps subcsr
// an index of the displayed cue's text (0 for an empty text) and always ends.
// They return true when a target was found.
bool cursorToHidden(Lesson& L, int32_t start);    // first hidden at/after start, wrapping
bool cursorNextWord(Lesson& L, int32_t start);    // start of the next hidden run
bool cursorBeforeWord(Lesson& L, int32_t start);  // start of the previous hidden run
// The run of ASCII letters that holds byte pos of text (empty when none).
std::string letterRunAt(const std::string& text, int32_t pos);
// Per byte of text: true for an ASCII letter that can be typed, false for
// any other byte, both bytes of a double-byte character included.
std::vector<bool> typableLetters(const std::string& text);
// The displayed cue is a cue of the table with its text and states.
bool hasDisplayedCue(const Lesson& L);

// Non-window part of the recount after any bulk change of letter states:
// recount flgrest / flgtotal / subclear, clear every scene flag, re-cut the
// scenes at 10 s, flgdirty on, cursor back as Left does from subcsr.  Every
// slot's letters (and the scenes) changed.
void afterflgchgCore(Lesson& L);

class Dictation {
 public:
  Dictation(Lesson& lesson, const Options& options) : L(lesson), O(options) {}

  // State kept by the window's key handling.
  bool peekkey = false;     // the peek key is held
  bool ppbtnheld = false;   // Space, a replay digit or the play button is held
  uint32_t digittick = 0;   // when a replay digit went down
  std::string lastword;     // the word last finished (ASCII)

  // Either display mode (letters shown) is on.
  bool displayMode() const { return O.subopenmode || O.subview; }

  // Core operations, adding their reports to out.
  bool opencsr(int32_t state, DictOutcome& out);
  void csrset(int32_t start, DictOutcome& out);
  void nextword(int32_t start, bool foreground, DictOutcome& out);
  void beforeword(int32_t start, bool foreground, DictOutcome& out);

  // Commands.
  DictOutcome keyPress(char ch, bool foreground);  // a typed character
  DictOutcome wordBack(bool foreground);           // Left: beforeword(subcsr)
  DictOutcome wordNext(bool foreground);           // Right: nextword(subcsr)
  DictOutcome hint();                              // F1
  DictOutcome giveup(bool foreground);             // Esc
  DictOutcome hidehint();                          // after the Yes of "再挑戦"
  DictOutcome backclose();                         // Shift+Up
  DictOutcome nextclose();                         // Shift+Down
  // A new cue became the displayed one: cursor to its first hidden letter.
  DictOutcome cueDisplayed();

 private:
  void cueCleared(DictOutcome& out);
  void sceneCheck(DictOutcome& out);
  bool soundAllowed() const { return !displayMode() && !peekkey && O.soundmode; }
  void underlineOld(int32_t old, DictOutcome& out);

  Lesson& L;
  const Options& O;
};

}  // namespace tl
