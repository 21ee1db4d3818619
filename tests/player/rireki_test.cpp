// The study history window over a folder of progress files.
#include "player/history/rireki.h"

#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "support/quiethost.h"
#include "support/tempfolder.h"

namespace {

namespace fs = std::filesystem;

std::string progress(int closed, int hinted, int open, int32_t total) {
  std::string b;
  auto put = [&](int32_t v, int n) {
    for (int i = 0; i < n; ++i) b.append((const char*)&v, 4);
  };
  put(1, closed);
  put(2, hinted);
  put(0, open);
  put(-1, 2);
  put(total, 1);
  put(0, 3);  // adjustment (8 bytes) and resume slot
  put(0, 3);  // stars
  return b;
}

// The window alone over a quiet host and a folder of its own.
class History : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(dir / "sav");
    r->setFolder((dir / "sav").string());
  }
  void sav(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / "sav" / name, std::ios::binary) << bytes;
  }
  QString cell(int row, int col) { return r->rows()->index(row, col).data().toString(); }
  tl::test::TempFolder tmp{"tl-history"};
  fs::path dir{tmp.path};
  std::shared_ptr<tl::test::QuietHost> host = std::make_shared<tl::test::QuietHost>();
  std::vector<std::string>&messages = host->messages, &questions = host->questions, &captions = host->captions;
  int& answer = host->answer;
  std::unique_ptr<Tf_rireki> r = std::make_unique<Tf_rireki>(host);
};

TEST_F(History, ListingSortedWithColumnsAndOneMessageForUnreadableFiles) {
  sav("zeta.dat", progress(50, 20, 130, 200));
  sav("Alpha.dat", progress(0, 0, 10, 10));
  sav("bad1.dat", "\x01\x00");
  sav("bad2.dat", progress(0, 0, 3, 0));  // total 0
  EXPECT_EQ(r->SearchFile(), 2);
  EXPECT_EQ(cell(0, 0), "Alpha");
  EXPECT_EQ(cell(0, 1), QString::fromUtf8("☆"));
  EXPECT_EQ(cell(0, 3), "100");
  EXPECT_EQ(cell(0, 6), "0");
  EXPECT_EQ(cell(1, 0), "zeta");
  EXPECT_EQ(cell(1, 1), "");
  EXPECT_EQ(cell(1, 3), "75");
  EXPECT_EQ(cell(1, 4), QString::fromUtf8("200文字"));
  EXPECT_EQ(cell(1, 6), "10");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], (dir / "sav/bad1.dat").string() + "の読み込みに失敗しました\n" +
                             (dir / "sav/bad2.dat").string() + "の読み込みに失敗しました");
  r->N3Click();
  EXPECT_EQ(messages.back(), "現在ランクはEです（達成文字数140文字）");
}

TEST_F(History, ResetActsOnTheRowUnderThePointer) {
  sav("a.dat", progress(1, 0, 5, 6));
  sav("b.dat", progress(1, 0, 5, 6));
  r->resize(900, 300);
  r->show();
  r->SearchFile();
  r->grid()->selectRow(0);
  const QRect row1 = r->grid()->visualRect(r->rows()->index(1, 0));
  answer = QMessageBox::No;
  r->popupAt(row1.center());
  r->popupMenu()->hide();
  r->popupMenu()->actions().first()->trigger();
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0].substr(0, 2), "b\n");
  EXPECT_EQ(captions[0], "リセット");
  EXPECT_TRUE(fs::exists(dir / "sav/a.dat"));
  EXPECT_TRUE(fs::exists(dir / "sav/b.dat"));
  answer = QMessageBox::Yes;
  r->popupMenu()->actions().first()->trigger();
  EXPECT_TRUE(fs::exists(dir / "sav/a.dat"));
  EXPECT_FALSE(fs::exists(dir / "sav/b.dat"));
  EXPECT_EQ(messages.back(), (dir / "sav/b.dat").string() + "を削除しました");
  EXPECT_EQ(r->rows()->rowCount(), 1);
  // Deleting a file that is gone already.
  r->grid()->selectRow(0);
  fs::remove(dir / "sav/a.dat");
  r->N4Click();
  EXPECT_EQ(messages.back(), "削除失敗しました");
}

TEST_F(History, EmptyFolderMissingFolderAndStudyTime) {
  EXPECT_EQ(r->SearchFile(), 0);
  r->setFolder((dir / "none").string());
  EXPECT_EQ(r->SearchFile(), 0);
  r->N3Click();
  EXPECT_EQ(messages.back(), "現在ランクはEです（達成文字数0文字）");
  r->studyTime = [](int64_t& base, uint32_t& start, uint32_t& now) {
    base = 7200000;
    start = 1000;
    now = 1000 + 90500;
  };
  r->N6Click();
  EXPECT_EQ(messages.back(), "総学習時間:02:01:30 今回学習時間00:01:30");
}

TEST(HistoryBars, SpansStayInsideTheCell) {
  int g = 0, red = 0;
  HistoryBarDelegate::spans(10, 200, 75, 10, g, red);
  EXPECT_EQ(g, 160);
  EXPECT_EQ(red, 140);
  HistoryBarDelegate::spans(10, 200, 150, 300, g, red);
  EXPECT_EQ(g, 210);
  EXPECT_EQ(red, 10);
  HistoryBarDelegate::spans(10, 200, -20, 50, g, red);
  EXPECT_EQ(g, 10);
  EXPECT_EQ(red, 10);
}

TEST_F(History, BarPaintedGreenThenRed) {
  sav("w.dat", progress(50, 20, 130, 200));
  r->resize(900, 300);
  r->show();
  r->SearchFile();
  const QRect c = r->grid()->visualRect(r->rows()->index(0, 2));
  const QImage img = r->grid()->viewport()->grab().toImage();
  const int y = c.center().y();
  EXPECT_EQ(img.pixelColor(c.left() + 5, y), QColor(0, 255, 0));
  EXPECT_EQ(img.pixelColor(c.left() + c.width() * 70 / 100, y), QColor(255, 0, 0));
  EXPECT_NE(img.pixelColor(c.left() + c.width() * 90 / 100, y), QColor(255, 0, 0));
  EXPECT_NE(img.pixelColor(c.right() + 3, y), QColor(0, 255, 0));
}

TEST_F(History, Screenshot) {
  const char* out = std::getenv("TALLISEN_SHOTS");
  if (!out) GTEST_SKIP() << "TALLISEN_SHOTS not set";
  sav("Friends S01E01.dat", progress(0, 0, 812, 812));
  sav("Sherlock 1x01.dat", progress(620, 95, 1530, 2245));
  sav("The Wire 101.dat", progress(2100, 40, 350, 2490));
  sav("Up.dat", progress(300, 310, 900, 1510));
  sav("news 2024-03-05.dat", progress(12, 3, 170, 185));
  r->resize(1180, 200);
  r->show();
  r->SearchFile();
  ASSERT_TRUE(r->grab().save(QString::fromUtf8(out) + "/rireki.png"));
}

}  // namespace
