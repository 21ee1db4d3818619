#include "player/rireki.h"

Tf_rireki::Tf_rireki(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_rireki"));
  setWindowTitle(QString::fromUtf8("学習履歴(最新反映には要セーブ)"));
}
