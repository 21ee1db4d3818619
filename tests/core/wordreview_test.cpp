// A review of the word test: which records come, OK / NG / delete, saving
// merged with the file, and where the replay starts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "core/wordfile.h"
#include "core/wordreview.h"
#include "platform/paths/files.h"
#include "support/tempfolder.h"

using namespace tl::word;
namespace fs = std::filesystem;

namespace {

const Stamp kNow{2012, 3, 14, 12, 0, 0};

std::string rec(const std::string& work, int slot, const std::string& word, const std::string& date,
                int level) {
  char no[16];
  std::snprintf(no, sizeof no, "no%.4d", slot);
  return work + "," + no + "," + word + ",tr,s\x81\x40t," + date + ",12:00:00," + std::to_string(level);
}

class ReviewTest : public ::testing::Test {
 protected:
  void SetUp() override { path = wordPath(dir.string() + "/"); }
  void put(const std::vector<std::string>& lines) {
    std::ofstream o(path, std::ios::binary);
    for (auto& l : lines) o << l << "\r\n";
  }
  std::vector<std::string> get() {
    WordFile f;
    readWordFile(path, f, nullptr);
    return f.lines;
  }
  // Words shown from the start to the end, answering each with `answer`.
  std::vector<std::string> walk(Review& r, char answer) {
    std::vector<std::string> shown;
    bool more = r.advance(kNow);
    while (more) {
      shown.push_back(r.word());
      more = answer == 'o' ? r.ok(kNow) : answer == 'd' ? r.remove(kNow) : r.ng(kNow);
    }
    return shown;
  }
  tl::test::TempFolder tmp{"tl-review"};
  fs::path dir{tmp.path};
  std::string path;
};

}  // namespace

TEST_F(ReviewTest, DueRecordsInSortedOrderAndBadLinesPassedOver) {
  put({rec("b.srt", 1, "today", "2012/03/14", 0),  // due, OK stores 1
       rec("a.srt", 3, "old", "2012/03/04", 0),    // 10 days: OK stores 3
       "", "a,b,c", rec("a.srt", 5, "bad", "14.03.2012", 0),
       rec("a.srt", 7, "done", "2012/01/01", 3),   // never again
       rec("a.srt", 9, "young", "2012/03/14", 1)}); // not a day old
  Review r;
  ASSERT_TRUE(r.start(path, Review::Mode::AllWorks, "", nullptr));
  ASSERT_TRUE(r.advance(kNow));
  EXPECT_EQ(r.word(), "old");
  EXPECT_EQ(r.nextlevel(), 3);
  EXPECT_EQ(r.sentence(), "s t");
  EXPECT_EQ(r.workLabel(), "a 2");
  EXPECT_TRUE(r.ok(kNow));
  EXPECT_EQ(r.word(), "today");
  EXPECT_EQ(r.nextlevel(), 1);
  EXPECT_FALSE(r.ok(kNow));
  EXPECT_TRUE(r.atEnd());
  ASSERT_TRUE(r.save(nullptr));
  EXPECT_FALSE(r.loaded());
  // Saved sorted; the lines that are no record stay as they were.
  EXPECT_EQ(get(), (std::vector<std::string>{"", "a,b,c", rec("a.srt", 3, "old", "2012/03/04", 3),
                                             rec("a.srt", 5, "bad", "14.03.2012", 0),
                                             rec("a.srt", 7, "done", "2012/01/01", 3),
                                             rec("a.srt", 9, "young", "2012/03/14", 1),
                                             rec("b.srt", 1, "today", "2012/03/14", 1)}));
  // The same day nothing is due any more.
  ASSERT_TRUE(r.start(path, Review::Mode::AllWorks, "", nullptr));
  EXPECT_EQ(walk(r, 'o'), std::vector<std::string>{});
}

TEST_F(ReviewTest, CurrentWorkComparesTheEncodedName) {
  // A name with a quote, a comma, a space and a literal "\s".
  const std::string name = "my \"best\",\\s.srt";
  put({rec(encodeWork(name), 1, "mine", "2012/03/14", 0), rec("my.srt", 1, "other", "2012/03/14", 0)});
  Review r;
  ASSERT_TRUE(r.start(path, Review::Mode::CurrentWork, name, nullptr));
  EXPECT_EQ(walk(r, 'n'), std::vector<std::string>{"mine"});
  // No subtitles loaded: straight to the end.
  ASSERT_TRUE(r.start(path, Review::Mode::CurrentWork, "", nullptr));
  EXPECT_FALSE(r.advance(kNow));
  EXPECT_TRUE(r.atEnd());
}

TEST_F(ReviewTest, SaveKeepsWordsRegisteredDuringTheReview) {
  const std::string a = rec("a.srt", 1, "a", "2012/03/14", 0), b = rec("a.srt", 3, "b", "2012/03/14", 0);
  put({a, b});
  Review r;
  ASSERT_TRUE(r.start(path, Review::Mode::AllWorks, "", nullptr));
  ASSERT_TRUE(r.advance(kNow));
  EXPECT_TRUE(r.remove(kNow));  // a deleted; b comes next
  EXPECT_EQ(r.word(), "b");
  const std::string fresh = rec("0.srt", 1, "new", "2012/03/14", 0);
  ASSERT_TRUE(appendLine(path, fresh, nullptr));
  EXPECT_FALSE(r.ok(kNow));
  ASSERT_TRUE(r.save(nullptr));
  EXPECT_EQ(get(), (std::vector<std::string>{fresh, rec("a.srt", 3, "b", "2012/03/14", 1)}));
}

TEST_F(ReviewTest, AFailedSaveKeepsTheReview) {
  put({rec("a.srt", 1, "a", "2012/03/14", 0)});
  Review r;
  ASSERT_TRUE(r.start(path, Review::Mode::AllWorks, "", nullptr));
  walk(r, 'd');
  fs::remove(path);
  fs::create_directory(path);  // cannot be read now
  std::string err;
  EXPECT_FALSE(r.save(&err));
  EXPECT_FALSE(err.empty());
  EXPECT_TRUE(r.loaded());
  EXPECT_TRUE(r.dirty());
}

TEST_F(ReviewTest, ReplayStartsAtTheCueLessTheLeadInNotBeforeZero) {
  put({rec("a.srt", 1, "first", "2012/03/14", 0), rec("a.srt", 3, "second", "2012/03/14", 0),
       rec("a.srt", 99, "far", "2012/03/14", 0)});
  tl::Lesson L;
  L.srtloaded = true;
  L.srtname = "a.srt";
  L.subcount = 5;
  L.subtext.assign(5, "x");
  L.subtime = {0, 5000, 20000, 40000, 50000, 60000};
  Review r;
  ASSERT_TRUE(r.start(path, Review::Mode::CurrentWork, "a.srt", nullptr));
  ASSERT_TRUE(r.advance(kNow));
  EXPECT_EQ(replayTime(L, r, 1000, true), 0);  // 0.5 s less 1 s
  EXPECT_EQ(replayTime(L, r, 1000, false), std::nullopt);
  r.ng(kNow);
  EXPECT_EQ(replayTime(L, r, 1000, true), 30000);
  L.srtname = "b.srt";  // another work was loaded during the review
  EXPECT_EQ(replayTime(L, r, 1000, true), std::nullopt);
  L.srtname = "a.srt";
  r.ng(kNow);
  EXPECT_EQ(r.word(), "far");
  EXPECT_EQ(replayTime(L, r, 1000, true), std::nullopt);  // slot outside the table
}
