#include "player/filter.h"

Tf_filter::Tf_filter(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_filter"));
  setWindowTitle(QString::fromUtf8("フィルタ"));
}
