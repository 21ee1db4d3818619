#include "core/commitjournal.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "core/lesson.h"
#include "core/srtread.h"
#include "support/tempfolder.h"

namespace tl::journal {
namespace {

namespace fs = std::filesystem;

struct Dir : test::TempFolder {
  Dir() : TempFolder("tl-journal") {}
  std::string file(const std::string& n) const { return path + "/" + n; }
};

std::string slurp(const std::string& p) {
  std::string s;
  paths::readFile(p, s);
  return s;
}

std::string field(const std::string& f) { return std::to_string(f.size()) + " " + f + "\n"; }

// The name a commit gives the temporary of path.
std::string tmpOf(const std::string& path, const std::string& tail = "Ab12Cd") {
  return paths::parentDir(path) + "/." + paths::fileName(path) + paths::kTempMark + tail;
}

// A journal left by a program killed after it was in place: the renames not
// yet done are done, the removals too, whatever the paths hold.
TEST(CommitJournal, LeftJournalIsRolledForwardOnce) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("sav")) && paths::makeDirs(d.file("other dir")));
  const std::string a = d.file("sav/a\nb.dat"), b = d.file("other dir/b.srt"), gone = d.file("sav//old.txt");
  ASSERT_TRUE(paths::atomicWriteFile(a, "new a"));  // renamed before the kill
  ASSERT_TRUE(paths::atomicWriteFile(b, "old b"));
  ASSERT_TRUE(paths::atomicWriteFile(tmpOf(b), "new b"));
  ASSERT_TRUE(paths::atomicWriteFile(gone, "old"));
  ASSERT_TRUE(paths::atomicWriteFile(d.file("sav/") + kJournalName,
                                     "tallisen commit 1\nw\n" + field(tmpOf(a)) + field(a) + "w\n" +
                                         field(tmpOf(b)) + field(b) + "r\n" + field(gone) + "end\n"));
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_EQ(slurp(a), "new a");
  EXPECT_EQ(slurp(b), "new b");
  EXPECT_FALSE(paths::fileExists(tmpOf(b)));
  EXPECT_FALSE(paths::fileExists(gone));
  EXPECT_FALSE(paths::fileExists(d.file("sav/") + kJournalName));
  // Nothing is done twice: a later file of that name stays.
  ASSERT_TRUE(paths::atomicWriteFile(gone, "newer"));
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_EQ(slurp(gone), "newer");
}

// A journal that does not read whole was never in place: it is dropped and
// no file changes.
TEST(CommitJournal, IncompleteJournalIsDiscarded) {
  Dir d;
  const std::string a = d.file("a.dat");
  ASSERT_TRUE(paths::atomicWriteFile(a, "old"));
  ASSERT_TRUE(paths::atomicWriteFile(a + ".t", "new"));
  for (std::string text : {"tallisen commit 1\nw\n" + field(a + ".t") + field(a),
                           "tallisen commit 1\nw\n" + field(a + ".t") + "99 " + a + "\nend\n", std::string("junk")}) {
    ASSERT_TRUE(paths::atomicWriteFile(d.file(kJournalName), text));
    ASSERT_TRUE(recover(d.path));
    EXPECT_EQ(slurp(a), "old");
    EXPECT_FALSE(paths::fileExists(d.file(kJournalName)));
  }
}

// A journal the program did not write (crafted, or damaged into another
// valid one) renames, replaces and removes nothing: only our temporaries
// beside their files are renamed, only files of the data folder removed.
// What stands under the journal's name and is no plain file is never read.
TEST(CommitJournal, JournalNamingOtherFilesMovesNothing) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("sav")) && paths::makeDirs(d.file("elsewhere")));
  const std::string victim = d.file("elsewhere/notes.txt"), src = d.file("elsewhere/evil");
  const std::string keep = d.file("sav/keep.dat"), jp = d.file("sav/") + kJournalName;
  ASSERT_TRUE(paths::atomicWriteFile(victim, "mine"));
  ASSERT_TRUE(paths::atomicWriteFile(src, "evil"));
  ASSERT_TRUE(paths::atomicWriteFile(keep, "kept"));
  ASSERT_TRUE(paths::atomicWriteFile(tmpOf(d.file("sav/x.dat")), "x"));
  ASSERT_EQ(::symlink(src.c_str(), tmpOf(victim).c_str()), 0);
  ASSERT_TRUE(paths::makeDirs(tmpOf(victim, "")));
  ASSERT_TRUE(paths::atomicWriteFile(d.file("elsewhere/ev"), "evil"));
  const std::string head = "tallisen commit 1\n";
  for (const std::string& text : {
           head + "w\n" + field(src) + field(victim) + "end\n",                     // not a temporary
           head + "w\n" + field(tmpOf(d.file("sav/x.dat"))) + field(victim) + "end\n",  // not beside
           head + "w\n" + field(tmpOf(victim)) + field(victim) + "end\n",           // a link, no file
           head + "w\n" + field(tmpOf(victim, "/../ev")) + field(victim) + "end\n",   // leaves the folder
           head + "r\n" + field(victim) + "end\n",                                  // outside the folder
           head + "r\n" + field(d.file("sav/../elsewhere/notes.txt")) + "end\n",
           head + "r\n" + field(victim + std::string(1, '\0') + "x") + "end\n",
           head + "r\n" + field(keep + "/..") + "end\n",
       }) {
    ASSERT_TRUE(paths::atomicWriteFile(jp, text));
    ASSERT_TRUE(recover(d.file("sav")));
    EXPECT_EQ(slurp(victim), "mine");
    EXPECT_EQ(slurp(src), "evil");
    EXPECT_EQ(slurp(d.file("elsewhere/ev")), "evil");
    EXPECT_EQ(slurp(keep), "kept");
    EXPECT_FALSE(paths::fileExists(jp));
  }
  // A removal follows a write only once the written file is in place: with
  // its temporary and itself gone the old file is the only copy left.
  ASSERT_TRUE(paths::atomicWriteFile(jp, head + "w\n" + field(tmpOf(d.file("sav/new.dat"))) +
                                             field(d.file("sav/new.dat")) + "r\n" + field(keep) + "end\n"));
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_EQ(slurp(keep), "kept");
  // A link, a pipe or a huge sparse file under the journal's name: not
  // followed, not waited on, not read into memory; dropped.
  ASSERT_EQ(::symlink(victim.c_str(), jp.c_str()), 0);
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_EQ(slurp(victim), "mine");
  ASSERT_EQ(::mkfifo(jp.c_str(), 0644), 0);
  ASSERT_TRUE(recover(d.file("sav")));
  ASSERT_TRUE(paths::atomicWriteFile(jp, head));
  ASSERT_EQ(::truncate(jp.c_str(), off_t(1) << 40), 0);
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_FALSE(paths::fileExists(jp));
  EXPECT_EQ(::access(jp.c_str(), F_OK), -1);
}

// A journal that cannot be carried out is kept, and a load says so before
// anything else: the files it reads may be a commit's half.
TEST(CommitJournal, AJournalThatCannotBeCarriedOutIsToldAtLoad) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("sav/" + std::string(kJournalName) + "/x")));
  std::string err;
  EXPECT_FALSE(recover(d.file("sav"), &err));
  EXPECT_NE(err.find(kJournalName), std::string::npos) << err;
  ASSERT_TRUE(paths::atomicWriteFile(d.file("a.srt"), "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"));
  Lesson l;
  const LoadResult r = loadSrt(d.file("a.srt"), 0, d.path + "/", l);
  EXPECT_TRUE(r.ok);
  ASSERT_FALSE(r.messages.empty());
  EXPECT_EQ(r.messages[0], recoveryFailedMessage(err));
}

std::string lockedFolder;
int lockFreeAtSteps = 0;
// Whether another program could take the folder's lock at this step.
void tryTheLock(int) {
  const int fd = ::open((lockedFolder + "/" + kLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ++lockFreeAtSteps;
  if (fd >= 0) ::close(fd);
}

// A write that fails before the journal is in place leaves every file old
// and no temporary behind; a folder not yet there is made for the journal
// and locked while the journal is in it.
TEST(CommitJournal, FailureBeforeTheJournalKeepsEveryFileOld) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("other")));
  const std::string a = d.file("sav/a.dat"), b = d.file("other/b.srt");
  ASSERT_TRUE(paths::atomicWriteFile(b, "old b"));
  lockedFolder = d.file("sav");
  setStepHook(tryTheLock);
  const bool written = commit(d.file("sav"), Group{{{a, "a1"}, {b, "b1"}}, {}});
  setStepHook(nullptr);
  ASSERT_TRUE(written);
  EXPECT_EQ(lockFreeAtSteps, 0);
  EXPECT_EQ(slurp(a), "a1");
  EXPECT_EQ(slurp(b), "b1");
  ASSERT_EQ(::chmod(b.c_str(), 0444), 0);  // read-only: refused before anything is replaced
  std::string err;
  EXPECT_FALSE(commit(d.file("sav"), Group{{{a, "a2"}, {b, "b2"}}, {}}, &err));
  EXPECT_NE(err.find("read-only"), std::string::npos) << err;
  EXPECT_EQ(slurp(a), "a1");
  EXPECT_EQ(slurp(b), "b1");
  // One file twice (here once through a link) is refused, not half written.
  ASSERT_EQ(::chmod(b.c_str(), 0644), 0);
  ASSERT_EQ(::symlink(b.c_str(), d.file("sav/link.srt").c_str()), 0);
  EXPECT_FALSE(commit(d.file("sav"), Group{{{b, "b3"}, {a, "a3"}, {d.file("sav/link.srt"), "a3"}}, {}}, &err));
  EXPECT_FALSE(commit(d.file("sav"), Group{{{a, "a3"}, {d.file("sav/../sav//a.dat"), "a4"}}, {}}, &err));
  EXPECT_EQ(slurp(a), "a1");
  EXPECT_EQ(slurp(b), "b1");
  for (const std::string& dir : {d.file("sav"), d.file("other")})
    for (const auto& e : fs::directory_iterator(dir))
      EXPECT_EQ(e.path().filename().string().find(paths::kTempMark), std::string::npos) << e.path();
}

}  // namespace
}  // namespace tl::journal
