// The settings dialog.
//
// What the main window does with the settings ReadEnv hands to applyToMain,
// in this order (each view flag: set the menu item's check mark, then run the
// item's click handler, which applies the mark):
//  1. flags hintmode, giveup, pausemode, subopenmode, subview, soundmode,
//     notclearpause, orgsize, adjcrt, nextsubplus, autocopy and backmore from
//     s.opt; Timer1 interval = s.opt.tinterval, the timer ticking only while
//     tl::timerTicks(interval) (an interval <= 0 stops it);
//  2. fontset("ＭＳ ゴシック", s.size, s.opt.codepage, s.ssize);
//  3. PaintBox1 width s.PaintBoxs1, Panel1 height s.panel1, t_vlm s.vlm;
//  4. marks + handlers: outline, bold, xcenter, panelsub, gpresub, gnextsub,
//     prenextsub, speedvis, focusbar, playwav, recwav, gsubno;
//  5. gfontset("ＭＳ ゴシック", s.gfsize, s.gfssize) (points x 10000);
//  6. n_xp mark := s.opt.xp, its handler only when on; then n_7 mark :=
//     s.opt.win7, its handler only when on (both on: the "7" layout wins);
//  7. marks + handlers: dispsub, startreset, gtssnt, gtsword, jaclose;
//  8. startreset on: n_tpsubresetClick; else overlay position
//     (s.tpx or tl::defaultTpx(width), s.tpy or tl::defaultTpy(height,
//     Panel1 height)).
// The list window's grid is set by the dialog itself (setListWindow).
#include "player/dialogs/option.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTabWidget>
#include <QVBoxLayout>

#include "platform/registry/registry.h"
#include "player/sublist/sub.h"

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }
std::string S(const QString& q) { return q.toStdString(); }

const char* const kSizes[] = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36"};

const char* const kCharsets[] = {
    "28591 西ヨーロッパ言語 (ISO) iso-8859-1 （デフォルト）",
    "28592 中央ヨーロッパ言語 (ISO) iso-8859-2 ",
    "28593 ラテン 3 (ISO) iso-8859-3 ",
    "28594 バルト言語 (ISO) iso-8859-4 ",
    "28595 キリル言語 (ISO) iso-8859-5 ",
    "28596 アラビア語 (ISO) iso-8859-6 ",
    "28597 ギリシャ語 (ISO) iso-8859-7 ",
    "28598 ヘブライ語 (ISO-Visual) iso-8859-8 ",
    "28599 トルコ語 (ISO) iso-8859-9 ",
    "28603 エストニア語 (ISO) iso-8859-13 ",
    "28605 ラテン 9 (ISO) iso-8859-15 ",
    "932   日本語 (シフト JIS) shift_jis ",
    "50220 日本語 (JIS) iso-2022-jp ",
    "50221 日本語 (JIS 1 バイト カタカナ可) csISO2022JP ",
    "50222 日本語 (JIS 1 バイト カタカナ可 - SO/SI) iso-2022-jp ",
    "51932 日本語 (EUC) euc-jp ",
    "65000 Unicode (UTF-7) utf-7 ",
    "65001 Unicode (UTF-8) utf-8 ",
    "1200  Unicode utf-16 ",
    "1201  Unicode (Big-Endian) unicodeFFFE ",
    "00000 変換しない",
};

QComboBox* editableCombo(const char* name, QWidget* parent) {
  auto* c = new QComboBox(parent);
  c->setObjectName(QString::fromLatin1(name));
  c->setEditable(true);
  c->setInsertPolicy(QComboBox::NoInsert);
  return c;
}

QComboBox* sizeCombo(const char* name, const char* text, QWidget* parent) {
  QComboBox* c = editableCombo(name, parent);
  for (const char* s : kSizes) c->addItem(QString::fromLatin1(s));
  c->setEditText(QString::fromLatin1(text));
  return c;
}

QLineEdit* digitEdit(const char* name, const char* text, QWidget* parent) {
  auto* e = new QLineEdit(QString::fromLatin1(text), parent);
  e->setObjectName(QString::fromLatin1(name));
  e->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), e));
  e->setAlignment(Qt::AlignRight);
  return e;
}

}  // namespace

Tf_option::Tf_option(tl::reg::Hive& hive, QWidget* parent) : QDialog(parent), hive_(hive) {
  setObjectName(QStringLiteral("Tf_option"));
  setWindowTitle(U("設定"));
  setWindowFlag(Qt::WindowStaysOnTopHint, true);
  build();
}

// ---- layout ------------------------------------------------------------------

void Tf_option::build() {
  auto* top = new QVBoxLayout(this);
  tabs = new QTabWidget(this);
  tabs->addTab(buildBasicTab(), U("基本設定"));
  tabs->addTab(buildWaveTab(), U("波形設定"));
  tabs->addTab(buildAdvancedTab(), U("高度な設定"));
  top->addWidget(tabs);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  Button3 = new QPushButton(U("OK"), this);
  Button3->setObjectName(QStringLiteral("Button3"));
  Button3->setDefault(true);
  Button4 = new QPushButton(U("キャンセル"), this);
  Button4->setObjectName(QStringLiteral("Button4"));
  buttons->addWidget(Button3);
  buttons->addWidget(Button4);
  top->addLayout(buttons);
  connect(Button3, &QPushButton::clicked, this, &Tf_option::Button3Click);
  connect(Button4, &QPushButton::clicked, this, &Tf_option::Button4Click);
}

QWidget* Tf_option::buildBasicTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);

  auto* mode = new QGroupBox(U("モード"), page);
  auto* mv = new QVBoxLayout(mode);
  RadioButton1 = new QRadioButton(U("ディクテーションモード"), mode);
  RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
  RadioButton1->setChecked(true);
  c_subopenmode = new QRadioButton(U("字幕表示モード（下線あり）"), mode);
  c_subopenmode->setObjectName(QStringLiteral("c_subopenmode"));
  c_subview = new QRadioButton(U("字幕表示モード（文字のみ)"), mode);
  c_subview->setObjectName(QStringLiteral("c_subview"));
  mv->addWidget(RadioButton1);
  mv->addWidget(c_subopenmode);
  mv->addWidget(c_subview);
  v->addWidget(mode);

  auto check = [&](QCheckBox*& c, const char* name, const char* caption, bool on) {
    c = new QCheckBox(U(caption), page);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
  };
  check(c_soundmode, "c_soundmode", "クリアで音を鳴らす", true);
  check(c_pausemode, "c_pausemode", "センテンス毎に一時停止", true);
  check(c_notclearpause, "c_notclearpause", "クリアした文は一時停止しない", true);
  v->addWidget(c_soundmode);
  v->addWidget(c_pausemode);
  auto* indent = new QHBoxLayout;
  indent->addSpacing(20);
  indent->addWidget(c_notclearpause);
  v->addLayout(indent);

  auto* back = new QHBoxLayout;
  e_backmore = digitEdit("e_backmore", "1000", page);
  back->addWidget(new QLabel(U("１文戻る時"), page));
  back->addWidget(e_backmore);
  back->addWidget(new QLabel(U("ミリ秒余分に巻き戻す(1000ミリ秒=1秒)"), page));
  v->addLayout(back);
  check(c_nextsubplus, "c_nextsubplus", "1文進む時上記余分に巻き戻す分手前から再生する", true);
  v->addWidget(c_nextsubplus);

  auto* fonts = new QGridLayout;
  com_ssize = sizeCombo("com_ssize", "10", page);
  com_size = sizeCombo("com_size", "16", page);
  com_gfssize = sizeCombo("com_gfssize", "16", page);
  com_gfsize = sizeCombo("com_gfsize", "24", page);
  fonts->addWidget(new QLabel(U("パネル字幕フォントサイズ(単位:ポイント)"), page), 0, 0, 1, 4);
  fonts->addWidget(new QLabel(U("前後字幕"), page), 1, 0);
  fonts->addWidget(com_ssize, 1, 1);
  fonts->addWidget(new QLabel(U("メイン字幕"), page), 1, 2);
  fonts->addWidget(com_size, 1, 3);
  fonts->addWidget(new QLabel(U("画面字幕フォントサイズ"), page), 2, 0, 1, 4);
  fonts->addWidget(new QLabel(U("前字幕"), page), 3, 0);
  fonts->addWidget(com_gfssize, 3, 1);
  fonts->addWidget(new QLabel(U("メイン字幕"), page), 3, 2);
  fonts->addWidget(com_gfsize, 3, 3);
  v->addLayout(fonts);

  check(c_adjcrt, "c_adjcrt", "字幕調整時、調整対象字幕から後の字幕のみ変更する", true);
  v->addWidget(c_adjcrt);
  v->addStretch();

  // A mode chosen by the user sets the pause flags that go with it.
  connect(RadioButton1, &QRadioButton::clicked, this, [this] {
    c_pausemode->setChecked(true);
    c_notclearpause->setChecked(true);
  });
  auto clearPause = [this] {
    c_pausemode->setChecked(false);
    c_notclearpause->setChecked(false);
  };
  connect(c_subopenmode, &QRadioButton::clicked, this, clearPause);
  connect(c_subview, &QRadioButton::clicked, this, clearPause);
  return page;
}

QWidget* Tf_option::buildWaveTab() {
  auto* page = new QWidget;
  auto* g = new QGridLayout(page);
  g->addWidget(new QLabel(U("デバイス番号"), page), 0, 1);
  auto* dev = new QLabel(U("デバイス"), page);
  auto* line = new QLabel(U("ライン"), page);
  dev->setEnabled(false);
  line->setEnabled(false);
  g->addWidget(dev, 0, 2);
  g->addWidget(line, 0, 3);
  g->addWidget(new QLabel(U("再生波形"), page), 1, 0);
  ComboBox1 = editableCombo("ComboBox1", page);
  for (const char* s : {"-1", "0", "1", "2", "3"}) ComboBox1->addItem(QString::fromLatin1(s));
  ComboBox1->setCurrentIndex(0);
  g->addWidget(ComboBox1, 1, 1);
  // The recording row has no function; its boxes stay disabled.
  auto* rec = new QLabel(U("録音波形"), page);
  rec->setEnabled(false);
  g->addWidget(rec, 2, 0);
  const int pos[5][2] = {{1, 2}, {1, 3}, {2, 1}, {2, 2}, {2, 3}};
  for (int i = 0; i < 5; ++i) {
    auto* c = new QComboBox(page);
    c->setObjectName(QStringLiteral("ComboBox%1").arg(i + 2));
    c->setEnabled(false);
    ComboBox2_6[i] = c;
    g->addWidget(c, pos[i][0], pos[i][1]);
  }
  g->setRowStretch(3, 1);
  // The device is taken when an entry is chosen or typing ends.
  connect(ComboBox1, &QComboBox::activated, this, [this] { ComboBox1Change(); });
  connect(ComboBox1->lineEdit(), &QLineEdit::editingFinished, this, [this] { ComboBox1Change(); });
  return page;
}

QWidget* Tf_option::buildAdvancedTab() {
  auto* page = new QWidget;
  auto* v = new QVBoxLayout(page);
  v->addWidget(new QLabel(U("字幕エンコード(変更後要再読み込み)"), page));
  com_charset = editableCombo("com_charset", page);
  for (const char* s : kCharsets) com_charset->addItem(U(s));
  com_charset->setCurrentIndex(0);
  v->addWidget(com_charset);

  auto check = [&](QCheckBox*& c, const char* name, const char* caption, bool on) {
    c = new QCheckBox(U(caption), page);
    c->setObjectName(QString::fromLatin1(name));
    c->setChecked(on);
    v->addWidget(c);
  };
  check(c_orgsize, "c_orgsize", "動画再生開始時、画面サイズをオリジナルサイズにする", true);
  check(c_autocopy, "c_autocopy", "単語入力後ｺﾋﾟｰしｸﾘｯﾌﾟﾎﾞｰﾄﾞ翻訳と連携させる(ﾃｽﾄ機能)", false);
  check(c_hintmode, "c_hintmode", "ヒント回数制限を利用する", false);
  check(c_giveup, "c_giveup", "文のギブアップ制限を利用する", false);

  auto* t = new QHBoxLayout;
  e_tinterval = digitEdit("e_tinterval", "50", page);
  t->addWidget(new QLabel(U("字幕表示用タイマーインターバル"), page));
  t->addWidget(e_tinterval);
  t->addWidget(new QLabel(U("ms"), page));
  v->addLayout(t);
  v->addWidget(new QLabel(U("（ソフトが重いとき値を上げる）"), page));
  v->addStretch();
  return page;
}

// ---- controls <-> settings ---------------------------------------------------

void Tf_option::toControls(const tl::Settings& s) {
  const tl::Options& o = s.opt;
  if (o.subview)
    c_subview->setChecked(true);
  else if (o.subopenmode)
    c_subopenmode->setChecked(true);
  else
    RadioButton1->setChecked(true);
  c_hintmode->setChecked(o.hintmode);
  c_giveup->setChecked(o.giveup);
  c_pausemode->setChecked(o.pausemode);
  c_soundmode->setChecked(o.soundmode);
  c_notclearpause->setChecked(o.notclearpause);
  c_orgsize->setChecked(o.orgsize);
  c_nextsubplus->setChecked(o.nextsubplus);
  c_autocopy->setChecked(o.autocopy);
  c_adjcrt->setChecked(o.adjcrt);
  e_backmore->setText(QString::number(o.backmore));
  e_tinterval->setText(QString::number(o.tinterval));
  com_size->setEditText(QString::number(s.size));
  com_ssize->setEditText(QString::number(s.ssize));
  com_charset->setEditText(QString::number(o.codepage));
  com_gfsize->setEditText(QString::fromStdString(tl::fixed4ToText(s.gfsize)));
  com_gfssize->setEditText(QString::fromStdString(tl::fixed4ToText(s.gfssize)));
}

std::optional<tl::Settings> Tf_option::fromControls(bool strict, std::string* err) const {
  tl::Settings s = cur_;
  tl::Options& o = s.opt;
  o.hintmode = c_hintmode->isChecked();
  o.giveup = c_giveup->isChecked();
  o.pausemode = c_pausemode->isChecked();
  o.subopenmode = c_subopenmode->isChecked();
  o.subview = c_subview->isChecked();
  o.soundmode = c_soundmode->isChecked();
  o.notclearpause = c_notclearpause->isChecked();
  o.orgsize = c_orgsize->isChecked();
  o.nextsubplus = c_nextsubplus->isChecked();
  o.autocopy = c_autocopy->isChecked();
  o.adjcrt = c_adjcrt->isChecked();

  // Entries that must be whole numbers: refused when strict, else the value
  // last loaded stays.
  auto whole = [&](const QString& text, std::optional<int32_t> n, int32_t lo, int32_t hi,
                   int32_t& out) -> bool {
    if (n && *n >= lo && *n <= hi) {
      out = *n;
      return true;
    }
    if (strict) {
      if (err) *err = tl::intConvertMessage(S(text));
      return false;
    }
    return true;
  };
  const QString bm = e_backmore->text(), ti = e_tinterval->text(), cs = com_charset->currentText();
  if (!whole(bm, tl::parseInt32(S(bm)), 0, tl::kBackmoreMax, o.backmore)) return std::nullopt;
  if (!whole(ti, tl::parseInt32(S(ti)), 0, tl::kTintervalMax, o.tinterval)) return std::nullopt;
  if (!whole(cs.left(5).trimmed(), tl::codepageOfEntry(S(cs)), INT32_MIN, INT32_MAX, o.codepage))
    return std::nullopt;

  // Font sizes never fail: a text that is no usable size gives the default.
  auto size = [](const QString& text, int32_t def) {
    auto n = tl::parseInt32(S(text.trimmed()));
    return (n && *n >= 1 && *n <= tl::kFontSizeMax) ? *n : def;
  };
  s.size = size(com_size->currentText(), 16);
  s.ssize = size(com_ssize->currentText(), 10);
  s.gfsize = tl::parseFixed4(S(com_gfsize->currentText())).value_or(240000);
  s.gfssize = tl::parseFixed4(S(com_gfssize->currentText())).value_or(160000);
  return s;
}

// ---- operations --------------------------------------------------------------

void Tf_option::FormCreate() {
  ReadEnv();
  cur_.x = static_cast<int32_t>(static_cast<uint32_t>(cur_.x) + 1u);
}

tl::Settings Tf_option::ReadEnv() {
  // The mode radio buttons as they stand decide which stored mode acts as a
  // click (see tl::ReadEnv).
  tl::Settings s = cur_;
  s.opt.subopenmode = c_subopenmode->isChecked();
  s.opt.subview = c_subview->isChecked();
  s.opt.pausemode = c_pausemode->isChecked();
  s.opt.notclearpause = c_notclearpause->isChecked();
  std::vector<std::string> problems;
  tl::ReadEnv(hive_, s, &problems);
  cur_ = stored_ = s;
  toControls(s);
  if (sub_) sub_->setGridLayout(s.FSize, s.RHeight, s.CWidth);
  if (applyToMain) applyToMain(s);
  if (!problems.empty()) {
    std::string all;
    for (const auto& p : problems) all += (all.empty() ? "" : "\n") + p;
    message(all);
  }
  return s;
}

bool Tf_option::WriteEnv(std::string* err) {
  tl::Settings s = *fromControls(false);
  if (collectFromMain) collectFromMain(s);
  if (sub_) sub_->gridLayout(s.FSize, s.RHeight, s.CWidth);
  if (!tl::WriteEnvChanged(hive_, s, stored_, err)) return false;
  stored_ = s;
  return true;
}

void Tf_option::Button3Click() {
  std::string err;
  if (!fromControls(true, &err)) {
    message(err);
    return;
  }
  if (!WriteEnv(&err)) message(err);
  ReadEnv();
  if (refreshMain) refreshMain();
  close();
}

void Tf_option::Button4Click() { close(); }

bool Tf_option::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate) FormActivate();
  return QDialog::event(e);
}

void Tf_option::FormActivate() {
  int32_t g = 0, gs = 0;
  if (!overlayFontSizes || !overlayFontSizes(g, gs)) return;
  com_gfsize->setEditText(QString::fromStdString(tl::fixed4ToText(g)));
  com_gfssize->setEditText(QString::fromStdString(tl::fixed4ToText(gs)));
}

void Tf_option::ComboBox1Change() {
  const QString t = ComboBox1->currentText();
  auto n = tl::parseInt32(S(t));
  if (!n) {
    message(tl::intConvertMessage(S(t)));
    return;
  }
  if (setWaveDevice) setWaveDevice(*n);
}

void Tf_option::message(const std::string& utf8) {
  const QString text = QString::fromStdString(utf8);
  if (showMessage)
    showMessage(text);
  else
    QMessageBox::warning(this, QStringLiteral("Tallisen"), text);
}
