#include "filtertool/aboutdlg.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>

#include "filtertool/dialogunits.h"

namespace quendle {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("バージョン情報 Quendle"));
  DialogUnits du(this);
  setFixedSize(du.x(214), du.y(56));

  auto* icon = new QLabel(this);
  QRect iconRect = du.rect(11, 17, 20, 20);
  icon->setGeometry(iconRect);
  icon->setPixmap(windowIcon().pixmap(std::min(iconRect.width(), iconRect.height())));
  auto* version = new QLabel(QStringLiteral("Quendle Version 1.7"), this);
  version->setObjectName(QStringLiteral("versionLabel"));
  version->setTextFormat(Qt::PlainText);
  version->setGeometry(du.rect(40, 10, 119, 8));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.rect(157, 7, 50, 16));
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace quendle
