#include "player/sub.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

Tf_sub::Tf_sub(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Tf_sub"));
  setWindowTitle(QString::fromUtf8("字幕一覧"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  subgrid = new QTableWidget(0, 7, this);
  subgrid->setObjectName(QStringLiteral("subgrid"));
  subgrid->verticalHeader()->setMinimumSectionSize(1);
  v->addWidget(subgrid);
  setGridLayout(8, 13, {32, 88, 486, 32, 30, 31, 31});
}

void Tf_sub::setGridLayout(int32_t fsize, int32_t rheight, const std::array<int32_t, 7>& widths) {
  QFont f = subgrid->font();
  if (fsize > 0) f.setPointSize(fsize);
  subgrid->setFont(f);
  if (rheight > 0) subgrid->verticalHeader()->setDefaultSectionSize(rheight);
  for (int i = 0; i < 7; ++i) subgrid->setColumnWidth(i, widths[i]);
}

void Tf_sub::gridLayout(int32_t& fsize, int32_t& rheight, std::array<int32_t, 7>& widths) const {
  fsize = subgrid->font().pointSize();
  rheight = subgrid->verticalHeader()->defaultSectionSize();
  for (int i = 0; i < 7; ++i) widths[i] = subgrid->columnWidth(i);
}
