// Tf_main: the star and memo of the displayed cue, the dictation / display
// switch, the overlay during DVD menus, and the study time the history reads.
#include <QLineEdit>
#include <QToolButton>

#include "platform/media/mediaplayer.h"
#include "player/main/main.h"
#include "player/main/maincommands.h"
#include "player/views/overlay.h"

void Tf_main::wireCueCommands() {
  sb_star->setToolTip(QStringLiteral("スター"));
  connect(sb_star, &QToolButton::clicked, this, [this] {
    sb_starClick(*this);  // the glyph follows the Stars announcement
    Panel1->setFocus();
  });
  Edit1->setPlaceholderText(QString::fromUtf8(kMemoPrompt));
  // Only the learner's typing is a memo edit; showing the memo of a newly
  // displayed cue (setText) is not.
  connect(Edit1, &QLineEdit::textEdited, this, [this](const QString& t) { Edit1Change(*this, t); });
  connect(sb_opendic, &QToolButton::clicked, this, [this] {
    sb_opendicClick(*this);
    opendicGlyph();
    Panel1->setFocus();
  });
  opendicGlyph();
  player_->onStatusChange = [this] { onStatusChange(); };
}

// "sub" while the display mode is on, else "dic".
void Tf_main::opendicGlyph() {
  if (!sb_opendic) return;
  sb_opendic->setText(opt.subview ? QStringLiteral("字") : QStringLiteral("✎"));
}

void Tf_main::onStatusChange() {
  // The button shows what the player does, whatever changed it (the end of
  // the medium, an open that failed while play was asked for).
  if (const int s = player_->playState(); s != tl::ps_transitioning) pauseGlyph(s == tl::ps_playing);
  switch (WMPStatusChange(*this, dvdmenuoverlay)) {
    case MenuOverlay::Collapse: tp_sub->collapse(); break;
    case MenuOverlay::Restore: tp_sub->dispsubChanged(); break;
    case MenuOverlay::None: return;
  }
  tp_sub->Invalidate();
}

void Tf_main::studyTime(int64_t& baseMs, uint32_t& startTick, uint32_t& nowTick) {
  baseMs = totaltimebase;
  startTick = starttick;
  nowTick = tickCount();
}
