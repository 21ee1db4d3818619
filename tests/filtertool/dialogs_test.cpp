// The merit dialog, the about box, the main dialog's frame and the single
// running instance.
#include <QApplication>
#include <QDir>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTranslator>
#include <QMessageBox>
#include <QImage>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "filtertool/aboutdlg.h"
#include "filtertool/dlgfixture.h"
#include "filtertool/meritdlg.h"
#include "filtertool/quendleapp.h"
#include "platform/shell/qtjapanese.h"
#include "support/tempfolder.h"

using namespace quendle;

namespace {

class CheckedMeritDlg : public CMeritDlg {
 public:
  int errors = 0;

 protected:
  void showInputError() override { ++errors; }
};

}  // namespace

TEST(MeritDlg, AcceptsUpToEightHexDigitsOnly) {
  for (const char* good : {"", "0", "a", "ABCDEF01", "00600000", "fFfFfFfF"})
    EXPECT_TRUE(CMeritDlg::isMeritText(QString::fromUtf8(good))) << good;
  for (const char* bad : {"0x10", "g", "1 2", " ", "123456789", "-1", "１２", "ａ"})
    EXPECT_FALSE(CMeritDlg::isMeritText(QString::fromUtf8(bad))) << bad;
}

TEST(MeritDlg, OkChecksTheTextAndEnterCancels) {
  CheckedMeritDlg d;
  d.MeritText = "00600000";
  d.open();
  EXPECT_EQ(d.MeritEdit->text(), "00600000");
  EXPECT_EQ(d.MeritEdit->maxLength(), 8);
  EXPECT_TRUE(d.cancelButton->isDefault());
  d.MeritEdit->setText("12x");
  QTest::mouseClick(d.okButton, Qt::LeftButton);
  EXPECT_EQ(d.errors, 1);
  EXPECT_TRUE(d.isVisible());
  EXPECT_EQ(d.MeritEdit->text(), "12x");  // kept as typed
  d.MeritEdit->setText("");
  QTest::mouseClick(d.okButton, Qt::LeftButton);
  EXPECT_EQ(d.result(), QDialog::Accepted);
  EXPECT_EQ(d.MeritText, "");

  CheckedMeritDlg e;
  e.MeritText = "1";
  e.open();
  QTest::keyClick(e.MeritEdit, Qt::Key_Return);
  EXPECT_EQ(e.result(), QDialog::Rejected);
  EXPECT_EQ(e.errors, 0);
}

TEST(AboutDlg, ShowsTheVersion) {
  CAboutDlg a;
  EXPECT_EQ(a.windowTitle(), QString::fromUtf8("バージョン情報 Quendle"));
  auto* label = a.findChild<QLabel*>("versionLabel");
  ASSERT_TRUE(label);
  EXPECT_EQ(label->text(), "Quendle Version 1.7");
  a.open();
  QTest::keyClick(&a, Qt::Key_Escape);
  EXPECT_FALSE(a.isVisible());
}

// The desktop entry's icon on the window, and Qt's own buttons in Japanese.
TEST(MainDlg, ProgramIconAndJapaneseButtons) {
  fx::TempStore t;
  fx::ScriptedDlg d;
  const QImage icon = d.windowIcon().pixmap(64, 64).toImage();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.pixelColor(8, 32), QColor(0x2f, 0x3b, 0x2f));  // the svg's frame
  QTranslator ja;
  ASSERT_TRUE(tl::installQtJapanese(ja));
  QMessageBox box(QMessageBox::Question, "Quendle", "?", QMessageBox::Yes | QMessageBox::No);
  EXPECT_FALSE(box.button(QMessageBox::Yes)->text().contains("Yes"));
  EXPECT_TRUE(box.button(QMessageBox::No)->text().startsWith(QString::fromUtf8("いいえ")))
      << box.button(QMessageBox::No)->text().toStdString();
  QCoreApplication::removeTranslator(&ja);
}

TEST(MainDlg, ControlsFollowTheWindowAndItStaysAtLeast500By200) {
  fx::TempStore t;
  fx::ScriptedDlg d;
  d.show();
  EXPECT_EQ(d.windowTitle(), "Quendle");
  EXPECT_EQ(d.minimumSize(), QSize(500, 200));
  EXPECT_EQ(d.CategoryCombo->count(), 9);
  EXPECT_EQ(d.CategoryCombo->itemText(6), QString::fromUtf8("すべて"));
  EXPECT_EQ(d.FilterList->model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("ファイル名"));
  auto gaps = [&] {
    const QRect c = d.rect();
    return std::vector<int>{c.right() - d.closeButton->geometry().right(),
                            c.bottom() - d.closeButton->geometry().bottom(),
                            c.right() - d.registerButton->geometry().right(),
                            c.bottom() - d.CategoryCombo->geometry().bottom(),
                            d.CategoryCombo->geometry().left(),
                            c.right() - d.FilterList->geometry().right(),
                            c.bottom() - d.FilterList->geometry().bottom(),
                            d.FilterList->geometry().top()};
  };
  const auto before = gaps();
  d.resize(900, 600);
  QApplication::processEvents();
  EXPECT_EQ(gaps(), before);
  d.resize(100, 50);
  QApplication::processEvents();
  EXPECT_EQ(d.size(), QSize(500, 200));
  EXPECT_EQ(gaps(), before);
  // The file column fills the rest of the list's width.
  QHeaderView* h = d.FilterList->horizontalHeader();
  EXPECT_EQ(h->sectionSize(0), 200);
  EXPECT_GE(h->sectionSize(1), 80);
  EXPECT_EQ(h->length(), d.FilterList->viewport()->width());
  QTest::keyClick(&d, Qt::Key_Escape);  // Escape closes like "閉じる"
  EXPECT_FALSE(d.isVisible());
}

// The instance socket lives in the temporary folder: the test gets a folder
// of its own, so a Quendle the same user runs meanwhile is neither disturbed
// nor mistaken for the first instance.
class OwnTempFolder {
 public:
  OwnTempFolder() {
    if (const char* t = std::getenv("TMPDIR")) saved_ = t, had_ = true;
    ::setenv("TMPDIR", folder_.path.c_str(), 1);
  }
  ~OwnTempFolder() {
    if (had_) ::setenv("TMPDIR", saved_.c_str(), 1);
    else ::unsetenv("TMPDIR");
  }
  const std::string& dir() const { return folder_.path; }

 private:
  tl::test::TempFolder folder_{"tl-quendle"};
  std::string saved_;
  bool had_ = false;
};

TEST(QuendleApp, ASecondStartBringsTheFirstToTheFront) {
  fx::TempStore t;
  OwnTempFolder tmp;
  ASSERT_FALSE(tmp.dir().empty());
  ASSERT_EQ(QDir::tempPath().toStdString(), tmp.dir());
  CQuendleApp first, second;
  fx::ScriptedDlg d;
  d.showMinimized();
  EXPECT_FALSE(second.notifyRunning(200));
  ASSERT_TRUE(first.listen(&d));
  QSignalSpy raised(&first, &CQuendleApp::raised);
  EXPECT_TRUE(second.notifyRunning());
  EXPECT_TRUE(raised.wait(2000));
  EXPECT_FALSE(d.isMinimized());
  EXPECT_TRUE(d.isVisible());
  EXPECT_TRUE(CQuendleApp::instanceName().startsWith("QUENDLE_Wnd_Class"));
}
