#include "audio/Mixers.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tl {

namespace {

bool leadByte932(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// A text as a fixed character array of `size` bytes holds it: up to the
// first zero byte (all bytes without one), without a final lone lead byte.
std::string FixedText(const std::string& s, size_t size, bool dropLead = true) {
  std::string t = s.substr(0, std::min(s.find('\0'), size));
  if (dropLead && !t.empty()) {
    // Whether the last byte starts a double-byte character.
    size_t i = 0;
    bool lastIsLead = false;
    while (i < t.size()) {
      lastIsLead = leadByte932((unsigned char)t[i]) && i + 1 == t.size();
      i += leadByte932((unsigned char)t[i]) ? 2 : 1;
    }
    if (lastIsLead) t.pop_back();
  }
  return t;
}

uint32_t roundHalfEven(double v) { return (uint32_t)std::nearbyint(v); }

}  // namespace

TMixerLineType LineTypeOf(uint32_t t) {
  if (t <= mixer::dst_voicein) return TMixerLineType(dtUndefined + t);
  if (t >= mixer::src_undefined && t <= mixer::src_analog) return TMixerLineType(ltUndefined + (t - mixer::src_undefined));
  return ltUnknown;
}

TMixerControlType ControlTypeOf(uint32_t t) {
  return t < mixer::ctl_count ? TMixerControlType(t) : ctUnknown;
}

TMixerControlFlags ControlFlagsOf(uint32_t f) {
  TMixerControlFlags r;
  if (f & mixer::ctlf_disabled) r.include(cfDisabled);
  if (f & mixer::ctlf_multiple) r.include(cfMultiple);
  if (f & mixer::ctlf_uniform) r.include(cfUniform);
  return r;
}

TMixerDetailKinds DetailKinds(TMixerControlType t) {
  TMixerDetailKinds k;
  if ((t >= ctBass && t <= ctVolume) || t == ctUnsignedMeter || t == ctPercent || t == ctUnsigned ||
      t == ctMicroTime || t == ctMilliTime)
    k.include(dkUnsigned);
  if (t == ctPeakMeter || t == ctSignedMeter || t == ctDecibels || t == ctSigned || t == ctPan ||
      t == ctQsoundPan || t == ctSlider)
    k.include(dkSigned);
  if ((t >= ctMixer && t <= ctBooleanMeter) || (t >= ctBoolean && t <= ctStereoEnh)) k.include(dkBoolean);
  if (t == ctEqualizer || t == ctMixer || t == ctMultipleSelect || t == ctMux || t == ctSingleSelect)
    k.include(dkListText);
  return k;
}

std::string MixerErrorText(uint32_t code, const TMixerCtrl* ctrl) {
  std::string m;
  switch (code) {
    case 2: m = "デバイスIDは不正です"; break;
    case 5: m = "無効なハンドルです"; break;
    case 6: m = "デバイスドライバがありません"; break;
    case 7: m = "メモリを割り当てられないかメモリをロックできません"; break;
    case 10: m = "無効なフラグです"; break;
    case 11: m = "無効なパラメータです"; break;
    case 1024: m = "無効なラインです"; break;
    case 1025: m = "無効なコントロールです"; break;
    default: m = "不明なエラー:" + std::to_string(code); break;
  }
  if (ctrl) m += "(" + ctrl->Name + ")";
  return m;
}

bool CheckResult(uint32_t code, bool raise, TMixerCtrl* ctrl) {
  if (code == 0) return true;
  if (!raise) return false;
  throw EMixerError(MixerErrorText(code, ctrl), code, ctrl);
}

// ---- TMixerItem --------------------------------------------------------

TMixerLineType TMixerItem::GetLineType() const { return Destination ? Destination->LineType : LineType; }

TMixerCtrl* TMixerItem::ControlOf(TMixerControlType t) const {
  if (!Dev || FirstControl < 0) return nullptr;
  for (int i = FirstControl; i < Dev->ControlCount(); ++i) {
    TMixerCtrl* c = Dev->Controls(i);
    if (c->Item == this && c->ControlType == t) return c;
  }
  return nullptr;
}

uint32_t TMixerItem::DetailCount(const TMixerCtrl* c) const {
  const uint32_t ch = c->Flags.has(cfUniform) ? 1 : std::max<uint32_t>(Channels, 1);
  return ch * (c->Flags.has(cfMultiple) ? c->MultipleItems : 1);
}

void TMixerItem::checkDetails(TMixerCtrl* c, TMixerDetailKind kind, int high) const {
  if (!c || c->Item != this || !DetailKinds(c->ControlType).has(kind) || high + 1 < (int)DetailCount(c))
    CheckResult(mixer::err_invalparam, true, c);
}

std::vector<int32_t> TMixerItem::read(TMixerCtrl* c) {
  std::vector<int32_t> v;
  const uint32_t ch = c->Flags.has(cfUniform) ? 1 : std::max<uint32_t>(Channels, 1);
  const uint32_t items = c->Flags.has(cfMultiple) ? c->MultipleItems : 0;
  CheckResult(Dev->Handle ? Dev->Handle->getDetails(c->ControlID, ch, items, v) : mixer::err_invalhandle, true, c);
  v.resize(DetailCount(c), 0);
  return v;
}

void TMixerItem::write(TMixerCtrl* c, const std::vector<int32_t>& v) {
  const uint32_t ch = c->Flags.has(cfUniform) ? 1 : std::max<uint32_t>(Channels, 1);
  const uint32_t items = c->Flags.has(cfMultiple) ? c->MultipleItems : 0;
  CheckResult(Dev->Handle ? Dev->Handle->setDetails(c->ControlID, ch, items, v) : mixer::err_invalhandle, true, c);
}

void TMixerItem::GetBooleanDetails(TMixerCtrl* c, int32_t* values, int high) {
  checkDetails(c, dkBoolean, high);
  std::fill(values, values + high + 1, 0);
  const auto v = read(c);
  std::copy(v.begin(), v.end(), values);
}
void TMixerItem::SetBooleanDetails(TMixerCtrl* c, const int32_t* values, int high) {
  checkDetails(c, dkBoolean, high);
  write(c, std::vector<int32_t>(values, values + DetailCount(c)));
}
void TMixerItem::GetSignedDetails(TMixerCtrl* c, int32_t* values, int high) {
  checkDetails(c, dkSigned, high);
  std::fill(values, values + high + 1, 0);
  const auto v = read(c);
  std::copy(v.begin(), v.end(), values);
}
void TMixerItem::SetSignedDetails(TMixerCtrl* c, const int32_t* values, int high) {
  checkDetails(c, dkSigned, high);
  write(c, std::vector<int32_t>(values, values + DetailCount(c)));
}
void TMixerItem::GetUnsignedDetails(TMixerCtrl* c, uint32_t* values, int high) {
  checkDetails(c, dkUnsigned, high);
  std::fill(values, values + high + 1, 0u);
  const auto v = read(c);
  for (size_t i = 0; i < v.size(); ++i) values[i] = (uint32_t)v[i];
}
void TMixerItem::SetUnsignedDetails(TMixerCtrl* c, const uint32_t* values, int high) {
  checkDetails(c, dkUnsigned, high);
  std::vector<int32_t> v(DetailCount(c));
  for (size_t i = 0; i < v.size(); ++i) v[i] = (int32_t)values[i];
  write(c, v);
}

void TMixerItem::GetListTexts(TMixerCtrl* c, TMixerListText* texts, int high) {
  checkDetails(c, dkListText, high);
  const uint32_t ch = c->Flags.has(cfUniform) ? 1 : std::max<uint32_t>(Channels, 1);
  const uint32_t items = c->Flags.has(cfMultiple) ? c->MultipleItems : 1;
  std::vector<mixer::ListText> got;
  CheckResult(Dev->Handle ? Dev->Handle->listTexts(c->ControlID, ch, items, got) : mixer::err_invalhandle, true, c);
  for (int i = 0; i <= high; ++i) texts[i] = TMixerListText{};
  for (size_t i = 0; i < got.size() && i < DetailCount(c); ++i) {
    texts[i].dwParam1 = got[i].param1;
    texts[i].dwParam2 = got[i].param2;
    const std::string n = FixedText(got[i].name, 63);
    std::memcpy(texts[i].szName.data(), n.data(), n.size());
  }
}

void TMixerItem::SetListTexts(TMixerCtrl* c, TMixerListText*, int high) { checkDetails(c, dkListText, high); }

void TMixerItem::GetVolume(uint32_t& ch1, uint32_t& ch2) {
  ch1 = ch2 = 0;
  TMixerCtrl* c = ControlOf(ctVolume);
  if (!c) return;
  const auto v = read(c);
  if (!v.empty()) ch1 = (uint32_t)v[0];
  if (v.size() > 1) ch2 = (uint32_t)v[1];
}

void TMixerItem::SetVolume(uint32_t ch1, uint32_t ch2) {
  TMixerCtrl* c = ControlOf(ctVolume);
  if (!c) return;
  const uint32_t n = DetailCount(c);
  std::vector<int32_t> v(n, 0);
  if (n > 2) v = read(c);
  if (n > 0) v[0] = (int32_t)std::min<uint32_t>(ch1, 65535);
  if (n > 1) v[1] = (int32_t)std::min<uint32_t>(ch2, 65535);
  write(c, v);
}

void TMixerItem::RatioOf(uint32_t l, uint32_t r) {
  if (Channels <= 1 || uint64_t(l) + r <= 2999) return;
  float n;
  if (l && r)
    n = float(double(r) / double(l));
  else if (l)
    n = 0;
  else
    n = 131071;
  if (std::fabs(n - Ratio) > Ratio / 1000.0f) Ratio = n;
}

int TMixerItem::GetVolumePercent() {
  if (!ControlOf(ctVolume)) return -1;
  uint32_t l = 0, r = 0;
  GetVolume(l, r);
  const bool autoUpdate = !(Dev && Dev->Mixer && Dev->Mixer->Options.has(moNoBalanceAutoUpdate));
  if (autoUpdate) RatioOf(l, r);
  return (int)roundHalfEven(std::max(l, r) / 65535.0 * 100.0);
}

void TMixerItem::ChannelValues(int p, uint32_t& ch1, uint32_t& ch2) const {
  const double v = p / 100.0 * 65535.0;
  const uint32_t rv = roundHalfEven(v);
  if (std::max<uint32_t>(Channels, 1) == 1) {
    ch1 = rv;
    ch2 = 0;
  } else if (rv == 0) {
    ch1 = ch2 = 0;
  } else if (Ratio > 1) {
    ch1 = roundHalfEven(rv / double(Ratio));
    ch2 = rv;
  } else {
    ch1 = rv;
    ch2 = roundHalfEven(double(Ratio) * rv);
  }
}

void TMixerItem::SetVolumePercent(int p) {
  TMixerCtrl* c = ControlOf(ctVolume);
  if (!c) return;
  p = std::clamp(p, 0, 100);
  uint32_t n1 = 0, n2 = 0, o1 = 0, o2 = 0;
  ChannelValues(p, n1, n2);
  GetVolume(o1, o2);
  if (n1 != o1 || (DetailCount(c) > 1 && n2 != o2)) SetVolume(n1, n2);
}

bool TMixerItem::GetMute() {
  TMixerCtrl* c = ControlOf(ctMute);
  if (!c) return false;
  const auto v = read(c);
  return !v.empty() && v[0] != 0;
}

void TMixerItem::SetMute(bool b) {
  TMixerCtrl* c = ControlOf(ctMute);
  if (!c || GetMute() == b) return;
  std::vector<int32_t> v(DetailCount(c), b ? 1 : 0);
  write(c, v);
}

int TMixerItem::GetBalance() const { return (int)roundHalfEven(Ratio / (Ratio + 1.0) * 100.0); }

void TMixerItem::SetBalance(int p) {
  const int keep = GetVolumePercent();
  if (p <= 0)
    Ratio = 0;
  else if (p < 100)
    Ratio = float(p / double(100 - p));
  else
    Ratio = 131071;
  if (keep >= 0) SetVolumePercent(keep);
}

// ---- TMixerDev ---------------------------------------------------------

TMixerDev::~TMixerDev() { ClearItems(); }

TMixerItem* TMixerDev::Items(int index) const {
  return index >= 0 && index < (int)items_.size() ? items_[index].get() : nullptr;
}

TMixerCtrl* TMixerDev::Controls(int index) const {
  return index >= 0 && index < (int)controls_.size() ? controls_[index].get() : nullptr;
}

void TMixerDev::ClearItems() {
  controls_.clear();
  items_.clear();
}

TMixerItem* TMixerDev::AddItem(const mixer::LineInfo& l, TMixerItem* destination, TMixerOptions o,
                               uint32_t destIndex) {
  std::unique_ptr<TMixerItem> it = Mixer ? Mixer->CreateItem() : std::make_unique<TMixerItem>();
  it->Dev = this;
  it->Channels = std::max<uint32_t>(l.channels, 1);
  it->LineID = l.lineId;
  it->LineType = LineTypeOf(l.componentType);
  it->Destination = destination;
  it->DestIndex = destIndex;
  if (!o.has(moNoLineName)) it->Name = FixedText(l.name, 64);
  if (!o.has(moNoLineShortName)) it->ShortName = FixedText(l.shortName, 16);
  it->TargetType = l.targetType;
  if (!o.has(moNoTargetName)) it->TargetName = FixedText(l.targetName, 32);
  items_.push_back(std::move(it));
  return items_.back().get();
}

int TMixerDev::AddControl(const mixer::ControlInfo& ci, TMixerOptions o, TMixerItem* item) {
  std::unique_ptr<TMixerCtrl> c = Mixer ? Mixer->CreateControl(item) : std::make_unique<TMixerCtrl>();
  c->Item = item;
  c->ControlID = ci.controlId;
  c->ControlType = ControlTypeOf(ci.type);
  c->Flags = ControlFlagsOf(ci.flags);
  c->MultipleItems = ci.multipleItems;
  if (!o.has(moNoControlName)) c->Name = FixedText(ci.name, 64);
  if (!o.has(moNoControlShortName)) c->ShortName = FixedText(ci.shortName, 16);
  if (!o.has(moNoControlBounds)) c->Bounds = ci.bounds;
  if (!o.has(moNoControlMetrics)) c->Metrics = ci.metrics;
  controls_.push_back(std::move(c));
  return (int)controls_.size() - 1;
}

int TMixerDev::IndexOfItem(const TMixerItem* item) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == item) return (int)i;
  return -1;
}

int TMixerDev::RemoveItem(TMixerItem* item) {
  const int i = IndexOfItem(item);
  if (i < 0) return -1;
  // Its controls go with it; the controls after them move up.
  std::erase_if(controls_, [&](const std::unique_ptr<TMixerCtrl>& c) { return c->Item == item; });
  items_.erase(items_.begin() + i);
  return i;
}

TMixerCtrl* TMixerDev::ControlByID(uint32_t id) const {
  for (const auto& c : controls_)
    if (c->ControlID == id) return c.get();
  return nullptr;
}

TMixerItem* TMixerDev::ItemByLineID(uint32_t id) const {
  for (const auto& i : items_)
    if (i->LineID == id) return i.get();
  return nullptr;
}

// ---- TMixer ------------------------------------------------------------

TMixer::TMixer(QObject* owner, std::unique_ptr<mixer::MixerSystem> system)
    : QObject(owner), system_(system ? std::move(system) : mixer::makeSystemMixer()) {}

TMixer::~TMixer() { ClearDevices(); }

void TMixer::Loaded() {
  if (AutoScan) Scan();
}

TMixerDev* TMixer::Devices(int index) const {
  return index >= 0 && index < (int)devices_.size() ? devices_[index].get() : nullptr;
}

TMixerDev* TMixer::FirstDevice() const { return Devices(0); }
int TMixer::DeviceCount() const { return (int)devices_.size(); }

TMixerDev* TMixer::DeviceByHandle(const mixer::MixerDevice* h) const {
  for (const auto& d : devices_)
    if (d->Handle.get() == h) return d.get();
  return nullptr;
}

void TMixer::ClearDevices() { devices_.clear(); }

std::unique_ptr<TMixerItem> TMixer::CreateItem() { return std::make_unique<TMixerItem>(); }
std::unique_ptr<TMixerDev> TMixer::CreateDevice() { return std::make_unique<TMixerDev>(); }
std::unique_ptr<TMixerCtrl> TMixer::CreateControl(TMixerItem* item) {
  auto c = std::make_unique<TMixerCtrl>();
  c->Item = item;
  return c;
}

TMixerDev* TMixer::AddDevice(std::unique_ptr<mixer::MixerDevice> h, const mixer::DeviceCaps& caps,
                             TMixerOptions options) {
  std::unique_ptr<TMixerDev> d = CreateDevice();
  d->Mixer = this;
  if (!options.has(moNoDeviceName)) d->Name = FixedText(caps.name, 32, false);
  mixer::MixerDevice* raw = h.get();
  raw->onControlChange = [this, raw](uint32_t id) { DoControlChange(raw, id); };
  raw->onLineChange = [this, raw](uint32_t id) { DoLineChange(raw, id); };
  d->Handle = std::move(h);
  devices_.push_back(std::move(d));
  return devices_.back().get();
}

void TMixer::DoControlChange(mixer::MixerDevice* h, uint32_t controlId) {
  if (!OnControlChange) return;
  TMixerDev* d = DeviceByHandle(h);
  if (!d) return;
  TMixerCtrl* c = d->ControlByID(controlId);
  if (c && c->Item) OnControlChange(this, d, c->Item, c);
}

void TMixer::DoLineChange(mixer::MixerDevice* h, uint32_t lineId) {
  if (!OnLineChange) return;
  TMixerDev* d = DeviceByHandle(h);
  if (!d) return;
  if (TMixerItem* i = d->ItemByLineID(lineId)) OnLineChange(this, d, i);
}

void TMixer::Scan() {
  ClearDevices();
  const uint32_t n = system_->deviceCount();
  for (uint32_t dn = 0; dn < n; ++dn) {
    mixer::DeviceCaps caps;
    std::unique_ptr<mixer::MixerDevice> h;
    if (!CheckResult(system_->caps(dn, caps), false) || !CheckResult(system_->open(dn, h), false) || !h) continue;
    TMixerDev* dev = AddDevice(std::move(h), caps, Options);
    for (uint32_t dest = 0; dest < caps.destinations; ++dest) {
      mixer::LineInfo dl;
      if (!CheckResult(dev->Handle->line(dest, -1, dl), false)) break;
      if (!Target.LineType.has(LineTypeOf(dl.componentType))) continue;
      TMixerItem* destItem = nullptr;
      bool keptSource = false;
      for (int32_t j = -1; j < (int32_t)dl.connections; ++j) {
        mixer::LineInfo li = dl;
        if (j >= 0) {
          if (!CheckResult(dev->Handle->line(dest, j, li), false)) continue;
          if (!Target.LineType.has(LineTypeOf(li.componentType))) continue;
          if (li.controls == 0 && !EnableInvalidItem) continue;
        }
        TMixerItem* item = dev->AddItem(li, destItem, Options, dest);
        if (j < 0) destItem = item;
        if (li.controls > 0) {
          std::vector<mixer::ControlInfo> cs;
          if (CheckResult(dev->Handle->controls(li.lineId, cs), false)) {
            for (mixer::ControlInfo ci : cs) {
              if (!Target.ControlType.has(ControlTypeOf(ci.type))) continue;
              if (ControlTypeOf(ci.type) == ctMute) ci.flags |= mixer::ctlf_uniform;
              const int idx = dev->AddControl(ci, Options, item);
              if (item->FirstControl < 0) item->FirstControl = idx;
            }
          }
        }
        if (j >= 0) {
          if (EnableInvalidItem || item->FirstControl >= 0)
            keptSource = true;
          else
            dev->RemoveItem(item);
        }
      }
      if (!EnableInvalidItem && destItem && destItem->FirstControl < 0 && !keptSource) {
        // Sources point at it only when some were kept; none were.
        dev->RemoveItem(destItem);
      }
    }
  }
}

}  // namespace tl
