// Renders the list window over the demo lesson and saves it to
// $TALLISEN_SUBLIST_SHOT (the README's picture).  Skipped unless set.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPixmap>
#include <cstdlib>
#include <filesystem>

#include "core/letterstates.h"
#include "core/scenes.h"
#include "core/srtread.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"
#include "support/quiethost.h"

namespace {

using ShotHost = tl::test::QuietHost;

TEST(Screenshot, SubtitleListOverTheDemoLesson) {
  const char* out = std::getenv("TALLISEN_SUBLIST_SHOT");
  if (!out) GTEST_SKIP() << "TALLISEN_SUBLIST_SHOT not set";
  const std::string srt = std::string(TL_BINARY_DIR) + "/demo/demo.srt";
  if (!std::filesystem::exists(srt)) GTEST_SKIP() << "no demo lesson";
  auto host = std::make_shared<ShotHost>();
  host->medium = false;
  tl::Lesson& l = host->m.lesson();
  ASSERT_TRUE(tl::loadSrt(srt, 28591, "/tmp/", l).ok);
  tl::closeflginit(l);
  // Some progress: the first cue typed, a hint in the second, a star and a memo.
  for (size_t j = 0; j < l.subflg[1].size(); ++j)
    if (l.subflg[1][j] == tl::flg_closed) l.subflg[1][j] = tl::flg_open;
  if (l.subcount > 3 && l.subflg[3].size() > 2) l.subflg[3][1] = tl::flg_hinted;
  tl::recountflags(l);
  tl::Scenecut(l, tl::kSceneGapDefault, 0);
  if (l.subcount > 3) {
    l.substar[3] = 1;
    l.submemo[3] = "remember this one";
  }
  l.cursub = 3;
  Tf_sub sub;
  sub.setHost(host);
  sub.resize(760, 420);
  sub.show();
  QApplication::processEvents();
  ASSERT_TRUE(sub.grab().save(QString::fromUtf8(out)));
  sub.setDicMode(true);
  QApplication::processEvents();
  const std::string out2 = std::string(out) + ".dic.png";
  ASSERT_TRUE(sub.grab().save(QString::fromStdString(out2)));
}

}  // namespace
