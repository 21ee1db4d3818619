#include "player/subposfind.h"

Tf_subposfind::Tf_subposfind(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subposfind"));
  setWindowTitle(QString::fromUtf8("検索"));
}
