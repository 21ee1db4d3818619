// One review of the word test: the lines of "word.csv" taken when it starts,
// the record shown, and what OK and delete changed.
//
// Saving re-reads the file and applies only this review's changes, so
// words registered while the review is open stay (wordfile.h, saveChanges).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/lesson.h"
#include "core/wordfile.h"
#include "core/wordrecord.h"

namespace tl::word {

class Review {
 public:
  enum class Mode { AllWorks, CurrentWork };

  // Loads and sorts the file (a missing file is an empty review).
  // `currentWork` is the loaded SRT's name (UTF-8, no folder); empty when no
  // subtitles are loaded, which leaves nothing to review in CurrentWork.
  // False with the reason when the file cannot be read; nothing is loaded.
  bool start(const std::string& path, Mode mode, const std::string& currentWork, std::string* err);
  bool loaded() const { return loaded_; }
  Mode mode() const { return mode_; }

  // Moves to the next due record of the review; false at the end (nothing
  // more is shown).  Lines that are no record are passed over.
  bool advance(const Stamp& now);
  bool atEnd() const { return !record_; }

  // OK: the shown record gets nextlevel and the next one comes.
  bool ok(const Stamp& now);
  // NG: the next one comes, nothing changes.
  bool ng(const Stamp& now) { return advance(now); }
  // Delete: the shown record leaves the list; the next one comes.
  bool remove(const Stamp& now);

  // Saves the changes; the review is then released.  On failure the review
  // stays loaded (a later save tries again) and *err says why.
  bool save(std::string* err);
  void release();
  bool dirty() const { return !changes_.empty(); }

  // ---- the record shown (932 texts) ------------------------------------
  int index() const { return index_; }  // 0-based in the list; -1 before the first
  int count() const { return (int)file_.lines.size(); }
  int nextlevel() const { return nextlevel_; }
  int level() const { return record_ ? record_->level : 0; }
  int32_t slot() const { return record_ ? record_->slot : 0; }
  std::string word() const;
  std::string translation() const;
  std::string sentence() const;  // "　" back to " "
  // Work without its extension, a space, the cue number (slot + 1) / 2.
  std::string workLabel() const;
  // Whether the shown record belongs to the SRT named (UTF-8, no folder).
  bool isWork(const std::string& srtname) const;

  const std::vector<std::string>& lines() const { return file_.lines; }

 private:
  bool due(const Record& r, const Stamp& now);

  WordFile file_;
  std::string path_;
  Mode mode_ = Mode::AllWorks;
  std::optional<std::string> work_;  // field 1 of the current work, in 932
  bool loaded_ = false;
  int index_ = -1;
  std::optional<Record> record_;
  int nextlevel_ = 0;
  std::vector<LineChange> changes_;
};

// Where the replay of a record starts: its cue's start minus the lead-in
// (backmore milliseconds), not before 0.  nullopt when no subtitles or no
// medium are open, when the record belongs to another work, or the slot is
// outside the table.
std::optional<ttime> replayTime(const Lesson& L, const Review& r, int32_t backmore, bool mediumOpen);

}  // namespace tl::word
