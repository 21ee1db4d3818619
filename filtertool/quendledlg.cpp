#include "filtertool/quendledlg.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>
#include <QTableView>

#include "filtertool/aboutdlg.h"
#include "filtertool/categories.h"
#include "filtertool/dialogunits.h"
#include "filtertool/meritdlg.h"
#include "filtertool/quendleapp.h"
#include "filtertool/quendlestrings.h"
#include "filtertool/recordfolder.h"
#include "platform/paths/paths.h"

namespace quendle {

namespace {

constexpr int kMinWidth = 500;
constexpr int kMinHeight = 200;

QString withSlash(QString dir) {
  if (!dir.endsWith(u'/')) dir += u'/';
  return dir;
}

}  // namespace

CQuendleDlg::CQuendleDlg(QWidget* parent, QString recordDir, tl::flt::FilterStore store)
    : QDialog(parent), FilterMapper(std::move(store)) {
  if (recordDir.isEmpty()) recordDir = qEnvironmentVariable("TALLISEN_RECORD_DIR");
  if (recordDir.isEmpty())
    recordDir = quendle::recordFolder(QCoreApplication::applicationDirPath(),
                                      QString::fromStdString(tl::paths::userDataDir()));
  ProgramDir = withSlash(recordDir);

  setWindowTitle(text(AFX_IDS_APP_TITLE));
  setObjectName(QStringLiteral("QUENDLE_Wnd_Class"));
  setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint);
  setWindowIcon(programIcon());
  buildControls();
  buildMenus();
}

CQuendleDlg::~CQuendleDlg() { clearRows(); }

void CQuendleDlg::buildControls() {
  DialogUnits du(this);
  InitialClientWidth = du.x(355);
  InitialClientHeight = du.y(163);

  // Controls in tab order.
  FilterList = new QTableView(this);
  FilterRows = new FilterListModel(this);
  FilterList->setModel(FilterRows);
  FilterList->setGeometry(du.rect(5, 7, 345, 125));
  FilterList->setSelectionBehavior(QAbstractItemView::SelectRows);
  FilterList->setSelectionMode(QAbstractItemView::SingleSelection);
  FilterList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  FilterList->setShowGrid(true);
  FilterList->setWordWrap(false);
  FilterList->setSortingEnabled(false);
  FilterList->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  FilterList->verticalHeader()->hide();
  FilterList->verticalHeader()->setDefaultSectionSize(QFontMetrics(font()).height() + 4);
  QHeaderView* header = FilterList->horizontalHeader();
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->resizeSection(0, 200);
  // 80 pixels, or what the merit text needs in a wider font.
  const int meritWidth = QFontMetrics(FilterList->font()).horizontalAdvance(QStringLiteral("0x00000000"));
  header->resizeSection(1, std::max(80, meritWidth + 12));
  // The file column fills the rest of the list's width.
  header->setStretchLastSection(true);
  FilterList->setContextMenuPolicy(Qt::CustomContextMenu);

  registerButton = new QPushButton(QString::fromUtf8("フィルタの登録"), this);
  registerButton->setGeometry(du.rect(243, 142, 50, 14));
  closeButton = new QPushButton(QString::fromUtf8("閉じる"), this);
  closeButton->setGeometry(du.rect(300, 142, 50, 14));
  categoryLabel = new QLabel(QString::fromUtf8("フィルタの選択 :"), this);
  categoryLabel->setGeometry(du.rect(5, 146, 45, 8));
  CategoryCombo = new QComboBox(this);
  CategoryCombo->setGeometry(du.rect(53, 143, 99, 14));
  for (int c = 0; c < kCategoryCount; ++c) CategoryCombo->addItem(categoryName(c));
  CategoryCombo->setCurrentIndex(-1);
  CategoryCombo->setMaxVisibleItems(kCategoryCount);
  // A font wider than the layout was made for: the label keeps its whole
  // text and the selector moves right by what it needs.
  const QSize labelNeeds = categoryLabel->sizeHint();
  const QRect labelRect = categoryLabel->geometry();
  const int grow = std::max(0, labelNeeds.width() - labelRect.width());
  const int taller = std::max(0, labelNeeds.height() - labelRect.height());
  categoryLabel->setGeometry(labelRect.adjusted(0, -taller / 2, grow, taller - taller / 2));
  CategoryCombo->move(CategoryCombo->x() + grow, CategoryCombo->y());

  CloseButtonRect = closeButton->geometry();
  RegisterButtonRect = registerButton->geometry();
  CategoryComboRect = CategoryCombo->geometry();
  CategoryLabelRect = categoryLabel->geometry();
  FilterListRect = FilterList->geometry();

  setMinimumSize(kMinWidth, kMinHeight);
  resize(std::max(InitialClientWidth, kMinWidth), std::max(InitialClientHeight, kMinHeight));

  connect(CategoryCombo, &QComboBox::activated, this, &CQuendleDlg::OnSelchangeCategory);
  connect(header, &QHeaderView::sectionClicked, this, &CQuendleDlg::OnColumnclickList);
  connect(FilterList, &QWidget::customContextMenuRequested, this, &CQuendleDlg::OnRclickList);
  connect(registerButton, &QPushButton::clicked, this, &CQuendleDlg::OnRegisterFilter);
  // "閉じる" carries the OK id: it ends the dialog as OK does, and Enter
  // presses it wherever the focus is; Escape cancels the dialog.
  registerButton->setAutoDefault(false);
  closeButton->setAutoDefault(false);
  closeButton->setDefault(true);
  connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
}

void CQuendleDlg::buildMenus() {
  PopupMenu = new QMenu(QString::fromUtf8("編集"), this);
  struct Item {
    int id;
    const char* text;
  };
  const Item items[] = {{ID_CHANGE_MERIT, "メリット値の変更"},
                        {0, nullptr},
                        {ID_REREGISTER, "再登録/メリット値を戻す"},
                        {0, nullptr},
                        {ID_DELETE_FILTER_INFO, "フィルタ情報の削除"},
                        {ID_UNREGISTER, "登録の解除"},
                        {0, nullptr},
                        {ID_DELETE_RESTORE_INFO, "復元情報の削除"}};
  for (const Item& it : items) {
    if (!it.text) {
      PopupMenu->addSeparator();
      continue;
    }
    QAction* a = PopupMenu->addAction(QString::fromUtf8(it.text));
    a->setData(it.id);
  }
  connect(action(ID_CHANGE_MERIT), &QAction::triggered, this, &CQuendleDlg::OnChangeMerit);
  connect(action(ID_REREGISTER), &QAction::triggered, this, &CQuendleDlg::OnReregister);
  connect(action(ID_DELETE_FILTER_INFO), &QAction::triggered, this, &CQuendleDlg::OnDeleteFilterInfo);
  connect(action(ID_UNREGISTER), &QAction::triggered, this, &CQuendleDlg::OnUnregister);
  connect(action(ID_DELETE_RESTORE_INFO), &QAction::triggered, this, &CQuendleDlg::OnDeleteRestoreInfo);

  // The version box: a desktop window here has no system menu of the
  // program's own, so the item sits in the dialog's own context menu (a right
  // click anywhere outside the list) with its Alt+A key.
  QString aboutText = text(IDS_ABOUTBOX);
  if (!aboutText.isEmpty()) {
    auto* about = new QAction(aboutText, this);
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setShortcut(QKeySequence(Qt::ALT | Qt::Key_A));
    about->setShortcutContext(Qt::WindowShortcut);
    addAction(about);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(about, &QAction::triggered, this, &CQuendleDlg::OnAbout);
  }
}

QAction* CQuendleDlg::action(int commandId) const {
  for (QAction* a : PopupMenu->actions())
    if (a->data().toInt() == commandId) return a;
  return nullptr;
}

void CQuendleDlg::OnAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CQuendleDlg::resizeEvent(QResizeEvent* e) {
  QDialog::resizeEvent(e);
  if (!CategoryCombo) return;
  const int dx = e->size().width() - InitialClientWidth;
  const int dy = e->size().height() - InitialClientHeight;
  FilterList->setGeometry(FilterListRect.adjusted(0, 0, dx, dy));
  categoryLabel->setGeometry(CategoryLabelRect.translated(0, dy));
  CategoryCombo->setGeometry(CategoryComboRect.translated(0, dy));
  registerButton->setGeometry(RegisterButtonRect.translated(dx, dy));
  closeButton->setGeometry(CloseButtonRect.translated(dx, dy));
}

QString CQuendleDlg::messageDetail(int id) const {
  if (id == 102) return recordFault_;
  // The failure messages of the commands that change the store.
  if (id != 108 && id != 109 && id != 112 && id != 115 && id != 118) return {};
  return faultLine(tl::flt::lastStoreFault());
}

QMessageBox::StandardButton CQuendleDlg::showMessage(int id, const QString& arg) {
  MessageStyle st = messageStyle(id);
  const QString t = withDetail(messageText(id, arg), messageDetail(id));
  QMessageBox box(st.icon, text(AFX_IDS_APP_TITLE), t, st.buttons, this);
  return static_cast<QMessageBox::StandardButton>(box.exec());
}

bool CQuendleDlg::runMeritDialog(QString& meritText) {
  CMeritDlg dlg;
  dlg.MeritText = meritText;
  if (dlg.exec() != QDialog::Accepted) return false;
  meritText = dlg.MeritText;
  return true;
}

// ---- rows ----

int CQuendleDlg::rowCount() const { return FilterRows->rowCount(); }

QString CQuendleDlg::rowText(int row, int column) const { return FilterRows->text(row, column); }

const FilterItem* CQuendleDlg::rowItem(int row) const { return FilterRows->item(row); }

int CQuendleDlg::appendRow(const QString& name, const QString& merit, const QString& path,
                           std::unique_ptr<FilterItem> item) {
  return FilterRows->append(name, merit, path, std::move(item));
}

void CQuendleDlg::deleteRow(int row) { FilterRows->remove(row); }

void CQuendleDlg::clearRows() {
  if (FilterRows) FilterRows->clear();
}

int CQuendleDlg::selectedRow() const {
  const QModelIndexList rows = FilterList->selectionModel()->selectedRows();
  return rows.isEmpty() ? -1 : rows.first().row();
}

void CQuendleDlg::selectRow(int row) {
  if (row < 0 || row >= rowCount()) return;
  FilterList->setCurrentIndex(FilterRows->index(row, 0));
  FilterList->selectRow(row);
}

int CQuendleDlg::category() const { return CategoryCombo->currentIndex(); }

void CQuendleDlg::setCategory(int c) {
  CategoryCombo->setCurrentIndex(c);
  OnSelchangeCategory();
}

int CQuendleDlg::topRow() const {
  int r = FilterList->rowAt(0);
  return r < 0 ? 0 : r;
}

QString CQuendleDlg::recordPath(bool deleted) const {
  return ProgramDir + (deleted ? QStringLiteral("deleted.bak") : QStringLiteral("changed.bak"));
}

}  // namespace quendle
