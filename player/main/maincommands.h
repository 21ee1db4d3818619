// The small commands of the main window: the star and the memo of the
// displayed cue, the dictation / display switch, the overlay during DVD
// menus, the skip of 15 s, the time-order repair and the start of the filter
// tool.  Free functions over the main window's public operations; the main
// window binds them to its buttons, its memo box and its menu items.
#pragma once

#include <QCoreApplication>
#include <QString>
#include <string>

class Tf_main;
namespace tl {
class Shell;
class Drives;
}  // namespace tl

// Placeholder text of the memo box (shown while it is empty, never stored).
extern const char* const kMemoPrompt;  // "メモ　字幕毎にメモが入力出来ます　変更で自動保存"

// "スター": toggles the star of the displayed cue (only a cue, not a gap),
// marks the progress unsaved and announces tl::Change::Stars for the slot.
// Returns true when the star changed.
bool sb_starClick(Tf_main& m);

// The memo box as the learner typed it (bind to QLineEdit::textEdited, so
// that showing the memo of a newly displayed cue is no edit).  Stores the
// memo of the displayed slot, marks the progress unsaved and announces
// tl::Change::Memos for the slot.  Returns true when the memo changed.
bool Edit1Change(Tf_main& m, const QString& text);

// "表示/ディクテーション": display mode on (automatic pause off, underline
// display on) or back to dictation (pause on, both display modes off); the
// stored settings are not touched.  Repaints the panels and the overlay.
// Returns true when display mode is now on (glyph "sub"; else "dic").
bool sb_opendicClick(Tf_main& m);

// The player's status changed: while it plays with the overlay shown over
// the picture, a DVD menu collapses the overlay, and its end lets the
// overlay fill the player area again.  menuhidden is the window's flag.
enum class MenuOverlay { None, Collapse, Restore };
MenuOverlay WMPStatusChange(Tf_main& m, bool& menuhidden);
// The same rule on a status text.
MenuOverlay menuOverlayStep(const std::string& status, bool dispsub, bool xp, bool& menuhidden);

// "CMスキップ(動画+15秒＆字幕+15秒)": shifts the subtitles 15 s later from the
// displayed cue (the cue after it when the position is in a gap), keeping
// that first slot also while the player plays, then plays from the position
// + 15 s.  Nothing without subtitles, an open medium or a read position.
void n_cmskipClick(Tf_main& m);

// "字幕時間矛盾修正": the time-order repair; when a time changed the SRT is
// marked unsaved and the window refreshes as after a timing change.
// Returns true when a time changed.
bool n_timecheckClick(Tf_main& m);

// "ﾃﾞｺｰﾀﾞ変更(DVD日本語字幕出ない時)": after the advice box, starts the filter
// tool programDir/quendle/quendle (programDir: the folder of the running
// tallisen, in the build tree and when installed alike).  A missing or
// failing tool is reported with its reason.
void N52Click(Tf_main& m, tl::Shell& shell, const QString& programDir = QCoreApplication::applicationDirPath());

// Hidden items: "ポーズのみ発行" (the player's pause only) and "DVDの名前" (one
// message per media item of the first optical drive).
void N56Click(Tf_main& m);
void DVD1Click(Tf_main& m, const tl::Drives& drives);
