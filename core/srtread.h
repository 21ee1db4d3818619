// Reading an SRT file into the slot table.
//
// loadSrt() is the whole load: read the file, decode it to 932, split it
// into lines, cut the "9999" trailer (srtinit), parse the cues (srtread) into
// a NEW Lesson and, only when that yields at least one cue, move it into the
// caller's Lesson.  A failed load (file missing or unreadable, empty, no cue,
// unknown code page) leaves the caller's Lesson exactly as it was.
//
// Messages meant for the user are returned as UTF-8 texts, in order; core
// shows nothing itself.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lesson.h"

namespace tl {

// ---- small text routines (texts are 932 bytes) ----------------------------

// Spaces and control characters (bytes up to 0x20) cut at both ends.
std::string trimText(std::string_view s);
// Lines of a text; a line break is CR LF, LF or CR.  A run of CRs directly
// followed by LF (CR CR LF, left by a double conversion) is one break.  A
// break at the very end adds no empty line.
std::vector<std::string> splitLines(std::string_view text);
// The same lines as views into text.
std::vector<std::string_view> lineViews(std::string_view text);
// Where the lines of a file's own text lie (byte offset and length), by the
// same rule; for the 16-bit code pages (1200, 1201) the rule is applied to
// 16-bit units.
std::vector<std::pair<size_t, size_t>> lineRanges(std::string_view body, int codepage);
// Byte by byte: 145 and 146 become "'", 147 and 148 a double quote.
std::string eu2asc(std::string_view text);
// Removes markup tags: while the first "<" stands before the first ">",
// deletes from that "<" to that ">".  "a > b <i>c</i>" keeps its tags.
std::string tagdel(std::string text);
// The same rule for "(" and ")".
std::string pardel(std::string text);

// ---- times ----------------------------------------------------------------

// Parses one SRT time ("00:01:02,345" -> 623450).  Hours, minutes and
// seconds are read from the fixed columns 1-2, 4-5 and 7-8; after the first
// comma, three characters of milliseconds, or, after a comma and a space,
// four characters of 1/10000 s (fewer are taken as they stand).  No comma:
// no fraction.  Texts in the program's own form that the fixed columns cannot
// hold (an hour field of ten hours and more, "010:00:00,000", or minus signs
// inside the fields, "00:00:-1,-500") are read field by field, so every text
// sec2str_3 writes reads back to its time.
// On a conversion failure *err (if given) receives the message
// "SRTファイルの時間変換に失敗しました[<text>]" (UTF-8) and the terms summed
// so far are returned.
ttime strtotime(std::string_view text, std::string* err = nullptr);

// True when the line is a time line: it holds "-->" and the text before the
// first "-->" starts with a digit and holds a ":"; or, where a time line is
// `expected` (after a cue number, or where a cue may start), it holds " --> "
// (its times are then read by strtotime's fixed columns, which report what
// does not convert).  *arrow gets the index of the first "-->".
bool isTimeLine(std::string_view line, size_t* arrow = nullptr, bool expected = false);

// ---- the load steps --------------------------------------------------------

// The file's bytes decoded into lines of 932 text.  The views point into
// the bytes given to decodeSrt or into `text`, so the result is filled in
// place and not copied.
struct DecodedSrt {
  bool ok = false;                    // false: unknown code page
  int codepage = 0;                   // the code page actually used
  bool bom = false;                   // a byte order mark was found (and dropped)
  std::string_view body;              // the file's own text: after the mark, up to a zero byte
  std::string text;                   // body in 932, when it needed converting
  std::vector<std::string_view> lines;
  std::vector<std::string> messages;  // UTF-8

  DecodedSrt() = default;
  DecodedSrt(const DecodedSrt&) = delete;
  DecodedSrt& operator=(const DecodedSrt&) = delete;
};
// The code page setting's default: Latin-1.
constexpr int kDefaultSrtCodepage = 28591;
// A byte order mark (UTF-8, UTF-16 LE or BE) decides the code page over the
// setting.  With the default setting, text that is valid UTF-8 and not plain
// ASCII is read as UTF-8.  Code pages 1200/1201 are decoded as 16-bit text.
// Otherwise the text ends at its first zero byte (with a message).  d must
// be fresh.
void decodeSrt(std::string_view bytes, int codepage, DecodedSrt& d);
// A piece of a file's own text in 932, as the load converts it: for the
// single-byte code pages eu2asc runs before decoding; code page 0 takes the
// bytes as they are.
std::string fileTextToAnsi(std::string_view text, int codepage, bool* ok = nullptr);

// Cuts "9999" trailer cues from the end of lines: a time line whose line
// before reads "9999" is removed with that number line, the blank line before
// it (when there is one) and everything after it; the scan then goes on
// backwards.  Returns the cue number read from the line before the last time
// line that remains (0 when there is no such line or it is not an integer).
int srtinit(std::vector<std::string_view>& lines);
int srtinit(std::vector<std::string>& lines);

// The lines that went into a slot's text (indices of the lines given to
// srtread, first to last, with any blank line between them); -1 when none.
struct LineSpan {
  int32_t first = -1, last = -1;
};

// Parses the lines into l's slot table: subtime, subtext (every line with
// CR LF, tags removed), subcount, and sizes subflg (one 0 per byte),
// subclear, substar, subwavex, submemo, jawd and jasnt to subcount.  Counters
// and other fields of l are not touched.  *spans (if given) gets one
// LineSpan per slot.
//
// The layout read is number line, time line, text lines, blank line.  The
// reader also copes with what real files get wrong: blank lines where a
// number is expected are skipped; a time line without a number line before
// it, or without a blank line before its number, starts a new cue; a text
// line after a blank line inside a cue's text joins that cue; a cue whose
// time line is followed by a blank line (or by nothing) gets the text " ".
// Time conversion messages go to *messages (at most a few, then one line
// with the count of the rest).
void srtread(const std::vector<std::string_view>& lines, Lesson& l, std::vector<std::string>* messages = nullptr,
             std::vector<LineSpan>* spans = nullptr);

// ---- paths ----------------------------------------------------------------

// The file name with its extension (the last ".") replaced by ext, or ext
// appended when it has none.
std::string changeFileExt(const std::string& name, const std::string& ext);
// srtname = file name of path; savpath = exedir + "sav/" + srtname with
// ".dat"; memopath the same with ".txt".  exedir ends with "/".
void setSrtPaths(Lesson& l, const std::string& path, const std::string& exedir);

// ---- the whole load -------------------------------------------------------

struct LoadResult {
  bool ok = false;                    // the caller's Lesson was replaced
  int cues = 0;                       // cues read
  std::vector<std::string> messages;  // UTF-8, to be shown in order
};

// Loads path decoded with `codepage` (the setting "codepage").  On success
// `into` is replaced as a whole by the new table with the reset values of a
// load (counters 0, cursub 0, curscene -1, adjfrom 0, adjsaved 0, dirty flags
// off, srtloaded on, letter states all 0) except hintpoint and hintcost, which
// are carried over; paths, srtcodepage, srtbom and srtsource are set.  Letter
// states, progress and memos come next from the progress load (or
// closeflginit when there is no progress file), which the caller runs.
// Time conversion messages may come with a successful load.
LoadResult loadSrt(const std::string& path, int codepage, const std::string& exedir, Lesson& into);
// The same for bytes already in memory (path names the file for the paths).
LoadResult loadSrtBytes(std::string_view bytes, const std::string& path, int codepage, const std::string& exedir,
                        Lesson& into);

// The loaded file read again from l.srtsource, as the load read it.
struct SrtSource {
  Lesson table;                  // the slots as read (texts and times before any change)
  std::vector<LineSpan> spans;   // per slot of table
  std::string_view body;         // the file's own text (points into l.srtsource)
  std::vector<std::pair<size_t, size_t>> lines;  // lineRanges of body (withLines)
  bool aligned = false;          // body's lines are the lines the table was read from, one for one
};
// False when the code page is unknown (table then empty).
bool rereadSrt(const Lesson& l, SrtSource& s, std::vector<std::string>* messages = nullptr, bool withLines = false);

}  // namespace tl
