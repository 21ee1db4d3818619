// A main window on the scripted player in a temporary data folder, with the
// message boxes collected and the questions answered by the test.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QMessageBox>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/media/fakeplayer.h"
#include "platform/registry/registry.h"
#include "platform/sound/soundplayer.h"
#include "platform/mixer/fakemixer.h"
#include "platform/wavein/fakewavein.h"
#include "player/main.h"

namespace tltest {

namespace fs = std::filesystem;

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("tl_" + std::string(info->test_suite_name()) + "_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "sav");
    write("escape.txt", "this\r\nthat\r\nwith\r\n");
    MainDeps d;
    auto p = std::make_unique<tl::FakePlayer>();
    player = p.get();
    d.player = std::move(p);
    d.hive = &hive;
    d.sound = &sound;
    d.exedir = dir.string() + "/";
    d.tickCount = [this] { return now; };
    d.showMessage = [this](const QString& t, const QString&) { messages.push_back(t.toStdString()); };
    d.ask = [this](const QString& t, const QString& c, int) {
      questions.push_back(t.toStdString());
      captions.push_back(c.toStdString());
      return answer;
    };
    d.waveDevice = [] { return std::make_unique<tl::wavein::FakeWaveIn>(); };
    d.mixerSystem = [] {
      auto s = std::make_unique<tl::mixer::FakeMixerSystem>();
      s->devices.push_back(tl::mixer::FakeMixerData::standard());
      return s;
    };
    w = std::make_unique<Tf_main>(std::move(d));
    w->resize(640, 480);
  }
  void TearDown() override {
    if (w) L().flgdirty = L().srtdirty = false;
    w.reset();
    fs::remove_all(dir);
  }
  tl::Lesson& L() { return w->model()->lesson(); }
  void write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  void load(const std::string& srt) {
    write("a.srt", srt);
    w->srtfileopen(path("a.srt"));
  }
  void openMovie() {
    write("movie.mkv", "");
    w->movfileopen(path("movie.mkv"));
    player->completeOpen(320, 240, 100.0);
    player->settle();
  }

  fs::path dir;
  tl::reg::Hive hive;
  tl::FakeSoundPlayer sound;
  tl::FakePlayer* player = nullptr;
  std::unique_ptr<Tf_main> w;
  uint32_t now = 100000;
  std::vector<std::string> messages, questions, captions;
  int answer = QMessageBox::Yes;
};

}  // namespace tltest
