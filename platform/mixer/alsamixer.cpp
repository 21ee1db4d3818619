// The mixer layer on ALSA's simple mixer elements.
//
// Devices: "default" (the sound server's mixer, where there is one), then
// "hw:N" for every card snd_card_next finds.  Lines of a device:
//   destination "Master" (speakers) with the other playback elements as its
//     sources, typed by name;
//   destination "Headphone" where the card has one;
//   destination "Capture" (recording input) with the other capture elements
//     as sources; an enumerated capture element is its input selector (mux).
// Volumes are mapped linearly onto 0..65535; mute is the inverted switch.
// Changes: the mixer's poll descriptors are watched on the opening thread;
// an element's value change raises onControlChange for each of its
// controls, any other change of it onLineChange for its line.
#include "platform/mixer/mixer.h"

#include <QSocketNotifier>
#include <alsa/asoundlib.h>

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <map>

namespace tl::mixer {

uint32_t toUnit(long raw, long min, long max) {
  if (max <= min) return 0;
  raw = std::clamp(raw, min, max);
  return (uint32_t)std::lround((double)(raw - min) * 65535.0 / (double)(max - min));
}

long fromUnit(uint32_t unit, long min, long max) {
  if (max <= min) return min;
  unit = std::min<uint32_t>(unit, 65535);
  return min + std::lround((double)unit * (double)(max - min) / 65535.0);
}

uint32_t sourceTypeOf(const std::string& n) {
  auto has = [&](const char* w) { return n.find(w) != std::string::npos; };
  if (has("Mic")) return src_microphone;
  if (has("CD")) return src_compactdisc;
  if (has("Line")) return src_line;
  if (has("PCM") || has("Wave")) return src_waveout;
  if (has("Synth") || has("MIDI") || has("FM")) return src_synthesizer;
  if (has("Phone")) return src_telephone;
  if (has("Beep") || has("PC Speaker")) return src_pcspeaker;
  if (has("Aux")) return src_auxiliary;
  if (has("IEC958") || has("Digital") || has("SPDIF")) return src_digital;
  if (has("Analog")) return src_analog;
  return src_undefined;
}

namespace {

void silentAlsa(const char*, int, const char*, int, const char*, ...) {}

struct Control {
  enum Kind { Volume, Mute, Mux } kind;
  snd_mixer_elem_t* elem;
  bool capture;
  uint32_t lineId;
};

struct Line {
  LineInfo info;
  std::vector<ControlInfo> controls;
};

struct Dest {
  Line line;
  std::vector<Line> sources;
};

const snd_mixer_selem_channel_id_t kStereo[2] = {SND_MIXER_SCHN_FRONT_LEFT, SND_MIXER_SCHN_FRONT_RIGHT};

class AlsaMixerDevice : public MixerDevice {
 public:
  ~AlsaMixerDevice() override {
    notifiers_.clear();
    if (h_) snd_mixer_close(h_);
  }

  Result openName(const std::string& name) {
    if (snd_mixer_open(&h_, 0) < 0) return err_nomem;
    if (snd_mixer_attach(h_, name.c_str()) < 0 || snd_mixer_selem_register(h_, nullptr, nullptr) < 0 ||
        snd_mixer_load(h_) < 0) {
      snd_mixer_close(h_);
      h_ = nullptr;
      return err_nodriver;
    }
    build();
    watch();
    return ok;
  }

  uint32_t destinations() const { return (uint32_t)dests_.size(); }

  Result line(uint32_t d, int32_t s, LineInfo& out) override {
    if (d >= dests_.size()) return err_invalparam;
    if (s < 0) {
      out = dests_[d].line.info;
      return ok;
    }
    if ((size_t)s >= dests_[d].sources.size()) return err_invalparam;
    out = dests_[d].sources[s].info;
    return ok;
  }

  Result controls(uint32_t lineId, std::vector<ControlInfo>& out) override {
    const Line* l = findLine(lineId);
    if (!l) return err_invalline;
    out = l->controls;
    return ok;
  }

  Result getDetails(uint32_t id, uint32_t channels, uint32_t items, std::vector<int32_t>& v) override {
    auto it = ctls_.find(id);
    if (it == ctls_.end()) return err_invalcontrol;
    const Control& c = it->second;
    v.assign(size_t(channels) * std::max<uint32_t>(items, 1), 0);
    switch (c.kind) {
      case Control::Volume: {
        long mn = 0, mx = 0;
        range(c, mn, mx);
        for (uint32_t ch = 0; ch < channels; ++ch) {
          long raw = 0;
          getVolume(c, chan(c, ch), raw);
          v[ch] = (int32_t)toUnit(raw, mn, mx);
        }
        return ok;
      }
      case Control::Mute:
        for (uint32_t ch = 0; ch < channels; ++ch) {
          int on = 1;
          if (c.capture)
            snd_mixer_selem_get_capture_switch(c.elem, chan(c, ch), &on);
          else
            snd_mixer_selem_get_playback_switch(c.elem, chan(c, ch), &on);
          v[ch] = on ? 0 : 1;
        }
        return ok;
      case Control::Mux: {
        unsigned int idx = 0;
        if (snd_mixer_selem_get_enum_item(c.elem, SND_MIXER_SCHN_MONO, &idx) < 0) return err_invalcontrol;
        for (uint32_t i = 0; i < items && i < v.size(); ++i) v[i] = (i == idx) ? 1 : 0;
        return ok;
      }
    }
    return err_invalcontrol;
  }

  Result setDetails(uint32_t id, uint32_t channels, uint32_t items, const std::vector<int32_t>& v) override {
    auto it = ctls_.find(id);
    if (it == ctls_.end()) return err_invalcontrol;
    const Control& c = it->second;
    if (v.size() < size_t(channels) * std::max<uint32_t>(items, 1)) return err_invalparam;
    int rc = 0;
    switch (c.kind) {
      case Control::Volume: {
        long mn = 0, mx = 0;
        range(c, mn, mx);
        if (channels == 1) {
          const long raw = fromUnit((uint32_t)v[0], mn, mx);
          rc = c.capture ? snd_mixer_selem_set_capture_volume_all(c.elem, raw)
                         : snd_mixer_selem_set_playback_volume_all(c.elem, raw);
        } else {
          for (uint32_t ch = 0; ch < channels && rc >= 0; ++ch) {
            const long raw = fromUnit((uint32_t)v[ch], mn, mx);
            rc = c.capture ? snd_mixer_selem_set_capture_volume(c.elem, chan(c, ch), raw)
                           : snd_mixer_selem_set_playback_volume(c.elem, chan(c, ch), raw);
          }
        }
        break;
      }
      case Control::Mute: {
        const int on = v[0] ? 0 : 1;
        rc = c.capture ? snd_mixer_selem_set_capture_switch_all(c.elem, on)
                       : snd_mixer_selem_set_playback_switch_all(c.elem, on);
        break;
      }
      case Control::Mux: {
        auto sel = std::find_if(v.begin(), v.end(), [](int32_t x) { return x != 0; });
        if (sel == v.end()) return ok;
        rc = snd_mixer_selem_set_enum_item(c.elem, SND_MIXER_SCHN_MONO, unsigned(sel - v.begin()));
        break;
      }
    }
    return rc < 0 ? err_invalparam : ok;
  }

  Result listTexts(uint32_t id, uint32_t channels, uint32_t items, std::vector<ListText>& out) override {
    auto it = ctls_.find(id);
    if (it == ctls_.end()) return err_invalcontrol;
    const Control& c = it->second;
    if (c.kind != Control::Mux) return err_invalparam;
    out.assign(size_t(channels) * items, {});
    for (uint32_t i = 0; i < items && i < out.size(); ++i) {
      char name[64] = {};
      snd_mixer_selem_get_enum_item_name(c.elem, i, sizeof name - 1, name);
      out[i].param1 = c.lineId;
      out[i].name = name;
    }
    return ok;
  }

 private:
  static snd_mixer_selem_channel_id_t chanOf(bool mono, uint32_t ch) {
    return mono ? SND_MIXER_SCHN_MONO : kStereo[std::min<uint32_t>(ch, 1)];
  }
  snd_mixer_selem_channel_id_t chan(const Control& c, uint32_t ch) const {
    const bool mono = c.capture ? snd_mixer_selem_is_capture_mono(c.elem) : snd_mixer_selem_is_playback_mono(c.elem);
    return chanOf(mono, ch);
  }
  static void range(const Control& c, long& mn, long& mx) {
    if (c.capture)
      snd_mixer_selem_get_capture_volume_range(c.elem, &mn, &mx);
    else
      snd_mixer_selem_get_playback_volume_range(c.elem, &mn, &mx);
  }
  static void getVolume(const Control& c, snd_mixer_selem_channel_id_t ch, long& raw) {
    if (c.capture)
      snd_mixer_selem_get_capture_volume(c.elem, ch, &raw);
    else
      snd_mixer_selem_get_playback_volume(c.elem, ch, &raw);
  }

  const Line* findLine(uint32_t id) const {
    for (const Dest& d : dests_) {
      if (d.line.info.lineId == id) return &d.line;
      for (const Line& s : d.sources)
        if (s.info.lineId == id) return &s;
    }
    return nullptr;
  }

  void addControl(Line& l, Control::Kind kind, snd_mixer_elem_t* e, bool capture) {
    ControlInfo ci;
    ci.controlId = nextId_++;
    const std::string en = snd_mixer_selem_get_name(e);
    switch (kind) {
      case Control::Volume: {
        long mn = 0, mx = 0;
        range({kind, e, capture, 0}, mn, mx);
        ci.type = ctl_volume;
        ci.name = en + " Volume";
        ci.shortName = "Volume";
        ci.bounds[0] = 0;
        ci.bounds[1] = 65535;
        ci.metrics[0] = (uint32_t)std::max<long>(0, mx - mn);
        break;
      }
      case Control::Mute:
        ci.type = ctl_mute;
        ci.flags = ctlf_uniform;
        ci.name = en + " Mute";
        ci.shortName = "Mute";
        ci.bounds[1] = 1;
        break;
      case Control::Mux: {
        ci.type = ctl_mux;
        ci.flags = ctlf_uniform | ctlf_multiple;
        const int n = snd_mixer_selem_get_enum_items(e);
        ci.multipleItems = (uint32_t)std::max(0, n);
        ci.name = en;
        ci.shortName = en.substr(0, 15);
        ci.bounds[1] = std::max(0, n - 1);
        break;
      }
    }
    ctls_[ci.controlId] = {kind, e, capture, l.info.lineId};
    byElem_[e].push_back(ci.controlId);
    lineOfElem_[e] = l.info.lineId;
    l.controls.push_back(std::move(ci));
    l.info.controls = (uint32_t)l.controls.size();
  }

  Line makeLine(uint32_t d, int32_t s, uint32_t type, snd_mixer_elem_t* e, bool capture,
                const std::string& name) {
    Line l;
    l.info.destination = d;
    l.info.source = s < 0 ? 0 : (uint32_t)s;
    l.info.lineId = (d << 16) | uint32_t(s + 1);
    l.info.componentType = type;
    l.info.name = name;
    l.info.shortName = name.substr(0, 15);
    if (type == dst_speakers) l.info.targetType = 1;
    if (type == dst_wavein) l.info.targetType = 2;
    l.info.channels = 2;
    if (e) {
      const bool mono = capture ? snd_mixer_selem_is_capture_mono(e) : snd_mixer_selem_is_playback_mono(e);
      l.info.channels = mono ? 1 : 2;
      if (capture ? snd_mixer_selem_has_capture_volume(e) : snd_mixer_selem_has_playback_volume(e))
        addControl(l, Control::Volume, e, capture);
      if (capture ? snd_mixer_selem_has_capture_switch(e) : snd_mixer_selem_has_playback_switch(e))
        addControl(l, Control::Mute, e, capture);
    }
    return l;
  }

  void build() {
    std::vector<snd_mixer_elem_t*> play, cap;
    snd_mixer_elem_t* master = nullptr;
    snd_mixer_elem_t* head = nullptr;
    snd_mixer_elem_t* capture = nullptr;
    snd_mixer_elem_t* mux = nullptr;
    for (snd_mixer_elem_t* e = snd_mixer_first_elem(h_); e; e = snd_mixer_elem_next(e)) {
      if (!snd_mixer_selem_is_active(e)) continue;
      const std::string n = snd_mixer_selem_get_name(e);
      if (snd_mixer_selem_is_enum_capture(e) || (snd_mixer_selem_is_enumerated(e) && n.find("Capture") != std::string::npos)) {
        if (!mux) mux = e;
        continue;
      }
      const bool p = snd_mixer_selem_has_playback_volume(e) || snd_mixer_selem_has_playback_switch(e);
      const bool c = snd_mixer_selem_has_capture_volume(e) || snd_mixer_selem_has_capture_switch(e);
      if (p) {
        if (n == "Master" && !master) master = e;
        else if (n == "Headphone" && !head) head = e;
        else play.push_back(e);
      }
      if (c) {
        if (n == "Capture" && !capture) capture = e;
        else cap.push_back(e);
      }
    }
    if (master || !play.empty()) {
      Dest d;
      const uint32_t k = (uint32_t)dests_.size();
      d.line = makeLine(k, -1, dst_speakers, master, false, "Master");
      for (snd_mixer_elem_t* e : play) {
        const std::string n = snd_mixer_selem_get_name(e);
        d.sources.push_back(makeLine(k, (int32_t)d.sources.size(), sourceTypeOf(n), e, false, n));
      }
      d.line.info.connections = (uint32_t)d.sources.size();
      dests_.push_back(std::move(d));
    }
    if (head) {
      Dest d;
      d.line = makeLine((uint32_t)dests_.size(), -1, dst_headphones, head, false, "Headphone");
      dests_.push_back(std::move(d));
    }
    if (capture || mux || !cap.empty()) {
      Dest d;
      const uint32_t k = (uint32_t)dests_.size();
      d.line = makeLine(k, -1, dst_wavein, capture, true, "Capture");
      if (mux) addControl(d.line, Control::Mux, mux, true);
      for (snd_mixer_elem_t* e : cap) {
        const std::string n = snd_mixer_selem_get_name(e);
        d.sources.push_back(makeLine(k, (int32_t)d.sources.size(), sourceTypeOf(n), e, true, n));
      }
      d.line.info.connections = (uint32_t)d.sources.size();
      dests_.push_back(std::move(d));
    }
    for (auto& [e, ids] : byElem_) {
      snd_mixer_elem_set_callback_private(e, this);
      snd_mixer_elem_set_callback(e, &AlsaMixerDevice::elemEvent);
    }
  }

  static int elemEvent(snd_mixer_elem_t* e, unsigned int mask) {
    auto* self = static_cast<AlsaMixerDevice*>(snd_mixer_elem_get_callback_private(e));
    if (!self) return 0;
    if (mask == SND_CTL_EVENT_MASK_REMOVE) {
      self->pending_.push_back({true, self->lineOfElem_[e]});
      return 0;
    }
    if (mask & SND_CTL_EVENT_MASK_VALUE)
      for (uint32_t id : self->byElem_[e]) self->pending_.push_back({false, id});
    if (mask & SND_CTL_EVENT_MASK_INFO) self->pending_.push_back({true, self->lineOfElem_[e]});
    return 0;
  }

  void watch() {
    const int n = snd_mixer_poll_descriptors_count(h_);
    if (n <= 0) return;
    std::vector<pollfd> fds(n);
    const int got = snd_mixer_poll_descriptors(h_, fds.data(), (unsigned)n);
    for (int i = 0; i < got; ++i) {
      auto sn = std::make_unique<QSocketNotifier>(fds[i].fd, QSocketNotifier::Read);
      QObject::connect(sn.get(), &QSocketNotifier::activated, sn.get(), [this] { handleEvents(); });
      notifiers_.push_back(std::move(sn));
    }
  }

  void handleEvents() {
    snd_mixer_handle_events(h_);
    // Raised after ALSA's own handling so that a handler may read values.
    auto events = std::move(pending_);
    pending_.clear();
    for (const Pending& p : events) {
      if (p.line) {
        if (onLineChange) onLineChange(p.id);
      } else if (onControlChange) {
        onControlChange(p.id);
      }
    }
  }

  struct Pending {
    bool line;
    uint32_t id;
  };
  snd_mixer_t* h_ = nullptr;
  std::vector<Dest> dests_;
  std::map<uint32_t, Control> ctls_;
  std::map<snd_mixer_elem_t*, std::vector<uint32_t>> byElem_;
  std::map<snd_mixer_elem_t*, uint32_t> lineOfElem_;
  std::vector<Pending> pending_;
  std::vector<std::unique_ptr<QSocketNotifier>> notifiers_;
  uint32_t nextId_ = 1;
};

class AlsaMixerSystem : public MixerSystem {
 public:
  AlsaMixerSystem() {
    // ALSA writes its own complaints to stderr (no server, no card); the
    // results say enough.
    snd_lib_error_set_handler(&silentAlsa);
    names_.push_back("default");
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0) names_.push_back("hw:" + std::to_string(card));
  }

  uint32_t deviceCount() override { return (uint32_t)names_.size(); }

  Result caps(uint32_t device, DeviceCaps& out) override {
    if (device >= names_.size()) return err_baddeviceid;
    AlsaMixerDevice probe;
    if (Result r = probe.openName(names_[device])) return r;
    out.name = names_[device];
    if (device > 0) {
      char* name = nullptr;
      if (snd_card_get_name(std::stoi(names_[device].substr(3)), &name) == 0 && name) {
        out.name = name;
        free(name);
      }
    }
    out.name = out.name.substr(0, 31);
    out.destinations = probe.destinations();
    return ok;
  }

  Result open(uint32_t device, std::unique_ptr<MixerDevice>& out) override {
    if (device >= names_.size()) return err_baddeviceid;
    auto d = std::make_unique<AlsaMixerDevice>();
    if (Result r = d->openName(names_[device])) return r;
    out = std::move(d);
    return ok;
  }

 private:
  std::vector<std::string> names_;
};

}  // namespace

std::unique_ptr<MixerSystem> makeSystemMixer() { return std::make_unique<AlsaMixerSystem>(); }

}  // namespace tl::mixer
