// Temporary stores for the filter tool's tests: the machine and user hives and
// the record folder live in a fresh temporary folder, named by the
// environment variables the tool reads.
#pragma once

#include <QString>
#include <QTemporaryDir>
#include <string>

#include "platform/filters/filterdata.h"
#include "platform/filters/filterstore.h"

namespace fx {

extern const tl::flt::Guid kDecoder;   // in two_filters.ax
extern const tl::flt::Guid kSplitter;  // in two_filters.ax
extern const tl::flt::Guid kNoReg;     // in no_register.ax
extern const tl::flt::Guid kFailing;   // in failing.ax

class TempStore {
 public:
  TempStore();
  ~TempStore();
  QString dir() const { return tmp_.path(); }
  std::string machineHive() const;
  std::string userHive() const;
  QString recordPath(bool deleted) const;
  tl::flt::FilterStore store() const { return {}; }

  // A filter of the legacy category with one input and one output pin.
  void addFilter(const tl::flt::Guid& clsid, const std::string& name, uint32_t merit,
                 const tl::flt::MediaTypePair& in, const tl::flt::MediaTypePair& out,
                 const std::string& serverPath);
  // Registers the filters of two_filters.ax through its own entry point.
  void registerTwoFilters();
  // Writes a record file's raw bytes / reads them.
  void writeRecords(bool deleted, const std::string& bytes) const;
  std::string readRecords(bool deleted) const;
  // Takes away the right to change the machine hive (saves fail, reads work).
  void lockMachineHive(bool locked);

 private:
  QTemporaryDir tmp_;
  QByteArray oldMachine_, oldUser_, oldRecords_;
};

tl::flt::Guid guid(const char* text);

}  // namespace fx
