// The mixer component: opens every mixer device, collects the lines and
// controls that match its target sets, reads and sets volume, balance, mute
// and raw control values, and reports line and control changes.
//
// TMixer owns its devices (TMixerDev), each device its lines (TMixerItem)
// and their controls (TMixerCtrl).  Scanning never throws (what fails is
// skipped); the detail operations throw EMixerError.  User-interface thread
// only: changes arrive there through the mixer layer.
#pragma once

#include "platform/mixer/mixer.h"

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tl {

// A set over an enumeration of at most 64 values.
template <class E>
class EnumSet {
 public:
  EnumSet() = default;
  EnumSet(std::initializer_list<E> l) {
    for (E e : l) include(e);
  }
  bool has(E e) const { return (bits_ >> unsigned(e)) & 1u; }
  void include(E e) { bits_ |= uint64_t(1) << unsigned(e); }
  void exclude(E e) { bits_ &= ~(uint64_t(1) << unsigned(e)); }
  bool empty() const { return bits_ == 0; }
  bool operator==(const EnumSet&) const = default;

 private:
  uint64_t bits_ = 0;
};

enum TMixerLineType {
  ltUndefined, ltDigital, ltLine, ltMicrophone, ltSynthesizer, ltCompactDisk, ltTelephone,
  ltPcSpeaker, ltWaveOut, ltAuxiliary, ltAnalog, ltUnknown, dtUndefined, dtDigital, dtLine,
  dtMonitor, dtSpeakers, dtHeadphones, dtTelephone, dtWaveIn, dtVoiceIn,
};
using TMixerLineTypes = EnumSet<TMixerLineType>;

enum TMixerControlType {
  ctCustom, ctBass, ctEqualizer, ctFader, ctTreble, ctVolume, ctMixer, ctMultipleSelect, ctMux,
  ctSingleSelect, ctBooleanMeter, ctPeakMeter, ctSignedMeter, ctUnsignedMeter, ctDecibels,
  ctPercent, ctSigned, ctUnsigned, ctPan, ctQsoundPan, ctSlider, ctBoolean, ctButton,
  ctLoudness, ctMono, ctMute, ctOnOff, ctStereoEnh, ctMicroTime, ctMilliTime, ctUnknown,
};
using TMixerControlTypes = EnumSet<TMixerControlType>;

enum TMixerOption {
  moNoDeviceName, moNoLineName, moNoLineShortName, moNoControlName, moNoControlShortName,
  moNoTargetName, moNoControlBounds, moNoControlMetrics, moNoBalanceAutoUpdate,
};
using TMixerOptions = EnumSet<TMixerOption>;

enum TMixerControlFlag { cfDisabled, cfMultiple, cfUniform };
using TMixerControlFlags = EnumSet<TMixerControlFlag>;

enum TMixerDetailKind { dkBoolean, dkSigned, dkUnsigned, dkListText };
using TMixerDetailKinds = EnumSet<TMixerDetailKind>;

TMixerLineType LineTypeOf(uint32_t componentType);
TMixerControlType ControlTypeOf(uint32_t controlType);
TMixerControlFlags ControlFlagsOf(uint32_t flags);
TMixerDetailKinds DetailKinds(TMixerControlType t);

class TMixer;
class TMixerDev;
class TMixerItem;
class TMixerCtrl;

// One list-text record: two parameters and a name of up to 63 bytes.
struct TMixerListText {
  uint32_t dwParam1 = 0, dwParam2 = 0;
  std::array<char, 64> szName{};
};

class EMixerError : public std::runtime_error {
 public:
  EMixerError(const std::string& msg, uint32_t code, TMixerCtrl* ctrl)
      : std::runtime_error(msg), ErrorCode(code), Control(ctrl) {}
  uint32_t ErrorCode;
  TMixerCtrl* Control;
};

// The message of a result code (UTF-8), + "(" + control name + ")" with a control.
std::string MixerErrorText(uint32_t code, const TMixerCtrl* ctrl = nullptr);
// Code 0 is success; otherwise false, or EMixerError when raise is set.
bool CheckResult(uint32_t code, bool raise, TMixerCtrl* ctrl = nullptr);

class TMixerTarget {
 public:
  TMixerLineTypes LineType{ltLine, ltSynthesizer, ltCompactDisk, ltWaveOut, dtSpeakers, dtWaveIn};
  TMixerControlTypes ControlType{ctVolume, ctMute};
};

class TMixerCtrl {
 public:
  virtual ~TMixerCtrl() = default;
  TMixerItem* Item = nullptr;
  uint32_t ControlID = 0;
  TMixerControlType ControlType = ctUnknown;
  TMixerControlFlags Flags;
  uint32_t MultipleItems = 0;
  std::string Name, ShortName;
  std::optional<std::array<int32_t, 6>> Bounds;
  std::optional<std::array<uint32_t, 6>> Metrics;
};

class TMixerItem {
 public:
  virtual ~TMixerItem() = default;
  TMixerDev* Dev = nullptr;
  int FirstControl = -1;
  uint32_t Channels = 1;
  uint32_t LineID = 0;
  TMixerLineType LineType = ltUnknown;
  TMixerItem* Destination = nullptr;
  uint32_t DestIndex = 0;
  std::string Name, ShortName;
  uint32_t TargetType = 0;
  std::string TargetName;
  float Ratio = 1.0f;  // balance: right / left

  virtual TMixerLineType GetLineType() const;
  virtual void GetVolume(uint32_t& ch1, uint32_t& ch2);
  virtual void SetVolume(uint32_t ch1, uint32_t ch2);
  virtual int GetVolumePercent();
  virtual void SetVolumePercent(int p);
  virtual bool GetMute();
  virtual void SetMute(bool b);
  virtual int GetBalance() const;
  virtual void SetBalance(int p);
  virtual uint32_t DetailCount(const TMixerCtrl* c) const;
  virtual void GetBooleanDetails(TMixerCtrl* c, int32_t* values, int high);
  virtual void SetBooleanDetails(TMixerCtrl* c, const int32_t* values, int high);
  virtual void GetSignedDetails(TMixerCtrl* c, int32_t* values, int high);
  virtual void SetSignedDetails(TMixerCtrl* c, const int32_t* values, int high);
  virtual void GetUnsignedDetails(TMixerCtrl* c, uint32_t* values, int high);
  virtual void SetUnsignedDetails(TMixerCtrl* c, const uint32_t* values, int high);
  virtual void GetListTexts(TMixerCtrl* c, TMixerListText* texts, int high);
  // Checks the kind; nothing is written, and the caller's records stay as
  // they were.
  virtual void SetListTexts(TMixerCtrl* c, TMixerListText* texts, int high);

  // Its first control of that type, or none.
  TMixerCtrl* ControlOf(TMixerControlType t) const;
  // Channel values (0..65535) of a percentage with the current Ratio.
  void ChannelValues(int p, uint32_t& ch1, uint32_t& ch2) const;
  // Re-derives Ratio from channel values.
  void RatioOf(uint32_t l, uint32_t r);

 private:
  void checkDetails(TMixerCtrl* c, TMixerDetailKind kind, int high) const;
  std::vector<int32_t> read(TMixerCtrl* c);
  void write(TMixerCtrl* c, const std::vector<int32_t>& v);
};

class TMixerDev {
 public:
  virtual ~TMixerDev();
  TMixer* Mixer = nullptr;
  std::string Name;
  std::unique_ptr<mixer::MixerDevice> Handle;

  int ItemCount() const { return (int)items_.size(); }
  int ControlCount() const { return (int)controls_.size(); }
  // None for an index outside.
  virtual TMixerItem* Items(int index) const;
  TMixerCtrl* Controls(int index) const;
  virtual void ClearItems();
  TMixerItem* AddItem(const mixer::LineInfo& line, TMixerItem* destination, TMixerOptions options,
                      uint32_t destIndex);
  int AddControl(const mixer::ControlInfo& c, TMixerOptions options, TMixerItem* item);
  int IndexOfItem(const TMixerItem* item) const;
  int RemoveItem(TMixerItem* item);
  TMixerCtrl* ControlByID(uint32_t id) const;
  TMixerItem* ItemByLineID(uint32_t id) const;

 private:
  std::vector<std::unique_ptr<TMixerItem>> items_;
  std::vector<std::unique_ptr<TMixerCtrl>> controls_;
};

class TMixer : public QObject {
 public:
  using ControlChangeEvent = std::function<void(TMixer*, TMixerDev*, TMixerItem*, TMixerCtrl*)>;
  using LineChangeEvent = std::function<void(TMixer*, TMixerDev*, TMixerItem*)>;

  // system: the mixer layer; nullptr = the system's (ALSA).
  explicit TMixer(QObject* owner = nullptr, std::unique_ptr<mixer::MixerSystem> system = nullptr);
  ~TMixer() override;

  bool AutoScan = true;
  bool EnableInvalidItem = false;
  TMixerTarget Target;
  TMixerOptions Options;
  ControlChangeEvent OnControlChange;
  LineChangeEvent OnLineChange;

  // After the owner is built: Scan when AutoScan is on.
  virtual void Loaded();
  virtual TMixerDev* Devices(int index) const;
  virtual TMixerDev* FirstDevice() const;
  virtual int DeviceCount() const;
  TMixerDev* DeviceByHandle(const mixer::MixerDevice* h) const;
  void ClearDevices();
  virtual void Scan();
  // Where change notifications are delivered (this component).
  virtual QObject* NotifyWindow() { return this; }

 protected:
  virtual TMixerDev* AddDevice(std::unique_ptr<mixer::MixerDevice> h, const mixer::DeviceCaps& caps,
                               TMixerOptions options);
  virtual void DoControlChange(mixer::MixerDevice* h, uint32_t controlId);
  virtual void DoLineChange(mixer::MixerDevice* h, uint32_t lineId);
  virtual std::unique_ptr<TMixerItem> CreateItem();
  virtual std::unique_ptr<TMixerDev> CreateDevice();
  virtual std::unique_ptr<TMixerCtrl> CreateControl(TMixerItem* item);

  friend class TMixerDev;

 private:
  std::unique_ptr<mixer::MixerSystem> system_;
  std::vector<std::unique_ptr<TMixerDev>> devices_;
};

}  // namespace tl
