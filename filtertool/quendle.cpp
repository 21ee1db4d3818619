// Quendle: lists the registered filters and changes their registration.
#include <QApplication>

#include "filtertool/quendleapp.h"
#include "filtertool/quendlestrings.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(quendle::text(quendle::AFX_IDS_APP_TITLE));
  quendle::CQuendleApp quendleApp;
  return quendleApp.InitInstance();
}
