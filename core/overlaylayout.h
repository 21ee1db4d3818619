// Layout of the subtitle overlay on the video: where each byte of the
// displayed cue, the previous and the next cue and the cue number go.  The
// overlay's painting, its hit test, the single-cell updates after a typed
// letter and the click sync all take their places from one OverlayLayout.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/lesson.h"

namespace tl::ovl {

struct Metrics {
  int gcellw = 0, gcellh = 0;    // cell of the cue font ("A")
  int gscellw = 0, gscellh = 0;  // cell of the side font
};

struct Params {
  int tpx = 0, tpy = 0;  // top-left corner of the cue's last line
  int wdgap = 5, sntgap = 10;
  int panelw = 0, panelh = 0;
  int vidleft = 0;
  int vidw = 0;  // width of the picture; 0 = the panel's width
  bool xcenter = false, gpresub = true, gnextsub = true;
};

struct Side {  // the previous or the next cue
  bool shown = false;
  int slot = 0, x = 0, y = 0, width = 0;
};

struct Hit {
  int slot = 0;  // 0 = nothing
  int col = 0;   // 1-based byte index into the hit cue's text; 0 = nothing
  bool operator==(const Hit&) const = default;
};

struct OverlayLayout {
  Metrics m;
  int wdgap = 5, sntgap = 10;
  int cursub = 0;
  int len = 0;        // bytes of the displayed cue
  int crpos = 0;      // 1-based position of the first CR LF (len when none)
  bool oneline = true;
  int line1len = 0, line2len = 0;  // bytes of the two line strings
  int line1width = 0, line2width = 0;
  int tpx = 0, tpy = 0;            // after centring
  Side pre, next;

  int subx(int i) const;
  int suby(int i) const;
  // Top-left of the cue number.
  int numberX(const Params& p) const;
  int numberY(const Params& p) const;
  // The hit test of press and release: previous cue, next cue, line 1,
  // line 2, in this order, all comparisons strict.  Only what is drawn can be
  // hit, and only cues of the table.
  Hit hit(int x, int y) const;
};

// Horizontal room for the text: the picture's columns inside the panel.
struct Span {
  int lo = 0, hi = 0;
};
Span textSpan(const Params& p);

// Cells the displayed cue's longer line and the wider side cue (with its
// dash) need; the overlay shrinks its fonts until they fit textSpan().
struct FitNeed {
  int cueCols = 0, sideCols = 0;
};
FitNeed fitNeed(const Lesson& l, const Params& p);
// A point size no larger than pts at which cols cells fit in avail pixels,
// taking the cell width as proportional to the size (cellw at pts); at least 1.
int fitPoints(int pts, int cellw, int cols, int avail);

// Lays out slot l.cursub.  Every drawn cell stays inside textSpan() when the
// cells fit it (the text is moved in, never cut at the side), and the next
// cue's line never lies on the displayed cue's lines.  No displayed cue (cursub outside the table or not
// a cue) gives an empty layout whose hit test finds nothing.
OverlayLayout layoutOverlay(const Lesson& l, const Params& p, const Metrics& m);

// The video picture rectangle in the main window's client area.
struct VideoGeom {
  int pw = 0, ph = 0;      // image source size of the current medium
  int ctlw = 0, ctlh = 0;  // size of the player control
  int cw = 0, ch = 0;      // client size of the main window
  int splitter1h = 0, panel1h = 0;
  // Where the player really shows the picture, in the overlay's coordinates,
  // when it can tell: then that is the picture's rectangle.  The rule from
  // the window's sizes assumes a player control that fills the client area
  // above Panel1, which places the text beside the picture in any other
  // layout.
  bool shown = false;
  int showx = 0, showy = 0, showw = 0, showh = 0;
};
struct VidRect {
  int vidw = 0, vidh = 0, vidleft = 0, vidtop = 0;
  bool operator==(const VidRect&) const = default;
};
// False (and r untouched) without a picture or a player control width.
bool movsizeset(const VideoGeom& g, VidRect& r);

// Point size of a fixed-point size (points x 10000), halves to even.
int pointsOf(int64_t fixed);

}  // namespace tl::ovl
