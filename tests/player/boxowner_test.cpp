// Message boxes open in front of the window that asks and are owned by it;
// every secondary window belongs to the main window.
#include "player/widgets/boxowner.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

#include "player/sublist/adjnum.h"
#include "player/filter/filter.h"
#include "player/sublist/hanrei.h"
#include "player/dialogs/keystct.h"
#include "player/mainwindow_fixture.h"
#include "player/dialogs/option.h"
#include "player/history/rireki.h"
#include "player/sublist/scenediv.h"
#include "player/sublist/srtout.h"
#include "player/sublist/sub.h"
#include "player/sublist/subedit.h"
#include "player/sublist/subno.h"
#include "player/sublist/subposfind.h"
#include "player/dialogs/ted.h"
#include "player/dialogs/urlopen.h"
#include "player/words/wordopen.h"
#include "player/words/wordtest.h"

namespace {

// A box as it waited for its answer.
struct Seen {
  QWidget* owner = nullptr;
  bool onTop = false;
  std::string text;
};

// While it lives, answers every box that waits with `button` (a box without
// it: its first button) and notes what it saw.
class Answerer {
 public:
  explicit Answerer(QMessageBox::StandardButton button, std::function<void()> first = {})
      : button_(button), first_(std::move(first)) {
    QObject::connect(&timer_, &QTimer::timeout, [this] { look(); });
    timer_.start(5);
  }
  std::vector<Seen> seen;

 private:
  void look() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible()) return;
    seen.push_back(
        {box->parentWidget(), (box->windowFlags() & Qt::WindowStaysOnTopHint) != 0, box->text().toStdString()});
    if (first_) std::exchange(first_, {})();
    QAbstractButton* b = box->button(button_);
    (b ? b : box->buttons().value(0))->click();
  }
  QMessageBox::StandardButton button_;
  std::function<void()> first_;
  QTimer timer_;
};

TEST(BoxOwner, TheAskingWindowAWaitingBoxOrTheFallback) {
  QWidget main;
  auto* inner = new QLineEdit(&main);
  main.show();
  EXPECT_EQ(tl::ui::boxOwner(inner, nullptr), &main);
  QWidget hidden;
  EXPECT_EQ(tl::ui::boxOwner(&hidden, &main), QApplication::activeWindow() ? QApplication::activeWindow() : &main);

  // Without a stay-on-top window shown the box is an ordinary one.
  std::unique_ptr<QMessageBox> plain(
      tl::ui::newBox(QMessageBox::Information, "t", "x", QMessageBox::Ok, inner, nullptr));
  EXPECT_EQ(plain->parentWidget(), &main);
  EXPECT_FALSE(plain->windowFlags() & Qt::WindowStaysOnTopHint);

  // A stay-on-top window could cover the asking one: the box stays on top.
  QDialog top(&main);
  top.setWindowFlag(Qt::WindowStaysOnTopHint);
  top.show();
  std::unique_ptr<QMessageBox> over(
      tl::ui::newBox(QMessageBox::Information, "t", "x", QMessageBox::Ok, inner, nullptr));
  EXPECT_EQ(over->parentWidget(), &main);
  EXPECT_TRUE(over->windowFlags() & Qt::WindowStaysOnTopHint);
  top.hide();

  // A box that does not wait owns nothing: it is deleted when it closes.
  auto* notice = tl::ui::newBox(QMessageBox::Information, "t", "n", QMessageBox::Ok, inner, nullptr);
  notice->setAttribute(Qt::WA_DeleteOnClose);
  notice->setModal(false);
  notice->show();
  notice->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != notice; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), notice);
  EXPECT_EQ(tl::ui::boxOwner(nullptr, nullptr), &main);
  notice->close();

  // A box raised while another waits for its answer belongs to that one.
  QWidget* ownerOfSecond = nullptr;
  std::unique_ptr<QMessageBox> waiting(
      tl::ui::newBox(QMessageBox::Question, "t", "q", QMessageBox::Yes, inner, nullptr));
  QTimer::singleShot(0, [&] {
    ownerOfSecond = tl::ui::boxOwner(inner, nullptr);
    waiting->done(QMessageBox::Yes);
  });
  waiting->exec();
  EXPECT_EQ(ownerOfSecond, waiting.get());
}

class WindowBoxes : public tltest::MainWindowFixture {
 protected:
  WindowBoxes() {
    withWindows = true;
    realBoxes = true;
  }
  void prepare() override {
    tltest::MainWindowFixture::prepare();
    write("a.srt", tltest::kThreeCues);
  }
};

TEST_F(WindowBoxes, SecondaryWindowsBelongToTheMainWindow) {
  w->show();
  QWidget* all[] = {ws->f_sub,      ws->f_option,     ws->f_rireki,  ws->f_wordopen, ws->f_filter,  ws->f_hanrei,
                    ws->f_scenediv, ws->f_subposfind, ws->f_srtout,  ws->f_adjnum,   ws->f_keystct, ws->f_subno,
                    ws->f_subedit,  ws->f_wordtest,   ws->f_urlopen, ws->f_ted};
  for (QWidget* s : all) {
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->parentWidget(), w.get()) << s->objectName().toStdString();
    EXPECT_TRUE(s->isWindow()) << s->objectName().toStdString();
  }
  // The word test stays above the main window and leaves it usable.
  ws->showWordTest();
  ASSERT_NE(ws->f_wordtest->windowHandle(), nullptr);
  EXPECT_EQ(ws->f_wordtest->windowHandle()->transientParent(), w->windowHandle());
  EXPECT_FALSE(ws->f_wordtest->isModal());
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
  // The stay-on-top windows keep their rule.
  EXPECT_TRUE(ws->f_subedit->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(ws->f_option->windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(WindowBoxes, TheSaveQuestionAfterAnEditOpensOverTheEditDialog) {
  w->show();
  w->srtfileopen(path("a.srt"));
  Tf_subedit* e = ws->f_subedit;
  e->editset(1);
  e->show();
  e->activateWindow();
  for (int i = 0; i < 100 && QApplication::activeWindow() != e; ++i) QApplication::processEvents();
  ASSERT_EQ(QApplication::activeWindow(), e);
  Answerer a(QMessageBox::No);
  e->Button1Click();
  ASSERT_EQ(a.seen.size(), 1u);
  EXPECT_EQ(a.seen[0].owner, e);
  EXPECT_TRUE(a.seen[0].onTop);
}

TEST_F(WindowBoxes, TheCloseQuestionStaysOverTheSettingsWindow) {
  w->show();
  w->srtfileopen(path("a.srt"));
  L().flgdirty = true;
  ws->showOption();
  Answerer a(QMessageBox::Cancel);
  EXPECT_FALSE(w->close());
  ASSERT_EQ(a.seen.size(), 1u);
  EXPECT_EQ(a.seen[0].owner, w.get());
  EXPECT_TRUE(a.seen[0].onTop);
}

TEST_F(WindowBoxes, MessagesOfAWindowAreOwnedByIt) {
  w->show();
  w->srtfileopen(path("a.srt"));
  Answerer a(QMessageBox::Ok);
  ws->f_rireki->show();
  ws->f_rireki->N3Click();  // the rank
  ws->f_filter->show();
  ws->f_filter->findChild<QLineEdit*>(QStringLiteral("Edit2"))->setText(QStringLiteral("abc"));
  ws->f_filter->findChild<QPushButton*>(QStringLiteral("Button1"))->click();
  ws->f_wordopen->show();
  ws->f_wordopen->e_openword->setText(QStringLiteral("OK"));
  ws->f_wordopen->Button1Click();
  ASSERT_EQ(a.seen.size(), 3u);
  EXPECT_EQ(a.seen[0].owner, ws->f_rireki);
  EXPECT_EQ(a.seen[1].owner, ws->f_filter);
  EXPECT_EQ(a.seen[1].text, "'abc' は有効な整数値ではありません");
  EXPECT_EQ(a.seen[2].owner, ws->f_wordopen);
}

// A failure that comes while a question waits is shown once that question
// is answered: not behind it, and not taken away with it.
TEST_F(WindowBoxes, AFailureDuringAQuestionComesAfterIt) {
  w->show();
  write("movie.mkv", "");
  w->movfileopen(path("movie.mkv"));
  auto notices = [] {
    int n = 0;
    for (QWidget* t : QApplication::topLevelWidgets())
      if (auto* b = qobject_cast<QMessageBox*>(t);
          b && b->isVisible() && b->text().startsWith(QString::fromUtf8("再生に失敗しました")))
        ++n;
    return n;
  };
  int duringQuestion = -1;
  QTimer::singleShot(0, [&] { player->failOpen("unrecognized file format"); });
  QTimer::singleShot(300, [&] {
    duringQuestion = notices();
    if (auto* q = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) q->button(QMessageBox::No)->click();
  });
  w->question(QStringLiteral("レジューム？"), QStringLiteral("レジューム"), QMessageBox::Yes | QMessageBox::No);
  EXPECT_EQ(duringQuestion, 0);
  QElapsedTimer t;
  t.start();
  while (notices() == 0 && t.elapsed() < 2000) QApplication::processEvents(QEventLoop::AllEvents, 10);
  EXPECT_EQ(notices(), 1);
}

}  // namespace
