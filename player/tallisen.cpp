// Program block of Tallisen.
#include <QApplication>
#include <QTranslator>
#include <QMessageBox>
#include <clocale>

#include "core/settings.h"
#include "platform/drives/drives.h"
#include "platform/media/mpvplayer.h"
#include "platform/paths/paths.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "platform/shell/qtjapanese.h"
#include "platform/sound/soundplayer.h"
#include "player/main/main.h"
#include "player/windowset.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tallisen"));
  // libmpv needs the C numeric locale; QApplication set the user's.
  std::setlocale(LC_NUMERIC, "C");
  // Qt's own dialogs and buttons speak Japanese like the rest of the program.
  QTranslator qtJa;
  tl::installQtJapanese(qtJa);

  tl::reg::Hive hive(tl::reg::userHivePath());
  std::string msg;
  const bool hiveOk = tl::loadHive(hive, &msg);
  tl::AlsaSoundPlayer sound;
  tl::DesktopShell shell;
  tl::SystemDrives drives;

  MainDeps deps;
  deps.player = std::make_unique<tl::MpvPlayer>(std::getenv("TALLISEN_MPV_NULL") != nullptr);
  deps.hive = &hive;
  deps.sound = &sound;
  deps.shell = &shell;
  deps.drives = &drives;
  deps.exedir = tl::paths::exedir();
  // The main window's close ends the program, whatever other window is open.
  deps.closed = [] { QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection); };

  WindowSet windows(std::move(deps));
  windows.main()->show();
  if (!hiveOk && !msg.empty()) windows.main()->message(QString::fromStdString(msg));
  return app.exec();
}
