// Tf_main: what keeps the main road going (player failures reported, never
// fatal; messages that do not hold up the timer), the mouse wheel, and the
// hidden test items of the main window.
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <cmath>

#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/widgets/boxowner.h"
#include "player/widgets/cursors.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/views/overlay.h"
#include "player/views/subpanels.h"

void Tf_main::guarded(const std::function<void()>& f) {
  try {
    f();
  } catch (const tl::MediaError& e) {
    message(QStringLiteral("動画プレーヤーの操作に失敗しました\n") + QString::fromUtf8(e.what()));
  }
}

void Tf_main::notice(const QString& text) {
  QMetaObject::invokeMethod(this, [this, text] { showNotice(text); }, Qt::QueuedConnection);
}

void Tf_main::showNotice(const QString& text) {
  if (deps_.showMessage) {
    deps_.showMessage(text, QString());
    return;
  }
  // A box waiting for an answer would block this one (or take it along when
  // it closes): it comes once that box is answered.
  if (QApplication::activeModalWidget()) {
    QTimer::singleShot(100, this, [this, text] { showNotice(text); });
    return;
  }
  // Not modal: the timer keeps following the cues while it is open.
  auto* box = tl::ui::newBox(QMessageBox::Information, QStringLiteral("Tallisen"), text, QMessageBox::Ok, nullptr,
                             this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setModal(false);
  box->show();
}

// Before another medium opens: the position state of the one before goes.
void Tf_main::clearMediumState() {
  playback_->clearMedium();
  if (i_se) i_se->hide();
  for (int panel : {3, 4, 7}) setStatusText(panel, std::string());
  if (tb_movie) tb_movie->setValue(0);
  model_->announce(tl::Change::Cursor);
}

// ---- the mouse wheel ---------------------------------------------------------

void Tf_main::wheelEvent(QWheelEvent* e) {
  const int dy = e->angleDelta().y();
  if (dy < 0)
    guarded([this] { FormMouseWheelDown(); });
  else if (dy > 0)
    guarded([this] { FormMouseWheelUp(); });
  e->accept();
}

void Tf_main::FormMouseWheelDown() { wheelPlay(+15); }
void Tf_main::FormMouseWheelUp() { wheelPlay(-15); }

void Tf_main::wheelPlay(double deltaSeconds) {
  if (!L.srtloaded || !isForeground()) return;
  double pos = 0;
  if (!player_->currentPosition(pos)) return;
  const tl::ttime t = (tl::ttime)std::nearbyint((pos + deltaSeconds) * 10000.0);
  if (t < 0) return;
  posplay(0, t);
}

// ---- view items -------------------------------------------------------------------

void Tf_main::n_gautoClick() {
  if (QAction* a = action("n_gauto"))
    if (tp_sub) tp_sub->setGauto(a->isChecked());
}

// ---- hidden test items --------------------------------------------------------------

void Tf_main::N4Click() {
  for (int round = 0; round < 2; ++round)
    for (int s = 1; s <= 10; ++s) player_->setCurrentPosition(s);
}

void Tf_main::N7Click() {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen) return;
  const QPixmap shot = screen->grabWindow(0);
  if (!shot.save(QString::fromStdString(exedir_ + "ps.bmp"), "BMP"))
    message(QStringLiteral("ps.bmpを保存できませんでした"));
}

void Tf_main::N17Click() {
  repaintOverlay();
  QWidget* o = reinterpret_cast<QWidget*>(tp_sub);
  const bool none = !tp_sub || !tp_sub->aligned();
  message(QString::fromStdString(player_->status()) + QStringLiteral("\n") +
          (none ? QStringLiteral("true") : QStringLiteral("false")) + QStringLiteral("\n") +
          QString::number(o ? o->width() : 0) + QString::number(o ? o->height() : 0));
}

void Tf_main::N18Click() { player_->setFullScreen(!player_->fullScreen()); }

void Tf_main::N29Click() {
  // The video area stops following the window; it keeps its present size.
  if (videoArea) videoArea->setFixedSize(videoArea->size());
}

void Tf_main::N32Click() {
  setWindowFlag(Qt::Tool, true);
  show();
}

// The overlay's cursors once more, and the window's cursor set to the closed
// hand and then to the page turn.
void Tf_main::N57Click() {
  const std::array<QCursor, 4> c = tl::ui::overlayCursors();
  if (tp_sub) tp_sub->setCursors(c);
  setCursor(c[2]);
  setCursor(c[3]);
}
