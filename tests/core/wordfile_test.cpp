// word.csv on disk: missing files, atomic rewrites, encodings, the merge of
// a review's changes, and the exports byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

#include "core/wordexport.h"
#include "core/wordfile.h"
#include "core/wordrecord.h"
#include "platform/paths/files.h"
#include "support/tempfolder.h"

using namespace tl::word;
namespace fs = std::filesystem;

namespace {

class WordFileTest : public ::testing::Test {
 protected:
  void SetUp() override { path = wordPath(dir.string() + "/"); }
  void put(const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
  std::string get() {
    std::string s;
    tl::paths::readFile(path, s);
    return s;
  }
  tl::test::TempFolder tmp{"tl-word"};
  fs::path dir{tmp.path};
  std::string path;
};

const std::string kSp = "\x81\x40";
const Stamp kWhen{2012, 3, 4, 9, 5, 7};
const std::string kA = "a.srt,no0001,cat,\x94\x4C,The" + kSp + "cat,2012/03/04,9:05:07,0";
const std::string kB = "b.srt,no0003,dog,,A" + kSp + "dog,2012/03/05,10:00:00,1";

}  // namespace

TEST_F(WordFileTest, MissingFileReadsEmptyAndTheFirstRegistrationCreatesIt) {
  WordFile f;
  bool missing = false;
  std::string err;
  ASSERT_TRUE(readWordFile(path, f, &err, &missing));
  EXPECT_TRUE(missing);
  EXPECT_TRUE(f.lines.empty());
  ASSERT_TRUE(appendLine(path, kA, &err)) << err;
  EXPECT_EQ(get(), kA + "\r\n");
}

TEST_F(WordFileTest, AppendKeepsEveryLineByteForByte) {
  // Hand-edited lines, an empty line, LF and a last line without its end.
  put("x,y\r\n\r\n" + kB + "\nlast");
  std::string err;
  ASSERT_TRUE(appendLine(path, kA, &err));
  EXPECT_EQ(get(), "x,y\r\n\r\n" + kB + "\r\nlast\r\n" + kA + "\r\n");
}

TEST_F(WordFileTest, AFailedWriteSaysWhyAndLeavesTheFile) {
  // The data folder is gone: nothing to create the file in.
  std::string err;
  EXPECT_FALSE(appendLine((dir / "gone" / "word.csv").string(), kA, &err));
  EXPECT_NE(err.find("word.csv"), std::string::npos);
  // A read-only folder (not for root, who writes anyway).
  put(kB + "\r\n");
  fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
  if (::access(dir.c_str(), W_OK) == 0) return;
  EXPECT_FALSE(appendLine(path, kA, &err));
  EXPECT_EQ(get(), kB + "\r\n");
}

TEST_F(WordFileTest, AnUnreadableFileIsNotTakenForAMissingOne) {
  fs::create_directory(path);  // "word.csv" is a folder
  std::string err;
  EXPECT_FALSE(appendLine(path, kA, &err));
  EXPECT_FALSE(err.empty());
}

TEST_F(WordFileTest, Utf8FilesStayUtf8) {
  const std::string utf8Line = "a.srt,no0001,caf\xC3\xA9,\xE7\x8C\xAB,x,2012/03/04,9:05:07,0";
  std::string err;
  for (const std::string& bom : {std::string(), std::string("\xEF\xBB\xBF")}) {
    put(bom + utf8Line + "\r\n");
    ASSERT_TRUE(appendLine(path, kA, &err)) << err;
    // The new line's 932 "猫" (0x94 0x4C) and "　" arrive as UTF-8.
    EXPECT_EQ(get(), bom + utf8Line + "\r\n" +
                         "a.srt,no0001,cat,\xE7\x8C\xAB,The\xE3\x80\x80" "cat,2012/03/04,9:05:07,0\r\n");
  }
  // A 932 file stays 932, even when it is only ASCII.
  put("plain\r\n");
  ASSERT_TRUE(appendLine(path, kA, &err));
  EXPECT_EQ(get(), "plain\r\n" + kA + "\r\n");
}

TEST_F(WordFileTest, Utf16AndBinaryFilesAreRefusedAndKept) {
  for (const std::string& bytes : {std::string("\xFF\xFE" "a\0", 4), std::string("a\0b", 3)}) {
    put(bytes);
    std::string err;
    EXPECT_FALSE(appendLine(path, kA, &err));
    EXPECT_FALSE(err.empty());
    EXPECT_EQ(get(), bytes);
  }
}

TEST_F(WordFileTest, SaveMergesWithWordsRegisteredDuringTheReview) {
  put(kB + "\r\n" + kA + "\r\n" + kA + "\r\n\r\n");
  WordFile review;
  ASSERT_TRUE(readWordFile(path, review, nullptr));
  // Registered from the overlay while the review is open.
  const std::string fresh = buildLine("c.srt", 5, "new", "", "new", kWhen);
  ASSERT_TRUE(appendLine(path, fresh, nullptr));
  // The review raised one copy of kA and deleted kB.
  auto raised = wordread(kA);
  raised->fields[7] = "1";
  std::vector<LineChange> changes = {{kA, joinCommaText(raised->fields)}, {kB, std::nullopt}};
  std::string err;
  ASSERT_TRUE(saveChanges(path, changes, review.enc, &err)) << err;
  EXPECT_EQ(get(), "\r\n" + kA + "\r\n" + joinCommaText(raised->fields) + "\r\n" + fresh + "\r\n");
}

TEST_F(WordFileTest, AnkiExportByteForByte) {
  WordFile f;
  // Dates in another form, an odd slot or level: still records to export.
  f.lines = {kB, "", "broken,line", "a.srt,no0002,semi;colon,x;y,s,2012/03/04,9:05:07,0", kA,
             "b.srt,no0003,us,\x82\xA0,s,3/4/2012,21:05,0", "b.srt,n3,we,w,s,x,y,high"};
  ExportText e = ankiExport(f);
  EXPECT_EQ(e.words, 5);
  EXPECT_EQ(e.skipped, 2);
  EXPECT_EQ(e.bytes,
            "cat;\xE7\x8C\xAB\r\n"
            "semi\xEF\xBC\x9B" "colon;x\xEF\xBC\x9By\r\n"
            "we;w\r\n"
            "dog;\r\n"
            "us;\xE3\x81\x82\r\n");
  EXPECT_EQ(ankiExport(WordFile{}).bytes, "");
  EXPECT_EQ(ankiExport(WordFile{}).words, 0);
}

TEST_F(WordFileTest, PssExportByteForByte) {
  WordFile f;
  f.lines = {kB, kA};
  const std::string head = "psscsvfile,100\r\nTallisen,na,na\r\nTallisenExport\r\na1,q1,h1\r\n";
  EXPECT_EQ(pssExport(f).bytes,
            head + "cat,\x94\x4C,The" + kSp + "cat\r\n" + "dog,,A" + kSp + "dog\r\n");
  ExportText empty = pssExport(WordFile{});
  EXPECT_EQ(empty.bytes, head);
  EXPECT_EQ(empty.words, 0);
  // A UTF-8 word file exports in 932.
  WordFile u;
  u.enc = Encoding::Utf8;
  u.lines = {"a.srt,no0001,cat,\xE7\x8C\xAB,x,2012/03/04,9:05:07,0"};
  EXPECT_EQ(pssExport(u).bytes, head + "cat,\x94\x4C,x\r\n");
  EXPECT_EQ(ankiExport(u).bytes, "cat;\xE7\x8C\xAB\r\n");
}
