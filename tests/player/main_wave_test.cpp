// The waveform in the main window: the recorder's format, a played medium
// filling the view, the view item, the markers following a timing shift, the
// "波形" menu and the mixer loaded with the window.
#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

#include "audio/AudioIO.h"
#include "audio/Mixers.h"
#include "mainwindow_fixture.h"
#include "player/wave/wavepanel.h"
#include "support/mainaccess.h"

namespace tltest {
namespace {

using A = MainTestAccess;

const char* kTwoCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n"
    "3\r\n00:00:20,000 --> 00:00:21,000\r\nLater\r\n\r\n";

class MainWaveTest : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    w->setForceForeground(true);
    w->show();
  }
  tl::wavein::FakeWaveIn* device() {
    return dynamic_cast<tl::wavein::FakeWaveIn*>(A::AudioIn1(*w)->device());
  }
  // Plays to `until` s: a timer tick every 50 ms, one recorded buffer per
  // waveform column in between; resumes after every pause.
  void play(double until) {
    const double col = A::wavcolsec(*w);
    double nextTick = player->position();
    while (player->position() < until) {
      player->advance(col);
      if (player->position() >= nextTick) {
        nextTick += 0.05;
        now += 50;
        w->Timer1Timer();
        if (player->playState() != tl::ps_playing) player->play();
      }
      if (auto* d = device()) d->fill();
      QCoreApplication::processEvents();
    }
  }
  std::vector<int32_t> placed() {
    std::vector<int32_t> v;
    for (int i = 0; i < L().subcount; ++i) v.push_back(L().subwavex[i]);
    return v;
  }
};

TEST_F(MainWaveTest, RecorderFormatAndTheDefaultInput) {
  tl::TAudioIn* r = A::AudioIn1(*w);
  EXPECT_EQ(r->BufferSize(), 512);
  EXPECT_EQ(r->FrameRate(), 22050);
  EXPECT_FALSE(r->Stereo());
  EXPECT_EQ(r->Quantization(), 16);
  // The system's default input, shown as "-1" in the settings.
  EXPECT_EQ(r->WaveDevice(), tl::wavein::wave_mapper);
  EXPECT_EQ(w->waveDevice(), -1);
  EXPECT_DOUBLE_EQ(A::wavcolsec(*w), 512.0 / (2.0 * 22050.0));
  EXPECT_DOUBLE_EQ(A::wavePanel(*w)->wave.wavcolsec, A::wavcolsec(*w));
  ASSERT_NE(A::AudioIn2(*w), nullptr);
  EXPECT_EQ(A::AudioIn2(*w)->BufferSize(), 512);
  EXPECT_FALSE(A::AudioIn2(*w)->DeviceOpen());
  // Loading the window opened every mixer device.
  ASSERT_NE(A::Mixer1(*w), nullptr);
  EXPECT_EQ(A::Mixer1(*w)->DeviceCount(), 1);
}

TEST_F(MainWaveTest, APlayedMediumFillsTheViewWithMarkers) {
  load(kTwoCues);
  openMovie();
  play(2.6);
  Panel5* p = A::wavePanel(*w);
  ASSERT_TRUE(device()) << "recording did not start";
  EXPECT_TRUE(A::AudioIn1(*w)->DeviceOpen());
  EXPECT_GT(p->wave.wavcount, 150);
  EXPECT_GT(L().subwavex[1], 0);   // the first cue's start passed through the view
  EXPECT_GT(L().subwavex[2], 0);   // and its end (marked at the gap)
  EXPECT_EQ(L().subwavex[5], 0);   // not yet reached
  EXPECT_TRUE(A::seMarkVisible(*w));
  const QImage img = p->p_wav1->grab().toImage();
  int green = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) green += img.pixel(x, y) == qRgb(0, 255, 0);
  EXPECT_GT(green, 100);
}

// The recording of the first medium goes on through the second one, and
// no failure is said for it.
TEST_F(MainWaveTest, ASecondMediumKeepsTheRecordingAndSaysNoFailure) {
  load(kTwoCues);
  openMovie();
  play(1.5);
  ASSERT_TRUE(A::AudioIn1(*w)->DeviceOpen());
  openMovie("second.mkv");
  play(0.5);
  QApplication::processEvents();
  EXPECT_TRUE(messages.empty()) << messages.front();
  EXPECT_TRUE(A::AudioIn1(*w)->DeviceOpen());
  EXPECT_TRUE(A::AudioIn1(*w)->Recording());
}

TEST_F(MainWaveTest, ATimingShiftMovesThePlacedMarkersOnly) {
  load(kTwoCues);
  openMovie();
  play(2.6);
  const std::vector<int32_t> before = placed();
  const std::vector<tl::ttime> times(L().subtime.begin(), L().subtime.begin() + L().subcount);
  ASSERT_GT(before[1], 0);
  ASSERT_EQ(before[5], 0);
  w->action("a_subtoolate")->trigger();  // every cue 0.1 s earlier
  const int32_t cols = (int32_t)std::trunc(-0.1 / A::wavcolsec(*w));
  const std::vector<int32_t> after = placed();
  for (size_t i = 0; i < before.size(); ++i) {
    if (before[i] > 0 && L().subtime[i] != times[i])
      EXPECT_EQ(after[i], before[i] + cols) << i;
    else
      EXPECT_EQ(after[i], before[i]) << i;
  }
}

TEST_F(MainWaveTest, TheViewItemUncheckedClosesTheDevice) {
  load(kTwoCues);
  openMovie();
  play(0.5);
  ASSERT_TRUE(A::AudioIn1(*w)->DeviceOpen());
  QAction* item = w->action("n_playwav");
  ASSERT_TRUE(item && item->isChecked());
  item->trigger();
  EXPECT_FALSE(w->model()->options().playwav);
  EXPECT_FALSE(A::wavePanel(*w)->isVisible());
  play(0.6);  // the view refuses the ring's four buffers
  EXPECT_FALSE(A::AudioIn1(*w)->DeviceOpen());
  // "波形スタート" starts it again.
  item->trigger();
  EXPECT_TRUE(A::wavePanel(*w)->isVisible());
  w->action("N48")->trigger();
  EXPECT_TRUE(A::AudioIn1(*w)->DeviceOpen());
  // The recorded-sound panel's item has nothing to show.
  EXPECT_FALSE(w->action("n_recwav")->isEnabled());
  EXPECT_FALSE(A::panel6(*w)->isVisible());
}

// Replaying from 0 s keeps the recording; a medium opened while paused
// draws; after the end nothing scrolls on and a replay draws again.
TEST_F(MainWaveTest, RecordingAndDrawingGoOnAcrossReplaysPausesAndTheEnd) {
  load(kTwoCues);
  openMovie("movie.mkv", 3.0);
  play(1.5);
  Panel5* p = A::wavePanel(*w);
  // Buffers recorded while the player moves on by `step` s each.
  auto buffers = [&](int n, double step) {
    for (int i = 0; i < n && device(); ++i) {
      player->advance(step);
      device()->fill();
      QCoreApplication::processEvents();
    }
  };
  ASSERT_TRUE(w->posplay(0, 0));
  buffers(8, 0);
  EXPECT_TRUE(A::AudioIn1(*w)->DeviceOpen());

  buffers(400, A::wavcolsec(*w));  // on to the end
  ASSERT_EQ(player->playState(), tl::ps_ended);
  const int32_t count = p->wave.wavcount;
  buffers(20, 0);
  EXPECT_EQ(p->wave.wavcount, count);
  ASSERT_TRUE(w->posplay(0, 10000));
  play(1.5);
  EXPECT_GT(p->wave.wavcount, 20);
  EXPECT_LT(p->wave.wavcount, count);

  w->playpause();
  ASSERT_TRUE(L().playpaused);
  openMovie("next.mkv", 10.0);
  play(1.0);
  EXPECT_GT(p->wave.wavcount, 20);
}

// A jump back out of the picture (as the list's double click makes it) with
// buffers coming before the timer has moved the displayed cue: the cues
// passed afterwards get their markers.
TEST_F(MainWaveTest, AJumpBackMarksTheCuesPassedAfterwards) {
  load(kTwoCues);
  openMovie();
  play(20.5);
  ASSERT_EQ(L().cursub, 5);
  A::wavePanel(*w)->wavreset();  // the picture starts here, as after a resize
  play(21.2);
  ASSERT_TRUE(w->posplay(0, 5000));
  for (int i = 0; i < 3; ++i) {
    device()->fill();
    QCoreApplication::processEvents();
  }
  play(4.5);
  for (int s = 1; s <= 4; ++s) EXPECT_GT(L().subwavex[s], 0) << s;
  EXPECT_GE(A::wavePanel(*w)->picture().markers.size(), 4u);
}

TEST_F(MainWaveTest, WaveMenuTestItemsAndTheCdWithoutADrive) {
  QMenu* wave = nullptr;
  for (QAction* a : w->menuBar()->actions())
    if (a->text() == QStringLiteral("波形")) wave = a->menu();
  ASSERT_NE(wave, nullptr);
  QStringList items;
  for (QAction* a : wave->actions()) items << a->text();
  EXPECT_EQ(items, (QStringList{"波形スタート", "波形リセット", "ステレオミックス選択", "字幕位置読み直し"}));
  EXPECT_EQ(w->action("N48")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_W));
  for (const char* n : {"N39", "n_wavvalue", "n_wavtest", "n_subind", "n_wavarray", "n_wavsave", "n_wavrenew"})
    EXPECT_NE(w->action(n), nullptr) << n;
  load(kTwoCues);
  w->action("n_wavarray")->trigger();
  EXPECT_EQ(L().subwavex[1], (int32_t)std::trunc(1.0 / A::wavcolsec(*w)));
  w->action("n_wavsave")->trigger();
  EXPECT_TRUE(fs::exists(dir / "save.log"));
  EXPECT_EQ(fs::file_size(dir / "save.log"), 0u);
  messages.clear();
  w->action("n_wavvalue")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].rfind("[basetime]0[pixtime]0.0116", 0), 0u) << messages[0];
  // No drive: nothing plays and the message says so.
  messages.clear();
  w->action("CD1")->trigger();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "CDドライブがありません");
  EXPECT_FALSE(w->mediumOpen());
}

}  // namespace
}  // namespace tltest
