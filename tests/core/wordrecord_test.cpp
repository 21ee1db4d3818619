// The word record: the comma-text rule, the replacements, the fixed date and
// time forms and reading a line back.
#include <gtest/gtest.h>

#include "core/wordrecord.h"

using namespace tl::word;

namespace {

const std::string kSp = "\x81\x40";     // "　"
const std::string kComma = "\x81\x43";  // "，"
const std::string kHyph = "\x81\x5D";   // "‐"
const std::string kQuote = "\x81\x68";  // "”"
const Stamp kWhen{2012, 3, 4, 9, 5, 7};

using V = std::vector<std::string>;

}  // namespace

TEST(WordRecord, CommaTextSplit) {
  EXPECT_EQ(splitCommaText("a,b,,c"), (V{"a", "b", "", "c"}));
  EXPECT_EQ(splitCommaText("a,b,"), (V{"a", "b", ""}));
  // A run of blanks ends a field, and with a following "," is one separator.
  EXPECT_EQ(splitCommaText("  a b\t ,c"), (V{"a", "b", "c"}));
  EXPECT_EQ(splitCommaText("9:05:07 AM UTC"), (V{"9:05:07", "AM", "UTC"}));
  // Quoted fields keep commas and blanks; "" is one quote.
  EXPECT_EQ(splitCommaText("\"a, \"\"b\"\"\",c"), (V{"a, \"b\"", "c"}));
  EXPECT_EQ(splitCommaText("\"open"), (V{"open"}));
  EXPECT_EQ(splitCommaText(""), V{});
  EXPECT_EQ(splitCommaText(std::string("a,b\0,c", 6)), (V{"a", "b"}));
}

TEST(WordRecord, CommaTextRoundTrip) {
  const V cases[] = {
      {"a", "", "b c", "x,y", "q\"q", "\t", "", "3"},
      {"plain", "no0001", "\x83\x5C" "c", kSp + "x", "-", "2012/03/04", "9:05:07", "0"},
  };
  for (const auto& f : cases) EXPECT_EQ(splitCommaText(joinCommaText(f)), f);
  EXPECT_EQ(joinCommaText({"a b", "c"}), "\"a b\",c");
}

TEST(WordRecord, ExampleLine) {
  // The selection "don't, stop" from the cue "Don't, stop - now" at slot 13
  // of the work "a b,c.srt".
  std::string line = buildLine("a b,c.srt", 13, "don't, stop", "TR", "Don't, stop - now\r\n", kWhen);
  EXPECT_EQ(line, "a\\sb\\cc.srt,no0013,don't" + kComma + kSp + "stop,TR,Don't" + kComma + kSp + "stop" +
                      kSp + kHyph + kSp + "now" + kSp + ",2012/03/04,9:05:07,0");
  auto r = wordread(line);
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fields.size(), 8u);
  EXPECT_EQ(r->work(), "a\\sb\\cc.srt");
  EXPECT_EQ(decodeWork(r->work()), "a b,c.srt");
  EXPECT_EQ(r->slot, 13);
  EXPECT_EQ(r->trans(), "TR");
  EXPECT_EQ(r->when, kWhen);
  EXPECT_EQ(r->level, 0);
  EXPECT_EQ(sentenceForDisplay(r->sentence()), "Don't" + kComma + " stop " + kHyph + " now ");
}

TEST(WordRecord, EveryFieldRoundTrips) {
  const std::string name = "we\"ird \\c,\\s\tname.srt";
  std::string line = buildLine(name, 10000, "a\"b", "x\ty\nz\rw", "s\r\nt", {1999, 12, 31, 23, 59, 59});
  EXPECT_EQ(line.find('"'), std::string::npos);
  auto r = wordread(line);
  ASSERT_TRUE(r);
  ASSERT_EQ(r->fields.size(), 8u);
  // The work compares with the name encoded the same way.
  EXPECT_EQ(r->work(), encodeWork(name));
  EXPECT_EQ(r->slot, 10000);  // five digits, all read
  EXPECT_EQ(r->wordText(), "a" + kQuote + "b");
  EXPECT_EQ(r->trans(), "x" + kSp + "y" + kSp + "z" + kSp + "w");
  EXPECT_EQ(r->sentence(), "s" + kSp + "t");
  EXPECT_EQ(r->when, (Stamp{1999, 12, 31, 23, 59, 59}));
  // A rewritten record (new level) reads back the same.
  r->fields[7] = "2";
  auto again = wordread(joinCommaText(r->fields));
  ASSERT_TRUE(again);
  EXPECT_EQ(again->fields, r->fields);
  EXPECT_EQ(again->level, 2);
}

TEST(WordRecord, DecodeWorkStepsOverDoubleByteCharacters) {
  // "ソ" is 0x83 0x5C: its second byte is a backslash.
  EXPECT_EQ(decodeWork("\x83\x5C" "c\\c\\s"), "\x83\x5C" "c, ");
}

TEST(WordRecord, DateAndTimeForms) {
  EXPECT_EQ(dateText({2012, 3, 4, 0, 0, 0}), "2012/03/04");
  EXPECT_EQ(timeText({2012, 3, 4, 9, 5, 7}), "9:05:07");
  EXPECT_EQ(timeText({2012, 3, 4, 19, 0, 0}), "19:00:00");
  EXPECT_EQ(readDateTime(" 2012/3/4", "09:05 "), (Stamp{2012, 3, 4, 9, 5, 0}));
  EXPECT_FALSE(readDateTime("2012/02/30", "9:05:07"));
  EXPECT_FALSE(readDateTime("2012/03/04", "25:00:00"));
  EXPECT_FALSE(readDateTime("04.03.12", "9:05:07"));
  EXPECT_FALSE(readDateTime("2012/03/04", "9:05:07 AM"));
  EXPECT_EQ(stampSeconds({1970, 1, 2, 0, 0, 1}), 86401);
}

TEST(WordRecord, LinesThatAreNoRecord) {
  const char* bad[] = {
      "",
      "a,no0001,w,t,s,2012/03/04,9:05:07",         // seven fields
      "a,x0001,w,t,s,2012/03/04,9:05:07,0",        // no "no"
      "a,no,w,t,s,2012/03/04,9:05:07,0",           // no digits
      "a,no00a1,w,t,s,2012/03/04,9:05:07,0",       //
      "a,no0001,w,t,s,2012/03/04,9:05:07,x",       // level
      "a,no0001,w,t,s,3/4/12,9:05:07,0",           // another locale's date
      "a,no0001,w,t,s,2012/03/04,9:05:07,AM,0",    // a long time with its AM
  };
  for (const char* l : bad) EXPECT_FALSE(wordread(l)) << l;
  // Fields past the eighth are kept but not read.
  auto r = wordread("a,no0001,w,t,s,2012/03/04,9:05:07,1,extra");
  ASSERT_TRUE(r);
  EXPECT_EQ(r->fields.size(), 9u);
}

TEST(WordRecord, SortFoldsCaseAndKeepsWorksTogether) {
  std::vector<std::string> l = {"b.srt,no0002", "B.srt,no0001", "", "a.srt,no0010", "A.srt,no0002"};
  sortLines(l);
  EXPECT_EQ(l, (V{"", "A.srt,no0002", "a.srt,no0010", "B.srt,no0001", "b.srt,no0002"}));
}
