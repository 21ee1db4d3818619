#include "core/srtwrite.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "core/srtread.h"
#include "platform/paths/files.h"
#include "support/lessonbuilder.h"
#include "support/tempfolder.h"

namespace tl {
namespace {

namespace fs = std::filesystem;

// A fresh folder laid out as the data folder (with "sav/").
struct Folder {
  tl::test::TempFolder tmp{"srtwrite-test"};
  fs::path dir{tmp.path};
  Folder() { fs::create_directories(dir / "sav"); }
  std::string exedir() const { return dir.string() + "/"; }
  std::string path(const std::string& name) const { return (dir / name).string(); }
};

std::string read(const std::string& path) {
  std::string s;
  paths::readFile(path, s);
  return s;
}

Lesson twoCues() {
  Lesson l = test::LessonBuilder().cue(10000, 20000, "Hello\r\n").cue(25000, 32500, "Two\r\nlines\r\n").build();
  l.srtcodepage = 28591;
  return l;
}

const char* kTwoBytes =
    "1\r\n00:00:01,000 --> 00:00:02,000\r\nHello\r\n\r\n"
    "2\r\n00:00:02,500 --> 00:00:03,250\r\nTwo\r\nlines\r\n\r\n";

TEST(SrtWrite, ExactBytesOfTwoCues) {
  EXPECT_EQ(srtBytes(twoCues()), kTwoBytes);
  Lesson l = twoCues();
  l.subtime = {0, 100000, 125000, 37234567, 360000000};
  EXPECT_EQ(srtText(l),
            "1\r\n00:00:10,000 --> 00:00:12,500\r\nHello\r\n\r\n"
            "2\r\n01:02:03,456 --> 010:00:00,000\r\nTwo\r\nlines\r\n\r\n");
}

TEST(SrtWrite, NegativeTimesAndEmptyTextsAreWrittenSafely) {
  Lesson l = twoCues();
  l.subtime = {-30000, -20000, -10000, 5000, 6000};
  l.subtext[1] = "";
  l.subtext[3] = "a\r\n\r\nb";
  EXPECT_EQ(srtText(l),
            "1\r\n00:00:00,000 --> 00:00:00,000\r\n \r\n\r\n"
            "2\r\n00:00:00,500 --> 00:00:00,600\r\na\r\n \r\nb\r\n\r\n");
}

TEST(SrtWrite, WrittenInTheCodePageItWasReadWith) {
  // UTF-8 with a mark: Japanese text comes back byte for byte.
  const std::string utf8 = "\xEF\xBB\xBF" "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xE6\x97\xA5\xE6\x9C\xAC\r\n\r\n";
  Lesson u;
  ASSERT_TRUE(loadSrtBytes(utf8, "/x/a.srt", 28591, "/d/", u).ok);
  EXPECT_EQ(srtBytes(u), utf8);
  // Latin-1 stays Latin-1 (one byte per letter, so the progress file fits).
  const std::string latin = "1\r\n00:00:01,000 --> 00:00:02,000\r\n\xA7 2\xD7" "3\r\n\r\n";
  Lesson a;
  ASSERT_TRUE(loadSrtBytes(latin, "/x/a.srt", 28591, "/d/", a).ok);
  EXPECT_EQ(a.subtext[1], "\x81\x98 2\x81\x7E" "3\r\n");  // the section sign and the multiplication sign
  EXPECT_EQ(srtBytes(a), latin);
  // Code page 0: the bytes as they are.
  const std::string raw = "1\r\n00:00:01,000 --> 00:00:02,000\r\n\x93\xfa\r\n\r\n";
  Lesson r;
  ASSERT_TRUE(loadSrtBytes(raw, "/x/a.srt", 0, "/d/", r).ok);
  EXPECT_EQ(srtBytes(r), raw);
  // UTF-16 LE with its mark.
  std::string le = "\xFF\xFE";
  for (char c : std::string(kTwoBytes)) {
    le += c;
    le += '\0';
  }
  Lesson w;
  ASSERT_TRUE(loadSrtBytes(le, "/x/a.srt", 28591, "/d/", w).ok);
  EXPECT_EQ(srtBytes(w), le);
}

TEST(SrtWrite, WriteThenReadGivesTheSameTable) {
  Lesson l;
  ASSERT_TRUE(loadSrtBytes("1\r\n00:00:01,000 --> 00:00:02,000\r\n\r\n"
                           "2\r\n00:00:03,000 --> 00:00:04,500\r\n<i>Two</i>\r\nlines\r\n\r\n"
                           "3\r\n10:00:00,000 --> 10:00:01,001\r\nLate\r\n",
                           "/x/a.srt", 28591, "/d/", l)
                  .ok);
  l.subtime[5] = 360000000 + 12345;  // a time that is not a whole millisecond
  Lesson again;
  ASSERT_TRUE(loadSrtBytes(srtBytes(l), "/x/a.srt", 28591, "/d/", again).ok);
  EXPECT_EQ(again.subtext, l.subtext);
  l.subtime[5] = 360000000 + 12340;
  EXPECT_EQ(again.subtime, l.subtime);
}

// Files in five encodings whose cues hold characters 932 lacks (and tags,
// which the 932 texts drop): an unedited save gives every byte back, a
// timing nudge changes only its time line, and a second save changes nothing.
std::string utf16le(const std::u16string& t, bool mark) {
  std::string out = mark ? "\xFF\xFE" : "";
  for (char16_t c : t) {
    out += char(c & 0xFF);
    out += char(c >> 8);
  }
  return out;
}

std::string cues(const std::string& first, const std::string& second) {
  return "1\r\n00:00:01,000 --> 00:00:02,000\r\n" + first + "\r\n\r\n" +
         "2\r\n00:00:03,000 --> 00:00:04,000\r\n" + second + "\r\n\r\n" +
         "3\r\n00:00:05,000 --> 00:00:06,000\r\nPlain\r\n\r\n";
}

TEST(SrtWrite, UneditedFileComesBackByteForByte) {
  const std::string utf8 = cues("Caf\xC3\xA9 <i>se\xC3\xB1or</i> M\xC3\xBCller", "\xC2\xA3" "5 \xC2\xA9");
  const struct {
    const char* name;
    std::string bytes;
    bool wide;
  } files[] = {
      {"UTF-8 with a mark", "\xEF\xBB\xBF" + utf8, false},
      {"UTF-8", utf8, false},
      {"Latin-1", cues("Caf\xE9 <i>se\xF1or</i> M\xFCller it\x92s", "\xA3" "5 \xA9"), false},
      {"UTF-16", utf16le(u"1\r\n00:00:01,000 --> 00:00:02,000\r\nCaf\u00E9 <i>se\u00F1or</i> \u20AC\r\n\r\n"
                         u"2\r\n00:00:03,000 --> 00:00:04,000\r\n\u00A3" u"5 \u00A9\r\n\r\n",
                         true),
       true},
      {"GB2312 under the default code page", cues("\xD6\xD0\xCE\xC4<i>\xD7\xD6\xC4\xBB</i>", "\xC4\xE3\xBA\xC3 ok"),
       false},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.name);
    Lesson l;
    ASSERT_TRUE(loadSrtBytes(f.bytes, "/x/a.srt", kDefaultSrtCodepage, "/d/", l).ok);
    EXPECT_EQ(srtBytes(l), f.bytes);
    // A second save of what the first wrote.
    Lesson again;
    ASSERT_TRUE(loadSrtBytes(srtBytes(l), "/x/a.srt", kDefaultSrtCodepage, "/d/", again).ok);
    EXPECT_EQ(again.subtext, l.subtext);
    EXPECT_EQ(srtBytes(again), f.bytes);
    // A timing nudge changes its time line only.
    l.subtime[1] += 5000;
    auto enc = [&](const char* ascii) {
      const std::string a(ascii);
      return f.wide ? utf16le(std::u16string(a.begin(), a.end()), false) : a;
    };
    std::string nudged = f.bytes;
    const std::string from = enc("00:00:01,000 -->"), to = enc("00:00:01,500 -->");
    nudged.replace(nudged.find(from), from.size(), to);
    EXPECT_EQ(srtBytes(l), nudged);
  }
}

TEST(SrtWrite, SixteenBitFileEndingInHalfAUnitWritesWholeUnits) {
  const std::string cut =
      utf16le(u"1\r\n00:00:01,000 --> 00:00:02,000\r\nA\u00E9\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\r\nB", true) + "x";
  Lesson l;
  ASSERT_TRUE(loadSrtBytes(cut, "/x/a.srt", kDefaultSrtCodepage, "/d/", l).ok);
  const std::string written = srtBytes(l);
  EXPECT_EQ(written.size() % 2, 0u);
  Lesson again;
  ASSERT_TRUE(loadSrtBytes(written, "/x/a.srt", kDefaultSrtCodepage, "/d/", again).ok);
  EXPECT_EQ(again.subtext, l.subtext);
}

TEST(SrtSav, EditedCueIsWrittenFromItsNewTextAndSaysWhatItLost) {
  Folder f;
  const std::string latin = cues("Caf\xE9 <i>ole</i>", "Two");
  const std::string path = f.path("talk.srt");
  ASSERT_TRUE(paths::atomicWriteFile(path, latin));
  Lesson l;
  ASSERT_TRUE(loadSrt(path, kDefaultSrtCodepage, f.exedir(), l).ok);
  // The range extract keeps the file's own text as a save does.
  const ExtractResult x = srtExtract(l, true, 0, 0, f.exedir());
  ASSERT_TRUE(x.ok);
  EXPECT_EQ(read(x.path), latin);
  // An edited cue that held only ASCII loses nothing to tell.
  l.subtext[3] = "Too\r\n";
  l.srtdirty = true;
  SaveResult r = srtsav(l);
  ASSERT_TRUE(r.ok && r.written);
  EXPECT_EQ(r.message, "");
  EXPECT_EQ(read(path), cues("Caf\xE9 <i>ole</i>", "Too"));
  // The accented cue edited: its 932 text goes to the file, and the save says so.
  l.subtext[1] = "Cafe ole!\r\n";
  l.srtdirty = true;
  r = srtsav(l);
  ASSERT_TRUE(r.ok && r.written);
  EXPECT_NE(r.message.find("番号 1）"), std::string::npos) << r.message;
  EXPECT_EQ(read(path), cues("Cafe ole!", "Too"));
}

TEST(SrtSav, WritesOnlyWhenDirtyAndSettlesTheShift) {
  Folder f;
  Lesson l = twoCues();
  l.srtpath = f.path("talk.srt");
  ASSERT_TRUE(paths::atomicWriteFile(l.srtpath, "old"));
  SaveResult r = srtsav(l);
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.written);
  EXPECT_EQ(read(l.srtpath), "old");

  l.srtdirty = true;
  l.subtime[0] = 5000;
  l.adjsaved = 5000;
  r = srtsav(l);
  EXPECT_TRUE(r.ok && r.written);
  EXPECT_EQ(read(l.srtpath), kTwoBytes);
  EXPECT_EQ(l.subtime[0], 0);
  EXPECT_FALSE(l.srtdirty);
  EXPECT_EQ(l.adjsaved, 0);  // the shift is in the file now: not offered again
  EXPECT_TRUE(l.flgdirty);
}

TEST(SrtSav, FailedWriteKeepsEverything) {
  Lesson l = twoCues();
  l.srtpath = "/nonexistent/folder/talk.srt";
  l.srtdirty = true;
  l.subtime[0] = 7;
  l.adjsaved = 7;
  const SaveResult r = srtsav(l);
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.message.empty());
  EXPECT_TRUE(l.srtdirty);
  EXPECT_EQ(l.subtime[0], 7);
  EXPECT_EQ(l.adjsaved, 7);
}

TEST(SrtSaveAs, MovesProgressAndMemoAfterTheNewFile) {
  Folder f;
  Lesson l = twoCues();
  setSrtPaths(l, f.path("talk.srt"), f.exedir());
  ASSERT_TRUE(paths::atomicWriteFile(l.savpath, "progress"));
  ASSERT_TRUE(paths::atomicWriteFile(l.memopath, "memo"));
  const SaveResult r = srtSaveAs(l, f.path("new.name.srt"), f.exedir());
  ASSERT_TRUE(r.ok) << r.message;
  EXPECT_EQ(read(f.path("new.name.srt")), kTwoBytes);
  EXPECT_EQ(read(f.path("sav/new.name.dat")), "progress");
  EXPECT_EQ(read(f.path("sav/new.name.txt")), "memo");
  EXPECT_FALSE(fs::exists(f.path("sav/talk.dat")));
  EXPECT_EQ(l.srtpath, f.path("new.name.srt"));
  EXPECT_EQ(l.srtname, "new.name.srt");
  EXPECT_EQ(l.savpath, f.path("sav/new.name.dat"));
  EXPECT_EQ(l.memopath, f.path("sav/new.name.txt"));
}

TEST(SrtSaveAs, RefusesToOverwriteAndWritesNothing) {
  Folder f;
  Lesson l = twoCues();
  setSrtPaths(l, f.path("talk.srt"), f.exedir());
  l.srtdirty = true;
  ASSERT_TRUE(paths::atomicWriteFile(l.savpath, "mine"));
  ASSERT_TRUE(paths::atomicWriteFile(f.path("sav/other.dat"), "theirs"));
  const SaveResult r = srtSaveAs(l, f.path("other.srt"), f.exedir());
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.message, l.savpath + "から" + f.path("sav/other.dat") +
                           "のファイル名の変換に失敗しました 同名ファイルがないか確認してください");
  EXPECT_FALSE(fs::exists(f.path("other.srt")));
  EXPECT_EQ(read(f.path("sav/other.dat")), "theirs");
  EXPECT_EQ(read(l.savpath), "mine");
  EXPECT_EQ(l.srtpath, f.path("talk.srt"));
  EXPECT_TRUE(l.srtdirty);

  // A new SRT that cannot be written moves no progress file.
  const SaveResult w = srtSaveAs(l, f.path("nofolder/x.srt"), f.exedir());
  EXPECT_FALSE(w.ok);
  EXPECT_EQ(read(l.savpath), "mine");
  EXPECT_FALSE(fs::exists(f.path("sav/x.dat")));
}

TEST(SrtExtract, RangeNumbersFromOneAndMarksTouchingStarts) {
  Folder f;
  Lesson l;
  ASSERT_TRUE(loadSrtBytes("1\r\n00:00:01,000 --> 00:00:02,000\r\nA\r\n\r\n"
                           "2\r\n00:00:02,000 --> 00:00:03,000\r\nB\r\n\r\n"
                           "3\r\n00:00:04,000 --> 00:00:05,000\r\nC\r\n\r\n"
                           "4\r\n00:00:06,000 --> 00:00:07,000\r\nD\r\n\r\n",
                           "/films/talk.srt", 28591, f.exedir(), l)
                  .ok);
  ExtractResult r = srtExtract(l, false, 3, 8, f.exedir());
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.path, f.path("talk_3-8.srt"));
  EXPECT_EQ(r.cues, 3);
  EXPECT_EQ(r.message, r.path + "に字幕を出力しました（字幕位置調整後のデータになります）");
  EXPECT_EQ(read(r.path),
            "1\r\n00:00:02,0000 --> 00:00:03,000\r\nB\r\n\r\n"
            "2\r\n00:00:04,000 --> 00:00:05,000\r\nC\r\n\r\n"
            "3\r\n00:00:06,000 --> 00:00:07,000\r\nD\r\n\r\n");
  r = srtExtract(l, true, 0, 0, f.exedir());
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.path, f.path("talk_all.srt"));
  EXPECT_EQ(r.cues, 4);
  EXPECT_FALSE(l.srtdirty);
}

}  // namespace
}  // namespace tl
