#include <gtest/gtest.h>
#include <iconv.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>

#include "platform/codepage/codepage.h"
#include "support/tempfolder.h"

namespace cp = tl::cp;

namespace {

TEST(Codepage, LeadAndTrailBytesOf932) {
  for (int b = 0; b < 256; ++b) {
    const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    const bool trail = (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
    EXPECT_EQ(cp::isLeadByte(static_cast<unsigned char>(b)), lead) << b;
    EXPECT_EQ(cp::isTrailByte(static_cast<unsigned char>(b)), trail) << b;
  }
  // Half-width katakana are single bytes, neither lead nor trail of a pair
  // start: 0xA1..0xDF.
  EXPECT_FALSE(cp::isLeadByte(0xB1));
  EXPECT_FALSE(cp::isLeadByte('\\'));
}

TEST(Codepage, EveryListedCodePageHasAWorkingConverter) {
  const int pages[] = {28591, 28592, 28593, 28594, 28595, 28596, 28597, 28598, 28599, 28603, 28605, 932,
                       50220, 50221, 50222, 51932, 20932, 65000, 65001, 1200, 1201, 1252};
  for (int page : pages) {
    const char* name = cp::iconvName(page);
    ASSERT_NE(name, nullptr) << page;
    iconv_t cd = iconv_open("UTF-32LE", name);
    EXPECT_NE(cd, reinterpret_cast<iconv_t>(-1)) << name;
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    bool ok = false;
    EXPECT_EQ(cp::toAnsi("Hello", page == 1200 || page == 1201 ? 65001 : page, &ok), "Hello") << page;
    EXPECT_TRUE(ok);
  }
  EXPECT_STREQ(cp::iconvName(932), "CP932");
  EXPECT_EQ(cp::iconvName(12345), nullptr);
  bool ok = true;
  EXPECT_EQ(cp::toAnsi("as is\x81", 12345, &ok), "as is\x81");  // unknown: bytes kept
  EXPECT_FALSE(ok);
  EXPECT_EQ(cp::fromAnsi("x", 12345, &ok), "x");
  EXPECT_FALSE(ok);
  EXPECT_EQ(cp::toAnsi("\x93\x94\xff", 0, &ok), "\x93\x94\xff");  // 0: as they are
  EXPECT_TRUE(ok);
}

TEST(Codepage, SingleByteCodePages) {
  for (int page : {1252, 28591, 28592, 28595, 28599, 28603, 28605}) EXPECT_TRUE(cp::isSingleByte(page)) << page;
  for (int page : {0, 932, 20932, 51932, 50220, 65000, 65001, 1200, 1201, 4711}) EXPECT_FALSE(cp::isSingleByte(page));
}

TEST(Codepage, Latin1EveryByteBecomesOneCharacter) {
  for (int b = 0; b < 256; ++b) {
    const std::string in(1, static_cast<char>(b));
    bool ok = false;
    const std::string ansi = cp::toAnsi(in, 28591, &ok);
    ASSERT_TRUE(ok);
    const std::u16string wide = cp::ansiToUtf16(ansi);
    ASSERT_EQ(wide.size(), 1u) << b;
    if (b < 0x80) {
      EXPECT_EQ(ansi, in);
    } else if (wide[0] == static_cast<char16_t>(b)) {
      // Characters that 932 has (section sign, degree, plus-minus, ...) come
      // back; a few (the not sign) come back as their full-width form.
      EXPECT_EQ(wide[0], static_cast<char16_t>(b)) << b;
      EXPECT_EQ(cp::fromAnsi(ansi, 28591), in) << b;
    }
  }
  EXPECT_EQ(cp::toAnsi("caf\xe9 \xa7\xb0", 28591), "cafe \x81\x98\x81\x8b");  // best fit: e
  // The whole byte range, in one piece, is neither cut nor shifted.
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  EXPECT_EQ(cp::ansiToUtf16(cp::toAnsi(all, 28591)).size(), 256u);
}

TEST(Codepage, Cp1252UndefinedBytesAreReplacedNotCut) {
  EXPECT_EQ(cp::toAnsi("a\x81" "b\x8d" "c\x8f\x90\x9d" "d", 1252), "a?b?c???d");
  EXPECT_EQ(cp::toAnsi("\x93quoted\x94", 1252), "\x81\x67quoted\x81\x68");
  EXPECT_EQ(cp::toAnsi("\x80", 1252), "?");  // the euro sign has no 932 form
}

TEST(Codepage, JapaneseBetweenUtf8And932) {
  const std::string utf8 = "日本語のテキスト、ｶﾀｶﾅ①～＼\\";
  const std::string ansi = cp::utf8ToAnsi(utf8);
  EXPECT_EQ(ansi.substr(0, 4), "\x93\xfa\x96\x7b");      // 日本
  EXPECT_NE(ansi.find("\xb6\xc0\xb6\xc5"), std::string::npos);  // half-width kana: one byte each
  EXPECT_NE(ansi.find("\x87\x40"), std::string::npos);          // circled one (NEC row 13)
  EXPECT_EQ(ansi.back(), '\\');                                  // 0x5C stays a backslash
  EXPECT_EQ(cp::ansiToUtf8(ansi), utf8);
  EXPECT_EQ(cp::toAnsi(utf8, 65001), ansi);
  EXPECT_EQ(cp::fromAnsi(ansi, 65001), utf8);
  EXPECT_EQ(cp::toAnsi("\xef\xbb\xbf" "abc", 65001), "abc");  // a byte order mark is dropped
  // A letter that 932 lacks becomes its closest one; what has none, one '?'.
  EXPECT_EQ(cp::utf8ToAnsi("é€😀x"), "e??x");
}

TEST(Codepage, InvalidBytesAreReplacedAndConversionGoesOn) {
  EXPECT_EQ(cp::toAnsi("a\x80" "b\xa0" "c\xfd" "d", 932), "a?b?c?d");
  EXPECT_EQ(cp::toAnsi("ab\x81", 932), "ab?");  // a lead byte cut off at the end
  EXPECT_EQ(cp::ansiToUtf8("x\x81"), "x\xef\xbf\xbd");
  EXPECT_EQ(cp::toAnsi("a\xc3(b\xe6\x97", 65001), "a?(b?");
  EXPECT_EQ(cp::utf8ToAnsi("\xed\xa0\x80z"), "???z");  // an encoded surrogate is no character
  EXPECT_EQ(cp::utf8ToAnsi("\xf0\x9f\x98"), "?");  // a cut four-byte character is one
  // 932 text passes through unchanged.
  const std::string text = "\x82\xa0\x82\xa2 abc \xb1\xb2 \x88\x9f";
  EXPECT_EQ(cp::toAnsi(text, 932), text);
}

TEST(Codepage, Utf16InBothOrdersWithAndWithoutByteOrderMark) {
  const std::string le("\xff\xfeH\0i\0\xe5\x65", 8);  // BOM, "Hi", 日 (U+65E5)
  const std::string be("\xfe\xff\0H\0i\x65\xe5", 8);
  EXPECT_EQ(cp::toAnsi(le, 1200), "Hi\x93\xfa");
  EXPECT_EQ(cp::toAnsi(be, 1201), "Hi\x93\xfa");
  EXPECT_EQ(cp::toAnsi(be, 1200), "Hi\x93\xfa");  // the mark decides the order
  EXPECT_EQ(cp::toAnsi(le, 1201), "Hi\x93\xfa");
  EXPECT_EQ(cp::toAnsi(std::string("H\0i\0", 4), 1200), "Hi");
  EXPECT_EQ(cp::toAnsi(std::string("\0H\0i", 4), 1201), "Hi");
  // A zero byte does not end the text; an odd last byte is replaced.
  EXPECT_EQ(cp::toAnsi(std::string("a\0\0\0b\0c", 7), 1200), std::string("a\0b?", 4));
  // A surrogate pair is one character; an unpaired half is replaced.
  EXPECT_EQ(cp::toAnsi(std::string("\x3d\xd8\x00\xdex\0", 6), 1200), "?x");
  EXPECT_EQ(cp::toAnsi(std::string("\x00\xdcy\0", 4), 1200), "?y");
  EXPECT_EQ(cp::fromAnsi("Hi\x93\xfa", 1200), std::string("H\0i\0\xe5\x65", 6));
  EXPECT_EQ(cp::fromAnsi("Hi\x93\xfa", 1201), std::string("\0H\0i\x65\xe5", 6));
  EXPECT_EQ(cp::ansiToUtf16("Hi\x93\xfa\xb1"), u"Hi日ｱ");
  EXPECT_EQ(cp::utf16ToAnsi(u"Hi日ｱ"), "Hi\x93\xfa\xb1");
  EXPECT_EQ(cp::utf16ToAnsi(std::u16string(u"a") + char16_t(0xD800) + u"b"), "a?b");
}

TEST(Codepage, EucAndJisForms) {
  EXPECT_EQ(cp::toAnsi("\xc6\xfc\xcb\xdc", 51932), "\x93\xfa\x96\x7b");
  EXPECT_EQ(cp::toAnsi("\xc6\xfc\xcb\xdc", 20932), "\x93\xfa\x96\x7b");
  EXPECT_EQ(cp::toAnsi("\x8e\xb1", 51932), "\xb1");  // half-width kana
  EXPECT_EQ(cp::fromAnsi("\x93\xfa\x96\x7b", 51932), "\xc6\xfc\xcb\xdc");
  const std::string jis = "\x1b$BF|K\\\x1b(B!";
  for (int page : {50220, 50221, 50222}) EXPECT_EQ(cp::toAnsi(jis, page), "\x93\xfa\x96\x7b!") << page;
  EXPECT_EQ(cp::toAnsi("\x1b(I1\x1b(Bx", 50221), "\xb1x");
  EXPECT_EQ(cp::toAnsi("a\x0e" "12\x0f" "b", 50222), "a\xb1\xb2" "b");
  // Writing JIS ends in the initial shift state; a character without a JIS
  // form becomes '?' in that state.
  const std::string out = cp::fromAnsi("\x93\xfa" "a", 50220);
  EXPECT_EQ(out, "\x1b$BF|\x1b(Ba");
  EXPECT_EQ(cp::toAnsi(out, 50220), "\x93\xfa" "a");
  EXPECT_EQ(cp::toAnsi("+ZeVnLIqe-!", 65000), "\x93\xfa\x96\x7b\x8c\xea!");
}

TEST(Codepage, OtherIsoPagesDecode) {
  EXPECT_EQ(cp::toAnsi("\xc1", 28597), "\x83\x9f");  // Greek capital alpha
  EXPECT_EQ(cp::toAnsi("\xb0", 28595), "\x84\x40");  // Cyrillic capital A
  EXPECT_EQ(cp::toAnsi("\xa4", 28605), "?");         // the euro sign of Latin-9
}

}  // namespace

namespace {

// The table-driven 932 decoder gives what iconv gives, for every code.
TEST(Codepage, Every932CodeDecodesAsIconvDoes) {
  iconv_t cd = iconv_open("UTF-16LE", "CP932");
  ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
  int valid = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!cp::isLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (!cp::isTrailByte(static_cast<unsigned char>(trail))) continue;
      char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      char out[8];
      char* ip = in;
      char* op = out;
      size_t il = 2, ol = sizeof out;
      iconv(cd, nullptr, nullptr, nullptr, nullptr);
      const bool ok = iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && op - out == 2;
      const std::u16string got = cp::ansiToUtf16(std::string_view(in, 2));
      if (ok) {
        ++valid;
        ASSERT_EQ(got.size(), 1u) << std::hex << lead << trail;
        EXPECT_EQ(got[0], static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8));
      } else {
        // The pair is undefined: the lead is replaced and the trail read alone.
        ASSERT_GE(got.size(), 1u);
        EXPECT_EQ(got[0], 0xFFFD);
      }
    }
  }
  iconv_close(cd);
  EXPECT_GT(valid, 9000);
  EXPECT_EQ(cp::toAnsi("\x81 x", 932), "? x");
}

TEST(Codepage, ArbitraryBytesConvertInEveryCodePage) {
  std::string junk;
  uint32_t x = 12345;
  for (int i = 0; i < 20000; ++i) {
    x = x * 1103515245u + 12345u;
    junk.push_back(static_cast<char>(x >> 24));
  }
  for (int page : {932, 1252, 28591, 28596, 28598, 50220, 50221, 50222, 51932, 65000, 65001, 1200, 1201}) {
    bool ok = false;
    const std::string ansi = cp::toAnsi(junk, page, &ok);
    EXPECT_TRUE(ok) << page;
    EXPECT_FALSE(ansi.empty()) << page;
    // What comes out is clean 932: it survives a second pass unchanged.
    EXPECT_EQ(cp::toAnsi(ansi, 932), ansi) << page;
    EXPECT_FALSE(cp::fromAnsi(ansi, page, &ok).empty()) << page;
  }
}

// The best-fit replacement must not depend on the process locale.  Each
// locale runs in a fresh process (this test program re-run with one test),
// so that nothing converted before can answer from a cache.
TEST(CodepageLocaleChild, PrintConversions) {
  if (!std::getenv("TL_CONVERT_CHILD")) GTEST_SKIP() << "run by Codepage.BestFitIsTheSameInEveryLocale";
  std::setlocale(LC_ALL, "");
  const std::string a = cp::utf8ToAnsi("\xC3\xA9t\xC3\xA9 \xC5\x81\xC3\xB3" "d\xC5\xBA \xE2\x80\x93 \xC3\x9F");
  const std::string b = cp::toAnsi("\xE9t\xE9", 28591);
  std::printf("RESULT[%s|%s]\n", a.c_str(), b.c_str());
}

std::string convertedUnder(const std::string& env) {
  const std::string cmd = env + " TL_CONVERT_CHILD=1 /proc/" + std::to_string(::getpid()) +
                          "/exe --gtest_filter=CodepageLocaleChild.PrintConversions 2>/dev/null";
  FILE* p = ::popen(cmd.c_str(), "r");
  if (!p) return "popen failed";
  std::string out;
  char buf[4096];
  while (size_t n = std::fread(buf, 1, sizeof buf, p)) out.append(buf, n);
  ::pclose(p);
  const size_t a = out.find("RESULT["), b = out.find("]\n", a);
  return a == std::string::npos || b == std::string::npos ? out : out.substr(a + 7, b - a - 7);
}

TEST(Codepage, BestFitIsTheSameInEveryLocale) {
  const std::string expected = "ete Lodz - ?|ete";
  EXPECT_EQ(convertedUnder("env -u LC_ALL LANG=C"), expected);
  EXPECT_EQ(convertedUnder("env LC_ALL=C.UTF-8"), expected);
  // A real Japanese locale, generated into a temporary folder when it can be.
  const tl::test::TempFolder tmp("tl-locale");
  if (tmp.path.empty()) GTEST_SKIP() << "no temporary folder";
  const std::string& dir = tmp.path;
  const bool made = std::system(("localedef -i ja_JP -f UTF-8 " + dir + "/ja_JP.UTF-8 >/dev/null 2>&1").c_str()) == 0;
  if (made) {
    EXPECT_EQ(convertedUnder("env LOCPATH=" + dir + " LC_ALL=ja_JP.UTF-8"), expected);
  }
  if (!made) GTEST_SKIP() << "localedef cannot make ja_JP.UTF-8 here";
}

}  // namespace
