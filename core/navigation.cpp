#include "core/navigation.h"

#include "core/timetext.h"

namespace tl {

ttime leadIn(ttime start, ttime lead) { return start - lead < 0 ? 0 : start - lead; }

bool posplay(Lesson& L, NavView& v, int32_t slot, ttime t) {
  if (t < 0) return false;
  L.startsub = (slot & 1) ? slot : slot - 1;
  v.jumpComing(t);
  L.justseeked = true;
  v.seekAndPlay(t);
  if (slot != 0) {
    L.repcount += 1;
  } else {
    L.repcount = 1;
    v.logout(sec2str_0(t));
  }
  L.playpaused = false;
  return true;
}

void beforesub(Lesson& L, const Options& O, NavView& v) {
  if (!v.isForeground() || L.cursub <= 0 || !L.validSlot(L.cursub)) return;
  const uint32_t now = v.tickCount();
  const ttime lead = (ttime)O.backmore * 10;
  if ((uint32_t)(now - L.replaytick) >= 1000u || L.cursub < 2) {
    L.replaytick = now;
    posplay(L, v, L.cursub, leadIn(L.subtime[L.cursub], lead));
    return;
  }
  L.replaytick = now;
  posplay(L, v, 0, leadIn(L.subtime[L.cursub - 2], lead));
  if (!L.sublocked) L.cursub -= 2;
  v.displayedCueChanged();
}

void nextsub(Lesson& L, const Options& O, NavView& v) {
  if (!v.isForeground() || L.cursub > L.subcount - 3 || L.sublocked || L.cursub < 0) return;
  if (L.cursub >= 1) {
    L.repcount = -1;
    const ttime start = L.subtime[L.cursub + 2];
    posplay(L, v, L.cursub + 2, O.nextsubplus ? leadIn(start, (ttime)O.backmore * 10) : start);
    L.cursub += 2;
  } else {
    if (L.subcount < 2) return;
    posplay(L, v, 0, L.subtime[1]);
  }
  L.newcue = true;
  v.displayedCueChanged();
}

}  // namespace tl
