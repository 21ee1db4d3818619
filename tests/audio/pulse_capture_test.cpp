// The real wave-input backend: a private PulseAudio server with a 440 Hz sine
// source, captured through ALSA "default" (the system's default device).
// Skipped where no PulseAudio server can be started.
#include "audio/AudioIO.h"
#include "support/pulse.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(PulseCapture, DefaultDeviceDeliversTheSine) {
  PrivatePulse pulse;
  if (!pulse.up()) GTEST_SKIP() << "pulseaudio could not be started: " << pulse.log().toStdString();

  tl::TAudioIn in;  // the system's wave input
  in.setBufferSize(4096);
  std::vector<std::vector<int16_t>> got;
  in.OnBufferFilled = [&](char* b, int& size) {
    std::vector<int16_t> s(size_t(size) / 2);
    std::memcpy(s.data(), b, s.size() * 2);
    got.push_back(std::move(s));
    return true;
  };
  ASSERT_TRUE(in.Start()) << in.LastErrorText().toStdString();
  QElapsedTimer t;
  t.start();
  while (got.size() < 4 && t.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  in.Stop();
  ASSERT_GE(got.size(), 4u) << "buffers received in 10 s";
  EXPECT_FALSE(in.DeviceOpen());

  // 2048 samples at 22050/s are 92.9 ms: a 440 Hz sine crosses zero about
  // 82 times.  The first buffer may start with the stream's ramp; use the last.
  const auto& s = got.back();
  ASSERT_EQ(s.size(), 2048u);
  int peak = 0, crossings = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    peak = std::max(peak, std::abs(int(s[i])));
    if (i && ((s[i - 1] < 0) != (s[i] < 0))) ++crossings;
  }
  EXPECT_GT(peak, 1000);
  EXPECT_GT(crossings, 65);
  EXPECT_LT(crossings, 100);
}

}  // namespace
