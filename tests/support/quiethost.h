// A main window for a secondary window under test: it owns a lesson and
// answers every request quietly (saves succeed, questions get 0, nothing
// plays; a question gets `answer`) and keeps the texts it was given (UTF-8).
// Tests override what they watch.
#pragma once

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

#include "player/lessonmodel.h"
#include "player/wave/wavepanel.h"

namespace tl::test {

struct QuietHost : WaveHost {
  LessonModel m;
  Options& o = m.options();
  bool medium = true;  // what mediumOpen() says
  int answer = 0;  // what question() says
  std::vector<std::string> messages, questions, captions, logs;
  LessonModel& model() override { return m; }
  const Options& options() override { return o; }
  std::string exedir() override { return "/tmp/"; }
  QWidget* window() override { return nullptr; }
  bool posplay(int32_t, ttime) override { return true; }
  void adjshiftFrom(int32_t, ttime) override {}
  void adjratio(ttime) override {}
  bool positionSeconds(double& s) override {
    s = 0;
    return true;
  }
  bool mediumOpen() override { return medium; }
  void afterflgchg() override {}
  void timeEdited(int32_t) override {}
  void starChanged(int32_t) override {}
  void memoChanged(int32_t) override {}
  void scenesChanged() override {}
  bool srtsav() override { return true; }
  bool subflgsave() override { return true; }
  bool saveProgress() override { return true; }
  void logout(const std::string& utf8) override { logs.push_back(utf8); }
  void message(const QString& text, const QString&, QWidget*) override { messages.push_back(text.toStdString()); }
  int question(const QString& text, const QString& caption, int, QWidget*) override {
    questions.push_back(text.toStdString());
    captions.push_back(caption.toStdString());
    return answer;
  }
  bool mainTimerEnabled() override { return true; }
  void setMainTimerEnabled(bool) override {}
  void toggleFullScreen() override {}
  // the waveform's own
  bool eosVisible() override { return false; }
  bool position(double& s) override {
    s = 0;
    return true;
  }
  bool mediumEnded() override { return false; }
  void adjshift(ttime) override {}
  void timesSet() override {}
};

}  // namespace tl::test
