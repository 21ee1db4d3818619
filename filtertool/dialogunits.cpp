#include "filtertool/dialogunits.h"

#include <QFontMetrics>

namespace quendle {

DialogUnits::DialogUnits(const QWidget* w) {
  QFontMetrics fm(w->font());
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  baseX_ = std::max(1, (fm.horizontalAdvance(kAlphabet) / 26 + 1) / 2);
  baseY_ = std::max(1, fm.height());
}

}  // namespace quendle
