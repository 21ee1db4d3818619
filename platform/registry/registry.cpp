// The hive file.
//
// Layout, all integers little-endian:
//
//   header (24 bytes)
//     magic    8 bytes  "TLHIVE\r\n"
//     version  u32      1
//     flags    u32      0 (reserved)
//     length   u32      payload size in bytes
//     crc      u32      CRC-32 (IEEE) of the payload
//   payload
//     keyCount u32
//     keyCount times:
//       pathLen u32, path bytes   full key path as written, components joined
//                                 by "\", no leading or trailing "\"
//       valueCount u32
//       valueCount times:
//         nameLen u32, name bytes (the empty name is the key's default value)
//         type    u32               1 String, 3 Binary, 4 DWord, 11 QWord
//         dataLen u32, data bytes   DWord: 4 bytes, QWord: 8 bytes
//
// A reader checks everything: magic, version, every length against what is
// left, the CRC, known types and their sizes, no duplicate key or value
// (compared without ASCII case), no empty path component, nothing after
// the payload and no more keys, values or bytes than a hive may hold.  An empty file reads as an empty hive.  Parent keys are
// listed before their children; a reader adds missing parents anyway.
#include "platform/registry/registry.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

#include "platform/codepage/ascii.h"
#include "platform/paths/files.h"

namespace tl::reg {

namespace {

constexpr char kMagic[8] = {'T', 'L', 'H', 'I', 'V', 'E', '\r', '\n'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 24;
// Sane bounds of a key path: real keys are a few levels and a few dozen
// characters.  A file beyond them is damaged, and keys beyond them are not
// created, so every hive written reads back.
constexpr size_t kMaxKeyPath = 1024;
constexpr size_t kMaxKeyDepth = 32;
constexpr size_t kMaxValueName = 16383;

bool keyWithinBounds(std::string_view normalized) {
  if (normalized.size() > kMaxKeyPath) return false;
  return (size_t)std::count(normalized.begin(), normalized.end(), '\\') < kMaxKeyDepth;
}

// "\\Software\\\\Tallisen\\" -> "Software\\Tallisen".
std::string normalizeKey(std::string_view key) {
  std::string out;
  size_t i = 0;
  while (i < key.size()) {
    while (i < key.size() && key[i] == '\\') ++i;
    size_t j = i;
    while (j < key.size() && key[j] != '\\') ++j;
    if (j > i) {
      if (!out.empty()) out.push_back('\\');
      out.append(key.substr(i, j - i));
    }
    i = j;
  }
  return out;
}

uint32_t crc32(std::string_view s) {
  static const auto table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : s) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

void putU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

struct Entry {
  std::string name;  // as written
  Value value;
};

struct Key {
  std::string path;  // as written
  std::map<std::string, Entry> values;  // by lower-cased name
};

// Keys by lower-cased normalized path.  The root ("") always exists.
struct Data {
  std::map<std::string, Key> keys;

  Data() { keys[""]; }

  Key* find(const std::string& normalized) {
    auto it = keys.find(cp::lowerAscii(normalized));
    return it == keys.end() ? nullptr : &it->second;
  }
  const Key* find(const std::string& normalized) const {
    auto it = keys.find(cp::lowerAscii(normalized));
    return it == keys.end() ? nullptr : &it->second;
  }

  // The key and its missing parents.  Parents come before their children in
  // a file, so the usual case is one look-up of the key and one of its
  // parent; only missing levels cost a copy of their prefix.
  Key& create(const std::string& normalized) {
    if (normalized.empty()) return keys[""];
    const std::string l = cp::lowerAscii(normalized);
    if (auto it = keys.find(l); it != keys.end()) return it->second;
    // The deepest level that exists already (0: only the root).
    size_t have = 0;
    for (size_t cut = normalized.rfind('\\'); cut != std::string::npos && cut > 0;
         cut = normalized.rfind('\\', cut - 1)) {
      if (keys.count(l.substr(0, cut))) {
        have = cut + 1;
        break;
      }
    }
    Key* k = nullptr;
    for (size_t pos = have;;) {
      const size_t next = normalized.find('\\', pos);
      const size_t end = next == std::string::npos ? normalized.size() : next;
      Key& slot = keys[l.substr(0, end)];
      if (slot.path.empty()) slot.path = normalized.substr(0, end);
      k = &slot;
      if (next == std::string::npos) break;
      pos = next + 1;
    }
    return *k;
  }

  bool erase(const std::string& normalized) {
    if (normalized.empty()) {  // the root: everything below it
      const bool any = keys.size() > 1 || !keys[""].values.empty();
      keys.clear();
      keys[""];
      return any;
    }
    const std::string l = cp::lowerAscii(normalized);
    auto it = keys.find(l);
    if (it == keys.end()) return false;
    const std::string below = l + "\\";
    it = keys.erase(it);
    while (it != keys.end() && it->first.compare(0, below.size(), below) == 0) it = keys.erase(it);
    return true;
  }
};

// Stored value in its canonical form.
Value canonical(const Value& v) {
  Value out = v;
  if (v.type == Type::DWord) {
    out.number = v.number & 0xFFFFFFFFu;
    out.data.clear();
  } else if (v.type == Type::QWord) {
    out.data.clear();
  } else {
    out.number = 0;
  }
  return out;
}

std::string serialize(const Data& d) {
  std::string p;
  uint32_t count = 0;
  for (const auto& [l, k] : d.keys)
    if (!l.empty() || !k.values.empty()) ++count;
  putU32(p, count);
  for (const auto& [l, k] : d.keys) {  // map order: parents before children
    if (l.empty() && k.values.empty()) continue;
    putU32(p, static_cast<uint32_t>(k.path.size()));
    p += k.path;
    putU32(p, static_cast<uint32_t>(k.values.size()));
    for (const auto& [ln, e] : k.values) {
      putU32(p, static_cast<uint32_t>(e.name.size()));
      p += e.name;
      putU32(p, static_cast<uint32_t>(e.value.type));
      std::string data = e.value.data;
      if (e.value.type == Type::DWord || e.value.type == Type::QWord) {
        data.clear();
        const int n = e.value.type == Type::DWord ? 4 : 8;
        for (int i = 0; i < n; ++i) data.push_back(static_cast<char>((e.value.number >> (8 * i)) & 0xFF));
      }
      putU32(p, static_cast<uint32_t>(data.size()));
      p += data;
    }
  }
  std::string out(kMagic, sizeof kMagic);
  putU32(out, kVersion);
  putU32(out, 0);
  putU32(out, static_cast<uint32_t>(p.size()));
  putU32(out, crc32(p));
  return out + p;
}

class Reader {
 public:
  explicit Reader(std::string_view s) : s_(s) {}
  bool u32(uint32_t& v) {
    if (s_.size() - pos_ < 4) return false;
    v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>(s_[pos_ + i]);
    pos_ += 4;
    return true;
  }
  bool bytes(std::string& out) {
    uint32_t n;
    if (!u32(n) || n > s_.size() - pos_) return false;
    out.assign(s_.substr(pos_, n));
    pos_ += n;
    return true;
  }
  bool atEnd() const { return pos_ == s_.size(); }

 private:
  std::string_view s_;
  size_t pos_ = 0;
};

// Parses a whole file; false with the reason when it is not a valid hive.
bool parse(std::string_view file, Data& out, std::string& why) {
  out = Data();
  if (file.empty()) return true;  // an empty file holds no values to lose
  if (file.size() > kMaxHiveBytes) return why = "the file is too large", false;
  if (file.size() < kHeaderSize) return why = "the file is too short", false;
  if (std::memcmp(file.data(), kMagic, sizeof kMagic) != 0) return why = "not a hive file", false;
  Reader head(file.substr(sizeof kMagic, kHeaderSize - sizeof kMagic));
  uint32_t version, flags, length, crc;
  head.u32(version), head.u32(flags), head.u32(length), head.u32(crc);
  if (version != kVersion) return why = "unknown hive version " + std::to_string(version), false;
  if (flags != 0) return why = "unknown flags", false;
  if (length != file.size() - kHeaderSize) return why = "the file is truncated or has extra bytes", false;
  const std::string_view payload = file.substr(kHeaderSize);
  if (crc32(payload) != crc) return why = "checksum mismatch", false;
  Reader r(payload);
  uint32_t keyCount;
  size_t values = 0;
  std::set<std::string> seen;
  if (!r.u32(keyCount)) return why = "missing key count", false;
  for (uint32_t i = 0; i < keyCount; ++i) {
    std::string path;
    uint32_t valueCount;
    if (!r.bytes(path) || !r.u32(valueCount)) return why = "key record cut off", false;
    if (!keyWithinBounds(path)) return why = "a key path beyond sane bounds", false;
    if (normalizeKey(path) != path) return why = "malformed key path", false;
    if (!seen.insert(cp::lowerAscii(path)).second) return why = "duplicate key " + path, false;
    Key& k = out.create(path);
    k.path = path;
    if (out.keys.size() - 1 > kMaxHiveKeys) return why = "more keys than a hive may hold", false;
    if ((values += valueCount) > kMaxHiveValues) return why = "more values than a hive may hold", false;
    for (uint32_t j = 0; j < valueCount; ++j) {
      std::string name, data;
      uint32_t type;
      if (!r.bytes(name) || !r.u32(type) || !r.bytes(data)) return why = "value record cut off", false;
      if (name.size() > kMaxValueName) return why = "a value name beyond sane bounds", false;
      Value v;
      v.type = static_cast<Type>(type);
      switch (v.type) {
        case Type::String:
        case Type::Binary:
          v.data = std::move(data);
          break;
        case Type::DWord:
        case Type::QWord:
          if (data.size() != (v.type == Type::DWord ? 4u : 8u)) return why = "bad number size", false;
          for (size_t b = data.size(); b-- > 0;) v.number = (v.number << 8) | static_cast<unsigned char>(data[b]);
          break;
        default:
          return why = "unknown value type " + std::to_string(type), false;
      }
      auto [it, fresh] = k.values.try_emplace(cp::lowerAscii(name), Entry{name, std::move(v)});
      if (!fresh) return why = "duplicate value " + name, false;
    }
  }
  if (!r.atEnd()) return why = "bytes after the last key", false;
  return true;
}

// An exclusive lock on path + ".lock", held for the lifetime of the object.
class FileLock {
 public:
  explicit FileLock(const std::string& path) {
    fd_ = ::open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd_ < 0) {
      error_ = std::string("cannot create the lock file: ") + std::strerror(errno);
      return;
    }
    // Bounded wait: a writer holds the lock for milliseconds only.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
        error_ = errno == EWOULDBLOCK ? "the hive stays locked by another program"
                                      : std::string("cannot lock the hive: ") + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  bool locked() const { return fd_ >= 0; }
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  std::string error_;
};

enum class OpKind { SetValue, DeleteValue, CreateKey, DeleteKey };

struct Op {
  OpKind kind;
  std::string key;  // normalized
  std::string name;
  Value value;
};

void apply(Data& d, const Op& op) {
  switch (op.kind) {
    case OpKind::SetValue: {
      Key& k = d.create(op.key);
      auto& slot = k.values[cp::lowerAscii(op.name)];
      slot.name = op.name;
      slot.value = op.value;
      break;
    }
    case OpKind::DeleteValue:
      if (Key* k = d.find(op.key)) k->values.erase(cp::lowerAscii(op.name));
      break;
    case OpKind::CreateKey:
      d.create(op.key);
      break;
    case OpKind::DeleteKey:
      d.erase(op.key);
      break;
  }
}

bool withinBounds(const Data& d, size_t bytes) {
  if (bytes > kMaxHiveBytes || d.keys.size() - 1 > kMaxHiveKeys) return false;
  size_t values = 0;
  for (const auto& [l, k] : d.keys) values += k.values.size();
  return values <= kMaxHiveValues;
}

enum class Read { Ok, Failed, TooLarge };

// The file's bytes; one larger than a hive may be is not read at all.
Read readHive(const std::string& path, std::string& bytes, std::string& why) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && st.st_size > static_cast<off_t>(kMaxHiveBytes)) {
    why = "the file is too large";
    return Read::TooLarge;
  }
  return paths::readFile(path, bytes, &why) ? Read::Ok : Read::Failed;
}

bool setErr(std::string* err, const std::string& msg) {
  if (err) *err = msg;
  return false;
}

}  // namespace

struct Hive::Impl {
  Data data;
  std::vector<Op> pending;

  void record(Op op) {
    if (!keyWithinBounds(op.key) || op.name.size() > kMaxValueName) return;  // would not read back
    apply(data, op);
    pending.push_back(std::move(op));
  }
};

Hive::Hive(std::string path) : path_(std::move(path)), d_(new Impl) {}

Hive::~Hive() { delete d_; }

bool Hive::load(std::string* err) {
  d_->pending.clear();
  d_->data = Data();
  corrupt_ = false;
  if (path_.empty()) return true;
  std::string bytes, why;
  if (::access(path_.c_str(), F_OK) != 0 && (errno == ENOENT || errno == ENOTDIR)) return true;  // no hive yet
  const Read got = readHive(path_, bytes, why);
  if (got == Read::Failed) {
    corrupt_ = true;
    return setErr(err, "the settings file cannot be read (" + why + ")");
  }
  if (got == Read::TooLarge || !parse(bytes, d_->data, why)) {
    d_->data = Data();
    corrupt_ = true;
    return setErr(err, "the settings file " + path_ + " is damaged (" + why + "); it is left untouched");
  }
  return true;
}

bool Hive::keyExists(const std::string& key) const { return d_->data.find(normalizeKey(key)) != nullptr; }

std::vector<std::string> Hive::subkeys(const std::string& key) const {
  std::vector<std::string> out;
  const std::string norm = normalizeKey(key);
  if (!d_->data.find(norm)) return out;
  const std::string prefix = norm.empty() ? std::string() : cp::lowerAscii(norm) + "\\";
  for (auto it = d_->data.keys.lower_bound(prefix); it != d_->data.keys.end(); ++it) {
    const std::string& l = it->first;
    if (l.compare(0, prefix.size(), prefix) != 0) break;
    if (l.size() == prefix.size()) continue;  // the key itself (root)
    if (l.find('\\', prefix.size()) != std::string::npos) continue;
    out.push_back(it->second.path.substr(prefix.size()));
  }
  return out;
}

std::vector<std::string> Hive::valueNames(const std::string& key) const {
  std::vector<std::string> out;
  if (const Key* k = d_->data.find(normalizeKey(key)))
    for (const auto& [l, e] : k->values) out.push_back(e.name);
  return out;
}

std::optional<Value> Hive::value(const std::string& key, const std::string& name) const {
  const Key* k = d_->data.find(normalizeKey(key));
  if (!k) return std::nullopt;
  auto it = k->values.find(cp::lowerAscii(name));
  if (it == k->values.end()) return std::nullopt;
  return it->second.value;
}

bool Hive::getString(const std::string& key, const std::string& name, std::string& out) const {
  auto v = value(key, name);
  if (!v || v->type != Type::String) return false;
  out = v->data;
  return true;
}

void Hive::createKey(const std::string& key) { d_->record({OpKind::CreateKey, normalizeKey(key), {}, {}}); }

void Hive::setValue(const std::string& key, const std::string& name, const Value& v) {
  d_->record({OpKind::SetValue, normalizeKey(key), name, canonical(v)});
}

void Hive::setString(const std::string& key, const std::string& name, const std::string& s) {
  setValue(key, name, Value{Type::String, s, 0});
}

void Hive::setDWord(const std::string& key, const std::string& name, uint32_t n) {
  setValue(key, name, Value{Type::DWord, {}, n});
}

void Hive::setBinary(const std::string& key, const std::string& name, const std::string& bytes) {
  setValue(key, name, Value{Type::Binary, bytes, 0});
}

bool Hive::deleteValue(const std::string& key, const std::string& name) {
  const std::string norm = normalizeKey(key);
  const Key* k = d_->data.find(norm);
  if (!k || !k->values.count(cp::lowerAscii(name))) return false;
  d_->record({OpKind::DeleteValue, norm, name, {}});
  return true;
}

bool Hive::deleteKey(const std::string& key) {
  const std::string norm = normalizeKey(key);
  if (!d_->data.find(norm)) return false;
  d_->record({OpKind::DeleteKey, norm, {}, {}});
  return true;
}

bool Hive::save(std::string* err) { return commit(nullptr, err); }

bool Hive::update(const std::function<void(Hive&)>& edit, std::string* err) { return commit(&edit, err); }

bool Hive::commit(const std::function<void(Hive&)>* edit, std::string* err) {
  if (path_.empty()) {
    if (edit) (*edit)(*this);
    d_->pending.clear();
    return true;
  }
  if (corrupt_)
    return setErr(err, "the settings file " + path_ + " is damaged or unreadable; it is not overwritten");
  std::string why;
  if (!paths::makeDirs(paths::parentDir(path_), &why)) return setErr(err, "cannot save the settings: " + why);
  FileLock lock(path_);
  if (!lock.locked()) return setErr(err, "cannot save the settings: " + lock.error());
  Data merged;
  if (::access(path_.c_str(), F_OK) == 0) {
    std::string bytes;
    const Read got = readHive(path_, bytes, why);
    if (got == Read::Failed) return setErr(err, "cannot save the settings: " + why);
    if (got == Read::TooLarge || !parse(bytes, merged, why)) {
      corrupt_ = true;
      return setErr(err, "the settings file " + path_ + " is damaged (" + why + "); it is not overwritten");
    }
  }
  for (const Op& op : d_->pending) apply(merged, op);
  // edit works on the merged state; its own changes are undone on failure.
  Data before;
  const size_t ownOps = d_->pending.size();
  if (edit) {
    before = std::exchange(d_->data, std::move(merged));
    (*edit)(*this);
  }
  Data& out = edit ? d_->data : merged;
  auto fail = [&](const std::string& msg) {
    if (edit) {
      d_->data = std::move(before);
      d_->pending.resize(ownOps);
    }
    return setErr(err, msg);
  };
  const std::string bytes = serialize(out);
  if (!withinBounds(out, bytes.size()))
    return fail("cannot save the settings: they would grow beyond what a settings file may hold");
  if (!paths::atomicWriteFile(path_, bytes, &why)) return fail("cannot save the settings: " + why);
  if (!edit) d_->data = std::move(merged);
  d_->pending.clear();
  return true;
}

bool Hive::writable() const {
  if (path_.empty()) return true;
  if (corrupt_) return false;
  if (::access(path_.c_str(), F_OK) == 0 && ::access(path_.c_str(), W_OK) != 0) return false;
  // The nearest folder that exists must take new files (temporary, lock).
  std::string dir = paths::parentDir(path_);
  while (!paths::dirExists(dir)) {
    if (::access(dir.c_str(), F_OK) == 0) return false;  // a file in the way
    const std::string up = paths::parentDir(dir);
    if (up == dir) return false;
    dir = up;
  }
  return ::access(dir.c_str(), W_OK | X_OK) == 0;
}

std::string userHivePath() {
  if (const char* p = std::getenv("TALLISEN_USER_HIVE"); p && *p) return p;
  std::string base;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') {
    base = x;
  } else {
    const char* home = std::getenv("HOME");
    base = std::string(home && *home ? home : "/tmp") + "/.config";
  }
  if (base.back() == '/') base.pop_back();
  return base + "/tallisen/user.hive";
}

std::string machineHivePath() {
  if (const char* p = std::getenv("TALLISEN_MACHINE_HIVE"); p && *p) return p;
  return "/var/lib/tallisen/machine.hive";
}

}  // namespace tl::reg
