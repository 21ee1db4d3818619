// What the main window's operations announce through the lesson model, and
// playpause's bounded wait for the playing state (a continuation, no loop).
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>

#include "core/dictation.h"
#include "player/lessonmodel.h"
#include "player/mainwindow_fixture.h"
#include "support/mainaccess.h"

namespace {

using tltest::MainWindowFixture;

struct News {
  tl::Change what;
  int slot;
  std::vector<tl::LetterMark> marks;
};

class ModelNews : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    w->setForceForeground(true);
    QObject::connect(w->model(), &LessonModel::changed, [this](tl::Change c, int slot) {
      const auto* m = w->model()->marks();
      news.push_back({c, slot, m ? *m : std::vector<tl::LetterMark>{}});
    });
  }
  bool heard(tl::Change what, int slot) const {
    for (const News& n : news)
      if (n.what == what && n.slot == slot) return true;
    return false;
  }
  std::vector<News> news;
};

TEST_F(ModelNews, ATypedLetterAnnouncesItsCueAndTheLettersToRedraw) {
  load(tltest::kSpacedCues);
  L().cursub = 1;
  w->csrset(0);
  // What the core reports for the same key on the same table.
  tl::Lesson copy = L();
  tl::Options opt = w->model()->options();
  const tl::DictOutcome expected = tl::Dictation(copy, opt).keyPress('h', true);
  ASSERT_FALSE(expected.marks.empty());

  news.clear();
  MainTestAccess::FormKeyPress(*w, QChar('h'));
  EXPECT_EQ(L().subflg[1][0], tl::flg_open);
  ASSERT_FALSE(news.empty());
  EXPECT_EQ(news[0].what, tl::Change::Letters);
  EXPECT_EQ(news[0].slot, 1);
  EXPECT_EQ(news[0].marks, expected.marks);
  EXPECT_EQ(news[0].marks[0], (tl::LetterMark{tl::LetterMark::Letter, 0, news[0].marks[0].colour}));
  // The marks are only there while the subscribers run.
  EXPECT_EQ(w->model()->marks(), nullptr);
  for (const News& n : news) EXPECT_NE(n.what, tl::Change::Load);

  // A wrong letter changes nothing and announces nothing.
  news.clear();
  MainTestAccess::FormKeyPress(*w, QChar('x'));
  EXPECT_FALSE(heard(tl::Change::Letters, 1));
}

TEST_F(ModelNews, RecountAnnouncesLettersAndScenesOfTheWholeTable) {
  load(tltest::kSpacedCues);
  news.clear();
  L().subflg[3][0] = tl::flg_open;  // a bulk change made elsewhere
  w->afterflgchg();
  ASSERT_EQ(news.size(), 2u);
  EXPECT_EQ(news[0].what, tl::Change::Letters);
  EXPECT_EQ(news[0].slot, tl::kAllSlots);
  EXPECT_EQ(news[1].what, tl::Change::Scenes);
  EXPECT_EQ(news[1].slot, tl::kAllSlots);
}

TEST_F(ModelNews, ATimingShiftAnnouncesTiming) {
  w->adjshift(5000);  // nothing loaded: no change, no news
  EXPECT_TRUE(news.empty());
  load(tltest::kSpacedCues);
  const tl::ttime before = L().subtime[1];
  news.clear();
  w->adjshift(5000);
  EXPECT_NE(L().subtime[1], before);
  EXPECT_TRUE(heard(tl::Change::Timing, tl::kAllSlots));
  for (const News& n : news) {
    EXPECT_NE(n.what, tl::Change::Load);
    EXPECT_NE(n.what, tl::Change::Letters);
  }
}

TEST_F(ModelNews, EveryLoadAnnouncesLoadWithANewNumber) {
  const quint64 first = w->model()->loadNumber();
  load(tltest::kSpacedCues);
  ASSERT_TRUE(heard(tl::Change::Load, tl::kAllSlots));
  const quint64 second = w->model()->loadNumber();
  EXPECT_GT(second, first);
  news.clear();
  w->srtfileopen(path("a.srt"));  // the same file again is a new load
  EXPECT_TRUE(heard(tl::Change::Load, tl::kAllSlots));
  EXPECT_GT(w->model()->loadNumber(), second);
  // A failed load keeps the table and its number.
  const quint64 third = w->model()->loadNumber();
  news.clear();
  write("empty.srt", "");
  w->srtfileopen(path("empty.srt"));
  EXPECT_FALSE(heard(tl::Change::Load, tl::kAllSlots));
  EXPECT_EQ(w->model()->loadNumber(), third);
}

// ---- playpause's wait for the playing state --------------------------------

class PlayWait : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    load(tltest::kSpacedCues);
    openMovie();
    ASSERT_EQ(player->playState(), tl::ps_playing);
    w->playpause();  // pause
    ASSERT_EQ(player->playState(), tl::ps_paused);
    ASSERT_TRUE(L().playpaused);
    player->setSlowPlay(true);  // play() now reports playing only after settle()
  }
  // Runs the event loop until pred holds or ms pass; the time it took.
  qint64 runUntil(const std::function<bool()>& pred, int ms) {
    QElapsedTimer t;
    t.start();
    while (!pred() && t.elapsed() < ms) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
      QThread::msleep(1);
    }
    return t.elapsed();
  }
  bool waiting() { return L().playpaused; }
};

TEST_F(PlayWait, GoesOnWhenThePlayerReportsPlaying) {
  QElapsedTimer since;
  since.start();
  w->playpause();  // returns at once; the player is still getting ready
  EXPECT_NE(player->playState(), tl::ps_playing);
  EXPECT_TRUE(waiting());
  runUntil([] { return false; }, 30);
  EXPECT_TRUE(waiting());
  player->settle();
  runUntil([this] { return !waiting(); }, 2000);
  EXPECT_FALSE(waiting());
  EXPECT_LT(since.elapsed(), 300);  // did not sit out the bound
}

TEST_F(PlayWait, GoesOnAfterTheBoundWhenThePlayerNeverPlays) {
  QElapsedTimer since;
  since.start();
  w->playpause();
  runUntil([] { return false; }, 150);
  EXPECT_TRUE(waiting());
  runUntil([this] { return !waiting(); }, 3000);
  EXPECT_FALSE(waiting());
  EXPECT_GE(since.elapsed(), 300);
  EXPECT_NE(player->playState(), tl::ps_playing);
}

TEST_F(PlayWait, ASecondToggleCancelsThePendingWait) {
  w->playpause();  // play: the wait begins
  player->settle();
  player->clearLog();
  w->playpause();  // paused again before the wait saw the playing state
  ASSERT_FALSE(player->log().empty());
  EXPECT_EQ(player->log().back(), "pause");
  EXPECT_TRUE(waiting());
  // The old wait must not run on (it would end the pause after its bound).
  runUntil([this] { return !waiting(); }, 600);
  EXPECT_TRUE(waiting());
  EXPECT_EQ(player->playState(), tl::ps_paused);
}

}  // namespace
