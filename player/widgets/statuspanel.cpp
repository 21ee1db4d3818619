#include "player/widgets/statuspanel.h"

#include <QPainter>

namespace tl::ui {

namespace {
constexpr int kMargin = 3;  // on each side of the text
}

StatusPanel::StatusPanel(QWidget* parent) : QWidget(parent) {
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StatusPanel::setText(const QString& text) {
  if (text == text_) return;
  text_ = text;
  update();
}

int StatusPanel::widthFor(const QString& text) const {
  return fontMetrics().horizontalAdvance(text) + 2 * kMargin;
}

QSize StatusPanel::sizeHint() const {
  return QSize(widthFor(text_), fontMetrics().height() + 2);
}

void StatusPanel::paintEvent(QPaintEvent*) {
  if (text_.isEmpty()) return;
  QPainter p(this);
  p.setClipRect(rect().adjusted(kMargin, 0, -kMargin, 0));
  p.setPen(palette().color(QPalette::WindowText));
  const QFontMetrics fm = fontMetrics();
  p.drawText(QPoint(kMargin, (height() - fm.height()) / 2 + fm.ascent()), text_);
}

}  // namespace tl::ui
