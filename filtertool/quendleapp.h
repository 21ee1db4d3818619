// The application object: one running instance per user.  The running
// instance listens on a local socket named after the dialog's window class
// "QUENDLE_Wnd_Class" and the user id; a second start connects to it, which
// brings the running dialog to the front, and ends without a window.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QWidget;

namespace quendle {

class CQuendleApp : public QObject {
  Q_OBJECT
 public:
  explicit CQuendleApp(QObject* parent = nullptr);
  ~CQuendleApp() override;

  static QString instanceName();

  // True when another instance answered (it has been asked to come to the
  // front).
  bool notifyRunning(int timeoutMs = 1000) const;
  // Starts listening; later starts bring `window` to the front.
  bool listen(QWidget* window);
  QWidget* window() const { return window_; }

  // The whole run: returns the process exit code.
  int InitInstance();

 signals:
  void raised();

 private:
  void onConnection();
  QLocalServer* server_ = nullptr;
  QPointer<QWidget> window_;
};

// Shows a window normally (restored when minimised) and in front.
void bringToFront(QWidget* w);

// The program's icon (the desktop entry's), for its windows.
QIcon programIcon();

}  // namespace quendle
