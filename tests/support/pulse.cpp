#include "support/pulse.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <alsa/asoundlib.h>

#include <csignal>
#include <cstdlib>

#include <sys/types.h>

PrivatePulse::PrivatePulse() {
  const QString exe = QStandardPaths::findExecutable("pulseaudio");
  const QString timeout = QStandardPaths::findExecutable("timeout");
  if (exe.isEmpty() || timeout.isEmpty() || !dir_.isValid()) return;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("XDG_RUNTIME_DIR", dir_.path());
  env.insert("HOME", dir_.path());
  proc_.setProcessEnvironment(env);
  proc_.setProcessChannelMode(QProcess::MergedChannels);
  // timeout bounds the server's life even if the test never gets to stop it.
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

PrivatePulse::~PrivatePulse() {
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

QString PrivatePulse::log() { return QString::fromLocal8Bit(proc_.readAll()); }

int PrivatePulse::pactl(const QStringList& args, QString* out) {
  const QString exe = QStandardPaths::findExecutable("pactl");
  if (exe.isEmpty()) return -1;
  QProcess p;
  p.setProcessChannelMode(QProcess::MergedChannels);
  p.start(exe, args);
  if (!p.waitForFinished(5000)) {
    p.kill();
    p.waitForFinished(1000);
    return -1;
  }
  if (out) *out = QString::fromLocal8Bit(p.readAll());
  return p.exitCode();
}
