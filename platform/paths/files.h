// Whole-file reading and crash-safe writing, for every layer (no Qt here).
#pragma once

#include <string>
#include <vector>

namespace tl::paths {

// Reads the whole file into out.  False with the reason in *err (if given)
// when it cannot be opened or read; out is then empty.
bool readFile(const std::string& path, std::string& out, std::string* err = nullptr);

// Replaces the file with bytes, crash safe: a temporary file in the same
// folder is written and fsynced, renamed over the target, and the folder is
// fsynced.  A symbolic link is written through: its final target is
// replaced and the link stays.  An existing file keeps its permission bits;
// a file without any write permission (mode 0444) is read-only and is not
// replaced.  The folder must exist (nothing is created but the file).  On
// failure the old file is left as it was and *err names the file and why.
//
// Temporary files are named "." + file name + kTempMark + six characters.
// Leftovers of that naming (and of the older "<name>.tmp-XXXXXX") that are
// older than kTempMaxAgeSeconds are removed at the next save of that file.
bool atomicWriteFile(const std::string& path, const std::string& bytes, std::string* err = nullptr);

struct FileWrite {
  std::string path;
  std::string bytes;
};
// Several files replaced together: every temporary file is written and
// fsynced first, so a failure of any one (disk full, read-only file) is
// reported before anything is replaced; then they are renamed into place in
// order.  Should a rename fail, the files already replaced get their old
// contents back where the old file could be kept aside (a hard link).
bool atomicWriteFiles(const std::vector<FileWrite>& files, std::string* err = nullptr);

// The first half of atomicWriteFile, for a caller that replaces several
// files as one step of its own: writes and fsyncs bytes to a new temporary
// beside the file (links followed, the same checks and messages) and names
// it in tmp and the file it is to replace in target.
bool writeTemporary(const std::string& path, const std::string& bytes, std::string& tmp, std::string& target,
                    std::string* err = nullptr);
// fsync of a folder, so that renames and removals in it are on the disk.
void syncFolder(const std::string& dir);

constexpr const char* kTempMark = ".tallisen-save-";
constexpr int kTempMaxAgeSeconds = 300;
// True when name (a file name without folder) is a temporary file of ours
// for the file named target.
bool isOurTemporary(const std::string& name, const std::string& target);
// Removes our leftover temporaries of path older than maxAgeSeconds; returns
// how many were removed.
int removeStaleTemporaries(const std::string& path, int maxAgeSeconds = kTempMaxAgeSeconds);

// The file a path names after following symbolic links (the path itself when
// it is none; a dangling link gives the file it would create).  False with
// *err on a loop.
bool resolveLinks(const std::string& path, std::string& target, std::string* err = nullptr);

// Creates a folder and its missing parents.  True when it exists afterwards.
bool makeDirs(const std::string& dir, std::string* err = nullptr);

// The folder part of a path ("a/b/c" -> "a/b", "c" -> ".", "/c" -> "/").
std::string parentDir(const std::string& path);
// The last component of a path ("a/b/c" -> "c").
std::string fileName(const std::string& path);

bool fileExists(const std::string& path);
bool dirExists(const std::string& path);
// Whether two paths name one existing file or folder (links followed).
bool sameFile(const std::string& a, const std::string& b);

}  // namespace tl::paths
