#include <gtest/gtest.h>

#include <filesystem>

#include "platform/drives/drives.h"
#include "platform/paths/files.h"
#include "platform/shell/shell.h"
#include "support/tempfolder.h"

namespace {

TEST(Shell, FakeRecordsCallsAndAnswersAsTold) {
  tl::FakeShell fake;
  tl::Shell& shell = fake;
  EXPECT_TRUE(shell.open("/data/word.csv"));
  EXPECT_TRUE(shell.startProgram("/opt/quendle/quendle", {}));
  fake.result = false;
  std::string err;
  EXPECT_FALSE(shell.open("http://example.org/", &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(fake.opened, (std::vector<std::string>{"/data/word.csv", "http://example.org/"}));
  ASSERT_EQ(fake.started.size(), 1u);
  EXPECT_EQ(fake.started[0].path, "/opt/quendle/quendle");
}

TEST(Shell, TellsAddressesFromPaths) {
  EXPECT_TRUE(tl::isUrlTarget("http://example.org/help"));
  EXPECT_TRUE(tl::isUrlTarget("URL:https://example.org/"));
  EXPECT_TRUE(tl::isUrlTarget("mailto:someone@example.org"));
  EXPECT_FALSE(tl::isUrlTarget("/home/u/word.csv"));
  EXPECT_FALSE(tl::isUrlTarget("word.csv"));
  EXPECT_FALSE(tl::isUrlTarget("/home/u/a:b.txt"));
}

TEST(Shell, DesktopShellReportsWhatItCannotDo) {
  tl::DesktopShell shell;
  std::string err;
  EXPECT_FALSE(shell.open("/nonexistent/file.csv", &err));
  EXPECT_NE(err.find("/nonexistent/file.csv"), std::string::npos);
  EXPECT_FALSE(shell.open("", &err));
  EXPECT_FALSE(shell.startProgram("/nonexistent/program", {}, &err));
  EXPECT_NE(err.find("/nonexistent/program"), std::string::npos);
  tl::test::TempFolder dir;
  ASSERT_TRUE(tl::paths::atomicWriteFile(dir.file("plain.txt"), "x"));
  EXPECT_FALSE(shell.startProgram(dir.file("plain.txt"), {}, &err));  // not executable
  EXPECT_FALSE(shell.startProgram("no-such-program-anywhere", {}, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(shell.startProgram("/bin/true", {"ignored", "args"}, &err)) << err;
}

void put(const std::string& path, const std::string& text) {
  ASSERT_TRUE(tl::paths::makeDirs(tl::paths::parentDir(path)));
  ASSERT_TRUE(tl::paths::atomicWriteFile(path, text));
}

TEST(Drives, ListsOpticalDrivesInDeviceOrder) {
  tl::test::TempFolder root;
  put(root.file("sys/block/sr10/device/model"), "DVD-ROM X  \n");
  put(root.file("sys/block/sr0/device/vendor"), "MAKER   \n");
  put(root.file("sys/block/sr0/device/model"), "BD-RE  WH16\n");
  std::filesystem::create_directories(root.file("sys/block/sr1"));
  std::filesystem::create_directories(root.file("sys/block/sda"));
  std::filesystem::create_directories(root.file("sys/block/srx"));
  const auto list = tl::SystemDrives(root.path).list();
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].device, "/dev/sr0");
  EXPECT_EQ(list[0].name, "sr0 (MAKER BD-RE  WH16)");
  EXPECT_EQ(list[1].device, "/dev/sr1");
  EXPECT_EQ(list[1].name, "sr1");
  EXPECT_EQ(list[2].device, "/dev/sr10");
  EXPECT_EQ(list[2].name, "sr10 (DVD-ROM X)");
}

TEST(Drives, FallsBackOnProcAndIsEmptyWithoutDrives) {
  tl::test::TempFolder root;
  EXPECT_TRUE(tl::SystemDrives(root.path).list().empty());
  put(root.file("proc/sys/dev/cdrom/info"),
      "CD-ROM information, Id: cdrom.c 3.20 2003/12/17\n\ndrive name:\t\tsr1\tsr0\ndrive speed:\t\t24\t24\n");
  const auto list = tl::SystemDrives(root.path).list();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].device, "/dev/sr0");
  EXPECT_EQ(list[1].device, "/dev/sr1");
  tl::FakeDrives fake;
  fake.drives = {{"/dev/sr0", "sr0"}};
  EXPECT_EQ(static_cast<const tl::Drives&>(fake).list().size(), 1u);
  // The real machine: whatever it has, listing works.
  for (const auto& d : tl::SystemDrives().list()) EXPECT_EQ(d.device.rfind("/dev/sr", 0), 0u);
}

}  // namespace
