// The subtitle overlay on the video (`tp_sub`): the displayed cue letter by
// letter with hidden letters blank and underlined, the previous and next cue
// in the side font, the scene-and-cue number, the translations, and the log
// line.  Dragging moves the text; a click moves the dictation cursor, an
// Alt-click syncs the timing, a right click or drag copies and registers a
// word.
//
// The overlay is a see-through child of the widget the video is drawn in.
// It reads the main window's Lesson and Options (the view flags) and asks the
// main window for what belongs to it through OverlayHooks.
#pragma once

#include <QCursor>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "core/dictation.h"
#include "core/overlaylayout.h"
#include "player/widgets/TransPanel.h"
#include "player/widgets/cursors.h"
#include "player/views/subpanels.h"

namespace tl::ui {

struct OverlayHooks {
  // Tf_main.clickwordg: cursor to the hidden word at a 1-based column of the
  // displayed cue; true when the cursor moved.
  std::function<bool(int column)> clickwordg;
  // Tf_main.clickadjg after setting adjfrom (adjfrom -1: leave it).
  std::function<void(int adjfrom, int slot, int column)> clickadjg;
  // Tf_main.wordentry: registers the word (932 bytes) of a cue; the
  // registration logs its own line when it has finished.
  std::function<void(int slot, const std::string& word, const std::string& sentence)> wordentry;
  // Status panel 0 of the main window's status bar.
  std::function<void(const QString&)> statusText;
};

// A 24-bit colour value (low byte red, 0xFFFF yellow) as a QColor.
inline QColor colorValue(uint32_t v) { return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF); }

class TSubOverlay : public TTransPanel {
  Q_OBJECT
 public:
  TSubOverlay(PanelView view, QWidget* videoWidget);

  OverlayHooks hooks;

  // Face and both sizes (points x 10000); measures the cells.
  void gfontset(const QString& face, int64_t gfsize, int64_t gfssize);
  int64_t gfsize() const { return gfsize_; }
  int64_t gfssize() const { return gfssize_; }
  const ovl::Metrics& metrics() const;

  int tpx() const { return tpx_; }
  int tpy() const { return tpy_; }
  void setTextPos(int tpx, int tpy);
  // n_tpsubresetClick.
  void tpsubreset();
  // After the translation switches changed (opts.gtssnt / opts.gtsword):
  // the two gaps from the side cell height, and a repaint.
  void transgapset();
  int wdgap() const { return wdgap_; }
  int sntgap() const { return sntgap_; }

  // After opts.dispsub changed: aligned to the parent (mode "xp"), to its
  // bottom (mode "win7"), or 0 x 0 when off.
  void dispsubChanged();
  // After opts.xp / opts.win7 changed: alignment as above; in side-by-side
  // mode the band is 7 cue cells high and the text moves into it.
  void modeChanged();
  // Off the picture (no alignment, 0 x 0) while the player shows a DVD menu;
  // dispsubChanged() brings it back.
  void collapse();

  void setGauto(bool on) { gauto_ = on; }
  bool gauto() const { return gauto_; }
  bool aligned() const { return align_ != Align::None; }
  // Re-arms the black band (a new cue became the displayed one, the
  // next-sentence command, the reset before loading).
  void armBand() { bandon_ = true; }
  bool bandon() const { return bandon_; }

  // Video picture rectangle against the video size; gsubadj also scales the
  // fonts and the text position when gauto is on.
  void movsizeset(const ovl::VideoGeom& g);
  void gsubadj(const ovl::VideoGeom& g);
  const ovl::VidRect& vid() const { return vid_; }

  // Status panel 0 and the green line at the top left, shown until the next
  // full repaint.
  void logout(const QString& text);
  QString logText() const { return logtext_; }

  // Single-cell updates (typing, cursor moves): byte i's letter, byte i's
  // underline.  The underline colour follows the letter state and the
  // cursor, which always give the colour a caller names.
  void tp_sub_txtwrt(int i);
  void tp_sub_undwrt(int i, const QColor& colour = QColor());
  // The three cells after a typed or hinted letter at old: its letter, its
  // underline, and the new cursor's underline.
  void letterOpened(int old);

  // A full repaint (clears the log line).
  void Invalidate() override;
  // Subscribed to the lesson model.  A change of the displayed cue's letters
  // that names its marked letters redraws just those cells; other changes of
  // what the overlay shows repaint it whole.
  void lessonChanged(tl::Change what, int slot, const std::vector<tl::LetterMark>* marks);
  using TTransPanel::Invalidate;

  // The layout the next paint uses (hit tests take the same).
  ovl::OverlayLayout layout() const;
  ovl::Hit hitTest(int x, int y) const { return layout().hit(x, y); }
  void tp_subPaint(QPainter& p);
  void paintCues(QPainter& p);

  // Cursors 0 arrow, 1 open hand, 2 closed hand, 3 band.
  void setCursors(const std::array<QCursor, 4>& c) { cursors_ = c; }

 protected:
  bool eventFilter(QObject* o, QEvent* e) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  enum class Align { None, Client, Bottom };
  struct Fonts {
    QFont cue, side;
    Cell c, s;
  };
  const Fonts& fonts() const;
  ovl::Params params() const;
  bool dictationView() const;
  QRect cellRect(const ovl::OverlayLayout& o, int i) const;
  QRect bandRect() const { return QRect(0, height() * 3 / 4, width(), height() - height() * 3 / 4); }
  bool inBand(QPoint p) const;
  void align(Align a);
  void applyAlign();
  // The widget holding the video widget in a box layout (the band's place in
  // side-by-side mode), or null.
  QWidget* bandArea() const;
  void setCursorNo(int n);
  // In the band under the picture (mode "win7").
  bool sideBySide() const { return align_ == Align::Bottom; }
  // Side by side: the point sizes (before they are fitted to the width), the
  // cell heights and the gaps at which what the band shows fits its height.
  struct Band {
    int pts = 0, spts = 0, ch = 0, sh = 0, wdgap = 5, sntgap = 10, need = 0;
  };
  Band bandAt(int pts, int spts) const;
  const Band& band() const;
  // The band's height in an area of that height.
  int bandHeight(int areaHeight) const;

  PanelView v_;
  QWidget* video_ = nullptr;
  bool inAlign_ = false;
  QString face_ = QString::fromUtf8("ＭＳ ゴシック");
  int64_t gfsize_ = 240000, gfssize_ = 160000;
  mutable Fonts fonts_;
  mutable int fontsKey_[6] = {-1, -1, -1, -1, -1, -1};
  mutable ovl::Metrics metrics_;
  mutable Band band_;
  mutable int bandKey_[6] = {-1, -1, -1, -1, -1, -1};
  int tpx_ = 0, tpy_ = 0;
  int reltpx_ = 0, reltpy_ = 0;
  int wdgap_ = 5, sntgap_ = 10;
  ovl::VidRect vid_;
  bool gauto_ = false;
  bool bandon_ = true;
  int shownCue_ = -1;  // the cue last announced as displayed
  QRect logRect_;      // where the log line was last drawn
  bool tpdrag_ = false;
  int grabdx_ = 0, grabdy_ = 0;
  int presslot_ = 0, presscol_ = 0;
  QString logtext_;
  Align align_ = Align::Client;
  std::array<QCursor, 4> cursors_ = overlayCursors();
};

}  // namespace tl::ui
