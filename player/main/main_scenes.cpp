// Tf_main: the scene commands.
#include "core/scenes.h"
#include "player/main/main.h"

void Tf_main::Sceneposset() { setStatusText(3, tl::Sceneposset(L)); }

void Tf_main::Sceneback() {
  if (!L.srtloaded) return;
  const tl::ScenePlay p = tl::Sceneback(L, tickCount());
  if (p.play) posplay(0, p.time);
  if (!p.status.empty()) setStatusText(3, p.status);
}

void Tf_main::Scenenext() {
  if (!L.srtloaded) return;
  const tl::ScenePlay p = tl::Scenenext(L);
  if (p.play) posplay(0, p.time);
  if (!p.status.empty()) setStatusText(3, p.status);
}
