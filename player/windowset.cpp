#include "player/windowset.h"

#include "audio/AudioIO.h"
#include "core/settings.h"
#include "platform/media/mediaplayer.h"
#include "player/sublist/adjnum.h"
#include "player/filter/filter.h"
#include "player/sublist/hanrei.h"
#include "player/dialogs/keystct.h"
#include "player/main/main.h"
#include "player/dialogs/option.h"
#include "player/views/overlay.h"
#include "player/history/rireki.h"
#include "player/sublist/scenediv.h"
#include "player/sublist/srtout.h"
#include "player/sublist/sub.h"
#include "player/sublist/subedit.h"
#include "player/sublist/subno.h"
#include "player/sublist/subposfind.h"
#include "player/dialogs/ted.h"
#include "player/dialogs/urlopen.h"
#include "player/words/wordopen.h"
#include "player/words/wordtest.h"
#include "platform/registry/registry.h"

namespace {
void present(QWidget* w) {
  w->show();
  w->raise();
  w->activateWindow();
}
}  // namespace

WindowSet::WindowSet(MainDeps deps) {
  tl::reg::Hive* hive = deps.hive;
  f_main = new Tf_main(std::move(deps));
  f_main->setWindows(this);
  // Every other window belongs to the main window (transient for it), so
  // that a click there does not bury it behind the main window.
  f_sub = new Tf_sub(f_main);
  if (hive) {
    f_option = new Tf_option(*hive, f_main);
    f_option->setListWindow(f_sub);
    f_option->applyToMain = [this](const tl::Settings& s) { f_main->applySettings(s); };
    f_option->collectFromMain = [this](tl::Settings& s) { f_main->collectSettings(s); };
    f_option->refreshMain = [this] { f_main->a_F5Execute(); };
    f_option->overlayFontSizes = [this](int32_t& g, int32_t& gs) { return f_main->overlayFontSizes(g, gs); };
    f_option->setWaveDevice = [this](int device) { f_main->setWaveDevice(device); };
    f_option->showMessage = [this](const QString& t) { f_main->message(t, QString(), f_option); };
    f_main->setOptionWindow(f_option);
    f_option->FormCreate();
  }
  const std::shared_ptr<MainHost> host = f_main->host();
  f_rireki = new Tf_rireki(host, f_main);
  f_rireki->setFolder(f_main->exedir() + "sav");
  f_rireki->studyTime = [m = f_main](int64_t& base, uint32_t& start, uint32_t& now) {
    m->studyTime(base, start, now);
  };
  f_wordopen = new Tf_wordopen(f_main);
  f_wordopen->setHost(host);
  f_filter = new Tf_filter(host, f_main);
  f_hanrei = new Tf_hanrei(f_main);
  f_scenediv = new Tf_scenediv(f_main);
  f_subposfind = new Tf_subposfind(f_main);
  f_srtout = new Tf_srtout(f_main);
  f_adjnum = new Tf_adjnum(f_main);
  f_keystct = new Tf_keystct(f_main);
  f_subno = new Tf_subno(f_main);
  f_subedit = new Tf_subedit(f_main);
  f_wordtest = new Tf_wordtest(f_main);
  f_wordtest->setHost(host);
  f_urlopen = new Tf_urlopen(f_main);
  f_ted = new Tf_ted(f_main);

  // The list window and the subtitle dialogs work on the main window's lesson.
  f_sub->setHost(host);
  f_sub->setWindows(f_subedit, f_subposfind, f_hanrei, f_srtout);
  f_subedit->setHost(host);
  f_subno->setHost(host);
  f_adjnum->setHost(host);
  f_scenediv->setHost(host);
  f_srtout->setHost(host);
  f_srtout->setList(f_sub);
  f_subposfind->setList(f_sub);
  f_urlopen->openMovie = [m = f_main](const std::string& url) { m->guarded([&] { m->movfileopen(url); }); };
  // Only the main window's close ends the program: a secondary window left
  // open does not keep it running.
  QWidget* secondary[] = {f_sub, f_option, f_rireki, f_wordopen, f_filter, f_hanrei, f_scenediv, f_subposfind,
                          f_srtout, f_adjnum, f_keystct, f_subno, f_subedit, f_wordtest, f_urlopen, f_ted};
  for (QWidget* w : secondary)
    if (w) w->setAttribute(Qt::WA_QuitOnClose, false);
}

WindowSet::~WindowSet() {
  QWidget* all[] = {f_ted, f_urlopen, f_wordtest, f_subedit, f_subno, f_keystct, f_adjnum, f_srtout,
                    f_subposfind, f_scenediv, f_hanrei, f_filter, f_wordopen, f_rireki, f_option, f_sub};
  for (QWidget* w : all) delete w;
  delete f_main;
}

void WindowSet::showSubList() {
  present((QWidget*)f_sub);
  // Already open: no show event, so the displayed cue is selected here.
  f_sub->csel();
}
// F2: the displayed cue, or the message that none is displayed.
void WindowSet::showSubEdit() { f_subedit->editDisplayed(); }
void WindowSet::showUrlOpen() { present((QWidget*)f_urlopen); }
void WindowSet::showSubNo() { present((QWidget*)f_subno); }
void WindowSet::showWordOpen() { present((QWidget*)f_wordopen); }
void WindowSet::showFilter() { present((QWidget*)f_filter); }
void WindowSet::showAdjNum() { present((QWidget*)f_adjnum); }
void WindowSet::showOption() {
  if (f_option) present((QWidget*)f_option);
}
void WindowSet::showRireki() { present((QWidget*)f_rireki); }
void WindowSet::showKeys() { present((QWidget*)f_keystct); }
void WindowSet::showSceneDiv() { present((QWidget*)f_scenediv); }
void WindowSet::showTed() { present((QWidget*)f_ted); }
bool WindowSet::saveProgress() { return f_subedit->saveProgress(); }
bool WindowSet::textUnsaved() const { return f_subedit->textUnsaved(); }
void WindowSet::showWordTest() { present((QWidget*)f_wordtest); }
bool WindowSet::saveOpenReview() { return !f_wordtest || f_wordtest->saveOrDropAtClose(); }
