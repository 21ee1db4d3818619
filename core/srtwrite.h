// Writing the slot table back as an SRT file, saving it under a new name,
// and the range extract.
//
// A file is written in the code page it was read with (Lesson::srtcodepage;
// 0 = the bytes as they are), with a byte order mark when it had one, CR LF
// line ends, and for every cue: its number counted from 1, the time line
// "start --> end" in the SRT form (sec2str_3; a negative time is written as
// 0), the text lines (an empty line written as " ", so that the cue keeps
// its place on the next read) and one empty line.  A cue whose 932 text is
// still what the load read is written with the file's own text lines
// (Lesson::srtsource: tags and characters 932 lacks included); an edited cue
// with its 932 text.  Every write is atomic.
#pragma once

#include <string>

#include "core/lesson.h"

namespace tl {

// The SRT text of the whole table in 932 (before the code-page step).
std::string srtText(const Lesson& l);
// The bytes of the file in the read code page, with the mark.
std::string srtBytes(const Lesson& l);

struct SaveResult {
  bool ok = true;        // false: nothing changed, message says why
  bool written = false;  // a file was written
  std::string message;   // UTF-8; empty when there is nothing to show (after a
                         // write: which edited cues lost characters 932 lacks)
};

// Writes the table over srtpath when srtdirty is on (else nothing, ok).
// After a successful write: subtime[0] := 0, srtdirty := off, and a saved
// adjustment (adjsaved) is cleared, since the written times now hold it
// (flgdirty goes on so that the progress file stops asking to apply it).
// The progress file on disk loses its adjustment in the same commit as the
// SRT write (writeSrtWithProgress).
// A failed write leaves the old file and every field as it was.
SaveResult srtsav(Lesson& l);

// Save under a new name.  The new progress and memo paths are exedir +
// "sav/" + the new file name with ".dat" / ".txt".  Refuses (message, no
// change) when a progress or memo file already exists there.  Writes the new
// SRT (whatever srtdirty says) and moves the progress and memo files to their
// new names as one commit (writeSrtWithProgress): a failure changes no file
// and keeps every path.  On success srtpath, srtname,
// savpath and memopath name the new files and the write's effects of srtsav
// apply.  The caller then adds srtpath to the recent files, sets the caption
// and logs "字幕別名セーブしました".
SaveResult srtSaveAs(Lesson& l, const std::string& newpath, const std::string& exedir);

struct ExtractResult {
  bool ok = false;
  std::string path;     // the file written
  int cues = 0;
  std::string message;  // UTF-8: success or failure text to show
};

// The range extract: all slots (suffix "_all") or slots top..bottom (suffix
// "_top-bottom"), numbered from 1, written to exedir + srtname without its
// extension + suffix + ".srt" (replacing such a file).  A cue starting at the
// previous cue's end, to the millisecond, has its start in the four-digit
// form.  Changes nothing in the table.  The message names edited cues that
// lost characters, as srtsav does.
ExtractResult srtExtract(const Lesson& l, bool all, int top, int bottom, const std::string& exedir);

}  // namespace tl
