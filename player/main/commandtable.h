// The main window's commands, one entry each: the menus, the shortcuts, the
// key preview and the enabling are all built from this table.  A new command
// is one entry in MainCommand::all() (player/main/main_actions.cpp).
#pragma once

#include <QKeySequence>
#include <vector>

class Tf_main;

struct MainCommand {
  enum class Menu { Video, Dvd, Subtitle, Adjust, View, Wave, Tools, WordExport, Help, Test, Popup };  // Popup: PopupMenu1, never opened
  enum class When { Always, Loaded };  // enabled always / with subtitles loaded
  enum Flags { None = 0, Checkable = 1, Checked = 2, ActiveKey = 4, Disabled = 8 };

  Menu menu;
  const char* name;     // object name; nullptr: a separator in the menu
  const char* caption;  // UTF-8
  QKeySequence key;
  void (*handler)(Tf_main&) = nullptr;
  When when = When::Always;
  int flags = None;     // ActiveKey: the shortcut holds only while the window is active;
                        // Disabled: never enabled

  static const std::vector<MainCommand>& all();
};
