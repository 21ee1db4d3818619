// A scripted mixer for tests: devices, lines and controls as the test builds
// them, control values kept in memory, every write logged, and changes
// raised when the test says so (at once, on the calling thread).
#pragma once

#include "platform/mixer/mixer.h"

#include <map>
#include <memory>
#include <vector>

namespace tl::mixer {

struct FakeLine {
  LineInfo info;
  std::vector<ControlInfo> controls;
};

struct FakeDest {
  FakeLine line;
  std::vector<FakeLine> sources;
};

class FakeMixerDevice;

struct FakeMixerData {
  DeviceCaps caps;
  std::vector<FakeDest> dests;
  std::map<uint32_t, std::vector<int32_t>> values;   // by control id
  std::map<uint32_t, std::vector<ListText>> texts;   // by control id
  Result capsResult = ok, openResult = ok, controlsResult = ok;
  // setDetails calls: control id and the values written.
  std::vector<std::pair<uint32_t, std::vector<int32_t>>> writes;
  std::vector<FakeMixerDevice*> open;  // devices opened on this data

  // A card: "Master" (speakers, stereo: volume 1, mute 2) with the source
  // "PCM" (volume 3, stereo) and "Aux" (no control); "Capture" (recording,
  // stereo: volume 4, mute 5, mux 6 over "Mic" / "Line") with the source
  // "Mic" (mono: volume 7).  Volumes start at 32768, nothing muted, "Mic"
  // selected.
  static std::shared_ptr<FakeMixerData> standard(const std::string& name = "Fake Card");
  const FakeLine* findLine(uint32_t lineId) const;
  const ControlInfo* findControl(uint32_t controlId) const;
  // Sets a control's values as if changed from outside and raises
  // onControlChange on every open device.
  void changeControl(uint32_t controlId, std::vector<int32_t> v);
  void changeLine(uint32_t lineId);
};

class FakeMixerDevice : public MixerDevice {
 public:
  explicit FakeMixerDevice(std::shared_ptr<FakeMixerData> d);
  ~FakeMixerDevice() override;
  Result line(uint32_t destination, int32_t source, LineInfo& out) override;
  Result controls(uint32_t lineId, std::vector<ControlInfo>& out) override;
  Result getDetails(uint32_t controlId, uint32_t channels, uint32_t items,
                    std::vector<int32_t>& values) override;
  Result setDetails(uint32_t controlId, uint32_t channels, uint32_t items,
                    const std::vector<int32_t>& values) override;
  Result listTexts(uint32_t controlId, uint32_t channels, uint32_t items,
                   std::vector<ListText>& out) override;

 private:
  std::shared_ptr<FakeMixerData> d_;
};

class FakeMixerSystem : public MixerSystem {
 public:
  std::vector<std::shared_ptr<FakeMixerData>> devices;
  uint32_t deviceCount() override { return (uint32_t)devices.size(); }
  Result caps(uint32_t device, DeviceCaps& out) override;
  Result open(uint32_t device, std::unique_ptr<MixerDevice>& out) override;
};

}  // namespace tl::mixer
