// One line of "word.csv": a registered word with its work, slot, translation,
// sentence, registration moment and review level.
//
// A record is eight fields joined by ",":
//   work ("," as "\c", " " as "\s"), "no" + slot (at least four digits),
//   word, translation, sentence, date (yyyy/MM/dd), time (H:mm:ss), level.
// Texts are bytes of code page 932 (a file kept in UTF-8 is converted at the
// file's edge, see wordfile.h).  The byte values the rules look at (",",
// '"', " " and below) never occur inside a double-byte character of 932 or
// UTF-8, so the split works on either encoding's bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tl::word {

// Fields of a line by the comma-text rule: "," separates; a run of bytes at
// or below " " also ends a field and, with a following ",", counts as one
// separator; a field opening with '"' runs to the closing '"' ("" inside is
// one '"'); a "," at the very end gives a last empty field.  A NUL byte ends
// the line.
std::vector<std::string> splitCommaText(const std::string& line);
// The reverse: fields joined by ","; a field holding a ",", a '"' or a byte
// at or below " " is put in double quotes (inner quotes doubled).
std::string joinCommaText(const std::vector<std::string>& fields);

// A moment on the local wall clock.
struct Stamp {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  bool operator==(const Stamp&) const = default;
};
// Seconds since 1970-01-01 00:00:00 of the same wall clock (no time zone).
int64_t stampSeconds(const Stamp& s);
// Now on the local clock.
Stamp nowStamp();

// The fixed forms of fields 6 and 7: 2012/03/04 and 9:05:07.
std::string dateText(const Stamp& s);
std::string timeText(const Stamp& s);
// Reads them back (surrounding spaces ignored; a four-digit year, one- or two-digit month,
// day, minute and second; a time may lack its seconds).  nullopt when the
// text is not a valid date / time.
std::optional<Stamp> readDateTime(const std::string& date, const std::string& time);

// Field 1: the SRT file name (932 bytes) with "," as "\c", then " " as "\s";
// every other byte at or below " " (a tab in a file name) as "　" and '"'
// as "”", as the whole line gets.  The current work is found by comparing
// this text with field 1 as stored.
std::string encodeWork(const std::string& name932);
// Field 1 turned back for display: "\c" to ",", then "\s" to " " (double-
// byte characters are stepped over whole).
std::string decodeWork(const std::string& field);

// The replacements of word, translation and sentence: CR LF to "　", "," to
// "，", " " to "　"; for the sentence then "-" to "‐"; then every byte
// still at or below " " to "　" (a tab or a lone line end would split the
// record).
std::string cleanText(const std::string& text932, bool sentence);

// The line a registration appends (without its line end): the fields above
// with level 0, every '"' of the line turned into "”".
std::string buildLine(const std::string& srtname932, int32_t slot, const std::string& word932,
                      const std::string& trans932, const std::string& sentence932, const Stamp& when);

// A record read from a line.  The fields stay as stored; the decoded values
// are beside them.
struct Record {
  std::vector<std::string> fields;  // eight or more
  int32_t slot = 0;
  int32_t level = 0;
  Stamp when;

  const std::string& work() const { return fields[0]; }  // encoded (field 1)
  const std::string& wordText() const { return fields[2]; }
  const std::string& trans() const { return fields[3]; }
  const std::string& sentence() const { return fields[4]; }
};

// Splits and decodes a line of the word file.  nullopt when it yields fewer than eight fields, when field 2
// is not "no" and digits (every digit is read: slot 10000 is no10000), when
// the level is not a number, or the date or time does not read.
std::optional<Record> wordread(const std::string& line);

// The sentence for display: every "　" back to " ".
std::string sentenceForDisplay(const std::string& field932);

// The line order of the exports and the word test: whole lines compared with
// ASCII letters folded to lower case (double-byte characters compare as
// they are; in UTF-8 every ASCII letter is folded); stable, so equal lines
// keep their order.
void sortLines(std::vector<std::string>& lines, bool utf8 = false);

}  // namespace tl::word
