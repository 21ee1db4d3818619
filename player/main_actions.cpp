// Tf_main: the action list and the menus, declared as data.
#include <QAction>
#include <QActionGroup>
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
#include "player/Extrkbar.h"
#include "player/main.h"
#include "player/windows.h"

namespace {
QString U(const char* s) { return QString::fromUtf8(s); }
}  // namespace

void Tf_main::buildActions() {
  using K = QKeySequence;
  // Menu bar and window.
  auto* mv = addAction_("a_menuvis", U("メニュー"), K(Qt::Key_F12), [this] {
    setMenuVisible(action("a_menuvis")->isChecked());
  });
  mv->setCheckable(true);
  mv->setChecked(true);
  n_fullp = addAction_("n_fullp", U("全画面"), K(Qt::ALT | Qt::Key_Return), [this] { n_fullClick(); });
  n_fullp->setCheckable(true);

  // Subtitles.
  addAction_("a_srtview", U("字幕一覧"), K(Qt::CTRL | Qt::Key_L), [this] {
    if (windows_) windows_->showSubList();
  });
  addAction_("a_subedit", U("表示字幕を編集"), K(Qt::Key_F2), [this] {
    if (windows_) windows_->showSubEdit();
  });
  addAction_("a_sntcopy", U("表示字幕をコピー"), K(Qt::CTRL | Qt::Key_C), [this] {
    if (!L.validSlot(L.cursub)) return;
    const std::string t = tl::cp::ansiToUtf8(L.subtext[L.cursub]);
    QApplication::clipboard()->setText(QString::fromStdString(t));
    logout(t + "コピーしました");
  });
  addAction_("a_F5", U("表示更新"), K(Qt::Key_F5), [this] { a_F5Execute(); });
  addAction_("a_save", U("進捗保存"), K(Qt::CTRL | Qt::Key_S), [this] { a_saveExecute(); });
  addAction_("a_allsave", U("全て保存"), K(Qt::CTRL | Qt::SHIFT | Qt::Key_S), [this] { a_allsaveExecute(); });

  // Dictation.
  addAction_("a_sntback", U("1文戻る"), K(Qt::Key_Up), [this] { tl::beforesub(L, opt, *this); });
  addAction_("a_sntnext", U("1文進む"), K(Qt::Key_Down), [this] { tl::nextsub(L, opt, *this); });
  addAction_("a_wordback", U("カーソル戻る"), K(Qt::Key_Left), [this] { a_wordbackExecute(); });
  addAction_("a_wordnext", U("カーソル進む"), K(Qt::Key_Right), [this] { a_wordnextExecute(); });
  addAction_("a_hint", U("1文字ヒント"), K(Qt::Key_F1), [this] { a_hintExecute(); });
  addAction_("a_sntgiveup", U("1文ギブアップ"), K(Qt::Key_Escape), [this] { a_sntgiveupExecute(); });
  addAction_("a_backclose", U("前の隠された文までジャンプ"), K(Qt::SHIFT | Qt::Key_Up),
             [this] { a_backcloseExecute(); });
  addAction_("a_nextclose", U("次の隠された文までジャンプ"), K(Qt::SHIFT | Qt::Key_Down),
             [this] { a_nextcloseExecute(); });

  // Timing.
  addAction_("a_subtoolate", U("字幕遅い/一時停止ｵｰﾊﾞｰ(全ての字幕-0.1秒)"), K(Qt::ALT | Qt::Key_Left),
             [this] { adjshift(-1000); });
  addAction_("a_subtoofast", U("字幕早い/手前で一時停止(全ての字幕+0.1秒)"), K(Qt::ALT | Qt::Key_Right),
             [this] { adjshift(+1000); });
  addAction_("a_subtopadj", U("表示字幕のセリフ始まりと現在位置を合わせる"), K(Qt::ALT | Qt::Key_Up),
             [this] { a_subtopadjExecute(); });
  addAction_("a_subendadj", U("表示字幕のセリフ終わりと現在位置を合わせる"), K(Qt::ALT | Qt::Key_Down),
             [this] { a_subendadjExecute(); });
  addAction_("a_pointsubdown", U("現在字幕始まりだけ下げる"), K(Qt::ALT | Qt::Key_Comma),
             [this] { a_pointsubdownExecute(); });
  addAction_("a_pointsubup", U("現在字幕終わりだけ伸ばす"), K(Qt::ALT | Qt::Key_Period),
             [this] { a_pointsubupExecute(); });
}

void Tf_main::buildMenus() {
  MainMenu1 = menuBar();
  auto item = [this](QMenu* m, const char* name, const QString& caption, std::function<void()> f,
                     const QKeySequence& key = QKeySequence()) {
    QAction* a = m->addAction(caption);
    a->setObjectName(QString::fromLatin1(name));
    if (!key.isEmpty()) {
      a->setShortcut(key);
      QWidget::addAction(a);
    }
    connect(a, &QAction::triggered, this, [f] { f(); });
    allActions.push_back(a);
    return a;
  };

  n_video = MainMenu1->addMenu(U("動画"));
  item(n_video, "n_movopen", U("動画開く"), [this] { movieopen(); });
  item(n_video, "n_urlopen", U("URLを開く"), [this] {
    if (windows_) windows_->showUrlOpen();
  });
  n_dvd = n_video->addMenu(U("DVD"));
  item(n_dvd, "n_topmenu", U("トップメニュー"), [this] { n_topmenuClick(); });
  item(n_dvd, "n_titlemenu", U("タイトルメニュー"), [this] { n_titlemenuClick(); });
  n_dvdsep = n_dvd->addSeparator();
  n_video->addSeparator();
  item(n_video, "N26", U("再生しなおし"), [this] { movfileopen(player_->URL()); });
  n_video->addAction(n_fullp);

  n_subtitle = MainMenu1->addMenu(U("字幕"));
  item(n_subtitle, "n_srtopen", U("srt形式の字幕ファイルを開く"), [this] { subopen(); });
  n_subtitle->addAction(action("a_save"));
  n_subtitle->addAction(action("a_allsave"));
  item(n_subtitle, "N24", U("字幕上書き保存"), [this] { N24Click(); });
  item(n_subtitle, "N25", U("字幕別名保存"), [this] { N25Click(); });
  n_subtitle->addSeparator();
  n_subtitle->addAction(action("a_srtview"));
  n_subtitle->addAction(action("a_subedit"));
  n_subtitle->addAction(action("a_sntcopy"));
  item(n_subtitle, "n_wordcopy", U("直近の入力単語をコピー"), [this] { n_wordcopyClick(); });
  n_sublock = item(n_subtitle, "n_sublock", U("字幕ロック"), [this] { lockunlock(); });
  n_sublock->setCheckable(true);
  n_subtitle->addSeparator();
  n_subtitle->addAction(action("a_sntback"));
  n_subtitle->addAction(action("a_sntnext"));
  n_subtitle->addAction(action("a_wordback"));
  n_subtitle->addAction(action("a_wordnext"));
  n_subtitle->addAction(action("a_backclose"));
  n_subtitle->addAction(action("a_nextclose"));
  n_subtitle->addAction(action("a_hint"));
  n_subtitle->addAction(action("a_sntgiveup"));
  item(n_subtitle, "n_hidehint", U("ヒント使用文字を再び隠す"), [this] { hidehint(); });
  n_subtitle->addSeparator();
  item(n_subtitle, "n_subno", U("字幕番号指定ジャンプ"), [this] {
    if (windows_) windows_->showSubNo();
  }, QKeySequence(Qt::CTRL | Qt::Key_J));
  item(n_subtitle, "n_wordopen", U("指定単語オープン"), [this] {
    if (windows_) windows_->showWordOpen();
  });
  item(n_subtitle, "n_dicmode", U("フィルタ"), [this] {
    if (windows_) windows_->showFilter();
  });
  n_subtitle->addAction(action("a_F5"));

  n_adjust = MainMenu1->addMenu(U("調整"));
  for (const char* n : {"a_subtoolate", "a_subtoofast", "a_subtopadj", "a_subendadj", "a_pointsubdown",
                        "a_pointsubup"})
    n_adjust->addAction(action(n));
  item(n_adjust, "n_adjsec", U("字幕調整値を数値で入力する"), [this] {
    if (windows_) windows_->showAdjNum();
  });
  item(n_adjust, "n_adjreset", U("字幕位置調整リセット"), [this] { n_adjresetClick(); });

  n_refile = MainMenu1->addMenu(U("履歴"));
  n_refile->setObjectName(QStringLiteral("n_refile"));

  n_view = MainMenu1->addMenu(U("表示"));
  n_speedvis = item(n_view, "n_speedvis", U("スピード調整バー"), [this] { spdvisset(n_speedvis->isChecked()); });
  n_speedvis->setCheckable(true);
  n_view->addAction(action("a_menuvis"));

  n_tools = MainMenu1->addMenu(U("ツール"));
  item(n_tools, "n_option", U("設定"), [this] {
    if (windows_) windows_->showOption();
  });
  item(n_tools, "n_rireki", U("学習履歴"), [this] {
    if (L.flgdirty &&
        question(U("進捗を保存すると最新の学習履歴が反映されます。保存しますか？"), U("進捗保存"),
                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes)
      subflgsave();
    if (windows_) windows_->showRireki();
  });

  n_help = MainMenu1->addMenu(U("ヘルプ"));
  item(n_help, "N11", U("キーボードショートカット"), [this] {
    if (windows_) windows_->showKeys();
  });
  item(n_help, "N15", U("ヘルプページ"), [this] { N15Click(); });

  // The test menu is never shown; its items have no shortcuts.
  QMenu* test = MainMenu1->addMenu(U("テスト"));
  test->menuAction()->setVisible(false);
  item(test, "N27", U("ショートカット切り"), [this] { shortcutoff(); });
  item(test, "N28", U("ショートカット入り"), [this] { shortcuton(); });
  item(test, "min1", U("min"), [this] {
    if (L.subcount > 1) tb_point->setMinimum((int)(L.subtime[1] / 10000));
    message(QString::number(tb_point->minimum()));
    message(QString::number(tb_point->maximum()));
  });
  item(test, "N10", U("動画長再取得"), [this] { setStatusText(7, player_->durationString()); });
  item(test, "dbg1", U("dbg表示"), [this] { message(QString()); });

}

// The playback bar's buttons.
void Tf_main::wireButtons() {
  connect(sb_playpause, &QToolButton::pressed, this, [this] { dict.ppbtnheld = true; });
  connect(sb_playpause, &QToolButton::released, this, [this] { dict.ppbtnheld = false; });
  // Each button acts, then gives the keyboard focus back to the lower panel.
  auto onClick = [this](QToolButton* b, std::function<void()> f) {
    connect(b, &QToolButton::clicked, this, [this, f] {
      f();
      Panel1->setFocus();
    });
  };
  onClick(sb_playpause, [this] { playpause(); });
  onClick(sb_stop, [this] { player_->stop(); });
  onClick(sb_previous, [this] { player_->previous(); });
  onClick(sb_next, [this] { player_->next(); });
  onClick(sb_sceneback, [this] { Sceneback(); });
  onClick(sb_scenenext, [this] { Scenenext(); });
  onClick(sb_sntback, [this] { tl::beforesub(L, opt, *this); });
  onClick(sb_sntnext, [this] { tl::nextsub(L, opt, *this); });
  onClick(sb_wordback, [this] { a_wordbackExecute(); });
  onClick(sb_wordnext, [this] { a_wordnextExecute(); });
  connect(sb_sublock, &QToolButton::clicked, this, [this] { lockunlock(); });
  seekBarsWire();
}

void Tf_main::enableSubtitleControls(bool on) {
  for (QAction* a : n_subtitle->actions())
    if (a->objectName() != QLatin1String("n_srtopen")) a->setEnabled(on);
  for (QAction* a : n_adjust->actions()) a->setEnabled(on);
  for (const char* n : {"a_wordback", "a_srtview", "a_save", "a_allsave", "a_subedit", "a_sntcopy", "a_F5",
                        "a_wordnext", "a_pointsubup", "a_pointsubdown", "a_subendadj", "a_subtopadj",
                        "a_subtoofast", "a_subtoolate", "a_sntgiveup", "a_hint", "a_nextclose",
                        "a_backclose", "a_sntnext", "a_sntback"})
    if (QAction* a = action(n)) a->setEnabled(on);
  for (QWidget* w : std::initializer_list<QWidget*>{sb_sceneback, sb_scenenext, sb_sntback, sb_sntnext,
                                                    sb_wordback, sb_wordnext, sb_previous, sb_next,
                                                    sb_sublock, sb_hint, sb_giveup, (QWidget*)tb_point,
                                                    p_bar})
    if (w) w->setEnabled(on);
}
