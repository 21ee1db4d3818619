#include "player/views/subpanels.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/panellayout.h"
#include "platform/codepage/codepage.h"

namespace tl::ui {

namespace {
const QColor kWhite(255, 255, 255), kRed(255, 0, 0), kGrey(128, 128, 128), kGreen(0, 255, 0),
    kYellow(255, 255, 0), kMagenta(255, 0, 255), kBlack(0, 0, 0);

void fill(QPainter& p, const panel::Rect& r, const QColor& c) {
  if (r.width() > 0 && r.height() > 0) p.fillRect(r.left, r.top, r.width(), r.height(), c);
}
// Line from (x1, y) to (x2, y), x2 excluded.
void hline(QPainter& p, int x1, int x2, int y, const QColor& c) {
  if (x2 > x1) p.fillRect(x1, y, x2 - x1, 1, c);
}
void vline(QPainter& p, int x, int y1, int y2, const QColor& c) {
  if (y2 > y1) p.fillRect(x, y1, 1, y2 - y1, c);
}
const std::string& textOf(const Lesson& l, int slot) {
  static const std::string empty;
  return l.validSlot(slot) ? l.subtext[slot] : empty;
}
bool copyable(const Lesson& l, int slot) {
  return l.srtloaded && l.validSlot(slot) && !l.subtext[slot].empty();
}
const QString kCopied = QString::fromUtf8("コピーしました");
}  // namespace

QString ansiText(const std::string& ansi) {
  return QString::fromStdU16String(tl::cp::ansiToUtf16(ansi));
}

void copyAnsiToClipboard(const std::string& ansi) {
  if (auto* cb = QGuiApplication::clipboard()) cb->setText(ansiText(ansi));
}

// ---- p_sub -----------------------------------------------------------------

TSubPanel::TSubPanel(PanelView view, QWidget* parent) : QWidget(parent), v_(view) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCellFont(QString::fromUtf8("ＭＳ ゴシック"), 16);
}

void TSubPanel::setCellFont(const QString& face, int points) {
  font_ = cellFont(face, points);
  cell_ = measureCell(font_);
  // Both rows of a cue always fit: no splitter or lower panel squeezes the
  // dictation away.
  setMinimumHeight(2 * cell_.h + 2);
  update();
}

QPoint TSubPanel::seMarkPos(int splitterLeft) const {
  panel::Point o = panel::seMarkOffset(textOf(v_.lesson, v_.lesson.cursub), cell_.w, cell_.h);
  return {splitterLeft + o.x, y() + o.y};
}

void TSubPanel::p_subPaint(QPainter& p) const {
  p.fillRect(0, 0, width(), height(), kBlack);
  const Lesson& l = v_.lesson;
  if (!l.srtloaded) return;
  const std::string& t = textOf(l, l.cursub);
  if (t.empty()) return;
  p.setFont(font_);
  p.setPen(kWhite);
  for (int i = 0; i < (int)t.size();) {
    int n = 1;
    QString g = glyphAt(t, i, &n);
    panel::RowCol rc = panel::panelRowCol(t, i);
    drawGlyph(p, rc.col * cell_.w, panel::panelRowY(rc.row, cell_.h), g, cell_);
    i += n;
  }
  if (v_.opts.subview) return;
  bool masks = !(v_.opts.subopenmode || v_.peekkey);
  for (int i = 0; i < (int)t.size(); ++i) {
    int f = l.flg(l.cursub, i);
    panel::Rect r = panel::panelCell(t, i, cell_.w, cell_.h);
    if (f == flg_closed || f == flg_hinted) hline(p, r.left, r.right, r.bottom, kRed);
    else if (f == flg_reclosed) hline(p, r.left, r.right, r.bottom, kWhite);
    if (masks && flgHidden(f)) fill(p, r, i == l.subcsr ? kGrey : kWhite);
  }
}

void TSubPanel::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p_subPaint(p);
  emit painted();
}

void TSubPanel::mousePressEvent(QMouseEvent* e) {
  const Lesson& l = v_.lesson;
  QPoint pos = e->position().toPoint();
  if (e->button() == Qt::RightButton) {
    press_ = pos;
    return;
  }
  if (e->button() != Qt::LeftButton || !l.srtloaded || l.cursub < 1) return;
  if (!copyable(l, l.cursub) || !Lesson::isCue(l.cursub)) return;
  const std::string& t = l.subtext[l.cursub];
  if (e->modifiers() & Qt::AltModifier) {
    emit syncClicked(-1, l.cursub, panel::clickColumn(t, pos.x(), pos.y(), cell_.w, cell_.h));
    return;
  }
  panel::PanelHit h = panel::panelHit(t, pos.x(), pos.y(), cell_.w, cell_.h);
  if (h.valid()) emit wordClicked(h.index + 1);
}

void TSubPanel::mouseReleaseEvent(QMouseEvent* e) {
  const Lesson& l = v_.lesson;
  if (e->button() != Qt::RightButton || !copyable(l, l.cursub)) return;
  const std::string& t = l.subtext[l.cursub];
  QPoint pos = e->position().toPoint();
  std::string text;
  panel::PanelHit b = panel::panelHit(t, pos.x(), pos.y(), cell_.w, cell_.h);
  if (pos == press_) {
    if (b.valid()) text = panel::wordAt(t, b.index);
  } else if (press_.x() >= 0) {
    panel::PanelHit a = panel::panelHit(t, press_.x(), press_.y(), cell_.w, cell_.h);
    // a drag that lies wholly right of the text holds no letter
    if (!(a.past && b.past)) text = panel::trimBreaks(panel::byteRange(t, a.clamped, b.clamped));
  }
  if (text.empty()) return;
  copyAnsiToClipboard(text);
  emit logout(ansiText(text) + kCopied);
}

// ---- strips ------------------------------------------------------------------

TSubStrip::TSubStrip(PanelView view, int offset, QWidget* parent)
    : QWidget(parent), v_(view), offset_(offset) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setCellFont(QString::fromUtf8("ＭＳ ゴシック"), 10);
}

void TSubStrip::setCellFont(const QString& face, int points) {
  font_ = cellFont(face, points);
  cell_ = measureCell(font_);
  setFixedHeight(cell_.h);
  update();
}

void TSubStrip::setTextLeft(int x0) {
  x0_ = x0;
  update();
}

void TSubStrip::followLeftOf(QWidget* w) {
  if (follow_) follow_->removeEventFilter(this);
  follow_ = w;
  if (!w) return;
  w->installEventFilter(this);
  setTextLeft(w->x());
}

bool TSubStrip::eventFilter(QObject* o, QEvent* e) {
  if (o == follow_ && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
    setTextLeft(follow_->x());
  return QWidget::eventFilter(o, e);
}

TMarginSplitter::TMarginSplitter(QWidget* margin, QWidget* parent, int minRest)
    : QWidget(parent), margin_(margin), minRest_(minRest) {
  setCursor(Qt::SplitHCursor);
}

void TMarginSplitter::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton || !margin_) return;
  drag_ = true;
  pressGlobalX_ = (int)e->globalPosition().x();
  pressWidth_ = margin_->width();
}

void TMarginSplitter::mouseMoveEvent(QMouseEvent* e) {
  if (!drag_) return;
  int w = pressWidth_ + (int)e->globalPosition().x() - pressGlobalX_;
  int most = parentWidget() ? parentWidget()->width() - width() - minRest_ : w;
  w = std::max(0, std::min(w, most));
  if (w == margin_->width()) return;
  margin_->setFixedWidth(w);
  emit moved();
}

void TMarginSplitter::mouseReleaseEvent(QMouseEvent*) { drag_ = false; }

void TSubStrip::p_smallpaint(QPainter& p, int slot) const {
  p.fillRect(0, 0, width(), height(), kBlack);
  const Lesson& l = v_.lesson;
  if (!l.srtloaded) return;
  p.setFont(font_);
  p.setPen(kGrey);
  if (slot <= 0 || slot >= l.subcount) {
    p.drawText(QPoint(x0_, cell_.ascent), slot <= 0 ? QStringLiteral("---------first-------")
                                                    : QStringLiteral("---------end---------"));
    return;
  }
  const std::string& t = textOf(l, slot);
  drawCells(p, x0_, 0, t, cell_);  // CR LF cells stay blank
  if (v_.lettersShown()) return;
  for (int i = 0; i < (int)t.size(); ++i)
    if (flgHidden(l.flg(slot, i))) p.fillRect(x0_ + i * cell_.w, 0, cell_.w - 1, cell_.h, kGrey);
}

void TSubStrip::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p_smallpaint(p, slot());
}

void TSubStrip::mousePressEvent(QMouseEvent* e) {
  const Lesson& l = v_.lesson;
  int x = (int)e->position().x();
  if (e->button() == Qt::RightButton) {
    pressx_ = x;
    return;
  }
  if (e->button() != Qt::LeftButton || !(e->modifiers() & Qt::AltModifier)) return;
  if (!l.srtloaded || l.cursub < 1) return;
  int s = slot();
  // Only a cue of the table that is shown here; the previous strip marks
  // itself as the start of a partial shift, the next strip the displayed cue.
  if (s < 1 || !Lesson::isCue(s) || !copyable(l, s)) return;
  int col = cell_.w > 0 ? (x - x0_) / cell_.w + 1 : 0;
  emit syncClicked(offset_ < 0 ? s : l.cursub, s, col);
}

void TSubStrip::mouseReleaseEvent(QMouseEvent* e) {
  const Lesson& l = v_.lesson;
  int s = slot();
  if (e->button() != Qt::RightButton || !copyable(l, s)) return;
  const std::string& t = l.subtext[s];
  int x = (int)e->position().x();
  panel::PanelHit b = panel::stripHit(t, x, x0_, cell_.w);
  std::string text;
  if (x == pressx_) {  // minicopy
    if (b.valid()) text = panel::wordAt(t, b.index);
  } else if (pressx_ >= 0) {  // minicopydrag
    panel::PanelHit a = panel::stripHit(t, pressx_, x0_, cell_.w);
    text = panel::trimBreaks(panel::byteRange(t, a.clamped, b.clamped));
  }
  if (text.empty()) return;
  copyAnsiToClipboard(text);
  emit logout(ansiText(text) + kCopied);
}

void fontset(TSubPanel* sub, TSubStrip* pre, TSubStrip* next, const QString& face, int size,
             int ssize) {
  if (sub) sub->setCellFont(face, size);
  if (pre) pre->setCellFont(face, ssize);
  if (next) next->setCellFont(face, ssize);
}

// ---- focus bar ---------------------------------------------------------------

TFocusBar::TFocusBar(PanelView view, QWidget* parent) : QWidget(parent), v_(view) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  font_ = cellFontPx(QString::fromUtf8("ＭＳ ゴシック"), 12);
  cell_ = measureCell(font_);
}

void TFocusBar::lnpaint(QPainter& p, int x, int slot) const {
  const Lesson& l = v_.lesson;
  bool cue = Lesson::isCue(slot);
  bool cleared = slot < (int)l.subclear.size() && l.subclear[slot] == 1;
  if (cue) {
    std::string label = std::to_string((slot + 1) / 2);
    if (v_.lettersShown() || cleared) label += "[" + textOf(l, slot).substr(0, 5) + "]";
    p.fillRect(x + 3, 0, (int)label.size() * cell_.w, cell_.h, kBlack);
    p.setPen(kWhite);
    drawCells(p, x + 3, 0, label, cell_);
  }
  QColor c = cue ? kWhite : kGrey;
  if (cue && cleared) c = kGreen;
  if (slot == l.startsub) c = kMagenta;
  vline(p, x, 0, height(), c);
}

void TFocusBar::p_focusbarPaint(QPainter& p) const {
  int w = width(), h = height();
  p.fillRect(0, 0, w, h, kBlack);
  const Lesson& l = v_.lesson;
  if (!l.srtloaded) return;
  int centre = panel::focusCentre(w);
  for (int k = -10; k <= 10; ++k) vline(p, w * k / 30 + centre, h * 3 / 4, h, kGrey);
  p.setFont(font_);
  int count = std::min<int>(l.subcount, (int)l.subtime.size());
  int cur = std::clamp(l.cursub, 0, std::max(0, count));
  for (int i = cur; i < count; ++i) {
    int x = panel::focusOffset(l.subtime[i], l.nowpos, w);
    if (x > centre) break;
    lnpaint(p, x + centre, i);
  }
  for (int i = std::min(cur - 1, count - 1); i >= 0; --i) {
    int x = panel::focusOffset(l.subtime[i], l.nowpos, w);
    if (x + centre < 0) break;
    lnpaint(p, x + centre, i);
  }
  vline(p, centre, 0, h, kRed);
}

void TFocusBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p_focusbarPaint(p);
}

void TFocusBar::mouseReleaseEvent(QMouseEvent* e) {
  if (!v_.lesson.srtloaded || width() <= 0) return;
  emit playFrom(panel::focusClickTime((int)e->position().x(), width(), v_.lesson.nowpos));
}

// ---- progress bar ------------------------------------------------------------

TProgressBar::TProgressBar(PanelView view, QWidget* parent) : QWidget(parent), v_(view) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void TProgressBar::p_barPaint(QPainter& p) const {
  int W = width(), H = height();
  const Lesson& l = v_.lesson;
  if (!l.srtloaded) {
    p.fillRect(0, 0, W, H, kBlack);
    return;
  }
  p.fillRect(0, 0, W, H, kWhite);
  panel::BarScale s = panel::barScale(l, W);
  int count = std::min<int>(l.subcount, (int)l.subtime.size());
  auto band = [&](int xa, int xb, const QColor& c) {
    if (xb > xa) p.fillRect(xa, 0, xb - xa, H, c);
  };
  if (s.usable()) {
    for (int i = 1; i < count - 1; i += 2) {
      if (i >= (int)l.subclear.size() || l.subclear[i] != 1) continue;
      int end = i + 2 < count ? i + 2 : i + 1;
      band(s.x(l.subtime[i]), s.x(l.subtime[end]), kGreen);
    }
  }
  int scenes = (int)l.scenetop.size();
  auto sceneStart = [&](int sc) {
    int top = l.scenetop[sc];
    return top >= 0 && top < count ? s.x(l.subtime[top]) : 0;
  };
  if (s.usable()) {
    for (int sc = 0; sc < scenes; ++sc) {
      if (sc >= (int)l.sceneflg.size() || l.sceneflg[sc] != 1) continue;
      band(sceneStart(sc), sc + 1 < scenes ? sceneStart(sc + 1) : W, kYellow);
    }
  }
  for (int sc = 0; sc < scenes; ++sc) vline(p, sceneStart(sc), 0, 5, kBlack);
}

void TProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p_barPaint(p);
}

void TProgressBar::mousePressEvent(QMouseEvent*) {
  if (!v_.lesson.srtloaded) return;
  seekdrag_ = true;
  emit seekDragChanged(true);
}

void TProgressBar::mouseMoveEvent(QMouseEvent* e) {
  if (!v_.lesson.srtloaded || !seekdrag_) return;
  int x = (int)e->position().x();
  panel::BarScale s = panel::barScale(v_.lesson, width());
  bool in = s.usable() && x >= 0 && x <= s.width;
  // seconds of (span x / W + first), truncated
  int secs = in ? (int)((s.first * s.width + s.span * x) / ((int64_t)s.width * 10000)) : 0;
  emit seekDragMoved(in, secs);
}

void TProgressBar::mouseReleaseEvent(QMouseEvent* e) {
  bool was = seekdrag_;
  seekdrag_ = false;
  if (was) emit seekDragChanged(false);
  if (!v_.lesson.srtloaded) return;
  panel::BarScale s = panel::barScale(v_.lesson, width());
  if (!s.usable()) return;  // zero span or no width: nothing to seek
  emit seekReleased(s.timeAt((int)e->position().x()));
}

}  // namespace tl::ui

namespace tl::ui {

// ---- subscriptions to the lesson model ---------------------------------------

namespace {
// Kinds that change what a strip of cue text shows.
bool touchesText(Change what) {
  switch (what) {
    case Change::Load:
    case Change::Letters:
    case Change::Cursor:
    case Change::Timing:
    case Change::Texts:
    case Change::Peek:
      return true;
    default:
      return false;
  }
}
}  // namespace

void TSubPanel::lessonChanged(Change what, int slot) {
  if (touchesText(what) && (slot == kAllSlots || slot == v_.lesson.cursub)) update();
}

void TSubStrip::lessonChanged(Change what, int slot) {
  if (touchesText(what) && (slot == kAllSlots || slot == this->slot())) update();
}

void TFocusBar::lessonChanged(Change what, int slot) {
  if (what == Change::Load || what == Change::Timing || what == Change::Letters ||
      (what == Change::Cursor && slot == kAllSlots))
    update();
}

void TProgressBar::lessonChanged(Change what, int) {
  if (what == Change::Load || what == Change::Letters || what == Change::Timing) update();
}

}  // namespace tl::ui
