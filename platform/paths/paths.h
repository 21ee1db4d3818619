// Where the program and its data live (no Qt here).
//
// The data folder `exedir` holds "sav", "word.csv", "escape.txt" and the
// other files the program reads and writes.  It is always the per-user data
// folder, $XDG_DATA_HOME/tallisen/ (~/.local/share/tallisen/ when unset), so
// that a learner's work never lives inside a build or install folder.
// $TALLISEN_EXEDIR, and in tests setExedirForTests(), name the folder
// outright.  Files an older version kept beside the program are moved in.
#pragma once

#include <string>

namespace tl::paths {

// The data folder, with a trailing "/".  The per-user folder is created
// with its "sav" folder.  Once per run, files found in the program folder are
// brought in (migrateFrom).
std::string exedir();

// Brings the data files of an older layout from folder `from` into the data
// folder `to` (both with a trailing "/"): every file of from + "sav/" that
// `to` lacks is copied and then removed from `from` (left there when it
// cannot be removed); "word.csv" and "escape.txt" are copied when `to`
// lacks them.  Nothing is overwritten and nothing is removed before its copy
// is complete on disk.  Returns the number of files brought in.
int migrateFrom(const std::string& from, const std::string& to);
// Overrides exedir() (an empty path removes the override).
void setExedirForTests(const std::string& path);

// The folder of the running executable (from /proc/self/exe), with a
// trailing "/".
std::string programDir();

// The per-user data folder, with a trailing "/" (not created).
std::string userDataDir();

// Copies "word.csv" and "escape.txt" into the data folder `dataDir` where
// they are missing there, from the program folder `prog` or, for an
// installed program (<prefix>/bin/), from <prefix>/share/tallisen/.
void seedDataDir(const std::string& dataDir, const std::string& prog);

}  // namespace tl::paths
