#include "core/commitjournal.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

// A journal left by a program killed after it was in place: the renames not
// yet done are done, the removals too, whatever the paths hold.
TEST(CommitJournal, LeftJournalIsRolledForwardOnce) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("sav")) && paths::makeDirs(d.file("other dir")));
  const std::string a = d.file("sav/a\nb.dat"), b = d.file("other dir/b.srt"), gone = d.file("sav/old.txt");
  ASSERT_TRUE(paths::atomicWriteFile(a, "new a"));  // renamed before the kill
  ASSERT_TRUE(paths::atomicWriteFile(b, "old b"));
  ASSERT_TRUE(paths::atomicWriteFile(b + ".tmp1", "new b"));
  ASSERT_TRUE(paths::atomicWriteFile(gone, "old"));
  ASSERT_TRUE(paths::atomicWriteFile(d.file("sav/") + kJournalName,
                                     "tallisen commit 1\nw\n" + field(a + ".tmp0") + field(a) + "w\n" +
                                         field(b + ".tmp1") + field(b) + "r\n" + field(gone) + "end\n"));
  ASSERT_TRUE(recover(d.file("sav")));
  EXPECT_EQ(slurp(a), "new a");
  EXPECT_EQ(slurp(b), "new b");
  EXPECT_FALSE(paths::fileExists(b + ".tmp1"));
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

// A write that fails before the journal is in place leaves every file old
// and no temporary behind; a folder not yet there is made for the journal.
TEST(CommitJournal, FailureBeforeTheJournalKeepsEveryFileOld) {
  Dir d;
  ASSERT_TRUE(paths::makeDirs(d.file("other")));
  const std::string a = d.file("sav/a.dat"), b = d.file("other/b.srt");
  ASSERT_TRUE(paths::atomicWriteFile(b, "old b"));
  ASSERT_TRUE(commit(d.file("sav"), Group{{{a, "a1"}, {b, "b1"}}, {}}));
  EXPECT_EQ(slurp(a), "a1");
  EXPECT_EQ(slurp(b), "b1");
  ASSERT_EQ(::chmod(b.c_str(), 0444), 0);  // read-only: refused before anything is replaced
  std::string err;
  EXPECT_FALSE(commit(d.file("sav"), Group{{{a, "a2"}, {b, "b2"}}, {}}, &err));
  EXPECT_NE(err.find("read-only"), std::string::npos) << err;
  EXPECT_EQ(slurp(a), "a1");
  EXPECT_EQ(slurp(b), "b1");
  for (const std::string& dir : {d.file("sav"), d.file("other")})
    for (const auto& e : fs::directory_iterator(dir))
      EXPECT_EQ(e.path().filename().string().find(paths::kTempMark), std::string::npos) << e.path();
}

}  // namespace
}  // namespace tl::journal
