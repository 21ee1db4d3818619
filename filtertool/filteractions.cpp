// The commands of the filter list and the record files behind them.
//
// Every change that can be taken back leaves a record: a merit change in
// "changed.bak", an unregistration or a deletion of filter information in
// "deleted.bak".  When the record cannot be written the user is offered to
// take the change back; whether that worked is checked and told.
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>

#include "filtertool/categories.h"
#include "filtertool/quendledlg.h"
#include "filtertool/quendlestrings.h"
#include "filtertool/restorefile.h"
#include "platform/modules/module.h"

namespace quendle {

using namespace tl::flt;

namespace {

// The path as the module loader and the existence tests see it: environment
// references (%NAME%) are expanded; records keep the path as listed.
QString resolved(const QString& path) {
  return QString::fromStdString(tl::mod::expandEnvironment(path.toStdString()));
}

bool fileExists(const QString& path) {
  QFileInfo fi(resolved(path));
  return fi.exists() && !fi.isDir();
}

// The filter mapper takes names of at most 260 UTF-16 units.
bool nameFits(const QString& name) { return !name.isEmpty() && name.size() <= 260; }

}  // namespace

bool CQuendleDlg::AddRestoreRecord(const QString& name, const QString& path, bool deleted) {
  RestoreFile file(recordPath(deleted));
  recordFault_.clear();
  if (file.add(name, path)) return true;
  recordFault_ = recordFaultLine(file.filePath());
  return false;
}

int CQuendleDlg::RemoveRestoreRecords(const QString& key, bool deleted, bool wholeLine) {
  return RestoreFile(recordPath(deleted)).remove(key, wholeLine);
}

void CQuendleDlg::ListRestoreFile(bool deleted) {
  for (const RestoreRecord& r : RestoreFile(recordPath(deleted)).list())
    appendRow(r.name, QString(), r.path, std::make_unique<FilterItem>());
}

bool CQuendleDlg::RegisterServerFile(const QString& path) {
  tl::mod::Module m;
  if (!m.load(resolved(path).toStdString())) return false;
  return !failed(m.call("DllRegisterServer"));
}

void CQuendleDlg::undoFailed() {
  showMessage(IDS_UNDO_FAILED);
  RefreshList();
}

void CQuendleDlg::OnChangeMerit() {
  clearStoreFault();
  const int row = selectedRow();
  if (row < 0) return;
  FilterItem* item = FilterRows->item(row);
  if (!item || !item->FilterDescription) {
    showMessage(IDS_MERIT_FAILED);
    return;
  }
  RegFilter2& f = *item->FilterDescription;
  QString meritText = QString::asprintf("%08x", f.merit);
  if (!runMeritDialog(meritText)) return;
  const int top = topRow();
  const uint32_t merit = meritText.isEmpty() ? 0u : meritText.toUInt(nullptr, 16);
  if (merit == f.merit) return;
  const QString name = rowText(row, 0);
  const QString path = rowText(row, 2);
  const Guid classId = item->ClassId;
  if (!nameFits(name)) {
    showMessage(IDS_MERIT_FAILED);
    return;
  }
  const uint32_t oldMerit = f.merit;
  f.merit = merit;
  if (failed(FilterMapper.registerFilter(classId, name.toStdString(), CLSID_LegacyAmFilterCategory, f))) {
    f.merit = oldMerit;
    showMessage(IDS_MERIT_FAILED);
    return;
  }
  selectRow(row);
  if (!AddRestoreRecord(name, path, false)) {
    if (showMessage(IDS_BACKUP_FAILED_UNDO) == QMessageBox::Yes) {
      f.merit = oldMerit;
      if (failed(FilterMapper.registerFilter(classId, name.toStdString(),
                                             CLSID_LegacyAmFilterCategory, f)))
        undoFailed();
      return;
    }
  }
  RefreshList();
  reselect(classId, name, top);
}

void CQuendleDlg::OnReregister() {
  clearStoreFault();
  const int row = selectedRow();
  if (row < 0) return;
  const int top = topRow();
  const QString name = rowText(row, 0);
  const QString path = rowText(row, 2);
  const Guid classId = FilterRows->item(row) ? FilterRows->item(row)->ClassId : Guid{};
  if (!fileExists(path)) {
    showMessage(IDS_REREGISTER_NO_FILE);
    return;
  }
  if (showMessage(IDS_ASK_REREGISTER, name) != QMessageBox::Yes) return;
  if (!RegisterServerFile(path)) {
    showMessage(IDS_REREGISTER_FAILED);
    return;
  }
  RemoveRestoreRecords(path, true, false);
  RemoveRestoreRecords(path, false, false);
  RefreshList();
  reselect(classId, name, top);
  showMessage(IDS_REREGISTER_DONE);
}

void CQuendleDlg::OnDeleteFilterInfo() {
  clearStoreFault();
  const int row = selectedRow();
  if (row < 0) return;
  const QString name = rowText(row, 0);
  const QString path = rowText(row, 2);
  if (showMessage(IDS_ASK_DELETE_INFO, name) != QMessageBox::Yes) return;
  if (fileExists(path)) {
    tl::mod::Module m;
    int question = 0;
    if (!m.load(resolved(path).toStdString()))
      question = IDS_ASK_DELETE_MAYBE_UNREREGISTRABLE;
    else if (!m.has("DllRegisterServer"))
      question = IDS_ASK_DELETE_UNREREGISTRABLE;
    m.unload();
    if (question && showMessage(question) != QMessageBox::Yes) return;
  }
  FilterItem* item = FilterRows->item(row);
  if (!item || !item->FilterDescription ||
      FilterMapper.unregisterFilter(CLSID_LegacyAmFilterCategory, item->ClassId) != kOk) {
    showMessage(IDS_DELETE_FAILED);
    return;
  }
  if (!AddRestoreRecord(name, path, true)) {
    if (showMessage(IDS_BACKUP_FAILED_UNDO) == QMessageBox::Yes) {
      if (!nameFits(name) ||
          failed(FilterMapper.registerFilter(item->ClassId, name.toStdString(),
                                             CLSID_LegacyAmFilterCategory, *item->FilterDescription)))
        undoFailed();
      return;
    }
  }
  deleteRow(row);
  if (rowCount() > 0) selectRow(std::min(row, rowCount() - 1));
  RemoveRestoreRecords(path + u'?' + name, false, true);
}

void CQuendleDlg::OnUnregister() {
  clearStoreFault();
  int row = selectedRow();
  if (row < 0) return;
  const QString name = rowText(row, 0);
  const QString path = rowText(row, 2);
  const Guid classId = FilterRows->item(row) ? FilterRows->item(row)->ClassId : Guid{};
  const int top = topRow();
  if (showMessage(IDS_ASK_UNREGISTER, name) != QMessageBox::Yes) return;
  if (!fileExists(path)) {
    showMessage(IDS_UNREGISTER_NO_FILE);
    return;
  }
  const std::string file = resolved(path).toStdString();
  {
    tl::mod::Module m;
    if (!m.load(file)) {
      showMessage(IDS_UNREGISTER_FAILED);
      return;
    }
    if (!m.has("DllRegisterServer") && showMessage(IDS_ASK_UNREGISTER_UNREREGISTRABLE) != QMessageBox::Yes) return;
  }
  {
    tl::mod::Module m;
    if (!m.load(file) || failed(m.call("DllUnregisterServer"))) {
      showMessage(IDS_UNREGISTER_FAILED);
      return;
    }
  }
  if (!AddRestoreRecord(name, path, true)) {
    if (showMessage(IDS_BACKUP_FAILED_UNDO) == QMessageBox::Yes) {
      if (!RegisterServerFile(path)) {
        undoFailed();
        return;
      }
      // The module's filters are back with its own merits: the rows show them.
      RefreshList();
      reselect(classId, name, top);
      return;
    }
  }
  for (int r = rowCount() - 1; r >= 0; --r) {
    if (rowText(r, 2) != path) continue;
    deleteRow(r);
    if (r < row) --row;
  }
  if (rowCount() > 0) selectRow(std::clamp(row, 0, rowCount() - 1));
  RemoveRestoreRecords(path, false, false);
}

void CQuendleDlg::OnDeleteRestoreInfo() {
  const int c = category();
  if (c != kChangedFilters && c != kUnregisteredFilters) return;
  const int row = selectedRow();
  if (row < 0) return;
  const QString name = rowText(row, 0);
  const QString path = rowText(row, 2);
  const int question = c == kUnregisteredFilters ? IDS_ASK_DELETE_FILE_INFO : IDS_ASK_DELETE_MERIT_INFO;
  if (showMessage(question, name) != QMessageBox::Yes) return;
  RemoveRestoreRecords(path + u'?' + name, c == kUnregisteredFilters, true);
  RefreshList();
}

QString CQuendleDlg::chooseModuleFile() {
  // "*.ax|*.ax|*.dll|*.dll|すべて|*.*||": pairs of caption and pattern.
  const QStringList parts = text(IDS_FILE_FILTER).split(u'|');
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    if (parts[i].isEmpty()) break;
    QString pattern = parts[i + 1] == u"*.*" ? QStringLiteral("*") : parts[i + 1];
    // Modules of this platform are named .so: the first choice shows them too.
    if (i == 0) pattern += QStringLiteral(" *.so");
    filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
  }
  return QFileDialog::getOpenFileName(this, QString(), QString(), filters.join(u";;"));
}

void CQuendleDlg::OnRegisterFilter() {
  clearStoreFault();
  const QString path = chooseModuleFile();
  if (path.isEmpty()) return;
  if (RegisterServerFile(path)) {
    RefreshList();
    showMessage(IDS_REGISTER_DONE);
  } else {
    showMessage(IDS_REGISTER_FAILED);
  }
}

}  // namespace quendle
