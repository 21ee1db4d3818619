#include "player/wordtest.h"

Tf_wordtest::Tf_wordtest(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_wordtest"));
  setWindowTitle(QString::fromUtf8("単語テスト"));
}
