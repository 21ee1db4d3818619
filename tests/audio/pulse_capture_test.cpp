// The real wave-input backend: a private PulseAudio server with a 440 Hz sine
// source, captured through ALSA "default" (the system's default device).
// Skipped where no PulseAudio server can be started.
#include "audio/AudioIO.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <sys/types.h>

namespace {

class PrivatePulse {
 public:
  PrivatePulse() {
    const QString exe = QStandardPaths::findExecutable("pulseaudio");
    const QString timeout = QStandardPaths::findExecutable("timeout");
    if (exe.isEmpty() || timeout.isEmpty() || !dir_.isValid()) return;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", dir_.path());
    env.insert("HOME", dir_.path());
    proc_.setProcessEnvironment(env);
    proc_.setProcessChannelMode(QProcess::MergedChannels);
    // timeout bounds the server's life even if this test never gets to stop it.
    proc_.start(timeout, {"-k", "5", "60", exe, "-n", "--daemonize=no", "--exit-idle-time=-1",
                          "--load=module-native-protocol-unix",
                          "--load=module-null-sink sink_name=fake_sink",
                          "--load=module-sine-source source_name=fake_mic frequency=440"});
    if (!proc_.waitForStarted(3000)) return;
    const QString socket = dir_.path() + "/pulse/native";
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 5000 && proc_.state() == QProcess::Running) {
      if (QFile::exists(socket)) {
        QThread::msleep(100);
        up_ = true;
        break;
      }
      QThread::msleep(20);
    }
    if (!up_) return;
    setenv("XDG_RUNTIME_DIR", dir_.path().toLocal8Bit().constData(), 1);
    setenv("PULSE_SERVER", ("unix:" + socket).toLocal8Bit().constData(), 1);
    // ALSA decides at configuration time whether "default" goes to PulseAudio.
    snd_config_update_free_global();
  }
  ~PrivatePulse() {
    if (proc_.state() != QProcess::NotRunning) {
      proc_.terminate();  // timeout passes the signal on to the server
      if (!proc_.waitForFinished(3000)) {
        proc_.kill();
        proc_.waitForFinished(3000);
      }
    }
    // A server that outlived timeout still has its pid file in our directory.
    QFile pidFile(dir_.path() + "/pulse/pid");
    if (pidFile.open(QIODevice::ReadOnly)) {
      const qint64 pid = pidFile.readAll().trimmed().toLongLong();
      if (pid > 0) ::kill(pid_t(pid), SIGKILL);
    }
    unsetenv("PULSE_SERVER");
  }
  bool up() const { return up_; }
  QString log() { return QString::fromLocal8Bit(proc_.readAll()); }

 private:
  QTemporaryDir dir_;
  QProcess proc_;
  bool up_ = false;
};

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
