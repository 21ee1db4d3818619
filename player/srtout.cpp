#include "player/srtout.h"

Tf_srtout::Tf_srtout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_srtout"));
  setWindowTitle(QString::fromUtf8("字幕出力"));
}
