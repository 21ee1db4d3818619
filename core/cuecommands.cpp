#include "core/cuecommands.h"

#include <cmath>

namespace tl {

bool starOf(const Lesson& L, int64_t slot) {
  return slot >= 0 && slot < (int64_t)L.substar.size() && L.substar[slot] == 1;
}

bool toggleStar(Lesson& L) {
  if (!L.srtloaded || !Lesson::isCue(L.cursub) || !L.validSlot(L.cursub)) return false;
  if ((int64_t)L.substar.size() < L.subcount) L.substar.resize(L.subcount, 0);
  int32_t& s = L.substar[L.cursub];
  s = s == 1 ? 0 : 1;
  L.flgdirty = true;
  return true;
}

std::string memoOf(const Lesson& L, int64_t slot) {
  return slot >= 0 && slot < (int64_t)L.submemo.size() ? L.submemo[slot] : std::string();
}

bool setMemo(Lesson& L, const std::string& ansi) {
  if (!L.srtloaded || !L.validSlot(L.cursub)) return false;
  if (memoOf(L, L.cursub) == ansi) return false;
  if ((int64_t)L.submemo.size() < L.subcount) L.submemo.resize(L.subcount);
  L.submemo[L.cursub] = ansi;
  L.flgdirty = true;
  return true;
}

int32_t skipAdjfrom(const Lesson& L) {
  int64_t s = Lesson::isCue(L.possub) ? L.cursub : (int64_t)L.cursub + 2;
  if (s > L.subcount - 1) s = L.subcount - 1;
  if (s < 0) s = 0;
  return (int32_t)s;
}

ttime skipTarget(double positionSeconds) { return (ttime)std::nearbyint((positionSeconds + 15.0) * 10000.0); }

std::string quendlePath(const std::string& programDir) {
  std::string d = programDir;
  if (!d.empty() && d.back() != '/') d += '/';
  return d + "quendle/quendle";
}

}  // namespace tl
