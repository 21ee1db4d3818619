// The optical drives of the machine.
//
// SystemDrives reads /sys/block/sr* (names from the device's vendor and
// model) and falls back on /proc/sys/dev/cdrom/info; a machine without
// drives gives an empty list.  FakeDrives answers a list set by the test.
#pragma once

#include <string>
#include <vector>

namespace tl {

struct Drive {
  std::string device;  // "/dev/sr0"
  std::string name;    // for display: "sr0 (VENDOR MODEL)", or "sr0"
};

class Drives {
 public:
  virtual ~Drives() = default;
  // Sorted by device number (sr0, sr1, ..., sr10).
  virtual std::vector<Drive> list() const = 0;
};

class SystemDrives : public Drives {
 public:
  // root: where "sys" and "proc" are found ("/" normally; tests give a
  // folder that mimics them).
  explicit SystemDrives(std::string root = "/");
  std::vector<Drive> list() const override;

 private:
  std::string root_;
};

class FakeDrives : public Drives {
 public:
  std::vector<Drive> list() const override { return drives; }
  std::vector<Drive> drives;
};

}  // namespace tl
