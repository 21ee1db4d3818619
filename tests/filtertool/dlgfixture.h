// The main dialog with scripted answers in place of the user.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "filtertool/fixture.h"
#include "filtertool/quendledlg.h"
#include "filtertool/quendlestrings.h"

namespace fx {

class ScriptedDlg : public quendle::CQuendleDlg {
 public:
  ScriptedDlg() : CQuendleDlg(nullptr) {}

  std::vector<int> messages;              // ids in the order shown
  std::vector<QString> messageArgs;
  std::vector<QString> details;           // each message's second line
  std::deque<QMessageBox::StandardButton> answers;  // empty: Yes / OK
  std::function<void(int)> onMessage;     // runs before the answer is given
  std::optional<QString> meritAnswer;     // nullopt: the merit dialog is cancelled
  QString meritShown;
  QString fileAnswer;

  // Selects the category as the user does and the row named `name`.
  int pick(int category, const QString& name) {
    setCategory(category);
    return pickRow(name);
  }
  int pickRow(const QString& name) {
    for (int r = 0; r < rowCount(); ++r)
      if (rowText(r, 0) == name) {
        selectRow(r);
        return r;
      }
    return -1;
  }
  QStringList names() const {
    QStringList out;
    for (int r = 0; r < rowCount(); ++r) out << rowText(r, 0);
    return out;
  }
  QString selectedName() const { return selectedRow() < 0 ? QString() : rowText(selectedRow(), 0); }

 protected:
  QMessageBox::StandardButton showMessage(int id, const QString& arg) override {
    messages.push_back(id);
    messageArgs.push_back(arg);
    details.push_back(messageDetail(id));
    if (onMessage) onMessage(id);
    if (!answers.empty()) {
      auto a = answers.front();
      answers.pop_front();
      return a;
    }
    return quendle::messageStyle(id).buttons & QMessageBox::Yes ? QMessageBox::Yes : QMessageBox::Ok;
  }
  bool runMeritDialog(QString& text) override {
    meritShown = text;
    if (!meritAnswer) return false;
    text = *meritAnswer;
    return true;
  }
  QString chooseModuleFile() override { return fileAnswer; }
};

}  // namespace fx

// Readable failure output for Qt strings.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
