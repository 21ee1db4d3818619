#include "core/timing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/srtread.h"
#include "core/timetext.h"

namespace tl {

namespace {

bool loaded(const Lesson& l) {
  return l.srtloaded && l.subcount > 0 && (size_t)l.subcount <= l.subtime.size();
}

// num / den rounded to the nearest integer, halves to even (den > 0).
__int128 divRound(__int128 num, __int128 den) {
  __int128 q = num / den, r = num % den;
  if (r < 0) {
    r += den;
    q -= 1;
  }
  if (2 * r > den || (2 * r == den && (q & 1))) q += 1;
  return q;
}

// The shortest decimal text of a number (up to 15 significant digits).
std::string numberText(double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", v);
  return buf;
}

TimingChange refreshed(const Lesson& l, int32_t first, int32_t last) {
  TimingChange c;
  c.changed = true;
  c.first = first;
  c.last = last;
  c.tick = l.cursub > 0;
  return c;
}

// Every slot from..last moved by delta stays a representable time.
bool shiftFits(const Lesson& l, int32_t from, int32_t last, ttime delta) {
  if (!timeFits(delta)) return false;
  for (int32_t i = from; i <= last; ++i)
    if (!timeFits((__int128)l.subtime[i] + delta)) return false;
  return true;
}

bool cueDisplayed(const Lesson& l) { return loaded(l) && l.cursub >= 1 && l.cursub + 1 < l.subcount; }

}  // namespace

const char* const kAskAdjReset = "この字幕に対する字幕位置調整をリセットしますか？";
const char* const kAskAdjResetCaption = "字幕位置調整リセット";

void setadjfrom(Lesson& l, int64_t slot) {
  const int64_t top = std::max<int64_t>(l.subcount - 1, 0);
  l.adjfrom = (int32_t)std::clamp<int64_t>(slot, 0, top);
}

TimingChange adjshift(Lesson& l, const Options& o, ttime delta, bool playing) {
  if (!loaded(l)) return {};
  const int32_t last = l.subcount - 1;
  int32_t from = 0;
  std::string log = "字幕位置:" + numberText(delta / 10000.0);
  if (o.adjcrt) {
    if (playing) l.adjfrom = l.cursub;
    setadjfrom(l, l.adjfrom);
    from = l.adjfrom;
    if (!shiftFits(l, from, last, delta) || (from > 0 && !timeFits((__int128)l.subtime[from] + delta - 1000)))
      return {};
    for (int32_t i = from; i <= last; ++i) l.subtime[i] += delta;
    if (from > 0 && l.subtime[from] < l.subtime[from - 1]) l.subtime[from - 1] = l.subtime[from] - 1000;
    l.srtdirty = true;
    log += "　No." + std::to_string(from / 2 + 1) + (from % 2 == 0 ? "セリフ終わり" : "") + "以降調整";
  } else {
    if (!shiftFits(l, 0, last, delta)) return {};
    for (int32_t i = 0; i <= last; ++i) l.subtime[i] += delta;
    l.flgdirty = true;
  }
  l.adjsaved = l.subtime[0];
  TimingChange c = refreshed(l, from, last);
  c.delta = delta;
  c.log = std::move(log);
  return c;
}

TimingChange adjratio(Lesson& l, ttime t, double positionSeconds, bool mediumOpen) {
  if (!loaded(l) || !mediumOpen || t <= 0 || !std::isfinite(positionSeconds)) return {};
  const ttime pos = (ttime)std::nearbyint(positionSeconds * 10000.0);
  if (pos <= 0) return {};
  std::vector<ttime> stretched(l.subtime.begin(), l.subtime.begin() + l.subcount);
  for (ttime& v : stretched) {
    // |v| <= kTimeMax < 2^57 and pos < 2^63: the product fits in 128 bits.
    const __int128 q = divRound((__int128)v * pos, t);
    if (!timeFits(q)) return {};
    v = (ttime)q;
  }
  l.nowpos = pos;
  l.srtdirty = true;
  std::copy(stretched.begin(), stretched.end(), l.subtime.begin());
  l.flgdirty = true;
  l.adjsaved = l.subtime[0];
  TimingChange c = refreshed(l, 0, l.subcount - 1);
  c.log = numberText((double)pos / (double)t) + "全字幕に掛けました";
  return c;
}

TimingChange adjpos(Lesson& l, const Options& o, ttime t, double positionSeconds, bool mediumOpen, bool playing) {
  if (!loaded(l) || !mediumOpen || !std::isfinite(positionSeconds)) return {};
  const double delta = std::nearbyint(positionSeconds * 10000.0 - (double)t);
  if (!(std::fabs(delta) <= (double)kTimeMax)) return {};
  return adjshift(l, o, (ttime)delta, playing);
}

TimingChange subtopadj(Lesson& l, const Options& o, double positionSeconds, bool mediumOpen, bool playing) {
  if (!cueDisplayed(l) || !mediumOpen) return {};
  l.adjfrom = l.cursub;
  return adjpos(l, o, l.subtime[l.cursub], positionSeconds, mediumOpen, playing);
}

TimingChange subendadj(Lesson& l, const Options& o, double positionSeconds, bool mediumOpen, bool playing) {
  if (!cueDisplayed(l) || !mediumOpen) return {};
  l.adjfrom = l.cursub;
  return adjpos(l, o, l.subtime[l.cursub + 1], positionSeconds, mediumOpen, playing);
}

int clickColumn(int x, int y, int cellh, int cellw, const std::string& text, int xoffset) {
  if (cellw <= 0) return 0;
  int column = (x - xoffset) / cellw + 1;
  if (y > cellh + 2) {
    const size_t crlf = text.find("\r\n");
    column += (crlf == std::string::npos ? 0 : (int)crlf + 1) + 1;
  }
  return column;
}

std::optional<ttime> clickTarget(const Lesson& l, int64_t slot, int64_t column) {
  if (!loaded(l) || slot < 1 || !Lesson::isCue(slot) || slot + 1 >= l.subcount ||
      slot >= (int64_t)l.subtext.size() || l.subtext[slot].empty())
    return std::nullopt;
  const ttime start = l.subtime[slot], end = l.subtime[slot + 1];
  const __int128 len = (__int128)l.subtext[slot].size();
  const __int128 t = divRound((__int128)start * len + ((__int128)end - start) * column, len);
  if (!timeFits(t)) return std::nullopt;
  return (ttime)t;
}

TimingChange clickadjg(Lesson& l, const Options& o, int64_t slot, int64_t column, double positionSeconds,
                       bool mediumOpen, bool playing) {
  const auto target = clickTarget(l, slot, column);
  if (!target) return {};
  return adjpos(l, o, *target, positionSeconds, mediumOpen, playing);
}

TimingChange clickadj(Lesson& l, const Options& o, int x, int y, int cellh, int cellw, int64_t slot,
                      int splitterLeft, double positionSeconds, bool mediumOpen, bool playing) {
  if (!clickTarget(l, slot, 1)) return {};
  const int column = clickColumn(x, y, cellh, cellw, l.subtext[slot], slot == l.cursub ? 0 : splitterLeft);
  return clickadjg(l, o, slot, column, positionSeconds, mediumOpen, playing);
}

TimingChange pointsubdown(Lesson& l) {
  if (!cueDisplayed(l)) return {};
  const int32_t s = l.cursub;
  if (!timeFits((__int128)l.subtime[s] - 6000)) return {};
  l.subtime[s] -= 5000;
  int32_t first = s;
  if (l.subtime[s] < l.subtime[s - 1]) {
    l.subtime[s - 1] = l.subtime[s] - 1000;
    first = s - 1;
  }
  l.srtdirty = true;
  return refreshed(l, first, s);
}

TimingChange pointsubup(Lesson& l) {
  if (!cueDisplayed(l)) return {};
  const int32_t e = l.cursub + 1;
  if (!timeFits((__int128)l.subtime[e] + 6000)) return {};
  l.subtime[e] += 5000;
  int32_t last = e;
  if (e + 1 < l.subcount && l.subtime[e + 1] < l.subtime[e]) {
    l.subtime[e + 1] = l.subtime[e] + 1000;
    last = e + 1;
  }
  l.srtdirty = true;
  return refreshed(l, e, last);
}

TimingChange resetsub(Lesson& l) {
  if (!loaded(l)) return {};
  TimingChange c = refreshed(l, 0, l.subcount - 1);
  SrtSource src;
  rereadSrt(l, src, &c.messages);
  const Lesson& file = src.table;
  const int32_t n = std::min(l.subcount, file.subcount);
  bool moved = false;
  for (int32_t i = 1; i < n; ++i) {
    if (l.subtime[i] != file.subtime[i]) moved = true;
    l.subtime[i] = file.subtime[i];
  }
  l.subtime[0] = 0;
  if (moved) l.srtdirty = true;
  if (l.adjsaved != 0) l.flgdirty = true;
  l.adjsaved = 0;
  return c;
}

}  // namespace tl
