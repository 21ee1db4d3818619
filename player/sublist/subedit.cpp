#include "player/sublist/subedit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/sublist.h"
#include "platform/codepage/codepage.h"
#include "player/lessonmodel.h"
#include "player/sublist/sub.h"

Tf_subedit::Tf_subedit(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_subedit"));
  setWindowTitle(QString::fromUtf8("字幕編集"));
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setModal(false);
  resize(565, 156);
  auto* v = new QVBoxLayout(this);
  Label1 = new QLabel(this);
  r_subedit = new QPlainTextEdit(this);
  r_subedit->setObjectName(QStringLiteral("r_subedit"));
  r_subedit->setMinimumSize(521, 41);
  // Tab walks the dialog's controls; a tab would break the one-cell-per-byte
  // grid of the cue.
  r_subedit->setTabChangesFocus(true);
  Button1 = new QPushButton(QStringLiteral("OK"), this);
  Button2 = new QPushButton(QString::fromUtf8("キャンセル"), this);
  Button1->setDefault(true);
  auto* h = new QHBoxLayout;
  h->addStretch(1);
  h->addWidget(Button1);
  h->addWidget(Button2);
  v->addWidget(Label1);
  v->addWidget(r_subedit, 1);
  v->addLayout(h);
  connect(Button1, &QPushButton::clicked, this, &Tf_subedit::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &Tf_subedit::Button2Click);
}

void Tf_subedit::editset(int n) {
  if (!host_) return;
  const tl::Lesson& l = host_->model().lesson();
  n_ = n;
  load_ = host_->model().loadNumber();
  Label1->setText(QString::number(n));
  const std::string t = n >= 0 && n < (int)l.subtext.size() ? l.subtext[n] : std::string();
  r_subedit->setPlainText(QString::fromStdU16String(tl::cp::ansiToUtf16(t)));
}

bool Tf_subedit::editDisplayed() {
  if (!host_) return false;
  const tl::Lesson& l = host_->model().lesson();
  if (!l.srtloaded) return false;
  const int s = l.cursub;
  if (s < 1 || !tl::Lesson::isCue(s) || s >= l.subcount) {
    host_->message(QString::fromUtf8("字幕行を選択してください"));
    return false;
  }
  editset(s);
  show();
  raise();
  activateWindow();
  return true;
}

void Tf_subedit::Button1Click() {
  if (!host_) return;
  tl::Lesson& l = host_->model().lesson();
  if (load_ != host_->model().loadNumber() || !l.srtloaded || n_ < 1 || !tl::Lesson::isCue(n_) ||
      n_ >= l.subcount) {
    host_->message(QString::fromUtf8("編集中に字幕ファイルが読み込み直されたため、この編集は反映できません"));
    hide();
    return;
  }
  Button1->setEnabled(false);
  const bool timerWas = host_->mainTimerEnabled();
  host_->setMainTimerEnabled(false);
  auto restore = [&] {
    host_->setMainTimerEnabled(timerWas);
    Button1->setEnabled(true);
  };

  // A pasted tab becomes the space it shows as.
  const QString typed = r_subedit->toPlainText().replace(QLatin1Char('\t'), QLatin1Char(' '));
  const auto lines = tl::logicalLines(tl::cp::utf16ToAnsi(typed.toStdU16String()));
  const std::string refusal = tl::checkEditLines(lines);
  if (!refusal.empty()) {
    host_->message(QString::fromUtf8(refusal.c_str()));
    restore();
    return;
  }
  tl::applyEdit(l, n_, tl::editText(lines));
  edited_ = true;
  editedLoad_ = load_;
  host_->afterflgchg();
  host_->model().announce(tl::Change::Texts, n_);
  l.flgdirty = l.srtdirty = true;
  if (host_->question(QString::fromUtf8("字幕を変更する場合、字幕と進捗を保存する必要があります。両方上書き保存しますか？"),
                      QString::fromUtf8("セーブ"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
    // The progress describes the texts of the SRT: without the SRT written,
    // it is not written either.
    if (host_->srtsav()) host_->subflgsave();
  }
  restore();
  hide();
}

bool Tf_subedit::textUnsaved() const {
  if (!host_ || !edited_) return false;
  return editedLoad_ == host_->model().loadNumber() && host_->model().lesson().srtdirty;
}

bool Tf_subedit::saveProgress() {
  if (!host_) return false;
  if (textUnsaved() && !host_->srtsav()) return false;
  return host_->subflgsave();
}
