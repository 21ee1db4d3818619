// The waveform panel fed through the recorder by the fake wave input, with
// a scripted host in place of the main window.
#include "player/wave/wavepanel.h"
#include "player/wave/wavemenu.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QSlider>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "audio/AudioIO.h"
#include "core/srtread.h"
#include "platform/drives/drives.h"
#include "platform/media/fakeplayer.h"
#include "platform/shell/shell.h"
#include "platform/wavein/fakewavein.h"
#include "support/quiethost.h"

namespace {

struct FakeHost : tl::test::QuietHost {
  tl::Lesson& l = m.lesson();
  double pos = 0;
  bool throwOnPosition = false;
  std::vector<tl::ttime> played, shifts;
  int timesSetCount = 0;
  bool position(double& s) override {
    if (throwOnPosition) throw std::runtime_error("position lost");
    s = pos;
    return true;
  }
  bool posplay(int32_t, tl::ttime t) override {
    played.push_back(t);
    return true;
  }
  void adjshift(tl::ttime d) override { shifts.push_back(d); }
  void timesSet() override { ++timesSetCount; }
  // The displayed cue follows the position as the main timer would.
  void follow() {
    const tl::ttime t = std::llround(pos * 10000);
    for (int i = 1; i + 1 < l.subcount; i += 2)
      if (l.subtime[i] <= t && t < l.subtime[i + 1]) l.cursub = i;
  }
};

void mouse(QWidget* w, QEvent::Type t, Qt::MouseButton b, Qt::KeyboardModifiers mods, QPoint pt) {
  const Qt::MouseButtons held = t == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b);
  QMouseEvent e(t, QPointF(pt), w->mapToGlobal(QPointF(pt)), b, held, mods);
  QApplication::sendEvent(w, &e);
}
void click(QWidget* w, Qt::MouseButton b, Qt::KeyboardModifiers mods, QPoint pt) {
  mouse(w, QEvent::MouseButtonPress, b, mods, pt);
  mouse(w, QEvent::MouseButtonRelease, b, mods, pt);
}

struct Rig {
  FakeHost host;
  Panel5 panel{&host};
  tl::wavein::FakeWaveIn* dev = nullptr;
  std::unique_ptr<tl::TAudioIn> rec;
  // Shapes the fake's samples: loud inside cues, quiet between.
  bool shaped = false;
  Rig() {
    auto d = std::make_unique<tl::wavein::FakeWaveIn>();
    dev = d.get();
    rec = std::make_unique<tl::TAudioIn>(nullptr, std::move(d));
    rec->setBufferSize(512);
    rec->setWaveDevice(0);
    panel.setColumnSeconds(tl::columnSeconds(rec->BufferSize(), rec->FrameRate()));
    rec->OnBufferFilled = [this](char* b, int& size) {
      if (shaped) shape(reinterpret_cast<int16_t*>(b), size / 2);
      return panel.AudioIn1BufferFilled(b, size);
    };
    panel.resize(700, 120);
  }
  void shape(int16_t* s, int n) {
    const double t = host.pos;
    bool inCue = false;
    for (int i = 1; i + 1 < host.l.subcount; i += 2)
      inCue |= host.l.subtime[i] <= t * 10000 && t * 10000 < host.l.subtime[i + 1];
    const double env = inCue ? 0.35 + 0.55 * std::fabs(std::sin(t * 7.0) * std::sin(t * 2.3)) : 0.04;
    for (int k = 0; k < n; ++k) s[k] = int16_t(std::clamp<double>((s[k] % 1000) / 1000.0 * env * 32767, -32767, 32767));
  }
  // One buffer at the next column's position.
  void step(bool advance = true) {
    if (advance) host.pos += panel.wave.wavcolsec;
    host.follow();
    dev->fill();
    QCoreApplication::processEvents();
  }
};

TEST(WavePanel, RecorderFeedsColumnsAndTheBarFollowsOnce) {
  Rig r;
  r.host.pos = 1.0;
  r.panel.N48Click(*r.rec);
  ASSERT_TRUE(r.rec->DeviceOpen());
  for (int i = 0; i < 10; ++i) r.step();
  EXPECT_EQ(r.panel.wave.wavcount, 10);
  EXPECT_FALSE(r.panel.wave.wavauto);
  EXPECT_EQ(r.panel.tb_wavsize->value(), r.panel.wave.wavmax);
  // A second start while recording: the component's text, the view kept.
  r.panel.N48Click(*r.rec);
  ASSERT_EQ(r.host.messages.size(), 1u);
  EXPECT_EQ(r.host.messages[0], "エラーですよWave Input device is already open");
  EXPECT_EQ(r.panel.wave.wavcount, 10);
  r.rec->Stop();
}

TEST(WavePanel, UncheckedViewClosesTheDeviceAfterFourBuffers) {
  Rig r;
  r.host.pos = 1.0;
  r.panel.N48Click(*r.rec);
  r.host.o.playwav = false;
  for (int i = 0; i < 4; ++i) r.step();
  EXPECT_FALSE(r.rec->DeviceOpen());
  r.host.o.playwav = true;
  EXPECT_FALSE(r.dev->fill());  // stays closed until a start
  EXPECT_EQ(r.panel.wave.wavcount, 0);
}

TEST(WavePanel, AFailingHandlerLogsOncePerRecording) {
  Rig r;
  r.host.pos = 1.0;
  r.panel.N48Click(*r.rec);
  r.host.throwOnPosition = true;
  for (int i = 0; i < 6; ++i) r.step();
  EXPECT_TRUE(r.rec->DeviceOpen());  // buffers keep coming
  EXPECT_EQ(r.host.logs, (std::vector<std::string>{"[Err] position lost"}));
  EXPECT_TRUE(r.host.messages.empty());
  r.rec->Stop();
  r.panel.N48Click(*r.rec);
  r.step();
  EXPECT_EQ(r.host.logs.size(), 2u);
  r.rec->Stop();
}

TEST(WavePanel, MouseClickPlaysDragShiftsCtrlSets) {
  Rig r;
  tl::loadSrtBytes("1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n"
                   "2\r\n00:00:03,000 --> 00:00:04,000\r\nTwo\r\n\r\n",
                   "/x/t.srt", 28591, "/d/", r.host.l);
  r.panel.show();
  r.panel.wavreset();
  r.panel.wave.wavtime = 30000;
  QWidget* box = r.panel.p_wav1;
  const int now = box->width() - box->width() / 4;
  click(box, Qt::LeftButton, {}, QPoint(now, 10));
  ASSERT_EQ(r.host.played, (std::vector<tl::ttime>{30000}));

  mouse(box, QEvent::MouseButtonPress, Qt::LeftButton, {}, QPoint(100, 10));
  QMouseEvent move(QEvent::MouseMove, QPointF(110, 10), box->mapToGlobal(QPointF(110, 10)), Qt::NoButton,
                   Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(box, &move);
  mouse(box, QEvent::MouseButtonRelease, Qt::LeftButton, {}, QPoint(110, 10));
  EXPECT_EQ(r.host.shifts, (std::vector<tl::ttime>{1161}));
  EXPECT_EQ(r.host.played.size(), 1u);  // a drag is no click

  r.host.l.cursub = 1;
  click(box, Qt::RightButton, Qt::ControlModifier, QPoint(now - 86, 10));  // about 2.0 s
  EXPECT_EQ(r.host.timesSetCount, 1);
  EXPECT_EQ(r.host.l.subtime[2], r.host.l.subtime[3]);
  EXPECT_TRUE(r.host.l.srtdirty);
}

TEST(WavePanel, DemoLessonPictureWithMarkers) {
  const std::string srt = std::string(TL_BINARY_DIR) + "/demo/demo.srt";
  if (!std::filesystem::exists(srt)) GTEST_SKIP() << "no demo lesson";
  Rig r;
  ASSERT_TRUE(tl::loadSrt(srt, 28591, "/tmp/", r.host.l).ok);
  for (int i = 1; i < 7; i += 2) r.host.l.subclear[i] = 1;  // cleared cues show their text
  r.shaped = true;
  r.panel.resize(1000, 130);
  r.panel.show();
  r.host.pos = 0.2;
  r.panel.N48Click(*r.rec);
  r.panel.wavreset();
  while (r.host.pos < 9.6) r.step();
  r.rec->Stop();
  const QImage img = r.panel.grab().toImage();
  int yellow = 0, green = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QRgb c = img.pixel(x, y);
      if (c == qRgb(255, 255, 0)) ++yellow;
      if (c == qRgb(0, 255, 0)) ++green;
    }
  EXPECT_GT(yellow, 100);  // start markers
  EXPECT_GT(green, 1000);  // columns
  if (const char* out = std::getenv("TALLISEN_WAVE_SCREENSHOT")) img.save(QString::fromUtf8(out));
}

TEST(WaveMenu, StereoMixAndCd) {
  tl::FakeShell shell;
  std::vector<QString> msgs;
  auto msg = [&](const QString& t) { msgs.push_back(t); };
  EXPECT_TRUE(N45Click(shell, msg));
  ASSERT_EQ(shell.started.size(), 1u);
  EXPECT_EQ(shell.started[0].path, "pavucontrol");
  EXPECT_EQ(shell.started[0].args, (std::vector<std::string>{"-t", "2"}));
  shell.result = false;
  EXPECT_FALSE(N45Click(shell, msg));
  ASSERT_EQ(msgs.size(), 1u);
  EXPECT_TRUE(msgs[0].contains("pactl set-default-source <sink>.monitor"));

  tl::FakePlayer player;
  tl::FakeDrives drives;
  EXPECT_FALSE(CD1Click(player, &drives, msg));
  EXPECT_EQ(msgs.back(), "CDドライブがありません");
  drives.drives.push_back({"/dev/sr0", "sr0"});
  player.failNext("cdTracks");  // no disc in the drive
  EXPECT_FALSE(CD1Click(player, &drives, msg));
  EXPECT_EQ(msgs.back(), "CDが入っていません");
  player.setCdTracks({"cdda://1", "cdda://2"});
  EXPECT_TRUE(CD1Click(player, &drives, msg));
  EXPECT_EQ(msgs.size(), 3u);
}

}  // namespace
