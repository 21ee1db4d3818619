#include "core/scenes.h"

#include <algorithm>

namespace tl {

namespace {

int32_t lastSlot(const Lesson& L) {
  return std::min<int32_t>(L.subcount, (int32_t)L.subtime.size()) - 1;
}

ttime timeAt(const Lesson& L, int32_t slot) {
  return (slot >= 0 && slot < (int32_t)L.subtime.size()) ? L.subtime[slot] : 0;
}

bool cleared(const Lesson& L, int32_t slot) {
  return slot >= 0 && slot < (int32_t)L.subclear.size() && L.subclear[slot] == 1;
}

// Every cue of scene j is cleared.
bool sceneAllCleared(const Lesson& L, int32_t j) {
  int32_t first = sceneFirstSlot(L, j), last = sceneLastSlot(L, j);
  if (first < 0) return false;
  for (int32_t s = first; s <= last; ++s)
    if (Lesson::isCue(s) && !cleared(L, s)) return false;
  return true;
}

}  // namespace

void Scenecut(Lesson& L, int32_t gap, ttime mindist) {
  L.scenetop.assign(1, 1);
  L.sceneflg.clear();
  const ttime gaplen = (ttime)gap * 10000;
  // Gap slots 2, 4, ... up to the one before the last cue.
  const int32_t lastCue = lastSlot(L) - 1;
  for (int32_t i = 2; i + 1 <= lastCue; i += 2) {
    // Differences in 128 bits: no pair of 64-bit times can overflow them.
    if ((__int128)L.subtime[i + 1] - L.subtime[i] > gaplen &&
        (__int128)L.subtime[i + 1] - timeAt(L, L.scenetop.back()) > mindist)
      L.scenetop.push_back(i + 1);
  }
  L.sceneflg.resize(L.scenetop.size(), 0);
  for (size_t j = 0; j < L.scenetop.size(); ++j) L.sceneflg[j] = sceneAllCleared(L, (int32_t)j) ? 1 : 0;

  // Keep the current scene an index of this table.
  if (L.cursub > 0)
    L.curscene = sceneOfSlot(L, L.cursub);
  else
    L.curscene = std::clamp<int32_t>(L.curscene, -1, (int32_t)L.scenetop.size() - 1);
}

int32_t sceneFirstSlot(const Lesson& L, int32_t j) {
  if (j < 0 || j >= (int32_t)L.scenetop.size()) return -1;
  return L.scenetop[j];
}

int32_t sceneLastSlot(const Lesson& L, int32_t j) {
  if (j < 0 || j >= (int32_t)L.scenetop.size()) return -1;
  if (j + 1 < (int32_t)L.scenetop.size()) return L.scenetop[j + 1] - 1;
  return lastSlot(L);
}

int32_t sceneOfSlot(const Lesson& L, int32_t slot) {
  int32_t found = -1;
  for (size_t j = 0; j < L.scenetop.size(); ++j) {
    if (L.scenetop[j] > slot) break;
    found = (int32_t)j;
  }
  return found;
}

std::string scenestatus(const Lesson& L) {
  return std::to_string(L.curscene + 1) + "-" + std::to_string((L.cursub + 1) / 2);
}

std::string Sceneposset(Lesson& L) {
  L.curscene = sceneOfSlot(L, L.cursub);
  return scenestatus(L);
}

bool sceneflgset(Lesson& L) {
  const int32_t j = L.curscene;
  if (j < 0 || j >= (int32_t)L.scenetop.size()) return false;
  if ((int32_t)L.sceneflg.size() < (int32_t)L.scenetop.size()) L.sceneflg.resize(L.scenetop.size(), 0);
  if (L.sceneflg[j] == 1) return false;
  if (!sceneAllCleared(L, j)) return false;
  L.hintpoint += 1;
  L.sceneflg[j] = 1;
  return true;
}

ScenePlay Sceneback(Lesson& L, uint32_t now) {
  ScenePlay r;
  const int32_t n = (int32_t)L.scenetop.size();
  if (L.curscene < 0 || n == 0) return r;
  if (L.curscene >= n) L.curscene = n - 1;
  if (now - L.replaytick < 1000u && L.curscene != 0) L.curscene -= 1;
  L.replaytick = now;
  r.play = true;
  r.time = timeAt(L, L.scenetop[L.curscene]);
  r.status = scenestatus(L);
  return r;
}

ScenePlay Scenenext(Lesson& L) {
  ScenePlay r;
  const int32_t n = (int32_t)L.scenetop.size();
  if (L.curscene >= n - 1) return r;
  L.curscene = std::max(L.curscene + 1, 0);
  r.play = true;
  r.time = timeAt(L, L.scenetop[L.curscene]);
  r.status = scenestatus(L);
  return r;
}

}  // namespace tl
