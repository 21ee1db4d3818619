#include "player/words/wordmenu.h"

#include <QFileDialog>

#include "core/wordexport.h"
#include "core/wordfile.h"
#include "core/wordrecord.h"
#include "platform/paths/files.h"
#include "platform/paths/paths.h"
#include "platform/shell/shell.h"
#include "player/mainhost.h"

namespace {

QString U(const std::string& s) { return QString::fromStdString(s); }

QString askPath(MainHost& m, const SavePathAsk& ask, const QString& defaultName) {
  if (ask) return ask(defaultName);
  return QFileDialog::getSaveFileName(m.window(), QString(), defaultName);
}

bool exportTo(MainHost& m, const std::string& utf8Path, tl::word::ExportText (*make)(const tl::word::WordFile&)) {
  const std::string words = tl::word::wordPath(tl::paths::exedir());
  // An export written over the word file would replace the learner's words.
  if (tl::paths::sameFile(utf8Path, words)) {
    m.message(QString::fromUtf8("登録単語ファイル「word.csv」にはエクスポートできません。別のファイル名を指定してください"));
    return false;
  }
  tl::word::WordFile f;
  std::string err;
  if (!tl::word::readWordFile(words, f, &err)) {
    m.message(U(err));
    return false;
  }
  tl::word::ExportText e = make(f);
  if (!tl::paths::atomicWriteFile(utf8Path, e.bytes, &err)) {
    m.message(QString::fromUtf8("エクスポートファイルを保存できませんでした\n") + U(err));
    return false;
  }
  if (e.words == 0) m.message(QString::fromUtf8("登録単語ファイル「word.csv」に単語がありませんでした"));
  std::string log = std::to_string(e.words) + "語をエクスポートしました";
  if (e.skipped > 0) log += "（単語でない" + std::to_string(e.skipped) + "行は飛ばしました）";
  m.logout(log);
  return true;
}

bool openDataFile(MainHost& m, tl::Shell& shell, const char* name) {
  const std::string path = tl::paths::exedir() + name;
  QString why;
  if (!tl::paths::fileExists(path)) {
    why = std::string(name) == "word.csv" ? QString::fromUtf8("まだありません（最初の単語登録で作られます）")
                                          : QString::fromUtf8("ありません");
  } else {
    std::string err;
    if (shell.open(path, &err)) return true;
    why = QString::fromUtf8("開けませんでした\n") + U(err);
  }
  m.message(QString::fromUtf8("「") + U(path) + QString::fromUtf8("」は") + why);
  return false;
}

}  // namespace

bool ankiExportTo(MainHost& m, const std::string& utf8Path) { return exportTo(m, utf8Path, tl::word::ankiExport); }
bool pssExportTo(MainHost& m, const std::string& utf8Path) { return exportTo(m, utf8Path, tl::word::pssExport); }

void n_ankiexClick(MainHost& m, const SavePathAsk& ask) {
  QString f = askPath(m, ask, QStringLiteral("anki.txt"));
  if (!f.isEmpty()) ankiExportTo(m, f.toStdString());
}

void n_pssClick(MainHost& m, const SavePathAsk& ask) {
  QString f = askPath(m, ask, QStringLiteral("pss.csv"));
  if (!f.isEmpty()) pssExportTo(m, f.toStdString());
}

bool N50Click(MainHost& m, tl::Shell& shell) { return openDataFile(m, shell, "word.csv"); }
bool N51Click(MainHost& m, tl::Shell& shell) { return openDataFile(m, shell, "escape.txt"); }

void N37Click(MainHost& m) {
  const tl::word::Stamp now = tl::word::nowStamp();
  const std::string text = tl::word::dateText(now) + " " + tl::word::timeText(now);
  std::vector<std::string> f = tl::word::splitCommaText(text);
  if (f.size() < 2) f.resize(2);
  m.message(U(f[0]) + QString::fromUtf8("と") + U(f[1]));
  m.message(U(tl::word::joinCommaText(f)));
}
