// The main window keeps the learner's timing, files and study time: a saved
// shift is applied once, questions guard the reset, the timer follows the
// settings, failed writes keep the window open.
#include <gtest/gtest.h>

#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <cstring>
#include <limits>

#include "core/progressfile.h"
#include "core/settings.h"
#include "core/timing.h"
#include "support/mainaccess.h"
#include "mainwindow_fixture.h"

namespace {

namespace fs = std::filesystem;
using A = MainTestAccess;

const char* kCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n";

class KeepWorkTest : public tltest::MainWindowFixture {
 protected:
  tl::Options& opt() { return w->model()->options(); }
  bool asked(const char* q) const { return std::find(questions.begin(), questions.end(), q) != questions.end(); }
  bool shown(const std::string& part) const {
    return std::any_of(messages.begin(), messages.end(),
                       [&](const std::string& m) { return m.find(part) != std::string::npos; });
  }
  void settings(int32_t tinterval) {
    tl::Settings s;
    w->collectSettings(s);
    s.opt.tinterval = tinterval;
    w->applySettings(s);
  }
};

TEST_F(KeepWorkTest, SavedShiftIsAppliedOnceAcrossRuns) {
  load(kCues);
  const tl::ttime cue1 = L().subtime[1];
  // Run 1: a whole-table shift of +5 s goes into the progress file.
  opt().adjcrt = false;
  w->adjshift(50000);
  ASSERT_TRUE(w->subflgsave());
  // Run 2: the saved shift is accepted (the SRT is marked changed with
  // adjcrt on), written to the SRT, and the progress question declined.
  opt().adjcrt = true;
  L().flgdirty = L().srtdirty = false;
  answer = QMessageBox::Yes;
  w->srtfileopen(path("a.srt"));
  ASSERT_TRUE(asked(tl::kAskAdjust));
  EXPECT_EQ(L().subtime[1], cue1 + 50000);
  ASSERT_TRUE(L().srtdirty);
  ASSERT_TRUE(w->srtsav());
  EXPECT_EQ(L().adjsaved, 0);
  // Run 3: the reload asks to save the progress ("No"); no shift is offered
  // and cue 1 starts 5 s later, not 10 s.
  questions.clear();
  answer = QMessageBox::No;
  w->srtfileopen(path("a.srt"));
  EXPECT_FALSE(asked(tl::kAskAdjust));
  EXPECT_EQ(L().subtime[1], cue1 + 50000);
  EXPECT_EQ(L().adjsaved, 0);
}

TEST_F(KeepWorkTest, AcceptedShiftFollowsTheUsersAdjcrt) {
  load(kCues);
  const tl::ttime cue2 = L().subtime[3];
  opt().adjcrt = false;
  w->adjshift(20000);
  ASSERT_TRUE(w->subflgsave());
  L().flgdirty = false;
  answer = QMessageBox::Yes;
  w->srtfileopen(path("a.srt"));
  ASSERT_TRUE(asked(tl::kAskAdjust));
  EXPECT_EQ(L().subtime[3], cue2 + 20000);
  // With adjcrt off the progress holds the shift, the SRT is not changed.
  EXPECT_FALSE(L().srtdirty);
  EXPECT_TRUE(L().flgdirty);
}

TEST_F(KeepWorkTest, TimingResetAsksFirst) {
  load(kCues);
  w->adjshift(30000);
  const tl::ttime shifted = L().subtime[1];
  answer = QMessageBox::No;
  A::n_adjresetClick(*w);
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], tl::kAskAdjReset);
  EXPECT_EQ(captions[0], tl::kAskAdjResetCaption);
  EXPECT_EQ(L().subtime[1], shifted);
  answer = QMessageBox::Yes;
  A::n_adjresetClick(*w);
  EXPECT_NE(L().subtime[1], shifted);
}

TEST_F(KeepWorkTest, TimerFollowsTheIntervalSetting) {
  // Nothing loaded: a positive interval does not start the timer.
  settings(40);
  EXPECT_FALSE(w->mainTimerEnabled());
  load(kCues);
  EXPECT_TRUE(w->mainTimerEnabled());
  settings(0);
  EXPECT_FALSE(w->mainTimerEnabled());
  settings(30);
  EXPECT_TRUE(w->mainTimerEnabled());
  EXPECT_EQ(A::Timer1(*w)->interval(), 30);
}

TEST_F(KeepWorkTest, UnreadableStudyTimeIsReportedAndKept) {
  hive.setString("Software\\Tallisen\\onereg", "totaltime", "12x");
  std::vector<std::string> shownHere;
  MainDeps d = deps();
  d.showMessage = [&](const QString& t, const QString&) { shownHere.push_back(t.toStdString()); };
  {
    Tf_main m(std::move(d));
    now += 1500;
    m.close();
  }
  EXPECT_NE(std::find(shownHere.begin(), shownHere.end(), tl::kMsgTotaltimeUnreadable), shownHere.end());
  std::string t;
  ASSERT_TRUE(hive.getString("Software\\Tallisen\\onereg", "totaltime", t));
  EXPECT_EQ(t, "12x");
}

TEST_F(KeepWorkTest, FailedSrtWriteAtCloseKeepsTheWindowOpen) {
  load(kCues);
  w->adjshift(10000);
  ASSERT_TRUE(L().srtdirty);
  // A read-only SRT is not replaced.
  fs::permissions(path("a.srt"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  answer = QMessageBox::Yes;
  const bool closed = w->close();
  EXPECT_FALSE(closed);
  EXPECT_TRUE(shown("字幕の保存に失敗しました[" + path("a.srt") + "]"));
  EXPECT_TRUE(L().srtdirty);
}

TEST_F(KeepWorkTest, OutOfRangeSavedShiftIsReported) {
  load(kCues);
  opt().adjcrt = false;
  w->adjshift(10000);
  ASSERT_TRUE(w->subflgsave());
  // The adjustment field follows the letter states and the total.
  const std::string sav = L().savpath;
  std::string bytes;
  {
    std::ifstream in(sav, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  const size_t at = 4 * (size_t)tl::progressStateCount(L()) + 4;
  ASSERT_LE(at + 8, bytes.size());
  const int64_t huge = std::numeric_limits<int64_t>::max();
  std::memcpy(&bytes[at], &huge, 8);
  std::ofstream(sav, std::ios::binary | std::ios::trunc) << bytes;
  L().flgdirty = false;
  w->srtfileopen(path("a.srt"));
  EXPECT_FALSE(asked(tl::kAskAdjust));
  EXPECT_TRUE(shown(tl::kMsgAdjustOutOfRange));
}

}  // namespace
