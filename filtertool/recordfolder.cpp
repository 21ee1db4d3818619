#include "filtertool/recordfolder.h"

#include <QDir>
#include <QFileInfo>

namespace quendle {

namespace {
QString withSlash(QString dir) {
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}
}  // namespace

QString recordFolder(const QString& programDir, const QString& userDir) {
  const QFileInfo prog(programDir);
  if (prog.isDir() && prog.isWritable()) return withSlash(programDir);
  QDir().mkpath(userDir);
  return withSlash(userDir);
}

}  // namespace quendle
