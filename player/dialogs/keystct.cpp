#include "player/dialogs/keystct.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {
// Lines after the waveform heading are indented under it.
constexpr int kWaveHeading = 17;
const char* const kLabels[] = {
    "↑/backspace 1文戻る",
    "↓1文進む",
    "←カーソル戻る",
    "→カーソル進む",
    "spece　　　 一時停止/再生",
    "1-6(数字キー)  1秒(～6秒)余分に字幕巻き戻し",
    "7-9(数字キー)　 7-9秒巻き戻す",
    "＼(ろキー) 押下中一時字幕表示(字幕位置調整用)",
    "F1 1文字ヒント",
    "Esc 1文ギブアップ",
    "字幕クリック　カーソル移動",
    "alt+クリック　簡単字幕位置調整",
    "右クリック　単語コピー",
    "右ドラッグ  範囲コピー",
    "ctrl+C　表示字幕をコピー",
    "space長押し",
    "　spaceを押下中はセリフ終わりでも一時停止されず離すと一時停止",
    "●再生波形",
    "ドラッグ　ドラッグした距離分字幕を移動",
    "クリック　クリック位置から再生",
    "ctrl+クリック　一番近い開始点を1点クリック位置に移動",
    "ctrl+右クリック　一番近い終了点を1点クリック位置に移動",
    "shift+クリック　一番近い開始点をクリック位置に移動し全てに適用",
    "shift+右クリック　一番近い終了点をクリック位置に移動し全てに適用",
};
}  // namespace

QStringList Tf_keystct::labels() {
  QStringList l;
  for (const char* s : kLabels) l << QString::fromUtf8(s);
  return l;
}

Tf_keystct::Tf_keystct(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Tf_keystct"));
  setWindowTitle(QString::fromUtf8("操作方法"));
  auto* v = new QVBoxLayout(this);
  int i = 0;
  for (const QString& text : labels()) {
    auto* l = new QLabel(text, this);
    if (i > kWaveHeading) l->setIndent(16);
    v->addWidget(l);
    ++i;
  }
  v->addStretch();
}
