#include "core/wordreview.h"

#include "core/worddue.h"
#include "platform/codepage/codepage.h"

namespace tl::word {

bool Review::start(const std::string& path, Mode mode, const std::string& currentWork, std::string* err) {
  release();
  WordFile f;
  if (!readWordFile(path, f, err)) return false;
  sortLines(f.lines, f.utf8());
  file_ = std::move(f);
  path_ = path;
  mode_ = mode;
  if (!currentWork.empty()) work_ = encodeWork(cp::utf8ToAnsi(currentWork));
  loaded_ = true;
  return true;
}

void Review::release() {
  file_ = WordFile{};
  path_.clear();
  work_.reset();
  loaded_ = false;
  index_ = -1;
  record_.reset();
  nextlevel_ = 0;
  changes_.clear();
}

bool Review::due(const Record& r, const Stamp& now) {
  if (mode_ == Mode::CurrentWork && (!work_ || file_.toAnsi(r.work()) != *work_)) return false;
  Due d = reviewAt(r.level, r.when, now);
  if (d.due) nextlevel_ = d.nextlevel;
  return d.due;
}

bool Review::advance(const Stamp& now) {
  record_.reset();
  while (loaded_ && index_ + 1 < count()) {
    ++index_;
    std::optional<Record> r = wordread(file_.lines[index_]);
    if (r && due(*r, now)) {
      record_ = std::move(r);
      return true;
    }
  }
  return false;
}

bool Review::ok(const Stamp& now) {
  if (record_) {
    record_->fields[7] = std::to_string(nextlevel_);
    std::string line = joinCommaText(record_->fields);
    changes_.push_back({file_.lines[index_], line});
    file_.lines[index_] = line;
  }
  return advance(now);
}

bool Review::remove(const Stamp& now) {
  if (record_) {
    changes_.push_back({file_.lines[index_], std::nullopt});
    file_.lines.erase(file_.lines.begin() + index_);
    --index_;
  }
  return advance(now);
}

bool Review::save(std::string* err) {
  if (!loaded_) return true;
  if (!saveChanges(path_, changes_, file_.enc, err)) return false;
  release();
  return true;
}

std::string Review::word() const { return record_ ? file_.toAnsi(record_->wordText()) : std::string(); }
std::string Review::translation() const { return record_ ? file_.toAnsi(record_->trans()) : std::string(); }
std::string Review::sentence() const {
  return record_ ? sentenceForDisplay(file_.toAnsi(record_->sentence())) : std::string();
}

std::string Review::workLabel() const {
  if (!record_) return {};
  std::string work = decodeWork(file_.toAnsi(record_->work()));
  const size_t dot = work.rfind('.');
  if (dot != std::string::npos) work.erase(dot);
  return work + " " + std::to_string((record_->slot + 1) / 2);
}

bool Review::isWork(const std::string& srtname) const {
  return record_ && !srtname.empty() &&
         file_.toAnsi(record_->work()) == encodeWork(cp::utf8ToAnsi(srtname));
}

std::optional<ttime> replayTime(const Lesson& L, const Review& r, int32_t backmore, bool mediumOpen) {
  if (!L.srtloaded || !mediumOpen || r.atEnd() || !r.isWork(L.srtname)) return std::nullopt;
  const int32_t slot = r.slot();
  if (!L.validSlot(slot) || slot >= (int32_t)L.subtime.size()) return std::nullopt;
  const ttime t = L.subtime[slot] - (ttime)backmore * 10;
  return t < 0 ? 0 : t;
}

}  // namespace tl::word
