#include "core/timerepair.h"

#include <utility>

namespace tl {

bool repairTimeOrder(std::vector<ttime>& t) {
  // Every change either raises a time or swaps a pair that is out of order
  // (which keeps the sum), so the passes come to an end.
  bool any = false;
  for (bool changed = true; changed;) {
    changed = false;
    for (size_t i = 0; i + 1 < t.size(); ++i) {
      if (t[i + 1] >= t[i]) continue;
      if (i % 2 == 1)
        std::swap(t[i], t[i + 1]);
      else
        t[i + 1] = t[i];
      changed = any = true;
    }
  }
  return any;
}

bool timecheck(Lesson& L) {
  if (!L.srtloaded || L.subtime.size() < 2) return false;
  if (!repairTimeOrder(L.subtime)) return false;
  L.srtdirty = true;
  return true;
}

}  // namespace tl
