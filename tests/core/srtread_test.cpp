#include "core/srtread.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

#include "platform/paths/files.h"
#include "support/tempfolder.h"

namespace tl {
namespace {

using Lines = std::vector<std::string>;

LoadResult load(const std::string& bytes, Lesson& l, int codepage = 0) {
  return loadSrtBytes(bytes, "/films/talk.srt", codepage, "/data/", l);
}

Lesson loaded(const std::string& bytes, int codepage = 0) {
  Lesson l;
  const LoadResult r = load(bytes, l, codepage);
  EXPECT_TRUE(r.ok) << (r.messages.empty() ? "" : r.messages.front());
  return l;
}

const char* kThree =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n"
    "2\r\n00:00:02,500 --> 00:00:03,250\r\nTwo\r\nlines\r\n\r\n"
    "3\r\n00:00:10,000 --> 00:00:12,500\r\nEnd\r\n\r\n";

void expectThree(const Lesson& l) {
  ASSERT_EQ(l.subcount, 7);
  EXPECT_EQ(l.subtime, (std::vector<ttime>{0, 10000, 20000, 25000, 32500, 100000, 125000}));
  EXPECT_EQ(l.subtext, (Lines{"", "Hello\r\n", "", "Two\r\nlines\r\n", "", "End\r\n", ""}));
}

TEST(SrtRead, UsualLayoutGivesTwoSlotsPerCue) {
  Lesson l = loaded(kThree);
  expectThree(l);
  EXPECT_EQ(l.srtnum, 3);
  ASSERT_EQ(l.subflg.size(), 7u);
  EXPECT_EQ(l.subflg[3].size(), 12u);
  EXPECT_EQ(l.subclear.size(), 7u);
  EXPECT_EQ(l.submemo.size(), 7u);
  EXPECT_EQ(l.substar.size(), 7u);
  EXPECT_EQ(l.subwavex.size(), 7u);
  EXPECT_TRUE(l.srtloaded);
}

TEST(SrtRead, LineBreaksOfEveryKindReadTheSame) {
  std::string lf, cr, crcrlf;
  for (char c : std::string(kThree)) {
    if (c == '\r') continue;
    lf += c;
    cr += c == '\n' ? '\r' : c;
    crcrlf += c == '\n' ? std::string("\r\r\n") : std::string(1, c);
  }
  expectThree(loaded(lf));
  expectThree(loaded(cr));
  expectThree(loaded(crcrlf));
  expectThree(loaded(std::string(kThree) + "\r\n\r\n  \r\n"));  // trailing blanks
  EXPECT_EQ(splitLines("a\r\r\nb\rc\n\nd\r\n"), (Lines{"a", "b", "c", "", "d"}));
  EXPECT_EQ(splitLines("a\r\rb"), (Lines{"a", "", "b"}));
}

TEST(SrtRead, ByteOrderMarksChooseTheCodePage) {
  // UTF-8 with a mark, read with the Latin-1 setting: still UTF-8.
  Lesson u = loaded("\xEF\xBB\xBF" "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\r\n", 28591);
  EXPECT_EQ(u.subtext[1], "\x93\xfa\x96\x7b\r\n");  // 日本 in 932
  EXPECT_EQ(u.srtcodepage, 65001);
  EXPECT_TRUE(u.srtbom);

  // UTF-16 LE with its mark, and UTF-16 BE named by the setting.
  const std::string text = "1\r\n00:00:01,000 --> 00:00:02,000\r\nHi\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nYo\r\n";
  std::string le = "\xFF\xFE", be;
  for (char c : text) {
    le += c;
    le += '\0';
    be += '\0';
    be += c;
  }
  Lesson a = loaded(le, 28591), b = loaded(be, 1201);
  EXPECT_EQ(a.subcount, 5);
  EXPECT_EQ(a.subtext[3], "Yo\r\n");
  EXPECT_EQ(a.srtcodepage, 1200);
  EXPECT_EQ(b.subtext, a.subtext);
  EXPECT_EQ(b.subtime, a.subtime);
  EXPECT_FALSE(b.srtbom);

  // Without a mark and with an 8-bit setting the text ends at the first
  // zero byte: no cue, a message, and the table loaded before stays.
  Lesson keep = loaded(kThree);
  const LoadResult r = load(be, keep, 28591);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.messages.size(), 2u);
  expectThree(keep);
}

TEST(SrtRead, TypographicQuotesOnlyForSingleByteCodePages) {
  const std::string cue = "1\r\n00:00:01,000 --> 00:00:02,000\r\nit\x92s \x93ok\x94\r\n\r\n";
  EXPECT_EQ(loaded(cue, 28591).subtext[1], "it's \"ok\"\r\n");
  EXPECT_EQ(loaded(cue, 1252).subtext[1], "it's \"ok\"\r\n");
  EXPECT_EQ(loaded(cue, 0).subtext[1], "it\x92s \x93ok\x94\r\n");
  // In 932 the byte 0x92 leads a double-byte character and must stay.
  const std::string sjis = "1\r\n00:00:01,000 --> 00:00:02,000\r\n\x92\x86\r\n\r\n";
  EXPECT_EQ(loaded(sjis, 932).subtext[1], "\x92\x86\r\n");
  EXPECT_EQ(eu2asc("\x91\x92\x93\x94\x95"), "''\"\"\x95");
}

TEST(SrtRead, EmptyCueKeepsItsPlaceAndNextCueIsSeparate) {
  Lesson l = loaded(
      "1\r\n00:00:01,000 --> 00:00:02,000\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000\r\nNext\r\n\r\n");
  ASSERT_EQ(l.subcount, 5);
  EXPECT_EQ(l.subtext[1], " \r\n");
  EXPECT_EQ(l.subtext[3], "Next\r\n");
  EXPECT_EQ(l.subtime[2], 20000);
  EXPECT_EQ(l.subtime[3], 30000);
  // A time line at the very end still makes a cue.
  EXPECT_EQ(loaded("1\r\n00:00:01,000 --> 00:00:02,000").subtext[1], " \r\n");
}

TEST(SrtRead, MissingAndExtraBlankLines) {
  // Two blank lines between cues, a cue with a blank line inside its text,
  // a missing blank line before a number, and a missing number line.
  Lesson l = loaded(
      "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000\r\nTwo a\r\n\r\nTwo b\r\n\r\n"
      "3\r\n00:00:05,000 --> 00:00:06,000\r\nThree\r\n"
      "4\r\n00:00:07,000 --> 00:00:08,000\r\nFour\r\n  \r\n"
      "00:00:09,000 --> 00:00:10,000\r\nFive\r\n");
  ASSERT_EQ(l.subcount, 11);
  EXPECT_EQ(l.subtext[1], "One\r\n");
  EXPECT_EQ(l.subtext[3], "Two a\r\nTwo b\r\n");
  EXPECT_EQ(l.subtext[5], "Three\r\n");
  EXPECT_EQ(l.subtext[7], "Four\r\n");
  EXPECT_EQ(l.subtext[9], "Five\r\n");
  EXPECT_EQ(l.subtime, (std::vector<ttime>{0, 10000, 20000, 30000, 40000, 50000, 60000, 70000, 80000, 90000,
                                           100000}));
}

TEST(SrtRead, TagsCoordinatesAndTimeMessages) {
  std::vector<std::string> msgs;
  Lesson l;
  const LoadResult r = load(
      "1\r\n00:00:01,000 --> 00:00:02,000 X1:100 X2:200 Y1:10 Y2:20\r\n<font color=red>Hi</font> <i>there</i>\r\n"
      "a > b <i>c</i>\r\n\r\n"
      "2\r\n1:02:03,000 --> 00:00:04\r\nBad\r\n\r\n",
      l);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(l.subtime[1], 10000);
  EXPECT_EQ(l.subtime[2], 20000);
  EXPECT_EQ(l.subtext[1], "Hi there\r\na > b <i>c</i>\r\n");
  EXPECT_EQ(l.subtime[4], 40000);  // no comma: no fraction, no message
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "SRTファイルの時間変換に失敗しました[1:02:03,000]");
  EXPECT_EQ(l.subtime[3], 0);  // nothing was summed before the failure
}

TEST(SrtRead, TrailerCueIsCutAndTheRealLastCueKept) {
  Lesson l = loaded(
      "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000\r\nTwo\r\nlines\r\n\r\n"
      "9999\r\n00:59:00,000 --> 01:00:00,000\r\nSubtitles by someone\r\n\r\n");
  ASSERT_EQ(l.subcount, 5);
  EXPECT_EQ(l.subtext[3], "Two\r\nlines\r\n");
  EXPECT_EQ(l.subtime[4], 40000);
  EXPECT_EQ(l.srtnum, 2);
  SrtSource again;
  ASSERT_TRUE(rereadSrt(l, again));
  EXPECT_EQ(again.table.subtext, l.subtext);

  Lines two = {"1", "00:00:01,000 --> 00:00:02,000", "a", "9999", "00:00:03,000 --> 00:00:04,000", "t",
               "", "9999", "00:00:05,000 --> 00:00:06,000", "u"};
  EXPECT_EQ(srtinit(two), 1);
  EXPECT_EQ(two, (Lines{"1", "00:00:01,000 --> 00:00:02,000", "a"}));
}

TEST(SrtRead, CueNumbersOnlySizeTheTable) {
  // A huge, a negative and a missing last number, and "-->" on the first line.
  for (const char* last : {"99999999999", "-5", "x", ""}) {
    Lesson l = loaded(std::string("1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n") + last +
                      "\r\n00:00:03,000 --> 00:00:04,000\r\nTwo\r\n");
    EXPECT_EQ(l.subcount, 5) << last;
    EXPECT_EQ(l.srtnum, 2) << last;
  }
  Lesson first = loaded("00:00:01,000 --> 00:00:02,000\r\nOnly\r\n");
  EXPECT_EQ(first.subcount, 3);
  EXPECT_EQ(first.subtext[1], "Only\r\n");
  EXPECT_EQ(loaded("7 \r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n").srtnum, 7);
}

TEST(SrtRead, FailedLoadsKeepTheTableLoadedBefore) {
  Lesson l = loaded(kThree);
  l.hintpoint = 3;
  l.cursub = 5;
  for (const char* bad : {"", "\r\n \r\n", "just some text\r\nno times\r\n"}) {
    const LoadResult r = load(bad, l);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.messages.size(), 1u);
    expectThree(l);
    EXPECT_EQ(l.cursub, 5);
  }
  EXPECT_EQ(load("x", l).messages[0], "字幕解析に失敗しました 対応していない字幕です[talk.srt]");
  const LoadResult missing = loadSrt("/nonexistent/dir/a.srt", 28591, "/data/", l);
  EXPECT_FALSE(missing.ok);
  ASSERT_EQ(missing.messages.size(), 1u);
  expectThree(l);
}

TEST(SrtRead, SuccessfulLoadResetsAllButHintCredits) {
  Lesson l = loaded(kThree);
  l.hintpoint = 3;
  l.hintcost = 20;
  l.cursub = 5;
  l.adjfrom = 5;
  l.adjsaved = 100;
  l.flgdirty = l.srtdirty = true;
  l.curscene = 2;
  ASSERT_TRUE(load("1\r\n00:00:01,000 --> 00:00:02,000\r\nNew\r\n", l, 28591).ok);
  EXPECT_EQ(l.subcount, 3);
  EXPECT_EQ(l.hintpoint, 3);
  EXPECT_EQ(l.cursub, 0);
  EXPECT_EQ(l.adjfrom, 0);
  EXPECT_EQ(l.adjsaved, 0);
  EXPECT_EQ(l.curscene, -1);
  EXPECT_FALSE(l.flgdirty || l.srtdirty);
  EXPECT_EQ(l.srtcodepage, 28591);
  EXPECT_EQ(l.srtpath, "/films/talk.srt");
  EXPECT_EQ(l.srtname, "talk.srt");
  EXPECT_EQ(l.savpath, "/data/sav/talk.dat");
  EXPECT_EQ(l.memopath, "/data/sav/talk.txt");
}

TEST(SrtRead, LoadFromDisk) {
  const tl::test::TempFolder tmp("srtread-test");
  const std::filesystem::path dir = tmp.path;
  const std::string path = (dir / "a b.srt").string();
  ASSERT_TRUE(paths::atomicWriteFile(path, kThree));
  Lesson l;
  EXPECT_TRUE(loadSrt(path, 28591, "/data/", l).ok);
  expectThree(l);
  EXPECT_EQ(l.savpath, "/data/sav/a b.dat");
}

TEST(SrtTime, Strtotime) {
  std::string err;
  EXPECT_EQ(strtotime("00:01:02,345", &err), 623450);
  EXPECT_EQ(strtotime("00:01:02, 3456", &err), 623456);
  EXPECT_EQ(strtotime("00:01:02,3456", &err), 623450);
  EXPECT_EQ(strtotime("  00:01:02,5 \t", &err), 620050);
  EXPECT_EQ(strtotime("12:00:00,000", &err), 432000000);
  EXPECT_EQ(strtotime("00:00:01", &err), 10000);
  EXPECT_EQ(err, "");
  EXPECT_EQ(strtotime("00:01:xx,000", &err), 0 + 600000);
  EXPECT_EQ(err, "SRTファイルの時間変換に失敗しました[00:01:xx,000]");
  err.clear();
  strtotime("1:02:03,000", &err);
  EXPECT_EQ(err, "SRTファイルの時間変換に失敗しました[1:02:03,000]");
  EXPECT_TRUE(isTimeLine("00:00:01,000-->00:00:02,000"));
  EXPECT_FALSE(isTimeLine("he said --> no"));
}

TEST(SrtText, TagdelAndPardel) {
  EXPECT_EQ(tagdel("<font color=red>Hi</font>"), "Hi");
  EXPECT_EQ(tagdel("a > b <i>c</i>"), "a > b <i>c</i>");
  EXPECT_EQ(tagdel("<b>x"), "x");
  EXPECT_EQ(tagdel("x <"), "x <");
  EXPECT_EQ(pardel("Hello (laughs) you"), "Hello  you");
  EXPECT_EQ(pardel(") a (b)"), ") a (b)");
}

TEST(SrtRead, ArrowLineWhereATimeIsExpectedIsTheTimeLine) {
  // Dots instead of colons: still the time line, read by the fixed columns.
  Lesson l = loaded("1\r\n00.00.01,000 --> 00.00.02,500\r\nHello\r\n\r\n"
                    "2\r\n00.00.03,000 --> 00.00.04,000\r\nAgain\r\n\r\n");
  ASSERT_EQ(l.subcount, 5);
  EXPECT_EQ(l.subtime, (std::vector<ttime>{0, 10000, 25000, 30000, 40000}));
  EXPECT_EQ(l.subtext[1], "Hello\r\n");
  // A time that does not convert gives strtotime's message, not a silent 0.
  Lesson b;
  const LoadResult r = load("1\r\nab:cd:ef,000 --> 00:00:02,000\r\nHi\r\n\r\n", b);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(b.subtext[1], "Hi\r\n");
  ASSERT_EQ(r.messages.size(), 1u);
  EXPECT_EQ(r.messages[0], "SRTファイルの時間変換に失敗しました[ab:cd:ef,000]");
  // Inside a cue's text an arrow is text.
  Lesson c = loaded("1\r\n00:00:01,000 --> 00:00:02,000\r\nleft --> right\r\n\r\n");
  EXPECT_EQ(c.subtext[1], "left --> right\r\n");
}

TEST(SrtRead, Utf8WithoutMarkUnderTheDefaultCodePage) {
  const std::string cafe = "1\r\n00:00:01,000 --> 00:00:02,000\r\nCaf\xC3\xA9 \xE6\x97\xA5\r\n\r\n";
  Lesson l = loaded(cafe, kDefaultSrtCodepage);
  EXPECT_EQ(l.subtext[1], "Cafe \x93\xfa\r\n");  // é has no 932 form: its letter
  EXPECT_EQ(l.srtcodepage, 65001);
  EXPECT_FALSE(l.srtbom);
  // Latin-1 that is not valid UTF-8 stays Latin-1; a chosen code page is honoured.
  Lesson latin = loaded("1\r\n00:00:01,000 --> 00:00:02,000\r\nCaf\xE9\r\n\r\n", kDefaultSrtCodepage);
  EXPECT_EQ(latin.subtext[1], "Cafe\r\n");
  EXPECT_EQ(latin.srtcodepage, 28591);
  Lesson chosen = loaded(cafe, 1252);
  EXPECT_EQ(chosen.subtext[1].substr(0, 5), "CafA?");
  EXPECT_EQ(chosen.srtcodepage, 1252);
  // Overlong forms and surrogates are not UTF-8.
  Lesson overlong = loaded("1\r\n00:00:01,000 --> 00:00:02,000\r\n\xC0\xAF\xED\xA0\x80\r\n\r\n", 28591);
  EXPECT_EQ(overlong.srtcodepage, 28591);
}

TEST(SrtRead, HugeTimesAreConversionFailures) {
  std::string err;
  // An hour field of 13 digits and more does not fit a time value.
  EXPECT_EQ(strtotime("0999999999999:00:00,000", &err), 0);
  EXPECT_EQ(err, "SRTファイルの時間変換に失敗しました[0999999999999:00:00,000]");
  err.clear();
  EXPECT_EQ(strtotime("0-999999999999999:00:00,000", &err), 0);
  EXPECT_FALSE(err.empty());
  err.clear();
  // The largest hour count that fits still reads.
  EXPECT_EQ(strtotime("02777777:00:00,000", &err), (ttime)2777777 * 36000000);
  EXPECT_EQ(err, "");
  Lesson l;
  const LoadResult r = load("1\r\n0999999999999999:00:00,000 --> 00:00:02,000\r\nHi\r\n\r\n", l);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(l.subtime[1], 0);
  EXPECT_EQ(r.messages.size(), 1u);
}

TEST(SrtRead, RunsOfBareCarriageReturnsAndTagPairs) {
  // The inputs that used to take time in the square of their length.
  const std::string crs(200000, '\r');
  const Lines lines = splitLines("a" + crs + "b");
  ASSERT_EQ(lines.size(), 200001u);
  EXPECT_EQ(lines.front(), "a");
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines.back(), "b");
  EXPECT_EQ(splitLines("a\r\r\r\nb\r\r"), (Lines{"a", "b", ""}));
  std::string pairs;
  for (int i = 0; i < 100000; ++i) pairs += "<>";
  EXPECT_EQ(tagdel(pairs + "x<i>y</i>"), "xy");
  EXPECT_EQ(tagdel(pairs + "> <b>"), "> <b>");
  EXPECT_EQ(tagdel("a<b>c<d>e>f<"), "ace>f<");
  EXPECT_EQ(pardel("(a)(b)c)(d"), "c)(d");
}

}  // namespace
}  // namespace tl
