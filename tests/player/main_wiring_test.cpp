// The main window with all its windows, on the scripted player: the list
// window, the subtitle dialogs, the filter and the history reached from the
// main window, and the small cue commands of its menus and buttons.
#include <gtest/gtest.h>

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QToolButton>
#include <sstream>

#include "core/cuecommands.h"
#include "core/sublist.h"
#include "mainwindow_fixture.h"
#include "player/widgets/Extrkbar.h"
#include "player/filter/filter.h"
#include "player/main/maincommands.h"
#include "player/views/overlay.h"
#include "player/history/rireki.h"
#include "player/sublist/scenediv.h"
#include "player/sublist/sub.h"
#include "player/sublist/subedit.h"
#include "player/sublist/sublistmodel.h"
#include "player/views/subpanels.h"
#include "support/mainaccess.h"

namespace {

class Wiring : public tltest::MainWindowFixture {
 protected:
  Wiring() {
    showInFront = true;
    withWindows = true;
    fakeShell = true;
  }
  tl::Options& O() { return w->model()->options(); }
  using A = MainTestAccess;
  std::string read(const std::string& name) {
    std::ifstream f(dir / name, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
  }
  // The three cues with a 100-second movie.
  void loadAndOpen() {
    load(tltest::kSpacedCues);
    openMovie();
  }
  // The player plays at `seconds` with cue `cursub` displayed.
  void playingAt(double seconds, int cursub, int possub) {
    player->play();
    player->settle();
    player->setPosition(seconds);
    L().cursub = cursub;
    L().possub = possub;
  }
  int rowOf(int slot) { return ws->f_sub->rows()->rowOfSlot(slot); }
};

// ---- the first slot of a partial shift holds while the player plays ---------

TEST_F(Wiring, ListSyncWhilePlayingShiftsFromTheSelectedCueOnly) {
  loadAndOpen();
  O().adjcrt = true;
  playingAt(5.0, 1, 1);
  const tl::ttime cue1 = L().subtime[1];
  ws->f_sub->show();
  ws->f_sub->selectRow(rowOf(3));  // start of cue 2
  ws->f_sub->sync();
  EXPECT_EQ(L().subtime[1], cue1);  // the displayed cue does not move
  EXPECT_EQ(L().subtime[3], 50000);
  EXPECT_EQ(L().subtime[5], 70000);
  EXPECT_TRUE(L().srtdirty);
}

TEST_F(Wiring, SkipWhilePlayingInAGapLeavesTheCueJustHeard) {
  loadAndOpen();
  O().adjcrt = true;
  playingAt(2.5, 1, 2);  // in the gap after cue 1
  w->action("n_cmskip")->trigger();
  EXPECT_EQ(L().subtime[1], 10000);
  EXPECT_EQ(L().subtime[2], 20000);
  EXPECT_EQ(L().subtime[3], 30000 + 150000);
  EXPECT_EQ(L().subtime[6], 60000 + 150000);
  EXPECT_DOUBLE_EQ(player->position(), 17.5);
}

TEST_F(Wiring, PreviousStripAltClickWhilePlayingShiftsFromThatCue) {
  loadAndOpen();
  O().adjcrt = true;
  playingAt(3.5, 3, 3);
  // Alt+click on the first letter of cue 1 in the previous-cue strip.
  emit A::preStrip(*w)->syncClicked(1, 1, 1);
  // The clicked cue moves (not only the displayed one and those after it).
  EXPECT_GT(L().subtime[1], 10000);
  EXPECT_EQ(L().subtime[1] - 10000, L().subtime[3] - 30000);
}

// ---- the refresh after times changed in place ---------------------------------

TEST_F(Wiring, TypedTimeRefreshesSeekBarAndForcesOneTick) {
  loadAndOpen();
  player->pause();
  player->setPosition(3.5);  // paused: only a forced tick reads the position
  L().cursub = 1;
  L().possub = 1;
  SubListModel* rows = ws->f_sub->rows();
  ASSERT_TRUE(rows->setData(rows->index(rowOf(3), tl::kColTime), QStringLiteral("00:00:03,600"), Qt::EditRole));
  EXPECT_TRUE(L().srtdirty);
  EXPECT_EQ(L().possub, 2);   // the tick found the position in the gap before cue 2 ...
  EXPECT_EQ(L().cursub, 3);   // ... and shows the cue after it
  ASSERT_TRUE(rows->setData(rows->index(rowOf(6), tl::kColTime), QStringLiteral("00:00:09,000"), Qt::EditRole));
  EXPECT_EQ(A::tb_point(*w)->maximum(), 9);
}

TEST_F(Wiring, TimeRepairFromTheMenuMarksTheSrtAndRefreshes) {
  loadAndOpen();
  L().subtime[3] = 15000;  // cue 2 starts before cue 1 ends
  L().subtime[6] = 40000;  // cue 3 ends before it starts
  w->action("n_timecheck")->trigger();
  EXPECT_EQ(L().subtime[3], 20000);
  EXPECT_EQ(L().subtime[5], 40000);
  EXPECT_EQ(L().subtime[6], 50000);
  EXPECT_TRUE(L().srtdirty);
  EXPECT_EQ(A::tb_point(*w)->maximum(), 5);
}

// ---- the edit dialog ----------------------------------------------------------

TEST_F(Wiring, F2WithNoCueDisplayedEditsNothing) {
  loadAndOpen();
  L().cursub = 0;
  w->action("a_subedit")->trigger();
  EXPECT_FALSE(ws->f_subedit->isVisible());
  ASSERT_FALSE(messages.empty());
  EXPECT_EQ(messages.back(), "字幕行を選択してください");
  L().cursub = 3;
  w->action("a_subedit")->trigger();
  EXPECT_TRUE(ws->f_subedit->isVisible());
  EXPECT_EQ(ws->f_subedit->slot(), 3);
}

TEST_F(Wiring, ProgressSaveWritesTheEditedSrtFirst) {
  loadAndOpen();
  L().cursub = 3;
  w->action("a_subedit")->trigger();
  ws->f_subedit->r_subedit->setPlainText(QStringLiteral("Go away"));
  answer = QMessageBox::No;  // not now
  ws->f_subedit->Button1Click();
  EXPECT_EQ(read("a.srt").find("Go away"), std::string::npos);
  // The progress save says that the SRT goes with it; No writes neither.
  questions.clear();
  w->action("a_save")->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("字幕ファイルも上書き保存"), std::string::npos);
  EXPECT_EQ(read("a.srt").find("Go away"), std::string::npos);
  EXPECT_TRUE(L().flgdirty);
  // So does the study history's question; Yes writes both.
  questions.clear();
  answer = QMessageBox::Yes;
  w->action("n_rireki")->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("字幕ファイルも上書き保存"), std::string::npos);
  EXPECT_NE(read("a.srt").find("Go away"), std::string::npos);
  EXPECT_FALSE(L().srtdirty);
  EXPECT_FALSE(L().flgdirty);
}

// ---- star, memo, display switch ------------------------------------------------

TEST_F(Wiring, StarButtonAndListStarFollowTheModel) {
  loadAndOpen();
  L().cursub = 3;
  QToolButton* star = w->findChild<QToolButton*>(QStringLiteral("sb_star"));
  ASSERT_TRUE(star);
  EXPECT_EQ(star->toolTip(), QStringLiteral("スター"));
  star->click();
  EXPECT_TRUE(tl::starOf(L(), 3));
  EXPECT_EQ(star->text(), QStringLiteral("★"));
  EXPECT_TRUE(L().flgdirty);
  // The list's star of the displayed cue shows on the button too.
  ws->f_sub->toggleStarAt(rowOf(3));
  EXPECT_FALSE(tl::starOf(L(), 3));
  EXPECT_EQ(star->text(), QStringLiteral("☆"));
}

TEST_F(Wiring, MemoIsStoredOnlyFromTheLearnersTyping) {
  load(tltest::kSpacedCues);
  QLineEdit* memo = w->findChild<QLineEdit*>(QStringLiteral("Edit1"));
  ASSERT_TRUE(memo);
  EXPECT_EQ(memo->placeholderText(), QString::fromUtf8(kMemoPrompt));
  EXPECT_TRUE(memo->text().isEmpty());
  // Showing the memo of a newly displayed cue is no edit.
  L().submemo[3] = "remember";
  L().cursub = 3;
  w->model()->announce(tl::Change::Memos);
  EXPECT_EQ(memo->text(), QStringLiteral("remember"));
  EXPECT_FALSE(L().flgdirty);
  // Typing is.
  memo->setText(QStringLiteral("remember this"));
  emit memo->textEdited(memo->text());
  EXPECT_EQ(L().submemo[3], "remember this");
  EXPECT_TRUE(L().flgdirty);
  EXPECT_NE(ws->f_sub->rows()->index(rowOf(4), tl::kColText).data().toString().indexOf(QStringLiteral("remember this")),
            -1);
}

TEST_F(Wiring, DisplaySwitchButtonTurnsPauseOffAndBack) {
  load(tltest::kSpacedCues);
  QToolButton* b = w->findChild<QToolButton*>(QStringLiteral("sb_opendic"));
  ASSERT_TRUE(b);
  EXPECT_EQ(b->toolTip(), QStringLiteral("表示/ディクテーション"));
  const QString dic = b->text();
  O().pausemode = true;
  b->click();
  EXPECT_TRUE(O().subview);
  EXPECT_FALSE(O().pausemode);
  EXPECT_NE(b->text(), dic);
  b->click();
  EXPECT_FALSE(O().subview);
  EXPECT_TRUE(O().pausemode);
  EXPECT_EQ(b->text(), dic);
}

// ---- DVD menus ------------------------------------------------------------------

TEST_F(Wiring, DvdMenuCollapsesTheOverlayWithoutTouchingTheSettingAndPlayBringsItBack) {
  loadAndOpen();
  player->play();
  player->settle();
  tl::ui::TSubOverlay* ov = A::tp_sub(*w);
  const QSize full = ov->size();
  ASSERT_GT(full.width(), 0);
  A::hideOverlayForDvdMenu(*w);
  EXPECT_EQ(ov->size(), QSize(0, 0));
  EXPECT_TRUE(O().dispsub);  // the learner's setting stays
  player->pause();           // "一時停止": nothing yet
  EXPECT_EQ(ov->size(), QSize(0, 0));
  player->play();            // "再生中" after the menu
  EXPECT_EQ(ov->size(), full);
}

// ---- menus ------------------------------------------------------------------------

TEST_F(Wiring, CueCommandsSitWhereTheMenusPlaceThem) {
  QAction* skip = w->action("n_cmskip");
  ASSERT_TRUE(skip);
  EXPECT_EQ(skip->shortcut(), QKeySequence(Qt::ALT | Qt::Key_C));
  EXPECT_FALSE(skip->isEnabled());
  QMenu* adjust = nullptr;
  for (QAction* m : w->menuBar()->actions())
    if (m->text() == QStringLiteral("調整")) adjust = m->menu();
  ASSERT_TRUE(adjust);
  QStringList names;
  for (QAction* a : adjust->actions()) names << a->objectName();
  const int iSkip = names.indexOf("n_cmskip");
  EXPECT_EQ(names.indexOf("a_pointsubup") + 1, iSkip);
  EXPECT_EQ(names.indexOf("n_adjsec"), iSkip + 1);
  EXPECT_EQ(names.indexOf("n_adjreset") + 1, names.indexOf("n_timecheck"));
  ASSERT_TRUE(w->action("ED1"));
  EXPECT_FALSE(w->action("ED1")->isEnabled());
  load(tltest::kSpacedCues);
  EXPECT_TRUE(skip->isEnabled());
  EXPECT_TRUE(w->action("n_timecheck")->isEnabled());
  EXPECT_FALSE(w->action("ED1")->isEnabled());
}

TEST_F(Wiring, DecoderItemStartsTheToolBesideTheProgram) {
  answer = QMessageBox::Ok;
  w->action("N52")->trigger();
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_NE(shell.started[0].path.find("quendle/quendle"), std::string::npos);
  shell.result = false;
  w->action("N52")->trigger();
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find("refused by the fake"), std::string::npos);
}

TEST_F(Wiring, FilterAndHistoryOpenFromTheirItems) {
  load(tltest::kSpacedCues);
  w->action("n_dicmode")->trigger();
  EXPECT_TRUE(ws->f_filter->isVisible());
  // Unsaved progress is saved before the history lists (Yes).
  L().flgdirty = true;
  w->action("n_rireki")->trigger();
  EXPECT_TRUE(ws->f_rireki->isVisible());
  EXPECT_FALSE(L().flgdirty);
  EXPECT_EQ(ws->f_rireki->SearchFile(), 1);
  // "更新" saves again what changed meanwhile.
  L().flgdirty = true;
  ws->f_rireki->N2Click();
  EXPECT_FALSE(L().flgdirty);
  EXPECT_EQ(ws->f_rireki->rows()->rowCount(), 1);
}

TEST_F(Wiring, SceneDivisionFromTheTestMenuRefreshesTheScenePanel) {
  load(tltest::kSpacedCues);
  w->action("n_scenediv")->trigger();
  EXPECT_TRUE(ws->f_scenediv->isVisible());
  L().cursub = 5;
  ws->f_scenediv->Edit1->setText(QStringLiteral("0"));
  ws->f_scenediv->Edit2->setText(QStringLiteral("0"));
  ws->f_scenediv->Button1Click();
  EXPECT_EQ(w->statusText(3), QStringLiteral("3-3"));  // every gap cuts: cue 3 opens scene 3
}

}  // namespace
