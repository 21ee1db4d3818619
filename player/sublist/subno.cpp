#include "player/sublist/subno.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/sublist.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

Tf_subno::Tf_subno(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subno"));
  setWindowTitle(QString::fromUtf8("字幕番号指定ジャンプ"));
  auto* h = new QHBoxLayout(this);
  h->addWidget(new QLabel(QString::fromUtf8("字幕No"), this));
  e_subno = new QLineEdit(this);
  e_subno->setObjectName(QStringLiteral("e_subno"));
  h->addWidget(e_subno);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setDefault(true);
  h->addWidget(Button1);
  connect(Button1, &QPushButton::clicked, this, &Tf_subno::Button1Click);
}

void Tf_subno::Button1Click() {
  if (host_) {
    const tl::Lesson& l = host_->model().lesson();
    const std::string text = e_subno->text().toStdString();
    const auto t = l.srtloaded ? tl::cueStart(l, text) : std::nullopt;
    const int32_t slot = t ? (int32_t)(2 * *tl::parseInt(text) - 1) : 0;
    if (!t || !host_->mediumOpen() || !host_->posplay(slot, *t))
      host_->message(QString::fromUtf8("ジャンプできません。字幕Noは半角数字で範囲内で指定してください"));
  }
  hide();
}
