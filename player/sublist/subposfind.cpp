#include "player/sublist/subposfind.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "player/sublist/sub.h"
#include "player/sublist/sublistmodel.h"

Tf_subposfind::Tf_subposfind(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subposfind"));
  setWindowTitle(QString::fromUtf8("検索"));
  auto* v = new QVBoxLayout(this);
  auto* h = new QHBoxLayout;
  e_sc = new QLineEdit(this);
  e_sc->setObjectName(QStringLiteral("e_sc"));
  Button1 = new QPushButton(QString::fromUtf8("検索"), this);
  Button1->setDefault(true);
  h->addWidget(e_sc, 1);
  h->addWidget(Button1);
  v->addLayout(h);
  auto* g = new QGroupBox(QString::fromUtf8("検索開始位置"), this);
  auto* gv = new QVBoxLayout(g);
  const char* items[3] = {"最初から検索", "選択位置の次から検索", "再生位置から検索"};
  for (int i = 0; i < 3; ++i) {
    rg_stt[i] = new QRadioButton(QString::fromUtf8(items[i]), g);
    gv->addWidget(rg_stt[i]);
  }
  rg_stt[0]->setChecked(true);
  v->addWidget(g);
  connect(Button1, &QPushButton::clicked, this, &Tf_subposfind::Button1Click);
}

QString Tf_subposfind::searchText() const { return e_sc->text(); }

void Tf_subposfind::Button1Click() {
  if (e_sc->text().isEmpty()) return;
  if (sub_) {
    int64_t start = 0;
    if (rg_stt[1]->isChecked()) {
      const int s = sub_->selectedSlot();
      start = s < 0 ? 0 : s + 1;
    } else if (rg_stt[2]->isChecked()) {
      const tl::Lesson* l = sub_->rows()->lesson();
      start = l ? l->cursub : 0;
    }
    sub_->wordfind(start);
  }
  hide();
}
