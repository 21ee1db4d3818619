#include "platform/filters/filterstore.h"

#include <algorithm>
#include <memory>
#include <mutex>

#include "platform/codepage/ascii.h"

namespace tl::flt {

namespace {

const char kFriendlyName[] = "FriendlyName";
const char kClsidValue[] = "CLSID";
const char kFilterData[] = "FilterData";

std::mutex faultMutex;
StoreFault fault;

void noteFault(const std::string& file, const std::string& reason, bool writing) {
  std::lock_guard<std::mutex> lock(faultMutex);
  fault = {file, reason, writing};
}

std::shared_ptr<reg::Hive> loadHive(const std::string& path, bool* ok = nullptr,
                                    std::string* err = nullptr) {
  auto h = std::make_shared<reg::Hive>(path);
  bool good = h->load(err);
  if (ok) *ok = good;
  return h;
}

std::string instancesKey(const Guid& category) {
  return classKey(category) + "\\Instance";
}

PropertyBag bagOf(const reg::Hive& h, const std::string& key) {
  PropertyBag bag;
  bag.key = key;
  for (const std::string& name : h.valueNames(key))
    if (auto v = h.value(key, name)) bag.values[name] = *v;
  return bag;
}

bool idMatches(const Guid& query, const Guid& pin, bool exact) {
  return query.isNull() || query == pin || (!exact && pin.isNull());
}

bool pinMatches(const RegPin& pin, const std::vector<MediaTypePair>& types, bool exact) {
  if (types.empty()) return true;
  for (const MediaTypePair& have : pin.types)
    for (const MediaTypePair& want : types)
      if (idMatches(want.major, have.major, exact) && idMatches(want.minor, have.minor, exact))
        return true;
  return false;
}

bool hasPin(const RegFilter2& f, bool output, bool render, const std::vector<MediaTypePair>& types,
            bool exact) {
  for (const RegPin& p : f.pins) {
    if (p.isOutput() != output) continue;
    if (render && !(p.flags & kPinRendered)) continue;
    if (pinMatches(p, types, exact)) return true;
  }
  return false;
}

}  // namespace

StoreFault lastStoreFault() {
  std::lock_guard<std::mutex> lock(faultMutex);
  return fault;
}

void clearStoreFault() {
  std::lock_guard<std::mutex> lock(faultMutex);
  fault = {};
}

bool PropertyBag::readString(const std::string& name, std::string& out) const {
  auto it = values.find(name);
  if (it == values.end() || it->second.type != reg::Type::String) return false;
  out = it->second.data;
  return true;
}

bool PropertyBag::readBytes(const std::string& name, std::string& out) const {
  auto it = values.find(name);
  if (it == values.end() || it->second.type != reg::Type::Binary) return false;
  out = it->second.data;
  return true;
}

std::string classKey(const Guid& clsid) { return "Software\\Classes\\CLSID\\" + toString(clsid); }

std::string instanceKey(const Guid& category, const Guid& clsid) {
  return instancesKey(category) + "\\" + toString(clsid);
}

FilterStore::FilterStore(std::string machineHive, std::string userHive)
    : fixed_(true), machine_(std::move(machineHive)), user_(std::move(userHive)) {}

std::string FilterStore::machinePath() const { return fixed_ ? machine_ : reg::machineHivePath(); }
std::string FilterStore::userPath() const { return fixed_ ? user_ : reg::userHivePath(); }

std::shared_ptr<reg::Hive> FilterStore::machineHive(bool* ok) const {
  if (held_) {
    if (ok) *ok = heldOk_;
    return held_;
  }
  std::string err;
  bool good = false;
  auto h = loadHive(machinePath(), &good, &err);
  if (!good) noteFault(machinePath(), err, false);
  if (ok) *ok = good;
  return h;
}

HResult FilterStore::saveMachine(reg::Hive& h) {
  if (held_) return kOk;
  std::string err;
  if (h.save(&err)) return kOk;
  noteFault(h.path(), err, true);
  return kAccessDenied;
}

void FilterStore::beginBatch() {
  if (held_) return;
  std::string err;
  held_ = loadHive(machinePath(), &heldOk_, &err);
  if (!heldOk_) noteFault(machinePath(), err, false);
}

HResult FilterStore::commit() {
  if (!held_) return kOk;
  auto h = std::move(held_);
  held_.reset();
  if (!heldOk_) return kAccessDenied;
  return saveMachine(*h);
}

bool FilterStore::open(std::string* err) const {
  reg::Hive h(machinePath());
  return h.load(err);
}

bool FilterStore::canWrite() const {
  reg::Hive h(machinePath());
  return h.load() && h.writable();
}

HResult FilterStore::createClassEnumerator(const Guid& category, std::vector<PropertyBag>& out) const {
  out.clear();
  auto machine = machineHive();
  auto user = loadHive(userPath());
  const std::string key = instancesKey(category);
  std::vector<std::string> seen;
  for (const reg::Hive* h : {machine.get(), user.get()}) {
    for (const std::string& sub : h->subkeys(key)) {
      std::string id = cp::lowerAscii(sub);
      if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;
      seen.push_back(id);
      out.push_back(bagOf(*h, key + "\\" + sub));
    }
  }
  return out.empty() ? kFalse : kOk;
}

HResult FilterStore::enumMatchingFilters(std::vector<PropertyBag>& out, uint32_t flags,
                                         bool exactMatch, uint32_t minMerit, bool inputNeeded,
                                         const std::vector<MediaTypePair>& inputTypes, bool render,
                                         bool outputNeeded,
                                         const std::vector<MediaTypePair>& outputTypes) const {
  out.clear();
  if (flags != 0) return kInvalidArg;
  std::vector<PropertyBag> all;
  createClassEnumerator(CLSID_LegacyAmFilterCategory, all);
  std::vector<std::pair<uint32_t, PropertyBag>> hits;
  for (PropertyBag& bag : all) {
    std::string data;
    if (!bag.readBytes(kFilterData, data)) continue;
    auto f = parseFilterData(data);
    if (!f || f->merit < minMerit) continue;
    if (inputNeeded && !hasPin(*f, false, render, inputTypes, exactMatch)) continue;
    if (outputNeeded && !hasPin(*f, true, false, outputTypes, exactMatch)) continue;
    hits.emplace_back(f->merit, std::move(bag));
  }
  std::stable_sort(hits.begin(), hits.end(),
                   [](const auto& a, const auto& b) { return a.first > b.first; });
  for (auto& h : hits) out.push_back(std::move(h.second));
  return kOk;
}

HResult FilterStore::registerFilter(const Guid& clsid, const std::string& name,
                                    const Guid& category, const RegFilter2& filter) {
  bool ok = false;
  auto h = machineHive(&ok);
  if (!ok) return kAccessDenied;
  const std::string key = instanceKey(category, clsid);
  h->createKey(key);
  h->setString(key, kFriendlyName, name);
  h->setString(key, kClsidValue, toString(clsid));
  h->setBinary(key, kFilterData, serializeFilterData(filter));
  return saveMachine(*h);
}

HResult FilterStore::unregisterFilter(const Guid& category, const Guid& clsid) {
  const std::string key = instanceKey(category, clsid);
  bool found = false;
  for (bool machine : {true, false}) {
    bool ok = false;
    std::string err;
    auto h = machine ? machineHive(&ok) : loadHive(userPath(), &ok, &err);
    if (!h->keyExists(key)) continue;
    found = true;
    if (!ok) {
      if (!machine) noteFault(userPath(), err, false);
      return kAccessDenied;
    }
    if (!h->deleteKey(key)) return kAccessDenied;
    if (machine) {
      if (failed(saveMachine(*h))) return kAccessDenied;
    } else if (!h->save(&err)) {
      noteFault(userPath(), err, true);
      return kAccessDenied;
    }
  }
  return found ? kOk : kNotFound;
}

HResult FilterStore::registerServer(const Guid& clsid, const std::string& name,
                                    const std::string& path) {
  bool ok = false;
  auto h = machineHive(&ok);
  if (!ok) return kAccessDenied;
  const std::string key = classKey(clsid);
  h->createKey(key);
  h->setString(key, "", name);
  h->createKey(key + "\\InprocServer32");
  h->setString(key + "\\InprocServer32", "", path);
  return saveMachine(*h);
}

HResult FilterStore::unregisterServer(const Guid& clsid) {
  bool ok = false;
  auto h = machineHive(&ok);
  const std::string key = classKey(clsid);
  if (!h->keyExists(key)) return ok ? kOk : kAccessDenied;
  if (!ok || !h->deleteKey(key)) return kAccessDenied;
  return saveMachine(*h);
}

HResult FilterStore::serverPath(const Guid& clsid, std::string& path) const {
  const std::string key = classKey(clsid) + "\\InprocServer32";
  for (bool machine : {true, false}) {
    auto h = machine ? machineHive() : loadHive(userPath());
    if (!h->keyExists(key)) continue;
    // A key without a readable default value ends the look-up, as a failed
    // read of an opened key does.
    std::string value;
    if (!h->getString(key, "", value)) return kNotFound;
    path = value;
    return kOk;
  }
  return kNotFound;
}

}  // namespace tl::flt
