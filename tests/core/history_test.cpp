#include "core/history.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "core/progressfile.h"
#include "support/lessonbuilder.h"
#include "support/tempfolder.h"

namespace fs = std::filesystem;

namespace tl {
namespace {

// Bytes of a progress file: states, total, adjustment, resume slot, stars.
std::string progress(const std::vector<int32_t>& states, int32_t total, int64_t adj, int32_t resume,
                     const std::vector<int32_t>& stars) {
  std::string b;
  auto put32 = [&](int32_t v) { b.append((const char*)&v, 4); };
  for (int32_t s : states) put32(s);
  put32(total);
  b.append((const char*)&adj, 8);
  put32(resume);
  for (int32_t s : stars) put32(s);
  return b;
}

std::vector<int32_t> rep(int32_t v, int n) { return std::vector<int32_t>(n, v); }
std::vector<int32_t> cat(std::vector<std::vector<int32_t>> parts) {
  std::vector<int32_t> out;
  for (auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

TEST(ProgressScan, CountsOfAKnownFile) {
  // 200 letters: 50 closed, 20 hinted, 100 open, 30 re-closed; line ends -1.
  const auto states = cat({rep(1, 50), rep(2, 20), rep(0, 100), rep(3, 30), rep(-1, 4)});
  const ProgressScan s = scanProgressBytes(progress(states, 200, 0, 3, rep(0, 5)));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 200);
  EXPECT_EQ(s.states, 204);
  EXPECT_EQ(s.of(0), 100);
  EXPECT_EQ(s.of(1), 50);
  EXPECT_EQ(s.of(2), 20);
  EXPECT_EQ(s.of(3), 30);
  EXPECT_EQ(s.of(-1), 4);
}

TEST(ProgressScan, SmallTotalIsFoundByTheLayoutAfterIt) {
  // Two letters; the adjustment 70000 would be taken for the total by a scan
  // that stops at the first value outside -1..3.
  const auto states = std::vector<int32_t>{-1, 0, 1, -1, -1};
  ProgressScan s = scanProgressBytes(progress(states, 2, 70000, 1, {0, 1, 0}));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 2);
  EXPECT_EQ(s.states, 5);
  EXPECT_EQ(s.of(0), 1);
  EXPECT_EQ(s.of(1), 1);
  // Adjustment 0: the whole file lies inside -1..3.
  s = scanProgressBytes(progress({1, 1, 1, -1, -1}, 3, 0, 0, {0, 0, 0, 0, 0}));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 3);
  EXPECT_EQ(s.of(1), 3);
  EXPECT_EQ(s.of(0), 0);
}

TEST(ProgressScan, UnreadableFiles) {
  // Ends inside the states.
  EXPECT_FALSE(scanProgressBytes(progress({1, 1, 1}, 1, 0, 0, {}).substr(0, 12)).ok);
  // Total 0 or below.
  EXPECT_FALSE(scanProgressBytes(progress({-1, -1}, -5, 0, 0, {0, 0, 0})).ok);
  // A small value with a layout that does not fit (even star count).
  EXPECT_FALSE(scanProgressBytes(progress({-1, 1, -1}, 1, 0, 0, {0, 0, 0, 0})).ok);
  // Resume slot outside the table.
  EXPECT_FALSE(scanProgressBytes(progress({-1, 1, -1}, 1, 0, -1, {0, 0, 0})).ok);
  EXPECT_FALSE(scanProgressBytes(std::string()).ok);
}

TEST(ProgressScan, TotalOfFourOrMoreAsBefore) {
  // A truncated tail does not matter once the total is 4 or more.
  const std::string b = progress({1, 1, 1, 1, 0}, 5, 0, 0, {0, 0, 0});
  const ProgressScan s = scanProgressBytes(b.substr(0, 6 * 4));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 5);
  EXPECT_EQ(s.of(1), 4);
}

TEST(ProgressScan, LargeTotalWinsOverASmallValueThatWouldAlsoFit) {
  // Hinted line ends just before the total, no adjustment, resume slot 0:
  // a total of 2 two values earlier would fit the layout too.
  const auto states = cat({rep(0, 10), rep(2, 2)});
  const ProgressScan s = scanProgressBytes(progress(states, 10, 0, 0, rep(0, 3)));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 10);
  EXPECT_EQ(s.of(2), 2);
}

TEST(ProgressScan, FileWrittenByTheSaveReadsBack) {
  Lesson L = test::LessonBuilder().cue(0, 0, "Hi\r\n").cue(0, 0, "Go\r\n").build();
  L.subflg = {{}, {0, 1, -1, -1}, {}, {2, 3, -1, -1}, {}};
  L.flgtotal = 4;
  L.substar = {0, 1, 0, 0, 0};
  L.cursub = 3;
  L.adjsaved = -12345;
  const ProgressScan s = scanProgressBytes(progressBytes(L));
  ASSERT_TRUE(s.ok);
  EXPECT_EQ(s.total, 4);
  EXPECT_EQ(s.of(2), 1);
}

TEST(Rank, Thresholds) {
  EXPECT_STREQ(rankOf(0), "E");
  EXPECT_STREQ(rankOf(999), "E");
  EXPECT_STREQ(rankOf(1000), "D");
  EXPECT_STREQ(rankOf(9999), "C");
  EXPECT_STREQ(rankOf(10000), "B");
  EXPECT_STREQ(rankOf(20000), "A");
  EXPECT_STREQ(rankOf(199999), "S");
  EXPECT_STREQ(rankOf(200000), "☆");
  EXPECT_EQ(rankMessage(0), "現在ランクはEです（達成文字数0文字）");
}

TEST(StudyTime, TotalAndThisRunAcrossTickWrap) {
  // Base 1 h; this run 61.5 s across the 32-bit wrap.
  const uint32_t start = 0xFFFFFFFFu - 999;
  EXPECT_EQ(totalTimeMessage(3600000, start, start + 61500), "総学習時間:01:01:01 今回学習時間00:01:01");
}

TEST(Texts, Columns) {
  EXPECT_EQ(hintRateText(12.5), "12.5");
  EXPECT_EQ(hintRateText(100.0 / 3), "33.3333333333333");
  EXPECT_EQ(hintRateText(0), "0");
  std::tm tm{};
  tm.tm_year = 2024 - 1900;
  tm.tm_mon = 2;
  tm.tm_mday = 5;
  tm.tm_hour = 7;
  tm.tm_min = 9;
  tm.tm_isdst = -1;
  EXPECT_EQ(lastWriteText(std::mktime(&tm)), "2024/03/05  07:09");
  EXPECT_EQ(unreadableMessage({"/a.dat", "/b.dat"}), "/a.datの読み込みに失敗しました\n/b.datの読み込みに失敗しました");
}

class Listing : public ::testing::Test {
 protected:
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  tl::test::TempFolder tmp{"tl-hist"};
  fs::path dir{tmp.path};
};

TEST_F(Listing, RowsSortedByNameWithRatesScoreAndUnreadableFiles) {
  const auto states = cat({rep(1, 50), rep(2, 20), rep(0, 100), rep(3, 30)});
  write("beta.dat", progress(states, 200, 0, 1, rep(0, 3)));
  write("Alpha.dat", progress(cat({rep(0, 6), rep(3, 2), rep(-1, 3)}), 8, 0, 1, rep(0, 3)));
  write("gamma.dat", progress({1, 1}, 1, 0, 0, {}).substr(0, 8));  // ends in the states
  write("notes.txt", "x");
  fs::create_directories(dir / "folder.dat");
  // A pipe (it would never answer) and a device are passed over like folders.
  ASSERT_EQ(::mkfifo((dir / "pipe.dat").c_str(), 0644), 0);
  fs::create_symlink("/dev/zero", dir / "zero.dat");
  const HistoryListing h = SearchFile(dir.string());
  ASSERT_TRUE(h.folder);
  ASSERT_EQ(h.rows.size(), 2u);
  EXPECT_EQ(h.rows[0].name, "Alpha");
  EXPECT_EQ(h.rows[0].path, (dir / "Alpha.dat").string());
  EXPECT_TRUE(h.rows[0].complete);
  EXPECT_EQ(h.rows[0].achievement, 100);
  EXPECT_EQ(h.rows[0].hintrate, 0);
  const HistoryRow& b = h.rows[1];
  EXPECT_EQ(b.name, "beta");
  EXPECT_FALSE(b.complete);
  EXPECT_EQ(b.achievement, 75);
  EXPECT_DOUBLE_EQ(b.hintrate, 10);
  EXPECT_EQ(totalText(b), "200文字");
  EXPECT_EQ(h.score, 8 + 130);
  ASSERT_EQ(h.unreadable.size(), 1u);
  EXPECT_EQ(h.unreadable[0], (dir / "gamma.dat").string());
}

TEST_F(Listing, RatesStayWithinTheirRange) {
  // More closed letters than the total claims.
  write("odd.dat", progress(rep(1, 30), 10, 0, 0, rep(0, 3)));
  const HistoryListing h = SearchFile(dir.string());
  ASSERT_EQ(h.rows.size(), 1u);
  EXPECT_EQ(h.rows[0].achievement, 0);
}

TEST_F(Listing, MissingFolderAndEmptyFolder) {
  EXPECT_FALSE(SearchFile((dir / "none").string()).folder);
  const HistoryListing h = SearchFile(dir.string());
  EXPECT_TRUE(h.folder);
  EXPECT_TRUE(h.rows.empty());
  EXPECT_EQ(h.score, 0);
}

}  // namespace
}  // namespace tl
