// Tf_main: its views (the subtitle panels, the strips, the focus and progress
// bars, the overlay on the video, the status bar) and their subscription to
// the lesson model; the view menu.
#include <QAction>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QToolButton>
#include <QMenu>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>

#include "core/overlaylayout.h"
#include "core/settings.h"
#include "core/timetext.h"
#include "platform/codepage/codepage.h"
#include "platform/media/mediaplayer.h"
#include "platform/media/videowidget.h"
#include "player/widgets/Extrkbar.h"
#include "player/widgets/cellfont.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/views/overlay.h"
#include "player/views/subpanels.h"
#include "player/windows.h"


#include "player/main/main_viewitems.h"

const std::vector<ViewItem>& ViewItem::all() {
  static const std::vector<ViewItem> items = {
    {"n_outline", "縁取り", &tl::Options::outline, &Tf_main::overlayOptionChanged},
    {"n_bold", "太字", &tl::Options::bold, &Tf_main::overlayOptionChanged},
    {"n_xcenter", "字幕の横位置を中央に", &tl::Options::xcenter, &Tf_main::overlayOptionChanged},
    {"n_panelsub", "パネル字幕表示", &tl::Options::panelsub, &Tf_main::n_panelsubClick},
    {"n_gpresub", "前字幕表示", &tl::Options::gpresub, &Tf_main::overlayOptionChanged},
    {"n_gnextsub", "後字幕表示", &tl::Options::gnextsub, &Tf_main::overlayOptionChanged},
    {"n_prenextsub", "前後文表示", &tl::Options::prenextsub, &Tf_main::n_prenextsubClick},
    {"n_focusbar", "フォーカスバー", &tl::Options::focusbar, &Tf_main::n_focusbarClick},
    {"n_gsubno", "字幕番号表示", &tl::Options::gsubno, &Tf_main::overlayOptionChanged},
    {"n_dispsub", "画面字幕表示", &tl::Options::dispsub, &Tf_main::n_dispsubClick},
    {"n_startreset", "起動時字幕位置をリセットする", &tl::Options::startreset, nullptr},
    {"n_gtssnt", "文章自動翻訳（要オンライン）", &tl::Options::gtssnt, &Tf_main::n_gtssntClick},
    {"n_gtsword", "単語自動翻訳（要オンライン）", &tl::Options::gtsword, &Tf_main::n_gtswordClick},
    {"n_jaclose", "日本語字幕を隠す", &tl::Options::jaclose, &Tf_main::overlayOptionChanged},
    {"n_playwav", "再生波形", &tl::Options::playwav, &Tf_main::n_playwavClick},
    {"n_recwav", "録音波形", &tl::Options::recwav, &Tf_main::n_recwavClick},
  };
  return items;
}



void Tf_main::buildPanels() {
  const tl::ui::PanelView view{L, opt, dict.peekkey};
  auto replace = [](QWidget* old, QWidget* now) {
    now->setObjectName(old->objectName());
    if (QLayout* l = old->parentWidget()->layout()) {
      QLayoutItem* it = l->replaceWidget(old, now, Qt::FindChildrenRecursively);
      delete it;
    }
    delete old;
  };
  auto* sub = new tl::ui::TSubPanel(view, p_subs);
  auto* pre = new tl::ui::TSubStrip(view, -2, p_subs);
  auto* next = new tl::ui::TSubStrip(view, +2, p_subs);
  auto* focus = new tl::ui::TFocusBar(view, Panel4);
  auto* bar = new tl::ui::TProgressBar(view, Panel3);
  replace(p_sub, sub);
  replace(p_presub, pre);
  replace(p_nextsub, next);
  replace(p_focusbar, focus);
  bar->setFixedHeight(11);
  replace(p_bar, bar);
  p_sub = sub;
  p_presub = pre;
  p_nextsub = next;
  p_focusbar = focus;
  p_bar = bar;
  focusBar = focus;
  subPanel = sub;
  preStrip = pre;
  nextStrip = next;
  progressBar = bar;

  auto sync = [this](int from, int slot, int column) { clickadjg(slot, column, from); };
  connect(sub, &tl::ui::TSubPanel::syncClicked, this, sync);
  connect(pre, &tl::ui::TSubStrip::syncClicked, this, sync);
  connect(next, &tl::ui::TSubStrip::syncClicked, this, sync);
  connect(sub, &tl::ui::TSubPanel::wordClicked, this, [this](int column) { clickwordg(column); });
  // Queued: the mark is not moved inside the panel's paint.
  connect(sub, &tl::ui::TSubPanel::painted, this, [this] { if (!i_se->isHidden()) placeSeMark(); },
          Qt::QueuedConnection);
  auto log = [this](const QString& t) { logout(t.toStdString()); };
  connect(sub, &tl::ui::TSubPanel::logout, this, log);
  connect(pre, &tl::ui::TSubStrip::logout, this, log);
  connect(next, &tl::ui::TSubStrip::logout, this, log);
  connect(focus, &tl::ui::TFocusBar::playFrom, this, [this](tl::ttime t) {
    if (L.srtloaded) guarded([this, t] { posplay(0, t); });
  });
  connect(bar, &tl::ui::TProgressBar::seekDragChanged, this, [this](bool on) { playback_->setSeekDrag(on); });
  connect(bar, &tl::ui::TProgressBar::seekDragMoved, this, [this](bool inRange, int seconds) {
    // past either end of the bar the position bar's own position stands
    if (inRange) tb_point->setValue(seconds);
    setStatusText(4, tl::sec2str_0((tl::ttime)tb_point->value() * 10000));
  });
  connect(bar, &tl::ui::TProgressBar::seekReleased, this, [this](tl::ttime t) {
    if (!L.srtloaded || !mediumOpen()) return;
    seekFromBar(t);
  });

  QWidget* host = player_->videoWidget() ? player_->videoWidget() : videoArea;
  tp_sub = new tl::ui::TSubOverlay(view, host);
  tp_sub->setObjectName(QStringLiteral("tp_sub"));
  tp_sub->hooks.clickwordg = [this](int column) { return clickwordg(column); };
  tp_sub->hooks.clickadjg = sync;
  tp_sub->hooks.statusText = [this](const QString& t) { setStatusText(0, t.toStdString()); };
  tp_sub->hooks.wordentry = [this](int s, const std::string& w, const std::string& t) { registerWord(s, w, t); };
  tl::ui::fontset(sub, pre, next, kCellFace, 16, 10);
  pre->followLeftOf(Splitter2);
  next->followLeftOf(Splitter2);
  tp_sub->gfontset(kCellFace, 240000, 160000);
}

void Tf_main::buildViewMenu() {
  n_view->addSeparator();
  for (const ViewItem& it : ViewItem::all()) {
    QAction* a = n_view->addAction(QString::fromUtf8(it.caption));
    a->setObjectName(QString::fromLatin1(it.name));
    a->setCheckable(true);
    a->setChecked(opt.*(it.flag));
    allActions.push_back(a);
    const ViewItem* p = &it;
    connect(a, &QAction::triggered, this, [this, a, p] {
      opt.*(p->flag) = a->isChecked();
      if (p->handler) (this->*(p->handler))();
    });
  }
  // The recorded-sound panel has nothing to show; its item stays disabled.
  if (QAction* a = action("n_recwav")) a->setEnabled(false);
  n_view->addSeparator();
  QAction* xp = n_view->addAction(QStringLiteral("映像と字幕重ねる（XP）"));
  xp->setObjectName(QStringLiteral("n_xp"));
  QAction* w7 = n_view->addAction(QStringLiteral("映像と字幕並べる(Win7)"));
  w7->setObjectName(QStringLiteral("n_7"));
  for (QAction* a : {xp, w7}) {
    a->setCheckable(true);
    allActions.push_back(a);
  }
  xp->setChecked(true);
  connect(xp, &QAction::triggered, this, [this] { n_xpClick(); });
  connect(w7, &QAction::triggered, this, [this] { n_7Click(); });
  QAction* reset = n_view->addAction(QStringLiteral("画面字幕の位置をリセット"), this, [this] {
    tp_sub->tpsubreset();
    tp_sub->Invalidate();
  });
  reset->setObjectName(QStringLiteral("n_tpsubreset"));
  allActions.push_back(reset);
  // Not stored: off at every start.
  QAction* gauto = n_view->addAction(QStringLiteral("字幕サイズと位置を動画サイズ変更に合わせる"));
  gauto->setObjectName(QStringLiteral("n_gauto"));
  gauto->setCheckable(true);
  allActions.push_back(gauto);
  connect(gauto, &QAction::triggered, this, [this] { n_gautoClick(); });
}

void Tf_main::overlayOptionChanged() { tp_sub->Invalidate(); }
void Tf_main::n_panelsubClick() { p_subs->setVisible(opt.panelsub); }
void Tf_main::n_prenextsubClick() {
  p_presub->setVisible(opt.prenextsub);
  p_nextsub->setVisible(opt.prenextsub);
}
void Tf_main::n_focusbarClick() { Panel4->setVisible(opt.focusbar); }
void Tf_main::n_dispsubClick() { tp_sub->dispsubChanged(); }

void Tf_main::n_xpClick() {
  opt.xp = true;
  opt.win7 = false;
  action("n_xp")->setChecked(true);
  action("n_7")->setChecked(false);
  tp_sub->modeChanged();
}

void Tf_main::n_7Click() {
  opt.xp = false;
  opt.win7 = true;
  action("n_xp")->setChecked(false);
  action("n_7")->setChecked(true);
  tp_sub->modeChanged();
}

tl::ovl::VideoGeom Tf_main::videoGeom() const {
  tl::ovl::VideoGeom g;
  g.pw = player_->imageSourceWidth();
  g.ph = player_->imageSourceHeight();
  QWidget* host = player_->videoWidget() ? player_->videoWidget() : videoArea;
  g.ctlw = host->width();
  g.ctlh = host->height();
  g.cw = centralWidget() ? centralWidget()->width() : width();
  g.ch = centralWidget() ? centralWidget()->height() : height();
  g.splitter1h = Splitter1->handleWidth();
  g.panel1h = Panel1->height();
  if (auto* video = qobject_cast<tl::VideoWidget*>(host); video && tp_sub) {
    // The player's widget tells where the picture is; until it knows, the
    // picture's place is not known at all.
    const QRect shown = video->videoRect();
    if (shown.isEmpty()) {
      g.pw = 0;
      return g;
    }
    const QPoint at = video->mapTo(this, shown.topLeft()) - tp_sub->mapTo(this, QPoint(0, 0));
    g.shown = true;
    g.showx = at.x();
    g.showy = at.y();
    g.showw = shown.width();
    g.showh = shown.height();
  }
  return g;
}

void Tf_main::movsizeset() {
  if (tp_sub) tp_sub->movsizeset(videoGeom());
}

void Tf_main::gsubadj() {
  if (tp_sub) tp_sub->gsubadj(videoGeom());
}

// Every view of the window follows the model: a change announced there
// repaints what it touches.  The window's own controls follow here.
void Tf_main::subscribeViews() {
  connect(model_, &LessonModel::changed, subPanel, &tl::ui::TSubPanel::lessonChanged);
  connect(model_, &LessonModel::changed, preStrip, &tl::ui::TSubStrip::lessonChanged);
  connect(model_, &LessonModel::changed, nextStrip, &tl::ui::TSubStrip::lessonChanged);
  connect(model_, &LessonModel::changed, focusBar, &tl::ui::TFocusBar::lessonChanged);
  connect(model_, &LessonModel::changed, progressBar, &tl::ui::TProgressBar::lessonChanged);
  connect(model_, &LessonModel::changed, tp_sub,
          [this](tl::Change what, int slot) { tp_sub->lessonChanged(what, slot, model_->marks()); });
  connect(model_, &LessonModel::changed, this, &Tf_main::lessonChanged);
}

void Tf_main::lessonChanged(tl::Change what, int slot) {
  switch (what) {
    case tl::Change::Load:
      if (L.subcount > 0) setStatusText(5, "/" + tl::sec2str_4(L.subtime[L.subcount - 1]));
      pointBarRange();
      showCounters();
      break;
    case tl::Change::Letters:
      showCounters();
      break;
    case tl::Change::Timing:
      pointBarRange();
      break;
    case tl::Change::Stars:
    case tl::Change::Memos:
      if (slot == tl::kAllSlots || slot == L.cursub) showStarAndMemo();
      break;
    case tl::Change::Scenes:
      Sceneposset();
      p_bar->update();
      break;
    default:
      break;
  }
}

// The hint credits and the achievement follow every change of the letters,
// not only the next tick; with nothing loaded they are blank as at start.
void Tf_main::showCounters() {
  setStatusText(2, L.srtloaded ? tl::hintText(L.hintpoint, L.hintcost) : std::string());
  setStatusText(6, L.srtloaded ? tl::achievementText(L.flgrest, L.flgtotal) : std::string());
}

// The subtitle seek bar spans the cues in whole seconds.
void Tf_main::pointBarRange() {
  if (L.subcount > 1)
    tb_point->setRange((int)(L.subtime[1] / 10000), (int)(L.subtime[L.subcount - 1] / 10000));
}

void Tf_main::a_F5Execute() {
  p_sub->update();
  p_presub->update();
  p_nextsub->update();
  p_bar->update();
  if (tp_sub) tp_sub->Invalidate();
}

void Tf_main::subs_invalidate() {
  p_sub->update();
  p_nextsub->update();
  p_presub->update();
}

void Tf_main::repaintOverlay() {
  if (tp_sub) tp_sub->Invalidate();
}

void Tf_main::logout(const std::string& utf8) {
  const QString t = QString::fromStdString(utf8);
  setStatusText(0, utf8);
  if (tp_sub) tp_sub->logout(t);
}

// The overlay leaves the picture so that clicks reach the DVD menu; the
// learner's "画面字幕表示" stays as it is, and the end of the menu brings the
// overlay back (onStatusChange).
void Tf_main::hideOverlayForDvdMenu() {
  if (!tp_sub) return;
  dvdmenuoverlay = true;
  tp_sub->collapse();
}

void Tf_main::repaintFocusBar() { p_focusbar->update(); }

void Tf_main::sm_ref() {
  if (!L.validSlot(L.cursub)) return;
  showStarAndMemo();
  Panel1->setFocus();
}

// The star button and the memo edit show the displayed cue's.  Setting the
// box's text is no edit (only textEdited stores a memo); the learner's own
// typing is not set again, so the cursor stays where it is.
void Tf_main::showStarAndMemo() {
  if (!L.validSlot(L.cursub)) return;
  const std::string memo = L.cursub < (int)L.submemo.size() ? L.submemo[L.cursub] : std::string();
  const QString text = QString::fromStdString(tl::cp::ansiToUtf8(memo));
  if (Edit1->text() != text) Edit1->setText(text);
  const bool star = L.cursub < (int)L.substar.size() && L.substar[L.cursub] == 1;
  sb_star->setText(star ? QStringLiteral("★") : QStringLiteral("☆"));
}

bool Tf_main::overlayFontSizes(int32_t& gfsize, int32_t& gfssize) const {
  if (!tp_sub) return false;
  gfsize = (int32_t)tp_sub->gfsize();
  gfssize = (int32_t)tp_sub->gfssize();
  return true;
}

