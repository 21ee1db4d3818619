#include "platform/mixer/fakemixer.h"

#include <algorithm>

namespace tl::mixer {

namespace {

ControlInfo control(uint32_t id, uint32_t type, const std::string& name, uint32_t flags = 0,
                    uint32_t items = 0) {
  ControlInfo c;
  c.controlId = id;
  c.type = type;
  c.name = name;
  c.shortName = name.substr(0, 15);
  c.flags = flags;
  c.multipleItems = items;
  c.bounds[1] = type == ctl_volume ? 65535 : 1;
  return c;
}

FakeLine line(uint32_t d, int32_t s, uint32_t type, const std::string& name, uint32_t channels) {
  FakeLine l;
  l.info.destination = d;
  l.info.source = s < 0 ? 0 : uint32_t(s);
  l.info.lineId = (d << 16) | uint32_t(s + 1);
  l.info.componentType = type;
  l.info.channels = channels;
  l.info.name = name;
  l.info.shortName = name.substr(0, 15);
  return l;
}

}  // namespace

std::shared_ptr<FakeMixerData> FakeMixerData::standard(const std::string& name) {
  auto d = std::make_shared<FakeMixerData>();
  d->caps.name = name;
  FakeDest out;
  out.line = line(0, -1, dst_speakers, "Master", 2);
  out.line.controls = {control(1, ctl_volume, "Master Volume"), control(2, ctl_mute, "Master Mute", ctlf_uniform)};
  FakeLine pcm = line(0, 0, src_waveout, "PCM", 2);
  pcm.controls = {control(3, ctl_volume, "PCM Volume")};
  out.sources = {pcm, line(0, 1, src_auxiliary, "Aux", 2)};
  FakeDest in;
  in.line = line(1, -1, dst_wavein, "Capture", 2);
  in.line.controls = {control(4, ctl_volume, "Capture Volume"), control(5, ctl_mute, "Capture Mute", ctlf_uniform),
                      control(6, ctl_mux, "Capture Source", ctlf_uniform | ctlf_multiple, 2)};
  FakeLine mic = line(1, 0, src_microphone, "Mic", 1);
  mic.controls = {control(7, ctl_volume, "Mic Volume")};
  in.sources = {mic};
  for (FakeDest* x : {&out, &in}) {
    x->line.info.connections = (uint32_t)x->sources.size();
    x->line.info.controls = (uint32_t)x->line.controls.size();
    for (auto& s : x->sources) s.info.controls = (uint32_t)s.controls.size();
  }
  d->dests = {out, in};
  d->caps.destinations = 2;
  d->values = {{1, {32768, 32768}}, {2, {0}}, {3, {32768, 32768}}, {4, {32768, 32768}},
               {5, {0}},            {6, {1, 0}}, {7, {32768}}};
  d->texts[6] = {{0x10001, 0, "Mic"}, {0x10001, 0, "Line"}};
  return d;
}

const FakeLine* FakeMixerData::findLine(uint32_t id) const {
  for (const FakeDest& d : dests) {
    if (d.line.info.lineId == id) return &d.line;
    for (const FakeLine& s : d.sources)
      if (s.info.lineId == id) return &s;
  }
  return nullptr;
}

const ControlInfo* FakeMixerData::findControl(uint32_t id) const {
  for (const FakeDest& d : dests) {
    for (const ControlInfo& c : d.line.controls)
      if (c.controlId == id) return &c;
    for (const FakeLine& s : d.sources)
      for (const ControlInfo& c : s.controls)
        if (c.controlId == id) return &c;
  }
  return nullptr;
}

void FakeMixerData::changeControl(uint32_t id, std::vector<int32_t> v) {
  values[id] = std::move(v);
  for (FakeMixerDevice* d : std::vector<FakeMixerDevice*>(open))
    if (d->onControlChange) d->onControlChange(id);
}

void FakeMixerData::changeLine(uint32_t id) {
  for (FakeMixerDevice* d : std::vector<FakeMixerDevice*>(open))
    if (d->onLineChange) d->onLineChange(id);
}

FakeMixerDevice::FakeMixerDevice(std::shared_ptr<FakeMixerData> d) : d_(std::move(d)) { d_->open.push_back(this); }

FakeMixerDevice::~FakeMixerDevice() { std::erase(d_->open, this); }

Result FakeMixerDevice::line(uint32_t dest, int32_t source, LineInfo& out) {
  if (dest >= d_->dests.size()) return err_invalparam;
  const FakeDest& d = d_->dests[dest];
  if (source < 0) {
    out = d.line.info;
    return ok;
  }
  if ((size_t)source >= d.sources.size()) return err_invalparam;
  out = d.sources[source].info;
  return ok;
}

Result FakeMixerDevice::controls(uint32_t lineId, std::vector<ControlInfo>& out) {
  if (d_->controlsResult) return d_->controlsResult;
  const FakeLine* l = d_->findLine(lineId);
  if (!l) return err_invalline;
  out = l->controls;
  return ok;
}

Result FakeMixerDevice::getDetails(uint32_t id, uint32_t channels, uint32_t items, std::vector<int32_t>& v) {
  if (!d_->findControl(id)) return err_invalcontrol;
  const size_t n = size_t(channels) * std::max<uint32_t>(items, 1);
  const std::vector<int32_t>& have = d_->values[id];
  v.assign(n, 0);
  for (size_t i = 0; i < n; ++i) v[i] = i < have.size() ? have[i] : (have.empty() ? 0 : have[0]);
  return ok;
}

Result FakeMixerDevice::setDetails(uint32_t id, uint32_t channels, uint32_t items, const std::vector<int32_t>& v) {
  if (!d_->findControl(id)) return err_invalcontrol;
  const size_t n = size_t(channels) * std::max<uint32_t>(items, 1);
  if (v.size() < n) return err_invalparam;
  std::vector<int32_t> w(v.begin(), v.begin() + (long)n);
  d_->values[id] = w;
  d_->writes.push_back({id, w});
  return ok;
}

Result FakeMixerDevice::listTexts(uint32_t id, uint32_t channels, uint32_t items, std::vector<ListText>& out) {
  if (!d_->findControl(id)) return err_invalcontrol;
  out = d_->texts[id];
  out.resize(size_t(channels) * items);
  return ok;
}

Result FakeMixerSystem::caps(uint32_t device, DeviceCaps& out) {
  if (device >= devices.size()) return err_baddeviceid;
  if (devices[device]->capsResult) return devices[device]->capsResult;
  out = devices[device]->caps;
  return ok;
}

Result FakeMixerSystem::open(uint32_t device, std::unique_ptr<MixerDevice>& out) {
  if (device >= devices.size()) return err_baddeviceid;
  if (devices[device]->openResult) return devices[device]->openResult;
  out = std::make_unique<FakeMixerDevice>(devices[device]);
  return ok;
}

}  // namespace tl::mixer
