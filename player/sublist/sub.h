// Tf_sub "字幕一覧": the subtitle list window.  Every slot of the loaded
// subtitles in one grid (a view over SubListModel), two rows per cue: the
// cue with its start time, then its end time with the memo or the letter
// marks.  From here the learner jumps, syncs or stretches the timing, finds
// texts, sets stars, edits times and memos, opens the edit dialog, takes a
// cue out of the dictation and sorts by star or clear state.
//
// The list and the subtitle dialogs reach the main window through MainHost.
#pragma once

#include <QTableView>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>

#include "core/change.h"
#include "core/lesson.h"
#include "core/options.h"
#include "player/mainhost.h"

class QAction;
class QLabel;
class QMenu;
class QMenuBar;
class QStatusBar;
class QTimer;
class LessonModel;
class SubListModel;
class Tf_subedit;
class Tf_subposfind;
class Tf_hanrei;
class Tf_srtout;

// The grid: a table view whose mouse presses the window sees first.
class TSubGrid : public QTableView {
  Q_OBJECT
 public:
  using QTableView::QTableView;
  int columnCount() const { return model() ? model()->columnCount() : 0; }

 signals:
  // Left-button release on (row, column); right press on a row.
  void leftReleased(int row, int column);
  void rightPressed(int row);

 protected:
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;

 private:
  // Row whose bottom line lies within reach of viewport point `at` in the
  // first column (-1: none).
  int rowEdgeAt(QPoint at) const;
  int sizingRow_ = -1;  // the row whose height a drag sets
};

class Tf_sub : public QWidget {
  Q_OBJECT
 public:
  explicit Tf_sub(QWidget* parent = nullptr);
  ~Tf_sub() override;

  void setHost(std::shared_ptr<MainHost> host);
  void setWindows(Tf_subedit* edit, Tf_subposfind* find, Tf_hanrei* hanrei, Tf_srtout* srtout);

  TSubGrid* subgrid = nullptr;
  SubListModel* rows() const { return model_; }

  // Font size (points), default row height and widths of columns 0 to 6.
  void setGridLayout(int32_t fsize, int32_t rheight, const std::array<int32_t, 7>& widths);
  void gridLayout(int32_t& fsize, int32_t& rheight, std::array<int32_t, 7>& widths) const;

  // ---- operations other windows call --------------------------------------
  void gridset();
  void repainttime();
  void csel();
  void wordfind(int64_t start);
  // Selected row's slot (-1: none); the slots of the selection's first and
  // last row, in slot order.
  int selectedSlot() const;
  bool selectedRange(int& top, int& bottom) const;
  QString statusText() const;

  // ---- commands -------------------------------------------------------------
  void subjamp();
  void sync();     // "動画位置と選択字幕を同期"
  void stretch();  // "動画位置と選択字幕に比例して全字幕時間を変更"
  void sortByStar() { mSort(3); }
  void sortByClear() { mSort(4); }
  void sortno();   // "番号(元に戻す)"
  void editRow();  // pop-up "編集"
  void dicxsubRow();  // pop-up "対象外"
  void toggleStarAt(int row);
  void setScrollMode(bool on);
  void setDicMode(bool on);
  void setFontSize(int size, int rowHeight);
  void findNext();  // F3
  void selectRow(int row);
  bool sorted() const { return sorted_; }
  bool timeEditEnabled() const;  // the menu items a sort disables are on

  QAction *n_scroll = nullptr, *n_selsub = nullptr, *n_movjump = nullptr, *n_find = nullptr,
          *n_findn = nullptr, *n_ref = nullptr, *n_big = nullptr, *n_middle = nullptr, *n_small = nullptr,
          *n_memo = nullptr, *n_dic = nullptr, *n_hanrei = nullptr, *N3 = nullptr, *n_seldouki = nullptr,
          *n_addouki = nullptr, *n_sortno = nullptr, *N1 = nullptr, *N2 = nullptr, *n_subout = nullptr,
          *n_sortstar = nullptr, *n_sortclear = nullptr, *edit1 = nullptr;
  QAction *pn_douki = nullptr, *pn_jump = nullptr, *pn_edit = nullptr, *pn_dicxsub = nullptr,
          *pn_addouki = nullptr;
  QMenu* n_douki = nullptr;
  QMenu* n_otosi = nullptr;
  QMenu* pm_sub = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QStatusBar* sb_sub = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  void buildMenus();
  void mSort(int col);
  void setSortedItems(bool sorted);
  void onChanged(tl::Change what, int slot);
  bool onEdit(int slot, int col, const QString& text);
  bool loaded() const;
  tl::Lesson* lesson() const;

  std::shared_ptr<MainHost> host_;
  SubListModel* model_ = nullptr;
  QLabel* sb_text = nullptr;
  QMetaObject::Connection sub_;
  bool sorted_ = false;
  Tf_subedit* edit_ = nullptr;
  Tf_subposfind* find_ = nullptr;
  Tf_hanrei* hanrei_ = nullptr;
  Tf_srtout* srtout_ = nullptr;
};
