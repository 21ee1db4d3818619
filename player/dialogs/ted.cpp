#include "player/dialogs/ted.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

QVariant TalkListModel::data(const QModelIndex& index, int role) const {
  // One sample talk: no picture reference in the first column, its title in the second.
  if (role == Qt::DisplayRole && index.row() == 0 && index.column() == 1)
    return QStringLiteral("How languages are learned by listening");
  return {};
}

Tf_ted::Tf_ted(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_ted"));
  setWindowTitle(QString::fromUtf8("TED"));
  auto* lay = new QVBoxLayout(this);
  StringGrid1 = new QTableView(this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setModel(new TalkListModel(this));
  StringGrid1->setColumnWidth(0, 106);
  StringGrid1->setColumnWidth(1, 473);
  StringGrid1->horizontalHeader()->hide();
  StringGrid1->verticalHeader()->hide();
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  lay->addWidget(StringGrid1, 1);
  auto* row = new QHBoxLayout;
  auto* Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(106, 80);
  auto* Label1 = new QLabel(QStringLiteral("Label1"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  auto* Button1 = new QPushButton(QStringLiteral("low"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  row->addWidget(Image1);
  row->addWidget(Label1, 1);
  row->addWidget(Button1);
  lay->addLayout(row);
  resize(620, 300);
}
