#include "player/subno.h"

Tf_subno::Tf_subno(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subno"));
  setWindowTitle(QString::fromUtf8("字幕番号指定ジャンプ"));
}
