// Whole-file reading and crash-safe writing, for every layer (no Qt here).
#pragma once

#include <string>

namespace tl::paths {

// Reads the whole file into out.  False with the reason in *err (if given)
// when it cannot be opened or read; out is then empty.
bool readFile(const std::string& path, std::string& out, std::string* err = nullptr);

// Replaces the file with bytes, crash safe: a temporary file in the same
// folder is written and fsynced, renamed over the target, and the folder is
// fsynced.  An existing file keeps its permission bits.  The folder must
// exist (nothing is created but the file).  On failure the old file is left
// as it was and *err says why.
bool atomicWriteFile(const std::string& path, const std::string& bytes, std::string* err = nullptr);

// Creates a folder and its missing parents.  True when it exists afterwards.
bool makeDirs(const std::string& dir, std::string* err = nullptr);

// The folder part of a path ("a/b/c" -> "a/b", "c" -> ".", "/c" -> "/").
std::string parentDir(const std::string& path);

bool fileExists(const std::string& path);
bool dirExists(const std::string& path);

}  // namespace tl::paths
