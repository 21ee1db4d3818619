#include "core/overlaylayout.h"

#include "core/panellayout.h"

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
  int cr = panel::firstCrlf(t);
  o.crpos = cr < 0 ? o.len : cr + 1;
  o.oneline = o.crpos >= o.len - 1;
  o.line1len = o.crpos;
  o.line2len = o.oneline ? 0 : o.len - o.crpos - 1;
  o.line1width = o.line1len * m.gcellw;
  o.line2width = o.line2len * m.gcellw;
  if (p.xcenter) {
    int longer = o.line1len > o.line2len ? o.line1width : o.line2width;
    o.tpx = (p.panelw - longer + m.gcellw) / 2;
  }
  int sidex = (p.xcenter ? p.vidleft : o.tpx) + 2 * m.gscellw;
  int ps = l.cursub - 2;
  if (p.gpresub && ps > 0 && l.validSlot(ps)) {
    o.pre.shown = true;
    o.pre.slot = ps;
    o.pre.x = sidex;
    o.pre.y = o.tpy - m.gcellh - m.gscellh - o.wdgap - o.sntgap;
    o.pre.width = (int)l.subtext[ps].size() * m.gscellw;
  }
  int ns = l.cursub + 2;
  bool offPanel = o.tpx >= p.panelw && o.tpy >= p.panelh;
  if (!offPanel && p.gnextsub && l.validSlot(ns) && !l.subtext[ns].empty()) {
    o.next.shown = true;
    o.next.slot = ns;
    o.next.x = sidex;
    o.next.y = p.xcenter ? p.panelh - m.gscellh : o.tpy + m.gcellh + o.sntgap;
    o.next.width = (int)l.subtext[ns].size() * m.gscellw;
  }
  return o;
}

bool movsizeset(const VideoGeom& g, VidRect& r) {
  if (g.pw <= 0 || g.ctlw <= 0) return false;
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
