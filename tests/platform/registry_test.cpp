#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "platform/paths/files.h"
#include "platform/registry/registry.h"
#include "support/tempfolder.h"

using tl::reg::Hive;
using tl::reg::Type;
using tl::reg::Value;

namespace {

const std::string kKey = "\\Software\\Tallisen\\option";

std::string slurp(const std::string& path) {
  std::string s;
  tl::paths::readFile(path, s);
  return s;
}

void spit(const std::string& path, const std::string& bytes) { ASSERT_TRUE(tl::paths::atomicWriteFile(path, bytes)); }

TEST(Registry, EveryTypeRoundTripsThroughTheFile) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("sub/folder/user.hive");  // folders are created
  {
    Hive h(path);
    ASSERT_TRUE(h.load());
    h.setString(kKey, "text", "日本語 text");
    h.setString(kKey, "empty", "");
    h.setBinary(kKey, "bin", std::string("\0\1\xff\0", 4));
    h.setDWord(kKey, "dword", 0xFFFFFFFFu);
    h.setValue(kKey, "qword", Value{Type::QWord, {}, 0x0123456789ABCDEFull});
    h.setString(kKey, "", "default value");
    h.createKey("\\Software\\Tallisen\\emptykey");
    std::string err;
    ASSERT_TRUE(h.save(&err)) << err;
  }
  Hive h(path);
  ASSERT_TRUE(h.load());
  std::string s;
  EXPECT_TRUE(h.getString(kKey, "text", s));
  EXPECT_EQ(s, "日本語 text");
  EXPECT_TRUE(h.getString(kKey, "empty", s));
  EXPECT_EQ(s, "");
  EXPECT_TRUE(h.getString(kKey, "", s));
  EXPECT_EQ(s, "default value");
  EXPECT_EQ(h.value(kKey, "bin")->type, Type::Binary);
  EXPECT_EQ(h.value(kKey, "bin")->data, std::string("\0\1\xff\0", 4));
  EXPECT_EQ(h.value(kKey, "dword")->type, Type::DWord);
  EXPECT_EQ(h.value(kKey, "dword")->number, 0xFFFFFFFFu);
  EXPECT_EQ(h.value(kKey, "qword")->type, Type::QWord);
  EXPECT_EQ(h.value(kKey, "qword")->number, 0x0123456789ABCDEFull);
  EXPECT_TRUE(h.keyExists("Software\\Tallisen\\emptykey"));
  // A value of another type is no string.
  EXPECT_FALSE(h.getString(kKey, "dword", s));
  EXPECT_FALSE(h.getString(kKey, "missing", s));
  EXPECT_FALSE(h.value(kKey, "missing"));
  EXPECT_FALSE(h.value("Software\\Nothing", "x"));
}

TEST(Registry, KeysAndNamesIgnoreAsciiCaseButKeepTheirSpelling) {
  Hive h;
  h.setString("Software\\Tallisen\\Window", "PaintBoxs1", "1");
  std::string s;
  EXPECT_TRUE(h.getString("\\SOFTWARE\\tallisen\\WINDOW\\", "paintboxs1", s));
  EXPECT_EQ(s, "1");
  EXPECT_TRUE(h.keyExists("software\\\\TALLISEN"));
  EXPECT_EQ(h.subkeys("software"), std::vector<std::string>{"Tallisen"});
  EXPECT_EQ(h.subkeys("SOFTWARE\\TALLISEN"), std::vector<std::string>{"Window"});
  EXPECT_EQ(h.subkeys(""), std::vector<std::string>{"Software"});
  // Writing with other case replaces the value; the key keeps its spelling,
  // the value takes the newest.
  h.setString("software\\tallisen\\window", "PAINTBOXS1", "2");
  EXPECT_EQ(h.valueNames("Software\\Tallisen\\Window"), std::vector<std::string>{"PAINTBOXS1"});
  EXPECT_EQ(h.subkeys("Software\\Tallisen"), std::vector<std::string>{"Window"});
  // Case folding is ASCII only: other letters stay distinct.
  h.setString("k", "É", "a");
  h.setString("k", "é", "b");
  EXPECT_EQ(h.valueNames("k").size(), 2u);
  // Overwriting with another type changes the type.
  h.setDWord("k", "É", 5);
  EXPECT_EQ(h.value("k", "é")->data, "b");
  EXPECT_EQ(h.value("K", "É")->type, Type::DWord);
}

TEST(Registry, DeleteKeyTakesEverythingBelowIt) {
  tl::test::TempFolder dir;
  Hive h(dir.file("h.hive"));
  h.setString("a\\b\\c", "v", "1");
  h.setString("a\\b", "v", "2");
  h.setString("a\\bc", "v", "3");  // a sibling whose name starts alike survives
  h.setString("a", "v", "4");
  ASSERT_TRUE(h.save());
  EXPECT_TRUE(h.deleteKey("A\\B"));
  EXPECT_FALSE(h.deleteKey("a\\b"));
  EXPECT_FALSE(h.keyExists("a\\b\\c"));
  EXPECT_FALSE(h.keyExists("a\\b"));
  EXPECT_TRUE(h.keyExists("a\\bc"));
  EXPECT_TRUE(h.deleteValue("a", "V"));
  EXPECT_FALSE(h.deleteValue("a", "v"));
  ASSERT_TRUE(h.save());
  Hive again(dir.file("h.hive"));
  ASSERT_TRUE(again.load());
  EXPECT_EQ(again.subkeys("a"), std::vector<std::string>{"bc"});
  EXPECT_TRUE(again.valueNames("a").empty());
}

TEST(Registry, SaveMergesWithWhatOthersWroteAndReplaysOwnChangesInOrder) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("h.hive");
  Hive a(path), b(path);
  ASSERT_TRUE(a.load());
  ASSERT_TRUE(b.load());
  a.setString("file", "f1", "one");
  a.setString("gone", "x", "1");
  ASSERT_TRUE(a.save());
  b.setString("onereg", "totaltime", "100");
  b.setString("gone", "y", "2");
  b.deleteKey("gone");          // removes a's "gone" too: b's changes come last
  b.setString("gone", "z", "3");  // and a later set brings the key back
  ASSERT_TRUE(b.save());
  std::string s;
  EXPECT_TRUE(b.getString("file", "f1", s));  // the view after save is the merged file
  EXPECT_EQ(b.valueNames("gone"), std::vector<std::string>{"z"});
  a.setString("file", "f2", "two");
  ASSERT_TRUE(a.save());
  EXPECT_TRUE(a.getString("onereg", "totaltime", s));
  EXPECT_EQ(s, "100");
  EXPECT_EQ(a.valueNames("gone"), std::vector<std::string>{"z"});
  // Loading drops changes not yet saved.
  a.setString("file", "unsaved", "x");
  ASSERT_TRUE(a.load());
  EXPECT_FALSE(a.value("file", "unsaved"));
}

TEST(Registry, TwoProcessesWritingAtOnceLoseNothing) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("cfg/h.hive");
  constexpr int kRounds = 60;
  auto writer = [&](const std::string& who) {
    Hive h(path);
    if (!h.load()) _exit(2);
    for (int i = 0; i < kRounds; ++i) {
      h.setDWord("race\\" + who, "n" + std::to_string(i), static_cast<uint32_t>(i));
      h.setDWord("race", who, static_cast<uint32_t>(i));
      std::string err;
      if (!h.save(&err)) _exit(3);
    }
    _exit(0);
  };
  pid_t kids[2];
  const char* names[2] = {"left", "right"};
  for (int k = 0; k < 2; ++k) {
    kids[k] = fork();
    ASSERT_GE(kids[k], 0);
    if (kids[k] == 0) writer(names[k]);
  }
  for (pid_t kid : kids) {
    int status = 0;
    ASSERT_EQ(waitpid(kid, &status, 0), kid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
  }
  Hive h(path);
  ASSERT_TRUE(h.load());
  for (const char* who : names) {
    EXPECT_EQ(h.valueNames(std::string("race\\") + who).size(), static_cast<size_t>(kRounds)) << who;
    EXPECT_EQ(h.value("race", who)->number, kRounds - 1u);
  }
  // No temporary file stays behind.
  for (const auto& e : std::filesystem::directory_iterator(dir.file("cfg")))
    EXPECT_EQ(e.path().string().find(".tmp"), std::string::npos) << e.path();
}

TEST(Registry, DamagedFilesAreReportedAndNeverOverwritten) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("h.hive");
  {
    Hive h(path);
    h.setString("Software\\Tallisen\\file", "file0", "/home/u/a.srt");
    h.setDWord("Software\\Tallisen\\onereg", "totaltime", 42);
    ASSERT_TRUE(h.save());
  }
  const std::string good = slurp(path);
  // Every cut and every flipped byte is caught.
  for (size_t n = 1; n < good.size(); ++n) {
    spit(path, good.substr(0, n));
    Hive h(path);
    std::string err;
    EXPECT_FALSE(h.load(&err)) << "cut at " << n;
    EXPECT_FALSE(err.empty());
    EXPECT_TRUE(h.corrupt());
  }
  for (size_t i = 0; i < good.size(); ++i) {
    std::string bad = good;
    bad[i] = static_cast<char>(bad[i] ^ 0x20);
    spit(path, bad);
    Hive h(path);
    EXPECT_FALSE(h.load()) << "flip at " << i;
  }
  // A damaged file stays as it is: save refuses with a message.
  const std::string garbage = "not a hive at all";
  spit(path, garbage);
  Hive h(path);
  std::string err;
  EXPECT_FALSE(h.load(&err));
  EXPECT_NE(err.find(path), std::string::npos);
  h.setString("k", "v", "x");
  err.clear();
  EXPECT_FALSE(h.save(&err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(h.writable());
  EXPECT_EQ(slurp(path), garbage);
  // A file damaged by someone else between load and save is caught too.
  spit(path, good);
  Hive late(path);
  ASSERT_TRUE(late.load());
  spit(path, garbage);
  late.setString("k", "v", "x");
  EXPECT_FALSE(late.save(&err));
  EXPECT_EQ(slurp(path), garbage);
  // An empty file is an empty hive.
  spit(path, "");
  Hive empty(path);
  EXPECT_TRUE(empty.load());
  EXPECT_FALSE(empty.corrupt());
}

// Valid header and checksum around a hostile payload.
std::string withHeader(const std::string& payload) {
  auto put = [](std::string& s, uint32_t v) {
    for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : payload) {
    c ^= b;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
  }
  std::string s = "TLHIVE\r\n";
  put(s, 1);
  put(s, 0);
  put(s, static_cast<uint32_t>(payload.size()));
  put(s, c ^ 0xFFFFFFFFu);
  return s + payload;
}

std::string u32(uint32_t v) {
  std::string s;
  for (int i = 0; i < 4; ++i) s.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  return s;
}
std::string str(const std::string& s) { return u32(static_cast<uint32_t>(s.size())) + s; }

TEST(Registry, HostileContentBehindAValidChecksumIsRejected) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("h.hive");
  const std::string value1 = str("v") + u32(1) + str("x");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"huge key count", u32(0xFFFFFFFFu)},
      {"huge path length", u32(1) + u32(0xFFFFFFF0u) + "ab"},
      {"huge value count", u32(1) + str("k") + u32(0x7FFFFFFF)},
      {"huge data length", u32(1) + str("k") + u32(1) + str("v") + u32(1) + u32(0xFFFFFFFFu)},
      {"unknown type", u32(1) + str("k") + u32(1) + str("v") + u32(7) + str("x")},
      {"short dword", u32(1) + str("k") + u32(1) + str("v") + u32(4) + str("abc")},
      {"long qword", u32(1) + str("k") + u32(1) + str("v") + u32(11) + str("123456789")},
      {"duplicate key", u32(2) + str("Key") + u32(0) + str("KEY") + u32(0)},
      {"duplicate value", u32(1) + str("k") + u32(2) + value1 + value1},
      {"empty component", u32(1) + str("a\\\\b") + u32(0)},
      {"leading backslash", u32(1) + str("\\a") + u32(0)},
      {"trailing bytes", u32(0) + "x"},
      {"missing count", ""},
  };
  for (const auto& [what, payload] : cases) {
    spit(path, withHeader(payload));
    Hive h(path);
    EXPECT_FALSE(h.load()) << what;
  }
  spit(path, withHeader(u32(1) + str("a\\b") + u32(1) + value1));  // parent added by the reader
  Hive h(path);
  ASSERT_TRUE(h.load());
  EXPECT_EQ(h.subkeys("a"), std::vector<std::string>{"b"});
  // Other versions are refused, not misread.
  std::string v2 = withHeader(u32(0));
  v2[8] = 2;
  spit(path, v2);
  std::string err;
  EXPECT_FALSE(h.load(&err));
  EXPECT_NE(err.find("version"), std::string::npos);
}

TEST(Registry, OneVeryDeepKeyPathIsDamageNotAnEndlessCopy) {
  // 128 KB of "a\\a\\..." used to make the reader copy every prefix of it.
  tl::test::TempFolder dir;
  const std::string path = dir.file("deep.hive");
  std::string deep = "a";
  while (deep.size() < 128 * 1024) deep += "\\a";
  spit(path, withHeader(u32(1) + str(deep) + u32(0)));
  const std::string bytes = slurp(path);
  Hive h(path);
  std::string err;
  EXPECT_FALSE(h.load(&err));
  EXPECT_TRUE(h.corrupt());
  EXPECT_NE(err.find("damaged"), std::string::npos);
  h.setString(kKey, "x", "1");
  EXPECT_FALSE(h.save());
  EXPECT_EQ(slurp(path), bytes);  // left as it is
  // Keys that real programs use, with parents missing from the file, still read.
  std::string ok = "Software\\Classes\\CLSID\\{083863F1-70DE-11D0-BD40-00A0C911CE86}\\Instance\\"
                   "{1B544C20-FD0B-11CE-8C63-00AA0044B51E}";
  spit(path, withHeader(u32(1) + str(ok) + u32(0)));
  Hive fine(path);
  ASSERT_TRUE(fine.load());
  EXPECT_TRUE(fine.keyExists("Software\\Classes\\CLSID"));
  // A key beyond the bounds is never created, so every hive written reads back.
  fine.createKey(deep);
  fine.setString(deep, "v", "x");
  EXPECT_FALSE(fine.keyExists(deep));
  ASSERT_TRUE(fine.save());
  Hive again(path);
  EXPECT_TRUE(again.load());
}

// A hive holds far more than any real use needs but not without end: a file
// beyond the bounds is damage read in no time (it used to take seconds and a
// gigabyte at every start), and a save never writes one.
TEST(Registry, MoreThanAHiveMayHoldIsDamageAndIsNeverWritten) {
  tl::test::TempFolder dir;
  const std::string path = dir.file("big.hive");
  std::string tail;
  for (int d = 0; d < 31; ++d) tail += "\\a";
  std::string records;
  const uint32_t n = tl::reg::kMaxHiveKeys / 32 + 1;  // each adds 32 keys
  for (uint32_t i = 0; i < n; ++i) records += str("k" + std::to_string(i) + tail) + u32(0);
  for (const std::string& file : {withHeader(u32(n) + records), std::string(tl::reg::kMaxHiveBytes + 1, 'x')}) {
    spit(path, file);
    Hive h(path);
    std::string err;
    EXPECT_FALSE(h.load(&err));
    EXPECT_NE(err.find("damaged"), std::string::npos) << err;
    h.setString(kKey, "x", "1");
    EXPECT_FALSE(h.save());
    EXPECT_EQ(slurp(path), file);
  }
  ::unlink(path.c_str());
  Hive h(path);
  for (uint32_t i = 0; i <= tl::reg::kMaxHiveKeys; ++i) h.createKey("k" + std::to_string(i));
  std::string err;
  EXPECT_FALSE(h.save(&err));
  EXPECT_FALSE(err.empty());
  EXPECT_FALSE(std::filesystem::exists(path));
  ASSERT_TRUE(h.deleteKey("k0"));
  EXPECT_TRUE(h.save());
  Hive again(path);
  EXPECT_TRUE(again.load());
}

TEST(Registry, AFailedWriteReportsWhyAndKeepsTheOldFile) {
  tl::test::TempFolder dir;
  // The parent "folder" is a file: nothing can be created there.
  spit(dir.file("blocker"), "x");
  Hive h(dir.file("blocker/h.hive"));
  ASSERT_TRUE(h.load());
  h.setString("k", "v", "1");
  std::string err;
  EXPECT_FALSE(h.writable());
  EXPECT_FALSE(h.save(&err));
  EXPECT_FALSE(err.empty());
  std::string s;
  EXPECT_TRUE(h.getString("k", "v", s));  // the change stays for a later try
}

TEST(Registry, AReadOnlyFolderKeepsTheOldFile) {
  tl::test::TempFolder dir;
  std::string err;
  if (geteuid() == 0) GTEST_SKIP() << "permissions do not stop root";
  const std::string ro = dir.file("ro");
  std::filesystem::create_directory(ro);
  Hive first(ro + "/h.hive");
  first.setString("k", "v", "old");
  ASSERT_TRUE(first.save());
  const std::string before = slurp(ro + "/h.hive");
  std::filesystem::permissions(ro, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  Hive second(ro + "/h.hive");
  ASSERT_TRUE(second.load());
  EXPECT_FALSE(second.writable());
  second.setString("k", "v", "new");
  EXPECT_FALSE(second.save(&err));
  EXPECT_EQ(slurp(ro + "/h.hive"), before);
}

TEST(Registry, InMemoryHiveTouchesNoFile) {
  Hive h;
  EXPECT_TRUE(h.load());
  h.setString("a", "b", "c");
  EXPECT_TRUE(h.writable());
  EXPECT_TRUE(h.save());
  std::string s;
  EXPECT_TRUE(h.getString("a", "b", s));
  EXPECT_TRUE(h.path().empty());
}

TEST(Registry, HivePathsFollowTheEnvironment) {
  const char* keepUser = std::getenv("TALLISEN_USER_HIVE");
  const char* keepXdg = std::getenv("XDG_CONFIG_HOME");
  const std::string savedUser = keepUser ? keepUser : "", savedXdg = keepXdg ? keepXdg : "";
  setenv("TALLISEN_USER_HIVE", "/x/u.hive", 1);
  EXPECT_EQ(tl::reg::userHivePath(), "/x/u.hive");
  unsetenv("TALLISEN_USER_HIVE");
  setenv("XDG_CONFIG_HOME", "/cfg/", 1);
  EXPECT_EQ(tl::reg::userHivePath(), "/cfg/tallisen/user.hive");
  unsetenv("XDG_CONFIG_HOME");
  setenv("HOME", std::getenv("HOME") ? std::getenv("HOME") : "/root", 1);
  EXPECT_EQ(tl::reg::userHivePath(), std::string(std::getenv("HOME")) + "/.config/tallisen/user.hive");
  setenv("TALLISEN_MACHINE_HIVE", "/m.hive", 1);
  EXPECT_EQ(tl::reg::machineHivePath(), "/m.hive");
  unsetenv("TALLISEN_MACHINE_HIVE");
  EXPECT_EQ(tl::reg::machineHivePath(), "/var/lib/tallisen/machine.hive");
  if (keepUser) setenv("TALLISEN_USER_HIVE", savedUser.c_str(), 1);
  if (keepXdg) setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
}

}  // namespace
