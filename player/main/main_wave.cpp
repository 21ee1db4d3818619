// Tf_main: the waveform under the subtitles and its recorder, the "波形"
// menu's commands, the mixer, and the closing of the window's workers.
#include <QAction>
#include <QBoxLayout>
#include <QElapsedTimer>

#include <cmath>

#include "audio/AudioIO.h"
#include "audio/Mixers.h"
#include "core/settings.h"
#include "platform/codepage/codepage.h"
#include "platform/media/mediaplayer.h"
#include "platform/paths/files.h"
#include "platform/registry/registry.h"
#include "platform/wavein/wavein.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/dialogs/option.h"
#include "player/wave/wavemenu.h"
#include "player/wave/wavepanel.h"

// Panel5 (the waveform) and Panel6 (the recorded-sound panel) sit below the
// subtitle panels.
void Tf_main::buildWavePanels() {
  host_ = makeMainHost(*this);  // here, as the waveform is the host's first user
  wavePanel = new Panel5(host_.get(), Panel1);
  wavePanel->setFixedHeight(56);
  panel6 = new Panel6(Panel1);
  panel6->setFixedHeight(56);
  auto* lay = static_cast<QBoxLayout*>(Panel1->layout());
  const int at = lay->indexOf(p_subs) + 1;
  lay->insertWidget(at, wavePanel);
  lay->insertWidget(at + 1, panel6);
  wavePanel->setVisible(opt.playwav);
  panel6->setVisible(opt.recwav);
}

// The recorders as the window holds them: 512-byte buffers of 16-bit mono
// PCM at 22050 Hz (256 samples, about 11.6 ms each) from the system's
// default input.  Only AudioIn1 is ever started; its buffers feed the
// waveform, whose column width follows from the same format.
void Tf_main::createRecorder() {
  auto make = [this] {
    auto r = std::make_unique<tl::TAudioIn>(this, deps_.waveDevice ? deps_.waveDevice() : nullptr);
    r->setBufferSize(512);
    r->setFrameRate(22050);
    r->setStereo(false);
    r->setQuantization(16);
    r->setWaveDevice(tl::wavein::wave_mapper);
    return r;
  };
  AudioIn1 = make();
  AudioIn2 = make();
  AudioIn2->OnBufferFilled = [](char*, int&) { return true; };
  Panel5* p = wavePanel;
  AudioIn1->OnBufferFilled = [p](char* buf, int& size) { return p->AudioIn1BufferFilled(buf, size); };
  AudioIn1->OnStart = [p](QObject*) { p->newRecording(); };
  wavcolsec = tl::columnSeconds(AudioIn1->BufferSize(), AudioIn1->FrameRate());
  wavePanel->setColumnSeconds(wavcolsec);
}

void Tf_main::setWaveDevice(int device) {
  if (AudioIn1) AudioIn1->setWaveDevice((uint32_t)device);
}

int Tf_main::waveDevice() const { return AudioIn1 ? (int)AudioIn1->WaveDevice() : -1; }

void Tf_main::startRecording() {
  if (!AudioIn1) return;
  // Still recording from the medium before (the waveform takes every
  // buffer): it goes on for this one, nothing to start and nothing failed.
  if (AudioIn1->DeviceOpen() && AudioIn1->Recording()) return;
  // The component's text is shown after the tick that started it: the box
  // holds up nothing, the timer keeps following and pausing the cues.
  if (!AudioIn1->Start()) notice(AudioIn1->LastErrorText());
}

void Tf_main::N48Click() { wavePanel->N48Click(*AudioIn1); }

void Tf_main::repaintWave() {
  if (wavePanel) wavePanel->repaintWave();
}

void Tf_main::wavreset() {
  if (wavePanel) wavePanel->wavreset();
}

void Tf_main::wavxset() {
  if (wavePanel) wavePanel->wavxset();
}

void Tf_main::jumpComing(tl::ttime t) {
  if (wavePanel) wavePanel->waveResetIfOutside(t);
}

// The first time in the gap after the displayed cue: its end marker goes to
// the now line (behind the newest column it stays where it is drawn).
void Tf_main::onGapReached() {
  if (!wavePanel || L.possub <= 0 || tl::waveBehind(wavePanel->wave, L.nowpos)) return;
  const int32_t end = L.cursub + 1;
  if (end < 1 || end >= L.subcount || end >= (int32_t)L.subwavex.size()) return;
  L.subwavex[end] = wavePanel->wave.width - wavePanel->wave.nowx;
}

void Tf_main::n_playwavClick() {
  if (wavePanel) wavePanel->setVisible(opt.playwav);
}

void Tf_main::n_recwavClick() {
  if (panel6) panel6->setVisible(opt.recwav);
}

void Tf_main::CD1Click() {
  if (!::CD1Click(*player_, deps_.drives, [this](const QString& t) { message(t); })) return;
  playback_->setMedium(true, false);
  fstplay();
}

// ---- the hidden test menu ---------------------------------------------------

namespace {
QString general(double v) { return QString::number(v, 'g', 15); }
}  // namespace

void Tf_main::wavtestValues() {
  message(QStringLiteral("[basetime]0[pixtime]") + general(wavcolsec) + QStringLiteral("[getpos]") +
          QString::number(wavePanel->wave.wavcount) + QStringLiteral("[basepos]0[curpos]") +
          general((double)L.nowpos / 10000.0));
}

void Tf_main::wavtestText() {
  if (!L.validSlot(L.cursub) || L.cursub >= (int32_t)L.subtext.size()) return;
  const std::string& t = L.subtext[L.cursub];
  const size_t from = t.size() > 10 ? t.size() - 10 : 0;
  message(QString::fromStdString(tl::cp::ansiToUtf8(t.substr(from, 7))));
}

void Tf_main::wavtestSubind() { message(QString::number(L.cursub) + QString::number(L.possub)); }

void Tf_main::wavtestArray() {
  if (wavcolsec <= 0) return;
  const int32_t n = std::min<int32_t>(L.subcount, (int32_t)L.subwavex.size());
  for (int32_t i = 0; i < n; ++i)
    L.subwavex[i] = (int32_t)std::trunc(((double)L.subtime[i] / 10000.0) / wavcolsec);
  wavePanel->p_wav1->update();
}

void Tf_main::wavtestSave() {
  std::string err;
  if (!tl::paths::atomicWriteFile(exedir_ + "save.log", std::string(), &err))
    message(QString::fromStdString(err));
}

// ---- closing ------------------------------------------------------------------

void Tf_main::stopWorkersAtClose() {
  if (AudioIn1) AudioIn1->Stop();
}

uint64_t Tf_main::runMs() const { return (uint64_t)(uint32_t)(deps_.tickCount() - starttick); }

void Tf_main::saveSettingsAtClose() {
  std::string err;
  if (option_ && !option_->WriteEnv(&err)) message(QString::fromStdString(err));
  if (deps_.hive && !totaltimeUnreadable_ && !tl::addTotaltime(*deps_.hive, (int64_t)runMs(), &err))
    message(QString::fromStdString(err));
  if (!refileOpened_.empty()) WriteFile();
}
