// The filter store: which filters are registered, with which merit and pins,
// and where each filter's module lies.  It lives in two hives of the registry
// layer: the machine hive (written only by those who may change the
// machine's registrations) and the user hive (read as a second place for
// class entries and filters).
//
//   Software\Classes\CLSID\{class}                 default value: the name
//   Software\Classes\CLSID\{class}\InprocServer32  default value: module path,
//                                                   kept as written (an
//                                                   environment reference
//                                                   such as %VAR% stays)
//   Software\Classes\CLSID\{category}\Instance\{class}
//       "FriendlyName" (string), "CLSID" (string), "FilterData" (binary,
//       see filterdata.h)
//
// Every call reads the hive files afresh and every change is saved at once,
// so modules that register themselves through the module interface (see
// filterhost.h) and the tool always see the same store.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/filters/filterdata.h"
#include "platform/filters/guid.h"
#include "platform/registry/registry.h"

namespace tl::flt {

// Results in the usual form: negative is failure; kFalse is success with
// nothing to give.
using HResult = int32_t;
constexpr HResult kOk = 0;
constexpr HResult kFalse = 1;
constexpr HResult kFail = static_cast<HResult>(0x80004005u);
constexpr HResult kNotFound = static_cast<HResult>(0x80070002u);
constexpr HResult kAccessDenied = static_cast<HResult>(0x80070005u);
constexpr HResult kInvalidData = static_cast<HResult>(0x8007000Du);
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);
inline bool failed(HResult r) { return r < 0; }

// Why the last change of the store in this process failed: the file that
// could not be read or written, which of the two, and the system's reason.
// Empty when none failed since clearStoreFault().
struct StoreFault {
  std::string file;
  std::string reason;
  bool writing = false;  // saving failed (else loading)
  bool empty() const { return file.empty() && reason.empty(); }
};
StoreFault lastStoreFault();
void clearStoreFault();

// The values of one registered filter, as the enumerations hand them out.
struct PropertyBag {
  std::string key;  // the instance key
  std::map<std::string, reg::Value> values;
  bool readString(const std::string& name, std::string& out) const;
  bool readBytes(const std::string& name, std::string& out) const;
};

std::string classKey(const Guid& clsid);
std::string instanceKey(const Guid& category, const Guid& clsid);

class FilterStore {
 public:
  // Hives at reg::machineHivePath() and reg::userHivePath(), taken at each call.
  FilterStore() = default;
  FilterStore(std::string machineHive, std::string userHive);

  // Whether the store can be read at all; false (with a reason) when the
  // machine hive exists but is unreadable or corrupt.
  bool open(std::string* err = nullptr) const;
  // Whether changes can be saved (write access to the machine hive).
  bool canWrite() const;

  // Keeps the machine hive in memory from here on: reads and changes use it
  // and nothing is saved until commit(), which writes every change at once
  // (a module registering hundreds of filters saves once, not hundreds of
  // times).  Copies of this store share the held hive.
  void beginBatch();
  // Saves the held hive's changes and stops holding it.  Without a batch: kOk.
  HResult commit();
  // Stops holding the hive without saving (after a batch of reads only).
  void discard() { held_.reset(); }
  bool inBatch() const { return held_ != nullptr; }

  // Filters of the legacy filter category that match, highest merit first.
  // A type pair matches when each identifier of the query is GUID_NULL or
  // equal to the pin's; with exactMatch false a GUID_NULL registered on the
  // pin matches any query too.  inputNeeded / outputNeeded ask for an input /
  // output pin with a matching type (any type when the list is empty); render
  // asks that this input pin be rendered.  flags: no bits are defined (0).
  // Filters whose data cannot be parsed are left out.
  HResult enumMatchingFilters(std::vector<PropertyBag>& out, uint32_t flags, bool exactMatch,
                              uint32_t minMerit, bool inputNeeded,
                              const std::vector<MediaTypePair>& inputTypes, bool render,
                              bool outputNeeded,
                              const std::vector<MediaTypePair>& outputTypes) const;

  // Every filter of a category in store order (machine hive, then the user
  // hive's own).  kFalse with an empty list when the category holds none.
  HResult createClassEnumerator(const Guid& category, std::vector<PropertyBag>& out) const;

  // Writes (or overwrites) a filter's instance in the machine hive.
  HResult registerFilter(const Guid& clsid, const std::string& name, const Guid& category,
                         const RegFilter2& filter);
  // Removes the instance from every hive that holds it; kNotFound when none does.
  HResult unregisterFilter(const Guid& category, const Guid& clsid);

  // The class entry with its module path (machine hive).
  HResult registerServer(const Guid& clsid, const std::string& name, const std::string& path);
  HResult unregisterServer(const Guid& clsid);
  // The module path of a class: machine hive, then user hive; kNotFound when
  // neither has it.
  HResult serverPath(const Guid& clsid, std::string& path) const;

 private:
  std::string machinePath() const;
  std::string userPath() const;
  // The machine hive: the held one in a batch, else read afresh.  *ok false
  // when it is damaged or unreadable (the reason is noted as the fault).
  std::shared_ptr<reg::Hive> machineHive(bool* ok = nullptr) const;
  // Saves a changed machine hive (nothing in a batch); notes the fault.
  HResult saveMachine(reg::Hive& h);
  std::shared_ptr<reg::Hive> held_;
  bool heldOk_ = false;
  bool fixed_ = false;
  std::string machine_, user_;
};

}  // namespace tl::flt
