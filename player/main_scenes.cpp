// Tf_main: scenes and the DVD menu commands.
#include "core/scenes.h"
#include "platform/media/mediaplayer.h"
#include "player/main.h"

void Tf_main::Sceneposset() { setStatusText(3, tl::Sceneposset(L)); }

void Tf_main::Sceneback() {
  if (!L.srtloaded) return;
  const tl::ScenePlay p = tl::Sceneback(L, tickCount());
  if (p.play) tl::posplay(L, *this, 0, p.time);
  if (!p.status.empty()) setStatusText(3, p.status);
}

void Tf_main::Scenenext() {
  if (!L.srtloaded) return;
  const tl::ScenePlay p = tl::Scenenext(L);
  if (p.play) tl::posplay(L, *this, 0, p.time);
  if (!p.status.empty()) setStatusText(3, p.status);
}

void Tf_main::n_topmenuClick() {
  try {
    player_->dvdTopMenu();
    hideOverlayForDvdMenu();
  } catch (const std::exception&) {
    message(QStringLiteral("トップメニュー画面に遷移出来ませんでした"));
  }
}

void Tf_main::n_titlemenuClick() {
  try {
    player_->dvdTitleMenu();
    hideOverlayForDvdMenu();
  } catch (const std::exception&) {
    message(QStringLiteral("タイトルメニュー画面に遷移出来ませんでした"));
  }
}
