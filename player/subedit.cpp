#include "player/subedit.h"

Tf_subedit::Tf_subedit(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subedit"));
  setWindowTitle(QString::fromUtf8("字幕編集"));
}
