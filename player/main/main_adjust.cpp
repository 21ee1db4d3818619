// Tf_main: timing adjustment commands and the refresh after a timing change.
#include <QMessageBox>
#include <QTimer>

#include "core/timing.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/wave/wavepanel.h"

namespace {
bool playing(tl::MediaPlayer& p) { return p.playState() == tl::ps_playing; }
}  // namespace

void Tf_main::applyTiming(const tl::TimingChange& c) {
  for (const auto& m : c.messages) message(QString::fromStdString(m));
  if (!c.changed) return;
  followTiming(c);
  refreshAfterTiming();
  if (!c.log.empty()) logout(c.log);
}

// Every change of times in place ends here, whoever made it (the shifts, the
// list's typed times, the repair, the skip), so that no bar is left stale.
// The saved adjustment was already taken by the operation that shifted.
void Tf_main::refreshAfterTiming() {
  pointBarRange();
  model_->announce(tl::Change::Timing);
  if (L.cursub > 0) forcedTick();
  repaintFocusBar();
  a_F5Execute();
}

bool Tf_main::mainTimerEnabled() const { return playback_->timerEnabled(); }

void Tf_main::setMainTimerEnabled(bool on) { playback_->setTimerEnabled(on); }

// The waveform's markers follow a shift; other changes of times leave them
// (the nudges and the reset re-place them from the times).
void Tf_main::followTiming(const tl::TimingChange& c) {
  if (c.changed && c.delta != 0) wavePanel->wavxshift(c.delta, c.first, c.last);
}

double Tf_main::positionSeconds() {
  double p = 0;
  if (!player_->currentPosition(p)) return 0;
  return p;
}

bool Tf_main::mediumOpen() const { return playback_->mediumOpen(); }

void Tf_main::adjshift(tl::ttime delta) { applyTiming(tl::adjshift(L, opt, delta, playing(*player_))); }

void Tf_main::adjshift(tl::ttime delta, int32_t from) {
  tl::setadjfrom(L, from);
  applyTiming(tl::adjshift(L, opt, delta, /*playing: keep the chosen first slot*/ false));
}

void Tf_main::adjratio(tl::ttime t) { applyTiming(tl::adjratio(L, t, positionSeconds(), mediumOpen())); }

void Tf_main::adjpos(tl::ttime t) {
  applyTiming(tl::adjpos(L, opt, t, positionSeconds(), mediumOpen(), playing(*player_)));
}

void Tf_main::a_subtopadjExecute() {
  applyTiming(tl::subtopadj(L, opt, positionSeconds(), mediumOpen(), playing(*player_)));
}

void Tf_main::a_subendadjExecute() {
  applyTiming(tl::subendadj(L, opt, positionSeconds(), mediumOpen(), playing(*player_)));
}

void Tf_main::a_pointsubdownExecute() {
  applyTiming(tl::pointsubdown(L));
  wavxset();
}

void Tf_main::a_pointsubupExecute() {
  applyTiming(tl::pointsubup(L));
  wavxset();
}

void Tf_main::n_adjresetClick() {
  if (question(QString::fromUtf8(tl::kAskAdjReset), QString::fromUtf8(tl::kAskAdjResetCaption),
               QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  applyTiming(tl::resetsub(L));
  wavxset();
}

// from: the first slot of a partial shift that the clicked strip chose (-1:
// none, the displayed cue while playing); a chosen slot holds while playing.
void Tf_main::clickadjg(int slot, int column, int from) {
  if (from != -1) tl::setadjfrom(L, from);
  const bool keepsFrom = from != -1;
  applyTiming(tl::clickadjg(L, opt, slot, column, positionSeconds(), mediumOpen(),
                            !keepsFrom && playing(*player_)));
}
