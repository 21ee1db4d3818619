// Tf_main: typing, cursor moves, hints and give-up: the window carries out
// what the dictation reports.
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>

#include "core/dictation.h"
#include "platform/sound/soundplayer.h"
#include "player/widgets/boxowner.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

void Tf_main::applyOutcome(const tl::DictOutcome& o) {
  if (deps_.sound)
    for (tl::CueSound s : o.sounds)
      deps_.sound->playAsync(tl::clearSound(s == tl::CueSound::BCLR ? tl::ClearSound::Sentence
                                                                    : tl::ClearSound::Scene));
  if (!o.clipboard.empty()) QApplication::clipboard()->setText(QString::fromStdString(o.clipboard));
  if (!o.logLine.empty()) logout(o.logLine);
  for (const tl::ChangeNote& n : o.changes.notes) model_->announce(n.what, n.slot, o.marks);
  if (o.play) posplay(o.playSlot, o.playTime);
  if (!o.message.empty()) {
    if (o.congratulate)
      congratulate(QString::fromStdString(o.message));
    else
      message(QString::fromStdString(o.message));
  }
}

void Tf_main::FormKeyPress(QChar c) {
  if (c.unicode() < 'a' || c.unicode() > 'z') return;
  if (!L.srtloaded) return;
  applyOutcome(dict.keyPress((char)c.unicode(), isForeground()));
  playback_->tickIfResting();  // the status panels follow the typing also while paused
}

void Tf_main::csrset(int start) {
  tl::DictOutcome o;
  dict.csrset(start, o);
  applyOutcome(o);
}

void Tf_main::a_hintExecute() { applyOutcome(dict.hint()); }
void Tf_main::a_sntgiveupExecute() { applyOutcome(dict.giveup(isForeground())); }
void Tf_main::a_backcloseExecute() { applyOutcome(dict.backclose()); }
void Tf_main::a_nextcloseExecute() { applyOutcome(dict.nextclose()); }
void Tf_main::a_wordbackExecute() { applyOutcome(dict.wordBack(isForeground())); }
void Tf_main::a_wordnextExecute() { applyOutcome(dict.wordNext(isForeground())); }

void Tf_main::hidehint() {
  if (question(QStringLiteral("ヒント使用文字を再び隠しますか？この字幕全体に適用されます"),
               QStringLiteral("再挑戦"), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  // The operation recounts itself; the outcome announces the letters.
  applyOutcome(dict.hidehint());
}

void Tf_main::n_wordcopyClick() {
  QApplication::clipboard()->setText(QString::fromStdString(dict.lastword));
  logout(dict.lastword + "コピーしました");
}

void Tf_main::congratulate(const QString& text) {
  if (deps_.showMessage) {
    deps_.showMessage(text, QString());
    return;
  }
  std::unique_ptr<QMessageBox> box(
      tl::ui::newBox(QMessageBox::Information, QStringLiteral("Tallisen"), text, QMessageBox::Ok, nullptr, this));
  box->move(msgpos());
  box->exec();
}

QPoint Tf_main::msgpos() const { return QPoint(x() + width() / 3, y() + height() / 3); }

bool Tf_main::clickwordg(int column) {
  if (dict.displayMode() || dict.peekkey) return false;
  const int slot = L.cursub;
  if (!(slot & 1) || slot < 1 || !L.validSlot(slot) || L.subtext[slot].empty()) return false;
  if (slot < (int)L.subclear.size() && L.subclear[slot] == 1) return false;
  if (column < 1 || column > (int)L.subtext[slot].size()) return false;
  const int32_t f = L.flg(slot, column - 1);
  if (f == tl::flg_open || f == tl::flg_hinted) return false;
  tl::DictOutcome o;
  dict.beforeword(column, isForeground(), o);
  applyOutcome(o);
  return true;
}
