// Tf_main: the sound recording started at the first play, and the closing of
// the window's workers and settings.
#include <QElapsedTimer>

#include "audio/AudioIO.h"
#include "core/settings.h"
#include "platform/registry/registry.h"
#include "platform/media/mediaplayer.h"
#include "player/main.h"
#include "player/option.h"

void Tf_main::createRecorder() {
  AudioIn1 = std::make_unique<tl::TAudioIn>(this, deps_.waveDevice ? deps_.waveDevice() : nullptr);
  AudioIn1->OnBufferFilled = [this](char* buf, int& size) { return AudioIn1BufferFilled(buf, size); };
  wavcolsec = AudioIn1->BufferSize() / (AudioIn1->FrameRate() * 2.0);
}

bool Tf_main::AudioIn1BufferFilled(char*, int&) {
  // The waveform view takes the buffers while it is shown and the player has
  // a position; without it the buffers go back to the component.
  if (!opt.playwav) return false;
  double pos = 0;
  if (!player_->currentPosition(pos) || pos == 0) return false;
  return true;
}

void Tf_main::setWaveDevice(int device) {
  if (AudioIn1) AudioIn1->setWaveDevice(device);
}

void Tf_main::startRecording() {
  if (!AudioIn1) return;
  // The component's text is shown after the tick that started it: the box
  // holds up nothing, the timer keeps following and pausing the cues.
  if (!AudioIn1->Start()) notice(AudioIn1->LastErrorText());
}

void Tf_main::stopWorkersAtClose() {
  if (AudioIn1) AudioIn1->Stop();
}

uint64_t Tf_main::runMs() const { return (uint64_t)(uint32_t)(deps_.tickCount() - starttick); }

void Tf_main::saveSettingsAtClose() {
  std::string err;
  if (option_ && !option_->WriteEnv(&err)) message(QString::fromStdString(err));
  if (deps_.hive) {
    const int64_t total = totaltimebase + (int64_t)runMs();
    if (!tl::WriteEnvOne(*deps_.hive, "totaltime", total, &err)) message(QString::fromStdString(err));
  }
}
