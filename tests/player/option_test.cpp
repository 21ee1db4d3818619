#include "player/dialogs/option.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <memory>

#include "platform/registry/registry.h"
#include "player/sublist/adjnum.h"
#include "player/filter/filter.h"
#include "player/sublist/hanrei.h"
#include "player/dialogs/keystct.h"
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

const std::string kOpt = "Software\\Tallisen\\option";

std::string stored(const tl::reg::Hive& h, const std::string& name, const std::string& key = kOpt) {
  std::string s;
  return h.getString(key, name, s) ? s : std::string("<none>");
}

// A dialog on an in-memory hive, with its hooks recording what they get.
struct Fixture {
  tl::reg::Hive hive;
  Tf_sub sub;
  std::unique_ptr<Tf_option> dlg;
  std::vector<QString> messages;
  std::vector<tl::Settings> applied;
  int refreshed = 0;

  void make() {
    dlg = std::make_unique<Tf_option>(hive);
    dlg->setListWindow(&sub);
    dlg->showMessage = [this](const QString& m) { messages.push_back(m); };
    dlg->applyToMain = [this](const tl::Settings& s) { applied.push_back(s); };
    dlg->refreshMain = [this] { ++refreshed; };
    dlg->FormCreate();
  }
};

TEST(Option, StartWithoutSettingsShowsTheDefaults) {
  Fixture f;
  f.make();
  Tf_option& d = *f.dlg;
  EXPECT_EQ(d.windowTitle(), QString::fromUtf8("設定"));
  EXPECT_TRUE(d.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(d.RadioButton1->isChecked());
  EXPECT_TRUE(d.c_pausemode->isChecked());
  EXPECT_EQ(d.e_backmore->text(), "1000");
  EXPECT_EQ(d.e_tinterval->text(), "50");
  EXPECT_EQ(d.com_size->currentText(), "16");
  EXPECT_EQ(d.com_gfsize->currentText(), "24");
  EXPECT_EQ(d.com_charset->currentText(), "28591");
  EXPECT_EQ(d.ComboBox1->currentText(), "-1");
  EXPECT_EQ(d.com_charset->count(), 21);
  ASSERT_EQ(f.applied.size(), 1u);
  EXPECT_EQ(f.applied[0].opt.tinterval, 50);
  EXPECT_EQ(d.settings().x, 2);  // one start counted
  EXPECT_TRUE(f.messages.empty());
  EXPECT_FALSE(f.hive.keyExists(kOpt));  // nothing stored before OK or exit
}

TEST(Option, OkRefusesAnInvalidEntry) {
  Fixture f;
  f.make();
  f.dlg->show();
  f.dlg->e_backmore->setText("");
  f.dlg->Button3Click();
  ASSERT_EQ(f.messages.size(), 1u);
  EXPECT_EQ(f.messages[0], "'' is not a valid integer value");
  EXPECT_EQ(stored(f.hive, "backmore"), "<none>");  // nothing written
  EXPECT_EQ(f.refreshed, 0);
  EXPECT_TRUE(f.dlg->isVisible());

  f.dlg->e_backmore->setText("1500");
  f.dlg->com_charset->setEditText("abc");
  f.dlg->Button3Click();
  ASSERT_EQ(f.messages.size(), 2u);
  EXPECT_EQ(f.messages[1], "'abc' is not a valid integer value");
  EXPECT_EQ(stored(f.hive, "backmore"), "<none>");

  // At exit an invalid code page keeps the one loaded; the rest is written.
  EXPECT_TRUE(f.dlg->WriteEnv());
  EXPECT_EQ(stored(f.hive, "codepage"), "28591");
  EXPECT_EQ(stored(f.hive, "backmore"), "1500");
  EXPECT_EQ(stored(f.hive, "x"), "2");
}

TEST(Option, OkStoresAppliesAndRefreshes) {
  Fixture f;
  f.make();
  Tf_option& d = *f.dlg;
  d.show();
  d.com_charset->setCurrentIndex(11);  // "932   日本語 ..."
  d.com_gfsize->setEditText("24.5");
  d.com_size->setEditText("big");  // no number: the default
  d.e_tinterval->setText("0");
  d.c_hintmode->setChecked(true);
  d.Button3Click();
  EXPECT_TRUE(f.messages.empty());
  EXPECT_EQ(stored(f.hive, "codepage"), "932");
  EXPECT_EQ(stored(f.hive, "gfsize"), "245000");
  EXPECT_EQ(stored(f.hive, "size"), "16");
  EXPECT_EQ(stored(f.hive, "hintmode"), "1");
  EXPECT_EQ(d.com_charset->currentText(), "932");
  EXPECT_EQ(d.com_gfsize->currentText(), "24.5");
  ASSERT_EQ(f.applied.size(), 2u);
  EXPECT_TRUE(f.applied[1].opt.hintmode);
  EXPECT_EQ(f.applied[1].opt.tinterval, 0);
  EXPECT_FALSE(tl::timerTicks(f.applied[1].opt.tinterval));
  EXPECT_EQ(f.refreshed, 1);
  EXPECT_FALSE(d.isVisible());
}

TEST(Option, CancelKeepsTheChangeForTheSaveAtExit) {
  Fixture f;
  f.make();
  f.dlg->show();
  f.dlg->e_backmore->setText("3000");
  f.dlg->Button4Click();
  EXPECT_FALSE(f.dlg->isVisible());
  EXPECT_EQ(stored(f.hive, "backmore"), "<none>");
  EXPECT_EQ(f.applied.size(), 1u);
  EXPECT_TRUE(f.dlg->WriteEnv());
  EXPECT_EQ(stored(f.hive, "backmore"), "3000");
}

TEST(Option, StoredModeAndGridReachTheControls) {
  Fixture f;
  f.hive.setString(kOpt, "subopenmode", "1");
  f.hive.setString(kOpt, "pausemode", "1");
  f.hive.setString(kOpt, "notclearpause", "1");
  f.hive.setString(kOpt, "backmore", "");  // takes its default, loading goes on
  f.hive.setString("Software\\Tallisen\\view", "CWidth2", "300");
  f.make();
  Tf_option& d = *f.dlg;
  EXPECT_TRUE(d.c_subopenmode->isChecked());
  EXPECT_FALSE(d.c_pausemode->isChecked());
  EXPECT_TRUE(d.c_notclearpause->isChecked());
  EXPECT_EQ(d.e_backmore->text(), "1000");
  EXPECT_EQ(f.sub.subgrid->columnWidth(2), 300);
  ASSERT_EQ(f.messages.size(), 1u);  // the empty backmore
  EXPECT_EQ(d.settings().x, 2);      // the start is still counted
  // The user's dictation-mode click sets both pause flags.
  d.RadioButton1->click();
  EXPECT_TRUE(d.c_pausemode->isChecked());
  d.c_subview->click();
  EXPECT_FALSE(d.c_pausemode->isChecked());
  EXPECT_FALSE(d.c_notclearpause->isChecked());
}

TEST(Option, SaveCollectsTheMainWindowsValues) {
  Fixture f;
  f.make();
  f.dlg->collectFromMain = [](tl::Settings& s) {
    s.panel1 = 0;
    s.opt.win7 = true;
    s.tpx = 40;
    s.tpy = 50;
  };
  f.sub.subgrid->setColumnWidth(0, 77);
  ASSERT_TRUE(f.dlg->WriteEnv());
  EXPECT_EQ(stored(f.hive, "panel1", "Software\\Tallisen\\window"), "150");
  EXPECT_EQ(stored(f.hive, "7", "Software\\Tallisen\\view"), "1");
  EXPECT_EQ(stored(f.hive, "tpy", "Software\\Tallisen\\view"), "50");
  EXPECT_EQ(stored(f.hive, "CWidth0", "Software\\Tallisen\\view"), "77");
  // Narrow columns the learner left alone keep their own widths.
  EXPECT_EQ(stored(f.hive, "CWidth4", "Software\\Tallisen\\view"), "30");
}

TEST(Option, WaveDeviceComboTakesWholeNumbersOnly) {
  Fixture f;
  f.make();
  int device = 99;
  f.dlg->setWaveDevice = [&](int d) { device = d; };
  f.dlg->ComboBox1->setEditText("x");
  emit f.dlg->ComboBox1->lineEdit()->editingFinished();
  EXPECT_EQ(device, 99);
  ASSERT_EQ(f.messages.size(), 1u);
  f.dlg->ComboBox1->setEditText("2");
  emit f.dlg->ComboBox1->lineEdit()->editingFinished();
  EXPECT_EQ(device, 2);
}

TEST(Windows, SecondaryWindowsHaveTheirCaptions) {
  Tf_sub sub;
  Tf_rireki rireki;
  Tf_wordopen wordopen;
  Tf_filter filter;
  Tf_hanrei hanrei;
  Tf_scenediv scenediv;
  Tf_subposfind subposfind;
  Tf_srtout srtout;
  Tf_adjnum adjnum;
  Tf_keystct keystct;
  Tf_subno subno;
  Tf_subedit subedit;
  Tf_wordtest wordtest;
  Tf_urlopen urlopen;
  Tf_ted ted;
  const std::pair<QWidget*, const char*> all[] = {
      {&sub, "字幕一覧"},           {&rireki, "学習履歴(最新反映には要セーブ)"},
      {&wordopen, "指定単語オープン"}, {&filter, "フィルタ"},
      {&hanrei, "凡例"},             {&scenediv, "シーン分割"},
      {&subposfind, "検索"},         {&srtout, "字幕出力"},
      {&adjnum, "指定字幕調整"},     {&keystct, "操作方法"},
      {&subno, "字幕番号指定ジャンプ"}, {&subedit, "字幕編集"},
      {&wordtest, "単語テスト"},     {&urlopen, "URLを開く"},
      {&ted, "TED"}};
  for (const auto& [w, caption] : all) {
    EXPECT_EQ(w->windowTitle(), QString::fromUtf8(caption));
    EXPECT_FALSE(w->isVisible());
    EXPECT_TRUE(w->isWindow());
  }
  EXPECT_EQ(sub.subgrid->columnCount(), 7);
  EXPECT_EQ(sub.subgrid->columnWidth(2), 486);
}

TEST(Windows, KeysWindowShowsItsLabelsTopToBottom) {
  Tf_keystct k;
  const QStringList l = Tf_keystct::labels();
  ASSERT_EQ(l.size(), 24);
  EXPECT_EQ(l.front(), QString::fromUtf8("↑/backspace 1文戻る"));
  EXPECT_EQ(l[17], QString::fromUtf8("●再生波形"));
  EXPECT_EQ(l.back(), QString::fromUtf8("shift+右クリック　一番近い終了点をクリック位置に移動し全てに適用"));
  k.layout()->activate();
  const auto labels = k.findChildren<QLabel*>();
  ASSERT_EQ(labels.size(), 24);
  for (int i = 0; i < 24; ++i) {
    EXPECT_EQ(labels[i]->text(), l[i]);
    if (i) {
      EXPECT_GT(labels[i]->y(), labels[i - 1]->y());
    }
  }
  EXPECT_GT(labels[18]->indent(), labels[17]->indent());
}

}  // namespace
