// Record files: line format, odd lines, refused records, atomic rewrites.
#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <csignal>
#include <gtest/gtest.h>

#include "filtertool/fixture.h"
#include "filtertool/restorefile.h"

using quendle::RestoreFile;

TEST(RestoreFile, NewestFirstWithoutDuplicatesInCodePage932) {
  fx::TempStore t;
  RestoreFile f(t.recordPath(false));
  EXPECT_TRUE(f.add("A", "/m/a.ax"));
  EXPECT_TRUE(f.add(QString::fromUtf8("デコーダ"), "/m/b.ax"));
  EXPECT_TRUE(f.add("A", "/m/a.ax"));
  EXPECT_EQ(t.readRecords(false), "/m/b.ax?\x83\x66\x83\x52\x81\x5B\x83\x5F\r\n/m/a.ax?A\r\n");
  auto list = f.list();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].name, QString::fromUtf8("デコーダ"));
  EXPECT_EQ(list[1].path, "/m/a.ax");
}

TEST(RestoreFile, RemovesByPathOrWholeLineAndKeepsOddLines) {
  fx::TempStore t;
  t.writeRecords(true, "\n/a?X\r\n\r\n/a?Y\n/A?X\r\n/b?X\rtail\n/a\r\n");
  RestoreFile f(t.recordPath(true));
  EXPECT_EQ(f.remove("/a?Z", true), 0);
  EXPECT_EQ(t.readRecords(true), "\n/a?X\r\n\r\n/a?Y\n/A?X\r\n/b?X\rtail\n/a\r\n");  // untouched
  EXPECT_EQ(f.remove("/a?X", true), 1);
  EXPECT_EQ(t.readRecords(true), "/a?Y\r\n/A?X\r\n/b?X\rtail\r\n/a\r\n");
  EXPECT_EQ(f.remove("/a", false), 2);  // case-sensitive; a line without "?" is all path
  EXPECT_EQ(t.readRecords(true), "/A?X\r\n/b?X\rtail\r\n");
  auto list = f.list();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[1].name, "X\rtail");
}

TEST(RestoreFile, RefusesRecordsThatWouldBreakALine) {
  fx::TempStore t;
  RestoreFile f(t.recordPath(false));
  EXPECT_FALSE(f.add("A", "/what?.ax"));
  EXPECT_FALSE(f.add("A\nB", "/a.ax"));
  EXPECT_FALSE(f.add("A", "/a\r.ax"));
  EXPECT_FALSE(f.add(QString::fromUtf8("é"), "/a.ax"));  // no form in 932
  EXPECT_TRUE(f.add("A?B", "/a.ax"));  // a name may hold "?"
  EXPECT_EQ(t.readRecords(false), "/a.ax?A?B\r\n");
  RestoreFile inFolder(t.dir());  // a folder cannot be a record file
  EXPECT_FALSE(inFolder.add("A", "/a.ax"));
  EXPECT_EQ(inFolder.remove("/a.ax", false), -1);
  EXPECT_TRUE(inFolder.list().empty());
}

TEST(RestoreFile, AFailedRewriteKeepsEveryOlderRecord) {
  fx::TempStore t;
  const std::string old = "/m/a.ax?A\r\n/m/b.ax?B\r\n";
  t.writeRecords(false, old);
  RestoreFile f(t.recordPath(false));
  // Files may not grow beyond 30 bytes: the rewrite cannot be completed.
  struct rlimit saved {};
  getrlimit(RLIMIT_FSIZE, &saved);
  auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved;
  small.rlim_cur = 30;
  setrlimit(RLIMIT_FSIZE, &small);
  bool added = f.add("C", "/m/c.ax");
  setrlimit(RLIMIT_FSIZE, &saved);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(added);
  EXPECT_EQ(t.readRecords(false), old);
  EXPECT_EQ(QDir(t.dir()).entryList({"changed.bak.*"}, QDir::Files).size(), 0);  // no temporary left
}
