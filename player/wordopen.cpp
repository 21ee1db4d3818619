#include "player/wordopen.h"

Tf_wordopen::Tf_wordopen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_wordopen"));
  setWindowTitle(QString::fromUtf8("指定単語オープン"));
}
