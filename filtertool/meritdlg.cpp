#include "filtertool/meritdlg.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "filtertool/dialogunits.h"

namespace quendle {

CMeritDlg::CMeritDlg(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QString::fromUtf8("メリット値の変更"));
  DialogUnits du(this);
  setFixedSize(du.x(131), du.y(51));

  // Tab order: edit, OK, Cancel.
  MeritEdit = new QLineEdit(this);
  MeritEdit->setGeometry(du.rect(26, 7, 87, 14));
  MeritEdit->setMaxLength(8);
  okButton = new QPushButton(QStringLiteral("OK"), this);
  okButton->setGeometry(du.rect(12, 29, 50, 14));
  okButton->setAutoDefault(false);
  cancelButton = new QPushButton(QString::fromUtf8("キャンセル"), this);
  cancelButton->setGeometry(du.rect(69, 29, 50, 14));
  cancelButton->setDefault(true);
  auto* prefix = new QLabel(QStringLiteral("0x"), this);
  prefix->setGeometry(du.rect(17, 9, 9, 8));

  connect(okButton, &QPushButton::clicked, this, &CMeritDlg::OnMeritOk);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void CMeritDlg::showEvent(QShowEvent* e) {
  // Filling the dialog: the text, limited to eight characters.
  MeritEdit->setText(MeritText.left(8));
  MeritEdit->setFocus();
  QDialog::showEvent(e);
}

bool CMeritDlg::isMeritText(const QString& text) {
  if (text.size() > 8) return false;
  for (QChar c : text) {
    char16_t u = c.unicode();
    bool hex = (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
    if (!hex) return false;
  }
  return true;
}

void CMeritDlg::OnMeritOk() {
  QString typed = MeritEdit->text().left(11);
  if (!isMeritText(typed)) {
    showInputError();
    return;
  }
  MeritText = typed.left(8);
  accept();
}

void CMeritDlg::showInputError() {
  QMessageBox::information(this, QString::fromUtf8("入力エラー"),
                           QString::fromUtf8("正しい数値ではありません。"));
}

}  // namespace quendle
