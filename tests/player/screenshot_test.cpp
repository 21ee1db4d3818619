// Renders the main window with the demo lesson on real playback and saves a
// picture of it to $TALLISEN_SCREENSHOT (the README's picture).  Skipped
// unless that variable is set; run under a display server.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "platform/media/mpvplayer.h"
#include "platform/registry/registry.h"
#include "platform/sound/soundplayer.h"
#include "player/main/main.h"
#include "support/mainaccess.h"
#include "support/tempfolder.h"

namespace {

void spin(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(Screenshot, MainWindowWithTheDemoLesson) {
  const char* out = std::getenv("TALLISEN_SCREENSHOT");
  if (!out) GTEST_SKIP() << "TALLISEN_SCREENSHOT not set";
  const std::string demo = std::string(TL_BINARY_DIR) + "/demo/";
  if (!std::filesystem::exists(demo + "demo.mkv")) GTEST_SKIP() << "no demo lesson";
  const tl::test::TempFolder tmp("tl-shot");
  const std::string& dir = tmp.path;
  tl::reg::Hive hive;
  tl::FakeSoundPlayer sound;
  MainDeps d;
  d.player = std::make_unique<tl::MpvPlayer>(true);
  d.hive = &hive;
  d.sound = &sound;
  d.exedir = dir + "/";
  d.showMessage = [](const QString&, const QString&) {};
  Tf_main w(std::move(d));
  w.setForceForeground(true);
  w.resize(w.width(), 640);  // the width it opens with
  w.show();
  w.srtfileopen(demo + "demo.srt");
  w.movfileopen(demo + "demo.mkv");
  // Play through the first sentence, where the timer pauses after it; type
  // its first words and take a hint for the next letter.
  spin(9000);
  for (char c : std::string("goodmorning")) MainTestAccess::FormKeyPress(w, QChar::fromLatin1(c));
  w.a_hintExecute();
  spin(500);
  const QPixmap shot = w.grab();
  ASSERT_TRUE(shot.save(QString::fromUtf8(out)));
  w.model()->lesson().flgdirty = w.model()->lesson().srtdirty = false;
}

}  // namespace
