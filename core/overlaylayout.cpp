#include "core/overlaylayout.h"

#include "core/panellayout.h"

#include <algorithm>

namespace tl::ovl {

int OverlayLayout::subx(int i) const {
  if (i < crpos) return tpx + i * m.gcellw;
  return tpx + (i - crpos - 1) * m.gcellw;
}

int OverlayLayout::suby(int i) const {
  if (oneline || i > crpos) return tpy;
  return tpy - m.gcellh - wdgap;
}

int OverlayLayout::numberX(const Params& p) const { return p.xcenter ? p.vidleft : tpx; }

int OverlayLayout::numberY(const Params& p) const {
  int y = tpy - 2 * m.gcellh - wdgap - sntgap;
  return p.gpresub ? y - m.gscellh : y;
}

Hit OverlayLayout::hit(int x, int y) const {
  if (cursub < 1 || len == 0) return {};
  auto side = [&](const Side& s) -> Hit {
    if (!s.shown || m.gscellw <= 0) return {};
    if (s.x < x && x < s.x + s.width && s.y < y && y < s.y + m.gscellh)
      return {s.slot, (x - s.x) / m.gscellw + 1};
    return {};
  };
  if (Hit h = side(pre); h.slot) return h;
  if (Hit h = side(next); h.slot) return h;
  if (m.gcellw <= 0) return {};
  if (tpx < x && x < tpx + line1width) {
    bool inRow = oneline ? (tpy < y && y < tpy + m.gcellh)
                         : (tpy - wdgap - m.gcellh < y && y < tpy - wdgap);
    if (inRow) return {cursub, (x - tpx) / m.gcellw + 1};
  }
  if (!oneline && tpx < x && x < tpx + line2width && tpy < y && y < tpy + m.gcellh)
    return {cursub, (x - tpx) / m.gcellw + crpos + 2};
  return {};
}

namespace {

// Bytes of a line without the line-break bytes at its end.
int visibleCols(std::string_view line) {
  int n = (int)line.size();
  while (n > 0 && (line[n - 1] == '\r' || line[n - 1] == '\n')) --n;
  return n;
}

struct Lines {
  int crpos = 0;  // 1-based position of the first CR LF (len when none)
  bool oneline = true;
  int cols1 = 0, cols2 = 0;  // drawn cells of line 1 and line 2
};

Lines splitLines(std::string_view t) {
  Lines s;
  int len = (int)t.size();
  int cr = panel::firstCrlf(t);
  s.crpos = cr < 0 ? len : cr + 1;
  s.oneline = s.crpos >= len - 1;
  s.cols1 = cr < 0 ? visibleCols(t) : cr;
  if (!s.oneline) s.cols2 = visibleCols(t.substr(s.crpos + 1));
  return s;
}

int clampInto(int x, int width, Span sp) {
  if (width > sp.hi - sp.lo) return sp.lo;
  if (x < sp.lo) return sp.lo;
  if (x + width > sp.hi) return sp.hi - width;
  return x;
}

}  // namespace

Span textSpan(const Params& p) {
  Span s{0, p.panelw};
  if (p.vidw > 0) {
    s.lo = std::max(0, p.vidleft);
    s.hi = std::min(p.panelw, p.vidleft + p.vidw);
    if (s.hi <= s.lo) s = {0, p.panelw};
  }
  return s;
}

FitNeed fitNeed(const Lesson& l, const Params& p) {
  FitNeed f;
  if (!l.validSlot(l.cursub) || !Lesson::isCue(l.cursub)) return f;
  Lines s = splitLines(l.subtext[l.cursub]);
  f.cueCols = std::max(s.cols1, s.cols2);
  int side = 0;
  int ps = l.cursub - 2, ns = l.cursub + 2;
  if (p.gpresub && ps > 0 && l.validSlot(ps)) side = visibleCols(l.subtext[ps]);
  if (p.gnextsub && l.validSlot(ns)) side = std::max(side, visibleCols(l.subtext[ns]));
  if (side > 0) f.sideCols = side + 2;
  return f;
}

int fitPoints(int pts, int cellw, int cols, int avail) {
  if (cols <= 0 || cellw <= 0 || (int64_t)cols * cellw <= avail) return pts;
  return std::max<int>(1, (int)((int64_t)pts * std::max(avail, 0) / ((int64_t)cols * cellw)));
}

OverlayLayout layoutOverlay(const Lesson& l, const Params& p, const Metrics& m) {
  OverlayLayout o;
  o.m = m;
  o.wdgap = p.wdgap;
  o.sntgap = p.sntgap;
  o.tpx = p.tpx;
  o.tpy = p.tpy;
  if (!l.validSlot(l.cursub) || !Lesson::isCue(l.cursub)) return o;
  o.cursub = l.cursub;
  std::string_view t = l.subtext[l.cursub];
  o.len = (int)t.size();
  Lines s = splitLines(t);
  o.crpos = s.crpos;
  o.oneline = s.oneline;
  o.line1len = o.crpos;
  o.line2len = o.oneline ? 0 : o.len - o.crpos - 1;
  o.line1width = o.line1len * m.gcellw;
  o.line2width = o.line2len * m.gcellw;
  if (p.xcenter) {
    int longer = o.line1len > o.line2len ? o.line1width : o.line2width;
    o.tpx = (p.panelw - longer + m.gcellw) / 2;
  }
  // Keep every letter inside the picture's columns; text dragged off the
  // right edge stays there (the paint shows an arrow for it).
  const Span sp = textSpan(p);
  const int cueWidth = std::max(s.cols1, s.cols2) * m.gcellw;
  if (o.tpx < p.panelw) o.tpx = clampInto(o.tpx, cueWidth, sp);

  const int ps = l.cursub - 2, ns = l.cursub + 2;
  const bool preShown = p.gpresub && ps > 0 && l.validSlot(ps);
  const bool offPanel = o.tpx >= p.panelw && o.tpy >= p.panelh;
  const bool nextShown = !offPanel && p.gnextsub && l.validSlot(ns) && !l.subtext[ns].empty();
  int sideCols = 0;
  if (preShown) sideCols = visibleCols(l.subtext[ps]);
  if (nextShown) sideCols = std::max(sideCols, visibleCols(l.subtext[ns]));
  int dashx = p.xcenter ? p.vidleft : o.tpx;
  if (dashx < p.panelw) dashx = clampInto(dashx, (sideCols + 2) * m.gscellw, sp);
  const int sidex = dashx + 2 * m.gscellw;
  if (preShown) {
    o.pre.shown = true;
    o.pre.slot = ps;
    o.pre.x = sidex;
    o.pre.y = o.tpy - m.gcellh - m.gscellh - o.wdgap - o.sntgap;
    o.pre.width = (int)l.subtext[ps].size() * m.gscellw;
  }
  if (nextShown) {
    o.next.shown = true;
    o.next.slot = ns;
    o.next.x = sidex;
    const int below = o.tpy + m.gcellh + o.sntgap;
    o.next.y = p.xcenter ? p.panelh - m.gscellh : below;
    // Centred text low on the panel would meet the next cue's line at the
    // bottom: the next cue then goes under it as for text that is not centred.
    const int cueTop = o.oneline ? o.tpy : o.tpy - m.gcellh - o.wdgap;
    if (o.next.y < o.tpy + m.gcellh && o.next.y + m.gscellh > cueTop) o.next.y = below;
    o.next.width = (int)l.subtext[ns].size() * m.gscellw;
  }
  return o;
}

bool movsizeset(const VideoGeom& g, VidRect& r) {
  if (g.pw <= 0 || g.ctlw <= 0) return false;
  if (g.shown && g.showw > 0 && g.showh > 0) {
    r = {g.showw, g.showh, g.showx, g.showy};
    return true;
  }
  // ctlh / ctlw >= ph / pw, compared without rounding.
  if ((int64_t)g.ctlh * g.pw >= (int64_t)g.ph * g.ctlw) {
    r.vidw = g.cw;
    r.vidh = (int)((int64_t)g.ph * r.vidw / g.pw);
    r.vidtop = (g.ch - r.vidh) / 2;
    r.vidleft = 0;
  } else {
    r.vidh = g.ch - g.splitter1h - g.panel1h;
    r.vidw = g.ph > 0 ? (int)((int64_t)g.pw * r.vidh / g.ph) : 0;
    r.vidtop = 0;
    r.vidleft = (g.cw - r.vidw) / 2;
  }
  return true;
}

int pointsOf(int64_t fixed) { return (int)panel::roundDivEven(fixed, 10000); }

}  // namespace tl::ovl
