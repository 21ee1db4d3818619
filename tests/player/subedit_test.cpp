// A cue edited in the edit dialog over the real main window: both files are
// written and a new load brings back the text and its letter states.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPlainTextEdit>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/media/fakeplayer.h"
#include "platform/registry/registry.h"
#include "platform/sound/soundplayer.h"
#include "platform/wavein/fakewavein.h"
#include "player/lessonmodel.h"
#include "player/main.h"
#include "player/subedit.h"

namespace fs = std::filesystem;

namespace {

TEST(SubEditRoundTrip, EditedCueComesBackFromBothFiles) {
  const fs::path dir = fs::temp_directory_path() / ("tl_subedit_" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sav");
  std::ofstream(dir / "a.srt", std::ios::binary) << "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
                                                    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n";
  tl::reg::Hive hive;
  tl::FakeSoundPlayer sound;
  std::vector<std::string> messages;
  MainDeps d;
  d.player = std::make_unique<tl::FakePlayer>();
  d.hive = &hive;
  d.sound = &sound;
  d.exedir = dir.string() + "/";
  d.showMessage = [&](const QString& t, const QString&) { messages.push_back(t.toStdString()); };
  d.ask = [](const QString&, const QString&, int) { return (int)QMessageBox::Yes; };
  d.waveDevice = [] { return std::make_unique<tl::wavein::FakeWaveIn>(); };
  {
    Tf_main w(std::move(d));
    w.srtfileopen((dir / "a.srt").string());
    Tf_subedit edit;
    edit.setMain(&w);
    edit.editset(3);
    edit.r_subedit->setPlainText(QStringLiteral("Go\nhome"));
    edit.Button1Click();
    tl::Lesson& l = w.model()->lesson();
    EXPECT_FALSE(l.srtdirty);
    EXPECT_FALSE(l.flgdirty);
    std::stringstream srt;
    srt << std::ifstream(dir / "a.srt", std::ios::binary).rdbuf();
    EXPECT_NE(srt.str().find("Go\r\nhome\r\n"), std::string::npos);
    ASSERT_TRUE(fs::exists(dir / "sav" / "a.dat"));
    // A new load of the same file reads the text and its shown letters back.
    w.srtfileopen((dir / "a.srt").string());
    EXPECT_EQ(l.subtext[3], "Go\r\nhome\r\n");
    ASSERT_EQ(l.subflg[3].size(), 10u);
    EXPECT_EQ(l.subflg[3][0], tl::flg_hinted);
    EXPECT_EQ(l.subflg[3][4], tl::flg_hinted);
    EXPECT_EQ(l.subflg[1][0], tl::flg_closed);
    l.flgdirty = l.srtdirty = false;
  }
  fs::remove_all(dir);
}

}  // namespace
