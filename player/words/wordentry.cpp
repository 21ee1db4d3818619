#include "player/words/wordentry.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "core/wordfile.h"
#include "core/wordrecord.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/paths.h"
#include "player/lessonmodel.h"
#include "player/mainhost.h"
#include "player/translate/translator.h"

namespace {

struct Pending {
  QPointer<QObject> owner;
  MainHost* host = nullptr;
  int32_t slot = 0;
  std::string word, sentence, srtname932;
  tl::word::Stamp when;
  std::function<void(const WordEntryResult&)> done;
  bool finished = false;
};

void finish(const std::shared_ptr<Pending>& p, const std::string& trans932) {
  if (p->finished) return;
  p->finished = true;
  QGuiApplication::restoreOverrideCursor();
  WordEntryResult r;
  if (p->owner) {
    const std::string line = tl::word::buildLine(p->srtname932, p->slot, p->word, trans932, p->sentence, p->when);
    r.lasttrans = tl::word::cleanText(trans932, false);
    r.ok = tl::word::appendLine(tl::word::wordPath(tl::paths::exedir()), line, &r.error);
    if (r.ok) {
      const std::string shown = r.lasttrans.empty() ? p->word : r.lasttrans;
      p->host->logout(tl::cp::ansiToUtf8(shown) + "（コピー、単語登録完了）");
    } else {
      p->host->message(QString::fromUtf8("単語を登録できませんでした\n") + QString::fromStdString(r.error));
    }
  } else {
    r.error = "the main window is gone";
  }
  if (p->done) p->done(r);
}

}  // namespace

void wordentry(MainHost& host, QObject* owner, Translator& translator, int32_t slot, const std::string& word932,
               const std::string& sentence932, int waitMs, std::function<void(const WordEntryResult&)> done) {
  auto p = std::make_shared<Pending>();
  p->owner = owner;
  p->host = &host;
  p->slot = slot;
  p->word = word932;
  p->sentence = sentence932;
  p->srtname932 = tl::cp::utf8ToAnsi(host.model().lesson().srtname);
  p->when = tl::word::nowStamp();
  p->done = std::move(done);
  QGuiApplication::setOverrideCursor(Qt::BusyCursor);
  QTimer::singleShot(waitMs, QCoreApplication::instance(), [p] { finish(p, std::string()); });
  translator.trans(word932, [p](const std::string& ja932) { finish(p, ja932); });
}
