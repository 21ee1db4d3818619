// Tf_main: the key preview.  Every key pressed in the main window passes
// here before the focused control; the actions' shortcuts fire before it.
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

#include "core/dictationkeys.h"
#include "platform/media/mediaplayer.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

namespace {

// X11 key codes of the key beside the left Shift (102-key layouts) and of the
// Japanese keyboard's "ろ" key: the peek key.
bool isPeekKey(const QKeyEvent* e) {
  const quint32 sc = e->nativeScanCode();
  return sc == 94 || sc == 97;
}

int digitOf(const QKeyEvent* e) {
  const int k = e->key();
  if (k >= Qt::Key_1 && k <= Qt::Key_9) return k - Qt::Key_0;
  return 0;
}

}  // namespace

bool Tf_main::eventFilter(QObject* obj, QEvent* ev) {
  const QEvent::Type t = ev->type();
  if (t != QEvent::KeyPress && t != QEvent::KeyRelease && t != QEvent::ShortcutOverride)
    return QMainWindow::eventFilter(obj, ev);
  auto* w = qobject_cast<QWidget*>(obj);
  if (!w || w->window() != this) return QMainWindow::eventFilter(obj, ev);
  auto* ke = static_cast<QKeyEvent*>(ev);

  if (t == QEvent::ShortcutOverride) {
    // A key that is one of our action shortcuts goes to the action, not to
    // the focused control (the memo edit would otherwise take the arrows).
    const QKeySequence seq(ke->keyCombination());
    for (QAction* a : allActions)
      if (a->isEnabled() && !a->shortcut().isEmpty() && a->shortcut() == seq) return true;
    return QMainWindow::eventFilter(obj, ev);
  }

  // The same event travels up through the parents; handle it once.
  if (ke == lastKeyEvent_ && ke->timestamp() == lastKeyStamp_ && (int)t == lastKeyType_) return false;
  lastKeyEvent_ = ke;
  lastKeyStamp_ = ke->timestamp();
  lastKeyType_ = t;

  guarded([this, t, ke] {
    if (t == QEvent::KeyPress) {
      FormKeyDown(ke);
      const QString text = ke->text();
      if (text.size() == 1 && !(ke->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
        FormKeyPress(text.at(0));
    } else {
      FormKeyUp(ke);
    }
  });
  return false;
}

namespace {
tl::DictKey dictKeyOf(const QKeyEvent* e, int32_t& digit) {
  digit = digitOf(e);
  if (isPeekKey(e)) return tl::DictKey::Peek;
  if (e->key() == Qt::Key_Space) return tl::DictKey::Space;
  if (e->key() == Qt::Key_Backspace) return tl::DictKey::Backspace;
  if (digit) return tl::DictKey::Digit;
  return tl::DictKey::Other;
}
}  // namespace

bool Tf_main::FormKeyDown(QKeyEvent* e) {
  if (!L.srtloaded) return false;
  if (e->isAutoRepeat()) return false;  // a held key counts once
  int32_t digit = 0;
  const tl::DictKey key = dictKeyOf(e, digit);
  tl::KeyEnv env;
  env.foreground = isForeground();
  env.editFocus = Edit1->hasFocus();
  const tl::KeyDownCmd c = tl::dictKeyDown(dict, L, key, digit, env, tickCount());
  switch (c.kind) {
    case tl::KeyDownCmd::None:
      return false;
    case tl::KeyDownCmd::HoldSpace:
      Panel1->setFocus();
      return true;
    case tl::KeyDownCmd::Replay:
      playback_->beforesub();
      return true;
    case tl::KeyDownCmd::PeekOn:
      model_->announce(tl::Change::Peek);
      return true;
    case tl::KeyDownCmd::PlayFromCue:
      posplay(c.slot, c.time < 0 ? 0 : c.time);
      return true;
    case tl::KeyDownCmd::PlayFromPos: {
      double pos = 0;
      if (player_->currentPosition(pos)) posplay(0, tl::positionMinus(pos, c.seconds));
      return true;
    }
  }
  return false;
}

void Tf_main::FormKeyUp(QKeyEvent* e) {
  if (!L.srtloaded) return;
  if (e->isAutoRepeat()) return;
  int32_t digit = 0;
  const tl::DictKey key = dictKeyOf(e, digit);
  tl::KeyEnv env;
  env.foreground = isForeground();
  env.editFocus = Edit1->hasFocus();
  const tl::KeyUpCmd c = tl::dictKeyUp(dict, L, key, env, tickCount());
  if (c.playpause) playpause();
  if (c.peekOff) model_->announce(tl::Change::Peek);
}
