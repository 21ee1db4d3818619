// Two main windows of one user on one settings file: the one that closes last
// must not undo what the other stored.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QSlider>

#include "core/recentfiles.h"
#include "core/settings.h"
#include "mainwindow_fixture.h"
#include "player/dialogs/option.h"
#include "support/mainaccess.h"

namespace {

using A = MainTestAccess;

class TwoWindowsTest : public tltest::MainWindowFixture {
 protected:
  TwoWindowsTest() { makeAtSetUp = false; }
  // A whole program's windows over their own hive object on `file`.
  std::unique_ptr<WindowSet> start(tl::reg::Hive& h) {
    EXPECT_TRUE(h.load());
    MainDeps d = deps();
    d.hive = &h;
    auto set = std::make_unique<WindowSet>(std::move(d));
    set->main()->resize(640, 480);
    return set;
  }
  std::string stored(const std::string& section, const std::string& name) {
    tl::reg::Hive h(file);
    std::string s;
    return h.load() && h.getString("Software\\Tallisen\\" + section, name, s) ? s : "<none>";
  }
  std::string file;
};

TEST_F(TwoWindowsTest, TheWindowClosingLastKeepsWhatTheOtherStored) {
  file = path("user.hive");
  {
    tl::reg::Hive h(file);
    ASSERT_TRUE(tl::WriteEnvOne(h, "totaltime", 5000));
  }
  tl::reg::Hive ha(file), hb(file);
  auto a = start(ha);
  auto b = start(hb);
  const uint32_t t0 = now;

  // A: the clear sound off in the dialog, the bold mark off, a lesson opened.
  a->f_option->c_soundmode->setChecked(false);
  a->main()->action("n_bold")->trigger();
  write("a.srt", tltest::kThreeCues);
  a->main()->srtfileopen(path("a.srt"));
  // B: louder, and a movie opened after A's lesson.
  A::t_vlm(*b->main())->setValue(80);
  write("b.mkv", "");
  b->main()->movfileopen(path("b.mkv"));

  now = t0 + 10000;
  a->main()->close();
  now = t0 + 25000;
  b->main()->close();

  EXPECT_EQ(stored("option", "soundmode"), "0");
  EXPECT_EQ(stored("view", "bold"), "0");
  EXPECT_EQ(stored("window", "vlm"), "80");
  EXPECT_EQ(stored("option", "x"), "3");  // both starts counted
  EXPECT_EQ(stored("onereg", "totaltime"), "40000");
  tl::reg::Hive h(file);
  ASSERT_TRUE(h.load());
  const auto list = tl::ReadFile(h);
  EXPECT_EQ(list[0], path("b.mkv"));
  EXPECT_EQ(list[1], path("a.srt"));
  EXPECT_TRUE(messages.empty()) << messages.front();
}

}  // namespace
