// Tf_wordtest "単語テスト": Flash-card review of the registered words.
// Created once at start-up, hidden, shown and hidden again by the main window.
//
// Start screen: the two start buttons.  Review screen: the record shown with
// OK / NG / 和訳 / 再生 / 削除 and the two ways to save.  End screen: "テスト
// 対象は終了しました" with 最初から and 保存終了.  The review itself is
// tl::word::Review; saving merges with the file.
#pragma once

#include <QDialog>
#include <memory>
#include <functional>

#include "core/wordreview.h"

class QLabel;
class QPushButton;
class MainHost;

class Tf_wordtest : public QDialog {
  Q_OBJECT
 public:
  explicit Tf_wordtest(QWidget* parent = nullptr);
  void setHost(std::shared_ptr<MainHost> host) { host_ = std::move(host); }
  // The clock of the due rule (tests set it).
  std::function<tl::word::Stamp()> now = [] { return tl::word::nowStamp(); };

  void Button6Click();  // review all works
  void Button7Click();  // review the current work
  void Button1Click();  // OK
  void Button2Click();  // NG
  void Button3Click();  // replay
  void Button4Click();  // translation
  void Button5Click();  // save, back to the start screen
  void Button8Click();  // save and close
  void Button9Click();  // delete

  // Saves a review that is open (the main window calls this when it really
  // closes).  False after a message when the save failed.
  bool saveOpenReview();
  // The main window's close: saves a review that is open; when that fails,
  // asks whether to end without the answers, so that the program can always
  // be closed.  False: the close waits.
  bool saveOrDropAtClose();

  const tl::word::Review& review() const { return review_; }

  QPushButton *Button1, *Button2, *Button3, *Button4, *Button5, *Button6, *Button7, *Button8, *Button9;
  QLabel *l_word, *l_sub, *l_ja, *l_srt, *Label2, *Label4;

 public:
  void done(int r) override;

 protected:
  void showEvent(QShowEvent* e) override;
  bool eventFilter(QObject* o, QEvent* e) override;

 private:
  void start(tl::word::Review::Mode mode);
  void readtonextword(bool more);
  void wordset();
  void visfst();
  void visword();
  void vislst();
  void showOnly(const std::vector<QWidget*>& shown);

  std::shared_ptr<MainHost> host_;
  tl::word::Review review_;
  QLabel *subCaption_, *srtCaption_;
  std::vector<QWidget*> all_;
};
