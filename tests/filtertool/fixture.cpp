#include "filtertool/fixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <gtest/gtest.h>

#include "platform/modules/module.h"

namespace fx {

using namespace tl::flt;

Guid guid(const char* text) { return guidOf(text); }

const Guid kDecoder = guidOf("{5A1E0001-0000-4000-8000-00000000F001}");
const Guid kSplitter = guidOf("{5A1E0001-0000-4000-8000-00000000F002}");
const Guid kNoReg = guidOf("{5A1E0002-0000-4000-8000-00000000F003}");
const Guid kFailing = guidOf("{5A1E0003-0000-4000-8000-00000000F004}");

TempStore::TempStore()
    : oldMachine_(qgetenv("TALLISEN_MACHINE_HIVE")),
      oldUser_(qgetenv("TALLISEN_USER_HIVE")),
      oldRecords_(qgetenv("TALLISEN_RECORD_DIR")) {
  qputenv("TALLISEN_MACHINE_HIVE", QByteArray::fromStdString(machineHive()));
  qputenv("TALLISEN_USER_HIVE", QByteArray::fromStdString(userHive()));
  qputenv("TALLISEN_RECORD_DIR", dir().toUtf8());
}

TempStore::~TempStore() {
  lockMachineHive(false);
  auto restore = [](const char* name, const QByteArray& v) {
    if (v.isNull())
      qunsetenv(name);
    else
      qputenv(name, v);
  };
  restore("TALLISEN_MACHINE_HIVE", oldMachine_);
  restore("TALLISEN_USER_HIVE", oldUser_);
  restore("TALLISEN_RECORD_DIR", oldRecords_);
}

std::string TempStore::machineHive() const { return (dir() + "/machine.hive").toStdString(); }
std::string TempStore::userHive() const { return (dir() + "/user.hive").toStdString(); }
QString TempStore::recordPath(bool deleted) const {
  return dir() + (deleted ? "/deleted.bak" : "/changed.bak");
}

void TempStore::addFilter(const Guid& clsid, const std::string& name, uint32_t merit,
                          const MediaTypePair& in, const MediaTypePair& out,
                          const std::string& serverPath) {
  FilterStore s;
  RegFilter2 f;
  f.merit = merit;
  RegPin pi, po;
  pi.types.push_back(in);
  po.flags = kPinOutput;
  po.types.push_back(out);
  f.pins = {pi, po};
  ASSERT_EQ(s.registerFilter(clsid, name, CLSID_LegacyAmFilterCategory, f), kOk);
  if (!serverPath.empty()) {
    ASSERT_EQ(s.registerServer(clsid, name, serverPath), kOk);
  }
}

void TempStore::registerTwoFilters() {
  tl::mod::Module m;
  std::string err;
  ASSERT_TRUE(m.load(FX_TWO_FILTERS, &err)) << err;
  ASSERT_EQ(m.call("DllRegisterServer"), 0);
}

void TempStore::writeRecords(bool deleted, const std::string& bytes) const {
  QFile f(recordPath(deleted));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string TempStore::readRecords(bool deleted) const {
  QFile f(recordPath(deleted));
  if (!f.open(QIODevice::ReadOnly)) return "<missing>";
  return f.readAll().toStdString();
}

void TempStore::lockMachineHive(bool locked) {
  // A folder where the hive's lock file would go: every save fails (whoever
  // runs the tests, root included) while reading still works.
  const std::string lock = machineHive() + ".lock";
  if (locked) {
    ::unlink(lock.c_str());
    ::mkdir(lock.c_str(), 0755);
  } else {
    ::rmdir(lock.c_str());
  }
}

}  // namespace fx
