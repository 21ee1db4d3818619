#include "core/settings.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>

#include "core/recentfiles.h"
#include "platform/registry/registry.h"
#include "support/tempfolder.h"

namespace {

using tl::Settings;
using tl::TotalTime;
using tl::ReadTotaltime;
using tl::mayStoreTotaltime;
using tl::kMsgTotaltimeUnreadable;
namespace reg = tl::reg;

const std::string kOpt = "Software\\Tallisen\\option";
const std::string kView = "Software\\Tallisen\\view";

// Every value of the settings sections as "section/name" -> text.
std::map<std::string, std::string> dump(const reg::Hive& h) {
  std::map<std::string, std::string> m;
  for (const char* sec : {"option", "window", "view", "onereg", "file"}) {
    const std::string key = std::string("Software\\Tallisen\\") + sec;
    for (const auto& n : h.valueNames(key)) {
      auto v = h.value(key, n);
      EXPECT_EQ(v->type, reg::Type::String) << n;
      m[std::string(sec) + "/" + n] = v->data;
    }
  }
  return m;
}

TEST(Settings, EmptyHiveGivesEveryDefault) {
  reg::Hive h;
  Settings s;
  std::vector<std::string> msgs;
  tl::ReadEnv(h, s, &msgs);
  EXPECT_TRUE(msgs.empty());
  const Settings d;
  EXPECT_EQ(s.x, 1);
  EXPECT_FALSE(s.opt.hintmode);
  EXPECT_TRUE(s.opt.pausemode);
  EXPECT_TRUE(s.opt.notclearpause);
  EXPECT_EQ(s.opt.backmore, 1000);
  EXPECT_EQ(s.opt.tinterval, 50);
  EXPECT_TRUE(tl::timerTicks(s.opt.tinterval));
  EXPECT_EQ(s.opt.codepage, 28591);
  EXPECT_EQ(s.size, 16);
  EXPECT_EQ(s.ssize, 10);
  EXPECT_EQ(s.gfsize, 240000);
  EXPECT_EQ(s.gfssize, 160000);
  EXPECT_EQ(s.PaintBoxs1, 24);
  EXPECT_EQ(s.panel1, 150);
  EXPECT_EQ(s.vlm, 50);
  EXPECT_TRUE(s.opt.xp);
  EXPECT_FALSE(s.opt.win7);
  EXPECT_FALSE(s.tpx.has_value());
  EXPECT_FALSE(s.tpy.has_value());
  EXPECT_EQ(s.FSize, 8);
  EXPECT_EQ(s.RHeight, 13);
  EXPECT_EQ(s.CWidth, d.CWidth);
  EXPECT_EQ(tl::defaultTpx(803), 200);
  EXPECT_EQ(tl::defaultTpy(601, 150), 225);
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 0);
  EXPECT_FALSE(h.keyExists("Software\\Tallisen\\option"));  // reading creates nothing
}

TEST(Settings, RoundTripOfEveryValue) {
  Settings s;
  tl::Options& o = s.opt;
  // Dictation mode, so that the mode rules leave the pause flags alone.
  o.hintmode = o.giveup = true;
  o.pausemode = false;
  o.soundmode = o.notclearpause = o.orgsize = o.nextsubplus = false;
  o.autocopy = true;
  o.adjcrt = false;
  o.backmore = 2500;
  o.tinterval = 120;
  o.codepage = 932;
  s.x = 77;
  s.size = 20;
  s.ssize = 12;
  s.gfsize = 245000;
  s.gfssize = 123456;
  s.PaintBoxs1 = 30;
  s.panel1 = 200;
  s.vlm = 0;
  s.wmpwidth = 640;
  s.wmpheight = 480;
  o.outline = o.bold = o.xcenter = o.panelsub = o.gpresub = o.gnextsub = o.prenextsub = false;
  o.speedvis = true;
  o.focusbar = o.playwav = false;
  o.recwav = true;
  o.gsubno = o.xp = false;
  o.win7 = true;
  o.dispsub = false;
  o.gtssnt = o.gtsword = false;
  o.jaclose = true;
  s.tpx = -5;
  s.tpy = 321;
  s.prewid = 800;
  s.prehigh = 450;
  s.FSize = 11;
  s.RHeight = 20;
  s.CWidth = {1, 2, 3, 4, 5, 6, 7};

  reg::Hive h1;
  tl::WriteEnv(h1, s);
  Settings t;
  std::vector<std::string> msgs;
  tl::ReadEnv(h1, t, &msgs);
  EXPECT_TRUE(msgs.empty());
  // Four values are written only; they come from the windows at each save.
  EXPECT_EQ(t.prewid, 0);
  EXPECT_EQ(t.wmpwidth, 0);
  t.prewid = s.prewid;
  t.prehigh = s.prehigh;
  t.wmpwidth = s.wmpwidth;
  t.wmpheight = s.wmpheight;
  reg::Hive h2;
  tl::WriteEnv(h2, t);
  auto a = dump(h1), b = dump(h2);
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.size(), 19u + 5 + 19 + 6 + 7);
  EXPECT_EQ(a["option/hintmode"], "1");
  EXPECT_EQ(a["option/pausemode"], "0");
  EXPECT_EQ(a["option/gfsize"], "245000");
  EXPECT_EQ(a["view/7"], "1");
  EXPECT_EQ(a["view/tpx"], "-5");
  EXPECT_EQ(t.tpy, 321);
  EXPECT_EQ(t.CWidth, s.CWidth);
  EXPECT_EQ(t.opt.codepage, 932);
  EXPECT_EQ(t.opt.backmore, 2500);
}

TEST(Settings, ZeroPanelHeightIsStoredAsDefaultAZeroMarginAsZero) {
  Settings s;
  s.PaintBoxs1 = 0;
  s.panel1 = 0;
  reg::Hive h;
  tl::WriteEnv(h, s);
  auto m = dump(h);
  EXPECT_EQ(m["window/PaintBoxs1"], "0");
  Settings t;
  tl::ReadEnv(h, t);
  EXPECT_EQ(t.PaintBoxs1, 0);
  EXPECT_EQ(m["window/panel1"], "150");
  EXPECT_EQ(m.count("view/tpx"), 0u);  // no position known: none written
}

TEST(Settings, DisplayModesFollowTheRadioRules) {
  reg::Hive h;
  h.setString(kOpt, "pausemode", "1");
  h.setString(kOpt, "notclearpause", "1");
  h.setString(kOpt, "subopenmode", "1");
  Settings s;
  tl::ReadEnv(h, s);
  EXPECT_TRUE(s.opt.subopenmode);
  EXPECT_FALSE(s.opt.pausemode);     // cleared by the newly selected mode
  EXPECT_TRUE(s.opt.notclearpause);  // read again after the modes
  // Already selected: no click, the stored pause flag stays.
  tl::ReadEnv(h, s);
  EXPECT_TRUE(s.opt.pausemode);

  h.setString(kOpt, "subview", "1");
  Settings u;
  tl::ReadEnv(h, u);
  EXPECT_TRUE(u.opt.subview);
  EXPECT_FALSE(u.opt.subopenmode);
}

TEST(Settings, NonNumericEmptyAndOutOfRangeValues) {
  reg::Hive h;
  h.setString(kOpt, "hintmode", "5");
  h.setString(kOpt, "pausemode", "abc");
  h.setString(kOpt, "x", "1.5");
  h.setString(kOpt, "backmore", "");
  h.setString(kOpt, "tinterval", "99999999999");
  h.setString(kOpt, "size", "0");
  h.setString(kOpt, "ssize", "  ");
  h.setString(kOpt, "gfsize", "-240000");
  h.setString(kOpt, "codepage", "932x");
  h.setString(kView, "tpx", "12a");
  h.setString(kView, "tpy", "-2147483648");
  h.setString(kView, "CWidth2", "300");  // a later value still loads
  h.setString("Software\\Tallisen\\window", "vlm", "150");
  Settings s;
  std::vector<std::string> msgs;
  tl::ReadEnv(h, s, &msgs);
  EXPECT_TRUE(s.opt.hintmode);
  EXPECT_TRUE(s.opt.pausemode);
  EXPECT_EQ(s.x, 1);
  EXPECT_EQ(s.opt.backmore, 1000);
  EXPECT_EQ(s.opt.tinterval, 50);
  EXPECT_EQ(s.size, 16);
  EXPECT_EQ(s.ssize, 10);
  EXPECT_EQ(s.gfsize, 240000);
  EXPECT_EQ(s.opt.codepage, 28591);
  EXPECT_FALSE(s.tpx.has_value());
  EXPECT_FALSE(s.tpy.has_value());
  EXPECT_EQ(s.CWidth[2], 300);
  EXPECT_EQ(s.vlm, 100);  // the bar's end
  ASSERT_EQ(msgs.size(), 2u);  // the two edit-box values
  EXPECT_EQ(msgs[0], "'' is not a valid integer value");
  EXPECT_EQ(msgs[1], "'99999999999' is not a valid integer value");
}

TEST(Settings, IntervalZeroOrLessStopsTheTimer) {
  reg::Hive h;
  h.setString(kOpt, "tinterval", "0");
  Settings s;
  tl::ReadEnv(h, s);
  EXPECT_EQ(s.opt.tinterval, 0);
  EXPECT_FALSE(tl::timerTicks(s.opt.tinterval));
  h.setString(kOpt, "tinterval", "-3");
  tl::ReadEnv(h, s);
  EXPECT_FALSE(tl::timerTicks(s.opt.tinterval));
}

TEST(Settings, ValueOfAnotherTypeIsReportedAndLoadingGoesOn) {
  reg::Hive h;
  h.setDWord(kOpt, "hintmode", 1);
  h.setBinary(kOpt, "backmore", "\x01\x02");
  h.setString(kOpt, "giveup", "1");
  h.setString(kView, "FSize", "12");
  Settings s;
  std::vector<std::string> msgs;
  tl::ReadEnv(h, s, &msgs);
  EXPECT_FALSE(s.opt.hintmode);
  EXPECT_EQ(s.opt.backmore, 1000);
  EXPECT_TRUE(s.opt.giveup);
  EXPECT_EQ(s.FSize, 12);
  ASSERT_EQ(msgs.size(), 2u);
  EXPECT_NE(msgs[0].find("Invalid data type for 'hintmode'"), std::string::npos);
  EXPECT_NE(msgs[1].find("'backmore'"), std::string::npos);
}

TEST(Settings, FixedPointFontSizes) {
  EXPECT_EQ(tl::parseFixed4("24.5"), 245000);
  EXPECT_EQ(tl::parseFixed4("24.3"), 243000);  // exact, no binary rounding
  EXPECT_EQ(tl::parseFixed4("0.29"), 2900);
  EXPECT_EQ(tl::parseFixed4("24.123456"), 241234);
  EXPECT_EQ(tl::parseFixed4(" 16 "), 160000);
  EXPECT_EQ(tl::parseFixed4("2.45e1"), 245000);
  EXPECT_EQ(tl::parseFixed4("2450E-2"), 245000);
  EXPECT_EQ(tl::parseFixed4("24."), 240000);
  EXPECT_EQ(tl::parseFixed4(".5"), 5000);
  for (const char* bad : {"", "abc", "inf", "nan", "1e400", "1e-400", "-3", "0", "0.00001", "501",
                          "99999999999999999999", "24,5", "1e", "--1"})
    EXPECT_FALSE(tl::parseFixed4(bad).has_value()) << bad;
  EXPECT_EQ(tl::fixed4ToText(245000), "24.5");
  EXPECT_EQ(tl::fixed4ToText(240000), "24");
  EXPECT_EQ(tl::fixed4ToText(241234), "24.1234");
  EXPECT_EQ(tl::fixed4ToText(5), "0.0005");
}

TEST(Settings, CodePageOfListEntries) {
  EXPECT_EQ(tl::codepageOfEntry("28591 西ヨーロッパ言語 (ISO) iso-8859-1 （デフォルト）"), 28591);
  EXPECT_EQ(tl::codepageOfEntry("932   日本語 (シフト JIS) shift_jis "), 932);
  EXPECT_EQ(tl::codepageOfEntry("1200  Unicode utf-16 "), 1200);
  EXPECT_EQ(tl::codepageOfEntry("00000 変換しない"), 0);
  EXPECT_EQ(tl::codepageOfEntry("932"), 932);
  EXPECT_FALSE(tl::codepageOfEntry("日本語932").has_value());
  EXPECT_FALSE(tl::codepageOfEntry("").has_value());
  EXPECT_FALSE(tl::codepageOfEntry("abc").has_value());
}

TEST(Settings, TotaltimeIn64BitsAndOldWrappedValues) {
  reg::Hive h;
  const int64_t big = 5'000'000'000;  // beyond 32 bits
  EXPECT_TRUE(tl::WriteEnvOne(h, "totaltime", big));
  std::string text;
  ASSERT_TRUE(h.getString("Software\\Tallisen\\onereg", "totaltime", text));
  EXPECT_EQ(text, "5000000000");
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), big);
  h.setString("Software\\Tallisen\\onereg", "totaltime", "123456");
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 123456);
  // Written by a 32-bit counter that wrapped: read as its unsigned value.
  h.setString("Software\\Tallisen\\onereg", "totaltime", "-294967296");
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 4'000'000'000);
  h.setString("Software\\Tallisen\\onereg", "totaltime", "abc");
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 0);
  h.setDWord("Software\\Tallisen\\onereg", "totaltime", 7);
  std::vector<std::string> msgs;
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime", &msgs), 0);
  EXPECT_EQ(msgs.size(), 1u);
}

TEST(Settings, UnreadableTotaltimeIsReportedAndKept) {
  reg::Hive h;
  std::vector<std::string> msgs;
  TotalTime t = ReadTotaltime(h, &msgs);
  EXPECT_EQ(t.ms, 0);
  EXPECT_TRUE(mayStoreTotaltime(t));  // never stored: the first run stores it
  EXPECT_TRUE(msgs.empty());
  h.setString("Software\\Tallisen\\onereg", "totaltime", "-294967296");
  t = ReadTotaltime(h, &msgs);
  EXPECT_EQ(t.ms, 4'000'000'000);
  EXPECT_TRUE(mayStoreTotaltime(t));
  for (const char* bad : {"abc", "", "12h", "99999999999999999999", "9223372036854775807"}) {
    msgs.clear();
    h.setString("Software\\Tallisen\\onereg", "totaltime", bad);
    t = ReadTotaltime(h, &msgs);
    EXPECT_FALSE(mayStoreTotaltime(t)) << bad;
    ASSERT_EQ(msgs.size(), 1u) << bad;
    EXPECT_EQ(msgs[0], kMsgTotaltimeUnreadable);
  }
  msgs.clear();
  h.setDWord("Software\\Tallisen\\onereg", "totaltime", 7);
  EXPECT_TRUE(ReadTotaltime(h, &msgs).unreadable);
  EXPECT_FALSE(msgs.empty());
}

TEST(Settings, CorruptHiveGivesDefaultsAndIsNotOverwritten) {
  tl::test::TempFolder dir("tl-settings");
  const std::string path = dir.file("user.hive");
  const std::string garbage = "\x01\x02 not a hive \xff";
  { std::ofstream(path, std::ios::binary) << garbage; }
  reg::Hive h(path);
  std::string msg;
  EXPECT_FALSE(tl::loadHive(h, &msg));
  EXPECT_NE(msg.find(path), std::string::npos);
  Settings s;
  tl::ReadEnv(h, s);
  EXPECT_EQ(s.opt.backmore, 1000);
  tl::WriteEnv(h, s);
  EXPECT_FALSE(tl::saveHive(h, &msg));
  EXPECT_NE(msg.find("設定を保存できませんでした"), std::string::npos);
  std::ifstream in(path, std::ios::binary);
  std::string now((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(now, garbage);
}

TEST(Settings, SaveIntoAnImpossiblePlaceReportsFailure) {
  tl::test::TempFolder dir("tl-settings");
  const std::string blocker = dir.file("file");
  { std::ofstream(blocker) << "x"; }
  reg::Hive h(blocker + "/user.hive");  // parent is a plain file
  h.load();
  tl::WriteEnv(h, Settings{});
  std::string msg;
  EXPECT_FALSE(tl::saveHive(h, &msg));
  EXPECT_FALSE(msg.empty());
}

// Waits for two writer processes; true when both succeeded.
bool bothSucceeded(pid_t a, pid_t b) {
  int sa = 0, sb = 0;
  waitpid(a, &sa, 0);
  waitpid(b, &sb, 0);
  return WIFEXITED(sa) && WEXITSTATUS(sa) == 0 && WIFEXITED(sb) && WEXITSTATUS(sb) == 0;
}

// Two processes save the same hive file at once: one the settings, the other
// the recent files and the running time.  Nothing of either may be lost.
TEST(Settings, TwoProcessesWritingAtOnceLoseNothing) {
  tl::test::TempFolder dir("tl-settings");
  const std::string path = dir.file("user.hive");
  Settings mine;
  mine.opt.backmore = 4321;
  mine.CWidth[6] = 99;
  const std::vector<std::string> files = {"/a/one.avi", "/b/two & three.srt"};
  constexpr int kRounds = 30;

  pid_t a = fork();
  if (a == 0) {
    bool ok = true;
    for (int i = 0; i < kRounds; ++i) {
      reg::Hive h(path);
      ok = h.load() && ok;
      Settings s = mine;
      s.x = i;
      tl::WriteEnv(h, s);
      ok = tl::saveHive(h, nullptr) && ok;
    }
    _exit(ok ? 0 : 1);
  }
  pid_t b = fork();
  if (b == 0) {
    bool ok = true;
    for (int i = 0; i < kRounds; ++i) {
      reg::Hive h(path);
      ok = h.load() && ok;
      ok = tl::WriteFile(h, files) && ok;
      ok = tl::WriteEnvOne(h, "totaltime", 1000 + i) && ok;
    }
    _exit(ok ? 0 : 1);
  }
  ASSERT_TRUE(bothSucceeded(a, b));

  reg::Hive h(path);
  ASSERT_TRUE(h.load());
  Settings s;
  tl::ReadEnv(h, s);
  EXPECT_EQ(s.x, kRounds - 1);
  EXPECT_EQ(s.opt.backmore, 4321);
  EXPECT_EQ(s.CWidth[6], 99);
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 1000 + kRounds - 1);
  auto list = tl::ReadFile(h);
  EXPECT_EQ(list[0], files[0]);
  EXPECT_EQ(list[1], files[1]);
}

// Two programs started on one settings file end at the same moment, each
// having changed one setting, studied a while and opened a file.  Each stores
// only its own change, adds its own time and merges its file: nothing of the
// other is undone.
TEST(Settings, TwoProgramsEndingTogetherUndoNothingOfEachOther) {
  tl::test::TempFolder dir("tl-settings");
  const std::string path = dir.file("user.hive");
  {
    reg::Hive h(path);
    Settings s;
    s.x = 7;
    tl::WriteEnv(h, s);
    ASSERT_TRUE(tl::WriteFile(h, {"/old.avi"}));
    ASSERT_TRUE(tl::WriteEnvOne(h, "totaltime", 5000));
  }
  // Both start before either ends.
  reg::Hive ha(path), hb(path);
  ASSERT_TRUE(ha.load());
  ASSERT_TRUE(hb.load());
  Settings ba, bb;
  tl::ReadEnv(ha, ba);
  tl::ReadEnv(hb, bb);
  auto end = [&](reg::Hive& h, const Settings& base, void (*change)(Settings&), int64_t ms,
                 const std::string& opened) {
    Settings s = base;
    s.x += 1;
    change(s);
    const bool ok = tl::WriteEnvChanged(h, s, base, nullptr) && tl::addTotaltime(h, ms) &&
                    tl::WriteFileMerged(h, {opened});
    _exit(ok ? 0 : 1);
  };
  const pid_t a = fork();
  if (a == 0) end(ha, ba, [](Settings& s) { s.opt.soundmode = false; }, 10000, "/a.srt");
  const pid_t b = fork();
  if (b == 0) end(hb, bb, [](Settings& s) { s.vlm = 80; }, 7000, "/b.avi");
  ASSERT_TRUE(bothSucceeded(a, b));

  reg::Hive h(path);
  ASSERT_TRUE(h.load());
  Settings s;
  tl::ReadEnv(h, s);
  EXPECT_FALSE(s.opt.soundmode);
  EXPECT_EQ(s.vlm, 80);
  EXPECT_EQ(s.x, 9);
  EXPECT_EQ(tl::ReadEnvOne(h, "totaltime"), 22000);
  auto list = tl::ReadFile(h);
  list.resize(3);
  std::sort(list.begin(), list.begin() + 2);
  EXPECT_EQ(list, (std::vector<std::string>{"/a.srt", "/b.avi", "/old.avi"}));
}

}  // namespace
