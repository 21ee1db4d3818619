// The main window end to end on the scripted player: loading, the timer's
// pauses, typing, saving and the close question.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QFileDialog>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <filesystem>

#include "audio/AudioIO.h"
#include "mainwindow_fixture.h"
#include "platform/sound/soundplayer.h"
#include "player/widgets/statuspanel.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/dialogs/option.h"
#include "core/settings.h"
#include "player/views/subpanels.h"
#include "player/wave/wavepanel.h"
#include "core/timetext.h"
#include "support/mainaccess.h"

namespace fs = std::filesystem;

namespace {

using tltest::kThreeCues;

class MainWindowTest : public tltest::MainWindowFixture {
 protected:
  MainWindowTest() { showInFront = true; }
  void prepare() override {
    write("a.srt", kThreeCues);
    write("movie.mkv", "");
  }
  using A = MainTestAccess;

  void key(int k, const QString& text, QEvent::Type t = QEvent::KeyPress) {
    QKeyEvent e(t, k, Qt::NoModifier, text);
    QApplication::sendEvent(A::Panel1(*w), &e);
  }
  void type(const std::string& letters) {
    for (char c : letters) {
      const QString s(QChar::fromLatin1(c));
      key(Qt::Key_A + (std::tolower(c) - 'a'), s);
      key(Qt::Key_A + (std::tolower(c) - 'a'), s, QEvent::KeyRelease);
    }
  }
};

TEST_F(MainWindowTest, LoadFillsTheTableAndEnablesTheCommands) {
  EXPECT_FALSE(w->action("a_hint")->isEnabled());
  w->srtfileopen(path("a.srt"));
  EXPECT_TRUE(L().srtloaded);
  EXPECT_EQ(L().subcount, 7);
  EXPECT_TRUE(w->action("a_hint")->isEnabled());
  EXPECT_EQ(w->statusText(5).toStdString(), "/00:00:05,0000");
  EXPECT_TRUE(w->windowTitle().endsWith(QStringLiteral("[a.srt]")));
  EXPECT_EQ(w->statusText(0).toStdString(), "ディクテーションモード/未クリア文ポーズ");
  EXPECT_EQ(A::refilelist(*w).at(0), path("a.srt"));
}

TEST_F(MainWindowTest, AnotherLoadShowsItsOwnCounters) {
  w->srtfileopen(path("a.srt"));
  EXPECT_EQ(w->statusText(6).toStdString(), "達成:0%:0/8");
  write("b.srt", "1\r\n00:00:01,000 --> 00:00:02,000\r\nGo\r\n\r\n");
  w->srtfileopen(path("b.srt"));
  EXPECT_EQ(w->statusText(6).toStdString(), "達成:0%:0/2");
  EXPECT_EQ(w->statusText(2).toStdString(), "ﾋﾝﾄ:20/20");
}

TEST_F(MainWindowTest, AFailedLoadKeepsTheSubtitlesLoaded) {
  w->srtfileopen(path("a.srt"));
  write("empty.srt", "");
  messages.clear();
  w->srtfileopen(path("empty.srt"));
  EXPECT_FALSE(messages.empty());
  EXPECT_EQ(L().srtname, "a.srt");
  EXPECT_EQ(L().subcount, 7);
  w->srtfileopen(path("missing.srt"));
  EXPECT_EQ(L().srtname, "a.srt");
}

TEST_F(MainWindowTest, PlaybackPausesAfterEveryCue) {
  openAll();
  const std::vector<double> p = playThrough(6.0);
  ASSERT_EQ(p.size(), 3u);
  // At each cue's end, not at the first poll after it (2.05, 4.05, 5.05).
  EXPECT_NEAR(p[0], 2.0, 0.0011);
  EXPECT_NEAR(p[1], 4.0, 0.0011);
  EXPECT_NEAR(p[2], 5.0, 0.0011);
  EXPECT_EQ(L().cursub, 5);
  EXPECT_EQ(w->statusText(1).toStdString(), "ﾘﾋﾟｰﾄ:1");
  EXPECT_EQ(w->statusText(2).toStdString(), "ﾋﾝﾄ:20/20");
  EXPECT_EQ(w->statusText(6).toStdString(), "達成:0%:0/8");
}

TEST_F(MainWindowTest, ACueClearedByTypingPlaysOn) {
  openAll();
  // Up to the first cue, then type it while paused at its end.
  playThrough(2.1);
  ASSERT_EQ(L().cursub, 1);
  type("hi");
  EXPECT_EQ(L().subclear[1], 1);
  EXPECT_EQ(L().hintpoint, 20 + 2 + 1);  // two letters, the cue
  ASSERT_EQ(sound.played.size(), 1u);
  EXPECT_EQ(sound.played[0], tl::clearSound(tl::ClearSound::Sentence));
  // Back to the first cue and through it again: no pause after it.
  player->setCurrentPosition(0);
  L().prevpossub = L().possub = 0;
  const std::vector<double> p = playThrough(3.5);
  EXPECT_TRUE(p.empty());
}

TEST_F(MainWindowTest, TypingTheWholeFile) {
  openAll();
  playThrough(2.1);
  type("xHhi");  // a wrong letter and an upper-case one change nothing
  EXPECT_EQ(L().flgrest, 6);
  L().cursub = 3;
  w->csrset(0);
  type("goon");
  L().cursub = 5;
  w->csrset(0);
  type("ok");
  EXPECT_EQ(L().flgrest, 0);
  EXPECT_TRUE(L().flgdirty);
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find("おめでとうございます"), std::string::npos);
}

TEST_F(MainWindowTest, HintAndGiveUp) {
  openAll();
  playThrough(2.1);
  w->a_hintExecute();
  EXPECT_EQ(L().subflg[1][0], tl::flg_hinted);
  EXPECT_EQ(L().hintpoint, 0);
  // The status bar shows the spent credits at once, not at the next tick.
  EXPECT_EQ(w->statusText(2).toStdString(), "ﾋﾝﾄ:0/20");
  EXPECT_EQ(w->statusText(6).toStdString(), "達成:13%:1/8");
  w->a_sntgiveupExecute();
  EXPECT_EQ(L().subflg[1][1], tl::flg_hinted);
  EXPECT_EQ(L().subclear[1], 1);
  // Nothing displayed: hint and give-up do nothing.
  L().cursub = 0;
  w->a_hintExecute();
  w->a_sntgiveupExecute();
  EXPECT_EQ(L().flgrest, 6);
}

TEST_F(MainWindowTest, ProgressSurvivesAReload) {
  openAll();
  playThrough(2.1);
  type("hi");
  w->a_saveExecute();
  EXPECT_TRUE(fs::exists(dir / "sav" / "a.dat"));
  EXPECT_FALSE(L().flgdirty);
  w->srtfileopen(path("a.srt"));
  EXPECT_EQ(L().subflg[1][0], tl::flg_open);
  EXPECT_EQ(L().flgrest, 6);
}

TEST_F(MainWindowTest, CloseAsksOnlyWithUnsavedWork) {
  w->srtfileopen(path("a.srt"));
  EXPECT_TRUE(w->close());
  EXPECT_TRUE(questions.empty());
  w->show();
  L().srtdirty = true;
  answer = QMessageBox::Cancel;
  EXPECT_FALSE(w->close());
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_EQ(questions[0], "字幕を上書き保存しますか？");
  EXPECT_TRUE(w->isVisible());
}

TEST_F(MainWindowTest, AnotherLoadAsksBeforeDroppingProgress) {
  openAll();
  playThrough(2.1);
  type("h");
  write("b.srt", kThreeCues);
  answer = QMessageBox::Cancel;
  w->srtfileopen(path("b.srt"));
  EXPECT_EQ(questions.size(), 1u);
  EXPECT_EQ(L().srtname, "a.srt");
  answer = QMessageBox::No;
  w->srtfileopen(path("b.srt"));
  EXPECT_EQ(L().srtname, "b.srt");
}

TEST_F(MainWindowTest, MenuBarHidesAndShortcutsStay) {
  QAction* mv = w->action("a_menuvis");
  mv->trigger();
  EXPECT_FALSE(w->menuBar()->isVisible());
  EXPECT_TRUE(w->actions().contains(w->action("a_hint")));
  mv->trigger();
  EXPECT_TRUE(w->menuBar()->isVisible());
}

TEST_F(MainWindowTest, RecentFilesMenu) {
  write("x&y.srt", kThreeCues);
  w->srtfileopen(path("x&y.srt"));
  w->movfileopen(path("movie.mkv"));
  ASSERT_GE(A::n_refile(*w)->actions().size(), 2);
  QAction* first = A::n_refile(*w)->actions().at(0);
  EXPECT_EQ(first->data().toString().toStdString(), path("movie.mkv"));
  QAction* second = A::n_refile(*w)->actions().at(1);
  EXPECT_TRUE(second->text().contains(QStringLiteral("x&&y.srt")));
  EXPECT_EQ(second->data().toString().toStdString(), path("x&y.srt"));
  std::string r0;
  EXPECT_TRUE(hive.getString("Software\\Tallisen\\file", "r0", r0));
  EXPECT_EQ(r0, path("movie.mkv"));
}

TEST_F(MainWindowTest, RecordingStartsOnceThePlayerHasAPosition) {
  openAll();
  EXPECT_FALSE(A::AudioIn1(*w)->DeviceOpen());
  playThrough(0.2);
  EXPECT_TRUE(A::AudioIn1(*w)->DeviceOpen());
}

TEST_F(MainWindowTest, ReplayKeys) {
  openAll();
  playThrough(2.1);
  ASSERT_EQ(L().cursub, 1);
  now += 5000;
  w->action("a_sntback")->trigger();
  EXPECT_NEAR(player->position(), 0.0, 1e-9);  // 1 s before a cue at 1 s
  EXPECT_EQ(L().repcount, 2);
  L().cursub = 3;
  now += 5000;
  key(Qt::Key_2, QStringLiteral("2"));
  EXPECT_NEAR(player->position(), 1.0, 1e-9);  // cue at 3 s, 2 s earlier
  key(Qt::Key_2, QStringLiteral("2"), QEvent::KeyRelease);
}

TEST_F(MainWindowTest, MovieSeekBarClickSeeksToTheClickedPlace) {
  openAll();
  A::tb_movie(*w)->setRange(0, 1000);
  A::tb_movie(*w)->resize(500, 20);
  const QPoint at(250, 10);
  QMouseEvent press(QEvent::MouseButtonPress, at, A::tb_movie(*w)->mapToGlobal(at), Qt::LeftButton,
                    Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(A::tb_movie(*w), &press);
  EXPECT_TRUE(A::seekdrag(*w));
  QMouseEvent release(QEvent::MouseButtonRelease, at, A::tb_movie(*w)->mapToGlobal(at), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(A::tb_movie(*w), &release);
  EXPECT_FALSE(A::seekdrag(*w));
  EXPECT_NEAR(player->position(), 10.0 * A::tb_movie(*w)->positionRatio(), 1e-3);
  EXPECT_GT(player->position(), 3.0);
  EXPECT_LT(player->position(), 7.0);
}

TEST_F(MainWindowTest, LockKeepsTheDisplayedCue) {
  openAll();
  playThrough(1.5);
  ASSERT_EQ(L().cursub, 1);
  A::n_sublock(*w)->trigger();
  EXPECT_TRUE(L().sublocked);
  EXPECT_TRUE(A::n_sublock(*w)->isChecked());
  player->setCurrentPosition(3.5);
  L().forcetick = true;
  w->Timer1Timer();
  EXPECT_EQ(L().cursub, 1);
  A::n_sublock(*w)->trigger();
  EXPECT_FALSE(L().sublocked);
  EXPECT_FALSE(A::n_sublock(*w)->isChecked());
}

TEST_F(MainWindowTest, StudyTimeIsAddedAtClose) {
  hive.setString("Software\\Tallisen\\onereg", "totaltime", "5000");
  // A window made now reads the stored time; run it for 1.5 s.
  {
    Tf_main m(deps());
    now += 1500;
    m.close();
  }
  std::string t;
  ASSERT_TRUE(hive.getString("Software\\Tallisen\\onereg", "totaltime", t));
  EXPECT_EQ(t, "6500");
}

TEST_F(MainWindowTest, FullScreenGivesThePanelHeightBack) {
  const int before = A::Panel1(*w)->height();
  A::n_fullp(*w)->trigger();
  EXPECT_EQ(A::Panel1(*w)->height(), 0);
  A::n_fullp(*w)->trigger();
  QApplication::processEvents();
  EXPECT_NEAR(A::Panel1(*w)->height(), before, 2);
}

}  // namespace

// At the size the window opens with, every status panel shows its longest
// usual text whole (panel 0 the mode line, the others their counters and times).
namespace {
// The test makes the window, at the size it opens with.
class MainStatusBar : public tltest::MainWindowFixture {
 protected:
  MainStatusBar() { makeAtSetUp = false; }
};
}  // namespace

// The progress bar lies right under the position bar, 8 px in from its left
// and 6 px from its right; the end-of-sentence mark follows the panel when
// Splitter2 moves it; a margin dragged to nothing is kept as 0.
TEST_F(MainWindowTest, ProgressBarPlaceEndMarkAndAZeroMargin) {
  w->resize(887, 620);
  openAll();
  QApplication::processEvents();
  auto* bar = w->findChild<tl::ui::TProgressBar*>(QStringLiteral("p_bar"));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->x(), 8);
  EXPECT_EQ(bar->y(), 11);
  EXPECT_EQ(bar->width(), A::tb_point(*w)->width() - 2 * 8 + 2);

  // paused at the first cue's end, the learner plays on into the gap
  playThrough(2.2);
  // a panel tall enough to show the cue
  w->findChild<QSplitter*>(QStringLiteral("Splitter1"))->setSizes({200, 300});
  QApplication::processEvents();
  auto* mark = w->findChild<QLabel*>(QStringLiteral("i_se"));
  ASSERT_TRUE(mark && !mark->isHidden());
  const QPoint at = mark->pos();
  auto* split = w->findChild<QWidget*>(QStringLiteral("Splitter2"));
  auto drag = [&](int dx) {
    auto send = [&](QEvent::Type t, int gx, Qt::MouseButtons held) {
      QMouseEvent e(t, QPointF(1, 1), QPointF(gx, 1), t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    held, Qt::NoModifier);
      QApplication::sendEvent(split, &e);
    };
    send(QEvent::MouseButtonPress, 500, Qt::LeftButton);
    send(QEvent::MouseMove, 500 + dx, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, 500 + dx, Qt::NoButton);
    QApplication::processEvents();
    QApplication::processEvents();
  };

  drag(30);
  EXPECT_EQ(mark->pos(), at + QPoint(30, 0));

  drag(-1000);
  ASSERT_EQ(A::PaintBox1(*w)->width(), 0);
  tl::Settings kept;
  w->collectSettings(kept);
  EXPECT_EQ(kept.PaintBoxs1, 0);
  A::PaintBox1(*w)->setFixedWidth(24);
  w->applySettings(kept);
  EXPECT_EQ(A::PaintBox1(*w)->width(), 0);
  // A margin stored wider than the screen would push the window off it.
  kept.PaintBoxs1 = 1'000'000;
  w->applySettings(kept);
  EXPECT_LT(A::PaintBox1(*w)->width(), w->screen()->availableGeometry().width());
}

// A load clears the lock, and the lock button shows it open again: its
// next click locks.
TEST_F(MainWindowTest, TheLockButtonFollowsALoadThatClearsTheLock) {
  openAll();
  auto* button = w->findChild<QToolButton*>(QStringLiteral("sb_sublock"));
  ASSERT_TRUE(button);
  auto face = [](const QIcon& i) { return i.pixmap(16).toImage(); };
  button->click();
  ASSERT_TRUE(L().sublocked);
  ASSERT_EQ(face(button->icon()), face(lockIcon(true)));
  w->srtfileopen(path("a.srt"));
  EXPECT_FALSE(L().sublocked);
  EXPECT_EQ(face(button->icon()), face(lockIcon(false)));
  button->click();
  EXPECT_TRUE(L().sublocked);
}

// "字幕別名保存" offers every file, with no filter of its own.
TEST_F(MainWindowTest, SaveAsOffersNoFilter) {
  w->srtfileopen(path("a.srt"));
  QStringList filters{QStringLiteral("unseen")};
  QTimer poll;
  poll.setInterval(10);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
      filters = d->nameFilters();
      d->reject();
    }
  });
  poll.start();
  w->action("N25")->trigger();
  EXPECT_LE(filters.size(), 1);
  for (const QString& f : filters) EXPECT_TRUE(f.endsWith(QStringLiteral("(*)"))) << f.toStdString();
}

TEST_F(MainStatusBar, PanelsFitTheirTextsAtTheDefaultSize) {
  w = std::make_unique<Tf_main>(deps());
  w->show();
  const char* texts[8] = {"ディクテーションモード/未クリア文ポーズ", "ﾘﾋﾟｰﾄ:12", "ﾋﾝﾄ:20/20", "1-12",
                          "00:00:03,3600", "/00:00:30,9780", "達成:100%:240/240", "00:00:33"};
  auto labels = w->statusBar()->findChildren<tl::ui::StatusPanel*>();
  ASSERT_EQ(labels.size(), 8);
  for (int i = 0; i < 8; ++i) labels[i]->setText(QString::fromUtf8(texts[i]));
  QApplication::processEvents();
  for (tl::ui::StatusPanel* l : labels)
    EXPECT_GE(l->width(), l->widthFor(l->text())) << l->text().toStdString();
}

// The dictation panel keeps both rows of a cue beside the strips and the
// waveform, at the size the window opens with and with its splitters dragged
// as far as they go.
TEST_F(MainStatusBar, TheDictationPanelHasItsHeightBesideTheWaveform) {
  w = std::make_unique<Tf_main>(deps());
  w->show();
  QApplication::processEvents();
  auto* sub = w->findChild<tl::ui::TSubPanel*>(QStringLiteral("p_sub"));
  auto* split = w->findChild<QSplitter*>(QStringLiteral("Splitter1"));
  ASSERT_TRUE(sub && split);
  ASSERT_TRUE(MainTestAccess::wavePanel(*w)->isVisible());
  const int full = 2 * sub->cellh() + 2;
  EXPECT_GE(sub->height(), full);
  split->setSizes({10000, 0});
  QApplication::processEvents();
  EXPECT_GE(sub->height(), full);
  // Lower panel, menu and bars fit a 1366x768 screen with a window frame.
  EXPECT_LE(w->frameGeometry().height(), 768 - 40);
}

// The previous and next strips start at Splitter2's left and follow it when
// it is dragged; a drag on the progress bar past its ends shows the position
// bar's position, not 00:00:00.
TEST_F(MainWindowTest, StripsFollowSplitter2AndTheBarDragKeepsThePosition) {
  w->show();
  openAll();
  QApplication::processEvents();
  auto* split = w->findChild<QWidget*>(QStringLiteral("Splitter2"));
  auto* pre = w->findChild<tl::ui::TSubStrip*>(QStringLiteral("p_presub"));
  auto* next = w->findChild<tl::ui::TSubStrip*>(QStringLiteral("p_nextsub"));
  ASSERT_TRUE(split && pre && next);
  ASSERT_GT(split->x(), 0);
  EXPECT_EQ(pre->textLeft(), split->x());
  EXPECT_EQ(next->textLeft(), split->x());
  const int before = split->x();
  auto send = [&](QEvent::Type t, int gx, Qt::MouseButtons held) {
    QPointF local(1, 1), global(gx, 1);
    QMouseEvent e(t, local, global, t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held,
                  Qt::NoModifier);
    QApplication::sendEvent(split, &e);
  };
  send(QEvent::MouseButtonPress, 100, Qt::LeftButton);
  send(QEvent::MouseMove, 130, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, 130, Qt::NoButton);
  QApplication::processEvents();
  EXPECT_EQ(split->x(), before + 30);
  EXPECT_EQ(pre->textLeft(), before + 30);
  EXPECT_EQ(next->textLeft(), before + 30);
  // the dragged margin is what the settings keep as "PaintBoxs1"
  tl::Settings kept;
  w->collectSettings(kept);
  EXPECT_EQ(kept.PaintBoxs1, A::PaintBox1(*w)->width());
  EXPECT_EQ(kept.PaintBoxs1, before + 30);

  auto* bar = w->findChild<tl::ui::TProgressBar*>(QStringLiteral("p_bar"));
  ASSERT_TRUE(bar);
  auto drag = [&](QEvent::Type t, int x) {
    QPointF pos(x, 2);
    QMouseEvent e(t, pos, bar->mapToGlobal(pos), t == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                  t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(bar, &e);
  };
  drag(QEvent::MouseButtonPress, bar->width() / 2);
  drag(QEvent::MouseMove, bar->width() / 2);
  const int mid = A::tb_point(*w)->value();
  ASSERT_GT(mid, 0);
  drag(QEvent::MouseMove, bar->width() + 40);
  EXPECT_EQ(w->statusText(4).toStdString(), tl::sec2str_0((tl::ttime)mid * 10000));
  drag(QEvent::MouseMove, -40);
  EXPECT_EQ(w->statusText(4).toStdString(), tl::sec2str_0((tl::ttime)mid * 10000));
}
