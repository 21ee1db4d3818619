#include "player/dialogs/urlopen.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

Tf_urlopen::Tf_urlopen(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_urlopen"));
  setWindowTitle(QString::fromUtf8("URLを開く"));
  auto* lay = new QHBoxLayout(this);
  lay->addWidget(new QLabel(QStringLiteral("URL")));
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setMinimumWidth(360);
  lay->addWidget(Edit1, 1);
  auto* Button1 = new QPushButton(QString::fromUtf8("開く"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  lay->addWidget(Button1);
  // Enter in the edit presses this default button, and only it: the edit's
  // own returnPressed would open the address a second time.
  Button1->setDefault(true);
  connect(Button1, &QPushButton::clicked, this, &Tf_urlopen::Button1Click);
}

void Tf_urlopen::Button1Click() {
  const QString url = Edit1->text().trimmed();
  if (url.isEmpty() || !openMovie) return;
  openMovie(url.toStdString());
}
