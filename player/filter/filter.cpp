#include "player/filter/filter.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <random>

#include "player/lessonmodel.h"
#include "player/mainhost.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }

template <class W>
W* named(W* w, const char* name) {
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

QComboBox* compareBox(const char* name) {
  auto* c = named(new QComboBox, name);
  c->addItems({U("以上"), U("以下")});
  return c;
}
}  // namespace

Tf_filter::Tf_filter(std::shared_ptr<MainHost> host, QWidget* parent) : QDialog(parent), host_(std::move(host)) {
  setObjectName(QStringLiteral("Tf_filter"));
  setWindowTitle(U("フィルタ"));

  auto* top = new QVBoxLayout(this);
  auto* ptnRow = new QHBoxLayout;
  ptnRow->addWidget(new QLabel(U("チェックパターン例")));
  cb_ptn = named(new QComboBox, "cb_ptn");
  for (int i = 0; i < tl::kFilterPresetCount; ++i) cb_ptn->addItem(U(tl::filterPresetCaption(i)));
  cb_ptn->setPlaceholderText(U(tl::kFilterCustom));
  cb_ptn->setCurrentIndex(-1);
  ptnRow->addWidget(cb_ptn, 1);
  top->addLayout(ptnRow);

  // "条件": the four outer modes.
  auto* cond = new QGroupBox(U("条件"));
  auto* cl = new QVBoxLayout(cond);
  rb_wdmode = named(new QRadioButton, "rb_wdmode");
  rb_sntmode = named(new QRadioButton, "rb_sntmode");
  rb_allclose = named(new QRadioButton(U("対象範囲の対象文字を全て隠す")), "rb_allclose");
  rb_allopen = named(new QRadioButton(U("対象範囲の対象文字を全て開ける")), "rb_allopen");

  auto* word = new QGroupBox(U("単語で絞る"));
  auto* wl = new QGridLayout(word);
  RadioButton1 = named(new QRadioButton(U("文字数")), "RadioButton1");
  Edit1 = named(new QLineEdit, "Edit1");
  Edit1->setMaximumWidth(50);
  ComboBox1 = compareBox("ComboBox1");
  RadioButton2 = named(new QRadioButton(U("ランダム")), "RadioButton2");
  ComboBox2 = named(new QComboBox, "ComboBox2");
  ComboBox2->setEditable(true);
  ComboBox2->addItems({"1", "3", "5", "10", "20", "30", "40", "50", "60", "70", "80", "90"});
  RadioButton3 = named(new QRadioButton(U("自力で全て開けてない単語を隠す")), "RadioButton3");
  wl->addWidget(RadioButton1, 0, 0);
  wl->addWidget(Edit1, 0, 1);
  wl->addWidget(new QLabel(U("文字")), 0, 2);
  wl->addWidget(ComboBox1, 0, 3);
  wl->addWidget(new QLabel(U("の単語を隠す")), 0, 4);
  wl->addWidget(RadioButton2, 1, 0);
  wl->addWidget(ComboBox2, 1, 1);
  wl->addWidget(new QLabel(U("%")), 1, 2);
  wl->addWidget(new QLabel(U("の単語を隠す")), 1, 3, 1, 2);
  wl->addWidget(RadioButton3, 2, 0, 1, 5);
  auto* wrow = new QHBoxLayout;
  wrow->addWidget(rb_wdmode, 0, Qt::AlignTop);
  wrow->addWidget(word, 1);
  cl->addLayout(wrow);

  auto* snt = new QGroupBox(U("文章で絞る"));
  auto* sl = new QHBoxLayout(snt);
  RadioButton6 = named(new QRadioButton(U("文字数")), "RadioButton6");
  RadioButton6->setChecked(true);
  Edit2 = named(new QLineEdit, "Edit2");
  Edit2->setMaximumWidth(50);
  ComboBox3 = compareBox("ComboBox3");
  sl->addWidget(RadioButton6);
  sl->addWidget(Edit2);
  sl->addWidget(new QLabel(U("文字")));
  sl->addWidget(ComboBox3);
  sl->addWidget(new QLabel(U("の文章を隠す")));
  sl->addStretch(1);
  auto* srow = new QHBoxLayout;
  srow->addWidget(rb_sntmode, 0, Qt::AlignTop);
  srow->addWidget(snt, 1);
  cl->addLayout(srow);
  cl->addWidget(rb_allclose);
  cl->addWidget(rb_allopen);
  top->addWidget(cond);

  auto* range = new QGroupBox(U("対象範囲"));
  auto* rl = new QHBoxLayout(range);
  cb_taisyobun = named(new QComboBox, "cb_taisyobun");
  cb_taisyobun->addItems(
      {U("全ての字幕"), U("現在位置から前の字幕"), U("現在位置から後の字幕"), U("現在のシーン"), U("現在の文")});
  rl->addWidget(cb_taisyobun, 1);
  top->addWidget(range);

  auto* kinds = new QGroupBox(U("対象文字　（チェックした文字だけを変更対象にします）"));
  auto* kl = new QGridLayout(kinds);
  c_1 = named(new QCheckBox(U("クローズ文字(□赤＿ *)")), "c_1");
  c_2 = named(new QCheckBox(U("ヒント使用文字(赤＿ _)")), "c_2");
  c_0 = named(new QCheckBox(U("オープン文字(なし .)")), "c_0");
  c_3 = named(new QCheckBox(U("仮クローズ文字(白□ #)")), "c_3");
  kl->addWidget(c_1, 0, 0);
  kl->addWidget(c_2, 0, 1);
  kl->addWidget(c_0, 1, 0);
  kl->addWidget(c_3, 1, 1);
  top->addWidget(kinds);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  auto* Button1 = named(new QPushButton(U("OK")), "Button1");
  auto* Button2 = named(new QPushButton(U("キャンセル")), "Button2");
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);
  top->addLayout(buttons);

  auto* outer = new QButtonGroup(this);
  for (QRadioButton* b : {rb_wdmode, rb_sntmode, rb_allclose, rb_allopen}) outer->addButton(b);
  auto* sub = new QButtonGroup(this);
  for (QRadioButton* b : {RadioButton1, RadioButton2, RadioButton3}) sub->addButton(b);

  push();

  // A radio button that is turned on runs its click rule.
  auto onMode = [this](QRadioButton* b, tl::FilterMode m) {
    connect(b, &QRadioButton::toggled, this, [this, m](bool on) {
      if (on && !pushing_) modeClicked(m);
    });
  };
  onMode(rb_wdmode, tl::FilterMode::Word);
  onMode(rb_sntmode, tl::FilterMode::Sentence);
  onMode(rb_allclose, tl::FilterMode::AllClose);
  onMode(rb_allopen, tl::FilterMode::AllOpen);
  auto onSub = [this](QRadioButton* b, tl::WordSub s) {
    connect(b, &QRadioButton::toggled, this, [this, s](bool on) {
      if (on && !pushing_) wordSubClicked(s);
    });
  };
  onSub(RadioButton1, tl::WordSub::Length);
  onSub(RadioButton2, tl::WordSub::Random);
  onSub(RadioButton3, tl::WordSub::OwnTyping);
  connect(cb_ptn, &QComboBox::activated, this, &Tf_filter::cb_ptnSelect);
  connect(Button1, &QPushButton::clicked, this, &Tf_filter::Button1Click);
  connect(Button2, &QPushButton::clicked, this, &Tf_filter::Button2Click);
}

void Tf_filter::pull() {
  form_.wordlen = Edit1->text().toStdString();
  form_.wordcmp = ComboBox1->currentIndex();
  form_.percent = ComboBox2->currentText().toStdString();
  form_.sntlen = Edit2->text().toStdString();
  form_.sntcmp = ComboBox3->currentIndex();
  form_.range = cb_taisyobun->currentIndex();
  form_.kinds = {c_0->isChecked(), c_1->isChecked(), c_2->isChecked(), c_3->isChecked()};
}

void Tf_filter::push() {
  pushing_ = true;
  using tl::FilterMode;
  const std::pair<QRadioButton*, FilterMode> modes[] = {{rb_wdmode, FilterMode::Word},
                                                          {rb_sntmode, FilterMode::Sentence},
                                                          {rb_allclose, FilterMode::AllClose},
                                                          {rb_allopen, FilterMode::AllOpen}};
  for (auto [b, m] : modes)
    if (form_.mode == m) b->setChecked(true);
  const std::pair<QRadioButton*, tl::WordSub> subs[] = {
      {RadioButton1, tl::WordSub::Length}, {RadioButton2, tl::WordSub::Random}, {RadioButton3, tl::WordSub::OwnTyping}};
  for (auto [b, s] : subs)
    if (form_.wordsub == s) b->setChecked(true);
  Edit1->setText(QString::fromStdString(form_.wordlen));
  ComboBox1->setCurrentIndex(form_.wordcmp);
  ComboBox2->setCurrentText(QString::fromStdString(form_.percent));
  Edit2->setText(QString::fromStdString(form_.sntlen));
  ComboBox3->setCurrentIndex(form_.sntcmp);
  cb_taisyobun->setCurrentIndex(form_.range);
  c_0->setChecked(form_.kinds.c0);
  c_1->setChecked(form_.kinds.c1);
  c_2->setChecked(form_.kinds.c2);
  c_3->setChecked(form_.kinds.c3);
  for (QWidget* w : {(QWidget*)RadioButton6, (QWidget*)Edit2, (QWidget*)ComboBox3}) w->setEnabled(form_.sntEnabled);
  for (QWidget* w : {RadioButton1, RadioButton2, RadioButton3}) w->setEnabled(form_.wordSubEnabled);
  Edit1->setEnabled(form_.wordNumEnabled);
  ComboBox1->setEnabled(form_.wordNumEnabled);
  ComboBox2->setEnabled(form_.wordRndEnabled);
  pushing_ = false;
}

void Tf_filter::modeClicked(tl::FilterMode m) {
  pull();
  form_.modeClicked(m);
  push();
}

void Tf_filter::wordSubClicked(tl::WordSub s) {
  pull();
  form_.wordSubClicked(s);
  push();
}

void Tf_filter::cb_ptnSelect(int index) {
  pull();
  form_.applyPreset(index);
  push();
  cb_ptn->setCurrentIndex(index);
}

void Tf_filter::Button2Click() { hide(); }

void Tf_filter::Button1Click() {
  pull();
  if (!host_ || !host_->model().lesson().srtloaded) {
    hide();
    return;
  }
  tl::FilterDraw draw;
  if (makeDraw) {
    draw = makeDraw();
  } else {
    auto gen = std::make_shared<std::mt19937>(std::random_device{}());
    draw = [gen] { return (int)std::uniform_int_distribution<int>(0, 99)(*gen); };
  }
  const tl::FilterResult r = tl::runFilter(host_->model().lesson(), form_, draw);
  if (!r.ok) {
    host_->message(QString::fromStdString(r.error), QString(), this);
    return;  // the dialog stays open, nothing changed
  }
  hide();
  host_->afterflgchg();
  host_->model().announce(tl::Change::Letters);
}
