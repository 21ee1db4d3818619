#include "player/main/maincommands.h"

#include <QMessageBox>

#include "core/cuecommands.h"
#include "core/timerepair.h"
#include "core/timing.h"
#include "platform/codepage/codepage.h"
#include "platform/drives/drives.h"
#include "platform/media/mediaplayer.h"
#include "platform/shell/shell.h"
#include "player/main/main.h"

const char* const kMemoPrompt = "メモ　字幕毎にメモが入力出来ます　変更で自動保存";

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
QString U(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

bool sb_starClick(Tf_main& m) {
  tl::Lesson& L = m.model()->lesson();
  if (!tl::toggleStar(L)) return false;
  m.model()->announce(tl::Change::Stars, L.cursub);
  return true;
}

bool Edit1Change(Tf_main& m, const QString& text) {
  tl::Lesson& L = m.model()->lesson();
  if (!tl::setMemo(L, tl::cp::utf8ToAnsi(text.toStdString()))) return false;
  m.model()->announce(tl::Change::Memos, L.cursub);
  return true;
}

bool sb_opendicClick(Tf_main& m) {
  tl::Options& o = m.model()->options();
  const bool display = !o.subview;
  o.pausemode = !display;
  o.subopenmode = display;
  o.subview = display;
  // Every view that draws letters shows them anew (panels, strips, overlay,
  // focus bar, list marks).
  m.model()->announce(tl::Change::Peek);
  m.a_F5Execute();
  return display;
}

MenuOverlay menuOverlayStep(const std::string& status, bool dispsub, bool xp, bool& menuhidden) {
  if (status.find("再生中") == std::string::npos || !dispsub || !xp) return MenuOverlay::None;
  if (status.find("メニュー") != std::string::npos) {
    menuhidden = true;
    return MenuOverlay::Collapse;
  }
  if (!menuhidden) return MenuOverlay::None;
  menuhidden = false;
  return MenuOverlay::Restore;
}

MenuOverlay WMPStatusChange(Tf_main& m, bool& menuhidden) {
  const tl::Options& o = m.model()->options();
  return menuOverlayStep(m.WMP().status(), o.dispsub, o.xp, menuhidden);
}

void n_cmskipClick(Tf_main& m) {
  tl::Lesson& L = m.model()->lesson();
  double p = 0;
  if (!L.srtloaded || !m.mediumOpen() || !m.WMP().currentPosition(p)) return;
  // The shift starts where the skip chose, also while playing (the cue just
  // heard must not move into the commercial).
  m.adjshift(tl::kSkipShift, tl::skipAdjfrom(L));
  m.posplay(0, tl::skipTarget(p));
}

bool n_timecheckClick(Tf_main& m) {
  if (!tl::timecheck(m.model()->lesson())) return false;
  m.refreshAfterTiming();
  return true;
}

void N52Click(Tf_main& m, tl::Shell& shell, const QString& programDir) {
  const int answer =
      m.question(U("フィルタの選択からMPEG-2 Video Decoderを選びCyberLinkかInterVideoのメリット値を一番高いものにして下さい"),
                 U("Quendle起動"), QMessageBox::Ok);
  if (answer != QMessageBox::Ok) return;
  const std::string path = tl::quendlePath(programDir.toStdString());
  std::string err;
  if (!shell.startProgram(path, {}, &err))
    m.message(U("Quendleを起動できませんでした\n") + U(path) + U("\n") + U(err), U("Quendle起動"));
}

void N56Click(Tf_main& m) { m.WMP().pause(); }

void DVD1Click(Tf_main& m, const tl::Drives& drives) {
  const std::vector<tl::Drive> list = drives.list();
  if (list.empty()) return;
  try {
    for (const std::string& item : m.WMP().cdTracks(list.front().device)) m.message(U(item));
  } catch (const tl::MediaError& e) {
    m.message(U(e.what()));
  }
}
