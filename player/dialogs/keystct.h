// Tf_keystct "操作方法": the keys window, fixed labels only.
#pragma once

#include <QDialog>
#include <QStringList>

class Tf_keystct : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_keystct(QWidget* parent = nullptr);
  // The label texts, top to bottom.
  static QStringList labels();
};
