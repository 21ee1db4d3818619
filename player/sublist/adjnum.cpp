#include "player/sublist/adjnum.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

#include "core/sublist.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

Tf_adjnum::Tf_adjnum(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_adjnum"));
  setWindowTitle(QString::fromUtf8("指定字幕調整"));
  auto* h = new QHBoxLayout(this);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  h->addWidget(Edit1);
  h->addWidget(new QLabel(QString::fromUtf8("ms(ﾐﾘｾｶﾝﾄﾞ)字幕進める(遅らす場合は-入力)"), this));
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button1->setDefault(true);
  h->addWidget(Button1);
  connect(Button1, &QPushButton::clicked, this, &Tf_adjnum::Button1Click);
}

void Tf_adjnum::Button1Click() {
  if (host_) {
    const auto ms = tl::parseInt(Edit1->text().toStdString());
    // Up to about 3000 years either way; beyond that the shift would overflow.
    constexpr long long kMax = 100'000'000'000'000LL;
    bool ok = ms && *ms >= -kMax && *ms <= kMax;
    if (ok) {
      try {
        host_->adjshiftFrom(host_->model().lesson().cursub, (tl::ttime)*ms * 10);
      } catch (const std::exception&) {
        ok = false;
      }
    }
    if (!ok) host_->message(QString::fromUtf8("字幕調整に失敗しました"));
  }
  hide();
}
