// A private PulseAudio server for tests of the real sound backends: a null
// sink "fake_sink" and a 440 Hz sine source "fake_mic", reached through
// ALSA "default" while the object lives.  up() is false where no server
// can be started (tests then skip).
#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <vector>

class PrivatePulse {
 public:
  PrivatePulse();
  ~PrivatePulse();
  bool up() const { return up_; }
  QString log();
  // Runs pactl against this server; its exit code, the output in *out.
  int pactl(const QStringList& args, QString* out = nullptr);

 private:
  QTemporaryDir dir_;
  QProcess proc_;
  bool up_ = false;
};
