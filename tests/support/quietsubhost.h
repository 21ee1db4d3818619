// A main window for the list window that owns a lesson and answers every
// request quietly: saves succeed, questions get 0, nothing plays.
#pragma once

#include <QString>
#include <cstdint>
#include <string>

#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

namespace tl::test {

struct QuietSubHost : SubHost {
  LessonModel m;
  Options o;
  bool medium = true;  // what mediumOpen() says
  LessonModel& model() override { return m; }
  const Options& options() override { return o; }
  std::string exedir() override { return "/tmp/"; }
  bool posplay(int32_t, ttime) override { return true; }
  void adjshiftFrom(int32_t, ttime) override {}
  void adjratio(ttime) override {}
  double positionSeconds() override { return 0; }
  bool mediumOpen() override { return medium; }
  void afterflgchg() override {}
  void timeEdited(int32_t) override {}
  void starChanged(int32_t) override {}
  void memoChanged(int32_t) override {}
  void scenesChanged() override {}
  bool srtsav() override { return true; }
  bool subflgsave() override { return true; }
  void message(const QString&, const QString&) override {}
  int question(const QString&, const QString&, int) override { return 0; }
  bool mainTimerEnabled() override { return true; }
  void setMainTimerEnabled(bool) override {}
  void toggleFullScreen() override {}
};

}  // namespace tl::test
