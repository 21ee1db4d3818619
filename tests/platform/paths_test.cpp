#include <gtest/gtest.h>
#include <fcntl.h>
#include <ctime>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths/files.h"
#include "platform/paths/paths.h"
#include "support/tempfolder.h"

namespace paths = tl::paths;

namespace {

TEST(Files, AtomicWriteReplacesWholeFilesAndKeepsTheirMode) {
  tl::test::TempFolder dir;
  const std::string f = dir.file("word.csv");
  std::string err, back;
  ASSERT_TRUE(paths::atomicWriteFile(f, std::string("a\0b\r\n", 5), &err)) << err;
  ASSERT_TRUE(paths::readFile(f, back, &err));
  EXPECT_EQ(back, std::string("a\0b\r\n", 5));
  ::chmod(f.c_str(), 0600);
  ASSERT_TRUE(paths::atomicWriteFile(f, "second", &err));
  ASSERT_TRUE(paths::readFile(f, back));
  EXPECT_EQ(back, "second");
  struct stat st;
  ASSERT_EQ(::stat(f.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_TRUE(paths::atomicWriteFile(f, ""));
  ASSERT_TRUE(paths::readFile(f, back));
  EXPECT_TRUE(back.empty());
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path)) ++files, (void)e;
  EXPECT_EQ(files, 1u);  // no temporary file left
}

TEST(Files, FailuresSayWhyAndCreateNothing) {
  tl::test::TempFolder dir;
  std::string err, out = "stale";
  EXPECT_FALSE(paths::atomicWriteFile(dir.file("missing/x.txt"), "x", &err));
  EXPECT_NE(err.find("missing"), std::string::npos);
  EXPECT_FALSE(paths::dirExists(dir.file("missing")));
  err.clear();
  EXPECT_FALSE(paths::readFile(dir.file("none.txt"), out, &err));
  EXPECT_TRUE(out.empty());
  EXPECT_NE(err.find("none.txt"), std::string::npos);
  EXPECT_FALSE(paths::readFile(dir.path, out, &err));  // a folder is no file
  // Nor a pipe or a device: refused at once, never waited on or read forever.
  ASSERT_EQ(::mkfifo(dir.file("pipe.csv").c_str(), 0644), 0);
  EXPECT_FALSE(paths::readFile(dir.file("pipe.csv"), out, &err));
  EXPECT_NE(err.find("pipe.csv"), std::string::npos);
  std::filesystem::create_symlink("/dev/zero", dir.file("zero.csv"));
  EXPECT_FALSE(paths::readFile(dir.file("zero.csv"), out, &err));
  EXPECT_FALSE(paths::atomicWriteFile("", "x", &err));
}

TEST(Files, MakeDirsAndPathParts) {
  tl::test::TempFolder dir;
  ASSERT_TRUE(paths::makeDirs(dir.file("a/b/c")));
  EXPECT_TRUE(paths::dirExists(dir.file("a/b/c")));
  EXPECT_TRUE(paths::makeDirs(dir.file("a/b/c")));
  ASSERT_TRUE(paths::atomicWriteFile(dir.file("f"), "x"));
  std::string err;
  EXPECT_FALSE(paths::makeDirs(dir.file("f/g"), &err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(paths::fileExists(dir.file("f")));
  EXPECT_FALSE(paths::fileExists(dir.file("a")));
  EXPECT_EQ(paths::parentDir("a/b/c"), "a/b");
  EXPECT_EQ(paths::parentDir("c"), ".");
  EXPECT_EQ(paths::parentDir("/c"), "/");
}

TEST(Paths, ProgramDirIsTheFolderOfThisExecutable) {
  const std::string dir = paths::programDir();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/", dir);
}

class ExedirTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const char* e = std::getenv("TALLISEN_EXEDIR")) savedEnv_ = e, hadEnv_ = true;
    unsetenv("TALLISEN_EXEDIR");
  }
  void TearDown() override {
    paths::setExedirForTests("");
    if (hadEnv_) setenv("TALLISEN_EXEDIR", savedEnv_.c_str(), 1);
    else unsetenv("TALLISEN_EXEDIR");
  }
  std::string savedEnv_;
  bool hadEnv_ = false;
};

TEST_F(ExedirTest, OverridesComeFirstAndEndInASlash) {
  paths::setExedirForTests("/tmp/lesson");
  setenv("TALLISEN_EXEDIR", "/elsewhere", 1);
  EXPECT_EQ(paths::exedir(), "/tmp/lesson/");
  paths::setExedirForTests("");
  EXPECT_EQ(paths::exedir(), "/elsewhere/");
  setenv("TALLISEN_EXEDIR", "/elsewhere/", 1);
  EXPECT_EQ(paths::exedir(), "/elsewhere/");
}

TEST_F(ExedirTest, DataAlwaysLivesInThePerUserFolder) {
  // Whether or not the program's folder is writable (as root the build folder
  // is, as another user it may not be), the data folder is the user's.
  tl::test::TempFolder home;
  const char* keep = std::getenv("XDG_DATA_HOME");
  const std::string saved = keep ? keep : "";
  setenv("XDG_DATA_HOME", home.path.c_str(), 1);
  EXPECT_EQ(paths::exedir(), home.path + "/tallisen/");
  EXPECT_NE(paths::exedir(), paths::programDir());
  if (keep) setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
}

TEST(Paths, FilesOfTheProgramFolderAreBroughtInNeverLost) {
  tl::test::TempFolder prog, user;
  const std::string from = prog.path + "/", to = user.path + "/";
  ASSERT_TRUE(paths::makeDirs(from + "sav"));
  ASSERT_TRUE(paths::makeDirs(to + "sav"));
  ASSERT_TRUE(paths::atomicWriteFile(from + "sav/a.dat", "old progress"));
  ASSERT_TRUE(paths::atomicWriteFile(from + "sav/a.txt", "old memo"));
  ASSERT_TRUE(paths::atomicWriteFile(from + "sav/b.dat", "program copy"));
  ASSERT_TRUE(paths::atomicWriteFile(to + "sav/b.dat", "user copy"));
  ASSERT_TRUE(paths::atomicWriteFile(from + "word.csv", "words"));
  EXPECT_EQ(paths::migrateFrom(from, to), 3);
  std::string back;
  ASSERT_TRUE(paths::readFile(to + "sav/a.dat", back));
  EXPECT_EQ(back, "old progress");
  ASSERT_TRUE(paths::readFile(to + "sav/a.txt", back));
  EXPECT_EQ(back, "old memo");
  EXPECT_FALSE(paths::fileExists(from + "sav/a.dat"));  // moved
  // Both copies of a file present in both places stay as they are.
  ASSERT_TRUE(paths::readFile(to + "sav/b.dat", back));
  EXPECT_EQ(back, "user copy");
  ASSERT_TRUE(paths::readFile(from + "sav/b.dat", back));
  EXPECT_EQ(back, "program copy");
  ASSERT_TRUE(paths::readFile(to + "word.csv", back));
  EXPECT_EQ(back, "words");
  EXPECT_EQ(paths::migrateFrom(from, to), 0);  // nothing twice
}

TEST(Files, ReadOnlyFilesAreNotReplaced) {
  tl::test::TempFolder dir;
  const std::string f = dir.file("lesson.srt");
  ASSERT_TRUE(paths::atomicWriteFile(f, "mine"));
  ASSERT_EQ(::chmod(f.c_str(), 0444), 0);
  std::string err, back;
  // Also as root, who could write it: the mode says the user wants it kept.
  EXPECT_FALSE(paths::atomicWriteFile(f, "new", &err));
  EXPECT_NE(err.find(f), std::string::npos);
  EXPECT_NE(err.find("read-only"), std::string::npos);
  ASSERT_TRUE(paths::readFile(f, back));
  EXPECT_EQ(back, "mine");
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path)) ++files, (void)e;
  EXPECT_EQ(files, 1u);
}

TEST(Files, LinksAreWrittenThroughAndKept) {
  tl::test::TempFolder dir;
  ASSERT_TRUE(paths::makeDirs(dir.file("real")));
  const std::string target = dir.file("real/lesson.srt"), link = dir.file("lesson.srt");
  ASSERT_TRUE(paths::atomicWriteFile(target, "old"));
  ASSERT_EQ(::symlink("real/lesson.srt", link.c_str()), 0);  // relative link
  ASSERT_EQ(::symlink("lesson.srt", dir.file("chain.srt").c_str()), 0);
  std::string back;
  ASSERT_TRUE(paths::atomicWriteFile(dir.file("chain.srt"), "new"));
  struct stat st;
  ASSERT_EQ(::lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_EQ(::lstat(dir.file("chain.srt").c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  ASSERT_TRUE(paths::readFile(target, back));
  EXPECT_EQ(back, "new");
  // A dangling link creates its target.
  ASSERT_EQ(::symlink("real/fresh.dat", dir.file("fresh.dat").c_str()), 0);
  ASSERT_TRUE(paths::atomicWriteFiles({{dir.file("fresh.dat"), "x"}, {dir.file("other.txt"), "y"}}));
  ASSERT_TRUE(paths::readFile(dir.file("real/fresh.dat"), back));
  EXPECT_EQ(back, "x");
  // A loop is an error, not a hang.
  ASSERT_EQ(::symlink("loop2", dir.file("loop1").c_str()), 0);
  ASSERT_EQ(::symlink("loop1", dir.file("loop2").c_str()), 0);
  std::string err;
  EXPECT_FALSE(paths::atomicWriteFile(dir.file("loop1"), "x", &err));
  EXPECT_FALSE(err.empty());
}

TEST(Files, StaleTemporariesOfOurOwnAreRemovedAtTheNextSave) {
  tl::test::TempFolder dir;
  const std::string f = dir.file("a.dat");
  const std::string oldTmp = dir.file(".a.dat" + std::string(paths::kTempMark) + "Ab12Cd");
  const std::string legacy = dir.file("a.dat.tmp-XyZ123");
  const std::string young = dir.file(".a.dat" + std::string(paths::kTempMark) + "Young1");
  const std::string foreign = dir.file("a.dat.tmp-notours-at-all");
  const std::string otherFile = dir.file(".b.dat" + std::string(paths::kTempMark) + "Ab12Cd");
  for (const auto& p : {oldTmp, legacy, young, foreign, otherFile}) ASSERT_TRUE(paths::atomicWriteFile(p, "junk"));
  const struct timespec old[2] = {{::time(nullptr) - 3600, 0}, {::time(nullptr) - 3600, 0}};
  for (const auto& p : {oldTmp, legacy, foreign, otherFile}) ASSERT_EQ(::utimensat(AT_FDCWD, p.c_str(), old, 0), 0);
  EXPECT_TRUE(paths::isOurTemporary(".a.dat.tallisen-save-Ab12Cd", "a.dat"));
  EXPECT_FALSE(paths::isOurTemporary(".a.dat.tallisen-save-Ab12Cd", "b.dat"));
  ASSERT_TRUE(paths::atomicWriteFile(f, "new"));
  EXPECT_FALSE(paths::fileExists(oldTmp));
  EXPECT_FALSE(paths::fileExists(legacy));
  EXPECT_TRUE(paths::fileExists(young));      // may be another process's save in progress
  EXPECT_TRUE(paths::fileExists(foreign));    // not our naming
  EXPECT_TRUE(paths::fileExists(otherFile));  // another file's: its own save cleans it
}

TEST(Files, SeveralFilesFailTogetherBeforeAnythingIsReplaced) {
  tl::test::TempFolder dir;
  const std::string a = dir.file("a.dat"), b = dir.file("a.txt");
  ASSERT_TRUE(paths::atomicWriteFiles({{a, "dat 1"}, {b, "txt 1"}}));
  ASSERT_EQ(::chmod(b.c_str(), 0444), 0);
  std::string err, back;
  EXPECT_FALSE(paths::atomicWriteFiles({{a, "dat 2"}, {b, "txt 2"}}, &err));
  EXPECT_NE(err.find(b), std::string::npos);
  ASSERT_TRUE(paths::readFile(a, back));
  EXPECT_EQ(back, "dat 1");  // the first file was not replaced either
  ::chmod(b.c_str(), 0644);
  ASSERT_TRUE(paths::atomicWriteFiles({{a, "dat 2"}, {b, "txt 2"}}, &err)) << err;
  ASSERT_TRUE(paths::readFile(b, back));
  EXPECT_EQ(back, "txt 2");
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(dir.path)) ++files, (void)e;
  EXPECT_EQ(files, 2u);
}

TEST_F(ExedirTest, PerUserDataFolderFollowsXdg) {
  const char* keep = std::getenv("XDG_DATA_HOME");
  const std::string saved = keep ? keep : "";
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(paths::userDataDir(), "/data/home/tallisen/");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(paths::userDataDir(), std::string(std::getenv("HOME")) + "/.local/share/tallisen/");
  if (keep) setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

// The per-user data folder takes the shipped files from the program folder,
// or for an installed program from <prefix>/share/tallisen/; it keeps its own.
TEST(Paths, TheDataFolderIsSeededFromTheProgramOrTheInstall) {
  tl::test::TempFolder dir;
  namespace fs = std::filesystem;
  fs::create_directories(dir.file("prefix/bin"));
  fs::create_directories(dir.file("prefix/share/tallisen"));
  fs::create_directories(dir.file("user"));
  ASSERT_TRUE(paths::atomicWriteFile(dir.file("prefix/share/tallisen/escape.txt"), "the\r\n"));
  ASSERT_TRUE(paths::atomicWriteFile(dir.file("user/word.csv"), "mine\r\n"));
  ASSERT_TRUE(paths::atomicWriteFile(dir.file("prefix/bin/word.csv"), "shipped\r\n"));
  paths::seedDataDir(dir.file("user"), dir.file("prefix/bin") + "/");
  std::string back;
  ASSERT_TRUE(paths::readFile(dir.file("user/escape.txt"), back));
  EXPECT_EQ(back, "the\r\n");
  ASSERT_TRUE(paths::readFile(dir.file("user/word.csv"), back));
  EXPECT_EQ(back, "mine\r\n");
}

}  // namespace
