// A cue edited in the edit dialog over the real main window: both files are
// written and a new load brings back the text and its letter states.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mainwindow_fixture.h"
#include "player/lessonmodel.h"
#include "player/sublist/subedit.h"

namespace fs = std::filesystem;

namespace {

class SubEditRoundTrip : public tltest::MainWindowFixture {
 protected:
  void prepare() override {
    fs::create_directories(dir / "sav");
    write("a.srt",
          "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
          "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n");
  }
  // a.srt loaded and cue slot n in the dialog.
  void editCue(int n) {
    w->srtfileopen(path("a.srt"));
    edit.setHost(w->host());
    edit.editset(n);
  }
  Tf_subedit edit;
};

TEST_F(SubEditRoundTrip, EditedCueComesBackFromBothFiles) {
  editCue(3);
  edit.r_subedit->setPlainText(QStringLiteral("Go\nhome"));
  edit.Button1Click();
  tl::Lesson& l = L();
  EXPECT_FALSE(l.srtdirty);
  EXPECT_FALSE(l.flgdirty);
  std::stringstream srt;
  srt << std::ifstream(dir / "a.srt", std::ios::binary).rdbuf();
  EXPECT_NE(srt.str().find("Go\r\nhome\r\n"), std::string::npos);
  ASSERT_TRUE(fs::exists(dir / "sav" / "a.dat"));
  // A new load of the same file reads the text and its shown letters back.
  w->srtfileopen(path("a.srt"));
  EXPECT_EQ(l.subtext[3], "Go\r\nhome\r\n");
  ASSERT_EQ(l.subflg[3].size(), 10u);
  EXPECT_EQ(l.subflg[3][0], tl::flg_hinted);
  EXPECT_EQ(l.subflg[3][4], tl::flg_hinted);
  EXPECT_EQ(l.subflg[1][0], tl::flg_closed);
}

TEST_F(SubEditRoundTrip, TabMovesTheFocusAndNoTabReachesTheCue) {
  editCue(3);
  edit.r_subedit->setPlainText(QStringLiteral("Go on"));
  QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
  QApplication::sendEvent(edit.r_subedit, &tab);
  EXPECT_EQ(edit.r_subedit->toPlainText(), QStringLiteral("Go on"));
  // A tab pasted into the text is stored as a space.
  edit.r_subedit->setPlainText(QStringLiteral("Go\ton"));
  edit.Button1Click();
  EXPECT_EQ(L().subtext[3], "Go on\r\n");
}

}  // namespace
