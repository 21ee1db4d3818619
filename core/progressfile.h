// The progress file of one subtitle file and its save and load.
//
// Layout (little-endian, no header, lengths follow from the SRT file):
//   1. letter states: int32 per byte of subtext, slot 0 first, byte by byte
//   2. total:         int32 flgtotal
//   3. adjustment:    int64 adjsaved (time value)
//   4. resume slot:   int32 cursub at the time of saving
//   5. stars:         int32 substar per slot
// With B the byte length of all slot texts the file holds 4B + 16 +
// 4 * subcount bytes.  The memo file beside it is handled in memofile.h.
// Messages are returned as UTF-8 texts for the window to show.
#pragma once

#include <cstdint>
#include <string>

#include "core/lesson.h"
#include "core/options.h"
#include "core/timing.h"

namespace tl {

extern const char* const kMsgSaveFailed;    // "セーブに失敗しました"
extern const char* const kMsgLoadFailed;    // "ロードに失敗しました"
extern const char* const kMsgLaterFields;   // adjustment / resume / stars unreadable
extern const char* const kMsgMismatch;      // detail: the file does not fit this SRT
extern const char* const kMsgAdjustOutOfRange;  // detail: saved adjustment not offered
extern const char* const kAskAdjust;        // question, caption kAskAdjustCaption
extern const char* const kAskAdjustCaption;
extern const char* const kLogSaved;         // log line of "進捗保存"
extern const char* const kLogAllSaved;      // log line of "全て保存"

// Byte length of all slot texts (B).
int64_t progressStateCount(const Lesson& L);
// Size of a complete progress file for the table as it is.
int64_t progressFileSize(const Lesson& L);
// The bytes of the progress file for the table as it is.
std::string progressBytes(const Lesson& L);
// Name of the copy kept of a progress file that did not fit ("X.dat.bak",
// or "X.dat.bak2", ... when that exists).
std::string progressBackupPath(const std::string& savpath);

struct ProgressSaveResult {
  bool wrote = false;   // the files were written
  bool ok = true;       // false: the save failed; message says so, flgdirty stays on
  std::string message;  // message box text, empty when none
  std::string detail;   // the reason of a failure (system text)
};

// Writes the progress and memo files when subtitles are loaded and flgdirty
// is on; otherwise does nothing (ok, wrote false).  The folder is created
// when missing; both files are replaced atomically.  A progress file that
// did not fit at load time is first copied aside.  Progress and memo are
// saved as a pair (one commit, see commitjournal.h): after a failure or a
// crash both are old or both are new.
ProgressSaveResult subflgsave(Lesson& L);

struct ProgressLoadResult {
  bool fromFile = false;    // the letter states came from the progress file
  bool askAdjust = false;   // adjsaved != 0: ask kAskAdjust (Yes / No).  Yes:
                            // adjfrom := 0 and adjshift(adjsaved); No:
                            // declineAdjustment.  Ask before showing message.
  std::string message;      // message box text, empty when none
  std::string detail;       // more about message (for instance kMsgMismatch)
};

// Reads the progress and memo files after an SRT load.  Without a progress
// file the letter states start as for a new file (closeflginit).  A file
// that does not fit the table (size, states outside -1..3) is not laid
// over it: the states start as for a new file and the old file is kept
// (copied aside before the first save).  The resume slot is taken only when
// it is a cue of the table.
ProgressLoadResult subflgload(Lesson& L);

// True when shifting every slot by adj keeps each time inside the range of
// time values (timeFits).  A saved adjustment that does not is not offered.
bool adjustmentFits(const Lesson& L, ttime adj);

// For the SRT write: once the file on disk holds the shift, the progress
// file on disk must no longer offer it.  Sets only the adjustment field of
// the progress file at L.savpath to 0, atomically, every other byte as it
// was.  Nothing happens when there is no progress file, when its size does
// not fit the table (its adjustment is then not where this table puts it),
// or when the field is 0 already.  False with *err when the file could not
// be read or replaced.
bool clearSavedAdjustment(const Lesson& L, std::string* err = nullptr);

// The SRT write: the new bytes of the SRT file at srtPath and, when the
// progress file on disk offers an adjustment, that file with the adjustment
// 0, as one commit, so that no load finds the shift in the times and offered
// again.  When newSav / newMemo name other files than savpath / memopath
// (save under a new name), the progress and memo files move there in the
// same commit.
bool writeSrtWithProgress(const Lesson& L, const std::string& srtPath, const std::string& srtBytes,
                          const std::string& newSav, const std::string& newMemo, std::string* err = nullptr);

// What the SRT write calls after it succeeded: adjsaved := 0 (the times in
// the file hold the shift now) and clearSavedAdjustment on the file on disk.
bool settleSavedAdjustment(Lesson& L, std::string* err = nullptr);

// "Yes" to the adjustment question: adjfrom := 0 and adjshift by adjsaved
// with the user's own adjcrt.  With adjcrt off every slot moves and the
// progress is marked changed (the SRT file is not); with adjcrt on the shift
// is a partial shift from slot 0 and marks the SRT changed.  Nothing when
// the adjustment does not fit the times (see adjustmentFits).
TimingChange acceptSavedAdjustment(Lesson& L, const Options& o);

// "No" to the adjustment question: the next save stores no adjustment.
inline void declineAdjustment(Lesson& L) { L.adjsaved = 0; }

}  // namespace tl
