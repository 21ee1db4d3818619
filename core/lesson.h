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
  std::vector<ttime> subtime;
  std::vector<std::string> subtext;
  std::vector<std::vector<int32_t>> subflg;
  std::vector<int32_t> subclear;
  std::vector<int32_t> substar;
  std::vector<std::string> submemo;
  std::vector<int32_t> subwavex;
  std::vector<std::vector<std::string>> jawd;  // word translations per slot
  std::vector<std::string> jasnt;              // sentence translation per slot

  // ---- scenes -----------------------------------------------------------
  std::vector<int32_t> scenetop;  // first slot of each scene
  std::vector<int32_t> sceneflg;  // 1 = scene cleared
  int32_t curscene = -1;

  // ---- counters and flags of the dictation ------------------------------
  int32_t flgtotal = 0;
  int32_t flgrest = 0;
  int32_t hintpoint = 20;  // not reset by a load
  int32_t hintcost = 20;
  int32_t repcount = 1;
  int32_t subcsr = 0;
  int32_t cursub = 0;
  int32_t possub = 0;
  int32_t prevpossub = 0;
  int32_t startsub = 0;
  uint32_t replaytick = 0;
  int32_t resumesub = 0;
  ttime adjsaved = 0;
  int32_t adjfrom = 0;
  ttime nowpos = 0;
  bool flgdirty = false;
  bool srtdirty = false;
  bool srtloaded = false;
  bool sublocked = false;
  bool justseeked = false;
  bool forcetick = false;
  bool playpaused = false;
  bool incue = false;   // possub is odd
  bool newcue = false;  // a new cue became the displayed one (read by the overlay)

  // ---- paths (UTF-8 file names) -----------------------------------------
  std::string srtpath, srtname, savpath, memopath;
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
