// The mixer component on the real ALSA backend, against the private
// PulseAudio server (its "default" mixer).  Skipped where no server starts.
#include "audio/Mixers.h"
#include "support/pulse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

TEST(MixerAlsa, ScanSetAndChangeOnTheSoundServer) {
  PrivatePulse pulse;
  if (!pulse.up()) GTEST_SKIP() << "pulseaudio could not be started: " << pulse.log().toStdString();

  tl::TMixer m;
  m.Loaded();
  tl::TMixerDev* dev = nullptr;
  for (int i = 0; i < m.DeviceCount(); ++i)
    if (m.Devices(i)->Name == "default") dev = m.Devices(i);
  ASSERT_NE(dev, nullptr) << "devices: " << m.DeviceCount();
  tl::TMixerItem* master = nullptr;
  tl::TMixerItem* capture = nullptr;
  for (int i = 0; i < dev->ItemCount(); ++i) {
    if (dev->Items(i)->Name == "Master") master = dev->Items(i);
    if (dev->Items(i)->Name == "Capture") capture = dev->Items(i);
  }
  ASSERT_NE(master, nullptr);
  ASSERT_NE(capture, nullptr);
  EXPECT_EQ(master->LineType, tl::dtSpeakers);
  EXPECT_EQ(capture->LineType, tl::dtWaveIn);
  EXPECT_EQ(master->Channels, 2u);

  master->SetVolumePercent(40);
  QString out;
  ASSERT_EQ(pulse.pactl({"get-sink-volume", "@DEFAULT_SINK@"}, &out), 0) << out.toStdString();
  EXPECT_TRUE(out.contains("40%")) << out.toStdString();
  EXPECT_EQ(master->GetVolumePercent(), 40);

  int changes = 0;
  m.OnControlChange = [&](tl::TMixer*, tl::TMixerDev* d, tl::TMixerItem* i, tl::TMixerCtrl*) {
    if (d == dev && i == master) ++changes;
  };
  ASSERT_EQ(pulse.pactl({"set-sink-volume", "@DEFAULT_SINK@", "70%"}, &out), 0) << out.toStdString();
  QElapsedTimer t;
  t.start();
  while (changes == 0 && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_GT(changes, 0);
  EXPECT_EQ(master->GetVolumePercent(), 70);
}

}  // namespace
