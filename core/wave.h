// The scrolling waveform under the video: one peak column per recorded
// buffer, the newest on the "now" line at x = W - nowx, older ones to the
// left, and a marker at the start of every slot that passed through the view.
//
// WaveView holds the picture's state; the functions below take one buffer,
// lay out a paint, answer the mouse and keep the markers (Lesson::subwavex)
// in step with the slot times.  Nothing here paints: the window asks for a
// WavePicture and draws it.
//
// Time mapping: the newest column has the time wavtime; the column at x has
// wavtime + (x - (W - nowx)) x wavcolsec seconds.  A slot's marker x is
// W - nowx - Trunc((wavtime - slot time) / wavcolsec).  subwavex 0 means no
// marker, a negative value that the marker scrolled out to the left.
//
// Every slot index used here is checked against the table, so a marker index
// left from a longer table (a new SRT loaded) never reaches past its end.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/lesson.h"

namespace tl {

struct WaveView {
  static constexpr int kColumns = 16384;   // entries of wavbuf
  static constexpr int kResetAt = 16000;   // columns after which the view starts again
  static constexpr int kBarMin = 1, kBarMax = 33000, kBarStart = 20000;

  std::vector<int16_t> wavbuf = std::vector<int16_t>(kColumns, 0);  // 1..wavcount, oldest first
  int32_t wavcount = 0;    // index of the newest column; 0 = empty
  int32_t wavmax = 1;      // largest absolute sample since the last reset: the scale
  int32_t wavpeak = 0;     // peak of the latest buffer
  double wavcolsec = 512.0 / (2.0 * 22050.0);  // seconds per column
  ttime wavtime = 0;       // position at which the newest column was appended
  int32_t wavsame = 0;     // buffers in a row with an unchanged position
  int32_t wavsamelast = 0; // wavsame when the newest column was appended
  ttime lastpos = 0;       // position at the previous buffer
  int32_t posx = 0;        // replay line (shown while < W)
  int32_t wavmark = 0;     // newest slot with a marker
  bool wavfromcur = false; // markers restart at the displayed cue
  int32_t lastcue = 0;     // cursub at the previous buffer
  int32_t width = 0;       // W: view width
  int32_t height = 0;      // H: view height
  int32_t nowx = 0;        // W div 4
  bool wavrun = false;     // started or reset once
  bool wavauto = true;     // the level bar follows wavmax (once)
  bool atEnd = false;      // the medium played to its end: a replay starts the view again
  int32_t wavsize = kBarStart;  // the level bar's position

  // mouse
  ttime mousetime = 0;
  int32_t downx = 0;
  bool mousedown = false, dragging = false;
  ttime dragdelta = 0;
  int32_t dragx = 0, dragy = 0;

  void setSize(int w, int h) {
    width = w;
    height = h;
    nowx = w / 4;
  }
};

// Seconds per column: buffer bytes / (2 x frames per second).
double columnSeconds(int bufferSize, int frameRate);

// Largest absolute sample of n 16-bit samples; -32768 counts as 32767.
int32_t peakOf(const int16_t* samples, int n);

// What one buffer needs besides the samples.
struct WaveInput {
  bool viewOn = true;       // "再生波形" checked
  double positionSeconds = 0;
  bool paused = false;      // paused by the play/pause operation (playpaused)
  bool ended = false;       // the medium played to its end
};

struct WaveBufferResult {
  bool requeue = false;     // hand the buffer back to the device
  bool appended = false;    // a column was added (the picture changed)
  bool reset = false;       // the view filled up and started again
  bool barMoved = false;    // wavsize follows wavmax (once)
};

// One recorded buffer (bytes = its size).  False (not re-queued) when the view
// is off; nothing but the re-queue while the position reads exactly 0 (a play
// from 0 s) or the medium has ended.  Otherwise the peak and the scale, the
// markers of slots reaching the view (at most one per buffer), the replay
// line, and a column when playing beyond the newest drawn time.  Behind the
// newest column (after a jump back) the markers stay where they are drawn.
WaveBufferResult wavbuffer(WaveView& w, Lesson& l, const WaveInput& in, const int16_t* samples,
                           int bytes);

// Empty view: no columns, scale 1, no markers (every subwavex 0); appending
// starts at the next playing position.
void wavreset(WaveView& w, Lesson& l);
// The start of the recording: an empty picture of 16384 zero columns, scale 1;
// appending starts at the next playing position.
void wavstart(WaveView& w);
// Playback at p lies behind the newest drawn column: nothing is appended, and
// the markers, drawn where their times are, stay there.
bool waveBehind(const WaveView& w, ttime p);
// Every visible marker (1 .. W-1) re-placed from its slot time.
void wavxset(WaveView& w, Lesson& l);
// Markers of slots first..last move by Trunc(delta seconds / wavcolsec)
// columns; only placed markers (subwavex > 0) move.
void wavxshift(WaveView& w, Lesson& l, ttime delta, int64_t first, int64_t last);
// Whether t lies outside the drawn time span (older than the oldest column
// or later than the newest); an empty view holds no time.
bool waveOutside(const WaveView& w, ttime t);

// ---- mouse ------------------------------------------------------------
// Time of the column at x: Round((x + nowx - W) x wavcolsec x 10000) + wavtime.
ttime wavtimeAt(const WaveView& w, int x);
// Press: mousetime, downx; with loaded subtitles adjfrom := the first slot
// whose marker lies in 0..W and at or right of x - 2.
void wavpress(WaveView& w, Lesson& l, int x);
void wavmove(WaveView& w, int x, int y);

enum class WaveButton { Left, Right, Middle };
struct WaveRelease {
  enum Kind { None, Shift, Subset } kind = None;
  ttime delta = 0;  // Shift: the timing shift to apply (adjfrom already set)
};
// Release (after the click): drag with the left button and no Ctrl gives the
// drag's shift; Shift aligns the nearest start (left) or end (right) with
// mousetime; Ctrl sets a start / end by wavsubset (done here; the result is
// Subset so that the window refreshes).  Needs loaded subtitles except for
// ending the drag.
WaveRelease wavrelease(WaveView& w, Lesson& l, int x, WaveButton b, bool shift, bool ctrl);

// The slot of that kind (starts: odd, ends: even from 2) whose time is
// nearest to m, searched from the cue after the displayed one down; -1 when
// the table has none.  A tie takes the later one.  Slot 0 is never found.
int32_t wavnearest(const Lesson& l, ttime m, bool start);
// Ctrl-release: the nearest start (end) := mousetime, its marker := downx.
// When the slot found below mousetime is the nearer one, an end also moves
// the next cue's start with it; when the one after it is nearer, a start
// before the end of the cue before also moves that end.  Nothing else moves.
// srtdirty and flgdirty on.  False when nothing was set.
bool wavsubset(WaveView& w, Lesson& l, bool start);

// ---- paint ------------------------------------------------------------
enum class WaveColor : uint32_t {  // 0xRRGGBB
  White = 0xFFFFFF, Green = 0x00FF00, Yellow = 0xFFFF00, Aqua = 0x00FFFF, Red = 0xFF0000,
  Fuchsia = 0xFF00FF,
};

struct WaveLabel {
  std::string text;   // code page 932 bytes
  int x = 0, y = 0;   // left (or right for rightAligned) end, text top
  bool rightAligned = false;
  int fontSize = 0;   // 0: the view's own
  WaveColor color = WaveColor::White;
};
struct WaveMarker {
  int x = 0;
  WaveColor color = WaveColor::Yellow;
};
struct WavePicture {
  bool visible = false;           // nothing but black when false
  int nowLine = 0;                // x of the white now line
  std::vector<int16_t> columnTop; // y of column i at x = W - nowx - i (i = 0 newest)
  int replayLine = -1;            // x, or -1
  std::vector<WaveMarker> markers;
  std::vector<WaveLabel> labels;
};

// Text measures of the view's font (width of a 932 text at a font size; the
// height of "A" at the view's own size), given by the window.
struct WaveFont {
  int size = 9;
  std::function<int(const std::string& text, int size)> width;
  int textHeight = 12;
};

// What a marker label shows of a cue's text.
struct WaveShow {
  bool textShown = false;   // subopenmode or subview on, or the peek key held
  bool eosVisible = false;  // the end-of-sentence mark shows
};

// The paint of the view (W x H from setSize), nowx refreshed.
WavePicture wavpaint(WaveView& w, const Lesson& l, const WaveFont& f, const WaveShow& s);

}  // namespace tl
