// The painted boxes of the main window's lower area: the subtitle panel
// `p_sub`, the previous/next strips `p_presub`/`p_nextsub`, the focus bar
// `p_focusbar` and the progress bar `p_bar`.
//
// The widgets hold no subtitle data: they read the main window's Lesson,
// Options and peek-key flag, and report what the mouse asks for through
// signals the main window connects.  The main window repaints them (update())
// whenever what they show changes.
#pragma once

#include <QWidget>
#include <string>

#include "core/change.h"
#include "core/lesson.h"
#include "core/options.h"
#include "player/widgets/cellfont.h"

namespace tl::ui {

// What the panels and the overlay read besides themselves; the referenced
// objects belong to the main window and outlive the widgets.
struct PanelView {
  const tl::Lesson& lesson;
  const tl::Options& opts;
  const bool& peekkey;
  // Hidden letters are shown (display modes or the peek key).
  bool lettersShown() const { return opts.subopenmode || opts.subview || peekkey; }
};

// Puts 932 text on the clipboard.
void copyAnsiToClipboard(const std::string& ansi);
QString ansiText(const std::string& ansi);

// ---- p_sub -----------------------------------------------------------------
class TSubPanel : public QWidget {
  Q_OBJECT
 public:
  TSubPanel(PanelView view, QWidget* parent = nullptr);
  // Subscribed to the lesson model: repaints when the change touches what it shows.
  void lessonChanged(tl::Change what, int slot);
  void setCellFont(const QString& face, int points);
  int cellw() const { return cell_.w; }
  int cellh() const { return cell_.h; }
  // Where `i_se` goes, in the coordinates of the panels' parent `p_subs`,
  // for the displayed cue; splitterLeft is `Splitter2`'s left.
  QPoint seMarkPos(int splitterLeft) const;
  // Paints the panel (also used for images in tests and the benchmark).
  void p_subPaint(QPainter& p) const;

 signals:
  // Left click with Alt: timing sync at a 1-based column of the displayed
  // cue (Tf_main.clickadjg).  adjfrom: the slot the main window sets as the
  // start of a partial shift first, -1 to leave it.
  void syncClicked(int adjfrom, int slot, int column);
  // Left click on a letter of the displayed cue: cursor to its hidden word
  // (Tf_main.clickwordg).
  void wordClicked(int column);
  // A copy was made: text for the log line (`logout`).
  void logout(const QString& text);
  // The panel was painted: the end mark `i_se` follows it.
  void painted();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  PanelView v_;
  QFont font_;
  Cell cell_;
  QPoint press_{-1, -1};  // pressx, pressy
};

// ---- p_presub / p_nextsub ---------------------------------------------------
class TSubStrip : public QWidget {
  Q_OBJECT
 public:
  // offset -2 for the previous cue, +2 for the next one.
  TSubStrip(PanelView view, int offset, QWidget* parent = nullptr);
  // Subscribed to the lesson model: repaints when the change touches what it shows.
  void lessonChanged(tl::Change what, int slot);
  // Sets the font and the strip's height (scellh).
  void setCellFont(const QString& face, int points);
  int scellw() const { return cell_.w; }
  int scellh() const { return cell_.h; }
  // Left edge of the text (`Splitter2`'s left, in the strip's coordinates).
  void setTextLeft(int x0);
  // Keeps the text's left edge at the left of w (a sibling) as w moves.
  void followLeftOf(QWidget* w);
  int textLeft() const { return x0_; }
  int slot() const { return v_.lesson.cursub + offset_; }
  void p_smallpaint(QPainter& p, int slot) const;

 signals:
  void syncClicked(int adjfrom, int slot, int column);
  void logout(const QString& text);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  PanelView v_;
  QWidget* follow_ = nullptr;
  int offset_;
  int x0_ = 0;
  QFont font_;
  Cell cell_;
  int pressx_ = -1;  // prepressx / nextpressx
};

// `Splitter2`: a thin bar right of the margin box; dragging it sideways
// widens or narrows the margin (never below 0, never past the parent's width
// less minRest pixels).
class TMarginSplitter : public QWidget {
  Q_OBJECT
 public:
  TMarginSplitter(QWidget* margin, QWidget* parent, int minRest = 40);

 signals:
  void moved();

 protected:
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  QWidget* margin_;
  int minRest_;
  bool drag_ = false;
  int pressGlobalX_ = 0, pressWidth_ = 0;
};

// The main window's `fontset`: panel font and strip fonts with their cells
// and strip heights.
void fontset(TSubPanel* sub, TSubStrip* pre, TSubStrip* next, const QString& face, int size,
             int ssize);

// ---- p_focusbar -------------------------------------------------------------
class TFocusBar : public QWidget {
  Q_OBJECT
 public:
  TFocusBar(PanelView view, QWidget* parent = nullptr);
  // Subscribed to the lesson model: repaints when the change touches what it shows.
  void lessonChanged(tl::Change what, int slot);
  void p_focusbarPaint(QPainter& p) const;

 signals:
  // Play from this time (Tf_main.posplay with slot 0).
  void playFrom(tl::ttime t);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  void lnpaint(QPainter& p, int x, int slot) const;
  PanelView v_;
  QFont font_;
  Cell cell_;
};

// ---- p_bar -------------------------------------------------------------------
class TProgressBar : public QWidget {
  Q_OBJECT
 public:
  TProgressBar(PanelView view, QWidget* parent = nullptr);
  // Subscribed to the lesson model: repaints when the change touches what it shows.
  void lessonChanged(tl::Change what, int slot);
  void p_barPaint(QPainter& p) const;
  bool seekdrag() const { return seekdrag_; }

 signals:
  void seekDragChanged(bool on);
  // While dragging: the seek bar position in seconds under the pointer
  // (inRange false when the pointer is left or right of the bar: the main
  // window then only refreshes the status text from the seek bar).
  void seekDragMoved(bool inRange, int seconds);
  // Released: play from this time (posplay with slot 0; then, when a cue is
  // displayed, forcetick and one timer tick).  Never outside the table.
  void seekReleased(tl::ttime t);

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  PanelView v_;
  bool seekdrag_ = false;
};

}  // namespace tl::ui
