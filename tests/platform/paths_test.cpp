#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/paths/files.h"
#include "platform/paths/paths.h"
#include "tempdir.h"

namespace paths = tl::paths;

namespace {

TEST(Files, AtomicWriteReplacesWholeFilesAndKeepsTheirMode) {
  tl::test::TempDir dir;
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
  for (const auto& e : std::filesystem::directory_iterator(dir.path())) ++files, (void)e;
  EXPECT_EQ(files, 1u);  // no temporary file left
}

TEST(Files, FailuresSayWhyAndCreateNothing) {
  tl::test::TempDir dir;
  std::string err, out = "stale";
  EXPECT_FALSE(paths::atomicWriteFile(dir.file("missing/x.txt"), "x", &err));
  EXPECT_NE(err.find("missing"), std::string::npos);
  EXPECT_FALSE(paths::dirExists(dir.file("missing")));
  err.clear();
  EXPECT_FALSE(paths::readFile(dir.file("none.txt"), out, &err));
  EXPECT_TRUE(out.empty());
  EXPECT_NE(err.find("none.txt"), std::string::npos);
  EXPECT_FALSE(paths::readFile(dir.path(), out, &err));  // a folder is no file
  EXPECT_FALSE(paths::atomicWriteFile("", "x", &err));
}

TEST(Files, MakeDirsAndPathParts) {
  tl::test::TempDir dir;
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
  unsetenv("TALLISEN_EXEDIR");
  // This test program's folder is writable, so it is the data folder.
  EXPECT_EQ(paths::exedir(), paths::programDir());
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
  tl::test::TempDir dir;
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
