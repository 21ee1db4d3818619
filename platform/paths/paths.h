// Where the program and its data live (no Qt here).
//
// The data folder `exedir` holds "sav", "word.csv", "escape.txt" and the
// other files the program reads and writes.  It is the folder of the running
// program when that folder is writable; otherwise a per-user data folder,
// $XDG_DATA_HOME/tallisen/ (~/.local/share/tallisen/ when unset), with the
// same layout.  $TALLISEN_EXEDIR, and in tests setExedirForTests(), name the
// folder outright.
#pragma once

#include <string>

namespace tl::paths {

// The data folder, with a trailing "/".  When the per-user folder is chosen
// it is created with its "sav" folder, and "word.csv" and "escape.txt" are
// copied into it from the program folder when they are there and missing.
std::string exedir();
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
