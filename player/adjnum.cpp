#include "player/adjnum.h"

Tf_adjnum::Tf_adjnum(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_adjnum"));
  setWindowTitle(QString::fromUtf8("指定字幕調整"));
}
