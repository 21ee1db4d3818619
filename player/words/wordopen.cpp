#include "player/words/wordopen.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/wordopen.h"
#include "platform/codepage/codepage.h"
#include "player/lessonmodel.h"
#include "player/mainhost.h"

Tf_wordopen::Tf_wordopen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_wordopen"));
  setWindowTitle(QString::fromUtf8("指定単語オープン"));
  e_openword = new QLineEdit(this);
  e_openword->setObjectName(QStringLiteral("e_openword"));
  e_openword->installEventFilter(this);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setDefault(true);
  Button2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QString::fromUtf8("単語"), this));
  row->addWidget(e_openword, 1);
  row->addWidget(new QLabel(QString::fromUtf8("を開く"), this));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  auto* v = new QVBoxLayout(this);
  v->addLayout(row);
  v->addLayout(buttons);
}

bool Tf_wordopen::eventFilter(QObject* o, QEvent* e) {
  // e_openwordKeyDown: Enter in the box runs OK.
  if (o == e_openword && e->type() == QEvent::KeyPress) {
    auto* k = static_cast<QKeyEvent*>(e);
    if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
      Button1Click();
      return true;
    }
  }
  return QDialog::eventFilter(o, e);
}

void Tf_wordopen::Button1Click() {
  if (!host_) return;
  const QString typed = e_openword->text();
  if (typed.isEmpty()) {
    host_->message(QString::fromUtf8("オープンする単語を指定してください"), QString(), this);
    return;
  }
  const int count = tl::word::openWord(host_->model().lesson(), tl::cp::utf8ToAnsi(typed.toStdString()));
  host_->message(QString::number(count) + QString::fromUtf8("個の単語「") + typed +
                 QString::fromUtf8("」を見つけました。オープンしました"), QString(), this);
  host_->afterflgchg();
  e_openword->clear();
}

void Tf_wordopen::Button2Click() { close(); }
