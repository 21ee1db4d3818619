// A main window on the scripted player in a temporary data folder, with the
// message boxes collected and the questions answered by the test.
//
// A suite changes the defaults in its constructor: `makeAtSetUp = false` to
// build the window itself with make() (for instance with a recorder that
// fails to open), `showInFront` for a shown window that counts as the
// foreground one, `withWindows` for the main window inside the whole set of
// windows, `fakeShell` for a desktop that records what it is asked to open,
// `realBoxes` for the window's own message boxes;
// it overrides prepare() for other files in the folder.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <QMessageBox>
#include <filesystem>
#include <fstream>
#include <memory>

#include "platform/media/fakeplayer.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell.h"
#include "platform/sound/soundplayer.h"
#include "platform/mixer/fakemixer.h"
#include "platform/wavein/fakewavein.h"
#include "player/main/main.h"
#include "player/windowset.h"
#include "support/tempfolder.h"

namespace tltest {

namespace fs = std::filesystem;

// Three cues: 1-2 s "Hi", 3-4 s "Go on", 4-5 s "(laughs) OK".
inline constexpr const char* kThreeCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n"
    "3\r\n00:00:04,000 --> 00:00:05,000\r\n(laughs) OK\r\n\r\n";

// Three cues with a gap before each: 1-2 s "Hi", 3-4 s "Go on", 5-6 s "OK".
inline constexpr const char* kSpacedCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nGo on\r\n\r\n"
    "3\r\n00:00:05,000 --> 00:00:06,000\r\nOK\r\n\r\n";

class MainWindowFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    prepare();
    if (makeAtSetUp) make();
  }
  void TearDown() override {
    if (w) L().flgdirty = L().srtdirty = false;
    if (ws) static_cast<void>(w.release());  // the set deletes its main window
    ws.reset();
    w.reset();
  }
  // What the data folder holds before the window is made.
  virtual void prepare() {
    fs::create_directories(dir / "sav");
    write("escape.txt", "this\r\nthat\r\nwith\r\n");
  }

  // The window's surroundings: a new scripted player, the test's hive, sound
  // player, clock and message boxes, a recorder whose device opens with
  // `openResult`, the standard fake mixer, and `shell` if `fakeShell`.
  MainDeps deps(tl::wavein::Result openResult = tl::wavein::ok) {
    MainDeps d;
    d.player = std::make_unique<tl::FakePlayer>();
    d.hive = &hive;
    d.sound = &sound;
    if (fakeShell) d.shell = &shell;
    d.exedir = dir.string() + "/";
    d.tickCount = [this] { return now; };
    if (!realBoxes) {
      d.showMessage = [this](const QString& t, const QString&) { messages.push_back(t.toStdString()); };
      d.ask = [this](const QString& t, const QString& c, int) {
        questions.push_back(t.toStdString());
        captions.push_back(c.toStdString());
        return answer;
      };
    }
    d.waveDevice = [openResult] {
      auto dev = std::make_unique<tl::wavein::FakeWaveIn>();
      dev->openResult = openResult;
      return dev;
    };
    d.mixerSystem = [] {
      auto s = std::make_unique<tl::mixer::FakeMixerSystem>();
      s->devices.push_back(tl::mixer::FakeMixerData::standard());
      return s;
    };
    return d;
  }
  // Builds `w` (640x480) over deps(openResult); `player` is its player.
  // With `withWindows`, `ws` holds all the windows and owns `w`.
  void make(tl::wavein::Result openResult = tl::wavein::ok) {
    MainDeps d = deps(openResult);
    player = static_cast<tl::FakePlayer*>(d.player.get());
    if (withWindows) {
      ws = std::make_unique<WindowSet>(std::move(d));
      w.reset(ws->main());
    } else {
      w = std::make_unique<Tf_main>(std::move(d));
    }
    if (showInFront) w->setForceForeground(true);
    w->resize(640, 480);
    if (showInFront) w->show();
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
  // Opens an empty file `name` as a 320x240 movie of `seconds`.
  void openMovie(const std::string& name = "movie.mkv", double seconds = 100.0) {
    write(name, "");
    w->movfileopen(path(name));
    player->completeOpen(320, 240, seconds);
    player->settle();
  }
  // The subtitles in a.srt with a ten-second movie.
  void openAll() {
    w->srtfileopen(path("a.srt"));
    openMovie("movie.mkv", 10.0);
  }
  // Plays in 50 ms ticks up to `until` seconds and returns where it paused;
  // resumeAfterPause() goes on after every pause.
  std::vector<double> playThrough(double until) {
    std::vector<double> pauses;
    while (player->position() < until) {
      now += 50;
      player->advance(0.05);
      const bool wasPlaying = player->playState() == tl::ps_playing;
      w->Timer1Timer();
      if (wasPlaying && player->playState() != tl::ps_playing) {
        pauses.push_back(player->position());
        resumeAfterPause();
      }
    }
    return pauses;
  }
  // The learner resumes: the resting timer wakes.
  virtual void resumeAfterPause() { w->playpause(); }

  bool makeAtSetUp = true;
  bool showInFront = false;
  bool withWindows = false;
  bool fakeShell = false;
  bool realBoxes = false;  // the window's own message boxes, not the collectors
  tl::test::TempFolder tmp{"tl-main"};
  fs::path dir{tmp.path};
  tl::reg::Hive hive;
  tl::FakeSoundPlayer sound;
  tl::FakeShell shell;
  tl::FakePlayer* player = nullptr;
  std::unique_ptr<WindowSet> ws;
  std::unique_ptr<Tf_main> w;
  uint32_t now = 100000;
  std::vector<std::string> messages, questions, captions;
  int answer = QMessageBox::Yes;
};

}  // namespace tltest
