// Tf_main: the settings pushed into the window and collected from it.
#include <QAction>
#include <QLabel>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QTimer>

#include "core/overlaylayout.h"
#include "core/settings.h"
#include "core/timetext.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/cellfont.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/main/main_viewitems.h"
#include "player/views/overlay.h"
#include "player/views/subpanels.h"

void Tf_main::applySettings(const tl::Settings& s) {
  opt = s.opt;
  playback_->intervalChanged();
  tl::ui::fontset(subPanel, preStrip, nextStrip, kCellFace, s.size, s.ssize);
  preStrip->setTextLeft(Splitter2->x());
  nextStrip->setTextLeft(Splitter2->x());
  // At most what the margin's drag allows on a window as wide as the screen: a
  // wider stored value (another program's) would push the window off it.
  const int most = screen() ? screen()->availableGeometry().width() - Splitter2->width() - 40 : s.PaintBoxs1;
  PaintBox1->setFixedWidth(std::clamp(s.PaintBoxs1, 0, std::max(0, most)));
  const int p1 = s.panel1 > 0 ? s.panel1 : 150;
  QList<int> sizes = Splitter1->sizes();
  if (sizes.size() == 2) Splitter1->setSizes({std::max(40, sizes[0] + sizes[1] - p1), p1});
  t_vlm->setValue(s.vlm);
  t_vlmChange(t_vlm->value());
  for (const ViewItem& it : ViewItem::all())
    if (QAction* a = action(it.name)) a->setChecked(opt.*(it.flag));
  n_speedvis->setChecked(opt.speedvis);
  spdvisset(opt.speedvis);
  n_panelsubClick();
  n_prenextsubClick();
  n_focusbarClick();
  n_playwavClick();
  n_recwavClick();
  tp_sub->gfontset(kCellFace, s.gfsize, s.gfssize);
  if (opt.win7)
    n_7Click();
  else
    n_xpClick();
  tp_sub->dispsubChanged();
  n_gtssntClick();
  n_gtswordClick();
  if (opt.startreset)
    tp_sub->tpsubreset();
  else
    tp_sub->setTextPos(s.tpx.value_or(tl::defaultTpx(width())),
                       s.tpy.value_or(tl::defaultTpy(height(), Panel1->height())));
  tp_sub->Invalidate();
  opendicGlyph();
}

void Tf_main::collectSettings(tl::Settings& s) {
  s.PaintBoxs1 = PaintBox1->width();
  s.panel1 = Panel1->height() > 0 ? Panel1->height() : 150;
  s.vlm = t_vlm->value();
  QWidget* host = player_->videoWidget() ? player_->videoWidget() : videoArea;
  s.wmpwidth = host->width();
  s.wmpheight = host->height();
  const tl::Options keep = s.opt;
  s.opt = opt;
  // The dialog's own values stay as the dialog holds them.
  s.opt.hintmode = keep.hintmode;
  s.opt.giveup = keep.giveup;
  s.opt.pausemode = keep.pausemode;
  s.opt.subopenmode = keep.subopenmode;
  s.opt.subview = keep.subview;
  s.opt.soundmode = keep.soundmode;
  s.opt.notclearpause = keep.notclearpause;
  s.opt.orgsize = keep.orgsize;
  s.opt.nextsubplus = keep.nextsubplus;
  s.opt.autocopy = keep.autocopy;
  s.opt.adjcrt = keep.adjcrt;
  s.opt.backmore = keep.backmore;
  s.opt.tinterval = keep.tinterval;
  s.opt.codepage = keep.codepage;
  s.opt.speedvis = n_speedvis->isChecked();
  s.tpx = tp_sub->tpx();
  s.tpy = tp_sub->tpy();
  s.prewid = host->width();
  s.prehigh = host->height();
}

