// The decoder and splitter modules of the machine's libraries (libavcodec,
// libavformat) in the tool: what the categories list, and the commands on
// them.
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

extern "C" {
#include <libavcodec/avcodec.h>
}

#include "filtertool/categories.h"
#include "filtertool/dlgfixture.h"
#include "platform/filters/nameguid.h"

using namespace tl::flt;
using namespace quendle;

namespace {

const QString kLavc = LAVC_MODULE;
const QString kLavf = LAVF_MODULE;

QStringList sorted(QStringList l) {
  l.sort();
  return l;
}

// The rows' file column, all alike: that one file, else "<mixed>".
QString fileOf(const fx::ScriptedDlg& d) {
  QString f = d.rowCount() ? d.rowText(0, 2) : QString();
  for (int r = 0; r < d.rowCount(); ++r)
    if (d.rowText(r, 2) != f) return "<mixed>";
  return f;
}

uint32_t storedMerit(const std::string& classText) {
  FilterStore s;
  std::vector<PropertyBag> all;
  s.createClassEnumerator(CLSID_LegacyAmFilterCategory, all);
  for (auto& b : all) {
    std::string id, data;
    if (b.readString("CLSID", id) && id == classText && b.readBytes("FilterData", data))
      return parseFilterData(data).value_or(RegFilter2{}).merit;
  }
  return 0xDEADBEEF;
}

class LibModules : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(d.RegisterServerFile(kLavc));
    ASSERT_TRUE(d.RegisterServerFile(kLavf));
  }
  fx::TempStore t;
  fx::ScriptedDlg d;
};

TEST_F(LibModules, TheSixCategoriesListTheMpegDecodersAndSplitters) {
  d.setCategory(kMpeg2VideoDecoder);
  EXPECT_EQ(d.rowText(0, 0), "mpeg2video");  // the highest default merit of its kind
  EXPECT_EQ(d.rowText(0, 2), kLavc);
  EXPECT_EQ(fileOf(d), kLavc);
  QStringList mpeg2 = d.names();
  EXPECT_TRUE(mpeg2.contains("mpegvideo"));
  EXPECT_TRUE(mpeg2.contains("mpeg2_v4l2m2m"));
  for (const QString& n : mpeg2) EXPECT_TRUE(n.startsWith("mpeg")) << n.toStdString();

  d.setCategory(kMpeg1VideoDecoder);
  EXPECT_EQ(d.rowText(0, 0), "mpeg1video");
  EXPECT_FALSE(d.names().contains("mpeg2video"));
  for (const QString& n : d.names()) EXPECT_TRUE(n.startsWith("mpeg1")) << n.toStdString();

  d.setCategory(kMpeg1AudioDecoder);
  EXPECT_EQ(sorted(d.names()),
            (QStringList{"mp1", "mp1float", "mp2", "mp2float", "mp3", "mp3float"}));
  d.setCategory(kMpeg2AudioDecoder);
  EXPECT_EQ(sorted(d.names()),
            (QStringList{"ac3", "ac3_fixed", "dca", "mp2", "mp2float", "pcm_dvd"}));
  d.setCategory(kMpeg1Splitter);
  EXPECT_EQ(d.names(), QStringList{"mpeg"});
  EXPECT_EQ(fileOf(d), kLavf);
  d.setCategory(kMpeg2Splitter);
  EXPECT_EQ(d.names(), (QStringList{"mpeg", "mpegts"}));

  // "すべて": every decoder and demuxer, highest merit first.
  d.setCategory(kAllFilters);
  EXPECT_GT(d.rowCount(), 700);
  for (int r = 1; r < d.rowCount(); ++r)
    ASSERT_GE(d.rowText(r - 1, 1), d.rowText(r, 1)) << r;
}

TEST_F(LibModules, DefaultMeritsFallInTheLibrarysOrderUnderNamedClassIds) {
  void* it = nullptr;
  uint32_t last = 0xFFFFFFFF;
  int n = 0;
  while (const AVCodec* c = av_codec_iterate(&it)) {
    if (!av_codec_is_decoder(c) ||
        (c->type != AVMEDIA_TYPE_VIDEO && c->type != AVMEDIA_TYPE_AUDIO))
      continue;
    const uint32_t m = storedMerit(nameGuidText(std::string("lavc-decoder:") + c->name));
    ASSERT_LT(m, last) << c->name;
    ASSERT_GT(m, 0x200000u) << c->name;
    last = m;
    if (++n == 40) break;  // every later one reads the hive again: a sample is enough
  }
  // The same name as decoder and as demuxer: two filters.
  EXPECT_NE(storedMerit(nameGuidText("lavc-decoder:mp3")), 0xDEADBEEF);
  EXPECT_NE(storedMerit(nameGuidText("lavf-demuxer:mp3")), 0xDEADBEEF);
}

TEST_F(LibModules, AMeritChangeIsRecordedAndUndoneByRegisteringAgain) {
  const std::string id = nameGuidText("lavc-decoder:mpegvideo");
  const uint32_t before = storedMerit(id);
  d.pick(kMpeg2VideoDecoder, "mpegvideo");
  d.meritAnswer = "00800000";
  d.OnChangeMerit();
  EXPECT_TRUE(d.messages.empty());
  EXPECT_EQ(storedMerit(id), 0x800000u);
  EXPECT_EQ(d.rowText(0, 0), "mpegvideo");  // now first of its category
  EXPECT_EQ(t.readRecords(false), kLavc.toStdString() + "?mpegvideo\r\n");

  d.setCategory(kChangedFilters);
  ASSERT_EQ(d.names(), QStringList{"mpegvideo"});
  d.pickRow("mpegvideo");
  d.OnReregister();
  EXPECT_EQ(d.messages, (std::vector<int>{111, 113}));
  EXPECT_EQ(storedMerit(id), before);
  EXPECT_EQ(t.readRecords(false), "");
}

TEST_F(LibModules, UnregisteringTheSplitterModuleEmptiesTheSplitterCategories) {
  d.pick(kMpeg1Splitter, "mpeg");
  d.OnUnregister();
  EXPECT_EQ(d.messages, std::vector<int>{116});
  EXPECT_EQ(d.rowCount(), 0);
  d.setCategory(kMpeg2Splitter);
  EXPECT_EQ(d.rowCount(), 0);
  d.setCategory(kMpeg2VideoDecoder);
  EXPECT_GT(d.rowCount(), 0);  // the decoders stay
  EXPECT_EQ(t.readRecords(true), kLavf.toStdString() + "?mpeg\r\n");

  d.pick(kUnregisteredFilters, "mpeg");
  d.messages.clear();
  d.OnReregister();
  EXPECT_EQ(d.messages, (std::vector<int>{111, 113}));
  d.setCategory(kMpeg2Splitter);
  EXPECT_EQ(d.names(), (QStringList{"mpeg", "mpegts"}));
  EXPECT_EQ(t.readRecords(true), "");
}

TEST_F(LibModules, WithoutWriteAccessTheMessageNamesTheFilterStoreFile) {
  t.lockMachineHive(true);
  d.pick(kMpeg2VideoDecoder, "mpegvideo");
  d.meritAnswer = "1";
  d.OnChangeMerit();
  d.OnReregister();
  d.pickRow("mpeg2video");
  d.OnDeleteFilterInfo();
  d.pick(kMpeg1Splitter, "mpeg");
  d.OnUnregister();
  EXPECT_EQ(d.messages, (std::vector<int>{109, 111, 112, 103, 108, 116, 118}));
  ASSERT_EQ(d.details.size(), d.messages.size());
  for (size_t i = 0; i < d.messages.size(); ++i) {
    const bool failure = d.messages[i] != 111 && d.messages[i] != 103 && d.messages[i] != 116;
    if (!failure) {
      EXPECT_EQ(d.details[i], "");
      continue;
    }
    // In Japanese, naming the filter store and its path once.
    EXPECT_EQ(d.details[i], QString::fromUtf8("フィルタ登録ファイル ") + QString::fromStdString(t.machineHive()) +
                                QString::fromUtf8(" に書き込めません。"))
        << d.messages[i];
  }
  EXPECT_EQ(t.readRecords(false), "<missing>");
}

TEST(QuendleDlg, EnterClosesTheDialogAsTheCloseButtonDoes) {
  fx::TempStore t;
  for (int where = 0; where < 3; ++where) {
    fx::ScriptedDlg d;
    d.show();
    QApplication::processEvents();
    QWidget* focus = where == 0 ? static_cast<QWidget*>(d.FilterList)
                                : where == 1 ? static_cast<QWidget*>(d.CategoryCombo)
                                             : static_cast<QWidget*>(d.registerButton);
    focus->setFocus();
    QTest::keyClick(focus, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible()) << where;
    EXPECT_EQ(d.result(), QDialog::Accepted) << where;
    EXPECT_TRUE(d.messages.empty());  // "フィルタの登録" was not pressed
  }
}

TEST(QuendleDlg, TheAboutCommandIsInTheContextMenuOnAltA) {
  fx::TempStore t;
  fx::ScriptedDlg d;
  QAction* about = d.findChild<QAction*>("aboutAction");
  ASSERT_TRUE(about);
  EXPECT_TRUE(d.actions().contains(about));
  EXPECT_EQ(d.contextMenuPolicy(), Qt::ActionsContextMenu);
  EXPECT_EQ(about->shortcut(), QKeySequence(Qt::ALT | Qt::Key_A));
}

}  // namespace
