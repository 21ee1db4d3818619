// The main road as a learner meets it: the recorder's failure never stops
// the dictation, no player failure ends the program, a second video starts
// clean, the overlay follows every newly displayed cue, and the small
// commands around them.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QStyle>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QWheelEvent>

#include "mainwindow_fixture.h"
#include "platform/media/videowidget.h"
#include "player/views/overlay.h"
#include "player/sublist/sub.h"
#include "player/sublist/sublistmodel.h"
#include "player/sublist/subno.h"
#include "player/views/subpanels.h"
#include "player/wave/wavepanel.h"
#include "support/mainaccess.h"

namespace {

using tltest::kThreeCues;

class MainRoadTest : public tltest::MainWindowFixture {
 protected:
  // Each test makes its window, some with a recorder that fails to open.
  MainRoadTest() {
    makeAtSetUp = false;
    showInFront = true;
  }
  void prepare() override {
    write("a.srt", kThreeCues);
    write("movie.mkv", "");
    write("second.mkv", "");
    write("escape.txt", "the\r\n");
  }
  // Only the player goes on; the window's timer is left as the pause left it.
  void resumeAfterPause() override { player->play(); }
  using A = MainTestAccess;
  void wheel(int dy) {
    QWheelEvent e(QPointF(10, 10), w->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, dy), Qt::NoButton,
                  Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w.get(), &e);
  }
};

// Without a sound input the component's text appears once the tick is over,
// and the ticks after it go on pausing at every cue end.
TEST_F(MainRoadTest, RecorderFailureIsShownAfterTheTickAndTheTimerGoesOn) {
  make(tl::wavein::err_nodriver);
  openAll();
  now += 50;
  player->advance(0.05);
  w->Timer1Timer();  // the tick that starts the recorder
  EXPECT_TRUE(messages.empty());
  const std::vector<double> pauses = playThrough(4.5);
  QApplication::processEvents();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_FALSE(messages[0].empty());
  ASSERT_GE(pauses.size(), 2u);
  EXPECT_NEAR(pauses[0], 2.0, 0.06);
  EXPECT_NEAR(pauses[1], 4.0, 0.06);
}

// Every player call from a window handler reports its failure and returns;
// the window keeps working.
TEST_F(MainRoadTest, PlayerFailuresAreReportedNotFatal) {
  make();
  openAll();
  playThrough(1.2);
  ASSERT_EQ(L().cursub, 1);
  now += 5000;
  const char* ops[] = {"pause", "setCurrentPosition", "setVolume", "setFullScreen", "stop"};
  player->failNext("pause");
  A::sb_playpause(*w)->click();
  player->failNext("setCurrentPosition");
  w->action("a_sntback")->trigger();
  player->failNext("setVolume");
  A::t_vlm(*w)->setValue(35);
  player->failNext("setFullScreen");
  w->action("N18")->trigger();
  player->failNext("stop");
  A::sb_stop(*w)->click();
  EXPECT_EQ(messages.size(), std::size(ops));
  for (const std::string& m : messages) EXPECT_NE(m.find("失敗"), std::string::npos) << m;
  // Still alive and playing on.
  player->play();
  EXPECT_EQ(player->playState(), tl::ps_playing);
}

// The handlers that reach the player from other places than the main
// window's own commands report its failure as well: the history menu, a
// dropped file, the list's jump, a click on the waveform, the number jump
// and a click on the focus bar.
TEST_F(MainRoadTest, PlayerFailuresFromTheOtherHandlersAreReported) {
  withWindows = true;
  make();
  openAll();
  playThrough(1.2);
  ASSERT_EQ(L().cursub, 1);
  QAction* history = nullptr;
  for (QAction* a : A::n_refile(*w)->actions())
    if (a->data().toString().endsWith(QStringLiteral("movie.mkv"))) history = a;
  ASSERT_NE(history, nullptr);
  player->failNext("play");
  history->trigger();

  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(path("second.mkv")))});
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  player->failNext("play");
  A::dropEvent(*w, &drop);
  player->completeOpen(320, 240, 10.0);

  ws->f_sub->gridset();
  ws->f_sub->selectRow(0);
  player->failNext("setCurrentPosition");
  ws->f_sub->subjamp();

  Panel5* wave = A::wavePanel(*w);
  wave->wave.mousetime = 30000;
  wave->wave.dragging = false;
  player->failNext("setCurrentPosition");
  wave->p_wav1Click();

  ws->f_subno->e_subno->setText(QStringLiteral("2"));
  player->failNext("setCurrentPosition");
  ws->f_subno->Button1Click();

  auto* focus = w->findChild<tl::ui::TFocusBar*>();
  ASSERT_NE(focus, nullptr);
  player->failNext("setCurrentPosition");
  emit focus->playFrom(20000);

  ASSERT_EQ(messages.size(), 6u);
  for (const std::string& m : messages) EXPECT_NE(m.find("失敗"), std::string::npos) << m;
  // Still alive: a jump after them plays.
  ws->f_subno->Button1Click();
  EXPECT_EQ(messages.size(), 6u);
  EXPECT_EQ(player->playState(), tl::ps_playing);
}

// The list's sync and stretch read the player's position: its failure gets
// the message too and leaves the times as they were.
TEST_F(MainRoadTest, TheListsSyncAndStretchReportAPlayerFailure) {
  withWindows = true;
  make();
  openAll();
  playThrough(1.2);
  ws->f_sub->gridset();
  ws->f_sub->selectRow(0);
  const auto times = L().subtime;
  player->failNext("currentPosition");
  ws->f_sub->sync();
  player->failNext("currentPosition");
  ws->f_sub->stretch();
  ASSERT_EQ(messages.size(), 2u);
  for (const std::string& m : messages) EXPECT_NE(m.find("失敗"), std::string::npos) << m;
  EXPECT_EQ(L().subtime, times);
}

TEST_F(MainRoadTest, AFileThePlayerCannotOpenGetsAMessage) {
  make();
  w->movfileopen(path("movie.mkv"));
  player->failOpen("unrecognized file format");
  QApplication::processEvents();
  ASSERT_EQ(messages.size(), 1u);
  // In the learner's words first, the player's own line kept below.
  EXPECT_EQ(messages[0].rfind("再生に失敗しました（ファイルの形式に対応していません）\nunrecognized file format\n", 0), 0u)
      << messages[0];
  EXPECT_NE(messages[0].find("movie.mkv"), std::string::npos);
  // Nothing is left running for the failed medium, and the button offers to play.
  now += 50;
  w->Timer1Timer();
  EXPECT_EQ(messages.size(), 1u);
  auto glyph = [](const QIcon& i) { return i.pixmap(16).toImage(); };
  EXPECT_EQ(glyph(A::sb_playpause(*w)->icon()), glyph(w->style()->standardIcon(QStyle::SP_MediaPlay)));
}

// The button follows the player: playing shows pause, the end shows play.
TEST_F(MainRoadTest, ThePlayButtonFollowsThePlayer) {
  make();
  openAll();
  auto glyph = [](const QIcon& i) { return i.pixmap(16).toImage(); };
  auto shows = [&](QStyle::StandardPixmap p) {
    return glyph(A::sb_playpause(*w)->icon()) == glyph(w->style()->standardIcon(p));
  };
  QApplication::processEvents();
  ASSERT_EQ(player->playState(), tl::ps_playing);  // a new medium starts playing
  EXPECT_TRUE(shows(QStyle::SP_MediaPause));
  player->setCurrentPosition(9.99);
  player->advance(0.5);  // past the end of the ten-second movie
  QApplication::processEvents();
  ASSERT_EQ(player->playState(), tl::ps_ended);
  EXPECT_TRUE(shows(QStyle::SP_MediaPlay));
}

// The second video starts from nothing: no displayed cue of the first, no
// scene text, and its first pause comes at the end of its first cue.
TEST_F(MainRoadTest, ASecondVideoStartsClean) {
  make();
  openAll();
  playThrough(3.5);
  ASSERT_GT(L().cursub, 0);
  w->action("a_sntnext")->trigger();
  const QString scene = w->statusText(3);
  ASSERT_FALSE(scene.isEmpty());
  openMovie("second.mkv", 10.0);
  EXPECT_EQ(L().cursub, 0);
  EXPECT_NE(w->statusText(3), scene);
  EXPECT_TRUE(w->statusText(4).isEmpty());
  const std::vector<double> pauses = playThrough(2.5);
  ASSERT_EQ(pauses.size(), 1u);
  EXPECT_NEAR(pauses[0], 2.0, 0.06);
  EXPECT_EQ(L().cursub, 1);
}

// A newly displayed cue repaints the whole overlay and brings the band
// back, by the timer and by every jump.
TEST_F(MainRoadTest, ANewCueRepaintsTheOverlayAndArmsTheBand) {
  make();
  openAll();
  tl::ui::TSubOverlay* ov = A::tp_sub(*w);
  ASSERT_NE(ov, nullptr);
  playThrough(1.2);
  ASSERT_EQ(L().cursub, 1);
  ov->logout(QStringLiteral("x"));  // stays until the next whole repaint
  const QPoint inBand(5, ov->height() - 3);
  // Band off by a click, back with the next cue.
  w->model()->options().jaclose = true;
  QMouseEvent press(QEvent::MouseButtonPress, inBand, ov->mapToGlobal(inBand), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(ov, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, inBand, ov->mapToGlobal(inBand), Qt::LeftButton,
                      Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(ov, &release);
  EXPECT_FALSE(ov->bandon());
  now += 5000;
  w->action("a_sntnext")->trigger();  // Down
  EXPECT_EQ(L().cursub, 3);
  EXPECT_TRUE(ov->bandon());
  EXPECT_TRUE(ov->logText().isEmpty());  // repainted whole
  // The timer reaching the next cue does the same.
  QApplication::sendEvent(ov, &press);
  QApplication::sendEvent(ov, &release);
  EXPECT_FALSE(ov->bandon());
  playThrough(4.3);
  EXPECT_EQ(L().cursub, 5);
  EXPECT_TRUE(ov->bandon());
}

TEST_F(MainRoadTest, TheLogLineShowsBeforeAnySubtitles) {
  make();
  tl::ui::TSubOverlay* ov = A::tp_sub(*w);
  ov->resize(400, 200);
  QImage img(ov->size(), QImage::Format_ARGB32);
  auto greenPixels = [&](int x0, int x1) {
    img.fill(Qt::blue);
    ov->render(&img);
    int n = 0;
    for (int x = x0; x < x1 && x < img.width(); ++x)
      for (int y = 0; y < 30 && y < img.height(); ++y)
        if (img.pixelColor(x, y) == QColor(0, 255, 0)) ++n;
    return n;
  };
  EXPECT_EQ(greenPixels(0, 400), 0);
  w->logout("a long line of the log that is wide");
  EXPECT_GT(greenPixels(0, 400), 0);  // drawn with nothing loaded
  EXPECT_EQ(w->statusText(0), QStringLiteral("a long line of the log that is wide"));
}

TEST_F(MainRoadTest, TheWheelPlaysFifteenSecondsOnOrBack) {
  make();
  w->srtfileopen(path("a.srt"));
  openMovie();
  player->setPosition(20.0);
  wheel(-120);  // turned down: on
  EXPECT_NEAR(player->position(), 35.0, 1e-6);
  EXPECT_EQ(player->playState(), tl::ps_playing);
  wheel(+120);  // turned up: back
  EXPECT_NEAR(player->position(), 20.0, 1e-6);
  player->setPosition(10.0);
  wheel(+120);  // before the start: nothing
  EXPECT_NEAR(player->position(), 10.0, 1e-6);
  // Not in the foreground: nothing.
  w->setForceForeground(false);
  if (!w->isActiveWindow()) {
    wheel(-120);
    EXPECT_NEAR(player->position(), 10.0, 1e-6);
  }
}

TEST_F(MainRoadTest, HidehintRecountsOnce) {
  make();
  openAll();
  playThrough(4.3);  // cue 3 "(laughs) OK" displayed
  ASSERT_EQ(L().cursub, 5);
  w->a_hintExecute();
  w->a_hintExecute();
  tl::Lesson before = L();
  tl::Options o = w->model()->options();
  tl::Dictation once(before, o);
  once.hidehint();  // the operation alone, with its one recount
  w->hidehint();
  EXPECT_EQ(L().subcsr, before.subcsr);
  EXPECT_EQ(L().flgrest, before.flgrest);
}

TEST_F(MainRoadTest, MenusHoldThePlacedItems) {
  make();
  const QMenuBar* bar = w->menuBar();
  auto inMenuBar = [&](const char* name) {
    for (QAction* top : bar->actions())
      if (top->menu())
        for (QAction* a : top->menu()->actions()) {
          if (a->objectName() == QLatin1String(name)) return top->isVisible();
          if (a->menu())
            for (QAction* b : a->menu()->actions())
              if (b->objectName() == QLatin1String(name)) return top->isVisible();
        }
    return false;
  };
  // The view menu's items.
  ASSERT_NE(w->action("n_gauto"), nullptr);
  EXPECT_EQ(w->action("n_gauto")->text(), QStringLiteral("字幕サイズと位置を動画サイズ変更に合わせる"));
  EXPECT_TRUE(w->action("n_gauto")->isCheckable());
  EXPECT_FALSE(w->action("n_gauto")->isChecked());
  w->action("n_gauto")->trigger();
  EXPECT_TRUE(A::tp_sub(*w)->gauto());
  ASSERT_NE(w->action("n_tpsubreset"), nullptr);
  EXPECT_EQ(w->action("n_tpsubreset")->text(), QStringLiteral("画面字幕の位置をリセット"));
  EXPECT_TRUE(inMenuBar("n_gauto"));
  // The hidden test items exist and are not in a visible menu.
  for (const char* name : {"N4", "N7", "n_load", "N17", "N18", "N29", "N32", "N57", "n_full"}) {
    ASSERT_NE(w->action(name), nullptr) << name;
    EXPECT_FALSE(inMenuBar(name)) << name;
  }
  EXPECT_FALSE(w->action("n_load")->isEnabled());
  EXPECT_EQ(w->action("N57")->text(), QStringLiteral("カーソル"));
  // N26 and n_fullp sit in the pop-up menu that is never opened; n_fullp
  // keeps Alt+Enter.
  EXPECT_FALSE(inMenuBar("N26"));
  EXPECT_FALSE(inMenuBar("n_fullp"));
  EXPECT_EQ(w->action("n_fullp")->shortcut(), QKeySequence(Qt::ALT | Qt::Key_Return));
  EXPECT_TRUE(w->action("N26")->shortcut().isEmpty());
}

TEST_F(MainRoadTest, FullScreenLeavesNoBand) {
  make();
  A::n_fullp(*w)->trigger();
  QApplication::processEvents();
  QWidget* video = w->findChild<QWidget*>(QStringLiteral("WMP"));
  ASSERT_NE(video, nullptr);
  EXPECT_FALSE(A::Panel1(*w)->isVisible());
  EXPECT_GE(video->height(), w->centralWidget()->height() - 2);
  A::n_fullp(*w)->trigger();
  QApplication::processEvents();
  EXPECT_TRUE(A::Panel1(*w)->isVisible());
  EXPECT_GT(A::Panel1(*w)->height(), 0);
}

// The overlay keeps the text inside the picture where the player really
// shows it: beside a tall picture in a wide window, and after the window is
// resized, the picture's rectangle and the overlay's agree.
TEST_F(MainRoadTest, TheOverlayFollowsThePicture) {
  make();
  w->resize(900, 600);
  openAll();
  QApplication::processEvents();
  auto* video = qobject_cast<tl::VideoWidget*>(player->videoWidget());
  ASSERT_NE(video, nullptr);
  auto* ov = A::tp_sub(*w);
  auto expectAgree = [&] {
    const QRect pic = video->videoRect();
    ASSERT_FALSE(pic.isEmpty());
    const QPoint at = video->mapTo(w.get(), pic.topLeft()) - ov->mapTo(w.get(), QPoint(0, 0));
    EXPECT_EQ(ov->vid(), (tl::ovl::VidRect{pic.width(), pic.height(), at.x(), at.y()}));
  };
  expectAgree();
  EXPECT_GT(ov->vid().vidleft, 0);  // 4:3 in a wide area: bands at both sides
  w->resize(1100, 600);
  QApplication::processEvents();
  expectAgree();
}

// Side by side, at an ordinary window size: the picture keeps most of the
// video area, the band under it holds the whole text, and a long cue is
// sized to the band's width, not to the picture's.
TEST_F(MainRoadTest, SideBySideThePictureKeepsMostOfTheAreaAndTheBandHoldsTheText) {
  make();
  w->resize(887, 620);
  write("a.srt",
        "1\r\n00:00:01,000 --> 00:00:03,000\r\nGood morning. Is this seat free? It is, please sit.\r\n\r\n"
        "2\r\n00:00:04,000 --> 00:00:06,000\r\nThank you.\r\n\r\n");
  openAll();
  playThrough(1.5);
  ASSERT_EQ(L().cursub, 1);
  w->action("n_7")->trigger();
  QApplication::processEvents();
  auto* video = qobject_cast<tl::VideoWidget*>(player->videoWidget());
  ASSERT_NE(video, nullptr);
  auto* ov = A::tp_sub(*w);
  QWidget* area = video->parentWidget();
  ASSERT_EQ(ov->parentWidget(), area);
  const QRect pic = video->videoRect();
  EXPECT_GE(pic.height() * 5, area->height() * 3);
  EXPECT_EQ(ov->geometry(), QRect(0, video->height(), area->width(), area->height() - video->height()));
  const tl::ovl::OverlayLayout lay = ov->layout();
  const tl::ovl::Metrics& m = ov->metrics();
  ASSERT_GT(m.gcellh, 0);
  EXPECT_GE(lay.numberY(tl::ovl::Params{}), 0);
  EXPECT_LE(lay.tpy + m.gcellh, ov->height());
  ASSERT_TRUE(lay.next.shown);
  EXPECT_LE(lay.next.y + m.gscellh, ov->height());
  EXPECT_GT(lay.line1width, pic.width());
  EXPECT_LE(lay.tpx + lay.line1width, ov->width());
}

// Closing the main window ends the program: a list or keys window left open
// does not keep it alive.
class WindowSetTest : public tltest::MainWindowFixture {
 protected:
  WindowSetTest() { withWindows = true; }
};

TEST_F(WindowSetTest, OnlyTheMainWindowKeepsTheProgramRunning) {
  w->show();
  ws->showSubList();
  ws->showKeys();
  EXPECT_TRUE(w->testAttribute(Qt::WA_QuitOnClose));
  int others = 0;
  for (QWidget* t : QApplication::topLevelWidgets())
    if (t->isVisible() && t->isWindow() && t != w.get() && !qobject_cast<QMenu*>(t)) {
      ++others;
      EXPECT_FALSE(t->testAttribute(Qt::WA_QuitOnClose)) << t->objectName().toStdString();
    }
  EXPECT_GE(others, 2);
}

// Ctrl+L with the list already open selects the displayed cue again.
TEST_F(WindowSetTest, ListActionSelectsTheDisplayedCueAgain) {
  w->show();
  load(kThreeCues);
  L().cursub = 3;
  ws->showSubList();
  ws->f_sub->selectRow(ws->f_sub->rows()->rowOfSlot(5));
  ASSERT_EQ(ws->f_sub->selectedSlot(), 5);
  ws->showSubList();
  EXPECT_EQ(ws->f_sub->selectedSlot(), 3);
}

TEST_F(MainRoadTest, ClosingTheMainWindowTellsTheProgramBlock) {
  int closed = 0;
  MainDeps d = deps();
  d.closed = [&closed] { ++closed; };
  Tf_main m(std::move(d));
  m.show();
  m.close();
  EXPECT_EQ(closed, 1);
}

}  // namespace
