// The tools menu's word commands of the main window: the two exports,
// opening "word.csv" and "escape.txt", and the hidden test item that shows
// how a date-time text splits.
#pragma once

#include <QString>
#include <functional>
#include <string>

class MainHost;
class QWidget;
namespace tl {
class Shell;
}

// Asks for the file to write (a save dialog by default; tests pass their
// own).  An empty answer cancels.
using SavePathAsk = std::function<QString(const QString& defaultName)>;

// "単語エクスポート" / "Anki": word;translation lines in UTF-8.
void n_ankiexClick(MainHost& m, const SavePathAsk& ask = {});
// "単語エクスポート" / "P-Study System": the four header lines and the rows, 932.
void n_pssClick(MainHost& m, const SavePathAsk& ask = {});
// Both write to utf8Path; false after a message.  Also said by a message:
// that "word.csv" held no word (the file is written all the same).
bool ankiExportTo(MainHost& m, const std::string& utf8Path);
bool pssExportTo(MainHost& m, const std::string& utf8Path);

// "登録単語ファイル開く" / "翻訳除外単語ファイル開く": the desktop's handler opens
// the file of the data folder; a failure is shown with its reason.
bool N50Click(MainHost& m, tl::Shell& shell);
bool N51Click(MainHost& m, tl::Shell& shell);

// "時間文字列戻し" (hidden test menu): the date-time text of now split and
// joined again by the comma-text rule.
void N37Click(MainHost& m);
