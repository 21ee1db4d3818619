#include "player/sublist/sub.h"

#include <QAction>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

#include "core/sublist.h"
#include "platform/codepage/codepage.h"
#include "player/widgets/cellfont.h"
#include "player/sublist/hanrei.h"
#include "player/lessonmodel.h"
#include "player/sublist/srtout.h"
#include "player/sublist/subedit.h"
#include "player/sublist/sublistmodel.h"
#include "player/sublist/subposfind.h"

namespace {

QString U(const std::string& utf8) { return QString::fromUtf8(utf8.data(), (qsizetype)utf8.size()); }

}  // namespace

// ---- the grid ----------------------------------------------------------------

int TSubGrid::rowEdgeAt(QPoint at) const {
  // The lines of the first column size the rows, as a fixed column's would;
  // elsewhere a press selects.
  constexpr int kReach = 2;
  if (columnAt(at.x()) != 0) return -1;
  const int y = at.y();
  int r = rowAt(y);
  if (r < 0) r = rowAt(y - kReach);
  if (r < 0) return -1;
  for (int c : {r, r - 1}) {
    if (c < 0) continue;
    const int bottom = rowViewportPosition(c) + rowHeight(c);
    if (std::abs(y - bottom) <= kReach) return c;
  }
  return -1;
}

void TSubGrid::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) {
    sizingRow_ = rowEdgeAt(e->position().toPoint());
    if (sizingRow_ >= 0) return;  // a row's line: resize, do not select
  }
  if (e->button() == Qt::RightButton) {
    const QModelIndex i = indexAt(e->position().toPoint());
    if (i.isValid()) emit rightPressed(i.row());
    return;
  }
  QTableView::mousePressEvent(e);
}

void TSubGrid::mouseMoveEvent(QMouseEvent* e) {
  const QPoint at = e->position().toPoint();
  if (sizingRow_ >= 0) {
    verticalHeader()->resizeSection(sizingRow_, std::max(1, at.y() - rowViewportPosition(sizingRow_)));
    return;
  }
  if (e->buttons() == Qt::NoButton) {
    if (rowEdgeAt(at) >= 0)
      viewport()->setCursor(Qt::SplitVCursor);
    else
      viewport()->unsetCursor();
  }
  QTableView::mouseMoveEvent(e);
}

void TSubGrid::mouseReleaseEvent(QMouseEvent* e) {
  if (sizingRow_ >= 0 && e->button() == Qt::LeftButton) {
    sizingRow_ = -1;
    return;
  }
  QTableView::mouseReleaseEvent(e);
  if (e->button() != Qt::LeftButton) return;
  const QModelIndex i = indexAt(e->position().toPoint());
  if (i.isValid()) emit leftReleased(i.row(), i.column());
}

void TSubGrid::paintEvent(QPaintEvent* e) {
  QTableView::paintEvent(e);
  if (!model()) return;
  // A black line along the top of every cue row opens its pair.
  QPainter p(viewport());
  p.setPen(Qt::black);
  const int first = rowAt(0), last = rowAt(viewport()->height() - 1);
  if (first < 0) return;
  const int end = last < 0 ? model()->rowCount() - 1 : last;
  const int w = viewport()->width();
  for (int r = first; r <= end; ++r) {
    if (!model()->data(model()->index(r, 0), SubListModel::CueRole).toBool()) continue;
    const int y = rowViewportPosition(r);
    p.drawLine(0, y, w, y);
  }
}

// ---- the window --------------------------------------------------------------

Tf_sub::Tf_sub(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(QStringLiteral("Tf_sub"));
  setWindowTitle(QString::fromUtf8("字幕一覧"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(0, 0, 0, 0);
  v->setSpacing(0);
  MainMenu1 = new QMenuBar(this);
  v->setMenuBar(MainMenu1);

  model_ = new SubListModel(this);
  model_->onEdit = [this](int slot, int col, const QString& t) { return onEdit(slot, col, t); };
  subgrid = new TSubGrid(this);
  subgrid->setObjectName(QStringLiteral("subgrid"));
  subgrid->setModel(model_);
  subgrid->verticalHeader()->hide();
  subgrid->verticalHeader()->setMinimumSectionSize(1);
  subgrid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  subgrid->horizontalHeader()->setHighlightSections(false);
  // The style's minimum would widen the narrow columns beyond their widths.
  subgrid->horizontalHeader()->setMinimumSectionSize(1);
  subgrid->setSelectionBehavior(QAbstractItemView::SelectRows);
  subgrid->setSelectionMode(QAbstractItemView::ContiguousSelection);
  subgrid->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed |
                           QAbstractItemView::SelectedClicked);
  subgrid->setWordWrap(false);
  subgrid->setContextMenuPolicy(Qt::NoContextMenu);
  subgrid->viewport()->setMouseTracking(true);  // the sizing cursor over a row's line
  v->addWidget(subgrid);

  sb_sub = new QStatusBar(this);
  sb_text = new QLabel(sb_sub);
  sb_text->setMinimumWidth(50);
  sb_sub->addWidget(sb_text, 1);
  sb_sub->setSizeGripEnabled(false);
  v->addWidget(sb_sub);

  Timer1 = new QTimer(this);
  Timer1->setInterval(100);
  connect(Timer1, &QTimer::timeout, this, &Tf_sub::csel);

  buildMenus();

  connect(subgrid, &QAbstractItemView::doubleClicked, this, [this] { subjamp(); });
  connect(subgrid, &TSubGrid::leftReleased, this, [this](int row, int col) {
    if (col == tl::kColStar) toggleStarAt(row);
  });
  connect(subgrid, &TSubGrid::rightPressed, this, [this](int row) {
    selectRow(row);
    pm_sub->popup(QCursor::pos());
  });

  QFont f = tl::ui::cellFont(QString::fromUtf8("ＭＳ ゴシック"), 8);
  subgrid->setFont(f);
  setGridLayout(8, 13, {32, 88, 486, 32, 30, 31, 31});
  resize(760, 480);
}

Tf_sub::~Tf_sub() { disconnect(sub_); }

void Tf_sub::buildMenus() {
  auto item = [this](QMenu* m, const char* name, const char* caption, auto fn) {
    QAction* a = m->addAction(QString::fromUtf8(caption));
    a->setObjectName(QString::fromLatin1(name));
    connect(a, &QAction::triggered, this, fn);
    return a;
  };
  QMenu* n_mode = MainMenu1->addMenu(QString::fromUtf8("一覧"));
  n_scroll = item(n_mode, "n_scroll", "スクロールモード", [this](bool on) { setScrollMode(on); });
  n_scroll->setCheckable(true);
  n_selsub = item(n_mode, "n_selsub", "現在字幕を選択", [this] { csel(); });
  n_selsub->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_R));
  n_movjump = item(n_mode, "n_movjump", "選択字幕の動画再生", [this] { subjamp(); });

  QMenu* N19 = MainMenu1->addMenu(QString::fromUtf8("表示/検索"));
  n_find = item(N19, "n_find", "検索", [this] {
    if (find_) {
      find_->show();
      find_->raise();
      find_->activateWindow();
    }
  });
  n_find->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
  n_findn = item(N19, "n_findn", "次を検索", [this] { findNext(); });
  n_findn->setShortcut(QKeySequence(Qt::Key_F3));
  n_ref = item(N19, "n_ref", "更新", [this] { gridset(); });
  n_ref->setShortcut(QKeySequence(Qt::Key_F5));
  QMenu* n_size = N19->addMenu(QString::fromUtf8("文字サイズ"));
  n_big = item(n_size, "n_big", "大", [this] { setFontSize(13, 20); });
  n_middle = item(n_size, "n_middle", "中", [this] { setFontSize(10, 15); });
  n_small = item(n_size, "n_small", "小", [this] { setFontSize(8, 13); });
  QMenu* n_2nd = N19->addMenu(QString::fromUtf8("二行目"));
  n_memo = item(n_2nd, "n_memo", "メモ", [this] { setDicMode(false); });
  n_dic = item(n_2nd, "n_dic", "ディクフラグ", [this] { setDicMode(true); });
  n_memo->setCheckable(true);
  n_dic->setCheckable(true);
  n_memo->setChecked(true);
  n_hanrei = item(N19, "n_hanrei", "凡例表示", [this] {
    if (hanrei_) hanrei_->show();
  });
  N3 = item(N19, "N3", "フルスクリーン（字幕不可）", [this] {
    if (host_) host_->toggleFullScreen();
  });

  n_douki = MainMenu1->addMenu(QString::fromUtf8("同期"));
  n_seldouki = item(n_douki, "n_seldouki", "動画位置と選択字幕を同期", [this] { sync(); });
  n_addouki = item(n_douki, "n_addouki", "動画位置と選択字幕に比例して全字幕時間を変更", [this] { stretch(); });

  QMenu* n_sort = MainMenu1->addMenu(QString::fromUtf8("並び替え"));
  n_sortno = item(n_sort, "n_sortno", "番号(元に戻す)", [this] { sortno(); });
  N1 = item(n_sort, "N1", "スター", [this] { sortByStar(); });
  N2 = item(n_sort, "N2", "クリア", [this] { sortByClear(); });

  // Hidden menu: its items stay reachable through their actions.
  n_otosi = new QMenu(QString::fromUtf8("落とし機能"), this);
  n_subout = item(n_otosi, "n_subout", "字幕出力", [this] {
    if (srtout_) {
      srtout_->show();
      srtout_->raise();
    }
  });
  n_sortstar = item(n_otosi, "n_sortstar", "スター", [this] { mSort(tl::kColStar); });
  n_sortclear = item(n_otosi, "n_sortclear", "クリア", [this] { mSort(tl::kColClear); });
  edit1 = item(n_otosi, "edit1", "edit", [this] {
    subgrid->setEditTriggers(subgrid->editTriggers() | QAbstractItemView::DoubleClicked);
  });
  for (QAction* a : {n_selsub, n_findn, n_ref, n_find}) addAction(a);

  pm_sub = new QMenu(this);
  pn_douki = item(pm_sub, "pn_douki", "同期", [this] { sync(); });
  pn_jump = item(pm_sub, "pn_jump", "ジャンプ", [this] { subjamp(); });
  pn_edit = item(pm_sub, "pn_edit", "編集", [this] { editRow(); });
  pn_dicxsub = item(pm_sub, "pn_dicxsub", "対象外", [this] { dicxsubRow(); });
  pn_addouki = item(pm_sub, "pn_addouki", "平均同期", [this] { stretch(); });
}

void Tf_sub::setHost(std::shared_ptr<MainHost> host) {
  disconnect(sub_);
  host_ = std::move(host);
  model_->setLesson(host_ ? &host_->model().lesson() : nullptr);
  if (host_) sub_ = connect(&host_->model(), &LessonModel::changed, this, &Tf_sub::onChanged);
  gridset();
}

void Tf_sub::setWindows(Tf_subedit* edit, Tf_subposfind* find, Tf_hanrei* hanrei, Tf_srtout* srtout) {
  edit_ = edit;
  find_ = find;
  hanrei_ = hanrei;
  srtout_ = srtout;
}

void Tf_sub::setGridLayout(int32_t fsize, int32_t rheight, const std::array<int32_t, 7>& widths) {
  QFont f = subgrid->font();
  if (fsize > 0) f.setPointSize(fsize);
  subgrid->setFont(f);
  if (rheight > 0) subgrid->verticalHeader()->setDefaultSectionSize(rheight);
  for (int i = 0; i < 7; ++i) subgrid->setColumnWidth(i, widths[i]);
}

void Tf_sub::gridLayout(int32_t& fsize, int32_t& rheight, std::array<int32_t, 7>& widths) const {
  fsize = subgrid->font().pointSize();
  rheight = subgrid->verticalHeader()->defaultSectionSize();
  for (int i = 0; i < 7; ++i) widths[i] = subgrid->columnWidth(i);
}

void Tf_sub::setFontSize(int size, int rowHeight) {
  QFont f = subgrid->font();
  f.setPointSize(size);
  subgrid->setFont(f);
  subgrid->verticalHeader()->setDefaultSectionSize(rowHeight);
}

tl::Lesson* Tf_sub::lesson() const { return host_ ? &host_->model().lesson() : nullptr; }

bool Tf_sub::loaded() const {
  const tl::Lesson* l = lesson();
  return l && l->srtloaded && l->subcount > 1;
}

void Tf_sub::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  gridset();
}

// ---- what the lesson announces ---------------------------------------------

void Tf_sub::onChanged(tl::Change what, int slot) {
  switch (what) {
    case tl::Change::Load:
      gridset();
      break;
    case tl::Change::Letters:
      // Typing, a hint or a give-up changes one cue: a refill would undo a
      // sort and move the selection.
      if (slot == tl::kAllSlots) {
        gridset();
      } else {
        model_->slotChanged(slot);
        model_->scenesChanged();
      }
      break;
    case tl::Change::Timing:
      repainttime();
      break;
    case tl::Change::Scenes:
      model_->scenesChanged();
      break;
    case tl::Change::Stars:
    case tl::Change::Memos:
    case tl::Change::Texts:
      if (slot == tl::kAllSlots)
        gridset();
      else
        model_->slotChanged(slot);
      break;
    case tl::Change::Cursor:
    case tl::Change::Peek:
    case tl::Change::Translations:
      break;
  }
}

// ---- refill and selection ----------------------------------------------------

void Tf_sub::gridset() {
  model_->refill();
  // The rows are back in slot order: the row actions work again.
  setSortedItems(false);
  csel();
}

void Tf_sub::repainttime() { model_->timesChanged(); }

void Tf_sub::selectRow(int row) {
  if (row < 0 || row >= model_->rowCount()) return;
  subgrid->setCurrentIndex(model_->index(row, subgrid->currentIndex().isValid() ? subgrid->currentIndex().column() : 0));
  subgrid->selectionModel()->select(model_->index(row, 0),
                                    QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void Tf_sub::csel() {
  const tl::Lesson* l = lesson();
  if (!l || model_->rowCount() == 0) return;
  const int slot = l->cursub >= 1 ? l->cursub : 1;
  const int row = model_->rowOfSlot(slot);
  if (row >= 0) {
    QSignalBlocker b(subgrid->selectionModel());
    subgrid->setCurrentIndex(model_->index(row, 0));
    subgrid->selectionModel()->select(model_->index(row, 0),
                                      QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    subgrid->viewport()->update();
  }
  const int top = model_->rowOfSlot(std::max(l->possub - 1, 1));
  if (top >= 0) subgrid->scrollTo(model_->index(top, 0), QAbstractItemView::PositionAtTop);
}

int Tf_sub::selectedSlot() const {
  if (!loaded()) return -1;
  const QModelIndex i = subgrid->currentIndex();
  if (!i.isValid()) return -1;
  return model_->slotOfRow(i.row());
}

bool Tf_sub::selectedRange(int& top, int& bottom) const {
  if (!loaded()) return false;
  const QModelIndexList sel = subgrid->selectionModel()->selectedRows();
  if (sel.isEmpty()) {
    const int s = selectedSlot();
    if (s < 1) return false;
    top = bottom = s;
    return true;
  }
  top = INT32_MAX;
  bottom = -1;
  for (const QModelIndex& i : sel) {
    const int s = model_->slotOfRow(i.row());
    top = std::min(top, s);
    bottom = std::max(bottom, s);
  }
  return bottom >= 1;
}

QString Tf_sub::statusText() const { return sb_text->text(); }

// ---- commands ------------------------------------------------------------------

void Tf_sub::subjamp() {
  const int slot = selectedSlot();
  if (slot < 1 || !host_) return;
  host_->posplay(0, tl::jumpTime(*lesson(), slot, host_->options().backmore));
}

void Tf_sub::sync() {
  const int slot = selectedSlot();
  if (slot < 1 || !host_ || !host_->mediumOpen()) return;
  const tl::Lesson& l = *lesson();
  double pos = 0;
  if (!host_->positionSeconds(pos)) return;
  const int32_t from = tl::syncFrom(l, slot, pos);
  host_->adjshiftFrom(from, tl::syncDelta(l.subtime[slot], pos));
}

void Tf_sub::stretch() {
  const int slot = selectedSlot();
  if (slot < 1 || !host_) return;
  host_->adjratio(lesson()->subtime[slot]);
}

void Tf_sub::mSort(int col) {
  if (!loaded() || Timer1->isActive()) return;
  subgrid->scrollToTop();
  model_->sortBy(col, 0);
  setSortedItems(true);
}

void Tf_sub::sortno() {
  if (!loaded() || Timer1->isActive()) return;
  model_->restoreOrder();
  setSortedItems(false);
}

void Tf_sub::setSortedItems(bool sorted) {
  sorted_ = sorted;
  for (QAction* a : {n_scroll, n_movjump, pn_douki, pn_edit, pn_dicxsub, pn_addouki}) a->setEnabled(!sorted);
  n_selsub->setEnabled(!sorted && !Timer1->isActive());
  n_douki->setEnabled(!sorted);
  n_seldouki->setEnabled(!sorted);
  n_addouki->setEnabled(!sorted);
}

bool Tf_sub::timeEditEnabled() const { return !sorted_; }

void Tf_sub::editRow() {
  const int slot = selectedSlot();
  if (slot < 1 || !host_) return;
  if (!tl::Lesson::isCue(slot)) {
    host_->message(QString::fromUtf8("字幕行を選択してください"));
    return;
  }
  if (edit_) {
    edit_->editset(slot);
    edit_->show();
    edit_->raise();
  }
}

void Tf_sub::dicxsubRow() {
  const int slot = selectedSlot();
  if (slot < 1 || !host_) return;
  if (tl::dicxsub(*lesson(), slot)) host_->afterflgchg();
}

void Tf_sub::toggleStarAt(int row) {
  const int slot = model_->slotOfRow(row);
  if (!loaded() || !tl::Lesson::isCue(slot)) return;
  if (!tl::toggleStar(*lesson(), slot)) return;
  model_->slotChanged(slot);
  host_->starChanged(slot);
}

void Tf_sub::setScrollMode(bool on) {
  n_scroll->setChecked(on);
  if (on)
    Timer1->start();
  else
    Timer1->stop();
  n_selsub->setEnabled(!on);
  N1->setEnabled(!on);
  N2->setEnabled(!on);
  n_sortno->setEnabled(!on);
}

void Tf_sub::setDicMode(bool on) {
  n_dic->setChecked(on);
  n_memo->setChecked(!on);
  model_->setDicMode(on);
  gridset();
}

void Tf_sub::findNext() {
  const int slot = selectedSlot();
  wordfind(slot < 0 ? 1 : slot + 1);
}

void Tf_sub::wordfind(int64_t start) {
  const tl::Lesson* l = lesson();
  if (!l) return;
  const std::string needle = find_ ? tl::cp::utf16ToAnsi(find_->searchText().toStdU16String()) : std::string();
  const tl::FindResult r = tl::wordfind(*l, start, needle);
  sb_text->setText(U(r.report));
  if (!r.found) return;
  const int row = model_->rowOfSlot(r.slot);
  if (row < 0) return;
  selectRow(row);
  const int top = model_->rowOfSlot(std::max(r.slot - 1, 1));
  subgrid->scrollTo(model_->index(top < 0 ? row : top, 0), QAbstractItemView::PositionAtTop);
}

// ---- cells typed into ------------------------------------------------------------

bool Tf_sub::onEdit(int slot, int col, const QString& text) {
  tl::Lesson* l = lesson();
  if (!l || !host_ || !loaded()) return false;
  const std::string ansi = tl::cp::utf16ToAnsi(text.toStdU16String());
  if (col == tl::kColTime) {
    const tl::TimeEdit e = tl::readTimeCell(*l, slot, ansi);
    if (!e.message.empty()) {
      host_->message(U(e.message));
      return false;
    }
    if (!e.changed) return false;
    tl::storeTime(*l, slot, e.value);
    host_->timeEdited(slot);
    return true;
  }
  if (col == tl::kColText && !model_->dicMode()) {
    if (!tl::storeMemo(*l, slot, ansi)) return false;
    host_->memoChanged(slot - 1);
    return true;
  }
  return false;
}
