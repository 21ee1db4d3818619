#include "player/sublist/scenediv.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/scenes.h"
#include "core/sublist.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

Tf_scenediv::Tf_scenediv(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_scenediv"));
  setWindowTitle(QString::fromUtf8("シーン分割"));
  auto* g = new QGridLayout(this);
  Edit1 = new QLineEdit(QStringLiteral("Edit1"), this);
  Edit2 = new QLineEdit(QStringLiteral("Edit2"), this);
  g->addWidget(Edit1, 0, 0);
  g->addWidget(new QLabel(QString::fromUtf8("秒以上間隔があり"), this), 0, 1);
  g->addWidget(Edit2, 1, 0);
  g->addWidget(new QLabel(QString::fromUtf8("以上の前の区切りからあいている"), this), 1, 1);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  Button1->setDefault(true);
  g->addWidget(Button1, 2, 0);
  g->addWidget(Button2, 2, 1);
  connect(Button1, &QPushButton::clicked, this, &Tf_scenediv::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &QWidget::hide);
}

void Tf_scenediv::Button1Click() {
  if (!host_) return;
  const auto distance = tl::parseInt(Edit2->text().toStdString());
  const auto gap = tl::parseInt(Edit1->text().toStdString());
  constexpr long long kMax = 100'000'000;  // seconds, about three years
  if (!distance || !gap || *gap < 0 || *gap > kMax || *distance < 0 || *distance > kMax) {
    // The dialog stays open for a correction.
    host_->message(QString::fromUtf8("秒数は半角の整数で入力してください"));
    return;
  }
  tl::Lesson& l = host_->model().lesson();
  if (l.srtloaded) {
    tl::Scenecut(l, (int32_t)*gap, (tl::ttime)*distance * 10000);
    host_->scenesChanged();
  }
  hide();
}
