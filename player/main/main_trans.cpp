// Tf_main: the translations on the overlay (the stop words, the worker and
// its two switches, the on-demand translation) and the word commands.
#include <QAction>
#include <QTimer>

#include "core/translation.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "player/main/main.h"
#include "player/mainhost.h"
#include "player/views/overlay.h"
#include "player/translate/translation.h"
#include "player/words/wordentry.h"
#include "player/words/wordmenu.h"

// The service is the per-user setting (or its environment override); with
// no host set nothing is ever sent.
void Tf_main::translationCreate() {
  tl::reg::Hive none;
  ts = new TranslationService(model_, tl::trans::readService(deps_.hive ? *deps_.hive : none), this);
  connect(ts, &TranslationService::logLine, this, [this](const QString& t) { logout(t.toStdString()); });
  const std::string path = exedir_ + "escape.txt";
  if (!ts->escapeinit(path)) {
    // Shown once the window is up; every long word is then translated.
    QTimer::singleShot(0, this, [this, path] {
      message(QStringLiteral("翻訳除外単語ファイルを読み込めませんでした\n") + QString::fromStdString(path));
    });
  }
  ts->setSwitches(opt.gtssnt, opt.gtsword);
}

// The two check items of the overlay's translations: the overlay's gaps,
// and what the worker asks for from now on.
void Tf_main::n_gtssntClick() {
  if (tp_sub) tp_sub->transgapset();
  if (ts) ts->setSwitches(opt.gtssnt, opt.gtsword);
}

void Tf_main::n_gtswordClick() { n_gtssntClick(); }

// A word selected on the overlay: registered when its translation comes (or
// the wait ends); the window goes on meanwhile.
void Tf_main::registerWord(int slot, const std::string& word932, const std::string& sentence932) {
  if (!ts) return;
  ::wordentry(*host(), this, *ts, slot, word932, sentence932);
}

void Tf_main::openDataFile(bool (*open)(MainHost&, tl::Shell&)) {
  if (!deps_.shell) {
    message(QStringLiteral("ファイルを開くプログラムがありません"));
    return;
  }
  open(*host(), *deps_.shell);
}
