// A cue edited in the edit dialog over the real main window: both files are
// written and a new load brings back the text and its letter states.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "mainwindow_fixture.h"
#include "player/lessonmodel.h"
#include "player/subedit.h"
#include "player/windowset.h"

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
};

TEST_F(SubEditRoundTrip, EditedCueComesBackFromBothFiles) {
  w->srtfileopen(path("a.srt"));
  Tf_subedit edit;
  edit.setMain(w.get());
  edit.editset(3);
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

class SubEditInTheSet : public SubEditRoundTrip {
 protected:
  SubEditInTheSet() { withWindows = true; }
  std::string srt() const {
    std::stringstream s;
    s << std::ifstream(dir / "a.srt", std::ios::binary).rdbuf();
    return s.str();
  }
};

TEST_F(SubEditInTheSet, ProgressSaveAfterADeclinedEditAsksForBothFiles) {
  w->srtfileopen(path("a.srt"));
  const std::string file = srt();
  Tf_subedit& edit = *ws->f_subedit;
  edit.editset(3);
  edit.r_subedit->setPlainText(QStringLiteral("Go home"));
  answer = QMessageBox::No;
  edit.Button1Click();
  // "進捗保存" says that the SRT goes too; No writes neither file.
  questions.clear();
  w->a_saveExecute();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("字幕ファイルも上書き保存"), std::string::npos);
  EXPECT_EQ(srt(), file);
  EXPECT_FALSE(fs::exists(dir / "sav" / "a.dat"));
  // The study history's question says so as well; Yes writes both.
  questions.clear();
  answer = QMessageBox::Yes;
  w->action("n_rireki")->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("字幕ファイルも上書き保存"), std::string::npos);
  EXPECT_NE(srt().find("Go home\r\n"), std::string::npos);
  EXPECT_TRUE(fs::exists(dir / "sav" / "a.dat"));
}

}  // namespace
