// Files that belong together, replaced as one step that a crash cannot
// split: after a crash at any moment a group is found all old or all new.
//
// The new contents are first written to temporaries beside their files.
// Then a journal naming each temporary and its file (full paths) is put in
// place in the data folder: from that moment the group counts as written.
// The temporaries are renamed over their files, files to remove are removed,
// and the journal goes.  A journal found later (the program was killed in
// between) is rolled forward: the temporaries still there are renamed into
// place.  Only a journal naming what a commit writes is carried out (our
// temporaries beside their files, removals inside the data folder); any
// other is discarded and moves no file.  A crash before the journal is in
// place leaves only temporaries; the files stay old and the next save of
// each clears them away (paths::removeStaleTemporaries).
//
// One journal per data folder, guarded by a lock file beside it, so that
// two running programs never commit at once nor read half of a group.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/paths/files.h"

namespace tl::journal {

inline constexpr const char* kJournalName = ".tallisen-commit";
inline constexpr const char* kLockName = ".tallisen-commit.lock";

// What one commit changes.  The files may lie outside the data folder; each
// temporary is made beside its own file.
struct Group {
  std::vector<paths::FileWrite> writes;
  std::vector<std::string> removes;  // removed once the writes are in place
};

// Holds the data folder's lock and has rolled forward a journal left there.
// Readers of files that change together hold one while they read them.
// Without the folder there is nothing to lock or recover (ok).
class Guard {
 public:
  explicit Guard(const std::string& dataDir);
  ~Guard();
  Guard(const Guard&) = delete;
  Guard& operator=(const Guard&) = delete;
  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  bool locked() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
  std::string error_;
};

// Rolls forward a journal left in dataDir (a journal that does not read
// whole is discarded).  False with *err when one is left that could not be
// carried out (it is kept for the next try).
bool recover(const std::string& dataDir, std::string* err = nullptr);
// What the learner is told when recover fails (the reason on its own line).
std::string recoveryFailedMessage(const std::string& err);

// Replaces the group's files as one step.  build fills the group under the
// lock, after recovery, so that it may read the files it derives from; false
// from build ends the commit (its *err stands).  A group of one file
// without removals is a plain atomic write.  On failure before the journal
// is in place every file stays old; *err says why.
using Build = std::function<bool(Group&, std::string* err)>;
bool commit(const std::string& dataDir, const Build& build, std::string* err = nullptr);
bool commit(const std::string& dataDir, const Group& group, std::string* err = nullptr);

// For tests that interrupt a commit: called with 1, 2, ... as each step of a
// journalled commit is done (each temporary written, the journal in place,
// each file replaced or removed, the journal gone).
void setStepHook(void (*hook)(int step));

}  // namespace tl::journal
