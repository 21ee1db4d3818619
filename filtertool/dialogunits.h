// Dialog units: a quarter of the average character width across and an
// eighth of the character height down, in the widget's font.
#pragma once

#include <QRect>
#include <QWidget>

namespace quendle {

class DialogUnits {
 public:
  explicit DialogUnits(const QWidget* w);
  int x(int du) const { return (du * baseX_ + 2) / 4; }
  int y(int du) const { return (du * baseY_ + 4) / 8; }
  QRect rect(int left, int top, int width, int height) const {
    return QRect(x(left), y(top), x(width), y(height));
  }

 private:
  int baseX_ = 6;
  int baseY_ = 12;
};

}  // namespace quendle
