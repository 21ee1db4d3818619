// Cell layout and hit tests of the subtitle panels and the overlay.
#include <gtest/gtest.h>

#include "core/overlaylayout.h"
#include "core/panellayout.h"
#include "support/lessonbuilder.h"

using namespace tl;
using namespace tl::panel;

namespace {
// Three cues: "Hi you\r\n", "Line one\r\nLine two\r\n", "Bye\r\n".
Lesson lesson3() {
  return test::LessonBuilder()
      .cue(10000, 20000, "Hi you\r\n")
      .cue(30000, 40000, "Line one\r\nLine two\r\n")
      .cue(50000, 60000, "Bye\r\n")
      .letters(test::Letters::Out)
      .at(3)
      .build();
}
}  // namespace

TEST(PanelLayout, RowsAndCells) {
  std::string t = "ab\r\ncd\r\n";
  EXPECT_EQ(firstCrlf(t), 2);
  EXPECT_EQ(panelRowCol(t, 1).row, 0);
  EXPECT_EQ(panelRowCol(t, 3).row, 0);  // the LF still belongs to row 0
  EXPECT_EQ(panelRowCol(t, 4).row, 1);
  EXPECT_EQ(panelRowCol(t, 4).col, 0);
  // cellw 10, cellh 20: row 0 top 1 bottom 21; row 1 top 23 bottom 41
  EXPECT_EQ(panelCell(t, 1, 10, 20), (Rect{10, 1, 19, 21}));
  EXPECT_EQ(panelCell(t, 5, 10, 20), (Rect{10, 23, 19, 41}));
  EXPECT_EQ(firstCrlf("no break"), -1);
}

TEST(PanelLayout, HitsOnlyPaintedBytes) {
  std::string t = "ab\r\ncde\r\n";
  EXPECT_EQ(panelHit(t, 15, 5, 10, 20).index, 1);
  EXPECT_EQ(panelHit(t, 25, 5, 10, 20).index, -1);    // the CR cell: no letter
  EXPECT_EQ(panelHit(t, 25, 5, 10, 20).clamped, 1);   // a drag stops at line 1's end
  EXPECT_EQ(panelHit(t, 25, 30, 10, 20).index, 6);    // row 1, column 2
  EXPECT_EQ(panelHit(t, 500, 30, 10, 20).clamped, 8);
  EXPECT_EQ(panelHit(t, 5, 22, 10, 20).index, 0);     // y = cellh + 2 is still row 0
  // a one-line cue has no row 1
  EXPECT_FALSE(panelHit("ab\r\n", 5, 30, 10, 20).valid());
  EXPECT_FALSE(panelHit("", 0, 0, 10, 20).valid());
  EXPECT_FALSE(panelHit(t, 5, 5, 0, 20).valid());     // no cell width yet
  // strips start at x0
  EXPECT_EQ(stripHit(t, 35, 20, 5).index, 3);
  EXPECT_FALSE(stripHit(t, 10, 20, 5).valid());
  EXPECT_EQ(stripHit(t, 10, 20, 5).clamped, 0);
}

TEST(PanelLayout, WordsAndRanges) {
  std::string t = "I'm here, ok\r\n";
  EXPECT_EQ(wordAt(t, 5), "here");
  EXPECT_EQ(wordAt(t, 0), "I");
  EXPECT_EQ(wordAt(t, 8), "");   // ","
  EXPECT_EQ(wordAt(t, 99), "");
  EXPECT_EQ(wordAt(t, -1), "");
  EXPECT_EQ(byteRange(t, 7, 4), "here");
  EXPECT_EQ(byteRange(t, -5, 2), "I'm");
  EXPECT_EQ(byteRange(t, 10, 99), "ok\r\n");
  EXPECT_EQ(trimBreaks("\r\nab\r\n"), "ab");
  EXPECT_EQ(trimBreaks("\n"), "");
  // sync columns follow the press rule, past the text allowed
  EXPECT_EQ(clickColumn("ab\r\ncd\r\n", 15, 5, 10, 20), 2);
  EXPECT_EQ(clickColumn("ab\r\ncd\r\n", 15, 30, 10, 20), 6);
}

TEST(PanelLayout, EndMarkAfterLastLetter) {
  EXPECT_EQ(seMarkOffset("Hello\r\n", 10, 20), (Point{50, 0}));
  EXPECT_EQ(seMarkOffset("Hi\r\nthere\r\n", 10, 20), (Point{50, 22}));
  EXPECT_EQ(seMarkOffset("a\r\nb\r\ncd\r\n", 10, 20), (Point{50, 22}));
}

TEST(PanelLayout, FocusBar) {
  EXPECT_EQ(focusCentre(737), 368);
  EXPECT_EQ(focusOffset(150000, 0, 600), 300);   // 15 s = half of 30 s
  EXPECT_EQ(focusOffset(-10001, 0, 300), -10);   // truncated toward zero
  EXPECT_EQ(focusClickTime(300, 600, 100000), 100000);
  EXPECT_EQ(focusClickTime(0, 600, 200000), 50000);
  EXPECT_EQ(focusClickTime(5, 0, 7), 7);
}

TEST(PanelLayout, ProgressBarScale) {
  Lesson l = lesson3();
  BarScale s = barScale(l, 500);  // 1 s .. 6 s over 500 px
  ASSERT_TRUE(s.usable());
  EXPECT_EQ(s.barscale, 1000000);  // 500 / 50000 x 1e8
  EXPECT_EQ(s.x(10000), 0);
  EXPECT_EQ(s.x(35000), 250);
  EXPECT_EQ(s.timeAt(250), 35000);
  EXPECT_EQ(s.timeAt(-40), 10000);  // never before the table
  EXPECT_EQ(s.timeAt(9999), 60000); // nor after it
  // zero span and zero width: nothing divides by zero
  Lesson z = l;
  z.subtime.assign(7, 10000);
  EXPECT_FALSE(barScale(z, 500).usable());
  EXPECT_EQ(barScale(z, 500).x(10000), 0);
  EXPECT_FALSE(barScale(l, 0).usable());
  Lesson empty;
  EXPECT_FALSE(barScale(empty, 100).usable());
}

TEST(PanelLayout, RoundHalfEven) {
  EXPECT_EQ(roundDivEven(5, 2), 2);
  EXPECT_EQ(roundDivEven(7, 2), 4);
  EXPECT_EQ(roundDivEven(-5, 2), -2);
  EXPECT_EQ(roundDivEven(-7, 2), -4);
  EXPECT_EQ(roundDivEven(10, 3), 3);
  EXPECT_EQ(roundDivEven(1, 0), 0);
  EXPECT_EQ(ovl::pointsOf(245000), 24);
  EXPECT_EQ(ovl::pointsOf(255000), 26);
}

// ---- overlay ----------------------------------------------------------------

namespace {
ovl::Metrics metrics() { return {10, 20, 6, 12}; }
ovl::Params params() {
  ovl::Params p;
  p.tpx = 100;
  p.tpy = 200;
  p.panelw = 640;
  p.panelh = 480;
  return p;
}
}  // namespace

TEST(OverlayLayout, CellsOfBothLines) {
  Lesson l = lesson3();
  ovl::OverlayLayout o = ovl::layoutOverlay(l, params(), metrics());
  EXPECT_EQ(o.crpos, 9);
  EXPECT_FALSE(o.oneline);
  EXPECT_EQ(o.line1width, 90);   // "Line one\r"
  EXPECT_EQ(o.line2width, 100);  // "Line two\r\n"
  EXPECT_EQ(o.subx(2), 120);
  EXPECT_EQ(o.suby(2), 200 - 20 - 5);  // line 1 sits gcellh + wdgap higher
  EXPECT_EQ(o.subx(10), 100);          // first byte of line 2
  EXPECT_EQ(o.suby(10), 200);
  l.cursub = 1;
  o = ovl::layoutOverlay(l, params(), metrics());
  EXPECT_TRUE(o.oneline);
  EXPECT_EQ(o.suby(0), 200);
}

TEST(OverlayLayout, CentringAndSides) {
  Lesson l = lesson3();
  ovl::Params p = params();
  p.xcenter = true;
  p.vidleft = 30;
  ovl::OverlayLayout o = ovl::layoutOverlay(l, p, metrics());
  EXPECT_EQ(o.tpx, (640 - 100 + 10) / 2);  // line 2 is not shorter: it counts
  ASSERT_TRUE(o.pre.shown);
  EXPECT_EQ(o.pre.slot, 1);
  EXPECT_EQ(o.pre.x, 30 + 12);
  EXPECT_EQ(o.pre.y, 200 - 20 - 12 - 5 - 10);
  ASSERT_TRUE(o.next.shown);
  EXPECT_EQ(o.next.y, 480 - 12);
  EXPECT_EQ(o.numberY(p), 200 - 40 - 12 - 5 - 10);
  // cue 1 has no previous cue, the last cue no next one
  l.cursub = 1;
  EXPECT_FALSE(ovl::layoutOverlay(l, p, metrics()).pre.shown);
  l.cursub = 5;
  EXPECT_FALSE(ovl::layoutOverlay(l, p, metrics()).next.shown);
  p.gpresub = false;
  EXPECT_EQ(ovl::layoutOverlay(l, p, metrics()).numberY(p), 200 - 40 - 5 - 10);
}

TEST(OverlayLayout, HitTest) {
  Lesson l = lesson3();
  ovl::OverlayLayout o = ovl::layoutOverlay(l, params(), metrics());
  EXPECT_EQ(o.hit(125, 190), (ovl::Hit{3, 3}));    // line 1, byte 3
  EXPECT_EQ(o.hit(105, 210), (ovl::Hit{3, 11}));   // line 2, first byte
  EXPECT_EQ(o.hit(100, 210), (ovl::Hit{}));        // comparisons are strict
  EXPECT_EQ(o.hit(300, 210), (ovl::Hit{}));
  // previous cue at (112, 153), 8 bytes of 6 px
  EXPECT_EQ(o.hit(113, 155), (ovl::Hit{1, 1}));
  EXPECT_EQ(o.hit(113 + 6 * 7, 155), (ovl::Hit{1, 8}));
  // next cue at y = 200 + 20 + 10
  EXPECT_EQ(o.hit(113, 235), (ovl::Hit{5, 1}));
  // a side cue that is not drawn cannot be hit
  ovl::Params p = params();
  p.gpresub = false;
  EXPECT_EQ(ovl::layoutOverlay(l, p, metrics()).hit(113, 155), (ovl::Hit{}));
  // no displayed cue: nothing to hit, wherever
  l.cursub = 2;
  EXPECT_EQ(ovl::layoutOverlay(l, params(), metrics()).hit(125, 190), (ovl::Hit{}));
  l.cursub = 99;
  EXPECT_EQ(ovl::layoutOverlay(l, params(), metrics()).hit(125, 190), (ovl::Hit{}));
}

TEST(OverlayLayout, VideoRectangle) {
  ovl::VideoGeom g{640, 360, 800, 600, 800, 700, 3, 150};
  ovl::VidRect r;
  ASSERT_TRUE(ovl::movsizeset(g, r));  // 600/800 >= 360/640: fills the width
  EXPECT_EQ(r, (ovl::VidRect{800, 450, 0, 125}));
  g.ctlh = 300;  // wide control: fills the height
  ASSERT_TRUE(ovl::movsizeset(g, r));
  EXPECT_EQ(r, (ovl::VidRect{640 * 547 / 360, 547, (800 - 640 * 547 / 360) / 2, 0}));
  // the player tells where it shows the picture: that rectangle, whatever
  // the window's other parts take
  g.shown = true;
  g.showx = 83;
  g.showy = 4;
  g.showw = 640;
  g.showh = 360;
  ASSERT_TRUE(ovl::movsizeset(g, r));
  EXPECT_EQ(r, (ovl::VidRect{640, 360, 83, 4}));
  g.showw = 0;  // nothing shown: the rule again
  ASSERT_TRUE(ovl::movsizeset(g, r));
  EXPECT_EQ(r, (ovl::VidRect{640 * 547 / 360, 547, (800 - 640 * 547 / 360) / 2, 0}));
  ovl::VidRect keep = r;
  g.pw = 0;
  EXPECT_FALSE(ovl::movsizeset(g, r));
  EXPECT_EQ(r, keep);
}
