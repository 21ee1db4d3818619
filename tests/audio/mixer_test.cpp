// The mixer component over the scripted mixer layer.
#include "audio/Mixers.h"

#include <gtest/gtest.h>

#include "platform/mixer/fakemixer.h"

namespace tl {
namespace {

using mixer::FakeMixerData;
using mixer::FakeMixerSystem;

struct Fixture {
  std::shared_ptr<FakeMixerData> card = FakeMixerData::standard();
  std::unique_ptr<TMixer> m;
  explicit Fixture(bool scan = true) {
    auto sys = std::make_unique<FakeMixerSystem>();
    sys->devices.push_back(card);
    m = std::make_unique<TMixer>(nullptr, std::move(sys));
    if (scan) m->Loaded();
  }
  TMixerItem* item(const std::string& name) {
    TMixerDev* d = m->FirstDevice();
    for (int i = 0; d && i < d->ItemCount(); ++i)
      if (d->Items(i)->Name == name) return d->Items(i);
    return nullptr;
  }
};

TEST(Mixer, ScanKeepsTargetLinesWithTheirVolumeAndMute) {
  Fixture f;
  ASSERT_EQ(f.m->DeviceCount(), 1);
  TMixerDev* d = f.m->FirstDevice();
  EXPECT_EQ(d->Name, "Fake Card");
  // Master, PCM, Capture; Aux has no control, Mic is not a target type.
  ASSERT_EQ(d->ItemCount(), 3);
  EXPECT_EQ(d->Items(0)->Name, "Master");
  EXPECT_EQ(d->Items(0)->LineType, dtSpeakers);
  EXPECT_EQ(d->Items(1)->Name, "PCM");
  EXPECT_EQ(d->Items(1)->Destination, d->Items(0));
  EXPECT_EQ(d->Items(1)->GetLineType(), dtSpeakers);
  EXPECT_EQ(d->Items(2)->Name, "Capture");
  // Only volume and mute controls are taken; the mute is uniform.
  EXPECT_EQ(d->ControlCount(), 5);
  EXPECT_TRUE(d->ControlByID(2)->Flags.has(cfUniform));
  EXPECT_EQ(d->ControlByID(6), nullptr);
  EXPECT_EQ(d->Items(3), nullptr);
  EXPECT_EQ(f.m->Devices(1), nullptr);
  EXPECT_EQ(f.m->Devices(-1), nullptr);
}

TEST(Mixer, InvalidItemsAndFailingDevices) {
  Fixture f(false);
  f.m->EnableInvalidItem = true;
  f.m->Target.LineType.include(ltMicrophone);
  f.m->Target.LineType.include(ltAuxiliary);
  f.m->Scan();
  EXPECT_EQ(f.m->FirstDevice()->ItemCount(), 5);  // + Aux, Mic
  // A destination with no control and no kept source leaves nothing.
  Fixture g(false);
  g.card->dests[0].line.controls.clear();
  g.card->dests[0].line.info.controls = 0;
  g.card->dests[0].sources[0].controls.clear();
  g.card->dests[0].sources[0].info.controls = 0;
  g.m->Scan();
  ASSERT_EQ(g.m->FirstDevice()->ItemCount(), 1);
  EXPECT_EQ(g.m->FirstDevice()->Items(0)->Name, "Capture");
  // A device that cannot open is skipped without error.
  Fixture h(false);
  h.card->openResult = mixer::err_nodriver;
  h.m->Scan();
  EXPECT_EQ(h.m->DeviceCount(), 0);
}

TEST(Mixer, BalanceAtFullVolume) {
  Fixture f;
  TMixerItem* master = f.item("Master");
  master->SetVolumePercent(100);
  EXPECT_EQ(f.card->values[1], (std::vector<int32_t>{65535, 65535}));
  master->SetBalance(50);
  EXPECT_EQ(f.card->values[1], (std::vector<int32_t>{65535, 65535}));
  master->SetBalance(80);
  EXPECT_EQ(f.card->values[1], (std::vector<int32_t>{16384, 65535}));
  EXPECT_EQ(master->GetVolumePercent(), 100);  // re-derives the ratio: stays
  EXPECT_EQ(master->GetBalance(), 80);
  master->SetBalance(100);
  EXPECT_EQ(f.card->values[1], (std::vector<int32_t>{0, 65535}));
  master->SetBalance(0);
  EXPECT_EQ(f.card->values[1], (std::vector<int32_t>{65535, 0}));
}

TEST(Mixer, PercentIsRoundedHalfToEvenAndWrittenOnlyWhenItChanges) {
  Fixture f(false);
  f.m->Target.LineType.include(ltMicrophone);
  f.m->Scan();
  TMixerItem* mic = f.item("Mic");
  ASSERT_NE(mic, nullptr);
  EXPECT_EQ(mic->Channels, 1u);
  mic->SetVolumePercent(50);  // 32767.5
  EXPECT_EQ(f.card->values[7], (std::vector<int32_t>{32768}));
  mic->SetVolumePercent(250);  // clamped
  EXPECT_EQ(f.card->values[7], (std::vector<int32_t>{65535}));
  const size_t writes = f.card->writes.size();
  mic->SetVolumePercent(100);
  EXPECT_EQ(f.card->writes.size(), writes);
  EXPECT_EQ(mic->GetVolumePercent(), 100);
  EXPECT_EQ(f.item("Capture")->GetVolumePercent(), 50);
  // A line without a volume control.
  Fixture g(false);
  g.m->EnableInvalidItem = true;
  g.m->Target.LineType.include(ltAuxiliary);
  g.m->Scan();
  EXPECT_EQ(g.item("Aux")->GetVolumePercent(), -1);
}

TEST(Mixer, MuteAndAZeroChannelLine) {
  Fixture f(false);
  f.card->dests[0].line.info.channels = 0;
  f.m->Scan();
  TMixerItem* master = f.item("Master");
  EXPECT_EQ(master->Channels, 1u);
  EXPECT_FALSE(master->GetMute());
  master->SetMute(true);
  EXPECT_EQ(f.card->values[2], (std::vector<int32_t>{1}));
  EXPECT_TRUE(master->GetMute());
  const size_t writes = f.card->writes.size();
  master->SetMute(true);
  EXPECT_EQ(f.card->writes.size(), writes);
}

TEST(Mixer, DetailsCheckKindSizeAndOwner) {
  Fixture f(false);
  f.m->Target.ControlType.include(ctMux);
  f.m->Scan();
  TMixerItem* cap = f.item("Capture");
  TMixerDev* d = f.m->FirstDevice();
  TMixerCtrl* vol = d->ControlByID(4);
  TMixerCtrl* mux = d->ControlByID(6);
  uint32_t u[2] = {7, 7};
  cap->GetUnsignedDetails(vol, u, 1);
  EXPECT_EQ(u[0], 32768u);
  try {
    cap->GetUnsignedDetails(vol, u, 0);  // too small
    FAIL();
  } catch (const EMixerError& e) {
    EXPECT_EQ(e.ErrorCode, 11u);
    EXPECT_EQ(e.Control, vol);
    EXPECT_STREQ(e.what(), "無効なパラメータです(Capture Volume)");
  }
  int32_t b[2] = {0, 0};
  EXPECT_THROW(cap->GetBooleanDetails(vol, b, 1), EMixerError);  // wrong kind
  EXPECT_THROW(f.item("Master")->GetUnsignedDetails(vol, u, 1), EMixerError);  // another item's
  cap->GetBooleanDetails(mux, b, 1);
  EXPECT_EQ(b[0], 1);
  EXPECT_EQ(b[1], 0);

  TMixerListText t[2];
  cap->GetListTexts(mux, t, 1);
  EXPECT_STREQ(t[1].szName.data(), "Line");
  // Setting list texts writes nothing and leaves the caller's records.
  cap->SetListTexts(mux, t, 1);
  EXPECT_STREQ(t[0].szName.data(), "Mic");
  EXPECT_EQ(t[0].dwParam1, 0x10001u);
  EXPECT_THROW(cap->SetListTexts(vol, t, 1), EMixerError);
}

TEST(Mixer, ChangesReachTheHandlers) {
  Fixture f;
  std::vector<std::string> seen;
  f.m->OnControlChange = [&](TMixer*, TMixerDev* d, TMixerItem* i, TMixerCtrl* c) {
    seen.push_back(d->Name + "/" + i->Name + "/" + c->Name);
  };
  f.m->OnLineChange = [&](TMixer*, TMixerDev*, TMixerItem* i) { seen.push_back("line " + i->Name); };
  f.card->changeControl(1, {100, 100});
  f.card->changeControl(6, {0, 1});  // not collected: no event
  f.card->changeLine(0x10000);
  f.card->changeLine(0x10001);  // Mic: not collected
  EXPECT_EQ(seen, (std::vector<std::string>{"Fake Card/Master/Master Volume", "line Capture"}));
}

TEST(Mixer, ErrorTexts) {
  EXPECT_EQ(MixerErrorText(2), "デバイスIDは不正です");
  EXPECT_EQ(MixerErrorText(1025), "無効なコントロールです");
  EXPECT_EQ(MixerErrorText(99), "不明なエラー:99");
  EXPECT_TRUE(CheckResult(0, true));
  EXPECT_FALSE(CheckResult(5, false));
  EXPECT_EQ(LineTypeOf(4), dtSpeakers);
  EXPECT_EQ(LineTypeOf(0x1003), ltMicrophone);
  EXPECT_EQ(LineTypeOf(0x2000), ltUnknown);
  EXPECT_EQ(ControlTypeOf(25), ctMute);
  EXPECT_EQ(ControlTypeOf(77), ctUnknown);
}

}  // namespace
}  // namespace tl
