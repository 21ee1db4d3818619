// A registry of our own: a hive file of keys with typed values.
//
// Keys are paths separated by backslashes ("Software\\Tallisen\\option"),
// compared without regard to ASCII case.  Each value has a type; reading a
// value as another type than it was stored with is a read error for callers
// that care.  A Hive made with an empty path lives in memory only (the fake
// used by tests).
//
// Writing is crash safe and safe between processes: save() takes an exclusive
// lock beside the file, re-reads the file, lays this object's own changes
// since the last load/save over it, writes a temporary file, fsyncs it and
// renames it over the hive.  Values another process wrote meanwhile survive.
// update() adds a read-modify-write step under the same lock.
//
// A hive holds at most kMaxHiveKeys keys and kMaxHiveValues values in at most
// kMaxHiveBytes bytes, far above any real use: a file beyond them is damaged,
// and a save that would go beyond them fails, so every hive written reads back
// and a hostile file cannot stall the program's start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tl::reg {

inline constexpr size_t kMaxHiveBytes = 4u << 20;
inline constexpr size_t kMaxHiveKeys = 50'000;
inline constexpr size_t kMaxHiveValues = 200'000;

enum class Type : uint32_t { String = 1, Binary = 3, DWord = 4, QWord = 11 };

struct Value {
  Type type = Type::String;
  std::string data;     // String: UTF-8 text; Binary: raw bytes
  uint64_t number = 0;  // DWord / QWord
};

class Hive {
 public:
  explicit Hive(std::string path = {});
  ~Hive();
  Hive(const Hive&) = delete;
  Hive& operator=(const Hive&) = delete;

  const std::string& path() const { return path_; }

  // Reads the hive file.  A missing file is an empty hive (true).  An
  // unreadable or corrupt file gives false with a message in *err; the hive is
  // then empty and save() refuses to overwrite that file (it writes nothing and
  // reports failure) so that the user's values are never lost by accident.
  bool load(std::string* err = nullptr);
  bool corrupt() const { return corrupt_; }

  bool keyExists(const std::string& key) const;
  std::vector<std::string> subkeys(const std::string& key) const;
  std::vector<std::string> valueNames(const std::string& key) const;
  std::optional<Value> value(const std::string& key, const std::string& name) const;
  // True only when the value exists and is a String.
  bool getString(const std::string& key, const std::string& name, std::string& out) const;

  void createKey(const std::string& key);
  void setValue(const std::string& key, const std::string& name, const Value& v);
  void setString(const std::string& key, const std::string& name, const std::string& s);
  void setDWord(const std::string& key, const std::string& name, uint32_t n);
  void setBinary(const std::string& key, const std::string& name, const std::string& bytes);
  bool deleteValue(const std::string& key, const std::string& name);
  bool deleteKey(const std::string& key);  // with everything below it

  // Writes pending changes (see above).  In-memory hives always succeed.
  bool save(std::string* err = nullptr);
  // save() with a read-modify-write: under the lock, once the file as it is
  // now has been read and this object's changes laid over it, edit reads that
  // state through this object and its changes are written with the rest.  For
  // values that other processes change too (a total to add to, a list to
  // merge into).  When the write fails, edit's changes are dropped.
  bool update(const std::function<void(Hive&)>& edit, std::string* err = nullptr);
  // Whether save() could write here (the folder and file are writable).
  bool writable() const;

 private:
  struct Impl;
  bool commit(const std::function<void(Hive&)>* edit, std::string* err);
  std::string path_;
  bool corrupt_ = false;
  Impl* d_;
};

// Where the per-user hive lives: $TALLISEN_USER_HIVE, else
// $XDG_CONFIG_HOME/tallisen/user.hive (~/.config when unset).
std::string userHivePath();
// The machine-wide hive (filter registrations): $TALLISEN_MACHINE_HIVE, else
// /var/lib/tallisen/machine.hive.
std::string machineHivePath();

}  // namespace tl::reg
