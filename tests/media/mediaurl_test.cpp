#include "platform/media/mediaurl.h"
#include "platform/media/openfailure.h"
#include "platform/media/videowidget.h"

#include <gtest/gtest.h>

namespace tl::media {

TEST(MediaUrl, DvdAndCdUrlsBecomeMpvSources) {
  Source d = mapUrl("wmpdvd:///dev/sr1");
  EXPECT_EQ(d.url, "dvd://");
  EXPECT_EQ(d.dvdDevice, "/dev/sr1");
  // A drive letter names no device here: the default drive plays.
  d = mapUrl("wmpdvd://E");
  EXPECT_EQ(d.url, "dvd://");
  EXPECT_EQ(d.dvdDevice, "");
  EXPECT_EQ(mapUrl("WMPDVD://").url, "dvd://");

  Source c = mapUrl("cdda://3");
  EXPECT_TRUE(c.cd);
  EXPECT_EQ(c.url, "cdda://");
  EXPECT_EQ(c.chapter, 2);
  c = mapUrl("cdda://");
  EXPECT_TRUE(c.cd);
  EXPECT_EQ(c.chapter, -1);

  EXPECT_EQ(cdTrackOf("cdda://12"), 12);
  EXPECT_EQ(cdTrackOf("cdda://"), 0);
  EXPECT_EQ(cdTrackOf("cdda://x"), -1);
  EXPECT_EQ(cdTrackOf("/a/b.mp4"), -1);

  Source f = mapUrl("/videos/a b.mp4");
  EXPECT_EQ(f.url, "/videos/a b.mp4");
  EXPECT_FALSE(f.cd);
  EXPECT_EQ(mapUrl("http://example.org/v.mp4").url, "http://example.org/v.mp4");
}

TEST(MediaUrl, DurationText) {
  EXPECT_EQ(durationText(0), "");
  EXPECT_EQ(durationText(-3), "");
  EXPECT_EQ(durationText(5.038), "00:05");
  EXPECT_EQ(durationText(59.6), "01:00");
  EXPECT_EQ(durationText(754), "12:34");
  EXPECT_EQ(durationText(3599.4), "59:59");
  EXPECT_EQ(durationText(3600), "1:00:00");
  EXPECT_EQ(durationText(7384), "2:03:04");
}

TEST(MediaUrl, UnreadableDriveHasNoTracks) {
  std::string dev;
  EXPECT_TRUE(readCdTracks("/nonexistent/sr9", &dev).empty());
  EXPECT_EQ(dev, "/nonexistent/sr9");
  readCdTracks("E", &dev);
  EXPECT_EQ(dev, "/dev/cdrom");
}

TEST(FitRect, KeepsAspectAndCentres) {
  EXPECT_EQ(fitRect(QSize(320, 240), QRect(0, 0, 320, 240)), QRect(0, 0, 320, 240));
  EXPECT_EQ(fitRect(QSize(320, 240), QRect(0, 0, 640, 240)), QRect(160, 0, 320, 240));
  EXPECT_EQ(fitRect(QSize(320, 240), QRect(0, 0, 320, 480)), QRect(0, 120, 320, 240));
  EXPECT_EQ(fitRect(QSize(1920, 1080), QRect(0, 0, 400, 400)), QRect(0, 87, 400, 225));
  EXPECT_TRUE(fitRect(QSize(), QRect(0, 0, 100, 100)).isEmpty());
  EXPECT_TRUE(fitRect(QSize(10, 10), QRect()).isEmpty());
}

TEST(OpenFailure, TheReasonInJapaneseAndThePlayersLineBelow) {
  EXPECT_EQ(openFailureText("tcp: Failed to resolve hostname nosuch.invalid: Name or service not known"),
            "再生に失敗しました（サーバーが見つかりません）\n"
            "tcp: Failed to resolve hostname nosuch.invalid: Name or service not known");
  EXPECT_EQ(openFailureText("http: HTTP error 404 Not Found"),
            "再生に失敗しました（サーバーにファイルがありません）\nhttp: HTTP error 404 Not Found");
  auto startsWith = [](const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; };
  EXPECT_TRUE(startsWith(openFailureText("http: HTTP error 500 Internal Server Error"),
                         "再生に失敗しました（サーバーがエラーを返しました）\n"));
  EXPECT_TRUE(startsWith(openFailureText("Cannot open file 'a.mkv': No such file or directory"),
                         "再生に失敗しました（ファイルが見つかりません）\n"));
  EXPECT_EQ(openFailureText("something new"), "再生に失敗しました（開けませんでした）\nsomething new");
  EXPECT_EQ(openFailureText(""), "再生に失敗しました（開けませんでした）");
}

}  // namespace tl::media
