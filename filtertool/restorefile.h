// A record file ("changed.bak" or "deleted.bak"): one record per line,
// "<server path>?<friendly name>", newest first, in code page 932 with CR LF
// line ends.  Empty lines are skipped on reading and never written back.
//
// Changes are made under an exclusive lock on the file and are written to a
// temporary file that replaces the old one only when it is complete and
// synced, so a failed write keeps every older record.
#pragma once

#include <QString>
#include <string>
#include <vector>

namespace quendle {

struct RestoreRecord {
  QString path;
  QString name;
};

class RestoreFile {
 public:
  explicit RestoreFile(QString filePath) : path_(std::move(filePath)) {}
  const QString& filePath() const { return path_; }

  // Whether path?name can be a record line: no CR or LF anywhere, no "?" in
  // the path, and both texts have a form in code page 932.
  static bool canRecord(const QString& name, const QString& path);

  // Puts the record at the head of the file unless the file holds it already.
  // True when the record is in the file afterwards; else errorString() says
  // why not.
  bool add(const QString& name, const QString& path);
  // Drops every line whose whole text (wholeLine) or whose text before the
  // first "?" equals key, compared byte for byte in code page 932.  A line
  // without "?" counts as a path with an empty name.  Returns the number of
  // lines dropped, or -1 when the file could not be read or rewritten (it is
  // then unchanged).
  int remove(const QString& key, bool wholeLine);
  // The records in file order.  The file is created empty when missing.
  std::vector<RestoreRecord> list() const;

  // Why the last add() or remove() failed (the system's words for it).
  const QString& errorString() const { return error_; }

 private:
  bool fail(int error);
  QString path_;
  QString error_;
};

}  // namespace quendle
