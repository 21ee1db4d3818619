#include "player/words/wordtest.h"

#include <algorithm>

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/codepage/codepage.h"
#include "platform/paths/paths.h"
#include "player/lessonmodel.h"
#include "player/mainhost.h"
#include "player/views/subpanels.h"

namespace {

QString A(const std::string& ansi) { return QString::fromStdString(tl::cp::ansiToUtf8(ansi)); }
const char* kEnd = "テスト対象は終了しました";

}  // namespace

Tf_wordtest::Tf_wordtest(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_wordtest"));
  setWindowTitle(QString::fromUtf8("単語テスト"));
  auto button = [this](const char* name, const char* caption, void (Tf_wordtest::*fn)()) {
    auto* b = new QPushButton(QString::fromUtf8(caption), this);
    b->setObjectName(QString::fromLatin1(name));
    connect(b, &QPushButton::clicked, this, [this, fn] { (this->*fn)(); });
    return b;
  };
  auto label = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextInteractionFlags(Qt::NoTextInteraction);
    return l;
  };
  Button6 = button("Button6", "今までやった作品全ての登録単語を学習する", &Tf_wordtest::Button6Click);
  Button7 = button("Button7", "現在読み込んでいる作品の登録単語を学習する", &Tf_wordtest::Button7Click);
  Button1 = button("Button1", "OK", &Tf_wordtest::Button1Click);
  Button2 = button("Button2", "NG", &Tf_wordtest::Button2Click);
  Button4 = button("Button4", "和訳", &Tf_wordtest::Button4Click);
  Button3 = button("Button3", "再生", &Tf_wordtest::Button3Click);
  Button9 = button("Button9", "削除", &Tf_wordtest::Button9Click);
  Button5 = button("Button5", "最初から", &Tf_wordtest::Button5Click);
  Button8 = button("Button8", "保存終了", &Tf_wordtest::Button8Click);
  l_word = label("l_word");
  QFont f(QString::fromUtf8("ＭＳ ゴシック"));
  f.setPixelSize(20);
  f.setBold(true);
  l_word->setFont(f);
  l_sub = label("l_sub");
  l_sub->setWordWrap(true);
  l_ja = label("l_ja");
  l_ja->setWordWrap(true);
  l_srt = label("l_srt");
  Label2 = label("Label2");
  Label4 = label("Label4");
  subCaption_ = new QLabel(QString::fromUtf8("英文"), this);
  srtCaption_ = new QLabel(QString::fromUtf8("作品"), this);
  l_word->installEventFilter(this);
  l_sub->installEventFilter(this);

  auto* g = new QGridLayout;
  g->addWidget(l_word, 0, 0, 1, 2);
  g->addWidget(Label4, 0, 2);
  g->addWidget(subCaption_, 1, 0);
  g->addWidget(l_sub, 1, 1, 1, 2);
  g->addWidget(l_ja, 2, 1, 1, 2);
  g->addWidget(srtCaption_, 3, 0);
  g->addWidget(l_srt, 3, 1);
  g->addWidget(Label2, 3, 2);
  auto* answers = new QHBoxLayout;
  for (QPushButton* b : {Button1, Button2, Button4, Button3, Button9}) answers->addWidget(b);
  auto* ends = new QHBoxLayout;
  ends->addStretch(1);
  ends->addWidget(Button5);
  ends->addWidget(Button8);
  auto* v = new QVBoxLayout(this);
  v->addWidget(Button6);
  v->addWidget(Button7);
  v->addLayout(g);
  v->addLayout(answers);
  v->addLayout(ends);
  all_ = {Button1, Button2, Button3, Button4, Button5, Button6, Button7, Button8, Button9,
          l_word,  l_sub,   l_ja,    l_srt,   Label2,  Label4,  subCaption_, srtCaption_};
  visfst();
}

void Tf_wordtest::showOnly(const std::vector<QWidget*>& shown) {
  for (QWidget* w : all_) w->setVisible(std::find(shown.begin(), shown.end(), w) != shown.end());
}

void Tf_wordtest::visfst() { showOnly({Button6, Button7}); }

void Tf_wordtest::visword() {
  std::vector<QWidget*> shown = {Button1, Button2, Button4, Button9, Button5, Button8, l_word, l_sub,
                                 l_ja,    l_srt,   Label2,  Label4,  subCaption_, srtCaption_};
  if (review_.mode() == tl::word::Review::Mode::CurrentWork) shown.push_back(Button3);
  showOnly(shown);
}

void Tf_wordtest::vislst() {
  l_word->setText(QString::fromUtf8(kEnd));
  showOnly({l_word, l_srt, srtCaption_, Button5, Button8});
}

void Tf_wordtest::showEvent(QShowEvent* e) {
  visfst();
  QDialog::showEvent(e);
}

void Tf_wordtest::start(tl::word::Review::Mode mode) {
  if (!host_) return;
  // A review still holding unsaved changes (its last save failed) is saved first.
  if (!saveOpenReview()) return;
  const tl::Lesson& L = host_->model().lesson();
  std::string err;
  if (!review_.start(tl::paths::exedir() + "word.csv", mode, L.srtloaded ? L.srtname : std::string(), &err)) {
    host_->message(QString::fromStdString(err), QString(), this);
    return;
  }
  visword();
  readtonextword(review_.advance(now()));
}

void Tf_wordtest::Button6Click() { start(tl::word::Review::Mode::AllWorks); }
void Tf_wordtest::Button7Click() { start(tl::word::Review::Mode::CurrentWork); }

void Tf_wordtest::readtonextword(bool more) {
  if (more) wordset();
  else vislst();
}

void Tf_wordtest::wordset() {
  l_ja->setVisible(false);
  l_word->setText(A(review_.word()));
  l_sub->setText(A(review_.sentence()));
  l_ja->setText(A(review_.translation()));
  l_srt->setText(A(review_.workLabel()));
  Label2->setText(QString::number(review_.index()) + "/" + QString::number(review_.count()));
  Label4->setText(QString(review_.level(), QChar('*')));
  Button1->setText(QString(review_.nextlevel(), QChar('*')) + QStringLiteral(" OK"));
}

void Tf_wordtest::Button1Click() {
  if (review_.loaded() && !review_.atEnd()) readtonextword(review_.ok(now()));
}
void Tf_wordtest::Button2Click() {
  if (review_.loaded() && !review_.atEnd()) readtonextword(review_.ng(now()));
}
void Tf_wordtest::Button9Click() {
  if (review_.loaded() && !review_.atEnd()) readtonextword(review_.remove(now()));
}
void Tf_wordtest::Button4Click() {
  if (review_.loaded() && !review_.atEnd()) l_ja->setVisible(true);
}

void Tf_wordtest::Button3Click() {
  if (!host_) return;
  auto t = tl::word::replayTime(host_->model().lesson(), review_, host_->model().options().backmore,
                                host_->mediumOpen());
  if (t) host_->posplay(review_.slot(), *t);
}

bool Tf_wordtest::saveOpenReview() {
  if (!review_.loaded()) return true;
  std::string err;
  if (review_.save(&err)) return true;
  if (host_) host_->message(QString::fromStdString(err), QString(), this);
  return false;
}

bool Tf_wordtest::saveOrDropAtClose() {
  if (!review_.loaded()) return true;
  std::string err;
  if (review_.save(&err)) return true;
  if (!host_) return false;
  if (host_->question(QString::fromStdString(err) + QLatin1Char('\n') +
                          QString::fromUtf8("単語テストの回答を保存せずに終了しますか？"),
                      QString::fromUtf8("単語テスト"), QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
    return false;
  review_.release();
  return true;
}

void Tf_wordtest::Button5Click() {
  if (saveOpenReview()) visfst();
}

void Tf_wordtest::Button8Click() {
  if (saveOpenReview()) close();
}

void Tf_wordtest::done(int r) {
  // FormClose (the close box, Escape, 保存終了): a failed save is reported
  // and the review kept for a later try.
  saveOpenReview();
  QDialog::done(r);
}

bool Tf_wordtest::eventFilter(QObject* o, QEvent* e) {
  if (e->type() == QEvent::MouseButtonPress && (o == l_word || o == l_sub)) {
    // l_wordMouseDown / l_subMouseDown: the label's text to the clipboard.
    const std::string ansi = o == l_word ? review_.word() : review_.sentence();
    if (!review_.atEnd()) tl::ui::copyAnsiToClipboard(ansi);
  }
  return QDialog::eventFilter(o, e);
}
