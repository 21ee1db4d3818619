// The main dialog of the filter merit tool: a filter selector, the filter
// list with its context menu, and the buttons "フィルタの登録" and "閉じる".
//
// quendledlg.cpp holds the frame (controls, layout, menus), filterlist.cpp
// the listing and sorting, filteractions.cpp the commands and record files.
#pragma once

#include <QDialog>
#include <QMessageBox>
#include <QRect>
#include <memory>
#include <vector>

#include "filtertool/filterlistmodel.h"
#include "platform/filters/filterdata.h"
#include "platform/filters/filterstore.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;

namespace quendle {

enum CommandId : int {
  ID_CHANGE_MERIT = 135,
  ID_DELETE_FILTER_INFO = 136,
  ID_REREGISTER = 137,
  ID_UNREGISTER = 140,
  ID_DELETE_RESTORE_INFO = 141,
};

class CQuendleDlg : public QDialog {
  Q_OBJECT
 public:
  // recordDir: where "changed.bak" and "deleted.bak" lie (with or without a
  // trailing slash); empty: $TALLISEN_RECORD_DIR, else the program's folder.
  explicit CQuendleDlg(QWidget* parent = nullptr, QString recordDir = {},
                       tl::flt::FilterStore store = {});
  ~CQuendleDlg() override;

  // --- the list (filterlist.cpp) ---
  void ShowCategory(bool sortAll);
  void ListFiltersByCategory(int category);
  void ListAllFilters(bool sortAll);
  tl::flt::HResult ReadFilterData(const tl::flt::PropertyBag& bag,
                                  std::unique_ptr<tl::flt::RegFilter2>& description);
  void AddFilterRow(const QString& name, const tl::flt::Guid& classId,
                    std::unique_ptr<tl::flt::RegFilter2> description);
  tl::flt::HResult GetServerPath(const tl::flt::Guid& classId, std::string& path);
  void FillSortKeys(int column);
  static int CompareItems(const FilterItem* a, const FilterItem* b, bool ascending);
  void RefreshList();
  void ScrollToItem(int n);
  bool IsQuartzFilter(int row) const;
  // Looks up a bare file name along PATH (':' separated); the search ends at
  // the first empty element.  Empty when nothing is found.
  static QString searchPath(const QString& fileName, const QByteArray& pathVariable);

  // --- commands and record files (filteractions.cpp) ---
  bool AddRestoreRecord(const QString& name, const QString& path, bool deleted);
  int RemoveRestoreRecords(const QString& key, bool deleted, bool wholeLine);
  void ListRestoreFile(bool deleted);
  bool RegisterServerFile(const QString& path);

  // Enables and greys the context menu's commands for the selected row;
  // false when the menu would not appear.
  bool prepareContextMenu();
  QAction* action(int commandId) const;

  // Rows and selection.
  int rowCount() const;
  QString rowText(int row, int column) const;
  const FilterItem* rowItem(int row) const;
  int selectedRow() const;
  void selectRow(int row);
  int category() const;
  void setCategory(int category);
  int topRow() const;

  QString recordPath(bool deleted) const;
  // The second line of a failure message: the store file or record file that
  // could not be written and why, when the failing command noted one; else
  // empty.
  QString messageDetail(int id) const;
  int sortColumn() const { return SortColumn; }
  bool sortAscending() const { return SortAscending; }

  QComboBox* CategoryCombo = nullptr;
  QTableView* FilterList = nullptr;
  FilterListModel* FilterRows = nullptr;  // the list's rows and their records
  QPushButton* registerButton = nullptr;
  QPushButton* closeButton = nullptr;
  QLabel* categoryLabel = nullptr;

 public slots:
  void OnSelchangeCategory();
  void OnColumnclickList(int column);
  void OnRclickList(const QPoint& pos);
  void OnChangeMerit();
  void OnReregister();
  void OnDeleteFilterInfo();
  void OnUnregister();
  void OnDeleteRestoreInfo();
  void OnRegisterFilter();
  void OnAbout();

 protected:
  void resizeEvent(QResizeEvent* e) override;

  // The interaction with the user; tests replace these.
  virtual QMessageBox::StandardButton showMessage(int id, const QString& arg = {});
  // Runs the merit dialog on text; false unless it ended with OK.
  virtual bool runMeritDialog(QString& text);
  // The module file to register; empty when cancelled.
  virtual QString chooseModuleFile();

 private:
  void buildControls();
  void buildMenus();
  int appendRow(const QString& name, const QString& merit, const QString& path,
                std::unique_ptr<FilterItem> item);
  void deleteRow(int row);
  void clearRows();
  void sortRows(bool ascending);
  // After a refresh: the row of classId (when not zero), else the first row
  // named name (letter case ignored); -1 when none.
  int findRow(const tl::flt::Guid& classId, const QString& name) const;
  void reselect(const tl::flt::Guid& classId, const QString& name, int top);
  void undoFailed();

  tl::flt::FilterStore FilterMapper;
  QString recordFault_;  // "file: reason" of the last record that could not be written
  QString ProgramDir;
  int SortColumn = -1;
  bool SortAscending = false;
  QMenu* PopupMenu = nullptr;

  int InitialClientWidth = 0, InitialClientHeight = 0;
  QRect CloseButtonRect, RegisterButtonRect, CategoryComboRect, CategoryLabelRect,
      FilterListRect;
};

}  // namespace quendle
