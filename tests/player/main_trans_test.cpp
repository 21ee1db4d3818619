// The main window's translations and words end to end, against the fake
// translation server on 127.0.0.1: a word registered from the overlay, the
// worker started by each load and its switches, the close during a request,
// the hidden test items, the tools menu, the review saved at close, and the
// decoder line at media open.
#include <gtest/gtest.h>

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QThread>
#include <QTimer>

#include "core/translation.h"
#include "platform/codepage/codepage.h"
#include "platform/paths/files.h"
#include "platform/paths/paths.h"
#include "player/views/overlay.h"
#include "player/sublist/subedit.h"
#include "player/translate/translation.h"
#include "player/words/wordtest.h"
#include "support/fakehttpserver.h"
#include "support/waituntil.h"
#include "support/mainaccess.h"
#include "player/mainwindow_fixture.h"

using tl::test::FakeHttpServer;

namespace {

using tl::test::pump;
using tl::test::waitUntil;

const char* kCue = "1\r\n00:00:01,000 --> 00:00:03,000\r\nThe cat sat there\r\n\r\n";

// A translation request (not the keep-alive probe, whose text "a" comes first).
bool isTranslation(const FakeHttpServer::Seen& s) {
  const size_t k = s.target.find("&text=");
  return k != std::string::npos && s.target.find("&from=", k) == std::string::npos;
}

class MainTransTest : public tltest::MainWindowFixture {
 protected:
  void SetUp() override {
    hive.setString(tl::trans::kServiceKey, "host", withHost ? server.hostPort() : std::string());
    MainWindowFixture::SetUp();
    tl::paths::setExedirForTests(dir.string() + "/");
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    tl::paths::setExedirForTests("");
  }
  std::string read(const std::string& name) {
    std::string s;
    tl::paths::readFile(path(name), s);
    return s;
  }
  bool anyText(const std::string& needle) {
    for (const auto& list : L().jawd)
      for (const auto& e : list)
        if (e.find(needle) != std::string::npos) return true;
    for (const auto& s : L().jasnt)
      if (s.find(needle) != std::string::npos) return true;
    return false;
  }

  FakeHttpServer server;
  bool withHost = true;
};

TEST_F(MainTransTest, AWordRegisteredOnTheOverlayLandsInWordCsvWhileTheWindowGoesOn) {
  server.setDefault(FakeHttpServer::answer("<string>\xE7\x8C\xAB</string>", 200, 600));  // "猫"
  // No worker requests: the on-demand one is the only translation asked.
  w->action("n_gtssnt")->trigger();
  w->action("n_gtsword")->trigger();
  load(kCue);
  auto* ov = MainTestAccess::tp_sub(*w);
  ASSERT_TRUE(ov->hooks.wordentry);
  QElapsedTimer t;
  t.start();
  ov->hooks.wordentry(1, "cat", L().subtext[1]);
  EXPECT_LT(t.elapsed(), 300);  // the reply is not waited for
  int ticks = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
  tick.start(20);
  ASSERT_TRUE(waitUntil([&] { return tl::paths::fileExists(path("word.csv")); }, 6000));
  EXPECT_GE(ticks, 10);  // the event loop ran throughout the wait
  const std::string csv = read("word.csv");
  EXPECT_NE(csv.find("a.srt,no0001,cat," + tl::cp::utf8ToAnsi("猫") + ",The"), std::string::npos) << csv;
  EXPECT_EQ(w->statusText(0).toStdString(), "猫（コピー、単語登録完了）");
  bool asked = false;
  for (const auto& s : server.requests())
    if (isTranslation(s) && s.target.find("&text=cat") != std::string::npos) asked = true;
  EXPECT_TRUE(asked);
}

TEST_F(MainTransTest, TheSwitchItemsSetTheGapsAndStopTheWorkersRequests) {
  QAction* snt = w->action("n_gtssnt");
  QAction* word = w->action("n_gtsword");
  ASSERT_TRUE(snt && word);
  EXPECT_EQ(snt->text().toStdString(), "文章自動翻訳（要オンライン）");
  EXPECT_EQ(word->text().toStdString(), "単語自動翻訳（要オンライン）");
  EXPECT_TRUE(snt->isChecked() && word->isChecked());
  auto* ov = MainTestAccess::tp_sub(*w);
  const int h = ov->metrics().gscellh;
  snt->trigger();
  EXPECT_FALSE(w->model()->options().gtssnt);
  EXPECT_EQ(ov->sntgap(), 10);
  EXPECT_EQ(ov->wdgap(), h + 5);
  word->trigger();
  EXPECT_EQ(ov->wdgap(), 5);

  server.setDefault(FakeHttpServer::answer("x"));
  load(kCue);
  pump(1500);
  for (const auto& s : server.requests()) EXPECT_FALSE(isTranslation(s)) << s.target;
  EXPECT_TRUE(L().jasnt[1].empty());

  // Back on: the same worker takes them up.
  snt->trigger();
  ASSERT_TRUE(waitUntil([&] { return L().jasnt[1] == "x"; }, 5000));
}

TEST_F(MainTransTest, AReloadWhileTheWorkerAsksLandsNothingOld) {
  server.push(FakeHttpServer::answer("OLD", 200, 800));
  server.setDefault(FakeHttpServer::answer("NEW"));
  load(kCue);
  ASSERT_TRUE(server.waitForRequests(1, 3000));
  write("b.srt", "1\r\n00:00:01,000 --> 00:00:03,000\r\nWhere were these\r\n\r\n");
  w->srtfileopen(path("b.srt"));
  ASSERT_TRUE(waitUntil([&] { return L().jasnt[1] == "NEW"; }, 5000));
  pump(1200);
  EXPECT_FALSE(anyText("OLD"));
  EXPECT_EQ(L().jawd[1].front(), "000NEW");
  // The first load's worker said it ended.
  EXPECT_TRUE(waitUntil([&] { return w->statusText(0).toStdString() == "翻訳処理終了"; }, 3000));
}

TEST_F(MainTransTest, ClosingDuringARequestReturnsPromptly) {
  server.setDefault(FakeHttpServer::silent());
  load(kCue);
  ASSERT_TRUE(server.waitForRequests(1, 3000));
  auto* ov = MainTestAccess::tp_sub(*w);
  ov->hooks.wordentry(1, "cat", L().subtext[1]);  // an on-demand request too
  ASSERT_TRUE(server.waitForRequests(2, 3000));
  QElapsedTimer t;
  t.start();
  EXPECT_TRUE(w->close());
  EXPECT_LT(t.elapsed(), 1000);
  w.reset();
  pump(300);  // nothing of the gone window runs
}

TEST_F(MainTransTest, TheHiddenTestItemsAndTheWorkerFollowTheLoad) {
  server.setDefault(FakeHttpServer::answer("x"));
  load(kCue);
  TranslationService* ts = MainTestAccess::ts(*w);
  ASSERT_NE(ts->transthread(), nullptr);
  EXPECT_EQ(ts->workerCount(), 1);
  w->action("N38")->trigger();  // "スレッド実行": one more worker, the first goes on
  EXPECT_EQ(ts->workerCount(), 2);
  const int before = server.requestCount();
  w->action("http1")->trigger();  // "httpヘッド": one probe
  ASSERT_TRUE(server.waitForRequests(before + 1, 3000));
  w->action("indy1")->trigger();  // "indy バージョン"
  ASSERT_FALSE(messages.empty());
  EXPECT_NE(messages.back().find("libcurl"), std::string::npos) << messages.back();
  messages.clear();
  w->action("N37")->trigger();  // "時間文字列戻し": the two fields, then joined again
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_NE(messages[0].find("と"), std::string::npos);
  EXPECT_EQ(w->action("N38")->text().toStdString(), "スレッド実行");
  EXPECT_EQ(w->action("indy1")->text().toStdString(), "indy バージョン");
  EXPECT_EQ(w->action("http1")->text().toStdString(), "httpヘッド");
  EXPECT_EQ(w->action("N37")->text().toStdString(), "時間文字列戻し");
}

TEST_F(MainTransTest, TheTranslationsShowOnTheOverlay) {
  server.setDefault(FakeHttpServer::answer("<string>\xE8\xA8\xB3</string>", 200, 400));  // "訳"
  w->show();
  load(kCue);
  L().cursub = 1;
  auto* ov = MainTestAccess::tp_sub(*w);
  ov->Invalidate();
  pump(50);
  const QImage before = ov->grab().toImage();
  ASSERT_TRUE(waitUntil([&] { return !L().jasnt[1].empty(); }, 5000));
  pump(100);
  EXPECT_NE(ov->grab().toImage(), before);  // repainted for the slot shown
}

class MainTransNoHostTest : public MainTransTest {
 protected:
  void SetUp() override {
    withHost = false;
    MainTransTest::SetUp();
  }
};

class MainTransEditTest : public MainTransTest {
 protected:
  void SetUp() override {
    withWindows = true;
    MainTransTest::SetUp();
  }
};

// A cue edited while its sentence is on the way: the answer for the old text
// is dropped and the sentence is asked for with the text the learner sees.
TEST_F(MainTransEditTest, AnEditedCueIsTranslatedWithItsNewText) {
  server.push(FakeHttpServer::answer("OLD", 200, 800));
  server.setDefault(FakeHttpServer::answer("NEW"));
  load("1\r\n00:00:01,000 --> 00:00:03,000\r\nThe cat sat\r\n\r\n");  // no word long enough
  ASSERT_TRUE(server.waitForRequests(1, 3000));
  L().cursub = 1;
  w->action("a_subedit")->trigger();
  ws->f_subedit->r_subedit->setPlainText(QStringLiteral("A dog ran"));
  answer = QMessageBox::No;
  ws->f_subedit->Button1Click();
  ASSERT_TRUE(waitUntil([&] { return L().jasnt[1] == "NEW"; }, 5000));
  bool askedNew = false;
  for (const auto& seen : server.requests())
    askedNew = askedNew || (isTranslation(seen) && seen.target.find("text=A+dog+ran") != std::string::npos);
  EXPECT_TRUE(askedNew);
}

TEST_F(MainTransNoHostTest, WithNoHostNothingIsSent) {
  load(kCue);
  w->action("N38")->trigger();
  w->action("http1")->trigger();
  EXPECT_EQ(MainTestAccess::ts(*w)->workerCount(), 0);
  // A registration still writes its record, with no translation.
  MainTestAccess::tp_sub(*w)->hooks.wordentry(1, "cat", L().subtext[1]);
  ASSERT_TRUE(waitUntil([&] { return tl::paths::fileExists(path("word.csv")); }, 3000));
  EXPECT_NE(read("word.csv").find(",no0001,cat,,The"), std::string::npos);
  pump(500);
  EXPECT_EQ(server.requestCount(), 0);
  EXPECT_EQ(server.connections(), 0);
}

TEST_F(MainTransTest, AMissingStopWordListIsSaid) {
  std::filesystem::remove(dir / "escape.txt");
  w.reset();
  make();
  pump(50);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("escape.txt"), std::string::npos);
}

TEST_F(MainTransTest, TheToolsMenuHoldsTheWordCommands) {
  QMenu* tools = nullptr;
  for (QAction* a : w->menuBar()->actions())
    if (a->text() == QStringLiteral("ツール")) tools = a->menu();
  ASSERT_NE(tools, nullptr);
  std::vector<std::string> items;
  for (QAction* a : tools->actions()) items.push_back(a->isSeparator() ? "-" : a->text().toStdString());
  EXPECT_EQ(items, (std::vector<std::string>{"設定", "学習履歴", "ﾃﾞｺｰﾀﾞ変更(DVD日本語字幕出ない時)", "-",
                                             "単語テスト", "単語エクスポート", "登録単語ファイル開く",
                                             "翻訳除外単語ファイル開く"}));
  QMenu* exp = tools->actions()[5]->menu();
  ASSERT_NE(exp, nullptr);
  ASSERT_EQ(exp->actions().size(), 2);
  EXPECT_EQ(exp->actions()[0]->text().toStdString(), "Anki");
  EXPECT_EQ(exp->actions()[1]->text().toStdString(), "P-Study System");
  // With no desktop handler the open says so.
  w->action("N50")->trigger();
  ASSERT_FALSE(messages.empty());
}

TEST_F(MainTransTest, TheDecoderLineIsLoggedAtMediaOpen) {
  player->setDecoderLog("映像デコーダ h264");
  openMovie();
  EXPECT_EQ(w->statusText(0).toStdString(), "映像デコーダ h264");
  EXPECT_EQ(MainTestAccess::tp_sub(*w)->logText().toStdString(), "映像デコーダ h264");
}

// The word review open in the word test window is saved when the main
// window really closes, not when its saving question is cancelled.
TEST_F(MainTransTest, AnOpenReviewIsSavedAtCloseNotOnCancel) {
  w.reset();
  const std::string rec = "a.srt,no0001,cat,x,The　cat,2012/03/04,9:05:07,0\r\n";
  write("word.csv", rec);
  withWindows = true;
  make();
  ws->f_wordtest->Button6Click();
  ws->f_wordtest->Button1Click();  // OK: level 3 in the review, not yet in the file
  EXPECT_EQ(read("word.csv"), rec);
  L().flgdirty = true;
  answer = QMessageBox::Cancel;
  EXPECT_FALSE(w->close());
  EXPECT_EQ(read("word.csv"), rec);
  answer = QMessageBox::No;
  EXPECT_TRUE(w->close());
  EXPECT_NE(read("word.csv").find(",9:05:07,3"), std::string::npos) << read("word.csv");
}

}  // namespace
