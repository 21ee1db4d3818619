#include "core/wave.h"

#include "core/timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tl {

namespace {

// Slots that every array of the table has.
int32_t slotCount(const Lesson& l) {
  return (int32_t)std::min<int64_t>({(int64_t)l.subcount, (int64_t)l.subtime.size(),
                                     (int64_t)l.subwavex.size()});
}

int64_t truncCols(double seconds, double colsec) {
  if (colsec <= 0) return 0;
  return (int64_t)std::trunc(seconds / colsec);
}

int32_t clamp32(int64_t v) {
  return (int32_t)std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
}

ttime roundTime(double v) { return (ttime)std::nearbyint(v); }

// The last of the first n slots that starts before p (0 when none does).
int32_t slotAt(const Lesson& l, int32_t n, ttime p) {
  const auto end = l.subtime.begin() + n;
  const auto it = std::partition_point(l.subtime.begin(), end, [p](ttime t) { return t < p; });
  return std::max<int32_t>(0, (int32_t)(it - l.subtime.begin()) - 1);
}

std::string generalNumber(double v) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

}  // namespace

double columnSeconds(int bufferSize, int frameRate) {
  if (frameRate <= 0) return 0;
  return bufferSize / (2.0 * frameRate);
}

int32_t peakOf(const int16_t* s, int n) {
  int lo = 0, hi = 0;
  for (int i = 0; i < n; ++i) {
    lo = std::min<int>(lo, s[i]);
    hi = std::max<int>(hi, s[i]);
  }
  return std::min(32767, std::max(hi, -lo));
}

WaveBufferResult wavbuffer(WaveView& w, Lesson& l, const WaveInput& in, const int16_t* samples,
                           int bytes) {
  WaveBufferResult r;
  if (!in.viewOn) return r;
  r.requeue = true;
  // A play from 0 s reads 0 for a moment: the recording goes on, and a
  // medium at its end adds no silent columns.
  if (in.positionSeconds == 0) return r;
  if (in.ended) {
    w.atEnd = true;
    return r;
  }

  w.wavpeak = peakOf(samples, std::max(0, bytes / 2));
  w.wavmax = std::max(w.wavmax, w.wavpeak);

  const ttime p = roundTime(in.positionSeconds * 10000.0);
  if (w.atEnd) {
    // Played again after the end: nothing lies beyond the newest column.
    w.atEnd = false;
    if (p < w.wavtime) {
      wavreset(w, l);
      r.reset = true;
    }
  }
  const int32_t n = slotCount(l);
  const int32_t W = w.width;
  // A marker index from a longer table is brought back inside this one.
  if (w.wavmark >= n) w.wavmark = std::max(0, n - 1);
  const bool loaded = l.srtloaded && n > 0;
  const int32_t cur = (l.cursub >= 0 && l.cursub < n) ? l.cursub : -1;

  if (loaded && p != w.lastpos) {
    w.wavsame = 0;
    if (w.wavfromcur) {
      // The slot under the position: right after a jump the displayed cue
      // may still be the one left behind.
      const int32_t at = slotAt(l, n, p);
      if (at > w.wavmark) {
        w.wavmark = at;
        w.wavfromcur = false;
      }
    }
    if (w.wavmark + 1 < n) {
      const int64_t x =
          truncCols((l.subtime[w.wavmark + 1] - p) / 10000.0, w.wavcolsec) + W - w.nowx;
      if (x < W) {
        ++w.wavmark;
        l.subwavex[w.wavmark] = clamp32(x);
      }
    }
    w.posx = clamp32(W + w.wavsamelast - truncCols((w.wavtime - p) / 10000.0, w.wavcolsec));
    if (cur >= 0 && l.cursub != w.lastcue && !waveBehind(w, p)) l.subwavex[cur] = W - w.nowx;
  } else {
    if (w.wavrun && !in.paused) {
      ++w.wavsame;
      ++w.posx;
    }
  }
  w.lastcue = l.cursub;
  w.lastpos = p;

  if (w.wavrun && !in.paused && (p > w.wavtime || (p == w.wavtime && w.wavsamelast <= w.wavsame))) {
    ++w.wavcount;
    w.wavbuf[w.wavcount] = (int16_t)w.wavpeak;
    w.wavtime = p;
    w.wavsamelast = w.wavsame;
    r.appended = true;
    if (loaded) {
      for (int32_t c = std::min(w.wavmark, n - 1); c >= 0; --c)
        if (--l.subwavex[c] < 0) break;
    }
  }
  if (w.wavcount >= WaveView::kResetAt) {
    wavreset(w, l);
    r.reset = true;
  }
  if (w.wavauto) {
    const int32_t pos = std::clamp(w.wavmax, WaveView::kBarMin, WaveView::kBarMax);
    if (pos != w.wavsize) {
      // The bar's change clears wavauto: it follows once.
      w.wavsize = pos;
      w.wavauto = false;
      r.barMoved = true;
    }
  }
  return r;
}

namespace {
// Empty picture; appending starts again at the next position, wherever the
// last picture ended (a start or a reset at an earlier position would
// otherwise draw nothing until playback came back to the old newest time).
void emptyPicture(WaveView& w) {
  w.wavmax = 1;
  w.wavcount = 0;
  w.lastpos = 0;
  w.wavtime = 0;
  w.wavsame = 0;
  w.wavsamelast = 0;
  w.atEnd = false;
  std::fill(w.wavbuf.begin(), w.wavbuf.end(), int16_t(0));
}
}  // namespace

void wavstart(WaveView& w) {
  emptyPicture(w);
  w.wavrun = true;
}

bool waveBehind(const WaveView& w, ttime p) { return w.wavcount > 0 && p < w.wavtime; }

void wavreset(WaveView& w, Lesson& l) {
  w.wavrun = false;
  emptyPicture(w);
  std::fill(l.subwavex.begin(), l.subwavex.end(), 0);
  w.wavfromcur = true;
  w.wavrun = true;
  w.wavmark = 0;
  wavxset(w, l);
}

void wavxset(WaveView& w, Lesson& l) {
  const int32_t n = slotCount(l);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t x = l.subwavex[i];
    if (x >= 1 && x <= w.width - 1)
      l.subwavex[i] =
          clamp32(w.width - w.nowx - truncCols((w.wavtime - l.subtime[i]) / 10000.0, w.wavcolsec));
  }
}

void wavxshift(WaveView& w, Lesson& l, ttime delta, int64_t first, int64_t last) {
  const int32_t n = slotCount(l);
  const int64_t cols = truncCols(delta / 10000.0, w.wavcolsec);
  for (int64_t i = std::max<int64_t>(first, 0); i <= last && i < n; ++i)
    if (l.subwavex[i] > 0) l.subwavex[i] = clamp32(l.subwavex[i] + cols);
}

bool waveOutside(const WaveView& w, ttime t) {
  if (w.wavcount <= 0) return true;
  const ttime oldest = w.wavtime - roundTime((w.wavcount - 1) * w.wavcolsec * 10000.0);
  return t < oldest || t > w.wavtime;
}

ttime wavtimeAt(const WaveView& w, int x) {
  return roundTime((x + w.nowx - w.width) * w.wavcolsec * 10000.0) + w.wavtime;
}

void wavpress(WaveView& w, Lesson& l, int x) {
  w.mousetime = wavtimeAt(w, x);
  w.mousedown = true;
  w.downx = x;
  if (!l.srtloaded) return;
  const int32_t n = slotCount(l);
  for (int32_t i = 0; i < n; ++i) {
    const int32_t m = l.subwavex[i];
    if (m >= 0 && m <= w.width && m >= x - 2) {
      setadjfrom(l, i);
      break;
    }
  }
}

void wavmove(WaveView& w, int x, int y) {
  if (!w.mousedown) return;
  w.dragging = true;
  w.dragdelta = roundTime((x - w.downx) * w.wavcolsec * 10000.0);
  w.dragx = x;
  w.dragy = y;
}

namespace {
// The nearest slot of that kind and whether it is the one after the slot
// found below m (the search's i + 2) rather than that slot itself.
struct Nearest {
  int32_t slot = -1;
  bool above = false;
};

Nearest nearestOf(const Lesson& l, ttime m, bool start) {
  const int32_t n = std::min<int64_t>(l.subcount, (int64_t)l.subtime.size());
  const int32_t lowest = start ? 1 : 2;
  int32_t top = (n - 1) - (((n - 1) - lowest) & 1);  // last slot of that parity
  if (top < lowest) return {};
  int32_t i = (l.cursub >= 1 && (l.cursub & 1)) ? l.cursub + (start ? 2 : 3) : lowest;
  i = std::min(i, top);
  while (i >= lowest && l.subtime[i] >= m) i -= 2;
  if (i >= lowest && (i + 2 >= n || (l.subtime[i + 2] - m) > (m - l.subtime[i]))) return {i, false};
  return i + 2 < n ? Nearest{i + 2, true} : Nearest{i, false};
}
}  // namespace

int32_t wavnearest(const Lesson& l, ttime m, bool start) { return nearestOf(l, m, start).slot; }

bool wavsubset(WaveView& w, Lesson& l, bool start) {
  const int32_t n = slotCount(l);
  const Nearest near = nearestOf(l, w.mousetime, start);
  const int32_t s = near.slot;
  if (s < 1 || s >= n) return false;
  const ttime m = w.mousetime;
  l.subtime[s] = m;
  l.subwavex[s] = w.downx;
  if (!start && !near.above) {
    // The next cue then starts where this one ends.
    if (s + 1 < n) {
      l.subtime[s + 1] = m;
      l.subwavex[s + 1] = w.downx;
    }
  } else if (start && near.above && s - 1 >= 1 && m < l.subtime[s - 1]) {
    // The cue before then ends there.
    l.subtime[s - 1] = m;
    l.subwavex[s - 1] = w.downx;
  }
  l.srtdirty = true;
  l.flgdirty = true;
  return true;
}

WaveRelease wavrelease(WaveView& w, Lesson& l, int x, WaveButton b, bool shift, bool ctrl) {
  WaveRelease r;
  w.mousedown = false;
  if (w.dragging) {
    if (b == WaveButton::Left && !ctrl && l.srtloaded) {
      r.kind = WaveRelease::Shift;
      r.delta = roundTime((x - w.downx) * w.wavcolsec * 10000.0);
    }
    w.dragging = false;
    return r;
  }
  if (!l.srtloaded) return r;
  if (shift) {
    if (b == WaveButton::Middle) return r;
    const int32_t s = wavnearest(l, w.mousetime, b == WaveButton::Left);
    if (s < 1) return r;
    setadjfrom(l, s);
    r.kind = WaveRelease::Shift;
    r.delta = w.mousetime - l.subtime[s];
    return r;
  }
  if (ctrl) {
    if (wavsubset(w, l, b == WaveButton::Left)) r.kind = WaveRelease::Subset;
  }
  return r;
}

WavePicture wavpaint(WaveView& w, const Lesson& l, const WaveFont& f, const WaveShow& s) {
  WavePicture p;
  if (!w.wavrun) return p;
  p.visible = true;
  const int W = w.width, H = w.height;
  w.nowx = W / 4;
  p.nowLine = W - w.nowx;
  const int scale = std::max(1, w.wavmax);
  const int cols = std::min(w.wavcount, W + 1);
  p.columnTop.resize(std::max(0, cols));
  for (int i = 0; i < cols; ++i) {
    const int v = w.wavbuf[w.wavcount - i];
    p.columnTop[i] = (int16_t)std::clamp(H - (int)((int64_t)v * H / scale), 0, H);
  }
  if (w.posx < W) p.replayLine = w.posx - w.nowx;

  const int32_t n = slotCount(l);
  if (!l.srtloaded || n <= 0) return p;
  auto width = [&](const std::string& t, int size) { return f.width ? f.width(t, size) : 0; };
  auto shrink = [&](int room, int textw) {
    if (textw <= 0) return f.size;
    const int sz = (int)std::trunc(f.size * (double)room / textw) - 1;
    return std::min(sz, f.size);
  };
  const int bottom = H - f.textHeight;
  int textLine = bottom;
  int e = 0;
  bool newest = true;
  for (int32_t c = std::min(w.wavmark, n - 1); c >= 0; --c) {
    const int d = l.subwavex[c];
    if (d < 0) break;
    if (d == 0 || d > W) continue;
    const bool cue = (c & 1) == 1;
    WaveMarker mk{d, cue ? WaveColor::Yellow : WaveColor::Red};
    const auto shown = [&](int32_t slot) {
      return s.textShown || (slot >= 0 && slot < (int32_t)l.subclear.size() && l.subclear[slot] == 1);
    };
    const std::string& text =
        (cue ? c : c - 1) >= 0 && (cue ? c : c - 1) < (int32_t)l.subtext.size() ? l.subtext[cue ? c : c - 1]
                                                                                  : std::string();
    if (cue) {
      WaveLabel lb;
      lb.text = " " + std::to_string(c / 2 + 1);
      lb.color = c == l.cursub ? WaveColor::Aqua : WaveColor::White;
      lb.fontSize = f.size;
      if (shown(c)) {
        lb.text += "<" + text.substr(0, text.size() / 2);
        const int tw = width(lb.text, f.size);
        if ((e - d) / 2 < tw) textLine = H - 2 * f.textHeight;
        if (!newest && tw > e - d) lb.fontSize = shrink(e - d, tw);
      }
      lb.x = d;
      lb.y = textLine;
      if (lb.fontSize >= 1) p.labels.push_back(std::move(lb));
    } else if (c > 0) {
      if (shown(c - 1)) {
        WaveLabel lb;
        lb.text = text.substr(text.size() / 2) + ">";
        lb.color = (c - 1 == l.cursub && s.eosVisible) ? WaveColor::Aqua : WaveColor::White;
        lb.fontSize = f.size;
        const int startx = l.subwavex[c - 1];
        const int tw = width(lb.text, f.size);
        if (tw > d - startx) lb.fontSize = shrink(d - startx, tw);
        lb.rightAligned = true;
        lb.x = d + width("a", f.size);
        lb.y = bottom;
        textLine = bottom;
        if (lb.fontSize >= 1) p.labels.push_back(std::move(lb));
      }
    }
    if (w.dragging && c == l.adjfrom) {
      mk.color = WaveColor::Fuchsia;
      WaveLabel lb;
      lb.text = generalNumber(w.dragdelta / 10000.0);
      lb.x = w.dragx;
      lb.y = w.dragy - 10;
      lb.fontSize = f.size;
      p.labels.push_back(std::move(lb));
    }
    p.markers.push_back(mk);
    e = d;
    newest = false;
  }
  return p;
}

}  // namespace tl
