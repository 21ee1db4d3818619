// The filter dialog over the main window's lesson.
#include "player/filter/filter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <cstdlib>
#include <deque>

#include "player/mainwindow_fixture.h"

namespace {

using tltest::MainWindowFixture;

// Letters: "Hello" (5), "you" (3), "on" (2).
const char* kCues =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello you\r\n\r\n"
    "2\r\n00:00:03,000 --> 00:00:04,000\r\non\r\n\r\n";

class FilterDialog : public MainWindowFixture {
 protected:
  void SetUp() override {
    MainWindowFixture::SetUp();
    load(kCues);
    f = std::make_unique<Tf_filter>(w->host());
    f->show();
  }
  void TearDown() override {
    f.reset();
    MainWindowFixture::TearDown();
  }
  template <class T>
  T* child(const char* name) {
    T* c = f->findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
  }
  void ok() { child<QPushButton>("Button1")->click(); }
  std::unique_ptr<Tf_filter> f;
};

TEST_F(FilterDialog, PresetAllOpenThenRecount) {
  ASSERT_EQ(L().flgrest, 10);
  f->cb_ptnSelect(9);  // "全ての文字を開ける"
  EXPECT_TRUE(child<QRadioButton>("rb_allopen")->isChecked());
  EXPECT_FALSE(child<QLineEdit>("Edit1")->isEnabled());
  ok();
  EXPECT_FALSE(f->isVisible());
  EXPECT_EQ(L().flgrest, 0);
  EXPECT_EQ(L().subflg[1][0], tl::flg_hinted);
  EXPECT_EQ(L().subflg[1][5], tl::flg_out);
  EXPECT_TRUE(L().flgdirty);
  EXPECT_EQ(w->statusText(6).toStdString(), "達成:100%:10/10");
}

TEST_F(FilterDialog, ShortWordsPresetHidesOnlyShortWords) {
  f->cb_ptnSelect(9);
  ok();
  f->show();
  f->cb_ptnSelect(5);  // at most 3 letters
  EXPECT_EQ(child<QLineEdit>("Edit1")->text(), "3");
  EXPECT_EQ(child<QComboBox>("ComboBox1")->currentIndex(), 1);
  ok();
  EXPECT_EQ(L().subflg[1][0], tl::flg_hinted);  // Hello stays open
  EXPECT_EQ(L().subflg[1][6], tl::flg_closed);  // you
  EXPECT_EQ(L().subflg[3][0], tl::flg_closed);  // on
  EXPECT_EQ(L().flgrest, 5);
}

TEST_F(FilterDialog, ModeButtonsRunTheirClickRules) {
  child<QRadioButton>("rb_sntmode")->click();
  EXPECT_TRUE(child<QLineEdit>("Edit2")->isEnabled());
  EXPECT_FALSE(child<QRadioButton>("RadioButton1")->isEnabled());
  EXPECT_TRUE(child<QCheckBox>("c_3")->isChecked());
  child<QRadioButton>("rb_wdmode")->click();
  child<QRadioButton>("RadioButton2")->click();
  EXPECT_TRUE(child<QComboBox>("ComboBox2")->isEnabled());
  EXPECT_FALSE(child<QLineEdit>("Edit1")->isEnabled());
  EXPECT_FALSE(child<QCheckBox>("c_3")->isChecked());
  child<QRadioButton>("RadioButton3")->click();
  EXPECT_TRUE(child<QCheckBox>("c_0")->isChecked());
  EXPECT_FALSE(child<QCheckBox>("c_1")->isChecked());
}

TEST_F(FilterDialog, RandomDrawsComeFromTheInjectedSequence) {
  f->cb_ptnSelect(9);
  ok();
  f->show();
  f->cb_ptnSelect(6);  // random, 30 %
  std::deque<int> d = {30, 31, 0, 0};
  f->makeDraw = [&d] {
    return [&d] {
      const int v = d.front();
      d.pop_front();
      return v;
    };
  };
  ok();
  EXPECT_EQ(L().subflg[1][0], tl::flg_closed);  // draw 30: chosen
  EXPECT_EQ(L().subflg[1][6], tl::flg_hinted);  // draw 31: not chosen
  EXPECT_EQ(L().subflg[3][0], tl::flg_closed);  // draw 0
  EXPECT_TRUE(d.empty());
}

TEST_F(FilterDialog, BadNumberKeepsTheDialogOpenAndChangesNothing) {
  child<QLineEdit>("Edit2")->setText("abc");
  ok();
  EXPECT_TRUE(f->isVisible());
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0], "'abc' は有効な整数値ではありません");
  EXPECT_FALSE(L().flgdirty);
}

TEST_F(FilterDialog, Screenshot) {
  const char* out = std::getenv("TALLISEN_SHOTS");
  if (!out) GTEST_SKIP() << "TALLISEN_SHOTS not set";
  f->cb_ptnSelect(4);
  f->adjustSize();
  ASSERT_TRUE(f->grab().save(QString::fromUtf8(out) + "/filter.png"));
}

}  // namespace
