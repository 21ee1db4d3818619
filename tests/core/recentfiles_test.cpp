#include "core/recentfiles.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"

namespace {

const std::string kFile = "Software\\Tallisen\\file";

TEST(RecentFiles, NewestFirstWithoutDuplicates) {
  std::vector<std::string> l;
  tl::refileadd(l, "/v/a.avi");
  tl::refileadd(l, "/v/b.srt");
  tl::refileadd(l, "/v/a.avi");
  EXPECT_EQ(l, (std::vector<std::string>{"/v/a.avi", "/v/b.srt"}));
  tl::refileadd(l, "/v/A.avi");  // comparison is exact
  EXPECT_EQ(l.size(), 3u);
  tl::refileadd(l, "");  // nothing to add
  EXPECT_EQ(l.size(), 3u);
}

TEST(RecentFiles, KeepsTenAndDropsTheOldest) {
  std::vector<std::string> l;
  for (int i = 0; i < 10; ++i) tl::refileadd(l, "f" + std::to_string(i));
  ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(l[9], "f0");
  tl::refileadd(l, "eleven");
  ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(l[0], "eleven");
  EXPECT_EQ(l[9], "f1");

  tl::reg::Hive h;
  ASSERT_TRUE(tl::WriteFile(h, l));
  EXPECT_EQ(tl::ReadFile(h), l);
  EXPECT_FALSE(h.value(kFile, "r10").has_value());
}

TEST(RecentFiles, GapsKeepTheirPlaceAndDigit) {
  tl::reg::Hive h;
  h.setString(kFile, "r0", "/x/a & b.avi");
  h.setString(kFile, "r2", "http://host/c.mp4");
  h.setDWord(kFile, "r3", 5);  // mistyped: read as empty, reported
  std::vector<std::string> msgs;
  auto l = tl::ReadFile(h, &msgs);
  ASSERT_EQ(l.size(), 10u);
  EXPECT_EQ(l[1], "");
  EXPECT_EQ(l[3], "");
  EXPECT_EQ(msgs.size(), 1u);

  auto items = tl::recentMenuItems(l);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].index, 0);
  EXPECT_EQ(items[0].caption, "0:/x/a && b.avi");
  EXPECT_EQ(items[0].path, "/x/a & b.avi");
  EXPECT_EQ(items[1].caption, "2:http://host/c.mp4");

  ASSERT_TRUE(tl::WriteFile(h, l));
  std::string r1 = "?";
  ASSERT_TRUE(h.getString(kFile, "r1", r1));
  EXPECT_EQ(r1, "");  // written back empty
}

TEST(RecentFiles, EmptyListWritesAnEmptyFirstEntry) {
  tl::reg::Hive h;
  ASSERT_TRUE(tl::WriteFile(h, {}));
  std::string r0 = "?";
  EXPECT_TRUE(h.getString(kFile, "r0", r0));
  EXPECT_EQ(r0, "");
  EXPECT_FALSE(h.value(kFile, "r1").has_value());
}

TEST(RecentFiles, MenuTextAndKindOfEntry) {
  EXPECT_EQ(tl::menuCaption("&a&&b"), "&&a&&&&b");
  EXPECT_TRUE(tl::refileIsSrt("/x/Movie.SRT"));
  EXPECT_TRUE(tl::refileIsSrt("b.srt"));
  EXPECT_FALSE(tl::refileIsSrt("/x/notes.txt"));
  EXPECT_FALSE(tl::refileIsSrt("srt"));
}

}  // namespace
