// The about box: "Quendle Version 1.7".
#pragma once

#include <QDialog>

namespace quendle {

class CAboutDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace quendle
