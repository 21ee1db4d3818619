// Words from the windows' side: registration with a translation that comes
// late or never, the word-open dialog, the exports and file commands of the
// tools menu, and the word test window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <filesystem>

#include "audio/AudioIO.h"
#include "core/maintimer.h"
#include "core/wordrecord.h"
#include "mainwindow_fixture.h"
#include "platform/paths/files.h"
#include "platform/paths/paths.h"
#include "platform/shell/shell.h"
#include "player/translate/translator.h"
#include "player/words/wordentry.h"
#include "player/words/wordmenu.h"
#include "player/words/wordopen.h"
#include "player/words/wordtest.h"

namespace fs = std::filesystem;

namespace {

const char* kCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nThere is the cat\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\nThe cat, the end\r\n\r\n";

// Answers only when told.
class FakeTranslator : public Translator {
 public:
  void trans(const std::string& text932, std::function<void(const std::string&)> done) override {
    asked.push_back(text932);
    pending.push_back(std::move(done));
  }
  void answer(const std::string& ja932) {
    for (auto& d : pending) d(ja932);
    pending.clear();
  }
  std::vector<std::string> asked;
  std::vector<std::function<void(const std::string&)>> pending;
};

class WordWindowTest : public tltest::MainWindowFixture {
 protected:
  WordWindowTest() { answer = QMessageBox::No; }
  void prepare() override {
    tl::paths::setExedirForTests(dir.string() + "/");
    write("a b.srt", kCues);
    write("movie.mkv", "");
  }
  void TearDown() override {
    MainWindowFixture::TearDown();
    tl::paths::setExedirForTests("");
  }
  std::string read(const std::string& name) {
    std::string s;
    tl::paths::readFile((dir / name).string(), s);
    return s;
  }
};

const std::string kSp = "\x81\x40";

std::string today() {
  tl::word::Stamp n = tl::word::nowStamp();
  return tl::word::dateText(n);
}

}  // namespace

TEST_F(WordWindowTest, RegistrationWritesWhenTheTranslationComes) {
  w->srtfileopen(path("a b.srt"));
  FakeTranslator tr;
  std::vector<WordEntryResult> results;
  wordentry(*w->host(), w.get(), tr, 1, "the cat", L().subtext[1], 5000, [&](const WordEntryResult& r) { results.push_back(r); });
  EXPECT_EQ(tr.asked, std::vector<std::string>{"the cat"});
  EXPECT_FALSE(fs::exists(dir / "word.csv"));  // nothing before the reply
  tr.answer("\x94\x4C, x");                    // "猫, x"
  ASSERT_EQ(results.size(), 1u);
  EXPECT_TRUE(results[0].ok);
  EXPECT_EQ(results[0].lasttrans, "\x94\x4C\x81\x43" + kSp + "x");
  auto r = tl::word::wordread(read("word.csv").substr(0, read("word.csv").size() - 2));
  ASSERT_TRUE(r);
  EXPECT_EQ(r->work(), "a\\sb.srt");
  EXPECT_EQ(r->fields[1], "no0001");
  EXPECT_EQ(r->wordText(), "the" + kSp + "cat");
  EXPECT_EQ(r->sentence(), "There" + kSp + "is" + kSp + "the" + kSp + "cat" + kSp);
  EXPECT_EQ(r->fields[5], today());
  EXPECT_EQ(w->statusText(0).toStdString(), "猫，　x（コピー、単語登録完了）");
  EXPECT_TRUE(messages.empty());
}

TEST_F(WordWindowTest, RegistrationWithoutAReplyCompletesAfterTheWait) {
  w->srtfileopen(path("a b.srt"));
  FakeTranslator tr;
  int calls = 0;
  wordentry(*w->host(), w.get(), tr, 3, "end", L().subtext[3], 30, [&](const WordEntryResult& r) {
    ++calls;
    EXPECT_TRUE(r.ok);
  });
  QElapsedTimer clock;
  clock.start();
  while (calls == 0 && clock.elapsed() < 2000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(w->statusText(0).toStdString(), "end（コピー、単語登録完了）");
  tr.answer("late");  // a reply after the wait writes nothing more
  EXPECT_EQ(calls, 1);
  const std::string file = read("word.csv");
  EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 1);
  EXPECT_NE(file.find(",end,,The"), std::string::npos);
}

TEST_F(WordWindowTest, AFailedRegistrationIsReportedAndNotLogged) {
  w->srtfileopen(path("a b.srt"));
  const QString before = w->statusText(0);
  tl::paths::setExedirForTests((dir / "gone").string() + "/");
  FakeTranslator tr;
  WordEntryResult got;
  wordentry(*w->host(), w.get(), tr, 1, "cat", L().subtext[1], 5000, [&](const WordEntryResult& r) { got = r; });
  tr.answer("x");
  EXPECT_FALSE(got.ok);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("word.csv"), std::string::npos);
  EXPECT_EQ(w->statusText(0), before);
}

TEST_F(WordWindowTest, WordOpenRevealsEveryWholeWord) {
  w->srtfileopen(path("a b.srt"));
  Tf_wordopen dlg;
  dlg.setHost(w->host());
  dlg.Button1Click();
  EXPECT_EQ(messages.back(), "オープンする単語を指定してください");
  dlg.e_openword->setText("THE");
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
  QApplication::sendEvent(dlg.e_openword, &enter);
  EXPECT_EQ(messages.back(), "3個の単語「THE」を見つけました。オープンしました");
  EXPECT_EQ(L().subflg[1][10], tl::flg_hinted);  // "the" after "There"
  EXPECT_EQ(L().subflg[1][0], tl::flg_closed);
  EXPECT_TRUE(dlg.e_openword->text().isEmpty());
  EXPECT_EQ(w->statusText(6).toStdString(), tl::achievementText(L().flgrest, L().flgtotal));
  EXPECT_NE(L().flgrest, L().flgtotal);
}

TEST_F(WordWindowTest, ExportsOfAMissingFileSayThereIsNoWord) {
  EXPECT_TRUE(ankiExportTo(*w->host(), path("anki.txt")));
  EXPECT_EQ(read("anki.txt"), "");
  EXPECT_TRUE(fs::exists(dir / "anki.txt"));
  n_pssClick(*w->host(), [&](const QString& def) {
    EXPECT_EQ(def, "pss.csv");
    return QString::fromStdString(path("pss.csv"));
  });
  EXPECT_EQ(read("pss.csv"), "psscsvfile,100\r\nTallisen,na,na\r\nTallisenExport\r\na1,q1,h1\r\n");
  ASSERT_EQ(messages.size(), 2u);
  EXPECT_EQ(messages[0], "登録単語ファイル「word.csv」に単語がありませんでした");
  // The log line counts what was written and what was passed over.
  write("word.csv", "a.srt,no0001,cat,x,s,3/4/2012,9:05,0\r\nno record\r\n");
  EXPECT_TRUE(ankiExportTo(*w->host(), path("anki.txt")));
  EXPECT_EQ(read("anki.txt"), "cat;x\r\n");
  EXPECT_EQ(w->statusText(0).toStdString(), "1語をエクスポートしました（単語でない1行は飛ばしました）");
  messages.clear();
  n_ankiexClick(*w->host(), [](const QString&) { return QString(); });  // cancelled
  EXPECT_TRUE(messages.empty());
  EXPECT_FALSE(ankiExportTo(*w->host(), path("no/such/folder/anki.txt")));
  EXPECT_EQ(messages.size(), 1u);
  // Never over the word file itself, by its name or through a link.
  const std::string words = read("word.csv");
  fs::create_symlink(dir / "word.csv", dir / "link.csv");
  EXPECT_FALSE(pssExportTo(*w->host(), path("word.csv")));
  EXPECT_FALSE(ankiExportTo(*w->host(), path("link.csv")));
  EXPECT_EQ(read("word.csv"), words);
  EXPECT_EQ(messages.size(), 3u);
}

TEST_F(WordWindowTest, OpeningTheDataFilesReportsFailures) {
  tl::FakeShell shell;
  EXPECT_FALSE(N50Click(*w->host(), shell));  // before the first registration
  EXPECT_TRUE(shell.opened.empty());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_NE(messages[0].find("word.csv"), std::string::npos);
  write("escape.txt", "the\r\n");
  EXPECT_TRUE(N51Click(*w->host(), shell));
  EXPECT_EQ(shell.opened, std::vector<std::string>{path("escape.txt")});
  shell.result = false;  // no handler
  EXPECT_FALSE(N51Click(*w->host(), shell));
  EXPECT_NE(messages.back().find("refused by the fake"), std::string::npos);
}

TEST_F(WordWindowTest, WordTestReviewsAndSavesMergedWithNewWords) {
  const std::string old = "a\\sb.srt,no0003,cat,\x94\x4C,The" + kSp + "cat,2000/01/01,9:00:00,0";
  const std::string other = "z.srt,no0001,dog,,dog,2000/01/01,9:00:00,2";
  write("word.csv", other + "\r\n\r\n" + old + "\r\n");
  Tf_wordtest t;
  t.setHost(w->host());
  t.show();
  EXPECT_TRUE(t.Button6->isVisible());
  EXPECT_FALSE(t.Button1->isVisible());
  t.Button6Click();
  EXPECT_EQ(t.l_word->text(), "cat");
  EXPECT_EQ(t.Button1->text(), "*** OK");
  EXPECT_EQ(t.Label2->text(), "1/3");
  EXPECT_EQ(t.l_srt->text(), "a b 2");
  EXPECT_FALSE(t.l_ja->isVisible());
  EXPECT_FALSE(t.Button3->isVisible());  // replay only in the current-work review
  t.Button4Click();
  EXPECT_TRUE(t.l_ja->isVisible());
  EXPECT_EQ(t.l_ja->text(), "猫");
  t.Button1Click();
  EXPECT_EQ(t.l_word->text(), "dog");
  EXPECT_FALSE(t.l_ja->isVisible());
  // A word registered from the overlay meanwhile.
  w->srtfileopen(path("a b.srt"));
  FakeTranslator tr;
  wordentry(*w->host(), w.get(), tr, 1, "is", L().subtext[1], 5000);
  tr.answer("");
  t.Button9Click();  // dog deleted
  EXPECT_EQ(t.l_word->text(), "テスト対象は終了しました");
  EXPECT_TRUE(t.Button8->isVisible());
  EXPECT_FALSE(t.Button1->isVisible());
  EXPECT_FALSE(read("word.csv").find("dog") == std::string::npos);  // not saved yet
  t.Button8Click();
  EXPECT_FALSE(t.isVisible());
  const std::string file = read("word.csv");
  EXPECT_EQ(file.find("dog"), std::string::npos);
  EXPECT_NE(file.find("cat,2000/01/01,9:00:00,3\r\n"), std::string::npos);
  EXPECT_NE(file.find(",is,"), std::string::npos);
  EXPECT_EQ(file.substr(0, 2), "\r\n");  // kept, sorted first
}

TEST_F(WordWindowTest, CurrentWorkReviewReplaysTheCue) {
  write("word.csv", "a\\sb.srt,no0003,cat,,x,2000/01/01,9:00:00,0\r\n");
  Tf_wordtest t;
  t.setHost(w->host());
  t.show();
  t.Button7Click();  // no subtitles loaded
  EXPECT_EQ(t.l_word->text(), "テスト対象は終了しました");
  t.Button5Click();
  EXPECT_TRUE(t.Button7->isVisible());
  w->srtfileopen(path("a b.srt"));
  openMovie("movie.mkv", 10.0);
  t.Button7Click();
  EXPECT_EQ(t.l_word->text(), "cat");
  EXPECT_TRUE(t.Button3->isVisible());
  t.Button3Click();
  player->settle();
  EXPECT_NEAR(w->positionSeconds(), 2.0, 0.01);  // 3 s less the 1 s lead-in
  EXPECT_TRUE(t.saveOpenReview());
  EXPECT_FALSE(t.review().loaded());
}

namespace {

class WordTestClose : public WordWindowTest {
 protected:
  WordTestClose() { withWindows = true; }
};

TEST_F(WordTestClose, AnUnsavableReviewCanBeDroppedAtClose) {
  write("word.csv", "a\\sb.srt,no0003,cat,,x,2000/01/01,9:00:00,0\r\n");
  ws->f_wordtest->Button6Click();
  ws->f_wordtest->Button1Click();  // an answer that is not saved yet
  fs::permissions(path("word.csv"), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  answer = QMessageBox::No;
  EXPECT_FALSE(w->close());
  ASSERT_EQ(questions.size(), 1u);
  EXPECT_NE(questions[0].find("単語テストの回答を保存せずに終了しますか？"), std::string::npos);
  EXPECT_TRUE(ws->f_wordtest->review().loaded());
  answer = QMessageBox::Yes;
  EXPECT_TRUE(w->close());
  EXPECT_EQ(questions.size(), 2u);
  EXPECT_EQ(read("word.csv"), "a\\sb.srt,no0003,cat,,x,2000/01/01,9:00:00,0\r\n");
}

}  // namespace
