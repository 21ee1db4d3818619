#include "player/urlopen.h"

Tf_urlopen::Tf_urlopen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_urlopen"));
  setWindowTitle(QString::fromUtf8("URLを開く"));
}
