// One panel of the main window's status bar: a line of text, cut at the
// panel's edge.  A new text repaints the panel and nothing else (the
// position panel takes one at every tick of the main timer).
#pragma once

#include <QString>
#include <QWidget>

namespace tl::ui {

class StatusPanel : public QWidget {
  Q_OBJECT
 public:
  explicit StatusPanel(QWidget* parent = nullptr);

  QString text() const { return text_; }
  void setText(const QString& text);

  // The width a panel needs to show `text` whole.
  int widthFor(const QString& text) const;

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return sizeHint(); }

 protected:
  void paintEvent(QPaintEvent*) override;

 private:
  QString text_;
};

}  // namespace tl::ui
