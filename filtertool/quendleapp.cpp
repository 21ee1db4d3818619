#include "filtertool/quendleapp.h"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QMessageBox>
#include <QWidget>

#include "filtertool/quendledlg.h"
#include "filtertool/quendlestrings.h"
#include "platform/filters/filterstore.h"
#include "platform/registry/registry.h"

namespace quendle {

namespace {
constexpr char kShowCommand[] = "show\n";
}

CQuendleApp::CQuendleApp(QObject* parent) : QObject(parent) {}
CQuendleApp::~CQuendleApp() = default;

QString CQuendleApp::instanceName() {
  return QStringLiteral("QUENDLE_Wnd_Class-%1").arg(static_cast<qulonglong>(::getuid()));
}

bool CQuendleApp::notifyRunning(int timeoutMs) const {
  QLocalSocket s;
  s.connectToServer(instanceName());
  if (!s.waitForConnected(timeoutMs)) return false;
  s.write(kShowCommand);
  s.waitForBytesWritten(timeoutMs);
  s.disconnectFromServer();
  return true;
}

bool CQuendleApp::listen(QWidget* window) {
  window_ = window;
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &CQuendleApp::onConnection);
  }
  if (server_->isListening()) return true;
  if (server_->listen(instanceName())) return true;
  // A socket left behind by an instance that ended abnormally: nobody answers
  // on it, so it may be replaced.
  if (notifyRunning(300)) return false;
  QLocalServer::removeServer(instanceName());
  return server_->listen(instanceName());
}

void CQuendleApp::onConnection() {
  while (QLocalSocket* s = server_->nextPendingConnection()) {
    connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
    if (window_) bringToFront(window_);
    emit raised();
  }
}

void bringToFront(QWidget* w) {
  w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  w->showNormal();
  w->raise();
  w->activateWindow();
}

QIcon programIcon() { return QIcon(QStringLiteral(":/quendle.svg")); }

int CQuendleApp::InitInstance() {
  if (notifyRunning()) return 0;
  std::string err;
  tl::flt::FilterStore store;
  if (!store.open(&err)) {
    // Message 124, with the file that could not be read on a second line.
    const QString detail = faultLine({tl::reg::machineHivePath(), err, false});
    QMessageBox box(QMessageBox::Warning, text(AFX_IDS_APP_TITLE),
                    text(IDS_STORE_FAILED) + u'\n' + detail, QMessageBox::Ok);
    box.exec();
    return 1;
  }
  CQuendleDlg dlg(nullptr, QString(), store);
  if (!listen(&dlg)) {
    // Another instance started at the same moment and won.
    if (notifyRunning()) return 0;
  }
  dlg.exec();
  return 0;
}

}  // namespace quendle
