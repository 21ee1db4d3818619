#include "player/sublist/srtout.h"

#include <QFile>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "core/srtwrite.h"
#include "platform/codepage/codepage.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

Tf_srtout::Tf_srtout(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_srtout"));
  setWindowTitle(QString::fromUtf8("字幕出力"));
  auto* v = new QVBoxLayout(this);
  auto* g = new QGroupBox(QString::fromUtf8("出力範囲"), this);
  auto* gv = new QVBoxLayout(g);
  rg_all = new QRadioButton(QString::fromUtf8("全て"), g);
  rg_sel = new QRadioButton(QString::fromUtf8("選択範囲"), g);
  rg_all->setChecked(true);
  gv->addWidget(rg_all);
  gv->addWidget(rg_sel);
  v->addWidget(g);
  Button1 = new QPushButton(QString::fromUtf8("出力"), this);
  v->addWidget(Button1);
  Memo1 = new QPlainTextEdit(this);
  Memo1->setReadOnly(true);
  v->addWidget(Memo1, 1);
  connect(Button1, &QPushButton::clicked, this, &Tf_srtout::Button1Click);
}

void Tf_srtout::Button1Click() {
  Memo1->clear();
  if (!host_) return;
  const tl::Lesson& l = host_->model().lesson();
  if (!l.srtloaded) return;
  int top = 0, bottom = l.subcount - 1;
  const bool all = !rg_sel->isChecked();
  if (!all && !(sub_ && sub_->selectedRange(top, bottom))) return;
  const tl::ExtractResult r = tl::srtExtract(l, all, top, bottom, host_->exedir());
  if (r.ok) {
    QFile f(QString::fromStdString(r.path));
    if (f.open(QIODevice::ReadOnly))
      Memo1->setPlainText(QString::fromStdU16String(tl::cp::ansiToUtf16(tl::cp::toAnsi(f.readAll().toStdString(), l.srtcodepage))));
  }
  if (!r.message.empty()) host_->message(QString::fromStdString(r.message));
}
