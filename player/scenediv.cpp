#include "player/scenediv.h"

Tf_scenediv::Tf_scenediv(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_scenediv"));
  setWindowTitle(QString::fromUtf8("シーン分割"));
}
