// The list window and the subtitle dialogs over a scripted main window.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QLineEdit>
#include <QRadioButton>

#include "core/letterstates.h"
#include "core/scenes.h"
#include "core/srtread.h"
#include "core/sublist.h"
#include "core/timetext.h"
#include "player/sublist/adjnum.h"
#include "player/lessonmodel.h"
#include "player/sublist/scenediv.h"
#include "player/sublist/sub.h"
#include "player/sublist/subedit.h"
#include "player/sublist/sublistmodel.h"
#include "player/sublist/subno.h"
#include "player/sublist/subposfind.h"

using namespace tl;

namespace {

struct FakeHost : MainHost {
  LessonModel m;
  Options o;
  double pos = 0;
  bool medium = true;
  bool timer = true;
  bool srtOk = true;
  int answer = QMessageBox::No;
  std::vector<std::string> calls, messages;
  std::vector<std::pair<int32_t, ttime>> plays, shifts;
  int recounts = 0, srtWrites = 0, progressWrites = 0;

  LessonModel& model() override { return m; }
  const Options& options() override { return o; }
  std::string exedir() override { return "/tmp/"; }
  QWidget* window() override { return nullptr; }
  bool posplay(int32_t slot, ttime t) override {
    plays.emplace_back(slot, t);
    return t >= 0;
  }
  void adjshiftFrom(int32_t from, ttime delta) override { shifts.emplace_back(from, delta); }
  void adjratio(ttime t) override { calls.push_back("adjratio " + std::to_string(t)); }
  bool positionSeconds(double& s) override {
    s = pos;
    return true;
  }
  bool mediumOpen() override { return medium; }
  void afterflgchg() override {
    ++recounts;
    afterflgchgCore(m.lesson());
    m.announce(Change::Letters);
  }
  void timeEdited(int32_t slot) override { calls.push_back("time " + std::to_string(slot)); }
  void starChanged(int32_t slot) override { calls.push_back("star " + std::to_string(slot)); }
  void memoChanged(int32_t slot) override { calls.push_back("memo " + std::to_string(slot)); }
  void scenesChanged() override {
    calls.push_back("scenes");
    m.announce(Change::Scenes);
  }
  bool srtsav() override {
    ++srtWrites;
    if (srtOk) m.lesson().srtdirty = false;
    return srtOk;
  }
  bool subflgsave() override {
    ++progressWrites;
    return true;
  }
  bool saveProgress() override { return true; }
  void logout(const std::string&) override {}
  void message(const QString& text, const QString&, QWidget*) override { messages.push_back(text.toStdString()); }
  int question(const QString& text, const QString&, int, QWidget*) override {
    messages.push_back(text.toStdString());
    // A message box runs the main timer's events meanwhile: it must be off.
    EXPECT_FALSE(timer);
    return answer;
  }
  bool mainTimerEnabled() override { return timer; }
  void setMainTimerEnabled(bool on) override { timer = on; }
  void toggleFullScreen() override {}

  void load(int n) {
    std::string srt;
    for (int k = 1; k <= n; ++k)
      srt += std::to_string(k) + "\r\n" + sec2str_3((ttime)k * 20000) + " --> " +
             sec2str_3((ttime)k * 20000 + 10000) + "\r\ncue " + std::to_string(k) + "\r\n\r\n";
    Lesson& l = m.lesson();
    ASSERT_TRUE(loadSrtBytes(srt, "/tmp/x.srt", 0, "/tmp/", l).ok);
    closeflginit(l);
    Scenecut(l, kSceneGapDefault, 0);
    m.announce(Change::Load);
  }
};

struct SubWindow : ::testing::Test {
  std::shared_ptr<FakeHost> host = std::make_shared<FakeHost>();
  Tf_sub sub;
  Tf_subposfind find;
  Tf_subedit edit;
  void SetUp() override {
    sub.setHost(host);
    sub.setWindows(&edit, &find, nullptr, nullptr);
    find.setList(&sub);
    edit.setHost(host);
    host->load(100);
  }
  Lesson& L() { return host->m.lesson(); }
  QString cell(int row, int col) { return sub.rows()->index(row, col).data().toString(); }
  int rowOf(int slot) { return sub.rows()->rowOfSlot(slot); }
};

TEST_F(SubWindow, HundredCuesGiveTwoHundredRowsBelowTheHeader) {
  EXPECT_EQ(sub.rows()->rowCount() + 1, 201);
  EXPECT_EQ(cell(0, kColNo), "1");
  EXPECT_EQ(cell(199, kColIndex), " 200");
  // A shift of all times shows in every row, the last included.
  for (auto& t : L().subtime) t += 10000;
  host->m.announce(Change::Timing);
  EXPECT_EQ(cell(199, kColTime), QString::fromStdString(sec2str_4(L().subtime[200])));
}

TEST_F(SubWindow, OneStarChangeRepaintsOneRowPair) {
  int resets = 0, changes = 0;
  QObject::connect(sub.rows(), &QAbstractItemModel::modelReset, [&] { ++resets; });
  QObject::connect(sub.rows(), &QAbstractItemModel::dataChanged, [&] { ++changes; });
  L().substar[5] = 1;
  host->m.announce(Change::Stars, 5);
  EXPECT_EQ(resets, 0);
  EXPECT_EQ(changes, 2);
  EXPECT_EQ(cell(rowOf(6), kColStar), QString::fromUtf8("☆"));
}

// A typed letter, a hint or a give-up changes one cue: its pair shows it,
// and a sort and the selection stay as they were.
TEST_F(SubWindow, OneCuesLettersRepaintItsPairAndKeepTheSort) {
  sub.setDicMode(true);
  L().substar[13] = 1;
  sub.sortByStar();
  sub.selectRow(rowOf(7));
  int resets = 0;
  QObject::connect(sub.rows(), &QAbstractItemModel::modelReset, [&] { ++resets; });
  L().subflg[3][0] = flg_open;
  L().subclear[3] = 1;
  host->m.announce(Change::Letters, 3);
  EXPECT_EQ(resets, 0);
  EXPECT_TRUE(sub.sorted());
  EXPECT_EQ(rowOf(13), 0);
  EXPECT_EQ(sub.selectedSlot(), 7);
  EXPECT_EQ(cell(rowOf(4), kColText).left(1), ".");
  EXPECT_EQ(cell(rowOf(4), kColClear), "o");
  // A recount of the whole table refills it.
  host->afterflgchg();
  EXPECT_EQ(resets, 1);
  EXPECT_FALSE(sub.sorted());
}

// Double clicks jump from every column; a row's bottom line drags its height.
TEST_F(SubWindow, GridMouseJumpsAnywhereAndSizesRows) {
  sub.resize(760, 480);
  sub.show();
  QWidget* vp = sub.subgrid->viewport();
  auto send = [&](QEvent::Type t, QPoint at, Qt::MouseButton b, Qt::MouseButtons held) {
    QMouseEvent e(t, at, vp->mapToGlobal(at), b, held, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  };
  const int row = rowOf(4);  // a memo row: its time and memo cells are editable
  for (int col : {kColTime, kColText, kColNo}) {
    const QRect r = sub.subgrid->visualRect(sub.rows()->index(row, col));
    send(QEvent::MouseButtonPress, r.center(), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, r.center(), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseButtonDblClick, r.center(), Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, r.center(), Qt::LeftButton, Qt::NoButton);
    ASSERT_FALSE(host->plays.empty()) << col;
    EXPECT_EQ(host->plays.back().second, L().subtime[4] - 10000) << col;
    host->plays.clear();
  }
  const int h = sub.subgrid->rowHeight(0);
  const QPoint edge(10, sub.subgrid->rowViewportPosition(0) + h);  // in the first column
  send(QEvent::MouseButtonPress, edge, Qt::LeftButton, Qt::LeftButton);
  send(QEvent::MouseMove, edge + QPoint(0, 20), Qt::NoButton, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, edge + QPoint(0, 20), Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(sub.subgrid->rowHeight(0), h + 20);
  EXPECT_EQ(sub.subgrid->rowHeight(1), h);
}

TEST_F(SubWindow, StarToggleUnderThePointerMarksProgressUnsaved) {
  sub.selectRow(rowOf(1));
  sub.toggleStarAt(rowOf(7));  // the row under the pointer, not the selected one
  EXPECT_EQ(L().substar[7], 1);
  EXPECT_EQ(L().substar[1], 0);
  EXPECT_TRUE(L().flgdirty);
  EXPECT_EQ(host->calls.back(), "star 7");
  sub.toggleStarAt(rowOf(8));  // a second row: nothing
  EXPECT_EQ(host->calls.size(), 1u);
}

TEST_F(SubWindow, SortedActionsMapRowsToSlots) {
  L().substar[13] = 1;
  L().substar[5] = 1;
  sub.sortByStar();
  EXPECT_TRUE(sub.sorted());
  EXPECT_EQ(cell(0, kColIndex), "   5");
  EXPECT_EQ(cell(2, kColIndex), "  13");
  EXPECT_FALSE(sub.pn_edit->isEnabled());
  EXPECT_FALSE(sub.n_seldouki->isEnabled());
  // Row 2 is slot 13: the jump goes there.
  sub.selectRow(2);
  EXPECT_EQ(sub.selectedSlot(), 13);
  sub.subjamp();
  EXPECT_EQ(host->plays.back().second, L().subtime[13] - 10000);
  // Back to slot order: rows and items restored.
  sub.sortno();
  EXPECT_EQ(cell(0, kColIndex), "   1");
  EXPECT_TRUE(sub.pn_edit->isEnabled());
  // A refill after a sort also gives the items back.
  sub.sortByClear();
  EXPECT_FALSE(sub.pn_edit->isEnabled());
  sub.gridset();
  EXPECT_TRUE(sub.pn_edit->isEnabled());
  EXPECT_EQ(cell(0, kColIndex), "   1");
}

TEST_F(SubWindow, SlotOrderBeyondTenThousandRows) {
  host->load(6000);  // 12000 rows
  L().substar[1] = 0;
  L().substar[20001] = 1;
  sub.sortByStar();
  sub.sortno();
  for (int r : {998, 999, 9998, 9999, 10000})
    EXPECT_EQ(sub.rows()->slotOfRow(r), r + 1);
}

TEST_F(SubWindow, TimeCellStoresAndRefreshes) {
  const QModelIndex i = sub.rows()->index(rowOf(3), kColTime);
  ASSERT_TRUE(sub.rows()->setData(i, QStringLiteral("00:01:02,345"), Qt::EditRole));
  EXPECT_EQ(L().subtime[3], 623450);
  EXPECT_TRUE(L().srtdirty);
  EXPECT_EQ(host->calls.back(), "time 3");
  // The list's own text again: nothing changes.
  L().subtime[3] = 623456;
  L().srtdirty = false;
  EXPECT_FALSE(sub.rows()->setData(i, i.data(), Qt::EditRole));
  EXPECT_EQ(L().subtime[3], 623456);
  // Unreadable: message, old time kept.
  EXPECT_FALSE(sub.rows()->setData(i, QStringLiteral("ab:cd"), Qt::EditRole));
  EXPECT_EQ(L().subtime[3], 623456);
  ASSERT_FALSE(host->messages.empty());
  EXPECT_NE(host->messages.back().find("SRTファイルの時間変換に失敗しました"), std::string::npos);
  EXPECT_FALSE(L().srtdirty);
}

TEST_F(SubWindow, MemoRowIsReadOnlyWhileMarksAreShown) {
  const QModelIndex i = sub.rows()->index(rowOf(4), kColText);
  ASSERT_TRUE(sub.rows()->setData(i, QStringLiteral("memo"), Qt::EditRole));
  EXPECT_EQ(L().submemo[3], "memo");
  sub.setDicMode(true);
  EXPECT_FALSE(sub.rows()->flags(i) & Qt::ItemIsEditable);
  EXPECT_FALSE(sub.rows()->setData(i, QStringLiteral("other"), Qt::EditRole));
  EXPECT_EQ(L().submemo[3], "memo");
  EXPECT_EQ(cell(rowOf(4), kColText), "***   ");
}

TEST_F(SubWindow, SearchSelectsTheRowAndReports) {
  L().subtext[3] = "Well HELLO\r\n";
  find.e_sc->setText(QStringLiteral("hello"));
  find.Button1Click();
  EXPECT_EQ(sub.selectedSlot(), 3);
  EXPECT_EQ(sub.statusText(), QString::fromUtf8("3行目6文字目に指定文字列を見つけました"));
  sub.findNext();
  EXPECT_EQ(sub.statusText(), QString::fromUtf8("helloは見つかりませんでした"));
  // From the displayed cue, not the playing position's slot.
  L().cursub = 5;
  L().possub = 2;
  L().subtext[7] = "hello\r\n";
  find.rg_stt[2]->setChecked(true);
  find.Button1Click();
  EXPECT_EQ(sub.selectedSlot(), 7);
}

TEST_F(SubWindow, SyncKeepsItsFirstSlotAndJumpsStopAtZero) {
  host->pos = 100.0;
  sub.selectRow(rowOf(4));  // end of cue 2
  sub.sync();
  ASSERT_EQ(host->shifts.size(), 1u);
  EXPECT_EQ(host->shifts[0].first, 3);
  EXPECT_EQ(host->shifts[0].second, 1000000 - L().subtime[4]);
  // The first cue with a lead-in longer than its start.
  host->o.backmore = 5000;
  sub.selectRow(rowOf(1));
  sub.subjamp();
  EXPECT_EQ(host->plays.back(), (std::pair<int32_t, ttime>{0, 0}));
}

TEST_F(SubWindow, NothingLoadedOrSelectedDoesNothing) {
  host->m.lesson() = Lesson{};
  host->m.announce(Change::Load);
  sub.subjamp();
  sub.sync();
  sub.stretch();
  sub.editRow();
  sub.dicxsubRow();
  sub.toggleStarAt(0);
  sub.sortByStar();
  EXPECT_TRUE(host->plays.empty());
  EXPECT_TRUE(host->shifts.empty());
  EXPECT_TRUE(host->calls.empty());
  EXPECT_TRUE(host->messages.empty());
}

TEST_F(SubWindow, OutOfDictationRecounts) {
  sub.selectRow(rowOf(3));
  sub.dicxsubRow();
  EXPECT_EQ(host->recounts, 1);
  EXPECT_EQ(L().subclear[3], 1);
  EXPECT_EQ(cell(rowOf(3), kColClear), "o");
}

TEST_F(SubWindow, EditOfAGapRowIsRefused) {
  sub.selectRow(rowOf(4));
  sub.editRow();
  EXPECT_EQ(host->messages.back(), "字幕行を選択してください");
  EXPECT_FALSE(edit.isVisible());
}

// ---- the edit dialog ---------------------------------------------------------------

TEST_F(SubWindow, EditWithNoCueDisplayedIsRefused) {
  L().cursub = 0;
  EXPECT_FALSE(edit.editDisplayed());
  EXPECT_EQ(host->messages.back(), "字幕行を選択してください");
  L().cursub = 4;
  EXPECT_FALSE(edit.editDisplayed());
  L().cursub = 3;
  EXPECT_TRUE(edit.editDisplayed());
  EXPECT_EQ(edit.slot(), 3);
}

TEST_F(SubWindow, EditRefusesThreeLinesAndGivesTheTimerBack) {
  edit.editset(3);
  edit.r_subedit->setPlainText(QStringLiteral("a\nb\nc"));
  edit.Button1Click();
  EXPECT_EQ(host->messages.back(), "1字幕の行数は2行までです");
  EXPECT_TRUE(host->timer);
  EXPECT_TRUE(edit.Button1->isEnabled());
  EXPECT_EQ(L().subtext[3], "cue 2\r\n");
  // One long line is one line.
  edit.r_subedit->setPlainText(QString(400, QLatin1Char('w')));
  edit.Button1Click();
  EXPECT_EQ(L().subtext[3], std::string(400, 'w') + "\r\n");
  EXPECT_TRUE(host->timer);
}

TEST_F(SubWindow, EditAfterAnotherLoadIsRefused) {
  edit.editset(199);
  host->load(3);
  edit.r_subedit->setPlainText(QStringLiteral("new"));
  edit.Button1Click();
  EXPECT_EQ(host->recounts, 0);
  ASSERT_FALSE(host->messages.empty());
  for (const auto& t : L().subtext) EXPECT_NE(t, "new\r\n");
}

TEST_F(SubWindow, EditSavesBothOrNeitherAndProgressSaveWritesTheSrtFirst) {
  edit.editset(3);
  edit.r_subedit->setPlainText(QString::fromUtf8("猫 Cat"));
  host->answer = QMessageBox::Yes;
  host->srtOk = false;
  edit.Button1Click();
  EXPECT_EQ(host->srtWrites, 1);
  EXPECT_EQ(host->progressWrites, 0);  // the SRT write failed
  EXPECT_TRUE(host->timer);
  EXPECT_EQ(L().subflg[3], (std::vector<int32_t>{flg_out, flg_out, flg_out, flg_hinted, flg_hinted, flg_hinted,
                                                 flg_out, flg_out}));
  // Unsaved edit: a progress-only save writes the SRT first.
  EXPECT_TRUE(edit.textUnsaved());
  host->srtOk = true;
  EXPECT_TRUE(edit.saveProgress());
  EXPECT_EQ(host->srtWrites, 2);
  EXPECT_EQ(host->progressWrites, 1);
  EXPECT_FALSE(edit.textUnsaved());
  EXPECT_TRUE(edit.saveProgress());
  EXPECT_EQ(host->srtWrites, 2);
}

// ---- the small dialogs -------------------------------------------------------------

TEST_F(SubWindow, NumberJumpGoesThroughPosplay) {
  Tf_subno no;
  no.setHost(host);
  no.e_subno->setText(QStringLiteral("1"));
  no.Button1Click();
  EXPECT_EQ(host->plays.back(), (std::pair<int32_t, ttime>{1, L().subtime[1]}));
  for (const char* bad : {"0", "101", "x"}) {
    no.e_subno->setText(QString::fromLatin1(bad));
    no.Button1Click();
    EXPECT_EQ(host->messages.back(), "ジャンプできません。字幕Noは半角数字で範囲内で指定してください");
  }
  EXPECT_EQ(host->plays.size(), 1u);
  host->medium = false;
  no.e_subno->setText(QStringLiteral("2"));
  no.Button1Click();
  EXPECT_EQ(host->plays.size(), 1u);
}

TEST_F(SubWindow, ShiftByMillisecondsFromTheDisplayedCue) {
  Tf_adjnum a;
  a.setHost(host);
  L().cursub = 9;
  a.Edit1->setText(QStringLiteral("-500"));
  a.Button1Click();
  EXPECT_EQ(host->shifts.back(), (std::pair<int32_t, ttime>{9, -5000}));
  a.Edit1->setText(QStringLiteral("abc"));
  a.Button1Click();
  EXPECT_EQ(host->messages.back(), "字幕調整に失敗しました");
  EXPECT_EQ(host->shifts.size(), 1u);
}

TEST_F(SubWindow, SceneDivisionRefreshesTheSceneColumn) {
  Tf_scenediv d;
  d.setHost(host);
  d.show();
  d.Button1Click();  // "Edit1", "Edit2"
  EXPECT_TRUE(d.isVisible());
  EXPECT_FALSE(host->messages.empty());
  L().subtime[20] = L().subtime[19] + 1000;  // a gap of 11 s after cue 10
  L().subtime[21] = L().subtime[20] + 110000;
  d.Edit1->setText(QStringLiteral("5"));
  d.Edit2->setText(QStringLiteral("0"));
  d.Button1Click();
  EXPECT_FALSE(d.isVisible());
  EXPECT_EQ(host->calls.back(), "scenes");
  EXPECT_EQ(cell(rowOf(21), kColScene), "x");
}

}  // namespace
