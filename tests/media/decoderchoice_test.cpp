// The player's decoder choice from the filter store's merits: the option
// lists built from a store, and the decoder that libmpv really opens.
#include "platform/media/decoderchoice.h"

#include <QDir>
#include <QTemporaryDir>
#include <clocale>
#include <cstdlib>
#include <gtest/gtest.h>
#include <mpv/client.h>

#include "mediatest.h"
#include "platform/filters/filterstore.h"
#include "platform/filters/nameguid.h"
#include "platform/media/mpvplayer.h"

namespace tl::media {
namespace {

using K = FilterKind;

std::vector<FilterCandidate> sample() {
  // In library order: three video, three audio decoders, three demuxers.
  return {{K::VideoDecoder, "mpeg1video", 0x600000}, {K::VideoDecoder, "mpeg2video", 0x5fff00},
          {K::AudioDecoder, "mp2", 0x5ffe00},        {K::VideoDecoder, "mpegvideo", 0x5ffd00},
          {K::AudioDecoder, "ac3", 0x5ffc00},        {K::AudioDecoder, "dca", 0x5ffb00},
          {K::Demuxer, "mpeg", 0x600000},            {K::Demuxer, "mpegts", 0x5fff00},
          {K::Demuxer, "mov,mp4,m4a,3gp,3g2,mj2", 0x5ffe00}};
}

TEST(DecoderChoice, DefaultMeritsKeepTheLibraryOrderAndExcludeNothing) {
  DecoderChoice c = buildDecoderChoice(sample());
  EXPECT_EQ(c.vd, "mpeg1video,mpeg2video,mpegvideo");
  EXPECT_EQ(c.ad, "mp2,ac3,dca");
  EXPECT_EQ(c.formatWhitelist, "");
}

TEST(DecoderChoice, RaisedMeritsGoFirstAndTiesKeepTheLibraryOrder) {
  auto all = sample();
  all[3].merit = 0x800000;  // mpegvideo above every other
  all[5].merit = 0x600000;  // dca level with...
  all[4].merit = 0x600000;  // ...ac3, which comes first in the library
  DecoderChoice c = buildDecoderChoice(all);
  EXPECT_EQ(c.vd, "mpegvideo,mpeg1video,mpeg2video");
  EXPECT_EQ(c.ad, "ac3,dca,mp2");
  EXPECT_EQ(c.formatWhitelist, "");
}

TEST(DecoderChoice, DoNotUseAndUnregisteredAreLeftOutWithAClosedList) {
  auto all = sample();
  all[1].merit = MERIT_DO_NOT_USE;      // at the limit: out
  all[0].merit = MERIT_DO_NOT_USE + 1;  // just above: in, last
  all[5].merit.reset();                 // dca no longer registered
  all[7].merit = 0;                     // mpegts
  DecoderChoice c = buildDecoderChoice(all);
  EXPECT_EQ(c.vd, "mpegvideo,mpeg1video,-");
  EXPECT_EQ(c.ad, "mp2,ac3,-");
  EXPECT_EQ(c.formatWhitelist, "mpeg,mov,mp4,m4a,3gp,3g2,mj2");

  // Every demuxer excluded: a list that allows none (an empty one would
  // allow all); every video decoder excluded: none may be used.
  for (auto& f : all)
    if (f.kind != K::AudioDecoder) f.merit = 0x100;
  c = buildDecoderChoice(all);
  EXPECT_EQ(c.formatWhitelist, "-");
  EXPECT_EQ(c.vd, "-");
  EXPECT_EQ(c.ad, "mp2,ac3,-");
}

TEST(DecoderChoice, AKindTheStoreDoesNotKnowIsLeftToThePlayer) {
  auto all = sample();
  for (auto& f : all)
    if (f.kind != K::VideoDecoder) f.merit.reset();
  DecoderChoice c = buildDecoderChoice(all);
  EXPECT_EQ(c.vd, "mpeg1video,mpeg2video,mpegvideo");
  EXPECT_EQ(c.ad, "");
  EXPECT_EQ(c.formatWhitelist, "");
  EXPECT_EQ(buildDecoderChoice({}).vd, "");
}

TEST(DecoderChoice, LogTextNamesBothDecoders) {
  EXPECT_EQ(decoderLogText("mpeg2video", "mp2"), "映像デコーダ mpeg2video　音声デコーダ mp2");
  EXPECT_EQ(decoderLogText("", "mp2"), "音声デコーダ mp2");
  EXPECT_EQ(decoderLogText("", ""), "");
}

// A store in a temporary folder, named by the variables the store reads.
class TempHives {
 public:
  TempHives() {
    old_ = qgetenv("TALLISEN_MACHINE_HIVE");
    oldUser_ = qgetenv("TALLISEN_USER_HIVE");
    qputenv("TALLISEN_MACHINE_HIVE", dir_.filePath("machine.hive").toUtf8());
    qputenv("TALLISEN_USER_HIVE", dir_.filePath("user.hive").toUtf8());
  }
  ~TempHives() {
    auto restore = [](const char* n, const QByteArray& v) {
      if (v.isNull()) qunsetenv(n); else qputenv(n, v);
    };
    restore("TALLISEN_MACHINE_HIVE", old_);
    restore("TALLISEN_USER_HIVE", oldUser_);
  }
  // Registers every decoder of the libraries as the decoder module does,
  // with `raised` at `merit`.
  void registerDecoders(const std::string& raised = {}, uint32_t merit = 0) {
    flt::FilterStore store;
    store.beginBatch();
    uint32_t next = 0x600000;
    for (const FilterCandidate& c : readCandidates(store)) {
      if (c.kind == K::Demuxer) continue;
      flt::RegFilter2 f;
      f.merit = c.name == raised ? merit : next;
      next -= 0x100;
      auto id = flt::fromString(flt::nameGuidText("lavc-decoder:" + c.name));
      ASSERT_TRUE(id);
      ASSERT_EQ(store.registerFilter(*id, c.name, flt::CLSID_LegacyAmFilterCategory, f), flt::kOk);
    }
    ASSERT_EQ(store.commit(), flt::kOk);
  }

 private:
  QTemporaryDir dir_;
  QByteArray old_, oldUser_;
};

TEST(DecoderChoice, CandidatesCarryTheStoresMeritsInTheLibraryOrder) {
  TempHives hives;
  flt::FilterStore store;
  auto before = readCandidates(store);
  ASSERT_GT(before.size(), 300u);
  for (const auto& c : before) EXPECT_FALSE(c.merit) << c.name;
  hives.registerDecoders("mpegvideo", 0x900000);
  auto after = readCandidates(store);
  ASSERT_EQ(after.size(), before.size());
  auto find = [&](K kind, const std::string& name) {
    for (size_t i = 0; i < after.size(); ++i)
      if (after[i].kind == kind && after[i].name == name) return i;
    return after.size();
  };
  const size_t m2 = find(K::VideoDecoder, "mpeg2video"), mv = find(K::VideoDecoder, "mpegvideo");
  ASSERT_LT(m2, mv);  // the library's own order
  EXPECT_EQ(after[mv].merit, 0x900000u);
  EXPECT_TRUE(after[find(K::AudioDecoder, "mp2")].merit);
  EXPECT_FALSE(after[find(K::Demuxer, "mpeg")].merit);  // the demuxers are not registered
  DecoderChoice c = buildDecoderChoice(after);
  EXPECT_EQ(c.vd.rfind("mpegvideo,", 0), 0u) << c.vd.substr(0, 80);
  EXPECT_LT(c.vd.find(",mpeg1video,"), c.vd.find(",mpeg2video,"));
  EXPECT_EQ(c.vd.find(",-"), std::string::npos);
  EXPECT_EQ(c.formatWhitelist, "");
}

// An MPEG-2 program stream with MPEG-2 video and MPEG-1 layer 2 sound,
// written by libmpv's encoder.
std::string makeMpeg2(const std::string& path) {
  const int error =
      tl::test::encodeTestClip(path, {{"of", "mpeg"}, {"ovc", "mpeg2video"}, {"oac", "mp2"}}, 2);
  return error == 0 ? path : std::string();
}

TEST(DecoderChoice, MpvOpensTheMpeg2DecoderWithTheHighestMerit) {
  QTemporaryDir dir;
  const std::string clip = makeMpeg2(dir.filePath("clip.mpg").toStdString());
  ASSERT_FALSE(clip.empty());
  TempHives hives;
  MpvPlayer player(true);
  auto openedWith = [&]() -> std::string {
    player.setURL(clip);
    if (!test::waitFor([&] { return player.openState() == os_mediaopen; })) return "<not opened>";
    return player.decoderLog();
  };
  // The default merits: the library's first MPEG-2 decoder.
  hives.registerDecoders();
  std::string log = openedWith();
  EXPECT_NE(log.find("映像デコーダ mpeg2video"), std::string::npos) << log;
  EXPECT_NE(log.find("音声デコーダ mp2"), std::string::npos) << log;
  // The other MPEG-2 decoder raised above it: mpv opens that one.
  hives.registerDecoders("mpegvideo", 0x800000);
  log = openedWith();
  EXPECT_NE(log.find("映像デコーダ mpegvideo"), std::string::npos) << log;
  // mpeg2video at "do not use" and mpegvideo gone from the store.
  {
    flt::FilterStore store;
    flt::RegFilter2 f;
    f.merit = MERIT_DO_NOT_USE;
    store.registerFilter(*flt::fromString(flt::nameGuidText("lavc-decoder:mpeg2video")),
                         "mpeg2video", flt::CLSID_LegacyAmFilterCategory, f);
    store.unregisterFilter(flt::CLSID_LegacyAmFilterCategory,
                           *flt::fromString(flt::nameGuidText("lavc-decoder:mpegvideo")));
  }
  log = openedWith();
  EXPECT_EQ(log.find("mpeg2video"), std::string::npos) << log;
  EXPECT_EQ(log.find("mpegvideo"), std::string::npos) << log;
}

}  // namespace
}  // namespace tl::media
