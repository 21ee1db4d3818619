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
      {IDS_ABOUTBOX, {"バージョン情報(&A)...", {}}},
      {IDS_BACKUP_FAILED_UNDO, {"バックアップファイルを作成できませんでした。\n元に戻しますか？", {kYesNo, kStop}}},
      {IDS_ASK_DELETE_INFO, {"%s のフィルタ情報を削除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {IDS_ASK_DELETE_FILE_INFO,
       {"この情報を削除すると、再登録するには\n「フィルタの登録」ボタンからファイルを指定しなけ"
        "ればなりません。\n%s の復元用情報を削除してよろしいですか？",
        {kYesNo, kInfo}}},
      {IDS_ASK_DELETE_MERIT_INFO, {"%s の\nメリット値復元用情報を削除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {IDS_ASK_DELETE_UNREREGISTRABLE,
       {"このフィルタは再登録できません。\nファイル情報を削除してよろしいですか？",
        {kYesNo, kQuestion}}},
      {IDS_ASK_DELETE_MAYBE_UNREREGISTRABLE,
       {"このフィルタは再登録できないかもしれません。\nファイル情報を削除してよろしいですか？",
        {kYesNo, kQuestion}}},
      {IDS_DELETE_FAILED, {"フィルタ情報の削除に失敗しました。", {kOk, kWarn}}},
      {IDS_MERIT_FAILED, {"メリット値の変更に失敗しました。", {kOk, kInfo}}},
      {IDS_REREGISTER_NO_FILE, {"ファイルが存在しないため再登録できません。", {kOk, kInfo}}},
      {IDS_ASK_REREGISTER, {"%s を再登録します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {IDS_REREGISTER_FAILED, {"再登録に失敗しました。", {kOk, kInfo}}},
      {IDS_REREGISTER_DONE, {"再登録に成功しました。", {kOk, kInfo}}},
      {IDS_REGISTER_DONE, {"登録に成功しました。", {kOk, kWarn}}},
      {IDS_REGISTER_FAILED, {"登録に失敗しました。", {kOk, kWarn}}},
      {IDS_ASK_UNREGISTER, {"%s の登録を解除します。\nよろしいですか？", {kYesNo, kQuestion}}},
      {IDS_ASK_UNREGISTER_UNREREGISTRABLE,
       {"このフィルタは再登録できません。\n登録を解除してよろしいですか？", {kYesNo, kQuestion}}},
      {IDS_UNREGISTER_FAILED, {"登録の解除に失敗しました。", {kOk, kWarn}}},
      {IDS_UNREGISTER_NO_FILE,
       {"ファイルが見つからないため登録解除できません。\nこのフィルタを削除するにはフィルタ情報を"
        "削除してください。",
        {kOk, kWarn}}},
      {IDS_FILE_FILTER, {"*.ax|*.ax|*.dll|*.dll|すべて|*.*||", {}}},
      {IDS_COL_NAME, {"フィルタ名", {}}},
      {IDS_COL_MERIT, {"メリット値", {}}},
      {IDS_COL_FILE, {"ファイル名", {}}},
      {IDS_STORE_FAILED, {"COM の初期化に失敗しました。", {kOk, kWarn}}},
      {IDS_UNDO_FAILED, {"元に戻せませんでした。\nフィルタの一覧を読み直します。", {kOk, kWarn}}},
      {AFX_IDS_APP_TITLE, {"Quendle", {}}},
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
