#include "player/ted.h"

Tf_ted::Tf_ted(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_ted"));
  setWindowTitle(QString::fromUtf8("TED"));
}
