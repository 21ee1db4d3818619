// Where Quendle keeps its undo records: beside a writable program, else in
// the per-user data folder (an installed program's folder is read-only).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <filesystem>

#include "filtertool/recordfolder.h"
#include "support/tempfolder.h"

namespace fs = std::filesystem;

TEST(RecordFolder, BesideAWritableProgramElseInTheUserFolder) {
  const tl::test::TempFolder tmp("tl-recordfolder");
  const fs::path base = tmp.path;
  fs::create_directories(base / "prog");
  const QString prog = QString::fromStdString((base / "prog").string());
  const QString user = QString::fromStdString((base / "share" / "tallisen").string());
  EXPECT_EQ(quendle::recordFolder(prog, user), prog + "/");
  if (::geteuid() != 0) {  // root writes anywhere
    ::chmod((base / "prog").c_str(), 0555);
    EXPECT_EQ(quendle::recordFolder(prog, user), user + "/");
    EXPECT_TRUE(QFileInfo(user).isDir());
    ::chmod((base / "prog").c_str(), 0755);
  }
  // A program folder that is not there (or not a folder) is no place either.
  EXPECT_EQ(quendle::recordFolder(prog + "/missing", user + "/"), user + "/");
  EXPECT_TRUE(QFileInfo(user).isDir());
}
