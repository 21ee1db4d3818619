#include "player/history/rireki.h"

#include <QAction>
#include <QDateTime>
#include <QHeaderView>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "player/lessonmodel.h"
#include "player/mainhost.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
QString U(const std::string& s) { return QString::fromStdString(s); }

const char* const kTitles[] = {"タイトル", "ｺﾝﾌﾟﾘｰﾄ", "進捗(緑OK　赤ﾋﾝﾄ　白ｸﾛｰｽﾞ)", "達成率(%)", "文字数", "最終学習日時",
                               "ヒント率(%)"};
const int kWidths[] = {294, 56, 326, 49, 52, 101, 64};
constexpr int kColumns = 7;
constexpr int kBarColumn = 2;

const char* const kResetText =
    "選択したファイルをやり直しますか？(ディクテーションが最初からになります。現時点の状態を保存したいときはsavフォ"
    "ルダの字幕ファイル名.datのデータを他のフォルダに移動してください。復旧はそのファイルをsavフォルダに戻してください)";
}  // namespace

// ---- model ------------------------------------------------------------------

void HistoryModel::setRows(std::vector<tl::HistoryRow> rows) {
  beginResetModel();
  rows_ = std::move(rows);
  endResetModel();
}

const tl::HistoryRow* HistoryModel::row(int r) const {
  return r >= 0 && r < (int)rows_.size() ? &rows_[r] : nullptr;
}

int HistoryModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : (int)rows_.size(); }
int HistoryModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant HistoryModel::data(const QModelIndex& index, int role) const {
  const tl::HistoryRow* r = row(index.row());
  if (!r) return {};
  if (role == AchievementRole) return r->achievement;
  if (role == HintRateRole) return r->hintrate;
  if (role != Qt::DisplayRole) return {};
  switch (index.column()) {
    case 0: return U(r->name);
    case 1: return U(tl::completeText(*r));
    case 3: return QString::number(r->achievement);
    case 4: return U(tl::totalText(*r));
    case 5: return U(tl::lastWriteText(r->mtime));
    case 6: return U(tl::hintRateText(r->hintrate));
    default: return {};
  }
}

QVariant HistoryModel::headerData(int section, Qt::Orientation o, int role) const {
  if (o == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < kColumns) return U(kTitles[section]);
  return {};
}

// ---- bars -------------------------------------------------------------------

void HistoryBarDelegate::spans(int x0, int w, int achievement, double hintrate, int& greenR, int& redL) {
  w = std::max(w, 0);
  achievement = std::clamp(achievement, 0, 100);
  hintrate = std::isfinite(hintrate) ? std::clamp(hintrate, 0.0, 100.0) : 0.0;
  greenR = x0 + achievement * w / 100;
  redL = greenR - (int)std::nearbyint(hintrate * w) / 100;
  redL = std::clamp(redL, x0, greenR);
}

void HistoryBarDelegate::paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  QStyledItemDelegate::paint(p, option, index);
  if (index.column() != kBarColumn) return;
  const QRect r = option.rect;
  int greenR = 0, redL = 0;
  spans(r.left(), r.width(), index.data(HistoryModel::AchievementRole).toInt(),
        index.data(HistoryModel::HintRateRole).toDouble(), greenR, redL);
  p->save();
  p->setClipRect(r);
  p->fillRect(QRect(r.left(), r.top(), greenR - r.left(), r.height()), QColor(0, 255, 0));
  p->fillRect(QRect(redL, r.top(), greenR - redL, r.height()), QColor(255, 0, 0));
  p->restore();
}

// ---- window -----------------------------------------------------------------

Tf_rireki::Tf_rireki(std::shared_ptr<MainHost> host, QWidget* parent) : QDialog(parent), host_(std::move(host)) {
  setObjectName(QStringLiteral("Tf_rireki"));
  setWindowTitle(U("学習履歴(最新反映には要セーブ)"));
  auto* lay = new QVBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  auto* bar = new QMenuBar(this);
  QMenu* m = bar->addMenu(U("履歴"));
  auto item = [this, m](const char* name, const char* caption, const QKeySequence& key, void (Tf_rireki::*f)()) {
    QAction* a = m->addAction(U(caption));
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) a->setShortcut(key);
    connect(a, &QAction::triggered, this, f);
    addAction(a);
  };
  item("N2", "更新", QKeySequence(Qt::Key_F5), &Tf_rireki::N2Click);
  item("N4", "やり直し", QKeySequence(Qt::Key_Delete), &Tf_rireki::N4Click);
  item("N3", "ランク", QKeySequence(), &Tf_rireki::N3Click);
  item("N6", "総時間", QKeySequence(Qt::Key_F3), &Tf_rireki::N6Click);
  lay->setMenuBar(bar);

  model_ = new HistoryModel(this);
  StringGrid1 = new QTableView(this);
  StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
  StringGrid1->setModel(model_);
  StringGrid1->setItemDelegate(new HistoryBarDelegate(StringGrid1));
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
  StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
  StringGrid1->verticalHeader()->hide();
  StringGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  StringGrid1->verticalHeader()->setDefaultSectionSize(std::max(15, fontMetrics().height() + 2));
  // The given widths, widened where this system's font needs more room.
  const QFontMetrics fm = StringGrid1->fontMetrics();
  const QString samples[kColumns] = {QString(), QString(), QString(), U("100"), U("0000000文字"),
                                     U("0000/00/00  00:00"), U("33.3333333333333")};
  for (int c = 0; c < kColumns; ++c)
    StringGrid1->setColumnWidth(c, std::max({kWidths[c], fm.horizontalAdvance(U(kTitles[c])) + 12,
                                             fm.horizontalAdvance(samples[c]) + 8}));
  StringGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(StringGrid1, &QWidget::customContextMenuRequested, this, &Tf_rireki::popupAt);
  lay->addWidget(StringGrid1);

  PopupMenu1 = new QMenu(this);
  QAction* reset = PopupMenu1->addAction(U("やり直し"));
  connect(reset, &QAction::triggered, this, [this] { resetRow(popupRow_); });
  resize(960, 400);
}

void Tf_rireki::say(const QString& text) {
  if (host_) host_->message(text, QString(), this);
}

int Tf_rireki::SearchFile() {
  tl::HistoryListing h = tl::SearchFile(folder_);
  score_ = h.score;
  model_->setRows(std::move(h.rows));
  if (!h.unreadable.empty()) say(U(tl::unreadableMessage(h.unreadable)));
  return model_->rowCount();
}

void Tf_rireki::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  QTimer::singleShot(0, this, [this] { SearchFile(); });
}

void Tf_rireki::N2Click() {
  if (host_) host_->saveProgress();
  SearchFile();
}

void Tf_rireki::N4Click() {
  const QModelIndex cur = StringGrid1->selectionModel()->currentIndex();
  if (cur.isValid()) resetRow(cur.row());
}

void Tf_rireki::popupAt(const QPoint& viewportPos) {
  const QModelIndex at = StringGrid1->indexAt(viewportPos);
  if (!at.isValid()) return;
  StringGrid1->selectRow(at.row());
  StringGrid1->setCurrentIndex(at);
  popupRow_ = at.row();
  PopupMenu1->popup(StringGrid1->viewport()->mapToGlobal(viewportPos));
}

void Tf_rireki::resetRow(int r) {
  const tl::HistoryRow* row = model_->row(r);
  if (!row || !host_) return;
  const std::string path = row->path;  // the row's own file, even if the list changes
  if (host_->question(U(row->name) + QLatin1Char('\n') + U(kResetText), U("リセット"),
                      QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
    return;
  std::error_code ec;
  if (!std::filesystem::remove(path, ec) || ec) {
    say(U("削除失敗しました"));
    return;
  }
  say(U(path) + U("を削除しました"));
  N2Click();
}

void Tf_rireki::N3Click() { say(U(tl::rankMessage(score_))); }

void Tf_rireki::N6Click() {
  int64_t base = 0;
  uint32_t start = 0, now = 0;
  if (studyTime) studyTime(base, start, now);
  say(U(tl::totalTimeMessage(base, start, now)));
}
