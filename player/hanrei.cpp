#include "player/hanrei.h"

Tf_hanrei::Tf_hanrei(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_hanrei"));
  setWindowTitle(QString::fromUtf8("凡例"));
}
