// The overlay on the video painted into images at a known size, its two
// layouts, the log line, and what its mouse gestures hand to the main window.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMouseEvent>
#include <QBoxLayout>
#include <QPainter>

#include "player/widgets/cellfont.h"
#include "player/views/overlay.h"
#include "support/lessonbuilder.h"

using namespace tl;
using namespace tl::ui;

namespace {

const QRgb kWhite = qRgb(255, 255, 255), kRed = qRgb(255, 0, 0), kYellow = qRgb(255, 255, 0),
           kBlack = qRgb(0, 0, 0), kNear = qRgb(1, 1, 1), kGreen = qRgb(0, 255, 0),
           kBlue = qRgb(0, 0, 255);

// Cues "Hi you", "Line one / Line two" (displayed), "Bye".
struct Fixture {
  Lesson l;
  Options o;
  bool peek = false;
  QWidget host;
  std::unique_ptr<TSubOverlay> ov;
  Fixture() {
    l = tl::test::LessonBuilder()
            .cue(10000, 20000, "Hi you\r\n")
            .cue(30000, 40000, "Line one\r\nLine two\r\n")
            .cue(50000, 60000, "Bye\r\n")
            .letters(tl::test::Letters::Out)
            .at(3)
            .build();
    auto& f = l.subflg[3];
    f[0] = flg_open;       // "L" typed
    f[1] = flg_hinted;     // "i" hinted
    f[2] = flg_closed;     // "n" the cursor
    f[3] = flg_closed;     // "e" hidden
    f[5] = flg_reclosed;   // "o" hidden again
    l.subflg[1][0] = flg_closed;
    l.subcsr = 2;
    l.curscene = 0;
    o.outline = false;
    o.bold = false;
    o.xcenter = false;
    host.resize(640, 480);
    host.show();
    ov = std::make_unique<TSubOverlay>(PanelView{l, o, peek}, &host);
    ov->show();
    ov->setTextPos(100, 300);
  }
  QImage paint(QRgb base = kBlue) {
    QImage img(ov->size(), QImage::Format_RGB32);
    img.fill(base);
    QPainter p(&img);
    ov->tp_subPaint(p);
    return img;
  }
  ovl::OverlayLayout lay() { return ov->layout(); }
  QRgb under(const QImage& img, int i, int dy = 1) {
    ovl::OverlayLayout o = lay();
    return img.pixel(o.subx(i) + 1, o.suby(i) + o.m.gcellh + dy);
  }
  int inked(const QImage& img, int i, QRgb base = kBlue) {  // pixels drawn in the cell
    ovl::OverlayLayout o = lay();
    int n = 0;
    for (int y = o.suby(i); y < o.suby(i) + o.m.gcellh; ++y)
      for (int x = o.subx(i); x < o.subx(i) + o.m.gcellw; ++x) n += img.pixel(x, y) != base;
    return n;
  }
};

void mouse(QWidget& w, QEvent::Type t, QPoint pos, Qt::MouseButton b,
           Qt::KeyboardModifiers m = Qt::NoModifier) {
  QMouseEvent e(t, QPointF(pos), w.mapToGlobal(QPointF(pos)), b,
                t == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
  QApplication::sendEvent(&w, &e);
}
void moveTo(QWidget& w, QPoint pos, Qt::MouseButtons held) {
  QMouseEvent e(QEvent::MouseMove, QPointF(pos), w.mapToGlobal(QPointF(pos)), Qt::NoButton, held,
                Qt::NoModifier);
  QApplication::sendEvent(&w, &e);
}
QPoint cellCentre(const ovl::OverlayLayout& o, int i) {
  return {o.subx(i) + o.m.gcellw / 2, o.suby(i) + o.m.gcellh / 2};
}

}  // namespace

TEST(Overlay, DictationViewColours) {
  Fixture f;
  EXPECT_EQ(f.ov->geometry(), f.host.rect());  // over the whole video
  QImage img = f.paint();
  EXPECT_EQ(f.under(img, 0), kWhite);   // typed
  EXPECT_EQ(f.under(img, 1), kRed);     // hinted
  EXPECT_EQ(f.under(img, 2), kYellow);  // the cursor
  EXPECT_EQ(f.under(img, 3), kRed);     // hidden
  EXPECT_EQ(f.under(img, 5), kWhite);   // hidden again
  EXPECT_EQ(f.under(img, 4), kBlue);    // a space is never hidden: no line
  EXPECT_GT(f.inked(img, 0), 0);        // typed and hinted letters are shown
  EXPECT_GT(f.inked(img, 1), 0);
  EXPECT_EQ(f.inked(img, 2), 0);        // hidden letters stay blank
  EXPECT_EQ(f.inked(img, 3), 0);
  // the second line is the one at tpy
  EXPECT_EQ(f.lay().suby(10), 300);
  // a cleared cue shows no yellow line
  f.l.subclear[3] = 1;
  EXPECT_EQ(f.under(f.paint(), 2), kRed);
}

TEST(Overlay, DisplayModes) {
  Fixture f;
  f.o.subopenmode = true;  // all letters shown and underlined, none yellow
  QImage img = f.paint();
  EXPECT_GT(f.inked(img, 3), 0);
  EXPECT_EQ(f.under(img, 2), kRed);
  f.o.subopenmode = false;
  f.o.subview = true;  // letters only
  img = f.paint();
  EXPECT_GT(f.inked(img, 3), 0);
  EXPECT_EQ(f.under(img, 3), kBlue);
  f.o.subview = false;
  f.o.dispsub = false;  // switched off: nothing at all
  img = f.paint();
  EXPECT_EQ(f.inked(img, 0), 0);
}

TEST(Overlay, OutlineAndBoldUnderline) {
  Fixture f;
  f.o.outline = true;
  f.o.bold = true;
  QImage img = f.paint();
  EXPECT_EQ(f.under(img, 3, 0), kNear);  // frame
  EXPECT_EQ(f.under(img, 3, 1), kRed);
  EXPECT_EQ(f.under(img, 3, 2), kRed);   // bold: a second line
  EXPECT_EQ(f.under(img, 3, 3), kNear);
}

TEST(Overlay, LogLineInGreenUntilNextRepaint) {
  Fixture f;
  QString status;
  f.ov->hooks.statusText = [&](const QString& s) { status = s; };
  f.ov->logout("saved");
  EXPECT_EQ(status, "saved");
  QImage img = f.paint();
  int green = 0;
  for (int x = 0; x < 60; ++x)
    for (int y = 0; y < 30; ++y) green += img.pixel(x, y) == kGreen;
  EXPECT_GT(green, 10);
  EXPECT_EQ(img.pixel(0, 0), kBlack);  // on solid black
  f.ov->Invalidate();
  EXPECT_TRUE(f.ov->logText().isEmpty());
}

TEST(Overlay, SeeThroughWhereNothingIsDrawn) {
  Fixture f;
  QPalette pal = f.host.palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 255));
  f.host.setPalette(pal);
  f.host.setAutoFillBackground(true);
  QImage img = f.host.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(img.pixel(600, 20), kBlue);
  ovl::OverlayLayout o = f.lay();
  EXPECT_EQ(img.pixel(o.subx(2) + 1, o.suby(2) + o.m.gcellh + 1), kYellow);
  // a panel without a painting handler shows only what lies under it
  TTransPanel bare(&f.host);
  bare.setGeometry(0, 0, 100, 100);
  bare.show();
  img = f.host.grab(QRect(0, 0, 100, 100)).toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(img.pixel(50, 50), kBlue);
}

// The painting is kept: the parent's repaints (a video frame each) blend it
// again without drawing any cue, and only what was invalidated is drawn anew.
TEST(Overlay, ParentRepaintsReuseWhatWasDrawn) {
  QWidget host;
  host.resize(200, 100);
  QPalette pal = host.palette();
  pal.setColor(QPalette::Window, QColor(0, 0, 255));
  host.setPalette(pal);
  host.setAutoFillBackground(true);
  TTransPanel panel(&host);
  panel.setGeometry(0, 0, 200, 100);
  int paints = 0;
  QRgb ink = kRed;
  bool left = true;
  panel.OnPaint = [&](TTransPanel*, QPainter& p) {
    ++paints;
    if (left) p.fillRect(10, 10, 20, 20, ink);
    p.fillRect(100, 10, 20, 20, ink);
  };
  host.show();
  auto shot = [&] { return host.grab().toImage().convertToFormat(QImage::Format_RGB32); };
  QImage img = shot();
  EXPECT_EQ(img.pixel(15, 15), kRed);
  EXPECT_EQ(img.pixel(50, 50), kBlue);  // transparent where nothing is drawn
  const int first = paints;
  EXPECT_GE(first, 1);
  // the parent repaints, and the change of the data is not announced: the old drawing
  ink = kYellow;
  host.update();
  img = shot();
  EXPECT_EQ(paints, first);
  EXPECT_EQ(img.pixel(15, 15), kRed);
  // one part announced: that part is drawn anew, the rest is kept
  panel.Invalidate(QRect(0, 0, 50, 50));
  img = shot();
  EXPECT_EQ(paints, first + 1);
  EXPECT_EQ(img.pixel(15, 15), kYellow);
  EXPECT_EQ(img.pixel(105, 15), kRed);
  // a resize draws everything again; drawing over transparency leaves no old ink
  ink = kGreen;
  panel.setGeometry(0, 0, 150, 100);
  img = shot();
  EXPECT_EQ(img.pixel(105, 15), kGreen);
  EXPECT_EQ(img.pixel(160, 15), kBlue);
  // what is no longer drawn leaves the picture under it
  left = false;
  panel.Invalidate(QRect(0, 0, 50, 50));
  img = shot();
  EXPECT_EQ(img.pixel(15, 15), kBlue);
  EXPECT_EQ(img.pixel(105, 15), kGreen);
}

// A change of the previous or the next cue shown beside the current one
// repaints the overlay even while no video frame comes (audio only).
TEST(Overlay, AChangeOfANeighbourCueIsDrawn) {
  Fixture f;
  ovl::OverlayLayout o = f.lay();
  ASSERT_TRUE(o.next.shown);
  ASSERT_EQ(o.next.slot, 5);
  auto shot = [&] { return f.host.grab().toImage().convertToFormat(QImage::Format_RGB32); };
  const QImage before = shot();
  for (auto& c : f.l.subflg[5]) c = flg_closed;
  f.ov->lessonChanged(Change::Letters, 5, nullptr);
  const QImage after = shot();
  const QRect next(o.next.x, o.next.y, o.next.width, o.m.gscellh);
  int changed = 0;
  for (int y = next.top(); y <= next.bottom(); ++y)
    for (int x = next.left(); x <= next.right(); ++x) changed += before.pixel(x, y) != after.pixel(x, y);
  EXPECT_GT(changed, 10);
  // a new cut of the scenes changes the number shown beside the cue
  f.o.gsubno = true;
  f.ov->Invalidate();
  const QImage numbered = shot();
  f.l.curscene = 4;
  f.ov->lessonChanged(Change::Scenes, kAllSlots, nullptr);
  EXPECT_NE(shot(), numbered);
}

TEST(Overlay, BandAndSideBySideLayout) {
  Fixture f;
  f.o.jaclose = true;
  QImage img = f.paint();
  EXPECT_EQ(img.pixel(10, 470), kBlack);  // the band hides burnt-in text
  EXPECT_EQ(img.pixel(10, 350), kBlue);
  // a left click in the band removes it for this cue
  mouse(*f.ov, QEvent::MouseButtonPress, {10, 470}, Qt::LeftButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, {10, 470}, Qt::LeftButton);
  EXPECT_FALSE(f.ov->bandon());
  EXPECT_EQ(f.paint().pixel(10, 470), kBlue);
  f.ov->armBand();
  EXPECT_TRUE(f.ov->bandon());
  // side by side: a black band of 7 cells under the picture
  f.o.xp = false;
  f.o.win7 = true;
  f.ov->modeChanged();
  const ovl::Metrics& m = f.ov->metrics();
  EXPECT_EQ(f.ov->height(), 7 * m.gcellh);
  EXPECT_EQ(f.ov->y(), 480 - 7 * m.gcellh);
  EXPECT_EQ(f.ov->tpy(), 2 * m.gcellh + m.gscellh + 5 + 10);
  img = f.paint();
  EXPECT_EQ(img.pixel(600, 2), kBlack);
  EXPECT_EQ(f.under(img, 2), kYellow);
  f.host.resize(800, 480);  // the band follows its host
  EXPECT_EQ(f.ov->width(), 800);
  f.o.dispsub = false;
  f.ov->dispsubChanged();
  EXPECT_EQ(f.ov->size(), QSize(0, 0));
}

TEST(Overlay, RightClickRegistersWordRightDragARange) {
  Fixture f;
  int slot = 0;
  std::string word, sentence;
  f.ov->hooks.wordentry = [&](int s, const std::string& w, const std::string& t) {
    slot = s, word = w, sentence = t;
  };
  ovl::OverlayLayout o = f.lay();
  QPoint at = cellCentre(o, 2);  // the hidden "n" copies the real word
  mouse(*f.ov, QEvent::MouseButtonPress, at, Qt::RightButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, at, Qt::RightButton);
  EXPECT_EQ(slot, 3);
  EXPECT_EQ(word, "Line");
  EXPECT_EQ(sentence, f.l.subtext[3]);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "Line");
  // the registration says when it is done, not the click
  EXPECT_TRUE(f.ov->logText().isEmpty());
  // a drag from line 2 back to line 1
  f.ov->hooks.wordentry = [&](int, const std::string& w, const std::string&) { word = w; };
  mouse(*f.ov, QEvent::MouseButtonPress, cellCentre(o, 12), Qt::RightButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, cellCentre(o, 5), Qt::RightButton);
  EXPECT_EQ(word, "one\r\nLin");
  // a release off the text copies nothing
  word.clear();
  mouse(*f.ov, QEvent::MouseButtonPress, cellCentre(o, 12), Qt::RightButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, {600, 20}, Qt::RightButton);
  EXPECT_TRUE(word.empty());
  // the previous cue copies from its own slot
  QPoint pre(o.pre.x + o.m.gscellw * 3 + 1, o.pre.y + o.m.gscellh / 2);
  mouse(*f.ov, QEvent::MouseButtonPress, pre, Qt::RightButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, pre, Qt::RightButton);
  EXPECT_EQ(word, "you");
}

TEST(Overlay, LeftClicksMoveCursorSyncOrDrag) {
  Fixture f;
  int col = 0, from = 0, sslot = 0, scol = 0;
  bool moved = true;
  f.ov->hooks.clickwordg = [&](int c) { col = c; return moved; };
  f.ov->hooks.clickadjg = [&](int a, int s, int c) { from = a, sslot = s, scol = c; };
  ovl::OverlayLayout o = f.lay();
  mouse(*f.ov, QEvent::MouseButtonPress, cellCentre(o, 3), Qt::LeftButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, cellCentre(o, 3), Qt::LeftButton);
  EXPECT_EQ(col, 4);
  // Alt on the previous cue marks it as the start of a partial shift
  QPoint pre(o.pre.x + 1, o.pre.y + o.m.gscellh / 2);
  mouse(*f.ov, QEvent::MouseButtonPress, pre, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(sslot, 1);
  EXPECT_EQ(scol, 1);
  QPoint next(o.next.x + 1, o.next.y + o.m.gscellh / 2);
  mouse(*f.ov, QEvent::MouseButtonPress, next, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(from, 3);
  EXPECT_EQ(sslot, 5);
  mouse(*f.ov, QEvent::MouseButtonPress, cellCentre(o, 11), Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(from, -1);
  EXPECT_EQ(scol, 12);
  // without the previous cue drawn its place is no hit
  f.o.gpresub = false;
  sslot = 0;
  mouse(*f.ov, QEvent::MouseButtonPress, pre, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(sslot, 0);
  // a press that moves no cursor drags the text
  moved = false;
  mouse(*f.ov, QEvent::MouseButtonPress, {50, 50}, Qt::LeftButton);
  moveTo(*f.ov, {80, 70}, Qt::LeftButton);
  mouse(*f.ov, QEvent::MouseButtonRelease, {80, 70}, Qt::LeftButton);
  EXPECT_EQ(f.ov->tpx(), 130);
  EXPECT_EQ(f.ov->tpy(), 320);
  // no displayed cue: presses do nothing
  f.l.cursub = 0;
  col = 0;
  mouse(*f.ov, QEvent::MouseButtonPress, {131, 321}, Qt::LeftButton);
  EXPECT_EQ(col, 0);
}

TEST(Overlay, FollowsTheVideoSize) {
  Fixture f;
  ovl::VideoGeom g{640, 360, 640, 360, 640, 500, 3, 150};
  f.ov->movsizeset(g);  // 640 x 360 at the top 70
  EXPECT_EQ(f.ov->vid(), (ovl::VidRect{640, 360, 0, 70}));
  f.ov->setTextPos(100, 300);
  f.paint();  // records the text place relative to the picture
  f.ov->setGauto(true);
  g.cw = 320;
  g.ch = 250;
  f.ov->gsubadj(g);  // the picture halves: so do the sizes and the offsets
  EXPECT_EQ(f.ov->vid(), (ovl::VidRect{320, 180, 0, 35}));
  EXPECT_EQ(f.ov->gfsize(), 120000);
  EXPECT_EQ(f.ov->gfssize(), 80000);
  EXPECT_EQ(f.ov->tpx(), 50);
  EXPECT_EQ(f.ov->tpy(), 115 + 35);
  // with gauto off only the rectangle moves
  f.ov->setGauto(false);
  g.cw = 640;
  g.ch = 500;
  f.ov->gsubadj(g);
  EXPECT_EQ(f.ov->gfsize(), 120000);
  EXPECT_EQ(f.ov->tpx(), 50);
  // no picture: nothing changes
  g.pw = 0;
  f.ov->gsubadj(g);
  EXPECT_EQ(f.ov->vid(), (ovl::VidRect{640, 360, 0, 70}));
}

TEST(Overlay, ResetPositionAndGaps) {
  Fixture f;
  f.ov->tpsubreset();
  const ovl::Metrics& m = f.ov->metrics();
  EXPECT_EQ(f.ov->tpx(), 0);
  EXPECT_EQ(f.ov->tpy(), m.gcellh + m.gscellh + 5 + 10);
  f.ov->transgapset();  // both translations on by default
  EXPECT_EQ(f.ov->wdgap(), m.gscellh + 5);
  EXPECT_EQ(f.ov->sntgap(), m.gscellh + 10);
}

TEST(Overlay, TranslationsStopAtTheFirstUntranslated) {
  Fixture f;
  f.l.jawd.assign(7, {});
  f.l.jawd[3] = {"010tr", "nts015two"};
  f.l.jasnt.assign(7, "");
  f.o.gtsword = true;
  QImage img = f.paint();
  ovl::OverlayLayout o = f.lay();
  auto inkBelow = [&](const QImage& im, int i) {
    int n = 0, y0 = o.suby(i) + o.m.gcellh + 4;
    for (int y = y0; y < y0 + o.m.gscellh; ++y)
      for (int x = o.subx(i); x < o.subx(i) + 2 * o.m.gscellw; ++x) n += im.pixel(x, y) == kWhite;
    return n;
  };
  EXPECT_GT(inkBelow(img, 10), 0);  // under "Line two"
  EXPECT_EQ(inkBelow(img, 15), 0);  // "two" is not translated yet
}

TEST(Overlay, SingleCellUpdatesAfterTyping) {
  Fixture f;
  f.l.subflg[3][2] = flg_open;  // "n" typed, the cursor moves to "e"
  f.l.subcsr = 3;
  f.ov->letterOpened(2);
  f.ov->tp_sub_txtwrt(2);
  f.ov->tp_sub_undwrt(3, QColor(255, 255, 0));
  QImage img = f.paint();
  EXPECT_EQ(f.under(img, 2), kWhite);
  EXPECT_EQ(f.under(img, 3), kYellow);
  EXPECT_GT(f.inked(img, 2), 0);
}

// A small video (640 x 360) and long two-line cues: every letter of the cue
// and of the side cues stays inside the picture, and the next cue's line
// never lies on the displayed cue's lines, wherever the text was put.
TEST(Overlay, LongCuesFitASmallVideo) {
  Lesson l = tl::test::LessonBuilder()
                 .cue(10000, 20000, "We had been walking along the river since the early morning\r\n")
                 .cue(30000, 40000,
                      "and by the time the sun was high we could see the old mill\r\n"
                      "standing where the valley opens out towards the sea\r\n")
                 .cue(50000, 60000, "Nobody had lived there for a hundred years, or so they said\r\n")
                 .letters(tl::test::Letters::Out)
                 .at(3)
                 .build();
  Options o;
  bool peek = false;
  QWidget host;
  host.resize(640, 360);
  host.show();
  TSubOverlay ov(PanelView{l, o, peek}, &host);
  ov.show();
  ovl::VideoGeom g{640, 360, 640, 360, 640, 360, 0, 0};
  ov.movsizeset(g);
  const std::string& t = l.subtext[3];
  for (bool centred : {false, true}) {
    o.xcenter = centred;
    for (QPoint at : {QPoint(0, 300), QPoint(-40, 340), QPoint(400, 200), QPoint(600, 345)}) {
      SCOPED_TRACE(::testing::Message() << "xcenter " << centred << " at " << at.x() << "," << at.y());
      ov.setTextPos(at.x(), at.y());
      ovl::OverlayLayout lay = ov.layout();
      const ovl::Metrics& m = lay.m;
      ASSERT_GT(m.gcellw, 0);
      QRect cue;
      for (int i = 0; i < (int)t.size(); ++i) {
        if (t[i] == '\r' || t[i] == '\n') continue;
        QRect cell(lay.subx(i), lay.suby(i), m.gcellw, m.gcellh);
        EXPECT_GE(cell.left(), 0) << i;
        EXPECT_LE(cell.right(), 639) << i;
        cue |= cell;
      }
      for (const ovl::Side* s : {&lay.pre, &lay.next}) {
        ASSERT_TRUE(s->shown);
        int cols = (int)l.subtext[s->slot].size() - 2;  // without the closing CR LF
        EXPECT_GE(s->x - 2 * m.gscellw, 0);              // the dash
        EXPECT_LE(s->x + cols * m.gscellw, 640);
      }
      QRect next(lay.next.x - 2 * m.gscellw, lay.next.y, lay.next.width + 2 * m.gscellw, m.gscellh);
      EXPECT_FALSE(next.intersects(cue));
    }
  }
}

// The layout alone: centred text low on the panel moves the next cue's line
// under the cue instead of onto it; a line too wide for its cells starts at
// the picture's left edge.
TEST(OverlayLayout, NextLineKeepsClearAndTextStaysInThePicture) {
  Lesson l = tl::test::LessonBuilder()
                 .cue(10000, 20000, "One\r\n")
                 .cue(30000, 40000, "Two words\r\n")
                 .cue(50000, 60000, "Three\r\n")
                 .letters(tl::test::Letters::Out)
                 .at(3)
                 .build();
  ovl::Metrics m{10, 20, 6, 12};
  ovl::Params p;
  p.panelw = 400;
  p.panelh = 300;
  p.xcenter = true;
  p.tpy = 290;  // the cue's row reaches past the bottom line of the next cue
  ovl::OverlayLayout o = ovl::layoutOverlay(l, p, m);
  EXPECT_EQ(o.next.y, 290 + 20 + p.sntgap);
  p.tpy = 100;  // well above: the next cue sits on the bottom line
  EXPECT_EQ(ovl::layoutOverlay(l, p, m).next.y, 300 - 12);
  // a picture narrower than the panel: text dragged right of it moves back in
  p.xcenter = false;
  p.vidleft = 50;
  p.vidw = 200;
  p.tpx = 240;
  o = ovl::layoutOverlay(l, p, m);
  EXPECT_EQ(o.tpx, 250 - 9 * 10);
  p.tpx = 0;
  EXPECT_EQ(ovl::layoutOverlay(l, p, m).tpx, 50);
  // dragged off the panel it stays off (an arrow shows where it went)
  p.tpx = 500;
  EXPECT_EQ(ovl::layoutOverlay(l, p, m).tpx, 500);
  EXPECT_EQ(ovl::fitPoints(24, 16, 60, 640), 16);
  EXPECT_EQ(ovl::fitPoints(24, 16, 30, 640), 24);
}

// Side by side in the main window's arrangement (the video widget in a box
// layout of its area): the band lies under the picture and covers none of it;
// back to the overlay mode, the picture has its whole area again.
TEST(Overlay, SideBySideBandLiesUnderThePicture) {
  Lesson l = tl::test::LessonBuilder().cue(10000, 20000, "Hi you\r\n").at(1).build();
  Options o;
  bool peek = false;
  QWidget area;
  auto* lay = new QVBoxLayout(&area);
  lay->setContentsMargins(0, 0, 0, 0);
  auto* video = new QWidget(&area);
  lay->addWidget(video);
  area.resize(640, 480);
  area.show();
  TSubOverlay ov(PanelView{l, o, peek}, video);
  ov.show();
  QApplication::processEvents();
  EXPECT_EQ(video->geometry(), QRect(0, 0, 640, 480));
  o.xp = false;
  o.win7 = true;
  ov.modeChanged();
  QApplication::processEvents();
  // seven cells of the cue font as set, but at most 2/5 of the area
  const int cells = 7 * measureCell(cellFont(QString::fromUtf8("ＭＳ ゴシック"), 24, o.bold)).h;
  int h = std::min(cells, 480 * 2 / 5);
  EXPECT_EQ(video->geometry(), QRect(0, 0, 640, 480 - h));
  const QRect band(ov.mapTo(&area, QPoint(0, 0)), ov.size());
  EXPECT_EQ(band, QRect(0, 480 - h, 640, h));
  EXPECT_FALSE(band.intersects(video->geometry()));
  EXPECT_TRUE(ov.isVisible());
  area.resize(800, 600);  // the band follows its area
  QApplication::processEvents();
  h = std::min(cells, 600 * 2 / 5);
  EXPECT_EQ(QRect(ov.mapTo(&area, QPoint(0, 0)), ov.size()), QRect(0, 600 - h, 800, h));
  EXPECT_EQ(video->height(), 600 - h);
  o.xp = true;
  o.win7 = false;
  ov.modeChanged();
  QApplication::processEvents();
  EXPECT_EQ(video->geometry(), QRect(0, 0, 800, 600));
  EXPECT_EQ(ov.parentWidget(), video);
  EXPECT_EQ(ov.geometry(), QRect(0, 0, 800, 600));
}
