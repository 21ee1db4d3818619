// The subtitle panel, the strips, the focus bar and the progress bar painted
// into images, and what their mouse gestures copy or seek.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "core/panellayout.h"
#include "player/views/subpanels.h"
#include "support/lessonbuilder.h"

using namespace tl;
using namespace tl::ui;

namespace {

const QRgb kWhite = qRgb(255, 255, 255), kRed = qRgb(255, 0, 0), kGrey = qRgb(128, 128, 128),
           kBlack = qRgb(0, 0, 0), kGreen = qRgb(0, 255, 0), kYellow = qRgb(255, 255, 0),
           kMagenta = qRgb(255, 0, 255);

// Cue 1 "word hide\r\nline\r\n" and cue 2 "Next one\r\n".
struct Fixture {
  Lesson l;
  Options o;
  bool peek = false;
  Fixture() {
    l = tl::test::LessonBuilder()
            .cue(10000, 40000, "word hide\r\nline\r\n")
            .cue(50000, 80000, "Next one\r\n")
            .letters(tl::test::Letters::Out)
            .at(1)
            .build();
    auto& f = l.subflg[1];
    f[0] = flg_open;      // typed
    f[1] = flg_hinted;    // hinted
    f[2] = flg_closed;    // the cursor
    f[3] = flg_closed;    // hidden
    f[5] = flg_reclosed;  // hidden again
    l.subflg[3][0] = flg_closed;
    l.subcsr = 2;
  }
  PanelView view() { return {l, o, peek}; }
};

template <class W, class F>
QImage render(W& w, F paint) {
  QImage img(w.size(), QImage::Format_RGB32);
  img.fill(Qt::blue);
  QPainter p(&img);
  paint(p);
  return img;
}

QImage subImage(TSubPanel& w) {
  return render(w, [&](QPainter& p) { w.p_subPaint(p); });
}

panel::Rect cellOf(const Fixture& f, const TSubPanel& w, int i) {
  return panel::panelCell(f.l.subtext[1], i, w.cellw(), w.cellh());
}
QRgb underAt(const QImage& img, const panel::Rect& r) { return img.pixel(r.left + 1, r.bottom); }
bool solid(const QImage& img, const panel::Rect& r, QRgb c) {
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (img.pixel(x, y) != c) return false;
  return true;
}

void mouse(QWidget& w, QEvent::Type t, QPoint pos, Qt::MouseButton b,
           Qt::KeyboardModifiers m = Qt::NoModifier) {
  QMouseEvent e(t, QPointF(pos), w.mapToGlobal(QPointF(pos)), b,
                t == QEvent::MouseButtonRelease ? Qt::NoButton : b, m);
  QApplication::sendEvent(&w, &e);
}

}  // namespace

TEST(SubPanel, CellMeasuredFromA) {
  Fixture f;
  TSubPanel w(f.view());
  w.setCellFont(QString::fromUtf8("ＭＳ ゴシック"), 18);  // 24 px
  QFontMetrics m(cellFont(QString::fromUtf8("ＭＳ ゴシック"), 18));
  EXPECT_EQ(w.cellw(), m.horizontalAdvance('A'));
  EXPECT_EQ(w.cellh(), m.height());
  EXPECT_GT(w.cellw(), 0);
  // a double-byte character fills exactly two cells of the fixed-pitch face
  EXPECT_EQ(m.horizontalAdvance(QString::fromUtf8("あ")), 2 * w.cellw());
}

TEST(SubPanel, LetterStatesHaveTheirColours) {
  Fixture f;
  TSubPanel w(f.view());
  w.resize(400, 80);
  QImage img = subImage(w);
  // hidden letter: white block, red line
  EXPECT_TRUE(solid(img, cellOf(f, w, 3), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 3)), kRed);
  // the cursor: grey block, red line
  EXPECT_TRUE(solid(img, cellOf(f, w, 2), kGrey));
  EXPECT_EQ(underAt(img, cellOf(f, w, 2)), kRed);
  // hinted: visible letter with a red line
  EXPECT_FALSE(solid(img, cellOf(f, w, 1), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 1)), kRed);
  // typed: plain white text, no line
  EXPECT_FALSE(solid(img, cellOf(f, w, 0), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 0)), kBlack);
  // re-hidden: white block, white line
  EXPECT_TRUE(solid(img, cellOf(f, w, 5), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 5)), kWhite);
  // the second line sits on row 1
  EXPECT_EQ(cellOf(f, w, 11).top, w.cellh() + 3);
}

TEST(SubPanel, DisplayModesAndPeek) {
  Fixture f;
  TSubPanel w(f.view());
  w.resize(400, 80);
  f.o.subopenmode = true;  // letters shown, lines kept
  QImage img = subImage(w);
  EXPECT_FALSE(solid(img, cellOf(f, w, 3), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 3)), kRed);
  f.o.subopenmode = false;
  f.peek = true;  // the peek key shows the same
  img = subImage(w);
  EXPECT_FALSE(solid(img, cellOf(f, w, 2), kGrey));
  EXPECT_EQ(underAt(img, cellOf(f, w, 2)), kRed);
  f.peek = false;
  f.o.subview = true;  // letters only
  img = subImage(w);
  EXPECT_FALSE(solid(img, cellOf(f, w, 3), kWhite));
  EXPECT_EQ(underAt(img, cellOf(f, w, 3)), kBlack);
}

TEST(SubPanel, MissingStatesAndNoSubtitlesPaintSafely) {
  Fixture f;
  f.l.subflg[1].resize(2);  // states missing for most bytes: never hidden
  TSubPanel w(f.view());
  w.resize(400, 80);
  QImage img = subImage(w);
  EXPECT_EQ(underAt(img, cellOf(f, w, 3)), kBlack);
  f.l.cursub = 40;  // outside the table
  img = subImage(w);
  EXPECT_TRUE(solid(img, {0, 0, 400, 80}, kBlack));
  f.l.cursub = 1;
  f.l.srtloaded = false;
  img = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
  EXPECT_TRUE(solid(img, {0, 0, 400, 80}, kBlack));
}

TEST(SubPanel, RightClickCopiesWordDragCopiesRange) {
  Fixture f;
  TSubPanel w(f.view());
  w.resize(400, 80);
  QString logged;
  QObject::connect(&w, &TSubPanel::logout, [&](const QString& s) { logged = s; });
  int cw = w.cellw(), rowy = w.cellh() / 2;
  // a click on the hidden "r" copies the real word
  QPoint at(2 * cw + 1, rowy);
  mouse(w, QEvent::MouseButtonPress, at, Qt::RightButton);
  mouse(w, QEvent::MouseButtonRelease, at, Qt::RightButton);
  EXPECT_EQ(logged, QString::fromUtf8("wordコピーしました"));
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "word");
  // a drag from line 1's "h" to line 2's "n" copies the bytes between
  mouse(w, QEvent::MouseButtonPress, {5 * cw + 1, rowy}, Qt::RightButton);
  mouse(w, QEvent::MouseButtonRelease, {2 * cw + 1, w.cellh() + 10}, Qt::RightButton);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "hide\r\nlin");
  // right of line 1's text there is nothing to click
  logged.clear();
  QPoint past(30 * cw, rowy);
  mouse(w, QEvent::MouseButtonPress, past, Qt::RightButton);
  mouse(w, QEvent::MouseButtonRelease, past, Qt::RightButton);
  EXPECT_TRUE(logged.isEmpty());
  // a drag beyond the end is clamped to the text
  mouse(w, QEvent::MouseButtonPress, {7 * cw + 1, rowy}, Qt::RightButton);
  mouse(w, QEvent::MouseButtonRelease, {390, rowy}, Qt::RightButton);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "de");
  // a drag wholly right of the text copies nothing
  logged.clear();
  mouse(w, QEvent::MouseButtonPress, {20 * cw, rowy}, Qt::RightButton);
  mouse(w, QEvent::MouseButtonRelease, {30 * cw, rowy}, Qt::RightButton);
  EXPECT_TRUE(logged.isEmpty());
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "de");
}

TEST(SubPanel, LeftClicksReportColumns) {
  Fixture f;
  TSubPanel w(f.view());
  w.resize(400, 80);
  int word = 0, syncSlot = 0, syncCol = 0, syncFrom = 0;
  QObject::connect(&w, &TSubPanel::wordClicked, [&](int c) { word = c; });
  QObject::connect(&w, &TSubPanel::syncClicked, [&](int a, int s, int c) {
    syncFrom = a, syncSlot = s, syncCol = c;
  });
  int cw = w.cellw();
  mouse(w, QEvent::MouseButtonPress, {3 * cw + 2, 5}, Qt::LeftButton);
  EXPECT_EQ(word, 4);
  mouse(w, QEvent::MouseButtonPress, {cw + 2, w.cellh() + 8}, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(syncSlot, 1);
  EXPECT_EQ(syncCol, 2 + 10 + 1);  // line 2's second byte in the whole text
  EXPECT_EQ(syncFrom, -1);
  word = 0;
  mouse(w, QEvent::MouseButtonPress, {30 * cw, 5}, Qt::LeftButton);  // off the text
  EXPECT_EQ(word, 0);
}

TEST(SubPanel, EndMarkPlace) {
  Fixture f;
  TSubPanel w(f.view());
  w.move(27, 0);
  EXPECT_EQ(w.seMarkPos(24), QPoint(24 + 4 * w.cellw(), w.cellh() + 2));
}

TEST(SubStrip, FirstEndAndMasks) {
  Fixture f;
  TSubStrip pre(f.view(), -2), next(f.view(), 2);
  pre.resize(400, 1);
  next.resize(400, 1);
  pre.resize(400, pre.scellh());
  next.resize(400, next.scellh());
  EXPECT_EQ(pre.height(), pre.scellh());
  next.setTextLeft(24);
  QImage img = render(next, [&](QPainter& p) { next.p_smallpaint(p, next.slot()); });
  // the next cue's hidden "N" is a grey block at x0
  panel::Rect r{24, 0, 24 + next.scellw() - 1, next.scellh()};
  EXPECT_TRUE(solid(img, r, kGrey));
  // before cue 1: the "first" marker in grey
  img = render(pre, [&](QPainter& p) { pre.p_smallpaint(p, pre.slot()); });
  bool grey = false;
  for (int x = 0; x < 200 && !grey; ++x)
    for (int y = 0; y < img.height(); ++y) grey = grey || img.pixel(x, y) == kGrey;
  EXPECT_TRUE(grey);
  // the last cue has no next cue: a right click copies nothing
  f.l.cursub = 3;
  QString logged;
  QObject::connect(&next, &TSubStrip::logout, [&](const QString& s) { logged = s; });
  mouse(next, QEvent::MouseButtonPress, {30, 3}, Qt::RightButton);
  mouse(next, QEvent::MouseButtonRelease, {30, 3}, Qt::RightButton);
  EXPECT_TRUE(logged.isEmpty());
  // the previous strip copies from cue 1
  QObject::connect(&pre, &TSubStrip::logout, [&](const QString& s) { logged = s; });
  int x = 24 + 6 * pre.scellw() + 1;
  pre.setTextLeft(24);
  mouse(pre, QEvent::MouseButtonPress, {x, 3}, Qt::RightButton);
  mouse(pre, QEvent::MouseButtonRelease, {x, 3}, Qt::RightButton);
  EXPECT_EQ(logged, QString::fromUtf8("hideコピーしました"));
}

TEST(SubStrip, AltClickSetsShiftStart) {
  Fixture f;
  f.l.cursub = 3;
  TSubStrip pre(f.view(), -2), next(f.view(), 2);
  pre.resize(400, pre.scellh());
  int from = 0, slot = 0;
  QObject::connect(&pre, &TSubStrip::syncClicked, [&](int a, int s, int) { from = a, slot = s; });
  mouse(pre, QEvent::MouseButtonPress, {5, 3}, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(from, 1);
  EXPECT_EQ(slot, 1);
  // no next cue: the click yields no slot
  slot = 0;
  QObject::connect(&next, &TSubStrip::syncClicked, [&](int, int s, int) { slot = s; });
  mouse(next, QEvent::MouseButtonPress, {5, 3}, Qt::LeftButton, Qt::AltModifier);
  EXPECT_EQ(slot, 0);
}

TEST(FocusBar, LinesAndClick) {
  Fixture f;
  f.l.nowpos = 30000;
  f.l.startsub = 1;
  f.l.subclear[3] = 1;
  TFocusBar w(f.view());
  w.resize(600, 13);  // 20 px per second
  QImage img = render(w, [&](QPainter& p) { w.p_focusbarPaint(p); });
  EXPECT_EQ(img.pixel(300, 12), kRed);             // centre
  EXPECT_EQ(img.pixel(300 - 40, 12), kMagenta);    // cue 1 at 1 s: the start slot
  EXPECT_EQ(img.pixel(300 + 40, 12), kGreen);      // cue 2 at 5 s, cleared
  EXPECT_EQ(img.pixel(300 + 20, 12), kGrey);       // gap at 4 s
  EXPECT_EQ(img.pixel(300 + 21, 12), kBlack);
  tl::ttime t = -1;
  QObject::connect(&w, &TFocusBar::playFrom, [&](tl::ttime v) { t = v; });
  mouse(w, QEvent::MouseButtonRelease, {400, 5}, Qt::LeftButton);
  EXPECT_EQ(t, 80000);  // 5 s after the position
}

TEST(ProgressBar, ClearedCuesScenesTicks) {
  Fixture f;  // 1 s .. 8 s over 700 px: 100 px per second
  f.l.subclear[1] = 1;
  f.l.scenetop = {1, 3};
  f.l.sceneflg = {0, 1};
  TProgressBar w(f.view());
  w.resize(700, 11);
  QImage img = render(w, [&](QPainter& p) { w.p_barPaint(p); });
  EXPECT_EQ(img.pixel(150, 8), kGreen);   // cue 1 and its gap
  EXPECT_EQ(img.pixel(450, 8), kYellow);  // last scene, to the right edge
  EXPECT_EQ(img.pixel(699, 8), kYellow);
  EXPECT_EQ(img.pixel(0, 2), kBlack);     // scene ticks, 5 px
  EXPECT_EQ(img.pixel(400, 4), kBlack);
  EXPECT_EQ(img.pixel(400, 5), kYellow);
  f.l.sceneflg = {0, 0};
  f.l.subclear[3] = 1;  // a cleared last cue ends at its own end
  img = render(w, [&](QPainter& p) { w.p_barPaint(p); });
  EXPECT_EQ(img.pixel(650, 8), kGreen);
  // zero span: white with ticks at 0, no division
  f.l.subtime = {0, 10000, 10000, 10000, 10000};
  img = render(w, [&](QPainter& p) { w.p_barPaint(p); });
  EXPECT_EQ(img.pixel(650, 8), kWhite);
  EXPECT_EQ(img.pixel(0, 2), kBlack);
}

TEST(ProgressBar, DragAndSeek) {
  Fixture f;
  TProgressBar w(f.view());
  w.resize(700, 11);
  tl::ttime t = -1;
  int secs = -1;
  bool in = false;
  QObject::connect(&w, &TProgressBar::seekReleased, [&](tl::ttime v) { t = v; });
  QObject::connect(&w, &TProgressBar::seekDragMoved, [&](bool i, int s) { in = i, secs = s; });
  mouse(w, QEvent::MouseButtonPress, {350, 5}, Qt::LeftButton);
  EXPECT_TRUE(w.seekdrag());
  QMouseEvent mv(QEvent::MouseMove, QPointF(350, 5), QPointF(350, 5), Qt::NoButton, Qt::LeftButton,
                 Qt::NoModifier);
  QApplication::sendEvent(&w, &mv);
  EXPECT_TRUE(in);
  EXPECT_EQ(secs, 4);  // 4.5 s truncated
  mouse(w, QEvent::MouseButtonRelease, {350, 5}, Qt::LeftButton);
  EXPECT_FALSE(w.seekdrag());
  EXPECT_EQ(t, 45000);
  // released far right: the end of the table, never past it
  mouse(w, QEvent::MouseButtonPress, {900, 5}, Qt::LeftButton);
  mouse(w, QEvent::MouseButtonRelease, {900, 5}, Qt::LeftButton);
  EXPECT_EQ(t, 80000);
  // no width or no span: nothing to seek
  t = -1;
  w.resize(0, 11);
  mouse(w, QEvent::MouseButtonPress, {0, 5}, Qt::LeftButton);
  mouse(w, QEvent::MouseButtonRelease, {0, 5}, Qt::LeftButton);
  EXPECT_EQ(t, -1);
  // before loading, no input at all
  f.l.srtloaded = false;
  w.resize(700, 11);
  mouse(w, QEvent::MouseButtonPress, {350, 5}, Qt::LeftButton);
  EXPECT_FALSE(w.seekdrag());
}
