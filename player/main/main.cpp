// Tf_main: creation, layout, closing, menu bar and full screen.
#include "player/widgets/statuspanel.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QSlider>
#include <QSplitter>
#include <QStatusBar>
#include <QStyle>
#include <QToolButton>

#include "platform/media/mediaplayer.h"
#include "platform/media/videowidget.h"
#include "audio/AudioIO.h"
#include "audio/Mixers.h"
#include "core/commitjournal.h"
#include "core/dictationkeys.h"
#include "core/settings.h"
#include "player/widgets/boxowner.h"
#include "player/views/overlay.h"
#include "player/views/subpanels.h"
#include "player/widgets/Extrkbar.h"
#include "player/wave/wavepanel.h"
#include "player/translate/translation.h"
#include "player/windows.h"

namespace {

uint32_t monotonicMs() {
  static QElapsedTimer t = [] {
    QElapsedTimer e;
    e.start();
    return e;
  }();
  return (uint32_t)t.elapsed();
}

QWidget* blackBox(QWidget* parent, const char* name) {
  auto* w = new QWidget(parent);
  w->setObjectName(QString::fromLatin1(name));
  w->setAutoFillBackground(true);
  QPalette p = w->palette();
  p.setColor(QPalette::Window, Qt::black);
  w->setPalette(p);
  return w;
}

}  // namespace

// The lock button's face: a padlock drawn here (the emoji padlocks are in
// none of the installed fonts).
QIcon lockIcon(bool locked) {
  QPixmap pm(16, 16);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor c = locked ? QColor(200, 0, 0) : QColor(60, 60, 60);
  p.setPen(QPen(c, 2));
  p.setBrush(Qt::NoBrush);
  // The shackle: closed into the body when locked, swung open when not.
  if (locked)
    p.drawArc(QRectF(4, 1, 8, 10), 0, 180 * 16);
  else
    p.drawArc(QRectF(8, 0, 8, 10), 0, 180 * 16);
  if (locked) {
    p.drawLine(QPointF(4, 6), QPointF(4, 8));
    p.drawLine(QPointF(12, 6), QPointF(12, 8));
  } else {
    p.drawLine(QPointF(16, 5), QPointF(16, 7));
    p.drawLine(QPointF(8, 5), QPointF(8, 8));
  }
  p.setPen(Qt::NoPen);
  p.setBrush(c);
  p.drawRoundedRect(QRectF(2, 7, 12, 9), 1.5, 1.5);
  return QIcon(pm);
}

Tf_main::Tf_main(MainDeps deps, QWidget* parent)
    : QMainWindow(parent), model_(new LessonModel(this)), L(model_->lesson()),
      opt(model_->options()), dict(model_->dictation()), deps_(std::move(deps)),
      player_(std::move(deps_.player)) {
  setObjectName(QStringLiteral("f_main"));
  setWindowTitle(QStringLiteral("Tallisen 3.991"));
  if (!deps_.tickCount) deps_.tickCount = monotonicMs;
  playback_ = std::make_unique<PlaybackController>(*model_, *player_, [this] { return deps_.tickCount(); });
  FormCreate();
}

Tf_main::~Tf_main() {
  qApp->removeEventFilter(this);
  // The translation side goes first: its workers and requests are stopped
  // while the window is still whole, and nothing they deliver later lands.
  delete ts;
  ts = nullptr;
}

void Tf_main::FormCreate() {
  buildLayout();
  // The player's video fills its area.
  if (QWidget* vw = player_->videoWidget()) {
    vw->setParent(videoArea);
    videoArea->layout()->addWidget(vw);
  }
  buildPanels();
  // The overlay follows the picture wherever the player puts it (the first
  // frame's size, a new window size, the aspect of another medium).
  if (auto* video = qobject_cast<tl::VideoWidget*>(player_->videoWidget()))
    connect(video, &tl::VideoWidget::videoRectChanged, this, [this] { gsubadj(); });
  buildWavePanels();
  subscribeViews();
  buildMenus();
  buildViewMenu();
  wireButtons();
  wireCueCommands();
  createRecorder();
  exedir_ = deps_.exedir;
  // A save that a crash cut short is finished before any file is read.
  std::string recoveryErr;
  if (!tl::journal::recover(exedir_ + "sav", &recoveryErr))
    message(QString::fromStdString(tl::journal::recoveryFailedMessage(recoveryErr)));
  dict.ppbtnheld = dict.peekkey = false;
  dvdmenuoverlay = false;
  subflginit();
  driveAdd();
  L.hintcost = 20;
  L.hintpoint = 20;
  setAcceptDrops(true);
  ReadFile();
  translationCreate();
  if (deps_.hive) {
    std::vector<std::string> msgs;
    const tl::TotalTime tt = tl::ReadTotaltime(*deps_.hive, &msgs);
    totaltimebase = tt.ms;
    totaltimeUnreadable_ = !tl::mayStoreTotaltime(tt);
    for (const auto& m : msgs) message(QString::fromStdString(m));
  }
  starttick = tickCount();

  wirePlayback();

  player_->onOpenStateChange = [this](int s) { WMPOpenStateChange(s); };
  player_->onClick = [this](int, int, int, int) {
    raise();
    activateWindow();
  };
  // Key preview: every key of the application passes the window first.
  qApp->installEventFilter(this);
  enableSubtitleControls(false);
  // Wide enough for panel 0's text beside the others (with the gaps between
  // the panels and the size grip).
  statusBar()->setMinimumWidth(statusPanelsWidth_ + 8 * 8 + 24);
  resize(std::max(760, statusBar()->minimumWidth()), 620);
  // The mixer component opens every mixer device when the window is loaded;
  // nothing calls it afterwards.
  Mixer1 = std::make_unique<tl::TMixer>(this, deps_.mixerSystem ? deps_.mixerSystem() : nullptr);
  Mixer1->Loaded();
}

void Tf_main::buildLayout() {
  auto* central = new QWidget(this);
  auto* top = new QVBoxLayout(central);
  top->setContentsMargins(0, 0, 0, 0);
  top->setSpacing(0);

  Splitter1 = new QSplitter(Qt::Vertical, central);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  Splitter1->setChildrenCollapsible(false);
  videoArea = blackBox(Splitter1, "WMP");
  auto* vl = new QVBoxLayout(videoArea);
  vl->setContentsMargins(0, 0, 0, 0);
  videoArea->setMinimumHeight(40);

  Panel1 = blackBox(Splitter1, "Panel1");
  Panel1->setFocusPolicy(Qt::StrongFocus);
  Panel1->setAttribute(Qt::WA_InputMethodEnabled, false);
  auto* p1 = new QVBoxLayout(Panel1);
  p1->setContentsMargins(0, 0, 0, 0);
  p1->setSpacing(0);

  Panel7 = blackBox(Panel1, "Panel7");
  Panel7->setFixedHeight(24);
  auto* p7 = new QHBoxLayout(Panel7);
  p7->setContentsMargins(2, 0, 2, 0);
  sb_star = new QToolButton(Panel7);
  sb_star->setObjectName(QStringLiteral("sb_star"));
  sb_star->setText(QStringLiteral("☆"));
  sb_star->setFocusPolicy(Qt::NoFocus);
  Edit1 = new QLineEdit(Panel7);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  p7->addWidget(sb_star);
  p7->addWidget(Edit1, 1);
  p1->addWidget(Panel7);

  p_subs = blackBox(Panel1, "p_subs");
  auto* ps = new QVBoxLayout(p_subs);
  ps->setContentsMargins(0, 0, 0, 0);
  ps->setSpacing(0);
  p_presub = blackBox(p_subs, "p_presub");
  p_presub->setFixedHeight(14);
  auto* mid = new QHBoxLayout();
  mid->setContentsMargins(0, 0, 0, 0);
  mid->setSpacing(0);
  PaintBox1 = blackBox(p_subs, "PaintBox1");
  PaintBox1->setFixedWidth(24);
  Splitter2 = new tl::ui::TMarginSplitter(PaintBox1, p_subs);
  Splitter2->setObjectName(QStringLiteral("Splitter2"));
  Splitter2->setFixedWidth(3);
  Splitter2->setAutoFillBackground(true);
  p_sub = blackBox(p_subs, "p_sub");
  mid->addWidget(PaintBox1);
  mid->addWidget(Splitter2);
  mid->addWidget(p_sub, 1);
  p_nextsub = blackBox(p_subs, "p_nextsub");
  p_nextsub->setFixedHeight(14);
  ps->addWidget(p_presub);
  ps->addLayout(mid, 1);
  ps->addWidget(p_nextsub);
  i_se = new QLabel(p_subs);
  i_se->setObjectName(QStringLiteral("i_se"));
  i_se->setFixedSize(18, 18);
  i_se->setText(QStringLiteral("◆"));
  i_se->setStyleSheet(QStringLiteral("color: rgb(0,255,0);"));
  i_se->hide();
  p1->addWidget(p_subs, 1);

  Panel4 = blackBox(Panel1, "Panel4");
  Panel4->setFixedHeight(15);
  auto* p4 = new QVBoxLayout(Panel4);
  p4->setContentsMargins(0, 1, 0, 1);
  p_focusbar = blackBox(Panel4, "p_focusbar");
  p4->addWidget(p_focusbar);
  p1->addWidget(Panel4);

  Panel3 = blackBox(Panel1, "Panel3");
  Panel3->setFixedHeight(27);
  auto* p3 = new QVBoxLayout(Panel3);
  p3->setContentsMargins(0, 0, 0, 0);
  p3->setSpacing(0);
  tb_point = new TExtTrackBar(Panel3);
  tb_point->setObjectName(QStringLiteral("tb_point"));
  tb_point->setFixedHeight(11);
  tb_point->setFocusPolicy(Qt::NoFocus);
  p_bar = blackBox(Panel3, "p_bar");
  p_bar->setFixedHeight(11);
  auto* barRow = new QHBoxLayout();
  // left 8, width tb_point's - 2 x 8 + 2, right under tb_point
  barRow->setContentsMargins(8, 0, 6, 0);
  barRow->addWidget(p_bar);
  p3->addWidget(tb_point);
  p3->addLayout(barRow);
  p3->addStretch(1);
  p1->addWidget(Panel3);

  Splitter1->addWidget(videoArea);
  Splitter1->addWidget(Panel1);
  Splitter1->setStretchFactor(0, 1);
  Splitter1->setStretchFactor(1, 0);
  Splitter1->setSizes({400, 150});
  top->addWidget(Splitter1, 1);

  // Playback bar.
  auto* bar = new QWidget(central);
  bar->setObjectName(QStringLiteral("playbar"));
  playbar_ = bar;
  auto* bl = new QHBoxLayout(bar);
  bl->setContentsMargins(2, 1, 2, 1);
  bl->setSpacing(1);
  auto button = [&](QToolButton*& b, const char* name, const QString& glyph, const QString& hint) {
    b = new QToolButton(bar);
    b->setObjectName(QString::fromLatin1(name));
    b->setText(glyph);
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoRaise(true);
    bl->addWidget(b);
  };
  button(sb_playpause, "sb_playpause", QString(), QStringLiteral("再生/一時停止（スペース）"));
  sb_playpause->setIcon(style()->standardIcon(QStyle::SP_MediaPlay));
  button(sb_stop, "sb_stop", QString(), QStringLiteral("停止"));
  sb_stop->setIcon(style()->standardIcon(QStyle::SP_MediaStop));
  button(sb_previous, "sb_previous", QStringLiteral("|◀"), QStringLiteral("１チャプター戻る"));
  button(sb_sceneback, "sb_sceneback", QStringLiteral("◀◀"), QStringLiteral("１シーン戻る"));
  button(sb_sntback, "sb_sntback", QStringLiteral("◀"), QStringLiteral("１文戻る（↑）"));
  button(sb_sntnext, "sb_sntnext", QStringLiteral("▶"), QStringLiteral("１文進む（ctrl+↓）"));
  button(sb_scenenext, "sb_scenenext", QStringLiteral("▶▶"), QStringLiteral("１シーン進む"));
  button(sb_next, "sb_next", QStringLiteral("▶|"), QStringLiteral("１チャプター進む"));
  button(sb_wordback, "sb_wordback", QStringLiteral("←"), QStringLiteral("カーソル戻る（←）"));
  button(sb_wordnext, "sb_wordnext", QStringLiteral("→"), QStringLiteral("カーソル進む（→）"));
  button(sb_sublock, "sb_sublock", QString(), QStringLiteral("字幕ロック"));
  sb_sublock->setIcon(lockIcon(false));
  button(sb_hint, "sb_hint", QStringLiteral("F1"), QStringLiteral("1文字ヒント(F1)"));
  button(sb_giveup, "sb_giveup", QStringLiteral("Esc"), QStringLiteral("1文ギブアップ(Esc)"));
  button(sb_opendic, "sb_opendic", QString(), QStringLiteral("表示/ディクテーション"));
  tb_movie = new TExtTrackBar(bar);
  tb_movie->setObjectName(QStringLiteral("tb_movie"));
  tb_movie->setFocusPolicy(Qt::NoFocus);
  tb_movie->setMaximum(1000);
  bl->addWidget(tb_movie, 1);
  i_sl = new QLabel(QStringLiteral("遅"), bar);
  i_sl->setToolTip(QStringLiteral("スロー"));
  t_spd = new QSlider(Qt::Horizontal, bar);
  t_spd->setObjectName(QStringLiteral("t_spd"));
  t_spd->setRange(5, 20);
  t_spd->setValue(10);
  t_spd->setFixedWidth(80);
  t_spd->setFocusPolicy(Qt::NoFocus);
  i_ff = new QLabel(QStringLiteral("速"), bar);
  i_ff->setToolTip(QStringLiteral("早送り"));
  l_rate = new QLabel(QStringLiteral("1"), bar);
  l_rate->setObjectName(QStringLiteral("l_rate"));
  l_rate->setMinimumWidth(24);
  bl->addWidget(i_sl);
  bl->addWidget(t_spd);
  bl->addWidget(i_ff);
  bl->addWidget(l_rate);
  i_sl->hide();
  t_spd->hide();
  i_ff->hide();
  l_rate->hide();
  t_vlm = new QSlider(Qt::Horizontal, bar);
  t_vlm->setObjectName(QStringLiteral("t_vlm"));
  t_vlm->setRange(0, 100);
  t_vlm->setValue(50);
  t_vlm->setFixedWidth(80);
  t_vlm->setFocusPolicy(Qt::NoFocus);
  t_vlm->setToolTip(QStringLiteral("音量"));
  bl->addWidget(t_vlm);
  top->addWidget(bar);
  setCentralWidget(central);

  // Status bar: eight panels.
  auto* sbar = statusBar();
  // Each panel is as wide as the longest text it shows; panel 0 takes the rest.
  const char* widest[8] = {"ディクテーションモード/未クリア文ポーズ", "ﾘﾋﾟｰﾄ:99", "ﾋﾝﾄ:999/999", "99-999",
                           "00:00:00,0000", "/00:00:00,0000", "達成:100%:9999/9999", "00:00:00"};
  for (int i = 0; i < 8; ++i) {
    auto* l = new tl::ui::StatusPanel(sbar);
    const int need = l->widthFor(QString::fromUtf8(widest[i]));
    statusPanelsWidth_ += need;
    // Each panel has a fixed size, so that a new text (the position, at every
    // tick) lays out neither the status bar nor the window.  Panel 0 grows
    // with the window but never below its own text, so a window sized to a
    // small video keeps it whole too; long log lines are cut at its edge.
    l->setFixedHeight(l->sizeHint().height());
    if (i > 0) l->setFixedWidth(need);
    else l->setMinimumWidth(need);
    if (i == 0) l->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    statusPanels.push_back(l);
    sbar->addWidget(l, i == 0 ? 1 : 0);
  }
  // With the menu bar hidden, a right click on the status bar brings it back.
  sbar->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(sbar, &QWidget::customContextMenuRequested, this, [this](const QPoint& p) {
    QMenu m(this);
    m.addAction(QStringLiteral("メニューを表示"), this, [this] { setMenuVisible(true); });
    m.exec(statusBar()->mapToGlobal(p));
  });

  connect(t_vlm, &QSlider::valueChanged, this, &Tf_main::t_vlmChange);
  connect(t_spd, &QSlider::valueChanged, this, &Tf_main::t_spdChange);
  spltcol();
}

void Tf_main::driveAdd() {
  for (QAction* a : driveItems) delete a;
  driveItems.clear();
  if (!deps_.drives) return;
  for (const auto& d : driveList()) {
    QAction* a = n_dvd->addAction(QString::fromStdString(d.second) + QStringLiteral("を再生する"));
    const std::string dev = d.first;
    connect(a, &QAction::triggered, this, [this, dev] { driveplay(dev); });
    driveItems.push_back(a);
  }
}

void Tf_main::subflginit() {
  L.srtloaded = false;
  L.startsub = 0;
  L.subcsr = 0;
  L.repcount = 1;
  L.curscene = -1;
  L.possub = 0;
  L.cursub = 0;
  L.srtnum = 0;
  L.subcount = 0;
  L.prevpossub = 0;
  L.flgdirty = L.srtdirty = false;
  L.flgtotal = L.flgrest = 0;
  L.adjsaved = 0;
  L.adjfrom = 0;
  L.resumesub = 0;
  L.forcetick = false;
  L.sublocked = false;
  if (n_sublock && n_sublock->isEnabled()) n_sublock->setChecked(false);
  if (sb_sublock) sb_sublock->setIcon(lockIcon(false));  // the button shows the state it toggles from
  L.justseeked = false;
  L.nowpos = 0;
  L.replaytick = 0;
  L.newcue = false;
  playback_->clearSeMark();
  model_->announce(tl::Change::Load);
}

void Tf_main::message(const QString& text, const QString& caption, QWidget* asking) {
  if (deps_.showMessage) {
    deps_.showMessage(text, caption);
    return;
  }
  std::unique_ptr<QMessageBox> box(tl::ui::newBox(QMessageBox::Information,
                                                  caption.isEmpty() ? QStringLiteral("Tallisen") : caption, text,
                                                  QMessageBox::Ok, asking, this));
  box->exec();
}

int Tf_main::question(const QString& text, const QString& caption, int buttons, QWidget* asking) {
  if (deps_.ask) return deps_.ask(text, caption, buttons);
  std::unique_ptr<QMessageBox> box(
      tl::ui::newBox(QMessageBox::Question, caption, text, QMessageBox::StandardButtons(buttons), asking, this));
  return box->exec();
}

QString Tf_main::statusText(int panel) const {
  if (panel < 0 || panel >= (int)statusPanels.size()) return {};
  return statusPanels[panel]->text();
}

void Tf_main::setStatusText(int panel, const std::string& utf8) {
  if (panel < 0 || panel >= (int)statusPanels.size()) return;
  const QString t = QString::fromStdString(utf8);
  if (statusPanels[panel]->text() != t) statusPanels[panel]->setText(t);
}

bool Tf_main::FormCloseQuery() {
  QString q;
  if (L.flgdirty && L.srtdirty)
    q = QStringLiteral("進捗と字幕を上書き保存しますか？");
  else if (L.flgdirty)
    q = QStringLiteral("進捗を保存しますか？");
  else if (L.srtdirty)
    q = QStringLiteral("字幕を上書き保存しますか？");
  if (q.isEmpty()) return true;
  int r = question(q, QStringLiteral("セーブ"), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, this);
  if (r == QMessageBox::Cancel) return false;
  if (r == QMessageBox::Yes) {
    // A failed write keeps the window open so that nothing is lost.
    if (!srtsav()) return false;
    if (!subflgsave()) return false;
  }
  return true;
}

void Tf_main::FormClose() {
  // The translation worker and the on-demand requests: their transfers are
  // aborted, and the close waits for them a bounded time.
  if (ts) ts->stop();
  stopWorkersAtClose();
  playback_->stopPolling();
  player_->close();
  saveSettingsAtClose();
}

void Tf_main::closeEvent(QCloseEvent* e) {
  if (!FormCloseQuery()) {
    e->ignore();
    return;
  }
  // An open word review is saved now that the window really closes; when it
  // cannot be, the learner chooses between dropping the answers and staying.
  if (windows_ && !windows_->saveOpenReview()) {
    e->ignore();
    return;
  }
  FormClose();
  e->accept();
  if (deps_.closed) deps_.closed();
}

void Tf_main::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange) {
    if (isActiveWindow())
      FormActivate();
    else
      FormDeactivate();
  }
  QMainWindow::changeEvent(e);
}

void Tf_main::FormActivate() { shortcuton(); }

void Tf_main::FormDeactivate() {
  shortcutoff();
  // Keys held while the window loses the focus count as released.
  if (tl::dictFocusLost(dict)) model_->announce(tl::Change::Peek);
}

void Tf_main::setMenuVisible(bool on) {
  menuBar()->setVisible(on);
  if (auto* a = action("a_menuvis")) a->setChecked(on);
}

void Tf_main::n_fullClick() {
  if (n_fullp->isChecked()) {
    savedPanelHeight = Panel1->height();
    // The panel and the playback bar give all their room to the video.
    Panel1->setFixedHeight(0);
    Panel1->hide();
    if (playbar_) playbar_->hide();
    showMaximized();
    gsubadj();
  } else {
    Panel1->setMinimumHeight(0);
    Panel1->setMaximumHeight(QWIDGETSIZE_MAX);
    Panel1->show();
    if (playbar_) playbar_->show();
    QList<int> s = Splitter1->sizes();
    if (s.size() == 2) {
      int total = s[0] + s[1];
      Splitter1->setSizes({std::max(0, total - savedPanelHeight), savedPanelHeight});
    }
    setMenuVisible(true);
  }
}

void Tf_main::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  FormResize();
}

QAction* Tf_main::action(const char* name) const {
  for (QAction* a : allActions)
    if (a->objectName() == QLatin1String(name)) return a;
  return nullptr;
}
