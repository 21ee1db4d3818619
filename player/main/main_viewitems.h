// The view menu's check items of the main window and the face of the letter
// cells; shared by the view menu and the settings pushed into the window.
#pragma once

#include <QString>
#include <vector>

#include "core/options.h"
#include "player/main/main.h"

inline const QString kCellFace = QStringLiteral("ＭＳ ゴシック");

// The view menu's check items: each mirrors an option flag and applies it
// through its handler.
struct ViewItem {
  const char* name;
  const char* caption;
  bool tl::Options::*flag;
  void (Tf_main::*handler)();
  static const std::vector<ViewItem>& all();
};
