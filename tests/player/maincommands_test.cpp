// The star, memo, skip, repair and tool commands on the main window.
#include "player/main/maincommands.h"

#include "core/cuecommands.h"
#include "platform/codepage/codepage.h"
#include "platform/shell/shell.h"
#include "player/mainwindow_fixture.h"

namespace {

using tltest::MainWindowFixture;

class Commands : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    QObject::connect(w->model(), &LessonModel::changed, [this](tl::Change c, int slot) {
      changes.push_back({c, slot});
    });
  }
  std::vector<std::pair<tl::Change, int>> changes;
};

TEST_F(Commands, StarOnlyOnACueAndRoundTripThroughTheProgressFile) {
  load(tltest::kSpacedCues);
  L().cursub = 2;  // a gap
  EXPECT_FALSE(sb_starClick(*w));
  EXPECT_FALSE(L().flgdirty);
  L().cursub = 3;
  EXPECT_TRUE(sb_starClick(*w));
  EXPECT_TRUE(L().flgdirty);
  ASSERT_FALSE(changes.empty());
  EXPECT_EQ(changes.back(), std::make_pair(tl::Change::Stars, 3));
  EXPECT_TRUE(w->subflgsave());
  w->srtfileopen(path("a.srt"));
  EXPECT_TRUE(tl::starOf(L(), 3));
  EXPECT_FALSE(tl::starOf(L(), 1));
  L().cursub = 3;
  EXPECT_TRUE(sb_starClick(*w));
  EXPECT_FALSE(tl::starOf(L(), 3));
}

TEST_F(Commands, MemoStoresOnlyChangesAndRoundTripsThroughTheMemoFile) {
  EXPECT_FALSE(Edit1Change(*w, QStringLiteral("x")));  // nothing loaded
  load(tltest::kSpacedCues);
  L().cursub = 3;
  EXPECT_FALSE(Edit1Change(*w, QString()));  // the memo it already has
  EXPECT_FALSE(L().flgdirty);
  EXPECT_TRUE(Edit1Change(*w, QString::fromUtf8("覚える go on")));
  EXPECT_TRUE(L().flgdirty);
  EXPECT_EQ(changes.back(), std::make_pair(tl::Change::Memos, 3));
  EXPECT_TRUE(w->subflgsave());
  w->srtfileopen(path("a.srt"));
  EXPECT_FALSE(L().flgdirty);
  EXPECT_EQ(QString::fromStdString(tl::cp::ansiToUtf8(tl::memoOf(L(), 3))), QString::fromUtf8("覚える go on"));
  EXPECT_EQ(tl::memoOf(L(), 1), "");
}

TEST_F(Commands, TimeRepairMarksTheSrtAndAnnouncesTiming) {
  EXPECT_FALSE(n_timecheckClick(*w));
  load("1\r\n00:00:01,000 --> 00:00:10,000\r\nA\r\n\r\n"
       "2\r\n00:00:12,000 --> 00:00:05,000\r\nB\r\n\r\n"
       "3\r\n00:00:08,000 --> 00:00:09,000\r\nC\r\n\r\n");
  EXPECT_TRUE(n_timecheckClick(*w));
  EXPECT_TRUE(std::is_sorted(L().subtime.begin(), L().subtime.end()));
  EXPECT_TRUE(L().srtdirty);
  EXPECT_EQ(changes.back().first, tl::Change::Timing);
  L().srtdirty = false;
  EXPECT_FALSE(n_timecheckClick(*w));
  EXPECT_FALSE(L().srtdirty);
}

TEST_F(Commands, SkipKeepsItsFirstSlotWhilePlaying) {
  load(tltest::kSpacedCues);
  n_cmskipClick(*w);  // no medium: nothing
  EXPECT_EQ(L().subtime[1], 10000);
  openMovie();
  player->play();
  player->setPosition(2.5);
  L().cursub = 1;  // cue 1 was heard, the position is in the gap after it
  L().possub = 2;
  player->setPositionAvailable(false);
  n_cmskipClick(*w);  // no read position: nothing
  EXPECT_EQ(L().subtime[3], 30000);
  player->setPositionAvailable(true);
  player->clearLog();
  n_cmskipClick(*w);
  EXPECT_EQ(L().adjfrom, 3);
  EXPECT_EQ(L().subtime[1], 10000);  // the cue just heard stays
  EXPECT_EQ(L().subtime[2], 20000);
  EXPECT_EQ(L().subtime[3], 180000);
  EXPECT_TRUE(L().srtdirty);
  bool seeked = false;
  for (const std::string& s : player->log()) seeked |= s == "setCurrentPosition 17.5";
  EXPECT_TRUE(seeked) << ::testing::PrintToString(player->log());
}

TEST_F(Commands, SkipInsideACueShiftsFromThatCue) {
  load(tltest::kSpacedCues);
  openMovie();
  player->setPosition(3.5);
  L().cursub = 3;
  L().possub = 3;
  n_cmskipClick(*w);
  EXPECT_EQ(L().adjfrom, 3);
  EXPECT_EQ(L().subtime[3], 180000);
  EXPECT_EQ(L().subtime[2], 20000);
}

TEST_F(Commands, FilterToolStartsBesideTheProgramAndReportsFailures) {
  tl::FakeShell shell;
  answer = QMessageBox::Cancel;
  N52Click(*w, shell, QStringLiteral("/opt/t"));
  EXPECT_TRUE(shell.started.empty());
  ASSERT_EQ(captions.size(), 1u);
  EXPECT_EQ(captions[0], "Quendle起動");
  answer = QMessageBox::Ok;
  N52Click(*w, shell, QStringLiteral("/opt/t"));
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_EQ(shell.started[0].path, "/opt/t/quendle/quendle");
  EXPECT_TRUE(shell.started[0].args.empty());
  EXPECT_TRUE(messages.empty());
  shell.result = false;
  N52Click(*w, shell, QStringLiteral("/opt/t/"));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("/opt/t/quendle/quendle"), std::string::npos);
  EXPECT_NE(messages[0].find("refused by the fake"), std::string::npos);
  // The real shell names a missing program.
  tl::DesktopShell real;
  messages.clear();
  N52Click(*w, real, QString::fromStdString(dir.string()));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("no such program"), std::string::npos);
}

TEST_F(Commands, DisplaySwitchSetsTheThreeModes) {
  tl::Options& o = w->model()->options();
  o.pausemode = true;
  o.subview = false;
  EXPECT_TRUE(sb_opendicClick(*w));
  EXPECT_FALSE(o.pausemode);
  EXPECT_TRUE(o.subopenmode && o.subview);
  EXPECT_FALSE(sb_opendicClick(*w));
  EXPECT_TRUE(o.pausemode);
  EXPECT_FALSE(o.subopenmode || o.subview);
}

TEST(MenuOverlay, CollapsesDuringMenusAndComesBack) {
  bool hidden = false;
  EXPECT_EQ(menuOverlayStep("再生中", true, true, hidden), MenuOverlay::None);
  EXPECT_EQ(menuOverlayStep("再生中 メニュー", true, false, hidden), MenuOverlay::None);
  EXPECT_EQ(menuOverlayStep("再生中 メニュー", true, true, hidden), MenuOverlay::Collapse);
  EXPECT_TRUE(hidden);
  EXPECT_EQ(menuOverlayStep("一時停止", true, true, hidden), MenuOverlay::None);
  EXPECT_EQ(menuOverlayStep("再生中", true, true, hidden), MenuOverlay::Restore);
  EXPECT_FALSE(hidden);
}

}  // namespace

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include "player/dialogs/ted.h"
#include "player/dialogs/urlopen.h"

namespace {

TEST(UrlOpen, EmptyAddressOpensNothingAndTheDialogStays) {
  Tf_urlopen u;
  std::vector<std::string> opened;
  u.openMovie = [&](const std::string& url) { opened.push_back(url); };
  u.show();
  auto* edit = u.findChild<QLineEdit*>(QStringLiteral("Edit1"));
  auto* button = u.findChild<QPushButton*>(QStringLiteral("Button1"));
  ASSERT_TRUE(edit && button);
  edit->setText("   ");
  button->click();
  EXPECT_TRUE(opened.empty());
  edit->setText(" http://example.org/a.mp4 ");
  button->click();
  EXPECT_EQ(opened, std::vector<std::string>{"http://example.org/a.mp4"});
  EXPECT_TRUE(u.isVisible());

  // Enter in the edit opens the address once.
  opened.clear();
  edit->setFocus();
  QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"));
  QApplication::sendEvent(edit, &press);
  EXPECT_EQ(opened, std::vector<std::string>{"http://example.org/a.mp4"});
}

TEST(Ted, SampleRow) {
  Tf_ted t;
  const QAbstractItemModel* m = t.grid()->model();
  ASSERT_EQ(m->rowCount(), 1);
  EXPECT_TRUE(m->index(0, 0).data().toString().isEmpty());
  EXPECT_FALSE(m->index(0, 1).data().toString().isEmpty());
  EXPECT_EQ(t.grid()->columnWidth(0), 106);
}

}  // namespace
