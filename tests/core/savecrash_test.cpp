// Saves interrupted at any moment, and saves onto a full disk: every file is
// afterwards its complete old or its complete new content.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <functional>
#include <map>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/commitjournal.h"
#include "core/progressfile.h"
#include "core/srtread.h"
#include "core/srtwrite.h"
#include "platform/paths/files.h"
#include "platform/registry/registry.h"
#include "support/tempfolder.h"

namespace tl {
namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& p) {
  std::string s;
  paths::readFile(p, s);
  return s;
}

struct Folder : test::TempFolder {
  Folder() : TempFolder("tl-savecrash") {}
};

// One of two versions of a lesson; each file it saves differs between them
// all through (so a mix of the two would show).
// The SRT of a version, loaded with the progress and memo files there are.
Lesson loaded(const std::string& dir, int v) {
  Lesson l;
  std::string srt;
  for (int k = 1; k <= 200; ++k)
    srt += std::to_string(k) + "\r\n00:00:" + (k < 10 ? "0" : "") + std::to_string(k % 60) +
           ",000 --> 00:01:00,000\r\n" + (v ? "Version two, cue " : "Version one, cue ") + std::to_string(k) +
           "\r\n\r\n";
  EXPECT_TRUE(loadSrtBytes(srt, dir + "/lesson.srt", 0, dir + "/", l).ok);
  subflgload(l);
  return l;
}

Lesson version(const std::string& dir, int v) {
  Lesson l = loaded(dir, v);
  for (auto& s : l.substar) s = v;
  for (auto& m : l.submemo) m = v ? "memo B" : "memo A, longer";
  l.flgdirty = true;
  l.srtdirty = true;
  return l;
}

void saveAll(const std::string& dir, int v) {
  Lesson l = version(dir, v);
  ASSERT_TRUE(subflgsave(l).ok);
  ASSERT_TRUE(srtsav(l).ok);
  reg::Hive h(dir + "/user.hive");
  ASSERT_TRUE(h.load());
  h.setString("Software\\Tallisen\\option", "value", v ? "B" : std::string(300, 'A'));
  ASSERT_TRUE(h.save());
}

TEST(SaveCrash, KilledAtAnyMomentEveryFileIsOldOrNew) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  ASSERT_TRUE(paths::makeDirs(f.path + "/sav"));
  const std::vector<std::string> files = {"sav/lesson.dat", "sav/lesson.txt", "lesson.srt", "user.hive"};
  std::map<std::string, std::array<std::string, 2>> versions;
  for (int v : {1, 0}) {
    saveAll(f.path, v);
    for (const auto& n : files) versions[n][v] = slurp(f.path + "/" + n);
  }
  for (const auto& n : files) ASSERT_NE(versions[n][0], versions[n][1]) << n;

  auto which = [&](const std::string& n) {
    const std::string now = slurp(f.path + "/" + n);
    return now == versions[n][0] ? 0 : now == versions[n][1] ? 1 : -1;
  };
  std::mt19937 rnd(12345);
  const int rounds = 300;
  int killedMidway = 0, outOfStep = 0;
  for (int round = 0; round < rounds; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Alternate the two versions until killed.
      for (int v = 1;; v ^= 1) saveAll(f.path, v);
    }
    ::usleep(std::uniform_int_distribution<int>(0, 15000)(rnd));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    killedMidway += WIFSIGNALED(status);
    ASSERT_TRUE(journal::recover(f.path + "/sav"));  // what the next start does first
    outOfStep += which("sav/lesson.dat") != which("sav/lesson.txt");
    for (const auto& n : files) {
      const std::string now = slurp(f.path + "/" + n);
      ASSERT_TRUE(now == versions[n][0] || now == versions[n][1])
          << n << " is neither version after round " << round << " (" << now.size() << " bytes)";
    }
  }
  EXPECT_EQ(killedMidway, rounds);
  EXPECT_EQ(outOfStep, 0) << "progress and memo out of step after " << outOfStep << " of " << rounds << " kills";
  // The interrupted saves leave temporaries of our own naming only.
  for (const auto& e : fs::recursive_directory_iterator(f.path)) {
    const std::string name = e.path().filename().string();
    if (e.is_directory() || std::find(files.begin(), files.end(), fs::relative(e.path(), f.path).string()) != files.end())
      continue;
    const bool ours = name.find(paths::kTempMark) != std::string::npos || name == "user.hive.lock" ||
                      name == journal::kLockName;
    EXPECT_TRUE(ours) << name;
  }
}

// Kills a child at a chosen step of a commit (0: let it finish).
int killStep = 0;
void killAtStep(int step) {
  if (step == killStep) ::raise(SIGKILL);
}

// Runs body in a child that dies at commit step k; true when it was killed.
bool runKilledAt(int k, const std::function<void()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    killStep = k;
    journal::setStepHook(killAtStep);
    body();
    ::_exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFSIGNALED(status);
}

TEST(SaveCrash, ProgressAndMemoChangeTogetherAtEveryStep) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  std::array<std::string, 2> dat, txt;
  for (int v : {1, 0}) {
    Lesson l = version(f.path, v);
    ASSERT_TRUE(subflgsave(l).ok);
    dat[v] = slurp(l.savpath);
    txt[v] = slurp(l.memopath);
  }
  int kills = 0;
  for (int k = 1;; ++k) {
    const bool killed = runKilledAt(k, [&] {
      Lesson l = version(f.path, 1);
      subflgsave(l);
    });
    ASSERT_TRUE(journal::recover(f.path + "/sav"));
    const std::string d = slurp(f.path + "/sav/lesson.dat"), t = slurp(f.path + "/sav/lesson.txt");
    const int v = d == dat[1] ? 1 : 0;
    ASSERT_TRUE(d == dat[v] && t == txt[v]) << "out of step after a kill at step " << k;
    // Once the journal is in place (step 3 of two files) the pair is new.
    EXPECT_TRUE(k < 3 || v == 1) << k;
    if (!killed) break;
    ++kills;
    Lesson back = version(f.path, 0);
    ASSERT_TRUE(subflgsave(back).ok);
  }
  EXPECT_EQ(kills, 6);  // two temporaries, the journal, two renames, the journal gone
  EXPECT_FALSE(paths::fileExists(f.path + "/sav/" + journal::kJournalName));
}

// A load while another program saves the same work finds the pair as one
// save left it.
TEST(SaveCrash, ALoadDuringAnotherProgramsSaveReadsOnePair) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  ASSERT_TRUE(paths::makeDirs(f.path + "/sav"));
  Lesson first = version(f.path, 0);
  ASSERT_TRUE(subflgsave(first).ok);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    for (int v = 1;; v ^= 1) {
      Lesson l = version(f.path, v);
      subflgsave(l);
    }
  }
  int mixed = 0, seenNew = 0;
  // At least 300 loads, and on a busy machine more until the other program's
  // first save has landed (the child may start late).
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (int round = 0; round < 300 || (seenNew == 0 && std::chrono::steady_clock::now() < deadline); ++round) {
    const Lesson l = loaded(f.path, 0);
    const bool newStars = l.substar[1] == 1, newMemo = l.submemo[1] == "memo B";
    seenNew += newStars;
    mixed += newStars != newMemo;
  }
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
  EXPECT_EQ(mixed, 0);
  EXPECT_GT(seenNew, 0);
}

// The SRT written with a saved shift applied, and the progress file that
// offered the shift: after a kill anywhere, a load offers the shift only
// while the SRT does not hold it yet.
struct ShiftCase {
  static constexpr ttime kShift = 100000;  // 10 s
  std::string dir;
  std::string srtPath() const { return dir + "/lesson.srt"; }
  // The SRT without the shift and a progress file offering it.
  void oldState() {
    Lesson l = version(dir, 0);
    ASSERT_TRUE(srtsav(l).ok);
    l.adjsaved = kShift;
    l.flgdirty = true;
    ASSERT_TRUE(subflgsave(l).ok);
  }
  // Loads as the program does and accepts the offer; then writes the SRT.
  void acceptAndWrite() {
    Lesson l;
    loadSrt(srtPath(), 0, dir + "/", l);
    if (subflgload(l).askAdjust) acceptSavedAdjustment(l, Options{});
    srtsav(l);
  }
  // The first cue's start after a load that says Yes to any offer.
  ttime startAfterLoad(bool* offered) {
    Lesson l;
    EXPECT_TRUE(loadSrt(srtPath(), 0, dir + "/", l).ok);
    *offered = subflgload(l).askAdjust;
    if (*offered) acceptSavedAdjustment(l, Options{});
    return l.subtime[1];
  }
};

TEST(SaveCrash, ShiftWrittenToSubtitlesIsNeverOfferedAgain) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  ASSERT_TRUE(paths::makeDirs(f.path + "/sav"));
  ShiftCase c{f.path};
  const ttime first = 10000, shifted = first + ShiftCase::kShift;
  int stepKills = 0, shiftedTwice = 0, lost = 0;
  for (int k = 1;; ++k) {
    c.oldState();
    const bool killed = runKilledAt(k, [&] { c.acceptAndWrite(); });
    bool offered = false;
    const ttime start = c.startAfterLoad(&offered);
    shiftedTwice += start > shifted;
    lost += start < shifted;
    EXPECT_EQ(start, shifted) << "kill at step " << k << (offered ? " (offered)" : "");
    if (!killed) break;
    ++stepKills;
  }
  // Two files: the new SRT and the progress file without its shift.
  EXPECT_EQ(stepKills, 6);

  // And at random moments while a child writes the two states in turn.
  c.oldState();
  std::mt19937 rnd(777);
  const int rounds = 300;
  for (int round = 0; round < rounds; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      for (;;) {
        c.acceptAndWrite();
        c.oldState();
      }
    }
    ::usleep(std::uniform_int_distribution<int>(0, 8000)(rnd));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    bool offered = false;
    const ttime start = c.startAfterLoad(&offered);
    shiftedTwice += start > shifted;
    // Between the two commits of oldState the shift is in neither file:
    // that is the learner's choice undone, not a shift applied twice.
    EXPECT_TRUE(start == shifted || start == first) << round;
  }
  EXPECT_EQ(shiftedTwice, 0) << "shift applied twice after " << shiftedTwice << " kills";
}

TEST(SaveCrash, DiskFullReportsFailureAndKeepsTheOldFile) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  const std::string mnt = f.path + "/small";
  ASSERT_TRUE(paths::makeDirs(mnt));
  if (::mount("tmpfs", mnt.c_str(), "tmpfs", 0, "size=64k") != 0)
    GTEST_SKIP() << "cannot mount a small tmpfs here (needs root in a mount namespace that allows it)";
  struct Unmount {
    std::string m;
    ~Unmount() { ::umount2(m.c_str(), MNT_DETACH); }
  } unmount{mnt};
  ASSERT_TRUE(paths::makeDirs(mnt + "/sav"));
  Lesson l = version(mnt, 0);
  ASSERT_TRUE(subflgsave(l).ok);
  ASSERT_TRUE(srtsav(l).ok);
  const std::string dat = slurp(l.savpath), txt = slurp(l.memopath), srt = slurp(l.srtpath);
  // Fill the disk so that no new copy fits.
  ASSERT_TRUE(paths::atomicWriteFile(mnt + "/filler", std::string(10000, 'x')));
  std::string fill(4096, 'y');
  for (int k = 0; paths::atomicWriteFile(mnt + "/fill" + std::to_string(k), fill); ++k) {
  }
  l.submemo.assign(l.submemo.size(), std::string(200, 'm'));
  l.flgdirty = true;
  const ProgressSaveResult r = subflgsave(l);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, kMsgSaveFailed);
  EXPECT_NE(r.detail.find("No space"), std::string::npos) << r.detail;
  EXPECT_TRUE(l.flgdirty);
  l.subtext[1] = std::string(20000, 'z') + "\r\n";
  l.srtdirty = true;
  EXPECT_FALSE(srtsav(l).ok);
  EXPECT_TRUE(l.srtdirty);
  EXPECT_EQ(slurp(l.savpath), dat);
  EXPECT_EQ(slurp(l.memopath), txt);
  EXPECT_EQ(slurp(l.srtpath), srt);
  for (const auto& e : fs::recursive_directory_iterator(mnt))
    EXPECT_EQ(e.path().filename().string().find(paths::kTempMark), std::string::npos) << e.path();
}

TEST(SaveCrash, ReadOnlySubtitlesAreNotOverwritten) {
  Folder f;
  ASSERT_FALSE(f.path.empty());
  Lesson l = version(f.path, 0);
  ASSERT_TRUE(srtsav(l).ok);
  const std::string before = slurp(l.srtpath);
  ASSERT_EQ(::chmod(l.srtpath.c_str(), 0444), 0);
  l.subtime[1] += 10000;
  l.srtdirty = true;
  const SaveResult r = srtsav(l);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.message.find(l.srtpath), std::string::npos);
  EXPECT_NE(r.message.find("read-only"), std::string::npos);
  EXPECT_TRUE(l.srtdirty);  // the close question asks again
  EXPECT_EQ(slurp(l.srtpath), before);
}

}  // namespace
}  // namespace tl
