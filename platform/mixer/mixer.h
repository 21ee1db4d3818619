// Mixer devices: their lines (destinations such as the speakers or the
// recording input, and the sources that feed them) and the controls of each
// line (volume, mute, input selection), read and set as numbers.
//
// The layer's model: a device has destinations 0..n-1; each destination
// line has connections (source lines) 0..m-1.  A line has channels and
// controls; a control's values ("details") are one 32-bit value per channel
// (one when the control is uniform) times its items (for a multiple control
// such as an input selector: one boolean per choice).  Volumes run 0..65535.
//
// Results are codes; 0 is success (the numbers are those the mixer
// component reports).  Change notifications arrive on the thread that opened
// the device, through the callbacks of MixerDevice, never from another
// thread.
//
// AlsaMixerSystem (alsamixer.cpp, makeSystemMixer()) is the real backend on
// ALSA's simple mixer elements; FakeMixerSystem (fakemixer.h) is scripted.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tl::mixer {

using Result = uint32_t;
enum : Result {
  ok = 0,
  err_baddeviceid = 2,
  err_invalhandle = 5,
  err_nodriver = 6,
  err_nomem = 7,
  err_invalflag = 10,
  err_invalparam = 11,
  err_invalline = 1024,
  err_invalcontrol = 1025,
};

// Line component types: destinations 0..8, sources 0x1000..0x100A.
enum : uint32_t {
  dst_undefined = 0, dst_digital, dst_line, dst_monitor, dst_speakers, dst_headphones,
  dst_telephone, dst_wavein, dst_voicein,
  src_undefined = 0x1000, src_digital, src_line, src_microphone, src_synthesizer,
  src_compactdisc, src_telephone, src_pcspeaker, src_waveout, src_auxiliary, src_analog,
};

// Control types, in the order the mixer component names them (30 kinds).
enum : uint32_t {
  ctl_custom = 0, ctl_bass, ctl_equalizer, ctl_fader, ctl_treble, ctl_volume, ctl_mixer,
  ctl_multipleselect, ctl_mux, ctl_singleselect, ctl_booleanmeter, ctl_peakmeter,
  ctl_signedmeter, ctl_unsignedmeter, ctl_decibels, ctl_percent, ctl_signed, ctl_unsigned,
  ctl_pan, ctl_qsoundpan, ctl_slider, ctl_boolean, ctl_button, ctl_loudness, ctl_mono,
  ctl_mute, ctl_onoff, ctl_stereoenh, ctl_microtime, ctl_millitime,
  ctl_count,
};

// Control flags.
enum : uint32_t { ctlf_uniform = 0x1, ctlf_multiple = 0x2, ctlf_disabled = 0x80000000u };

struct DeviceCaps {
  std::string name;
  uint32_t destinations = 0;
};

struct LineInfo {
  uint32_t destination = 0;  // destination number
  uint32_t source = 0;       // source number (for a source line)
  uint32_t lineId = 0;
  uint32_t componentType = 0;
  uint32_t channels = 0;
  uint32_t connections = 0;  // sources of a destination
  uint32_t controls = 0;
  std::string name, shortName;
  uint32_t targetType = 0;   // 0 none, 1 wave out, 2 wave in
  std::string targetName;
};

struct ControlInfo {
  uint32_t controlId = 0;
  uint32_t type = ctl_custom;
  uint32_t flags = 0;
  uint32_t multipleItems = 0;
  std::string name, shortName;
  std::array<int32_t, 6> bounds{};    // minimum, maximum, ...
  std::array<uint32_t, 6> metrics{};  // steps, ...
};

struct ListText {
  uint32_t param1 = 0, param2 = 0;
  std::string name;
};

// One open mixer device.  Closing = destroying it.
class MixerDevice {
 public:
  virtual ~MixerDevice() = default;
  // The destination's own line (source < 0) or one of its sources.
  virtual Result line(uint32_t destination, int32_t source, LineInfo& out) = 0;
  // Every control of a line.
  virtual Result controls(uint32_t lineId, std::vector<ControlInfo>& out) = 0;
  // channels x items values, channel-major within each item.
  virtual Result getDetails(uint32_t controlId, uint32_t channels, uint32_t items,
                            std::vector<int32_t>& values) = 0;
  virtual Result setDetails(uint32_t controlId, uint32_t channels, uint32_t items,
                            const std::vector<int32_t>& values) = 0;
  virtual Result listTexts(uint32_t controlId, uint32_t channels, uint32_t items,
                           std::vector<ListText>& out) = 0;

  // Raised on the opening thread when a line or a control value changed.
  std::function<void(uint32_t lineId)> onLineChange;
  std::function<void(uint32_t controlId)> onControlChange;
};

class MixerSystem {
 public:
  virtual ~MixerSystem() = default;
  virtual uint32_t deviceCount() = 0;
  virtual Result caps(uint32_t device, DeviceCaps& out) = 0;
  virtual Result open(uint32_t device, std::unique_ptr<MixerDevice>& out) = 0;
};

// ALSA: "default" (the sound server's mixer) first, then every card.
std::unique_ptr<MixerSystem> makeSystemMixer();

// Volume mapping between an element's range and 0..65535 (rounded).
uint32_t toUnit(long raw, long min, long max);
long fromUnit(uint32_t unit, long min, long max);

// Source line type of an element, by its name ("Mic" -> src_microphone...).
uint32_t sourceTypeOf(const std::string& elementName);

}  // namespace tl::mixer
