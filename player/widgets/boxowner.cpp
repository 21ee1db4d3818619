#include "player/widgets/boxowner.h"

#include <QApplication>

namespace tl::ui {

QWidget* boxOwner(QWidget* asking, QWidget* fallback) {
  if (QWidget* waiting = QApplication::activeModalWidget()) return waiting;
  // A hidden window cannot hold a box in front of anything.
  if (asking && asking->window()->isVisible()) return asking->window();
  QWidget* active = QApplication::activeWindow();
  // A box that does not wait closes (and is deleted) on its own: a box it
  // owned would go with it.
  while (qobject_cast<QMessageBox*>(active))
    active = active->parentWidget() ? active->parentWidget()->window() : nullptr;
  if (active) return active;
  return fallback ? fallback->window() : nullptr;
}

namespace {
bool stayOnTopShown() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && (w->windowFlags() & Qt::WindowStaysOnTopHint)) return true;
  return false;
}
}  // namespace

QMessageBox* newBox(QMessageBox::Icon icon, const QString& caption, const QString& text,
                    QMessageBox::StandardButtons buttons, QWidget* asking, QWidget* fallback) {
  auto* box = new QMessageBox(icon, caption, text, buttons, boxOwner(asking, fallback));
  if (stayOnTopShown()) box->setWindowFlag(Qt::WindowStaysOnTopHint, true);
  return box;
}

}  // namespace tl::ui
