// Tf_main: the command table, the menus and the enabling built from it.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolButton>

#include "core/timetext.h"
#include "platform/codepage/codepage.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/mainhost.h"
#include "player/playback/playback.h"
#include "player/main/commandtable.h"
#include "player/main/maincommands.h"
#include "player/wave/wavemenu.h"
#include "player/translate/translation.h"
#include "player/windows.h"
#include "player/words/wordmenu.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
}  // namespace

const std::vector<MainCommand>& MainCommand::all() {
  using M = MainCommand::Menu;
  using W = MainCommand::When;
  using K = QKeySequence;
  static const std::vector<MainCommand> table = {
      // 動画
      {M::Video, "n_movopen", "動画開く", {}, [](Tf_main& w) { w.movieopen(); }},
      {M::Video, "URL1", "URLを開く", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showUrlOpen(); }},
      {M::Video, "CD1", "CD再生", {}, [](Tf_main& w) { w.CD1Click(); }},
      {M::Dvd, "n_topmenu", "トップメニュー", {}, [](Tf_main& w) { w.n_topmenuClick(); }},
      {M::Dvd, "n_titlemenu", "タイトルメニュー", {}, [](Tf_main& w) { w.n_titlemenuClick(); }},
      {M::Dvd, nullptr, nullptr, {}},
      {M::Video, nullptr, nullptr, {}},
      // 字幕
      {M::Subtitle, "n_srtopen", "srt形式の字幕ファイルを開く", {}, [](Tf_main& w) { w.subopen(); }},
      {M::Subtitle, "a_save", "進捗保存", K(Qt::CTRL | Qt::Key_S), [](Tf_main& w) { w.a_saveExecute(); }, W::Loaded},
      {M::Subtitle, "a_allsave", "全て保存", K(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
       [](Tf_main& w) { w.a_allsaveExecute(); }, W::Loaded},
      {M::Subtitle, "N24", "字幕上書き保存", {}, [](Tf_main& w) { w.N24Click(); }, W::Loaded},
      {M::Subtitle, "N25", "字幕別名保存", {}, [](Tf_main& w) { w.N25Click(); }, W::Loaded},
      {M::Subtitle, nullptr, nullptr, {}},
      {M::Subtitle, "a_srtview", "字幕一覧", K(Qt::CTRL | Qt::Key_L),
       [](Tf_main& w) { if (w.windows_) w.windows_->showSubList(); }, W::Loaded},
      {M::Subtitle, "a_subedit", "表示字幕を編集", K(Qt::Key_F2),
       [](Tf_main& w) { if (w.windows_) w.windows_->showSubEdit(); }, W::Loaded},
      {M::Subtitle, "a_sntcopy", "表示字幕をコピー", K(Qt::CTRL | Qt::Key_C),
       [](Tf_main& w) {
         if (!w.L.validSlot(w.L.cursub)) return;
         const std::string t = tl::cp::ansiToUtf8(w.L.subtext[w.L.cursub]);
         QApplication::clipboard()->setText(QString::fromStdString(t));
         w.logout(t + "コピーしました");
       },
       W::Loaded},
      {M::Subtitle, "n_wordcopy", "直近の入力単語をコピー", {}, [](Tf_main& w) { w.n_wordcopyClick(); }, W::Loaded},
      {M::Subtitle, "n_sublock", "字幕ロック", {}, [](Tf_main& w) { w.lockunlock(); }, W::Loaded, Checkable},
      {M::Subtitle, nullptr, nullptr, {}},
      {M::Subtitle, "a_sntback", "1文戻る", K(Qt::Key_Up), [](Tf_main& w) { w.playback_->beforesub(); },
       W::Loaded, ActiveKey},
      {M::Subtitle, "a_sntnext", "1文進む", K(Qt::Key_Down), [](Tf_main& w) { w.playback_->nextsub(); },
       W::Loaded, ActiveKey},
      {M::Subtitle, "a_wordback", "カーソル戻る", K(Qt::Key_Left), [](Tf_main& w) { w.a_wordbackExecute(); },
       W::Loaded, ActiveKey},
      {M::Subtitle, "a_wordnext", "カーソル進む", K(Qt::Key_Right), [](Tf_main& w) { w.a_wordnextExecute(); },
       W::Loaded, ActiveKey},
      {M::Subtitle, "a_backclose", "前の隠された文までジャンプ", K(Qt::SHIFT | Qt::Key_Up),
       [](Tf_main& w) { w.a_backcloseExecute(); }, W::Loaded},
      {M::Subtitle, "a_nextclose", "次の隠された文までジャンプ", K(Qt::SHIFT | Qt::Key_Down),
       [](Tf_main& w) { w.a_nextcloseExecute(); }, W::Loaded},
      {M::Subtitle, "a_hint", "1文字ヒント", K(Qt::Key_F1), [](Tf_main& w) { w.a_hintExecute(); }, W::Loaded},
      {M::Subtitle, "a_sntgiveup", "1文ギブアップ", K(Qt::Key_Escape), [](Tf_main& w) { w.a_sntgiveupExecute(); },
       W::Loaded},
      {M::Subtitle, "n_hidehint", "ヒント使用文字を再び隠す", {}, [](Tf_main& w) { w.hidehint(); }, W::Loaded},
      {M::Subtitle, nullptr, nullptr, {}},
      {M::Subtitle, "n_subno", "字幕番号指定ジャンプ", K(Qt::CTRL | Qt::Key_J),
       [](Tf_main& w) { if (w.windows_) w.windows_->showSubNo(); }, W::Loaded},
      {M::Subtitle, "n_wordopen", "指定単語オープン", {},
       [](Tf_main& w) { if (w.windows_) w.windows_->showWordOpen(); }, W::Loaded},
      {M::Subtitle, "n_dicmode", "フィルタ", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showFilter(); },
       W::Loaded},
      {M::Subtitle, "a_F5", "表示更新", K(Qt::Key_F5), [](Tf_main& w) { w.a_F5Execute(); }, W::Loaded},
      // 調整
      {M::Adjust, "a_subtoolate", "字幕遅い/一時停止ｵｰﾊﾞｰ(全ての字幕-0.1秒)", K(Qt::ALT | Qt::Key_Left),
       [](Tf_main& w) { w.adjshift(-1000); }, W::Loaded},
      {M::Adjust, "a_subtoofast", "字幕早い/手前で一時停止(全ての字幕+0.1秒)", K(Qt::ALT | Qt::Key_Right),
       [](Tf_main& w) { w.adjshift(+1000); }, W::Loaded},
      {M::Adjust, "a_subtopadj", "表示字幕のセリフ始まりと現在位置を合わせる", K(Qt::ALT | Qt::Key_Up),
       [](Tf_main& w) { w.a_subtopadjExecute(); }, W::Loaded},
      {M::Adjust, "a_subendadj", "表示字幕のセリフ終わりと現在位置を合わせる", K(Qt::ALT | Qt::Key_Down),
       [](Tf_main& w) { w.a_subendadjExecute(); }, W::Loaded},
      {M::Adjust, "a_pointsubdown", "現在字幕始まりだけ下げる", K(Qt::ALT | Qt::Key_Comma),
       [](Tf_main& w) { w.a_pointsubdownExecute(); }, W::Loaded},
      {M::Adjust, "a_pointsubup", "現在字幕終わりだけ伸ばす", K(Qt::ALT | Qt::Key_Period),
       [](Tf_main& w) { w.a_pointsubupExecute(); }, W::Loaded},
      {M::Adjust, "n_cmskip", "CMスキップ(動画+15秒＆字幕+15秒)", K(Qt::ALT | Qt::Key_C),
       [](Tf_main& w) { n_cmskipClick(w); }, W::Loaded},
      {M::Adjust, "n_adjsec", "字幕調整値を数値で入力する", {},
       [](Tf_main& w) { if (w.windows_) w.windows_->showAdjNum(); }, W::Loaded},
      {M::Adjust, "n_adjreset", "字幕位置調整リセット", {}, [](Tf_main& w) { w.n_adjresetClick(); }, W::Loaded},
      {M::Adjust, "n_timecheck", "字幕時間矛盾修正", {}, [](Tf_main& w) { n_timecheckClick(w); }, W::Loaded},
      // 表示 (the view items follow in buildViewMenu)
      {M::View, "n_speedvis", "スピード調整バー", {}, [](Tf_main& w) { w.spdvisset(w.n_speedvis->isChecked()); },
       W::Always, Checkable},
      {M::View, "a_menuvis", "メニュー", K(Qt::Key_F12),
       [](Tf_main& w) { w.setMenuVisible(w.action("a_menuvis")->isChecked()); }, W::Always, Checkable | Checked},
      // 波形
      {M::Wave, "N48", "波形スタート", K(Qt::CTRL | Qt::Key_W), [](Tf_main& w) { w.N48Click(); }},
      {M::Wave, "N42", "波形リセット", {}, [](Tf_main& w) { w.wavreset(); }},
      {M::Wave, "N45", "ステレオミックス選択", {},
       [](Tf_main& w) {
         if (w.deps_.shell) N45Click(*w.deps_.shell, [&w](const QString& t) { w.message(t); });
       }},
      {M::Wave, "N47", "字幕位置読み直し", {}, [](Tf_main& w) { w.wavxset(); }},
      // ツール
      {M::Tools, "n_option", "設定", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showOption(); }},
      {M::Tools, "n_rireki", "学習履歴", {},
       [](Tf_main& w) {
         if (w.L.flgdirty &&
             w.question(U(w.progressNeedsSrt() ? "進捗を保存すると最新の学習履歴が反映されます。"
                                                 "字幕を編集したため、字幕ファイルも上書き保存します。保存しますか？"
                                               : "進捗を保存すると最新の学習履歴が反映されます。保存しますか？"),
                        U("進捗保存"), QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
           w.writeProgress();
         if (w.windows_) w.windows_->showRireki();
       }},
      {M::Tools, "N52", "ﾃﾞｺｰﾀﾞ変更(DVD日本語字幕出ない時)", {},
       [](Tf_main& w) {
         if (w.deps_.shell) N52Click(w, *w.deps_.shell);
       }},
      {M::Tools, nullptr, nullptr, {}},
      {M::Tools, "N36", "単語テスト", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showWordTest(); }},
      {M::WordExport, "n_ankiex", "Anki", {}, [](Tf_main& w) { n_ankiexClick(*w.host()); }},
      {M::WordExport, "n_pss", "P-Study System", {}, [](Tf_main& w) { n_pssClick(*w.host()); }},
      {M::Tools, "N50", "登録単語ファイル開く", {}, [](Tf_main& w) { w.openDataFile(N50Click); }},
      {M::Tools, "N51", "翻訳除外単語ファイル開く", {}, [](Tf_main& w) { w.openDataFile(N51Click); }},
      // ヘルプ
      {M::Help, "N11", "キーボードショートカット", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showKeys(); }},
      {M::Help, "N15", "ヘルプページ", {}, [](Tf_main& w) { w.N15Click(); }},
      // The test menu is never shown; its items have no shortcuts.
      {M::Test, "N27", "ショートカット切り", {}, [](Tf_main& w) { w.shortcutoff(); }},
      {M::Test, "N28", "ショートカット入り", {}, [](Tf_main& w) { w.shortcuton(); }},
      {M::Test, "min1", "min", {},
       [](Tf_main& w) {
         if (w.L.subcount > 1) w.tb_point->setMinimum((int)(w.L.subtime[1] / 10000));
         w.message(QString::number(w.tb_point->minimum()));
         w.message(QString::number(w.tb_point->maximum()));
       }},
      {M::Test, "N10", "動画長再取得", {}, [](Tf_main& w) { w.setStatusText(7, w.player_->durationString()); }},
      {M::Test, "dbg1", "dbg表示", {}, [](Tf_main& w) { w.message(QString()); }},
      {M::Test, "n_scenediv", "シーン分割", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showSceneDiv(); }},
      {M::Test, "N56", "ポーズのみ発行", {}, [](Tf_main& w) { N56Click(w); }},
      {M::Test, "N57", "カーソル", {}, [](Tf_main& w) { w.N57Click(); }},
      {M::Test, "DVD1", "DVDの名前", {},
       [](Tf_main& w) {
         if (w.deps_.drives) DVD1Click(w, *w.deps_.drives);
       }},
      {M::Test, "ED1", "TED", {}, [](Tf_main& w) { if (w.windows_) w.windows_->showTed(); }, W::Always,
       Disabled},
      {M::Test, "N39", "波形用音声スタート", {}, [](Tf_main& w) { w.N48Click(); }},
      {M::Test, "n_wavvalue", "値", {}, [](Tf_main& w) { w.wavtestValues(); }},
      {M::Test, "n_wavtest", "test", {}, [](Tf_main& w) { w.wavtestText(); }},
      {M::Test, "n_subind", "subind", {}, [](Tf_main& w) { w.wavtestSubind(); }},
      {M::Test, "n_wavarray", "波形配列", {}, [](Tf_main& w) { w.wavtestArray(); }},
      {M::Test, "n_wavsave", "セーブ", {}, [](Tf_main& w) { w.wavtestSave(); }},
      {M::Test, "n_wavrenew", "波形線更新", {}, [](Tf_main& w) { w.wavxset(); }},
      {M::Test, "N37", "時間文字列戻し", {}, [](Tf_main& w) { N37Click(*w.host()); }},
      {M::Test, "N38", "スレッド実行", {}, [](Tf_main& w) { if (w.ts) w.ts->startExtra(); }},
      {M::Test, "indy1", "indy バージョン", {}, [](Tf_main& w) { w.message(TranslationService::libraryVersion()); }},
      {M::Test, "http1", "httpヘッド", {}, [](Tf_main& w) { if (w.ts) w.ts->probeOnce(); }},
      {M::Test, "N4", "カレント負荷テスト", {}, [](Tf_main& w) { w.N4Click(); }},
      {M::Test, "N7", "キャプチャ", {}, [](Tf_main& w) { w.N7Click(); }},
      {M::Test, "n_load", "進捗ロード", {}, [](Tf_main& w) { w.subflgload(); }},
      {M::Test, "N17", "再描画", {}, [](Tf_main& w) { w.N17Click(); }},
      {M::Test, "N18", "wmp全画面", {}, [](Tf_main& w) { w.N18Click(); }},
      {M::Test, "N29", "WMPサイズ可変", {}, [](Tf_main& w) { w.N29Click(); }},
      {M::Test, "N32", "タイトルバー削除１", {}, [](Tf_main& w) { w.N32Click(); }},
      {M::Test, "n_full", "全画面", {}, [](Tf_main& w) { w.n_fullClick(); }, W::Always, Checkable},
      // PopupMenu1 is never opened: its items act only through their keys.
      {M::Popup, "N26", "再生しなおし", {}, [](Tf_main& w) { w.movfileopen(w.player_->URL()); }},
      {M::Popup, "n_fullp", "全画面", K(Qt::ALT | Qt::Key_Return), [](Tf_main& w) { w.n_fullClick(); },
       W::Always, Checkable},
  };
  return table;
}

// The menus hold the table's commands in its order; every command is also
// an action of the window itself, so its shortcut works with the menu bar
// hidden and the key preview finds it.
void Tf_main::buildMenus() {
  using M = MainCommand::Menu;
  MainMenu1 = menuBar();
  n_video = MainMenu1->addMenu(U("動画"));
  n_subtitle = MainMenu1->addMenu(U("字幕"));
  n_adjust = MainMenu1->addMenu(U("調整"));
  n_refile = MainMenu1->addMenu(U("履歴"));
  n_refile->setObjectName(QStringLiteral("n_refile"));
  n_view = MainMenu1->addMenu(U("表示"));
  n_wave = MainMenu1->addMenu(U("波形"));
  n_tools = MainMenu1->addMenu(U("ツール"));
  n_help = MainMenu1->addMenu(U("ヘルプ"));
  QMenu* test = MainMenu1->addMenu(U("テスト"));
  QMenu* wordExport = nullptr;  // "単語エクスポート" in the tools menu
  test->menuAction()->setVisible(false);
  PopupMenu1 = new QMenu(this);
  PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
  auto menuOf = [&](M m) -> QMenu* {
    switch (m) {
      case M::Video: return n_video;
      case M::Dvd:
        if (!n_dvd) n_dvd = n_video->addMenu(U("DVD"));
        return n_dvd;
      case M::Subtitle: return n_subtitle;
      case M::Adjust: return n_adjust;
      case M::View: return n_view;
      case M::Wave: return n_wave;
      case M::Tools: return n_tools;
      case M::WordExport:
        if (!wordExport) wordExport = n_tools->addMenu(U("単語エクスポート"));
        return wordExport;
      case M::Help: return n_help;
      case M::Test: return test;
      case M::Popup: return PopupMenu1;
    }
    return nullptr;
  };
  for (const MainCommand& c : MainCommand::all()) {
    QMenu* m = menuOf(c.menu);
    if (!c.name) {
      QAction* sep = m->addSeparator();
      if (c.menu == M::Dvd) n_dvdsep = sep;
      continue;
    }
    auto* a = new QAction(U(c.caption), this);
    a->setObjectName(QString::fromLatin1(c.name));
    if (!c.key.isEmpty()) a->setShortcut(c.key);
    a->setShortcutContext(Qt::WindowShortcut);
    a->setCheckable(c.flags & MainCommand::Checkable);
    if (c.flags & MainCommand::Checked) a->setChecked(true);
    if (c.flags & MainCommand::Disabled) a->setEnabled(false);
    auto handler = c.handler;
    connect(a, &QAction::triggered, this, [this, handler] { guarded([this, handler] { handler(*this); }); });
    QWidget::addAction(a);
    m->addAction(a);
    allActions.push_back(a);
    if (c.when == MainCommand::When::Loaded) enabling_.push_back({a, (int)c.when});
  }
  // The progress reload of the test menu stays disabled.
  if (QAction* a = action("n_load")) a->setEnabled(false);
  n_fullp = action("n_fullp");
  n_sublock = action("n_sublock");
  n_speedvis = action("n_speedvis");
}

// The keys that work only while the window is active (the arrows).
void Tf_main::shortcuton() {
  for (const MainCommand& c : MainCommand::all())
    if (c.name && (c.flags & MainCommand::ActiveKey))
      if (QAction* a = action(c.name)) a->setShortcut(c.key);
}

void Tf_main::shortcutoff() {
  for (const MainCommand& c : MainCommand::all())
    if (c.name && (c.flags & MainCommand::ActiveKey))
      if (QAction* a = action(c.name)) a->setShortcut(QKeySequence());
}

// The playback bar's buttons.
void Tf_main::wireButtons() {
  connect(sb_playpause, &QToolButton::pressed, this, [this] { dict.ppbtnheld = true; });
  connect(sb_playpause, &QToolButton::released, this, [this] { dict.ppbtnheld = false; });
  // Each button acts, then gives the keyboard focus back to the lower panel.
  auto onClick = [this](QToolButton* b, std::function<void()> f) {
    connect(b, &QToolButton::clicked, this, [this, f] {
      guarded(f);
      Panel1->setFocus();
    });
  };
  onClick(sb_playpause, [this] { playpause(); });
  onClick(sb_stop, [this] { player_->stop(); });
  onClick(sb_previous, [this] { player_->previous(); });
  onClick(sb_next, [this] { player_->next(); });
  onClick(sb_sceneback, [this] { Sceneback(); });
  onClick(sb_scenenext, [this] { Scenenext(); });
  onClick(sb_sntback, [this] { playback_->beforesub(); });
  onClick(sb_sntnext, [this] { playback_->nextsub(); });
  onClick(sb_wordback, [this] { a_wordbackExecute(); });
  onClick(sb_wordnext, [this] { a_wordnextExecute(); });
  connect(sb_sublock, &QToolButton::clicked, this, [this] { guarded([this] { lockunlock(); }); });
  seekBarsWire();
}

void Tf_main::enableSubtitleControls(bool on) {
  for (const auto& e : enabling_) e.first->setEnabled(on);
  for (QWidget* w : std::initializer_list<QWidget*>{sb_sceneback, sb_scenenext, sb_sntback, sb_sntnext,
                                                    sb_wordback, sb_wordnext, sb_previous, sb_next,
                                                    sb_sublock, sb_hint, sb_giveup, (QWidget*)tb_point,
                                                    p_bar})
    if (w) w->setEnabled(on);
}
