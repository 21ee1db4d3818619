// The progress file byte for byte, its save and load, and the memo file.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/commitjournal.h"
#include "core/dictation.h"
#include "core/letterstates.h"
#include "core/memofile.h"
#include "core/progressfile.h"
#include "core/srtwrite.h"
#include "core/timetext.h"
#include "support/lessonbuilder.h"
#include "support/tempfolder.h"

using namespace tl;
namespace fs = std::filesystem;

namespace {

std::string slurp(const std::string& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

void spit(const std::string& p, const std::string& bytes) {
  std::ofstream f(p, std::ios::binary | std::ios::trunc);
  f << bytes;
}

struct Progress : ::testing::Test {
  tl::test::TempFolder tmp{"tl-progress"};
  const std::string dir = tmp.path;
  void SetUp() override { ASSERT_FALSE(dir.empty()); }

  // Two cues "Hey" and "a" (5 and 3 bytes with their CR LF), 5 slots, as the
  // SRT load leaves them; files in dir/sav.
  Lesson fresh() {
    Lesson L = test::LessonBuilder().cue(10000, 20000, "Hey\r\n").cue(30000, 40000, "a\r\n").build();
    L.savpath = dir + "/sav/x.dat";
    L.memopath = dir + "/sav/x.txt";
    return L;
  }
  // The same with a session's progress on it.
  Lesson played() {
    Lesson L = fresh();
    L.subflg[1] = {flg_open, flg_hinted, flg_closed, flg_out, flg_out};
    L.subflg[3] = {flg_reclosed, flg_out, flg_out};
    L.flgtotal = 4;
    L.flgrest = 2;
    L.adjsaved = -12345;
    L.cursub = 3;
    L.substar[1] = 1;
    L.submemo[3] = "memo \x93\xfa";  // bytes of the ANSI code page
    L.flgdirty = true;
    return L;
  }
  std::vector<std::vector<int32_t>> newFileStates() {
    Lesson L = fresh();
    closeflginit(L);
    return L.subflg;
  }
};

const std::string kExample = std::string(
    "\x00\x00\x00\x00" "\x02\x00\x00\x00" "\x01\x00\x00\x00" "\xff\xff\xff\xff" "\xff\xff\xff\xff"
    "\x03\x00\x00\x00" "\xff\xff\xff\xff" "\xff\xff\xff\xff"
    "\x04\x00\x00\x00"
    "\xc7\xcf\xff\xff\xff\xff\xff\xff"
    "\x03\x00\x00\x00"
    "\x00\x00\x00\x00" "\x01\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00" "\x00\x00\x00\x00",
    68);

}  // namespace

TEST_F(Progress, ExampleLayoutByteForByte) {
  Lesson L = played();
  EXPECT_EQ(progressStateCount(L), 8);
  EXPECT_EQ(progressFileSize(L), 68);
  EXPECT_EQ(progressBytes(L), kExample);

  // Saving creates the missing folder and writes both files.
  ProgressSaveResult s = subflgsave(L);
  EXPECT_TRUE(s.ok) << s.detail;
  EXPECT_TRUE(s.wrote);
  EXPECT_FALSE(L.flgdirty);
  EXPECT_EQ(slurp(L.savpath), kExample);
  EXPECT_EQ(slurp(L.memopath), std::string("\r\n\r\n\r\nmemo \x93\xfa\r\n\r\n"));

  // Nothing changed: nothing written, still ok (the log line is shown anyway).
  spit(L.savpath, "untouched");
  s = subflgsave(L);
  EXPECT_TRUE(s.ok);
  EXPECT_FALSE(s.wrote);
  EXPECT_EQ(slurp(L.savpath), "untouched");
}

TEST_F(Progress, RoundTrip) {
  Lesson a = played();
  ASSERT_TRUE(subflgsave(a).ok);

  Lesson b = fresh();
  b.flgdirty = true;
  ProgressLoadResult r = subflgload(b);
  EXPECT_TRUE(r.fromFile);
  EXPECT_TRUE(r.message.empty());
  EXPECT_FALSE(b.flgdirty);
  EXPECT_EQ(b.subflg, a.subflg);
  EXPECT_EQ(b.flgtotal, 4);
  EXPECT_EQ(b.flgrest, 2);
  EXPECT_EQ(b.subclear, (std::vector<int32_t>{1, 0, 1, 0, 1}));
  EXPECT_EQ(b.adjsaved, -12345);
  EXPECT_TRUE(r.askAdjust);
  EXPECT_EQ(b.resumesub, 3);
  EXPECT_EQ(b.substar, a.substar);
  EXPECT_EQ(b.submemo, a.submemo);

  // "No" to the adjustment: the next save stores 0 in its place.
  declineAdjustment(b);
  b.flgdirty = true;
  ASSERT_TRUE(subflgsave(b).ok);
  EXPECT_EQ(slurp(b.savpath).substr(36, 8), std::string(8, '\0'));
}

TEST_F(Progress, NoProgressFileStartsAsNew) {
  Lesson L = fresh();
  ProgressLoadResult r = subflgload(L);
  EXPECT_FALSE(r.fromFile);
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(L.subflg, newFileStates());
  EXPECT_EQ(L.flgrest, 4);
  EXPECT_EQ(L.submemo.size(), 5u);
  // Not loaded: nothing at all.
  Lesson n = fresh();
  n.srtloaded = false;
  n.flgdirty = true;
  subflgload(n);
  EXPECT_TRUE(n.flgdirty);
}

TEST_F(Progress, TruncatedAtEachFieldBoundary) {
  fs::create_directories(dir + "/sav");
  const std::string file = kExample;
  struct Case {
    size_t size;
    bool fromFile;
    const char* message;
    ttime adj;
    int32_t resume;
    int32_t star1;
  };
  const Case cases[] = {
      {0, false, kMsgLoadFailed, 0, 0, 0},     // empty
      {12, false, kMsgLoadFailed, 0, 0, 0},    // inside the states
      {32, false, kMsgLoadFailed, 0, 0, 0},    // states, no total
      {36, true, kMsgLaterFields, 0, 0, 0},    // states and total
      {40, true, kMsgLaterFields, 0, 0, 0},    // half an adjustment
      {44, true, kMsgLaterFields, -12345, 0, 0},
      {48, true, kMsgLaterFields, -12345, 3, 0},
      {56, true, kMsgLaterFields, -12345, 3, 1},  // two of five stars
      {68, true, "", -12345, 3, 1},
      {72, false, kMsgLoadFailed, 0, 0, 0},    // longer than the table
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.size);
    Lesson L = fresh();
    std::string bytes = file.substr(0, std::min(c.size, file.size()));
    bytes.resize(c.size, '\0');
    spit(L.savpath, bytes);
    ProgressLoadResult r = subflgload(L);
    EXPECT_EQ(r.fromFile, c.fromFile);
    EXPECT_EQ(r.message, c.message);
    EXPECT_EQ(L.adjsaved, c.adj);
    EXPECT_EQ(r.askAdjust, c.adj != 0);
    EXPECT_EQ(L.resumesub, c.resume);
    EXPECT_EQ(L.substar[1], c.star1);
    EXPECT_EQ(L.submemo.size(), 5u);
    if (c.fromFile) {
      EXPECT_EQ(L.subflg[1], (std::vector<int32_t>{0, 2, 1, -1, -1}));
      EXPECT_EQ(L.flgtotal, 4);
      EXPECT_FALSE(L.savkeepold);
    } else {
      // Not laid over the table: states as for a new file, old file kept.
      EXPECT_EQ(L.subflg, newFileStates());
      EXPECT_EQ(L.flgrest, 4);
      EXPECT_TRUE(L.savkeepold);
      EXPECT_EQ(slurp(L.savpath), bytes);
    }
  }
}

TEST_F(Progress, UnfitFileIsCopiedAsideBeforeFirstSave) {
  fs::create_directories(dir + "/sav");
  std::string bad = kExample;
  bad[0] = 7;  // a state outside -1..3
  Lesson L = fresh();
  spit(L.savpath, bad);
  ProgressLoadResult r = subflgload(L);
  EXPECT_EQ(r.message, kMsgLoadFailed);
  EXPECT_EQ(r.detail, kMsgMismatch);
  EXPECT_EQ(L.subflg, newFileStates());

  L.flgdirty = true;
  ASSERT_TRUE(subflgsave(L).ok);
  EXPECT_EQ(slurp(L.savpath + ".bak"), bad);
  EXPECT_EQ(slurp(L.savpath).size(), 68u);
  // Later saves do not copy again.
  spit(L.savpath + ".bak", "first");
  L.flgdirty = true;
  ASSERT_TRUE(subflgsave(L).ok);
  EXPECT_EQ(slurp(L.savpath + ".bak"), "first");
  EXPECT_FALSE(fs::exists(L.savpath + ".bak2"));
}

TEST_F(Progress, HiddenNonLettersAndResumeOutsideTable) {
  Lesson a = played();
  a.subflg[1][3] = flg_closed;  // CR hidden: nobody could type it
  a.cursub = 4;                 // a gap, not a cue
  ASSERT_TRUE(subflgsave(a).ok);
  Lesson b = fresh();
  ProgressLoadResult r = subflgload(b);
  EXPECT_TRUE(r.message.empty());
  EXPECT_EQ(b.subflg[1][3], flg_out);
  EXPECT_EQ(b.flgrest, 2);
  EXPECT_EQ(b.resumesub, 0);

  // The trail byte of a double-byte character ("\x83\x41") is no letter.
  EXPECT_EQ(typableLetters("\x83" "Ab,"), (std::vector<bool>{false, false, true, false}));

  // Resume slot far outside the table.
  std::string bytes = kExample;
  bytes[44] = '\x7f';
  spit(b.savpath, bytes);
  Lesson c = fresh();
  subflgload(c);
  EXPECT_EQ(c.resumesub, 0);
}

TEST_F(Progress, FailedSaveKeepsDirty) {
  Lesson L = played();
  spit(dir + "/file", "x");
  L.savpath = dir + "/file/x.dat";  // the folder would have to be a file
  ProgressSaveResult s = subflgsave(L);
  EXPECT_FALSE(s.ok);
  EXPECT_FALSE(s.wrote);
  EXPECT_EQ(s.message, kMsgSaveFailed);
  EXPECT_TRUE(L.flgdirty);
}

TEST_F(Progress, MemoFiles) {
  EXPECT_EQ(memoLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(memoLines("a\nb"), (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(memoLines("\r\n\r\nc\r"), (std::vector<std::string>{"", "", "c"}));
  EXPECT_TRUE(memoLines("").empty());

  Lesson L = fresh();
  L.submemo = {"x", "two\r\nlines"};  // short, and a line break inside
  EXPECT_EQ(memoBytes(L), "x\r\ntwo  lines\r\n\r\n\r\n\r\n");

  // A progress file with a memo file of fewer lines than slots.
  Lesson a = played();
  ASSERT_TRUE(subflgsave(a).ok);
  spit(a.memopath, "first\r\nsecond\r\n");
  Lesson b = fresh();
  subflgload(b);
  EXPECT_EQ(b.submemo, (std::vector<std::string>{"first", "second", "", "", ""}));
  // No memo file: one empty line per slot.
  fs::remove(a.memopath);
  Lesson c = fresh();
  subflgload(c);
  EXPECT_EQ(c.submemo, std::vector<std::string>(5));
  // Memos survive a progress file that ends after the total.
  spit(a.memopath, "keep\r\n");
  spit(a.savpath, kExample.substr(0, 36));
  Lesson d = fresh();
  subflgload(d);
  EXPECT_EQ(d.submemo[0], "keep");
}

TEST_F(Progress, AdjustmentThatWouldWrapTheTimesIsNotOffered) {
  Lesson L = played();
  L.adjsaved = INT64_MAX;
  ASSERT_TRUE(subflgsave(L).ok);
  Lesson back = fresh();
  ProgressLoadResult r = subflgload(back);
  EXPECT_TRUE(r.fromFile);
  EXPECT_FALSE(r.askAdjust);
  EXPECT_EQ(back.adjsaved, 0);
  EXPECT_EQ(r.detail, kMsgAdjustOutOfRange);
  EXPECT_EQ(back.substar[1], 1);  // the rest of the file is read
  EXPECT_FALSE(adjustmentFits(back, kTimeMax));
  EXPECT_TRUE(adjustmentFits(back, kTimeMax - 40000));
  EXPECT_TRUE(adjustmentFits(back, -12345));
}

TEST_F(Progress, SrtWriteClearsOnlyTheSavedAdjustmentOnDisk) {
  Lesson L = played();
  ASSERT_TRUE(subflgsave(L).ok);
  const std::string before = slurp(L.savpath);
  ASSERT_EQ(before.size(), 68u);
  std::string err;
  ASSERT_TRUE(settleSavedAdjustment(L, &err)) << err;
  EXPECT_EQ(L.adjsaved, 0);
  const std::string after = slurp(L.savpath);
  ASSERT_EQ(after.size(), before.size());
  EXPECT_EQ(after.substr(36, 8), std::string(8, '\0'));
  EXPECT_EQ(after.substr(0, 36), before.substr(0, 36));
  EXPECT_EQ(after.substr(44), before.substr(44));
  // The next run is not offered the shift again.
  Lesson next = fresh();
  EXPECT_FALSE(subflgload(next).askAdjust);
  // Nothing to do without a progress file, or for a file of another layout.
  Lesson none = fresh();
  none.savpath = dir + "/sav/none.dat";
  EXPECT_TRUE(clearSavedAdjustment(none));
  EXPECT_FALSE(fs::exists(none.savpath));
  spit(dir + "/sav/short.dat", "abc");
  none.savpath = dir + "/sav/short.dat";
  EXPECT_TRUE(clearSavedAdjustment(none));
  EXPECT_EQ(slurp(none.savpath), "abc");
}

// Saving under a new name moves progress and memo in the same commit as the
// SRT write, the progress without the shift that the new SRT now holds.
TEST_F(Progress, SaveAsMovesBothFilesWithoutTheWrittenShift) {
  Lesson L = played();
  L.srtloaded = true;
  L.srtpath = dir + "/x.srt";
  ASSERT_TRUE(subflgsave(L).ok);
  const std::string dat = slurp(L.savpath), memo = slurp(L.memopath);
  const SaveResult r = srtSaveAs(L, dir + "/y.srt", dir + "/");
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_FALSE(fs::exists(dir + "/sav/x.dat") || fs::exists(dir + "/sav/x.txt"));
  const std::string moved = slurp(dir + "/sav/y.dat");
  ASSERT_EQ(moved.size(), dat.size());
  EXPECT_EQ(moved.substr(36, 8), std::string(8, '\0'));
  EXPECT_EQ(moved.substr(0, 36) + moved.substr(44), dat.substr(0, 36) + dat.substr(44));
  EXPECT_EQ(slurp(dir + "/sav/y.txt"), memo);
  EXPECT_FALSE(fs::exists(dir + "/sav/" + std::string(journal::kJournalName)));
}

TEST_F(Progress, ProgressAndMemoAreSavedAsAPair) {
  Lesson L = played();
  ASSERT_TRUE(subflgsave(L).ok);
  const std::string dat = slurp(L.savpath), txt = slurp(L.memopath);
  // The memo cannot be written: nothing is replaced, the failure is reported.
  ASSERT_EQ(::chmod(L.memopath.c_str(), 0444), 0);
  L.substar[3] = 1;
  L.submemo[1] = "new memo";
  L.flgdirty = true;
  ProgressSaveResult s = subflgsave(L);
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.message, kMsgSaveFailed);
  EXPECT_NE(s.detail.find(L.memopath), std::string::npos);
  EXPECT_TRUE(L.flgdirty);
  EXPECT_EQ(slurp(L.savpath), dat);
  EXPECT_EQ(slurp(L.memopath), txt);
  ::chmod(L.memopath.c_str(), 0644);
  ASSERT_TRUE(subflgsave(L).ok);
  EXPECT_NE(slurp(L.savpath), dat);
  EXPECT_NE(slurp(L.memopath), txt);
}

// Found by fuzzing: a negative odd resume slot (0xC9C9C9C9) passed as a cue
// and would have been used as an index of the table.
TEST_F(Progress, NegativeResumeSlotIsNoCue) {
  Lesson L = played();
  ASSERT_TRUE(subflgsave(L).ok);
  std::string bytes = slurp(L.savpath);
  for (int k = 0; k < 4; ++k) bytes[44 + k] = '\xC9';
  spit(L.savpath, bytes);
  Lesson back = fresh();
  subflgload(back);
  EXPECT_EQ(back.resumesub, 0);
  EXPECT_EQ(back.substar[1], 1);  // the fields after it are still read
}

TEST_F(Progress, AcceptedAdjustmentFollowsTheUsersAdjcrt) {
  // adjcrt off: every slot moves, the progress is changed, the SRT is not.
  Lesson L = played();
  L.adjsaved = 50000;
  L.flgdirty = false;
  Options off;
  off.adjcrt = false;
  TimingChange c = acceptSavedAdjustment(L, off);
  EXPECT_TRUE(c.changed);
  EXPECT_EQ(L.subtime, (std::vector<ttime>{50000, 60000, 70000, 80000, 90000}));
  EXPECT_FALSE(L.srtdirty);
  EXPECT_TRUE(L.flgdirty);
  EXPECT_EQ(L.adjsaved, 50000);
  // adjcrt on: a shift from slot 0, which marks the SRT changed.
  Lesson M = played();
  M.adjsaved = 50000;
  M.cursub = 3;
  Options on;
  on.adjcrt = true;
  EXPECT_TRUE(acceptSavedAdjustment(M, on).changed);
  EXPECT_EQ(M.subtime, L.subtime);
  EXPECT_TRUE(M.srtdirty);
  // An adjustment beyond the range changes nothing.
  Lesson N = played();
  N.adjsaved = INT64_MAX;
  EXPECT_FALSE(acceptSavedAdjustment(N, off).changed);
  EXPECT_EQ(N.subtime, fresh().subtime);
}
