// The subtitle data of one loaded SRT file and the dictation counters.
//
// The main window owns exactly one Lesson for the whole run.  Every core
// operation (reading, recounting, typing, scenes, timing, progress files)
// works on it; the windows only call those operations and paint the result.
//
// Slot table: for N cues there are 2N+1 slots.  Slot 0 lies before the first
// cue, slot 2k-1 is cue k (1-based), slot 2k the gap after it.  Slot i spans
// subtime[i] up to subtime[i+1].  Texts are kept as bytes of the ANSI code
// page (932), with the file's own text beside them (srtsource) so that a
// save loses no character; letter states are per byte.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tl {

// Time value: signed count of 1/10000 second.
using ttime = int64_t;

// Letter states (one per byte of a cue text).
enum : int32_t {
  flg_out = -1,      // never hidden
  flg_open = 0,      // revealed by typing
  flg_closed = 1,    // hidden
  flg_hinted = 2,    // revealed without typing
  flg_reclosed = 3,  // hidden again after having been typed
};

inline bool flgHidden(int32_t f) { return f == flg_closed || f == flg_reclosed; }
inline bool asciiLetter(unsigned char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

struct Lesson {
  // ---- slot table -------------------------------------------------------
  int32_t subcount = 0;  // number of slots
  int32_t srtnum = 0;    // cue number read from the last cue of the file
  std::vector<ttime> subtime;                 // start of each slot; subtime[0]: the shift since the SRT was last written
  std::vector<std::string> subtext;           // cue text (932), each line ending CR LF, tags removed; empty for gaps
  std::vector<std::vector<int32_t>> subflg;   // letter state of each byte of the text (flg_*)
  std::vector<int32_t> subclear;              // 1 = the slot counts as cleared
  std::vector<int32_t> substar;               // 1 = starred
  std::vector<std::string> submemo;           // the user's memo of each slot
  std::vector<int32_t> subwavex;              // x of the slot's start in the waveform view; 0 = not on screen
  std::vector<std::vector<std::string>> jawd;  // word translations per slot
  std::vector<std::string> jasnt;              // sentence translation per slot

  // ---- scenes -----------------------------------------------------------
  std::vector<int32_t> scenetop;  // first slot of each scene
  std::vector<int32_t> sceneflg;  // 1 = scene cleared
  int32_t curscene = -1;          // scene of cursub; -1 when no cue is displayed

  // ---- counters and flags of the dictation ------------------------------
  int32_t flgtotal = 0;     // letters to dictate in the whole table
  int32_t flgrest = 0;      // of them, letters still hidden
  int32_t hintpoint = 20;   // hint credits; not reset by a load
  int32_t hintcost = 20;    // credits one hint costs
  int32_t repcount = 1;     // how often the displayed cue was played
  int32_t subcsr = 0;       // typing cursor: byte index into subtext[cursub] of the letter to type next
  int32_t cursub = 0;       // displayed cue, the one being dictated
  int32_t possub = 0;       // slot under the playing position (a cue or a gap)
  int32_t prevpossub = 0;   // possub of the tick before
  int32_t startsub = 0;     // first slot of the last play start; auto-pause applies from it on
  uint32_t replaytick = 0;  // tick count (ms) of the last replay start
  int32_t resumesub = 0;    // slot to resume from, read from the progress file
  ttime adjsaved = 0;       // the saved timing shift: subtime[0] after each shift
  int32_t adjfrom = 0;      // first slot that a partial timing shift moves
  ttime nowpos = 0;         // playing position read at the last tick
  bool flgdirty = false;    // progress changed since the last save
  bool srtdirty = false;    // subtitle texts or times changed since the last save
  bool srtloaded = false;   // subtitles are loaded (off during a load)
  bool sublocked = false;   // subtitle lock: the timer does no subtitle work
  bool justseeked = false;  // set by a play start: no auto-pause until the timer next reaches a cue
  bool forcetick = false;   // the next tick does its subtitle work even when not playing
  bool playpaused = false;  // paused by the play/pause command
  bool incue = false;   // possub is odd
  bool newcue = false;  // a new cue became the displayed one (read by the overlay)

  // ---- paths (UTF-8 file names) -----------------------------------------
  std::string srtpath, srtname, savpath, memopath;  // the SRT file, its name, its progress and memo files
  int32_t srtcodepage = 28591;  // code page the SRT was read with
  bool srtbom = false;          // the SRT began with a byte order mark (written back with one)
  // The SRT file's bytes as loaded: read again by resetsub for the file's
  // times, and by the writer, which keeps the file's own text of every cue
  // not edited since (the 932 texts above lack what 932 cannot hold).
  std::string srtsource;
  bool savkeepold = false;      // the progress file did not fit: copy it aside before overwriting

  // ---- helpers ----------------------------------------------------------
  bool validSlot(int64_t i) const { return i >= 0 && i < subcount && i < (int64_t)subtext.size(); }
  static bool isCue(int64_t i) { return (i & 1) == 1; }
  // Letter state of byte j of slot i; flg_out when there is none.
  int32_t flg(int64_t i, int64_t j) const {
    if (i < 0 || i >= (int64_t)subflg.size()) return flg_out;
    const auto& f = subflg[i];
    return (j >= 0 && j < (int64_t)f.size()) ? f[j] : flg_out;
  }
};

}  // namespace tl
