#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include "platform/shell/shell.h"

namespace tl {

namespace {

std::string stripUrlPrefix(const std::string& t) {
  if (t.size() >= 4 && (t[0] == 'U' || t[0] == 'u') && (t[1] == 'R' || t[1] == 'r') &&
      (t[2] == 'L' || t[2] == 'l') && t[3] == ':')
    return t.substr(4);
  return t;
}

bool fail(std::string* err, const QString& why) {
  if (err) *err = why.toStdString();
  return false;
}

}  // namespace

bool isUrlTarget(const std::string& target) {
  static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
  const QString t = QString::fromStdString(stripUrlPrefix(target));
  return scheme.match(t).hasMatch() && !t.startsWith(QLatin1Char('/'));
}

bool DesktopShell::open(const std::string& target, std::string* err) {
  const std::string t = stripUrlPrefix(target);
  if (t.empty()) return fail(err, QStringLiteral("nothing to open"));
  QUrl url;
  if (isUrlTarget(t)) {
    url = QUrl(QString::fromStdString(t));
    if (!url.isValid()) return fail(err, QStringLiteral("not a valid address: ") + QString::fromStdString(t));
  } else {
    const QFileInfo info(QString::fromStdString(t));
    if (!info.exists()) return fail(err, QStringLiteral("no such file: ") + QString::fromStdString(t));
    url = QUrl::fromLocalFile(info.absoluteFilePath());
  }
  if (!QDesktopServices::openUrl(url))
    return fail(err, QStringLiteral("no program opens ") + url.toDisplayString());
  return true;
}

bool DesktopShell::startProgram(const std::string& path, const std::vector<std::string>& args, std::string* err) {
  const QString program = QString::fromStdString(path);
  const QFileInfo info(program);
  if (path.find('/') != std::string::npos) {
    if (!info.exists()) return fail(err, QStringLiteral("no such program: ") + program);
    if (!info.isFile() || !info.isExecutable()) return fail(err, QStringLiteral("not a program: ") + program);
  }
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  QProcess process;
  process.setProgram(program);
  process.setArguments(list);
  if (!process.startDetached()) return fail(err, process.errorString());
  return true;
}

}  // namespace tl
