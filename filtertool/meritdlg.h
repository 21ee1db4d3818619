// The merit dialog: the user enters a filter's new merit as up to eight
// hexadecimal digits behind a fixed "0x".  Its default button is Cancel, so
// Enter in the edit cancels; only the OK button runs the check.
#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;

namespace quendle {

class CMeritDlg : public QDialog {
  Q_OBJECT
 public:
  explicit CMeritDlg(QWidget* parent = nullptr);

  // Set before the dialog runs, read after OK.
  QString MeritText;

  // Whether the edit's text is a merit: at most 8 ASCII hexadecimal digits
  // (an empty text is merit 0).
  static bool isMeritText(const QString& text);

  QLineEdit* MeritEdit = nullptr;
  QPushButton* okButton = nullptr;
  QPushButton* cancelButton = nullptr;

 public slots:
  void OnMeritOk();

 protected:
  void showEvent(QShowEvent* e) override;
  // The input check's message; a test replaces it.
  virtual void showInputError();
};

}  // namespace quendle
