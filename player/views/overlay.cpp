#include "player/views/overlay.h"

#include <QBoxLayout>
#include <QClipboard>
#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "core/panellayout.h"

namespace tl::ui {

namespace {
const QColor kWhite(255, 255, 255), kRed(255, 0, 0), kYellow(255, 255, 0), kGreen(0, 255, 0),
    kBlack(0, 0, 0);
const QString kHiddenDot = QString(QChar(0xFF65));  // "･"
const QString kDash = QString::fromUtf8("－");

const std::string& textOf(const Lesson& l, int slot) {
  static const std::string empty;
  return l.validSlot(slot) ? l.subtext[slot] : empty;
}

// Offset of a translated word entry: its first three characters, 1 when they
// are not a number.
int entryOffset(const std::string& e) {
  if (e.size() < 3) return 1;
  int v = 0;
  for (int k = 0; k < 3; ++k) {
    if (e[k] < '0' || e[k] > '9') return 1;
    v = v * 10 + (e[k] - '0');
  }
  return v;
}
}  // namespace

TSubOverlay::TSubOverlay(PanelView view, QWidget* videoWidget)
    : TTransPanel(videoWidget), v_(view), video_(videoWidget) {
  OnPaint = [this](TTransPanel*, QPainter& p) { tp_subPaint(p); };
  if (videoWidget) videoWidget->installEventFilter(this);
  if (QWidget* area = bandArea()) area->installEventFilter(this);
  setCursorNo(1);
  applyAlign();
}

// ---- fonts and cells ---------------------------------------------------------

TSubOverlay::Band TSubOverlay::bandAt(int pts, int spts) const {
  Band b;
  b.pts = pts;
  b.spts = spts;
  b.ch = measureCell(cellFont(face_, pts, v_.opts.bold)).h;
  b.sh = measureCell(cellFont(face_, spts, v_.opts.bold)).h;
  b.wdgap = v_.opts.gtsword ? b.sh + 5 : 5;
  b.sntgap = v_.opts.gtssnt ? b.sh + 10 : 10;
  // number, previous cue, the two lines, next cue, with their gaps
  b.need = 3 * b.ch + 2 * b.sh + b.wdgap + 2 * b.sntgap;
  return b;
}

const TSubOverlay::Band& TSubOverlay::band() const {
  const int pts = ovl::pointsOf(gfsize_), spts = ovl::pointsOf(gfssize_);
  const int key[6] = {pts, spts, v_.opts.bold, v_.opts.gtsword, v_.opts.gtssnt, height()};
  if (std::equal(key, key + 6, bandKey_)) return band_;
  std::copy(key, key + 6, bandKey_);
  band_ = bandAt(pts, spts);
  // Too low for all of it: both sizes shrink alike until it fits.
  if (band_.need > height() && height() > 0) {
    int p = std::max<int>(1, (int)((int64_t)pts * height() / band_.need));
    for (;;) {
      band_ = bandAt(p, std::max(1, spts * p / pts));
      if (band_.need <= height() || p == 1) break;
      --p;
    }
  }
  return band_;
}

int TSubOverlay::bandHeight(int areaHeight) const {
  // Seven cells of the cue font as set, but the picture keeps most of the area.
  const int cells = 7 * measureCell(cellFont(face_, ovl::pointsOf(gfsize_), v_.opts.bold)).h;
  return std::max(0, std::min(cells, areaHeight * 2 / 5));
}

const TSubOverlay::Fonts& TSubOverlay::fonts() const {
  int pts = ovl::pointsOf(gfsize_), spts = ovl::pointsOf(gfssize_), bold = v_.opts.bold ? 1 : 0;
  if (sideBySide()) {
    pts = band().pts;
    spts = band().spts;
  }
  // A cue wider than the picture (side by side: than the band) is drawn
  // smaller rather than cut at its side.
  const ovl::Params prm = params();
  const ovl::FitNeed need = ovl::fitNeed(v_.lesson, prm);
  const ovl::Span sp = ovl::textSpan(prm);
  const int avail = sp.hi - sp.lo;
  const int key[6] = {pts, spts, bold, need.cueCols, need.sideCols, avail};
  if (std::equal(key, key + 6, fontsKey_)) return fonts_;
  auto fit = [&](int points, int cols, QFont& font, Cell& cell) {
    font = cellFont(face_, points, bold);
    cell = measureCell(font);
    // the cell does not scale exactly with the size: step down until it fits
    for (int tries = 0; avail > 0 && cols > 0 && cols * cell.w > avail && points > 1 && tries < 6;
         ++tries) {
      int next = std::min(points - 1, ovl::fitPoints(points, cell.w, cols, avail));
      points = std::max(1, next);
      font = cellFont(face_, points, bold);
      cell = measureCell(font);
    }
  };
  fit(pts, need.cueCols, fonts_.cue, fonts_.c);
  fit(spts, need.sideCols, fonts_.side, fonts_.s);
  metrics_ = {fonts_.c.w, fonts_.c.h, fonts_.s.w, fonts_.s.h};
  std::copy(key, key + 6, fontsKey_);
  return fonts_;
}

const ovl::Metrics& TSubOverlay::metrics() const {
  fonts();
  return metrics_;
}

void TSubOverlay::gfontset(const QString& face, int64_t gfsize, int64_t gfssize) {
  face_ = face;
  gfsize_ = gfsize;
  gfssize_ = gfssize;
  fontsKey_[0] = -1;
  fonts();
  Invalidate();
}

// ---- position, gaps, modes ---------------------------------------------------------

void TSubOverlay::setTextPos(int tpx, int tpy) {
  tpx_ = tpx;
  tpy_ = tpy;
  reltpx_ = tpx_ - vid_.vidleft;
  reltpy_ = tpy_ - vid_.vidtop;
  Invalidate();
}

void TSubOverlay::tpsubreset() {
  const ovl::Metrics& m = metrics();
  setTextPos(0, m.gcellh + m.gscellh + wdgap_ + sntgap_);
}

void TSubOverlay::transgapset() {
  const ovl::Metrics& m = metrics();
  sntgap_ = v_.opts.gtssnt ? m.gscellh + 10 : 10;
  wdgap_ = v_.opts.gtsword ? m.gscellh + 5 : 5;
  if (sideBySide()) applyAlign();  // the band takes its own gaps
  Invalidate();
}

void TSubOverlay::align(Align a) {
  align_ = a;
  applyAlign();
  Invalidate();
}

QWidget* TSubOverlay::bandArea() const {
  QWidget* area = video_ ? video_->parentWidget() : nullptr;
  return area && qobject_cast<QBoxLayout*>(area->layout()) ? area : nullptr;
}

void TSubOverlay::applyAlign() {
  // Side by side, the band lies under the picture: the video widget's area
  // gives up the band's height at its bottom and the overlay sits there, so
  // the picture is never covered.  Without such an area the band covers the
  // bottom of the video widget.
  QWidget* area = bandArea();
  const bool band = align_ == Align::Bottom && area;
  QWidget* want = band ? area : video_;
  if (want && parentWidget() != want) {
    const bool shown = align_ != Align::None;
    setParent(want);
    if (shown) show();
  }
  QWidget* host = parentWidget();
  if (!host) return;
  int bandh = 0;
  switch (align_) {
    case Align::None: setGeometry(0, 0, 0, 0); break;
    case Align::Client: setGeometry(host->rect()); break;
    case Align::Bottom: {
      int h = band ? bandHeight(host->height()) : std::min(host->height(), 7 * metrics().gcellh);
      setGeometry(0, host->height() - h, host->width(), h);
      if (band) {
        bandh = h;
        // the gaps and the text's last line from the sizes the band takes
        const Band& b = this->band();
        wdgap_ = b.wdgap;
        sntgap_ = b.sntgap;
        tpy_ = 2 * b.ch + b.sh + wdgap_ + sntgap_;
        reltpy_ = tpy_ - vid_.vidtop;
      }
      raise();
      break;
    }
  }
  if (area) {
    QLayout* l = area->layout();
    QMargins mg = l->contentsMargins();
    if (mg.bottom() != bandh) {
      mg.setBottom(bandh);
      l->setContentsMargins(mg);
    }
  }
}

void TSubOverlay::dispsubChanged() {
  if (!v_.opts.dispsub) align(Align::None);
  else align(v_.opts.win7 && !v_.opts.xp ? Align::Bottom : Align::Client);
}

void TSubOverlay::collapse() { align(Align::None); }

void TSubOverlay::modeChanged() {
  if (v_.opts.win7 && !v_.opts.xp) {
    const ovl::Metrics& m = metrics();
    tpy_ = 2 * m.gcellh + m.gscellh + wdgap_ + sntgap_;
    reltpy_ = tpy_ - vid_.vidtop;
  }
  dispsubChanged();
  transgapset();  // the gaps of the band are not those of the picture
}

bool TSubOverlay::eventFilter(QObject* o, QEvent* e) {
  if (o == parentWidget() && e->type() == QEvent::Resize && !inAlign_) {
    inAlign_ = true;
    applyAlign();
    inAlign_ = false;
  }
  return TTransPanel::eventFilter(o, e);
}

// ---- video geometry ------------------------------------------------------------

void TSubOverlay::movsizeset(const ovl::VideoGeom& g) {
  const ovl::VidRect old = vid_;
  if (ovl::movsizeset(g, vid_) && vid_ != old) Invalidate();
}

void TSubOverlay::gsubadj(const ovl::VideoGeom& g) {
  ovl::VidRect old = vid_;
  if (!ovl::movsizeset(g, vid_) || vid_ == old) return;
  // The picture moved: what is kept inside it (and centred on it) moves too.
  Invalidate();
  if (!gauto_ || !vid_.vidw || !vid_.vidh || !old.vidw || !old.vidh) return;
  gfsize_ = panel::roundDivEven((int64_t)vid_.vidw * gfsize_, old.vidw);
  gfssize_ = panel::roundDivEven((int64_t)vid_.vidw * gfssize_, old.vidw);
  tpx_ = (int)((int64_t)reltpx_ * vid_.vidw / old.vidw) + vid_.vidleft;
  tpy_ = (int)((int64_t)reltpy_ * vid_.vidh / old.vidh) + vid_.vidtop;
}

// ---- log line and single cells -------------------------------------------------------

void TSubOverlay::logout(const QString& text) {
  if (hooks.statusText) hooks.statusText(text);
  logtext_ = text;
  QFontMetrics fm(fonts().cue);
  // The old line's place too, so that a shorter line leaves no tail of it.
  const QRect now(0, 0, fm.horizontalAdvance(text) + 2, fm.height() + 1);
  TTransPanel::Invalidate(QRegion(now) + logRect_);
  logRect_ = now;
}

void TSubOverlay::Invalidate() {
  logtext_.clear();
  TTransPanel::Invalidate();
}

QRect TSubOverlay::cellRect(const ovl::OverlayLayout& o, int i) const {
  // Two cells wide (a double-byte glyph), with the outline and the underline.
  return QRect(o.subx(i) - 2, o.suby(i) - 2, 2 * o.m.gcellw + 4, o.m.gcellh + 7);
}

void TSubOverlay::tp_sub_txtwrt(int i) { TTransPanel::Invalidate(cellRect(layout(), i)); }

void TSubOverlay::tp_sub_undwrt(int i, const QColor&) {
  ovl::OverlayLayout o = layout();
  TTransPanel::Invalidate(QRect(o.subx(i) - 2, o.suby(i) + o.m.gcellh - 1, o.m.gcellw + 4, 6));
}

void TSubOverlay::letterOpened(int old) {
  ovl::OverlayLayout o = layout();
  QRegion r(cellRect(o, old));
  r += cellRect(o, v_.lesson.subcsr);
  TTransPanel::Invalidate(r);
}

// ---- layout and paint --------------------------------------------------------------

ovl::Params TSubOverlay::params() const {
  ovl::Params p;
  p.tpx = tpx_;
  p.tpy = tpy_;
  p.wdgap = wdgap_;
  p.sntgap = sntgap_;
  p.panelw = width();
  p.panelh = height();
  p.vidleft = vid_.vidleft;
  // Side by side the text lies in the band under the picture, as wide as the band.
  p.vidw = sideBySide() ? 0 : vid_.vidw;
  p.xcenter = v_.opts.xcenter;
  p.gpresub = v_.opts.gpresub;
  p.gnextsub = v_.opts.gnextsub;
  return p;
}

ovl::OverlayLayout TSubOverlay::layout() const {
  return ovl::layoutOverlay(v_.lesson, params(), metrics());
}

bool TSubOverlay::dictationView() const { return !v_.lettersShown(); }

void TSubOverlay::tp_subPaint(QPainter& p) {
  const Lesson& l = v_.lesson;
  const Options& op = v_.opts;
  if (l.srtloaded && op.dispsub) paintCues(p);
  // the log line stays until the next full repaint; it shows with nothing loaded too
  if (!logtext_.isEmpty()) {
    QFontMetrics fm(fonts().cue);
    p.setFont(fonts().cue);
    p.fillRect(0, 0, fm.horizontalAdvance(logtext_), fm.height(), kBlack);
    p.setPen(kGreen);
    p.drawText(QPoint(0, fm.ascent()), logtext_);
  }
}

void TSubOverlay::paintCues(QPainter& p) {
  const Lesson& l = v_.lesson;
  const Options& op = v_.opts;
  const bool dict = dictationView();
  int w = width(), h = height();
  // 1. background
  if (op.win7 && !op.xp) p.fillRect(0, 0, w, h, kBlack);
  else if (op.jaclose && bandon_) p.fillRect(bandRect(), kBlack);

  const Fonts& f = fonts();
  ovl::Params prm = params();
  ovl::OverlayLayout o = ovl::layoutOverlay(l, prm, metrics_);
  if (op.xcenter && o.cursub) tpx_ = o.tpx;

  // Text of one group: outlines first, then the white text.
  auto group = [&](const std::function<void()>& draw) {
    if (op.outline) {
      p.setPen(outlineColor());
      for (auto d : {QPoint(-1, -1), QPoint(1, 1), QPoint(-1, 1), QPoint(1, -1)}) {
        p.save();
        p.translate(d);
        draw();
        p.restore();
      }
    }
    p.setPen(kWhite);
    draw();
  };
  // 6, 7. previous and next cue
  p.setFont(f.side);
  for (const ovl::Side* s : {&o.pre, &o.next}) {
    if (!s->shown) continue;
    const std::string& st = l.subtext[s->slot];
    group([&] {
      drawGlyph(p, s->x - 2 * f.s.w, s->y, kDash, f.s);
      for (int k = 0; k < (int)st.size();) {
        int n = 1;
        QString g = glyphAt(st, k, &n);
        bool hid = dict && (flgHidden(l.flg(s->slot, k)) || (n == 2 && flgHidden(l.flg(s->slot, k + 1))));
        if (hid) {
          for (int j = 0; j < n; ++j)
            if (flgHidden(l.flg(s->slot, k + j))) drawGlyph(p, s->x + (k + j) * f.s.w, s->y, kHiddenDot, f.s);
        } else {
          drawGlyph(p, s->x + k * f.s.w, s->y, g, f.s);
        }
        k += n;
      }
    });
  }
  p.setFont(f.cue);
  // 9. number
  if (op.gsubno && l.curscene >= 0 && o.cursub) {
    std::string no = std::to_string(l.curscene + 1) + "-" + std::to_string(l.cursub / 2 + 1);
    group([&] { drawCells(p, o.numberX(prm), o.numberY(prm), no, f.c); });
  }
  // 10. arrows
  p.setPen(kWhite);
  if (tpx_ > w && tpy_ > h) {
    p.drawPolyline(QPolygon({QPoint(w - 7, h - 14), QPoint(w, h), QPoint(w - 14, h - 7)}));
  } else if (tpx_ > w) {
    p.drawPolyline(QPolygon({QPoint(w - 7, h / 2 - 7), QPoint(w, h / 2), QPoint(w - 8, h / 2 + 8)}));
  } else if (tpy_ > h) {
    p.drawPolyline(QPolygon({QPoint(w / 2 - 7, h - 7), QPoint(w / 2, h), QPoint(w / 2 + 8, h - 8)}));
  }
  if (o.cursub) {
    const std::string& t = l.subtext[o.cursub];
    // 11. cue text, each byte in its cell; hidden letters stay blank
    group([&] {
      for (int i = 0; i < (int)t.size();) {
        int n = 1;
        QString g = glyphAt(t, i, &n);
        if (!dict || !flgHidden(l.flg(o.cursub, i))) drawGlyph(p, o.subx(i), o.suby(i), g, f.c);
        i += n;
      }
    });
    // 12. translations in the side font
    p.setFont(f.side);
    if (op.gtsword && o.cursub < (int)l.jawd.size()) {
      for (const std::string& e : l.jawd[o.cursub]) {
        if (e.rfind("nts", 0) == 0) break;
        int off = std::clamp(entryOffset(e), 0, std::max(0, o.len - 1));
        std::string tr = e.size() > 3 ? e.substr(3) : std::string();
        group([&] { drawCells(p, o.subx(off), o.suby(off) + o.m.gcellh + 4, tr, f.s); });
      }
    }
    if (op.gtssnt && o.cursub < (int)l.jasnt.size() && !l.jasnt[o.cursub].empty()) {
      const std::string& sn = l.jasnt[o.cursub];
      group([&] { drawCells(p, o.tpx, o.suby(1) - o.m.gscellh, sn, f.s); });
    }
    p.setFont(f.cue);
    // 13. underlines
    if (!op.subview) {
      bool cleared = o.cursub < (int)l.subclear.size() && l.subclear[o.cursub] == 1;
      int d = op.bold ? 3 : 2;
      for (int i = 0; i < (int)t.size(); ++i) {
        int st = l.flg(o.cursub, i);
        if (st == flg_out) continue;
        QColor c = (st == flg_open || st == flg_reclosed) ? kWhite : kRed;
        if (dict && i == l.subcsr && !cleared) c = kYellow;
        int x1 = o.subx(i), x2 = x1 + o.m.gcellw - 1, y0 = o.suby(i) + o.m.gcellh;
        if (op.outline) {
          p.setPen(outlineColor());
          p.drawRect(x1 - 1, y0, x2 - x1 + 1, d);
        }
        p.fillRect(x1, y0 + 1, x2 - x1, 1, c);
        if (op.bold) p.fillRect(x1, y0 + 2, x2 - x1, 1, c);
      }
      reltpx_ = tpx_ - vid_.vidleft;
      reltpy_ = tpy_ - vid_.vidtop;
    }
  }
}

// ---- mouse -----------------------------------------------------------------------

void TSubOverlay::setCursorNo(int n) { setCursor(cursors_[std::clamp(n, 0, 3)]); }

bool TSubOverlay::inBand(QPoint p) const {
  int top = height() * 3 / 4;
  return 0 < p.x() && p.x() < width() && top < p.y() && p.y() < height();
}

void TSubOverlay::mousePressEvent(QMouseEvent* e) {
  const Lesson& l = v_.lesson;
  if (!l.srtloaded || l.cursub < 1) return;
  presslot_ = presscol_ = 0;
  QPoint pos = e->position().toPoint();
  ovl::OverlayLayout o = layout();
  ovl::Hit hit = o.hit(pos.x(), pos.y());
  if (e->button() == Qt::LeftButton) {
    if (e->modifiers() & Qt::AltModifier) {
      if (hit.slot && hooks.clickadjg) {
        int adjfrom = -1;
        if (hit.slot == o.pre.slot && o.pre.shown) adjfrom = l.cursub - 2;
        else if (hit.slot == o.next.slot && o.next.shown) adjfrom = l.cursub;
        hooks.clickadjg(adjfrom, hit.slot, hit.col);
      }
      return;
    }
    if (hit.slot == l.cursub && hooks.clickwordg && hooks.clickwordg(hit.col)) return;
    tpdrag_ = true;
    grabdx_ = pos.x() - tpx_;
    grabdy_ = pos.y() - tpy_;
    setCursorNo(2);
  } else if (e->button() == Qt::RightButton && hit.col != 0) {
    presslot_ = hit.slot;
    presscol_ = hit.col;
  }
}

void TSubOverlay::mouseMoveEvent(QMouseEvent* e) {
  QPoint pos = e->position().toPoint();
  if (tpdrag_) {
    tpx_ = pos.x() - grabdx_;
    tpy_ = pos.y() - grabdy_;
    Invalidate();
    return;
  }
  if (pos.y() <= 15) setCursorNo(0);
  else if (v_.opts.jaclose && bandon_ && inBand(pos)) setCursorNo(3);
  else setCursorNo(1);
}

void TSubOverlay::mouseReleaseEvent(QMouseEvent* e) {
  tpdrag_ = false;
  setCursorNo(1);
  const Lesson& l = v_.lesson;
  if (!l.srtloaded) return;
  QPoint pos = e->position().toPoint();
  if (e->button() == Qt::RightButton && presscol_ != 0) {
    int slot = presslot_, pc = presscol_;
    presslot_ = presscol_ = 0;
    const std::string& s = textOf(l, slot);
    if (s.empty()) return;
    ovl::Hit hit = layout().hit(pos.x(), pos.y());
    // A release off the pressed cue's text copies nothing.
    if (hit.slot != slot || hit.col == 0) return;
    std::string text = hit.col == pc ? panel::wordAt(s, pc - 1)
                                     : panel::trimBreaks(panel::byteRange(s, pc - 1, hit.col - 1));
    if (text.empty()) return;
    copyAnsiToClipboard(text);
    if (hooks.wordentry) hooks.wordentry(slot, text, s);
  } else if (e->button() == Qt::LeftButton && v_.opts.jaclose && bandon_ && inBand(pos)) {
    bandon_ = false;
    Invalidate();
  }
}

}  // namespace tl::ui

namespace tl::ui {

void TSubOverlay::lessonChanged(Change what, int slot, const std::vector<LetterMark>* marks) {
  if (what == Change::Load) {
    shownCue_ = v_.lesson.cursub;
    armBand();
    Invalidate();
    return;
  }
  if (what == Change::Cursor && slot == kAllSlots && v_.lesson.cursub != shownCue_) {
    // A newly displayed cue: the band comes back and the whole cue is drawn.
    shownCue_ = v_.lesson.cursub;
    armBand();
    Invalidate();
    return;
  }
  if (what == Change::Letters || what == Change::Cursor) {
    if (marks && slot == v_.lesson.cursub) {
      for (const LetterMark& c : *marks) {
        if (c.kind == LetterMark::Letter)
          tp_sub_txtwrt(c.index);
        else
          tp_sub_undwrt(c.index, colorValue(c.colour));
      }
      return;
    }
    if (what == Change::Cursor && slot != kAllSlots) return;
  } else if (what != Change::Timing && what != Change::Texts && what != Change::Peek &&
             what != Change::Translations && what != Change::Scenes) {
    return;
  }
  if (slot == kAllSlots || slot == v_.lesson.cursub) {
    Invalidate();
    return;
  }
  // The previous and the next cue are drawn too.
  const ovl::OverlayLayout o = layout();
  if ((o.pre.shown && o.pre.slot == slot) || (o.next.shown && o.next.slot == slot)) Invalidate();
}

}  // namespace tl::ui
