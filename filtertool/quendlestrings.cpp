#include "filtertool/quendlestrings.h"

#include <map>

namespace quendle {

namespace {

struct Entry {
  const char* text;
  MessageStyle style;
};

constexpr auto kYesNo = QMessageBox::Yes | QMessageBox::No;
constexpr auto kOk = QMessageBox::StandardButtons(QMessageBox::Ok);
constexpr auto kStop = QMessageBox::Critical;
constexpr auto kQuestion = QMessageBox::Question;
constexpr auto kInfo = QMessageBox::Information;
constexpr auto kWarn = QMessageBox::Warning;

const std::map<int, Entry>& table() {
  static const std::map<int, Entry> t = {
      {101, {"バージョン情報(&A)...", {}}},
      {102, {"バックアップファイルを作成できませんでした。\n元に戻しますか？", {kYesNo, kStop}}},
      {103, {"%s のフィルタ情報を削除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {104,
       {"この情報を削除すると、再登録するには\n「フィルタの登録」ボタンからファイルを指定しなけ"
        "ればなりません。\n%s の復元用情報を削除してよろしいですか？",
        {kYesNo, kInfo}}},
      {105, {"%s の\nメリット値復元用情報を削除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {106,
       {"このフィルタは再登録できません。\nファイル情報を削除してよろしいですか？",
        {kYesNo, kQuestion}}},
      {107,
       {"このフィルタは再登録できないかもしれません。\nファイル情報を削除してよろしいですか？",
        {kYesNo, kQuestion}}},
      {108, {"フィルタ情報の削除に失敗しました。", {kOk, kWarn}}},
      {109, {"メリット値の変更に失敗しました。", {kOk, kInfo}}},
      {110, {"ファイルが存在しないため再登録できません。", {kOk, kInfo}}},
      {111, {"%s を再登録します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {112, {"再登録に失敗しました。", {kOk, kInfo}}},
      {113, {"再登録に成功しました。", {kOk, kInfo}}},
      {114, {"登録に成功しました。", {kOk, kWarn}}},
      {115, {"登録に失敗しました。", {kOk, kWarn}}},
      {116, {"%s の登録を解除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {117,
       {"このフィルタは再登録できません。\n登録を解除してよろしいですか？", {kYesNo, kQuestion}}},
      {118, {"登録の解除に失敗しました。", {kOk, kWarn}}},
      {119,
       {"ファイルが見つからないため登録解除できません。\nこのフィルタを削除するにはフィルタ情報を"
        "削除してください。",
        {kOk, kWarn}}},
      {120, {"*.ax|*.ax|*.dll|*.dll|すべて|*.*||", {}}},
      {121, {"フィルタ名", {}}},
      {122, {"メリット値", {}}},
      {123, {"ファイル名", {}}},
      {124, {"COM の初期化に失敗しました。", {kOk, kWarn}}},
      {125, {"元に戻せませんでした。\nフィルタの一覧を読み直します。", {kOk, kWarn}}},
      {57344, {"Quendle", {}}},
  };
  return t;
}

}  // namespace

QString text(int id) {
  auto it = table().find(id);
  return it == table().end() ? QString() : QString::fromUtf8(it->second.text);
}

MessageStyle messageStyle(int id) {
  auto it = table().find(id);
  return it == table().end() ? MessageStyle{} : it->second.style;
}

QString messageText(int id, const QString& arg) {
  QString t = text(id);
  qsizetype at = t.indexOf(u"%s");
  if (at >= 0) t.replace(at, 2, arg);
  return t;
}

QString faultLine(const tl::flt::StoreFault& fault) {
  if (fault.empty()) return {};
  const QString file = fault.file.empty() ? QString() : u' ' + QString::fromStdString(fault.file) + u' ';
  return QString::fromUtf8("フィルタ登録ファイル") + file +
         QString::fromUtf8(fault.writing ? "に書き込めません。" : "を読み込めません。");
}

QString recordFaultLine(const QString& file) {
  return QString::fromUtf8("記録ファイル ") + file + QString::fromUtf8(" に書き込めません。");
}

QString withDetail(QString message, const QString& detail) {
  if (detail.isEmpty()) return message;
  const qsizetype firstEnd = message.indexOf(u'\n');
  if (firstEnd < 0) return message + u'\n' + detail;
  return message.insert(firstEnd + 1, detail + u'\n');
}

}  // namespace quendle
