// Quendle: lists the registered filters and changes their registration.
#include <QApplication>
#include <QTranslator>

#include "filtertool/quendleapp.h"
#include "filtertool/quendlestrings.h"
#include "platform/shell/qtjapanese.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(quendle::text(quendle::AFX_IDS_APP_TITLE));
  QApplication::setWindowIcon(quendle::programIcon());
  QTranslator qtJa;
  tl::installQtJapanese(qtJa);
  quendle::CQuendleApp quendleApp;
  return quendleApp.InitInstance();
}
