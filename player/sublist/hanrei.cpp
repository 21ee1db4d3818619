#include "player/sublist/hanrei.h"

#include <QLabel>
#include <QVBoxLayout>

Tf_hanrei::Tf_hanrei(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_hanrei"));
  setWindowTitle(QString::fromUtf8("凡例"));
  resize(309, 137);
  auto* v = new QVBoxLayout(this);
  for (const char* t : {"* クローズ文字", ". オープン文字", "_ ヒント使用文字", "# 既オープン文字",
                        "スペース　ディクテーション対象外文字"})
    v->addWidget(new QLabel(QString::fromUtf8(t), this));
}
