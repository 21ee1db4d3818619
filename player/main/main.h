// Tf_main: the main window of Tallisen.  It owns the lesson model (slot
// table, counters, options, typing state), the media player, the playback
// controller (main timer, play, pause) and the controls.  The logic lives in
// core/ and player/playback/; the window runs it through its entry points
// below, announces what changed on the model, and its views repaint from the
// model's announcements (docs/architecture.md).
//
// Threads: everything here runs on the UI thread.  Work from another thread
// (the player's events, the recorder's buffers, translations) arrives as a
// queued call on the UI thread; nothing waits in a nested event loop.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/dictation.h"
#include "core/lesson.h"
#include "core/options.h"
#include "core/timing.h"
#include "player/lessonmodel.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QKeyEvent;
class QWheelEvent;
class QSlider;
class QSplitter;
class QToolButton;
class QWidget;

namespace tl {
class MediaPlayer;
class SoundPlayer;
class Shell;
class Drives;
class TAudioIn;
class TMixer;
struct Settings;
namespace mixer {
class MixerSystem;
}
namespace reg {
class Hive;
}
namespace wavein {
class WaveIn;
}
namespace ovl {
struct VideoGeom;
}
namespace ui {
class TFocusBar;
class TSubPanel;
class TSubStrip;
class TProgressBar;
class TSubOverlay;
class StatusPanel;
}  // namespace ui
}  // namespace tl

class TExtTrackBar;
class TranslationService;
class MainWindows;
class MainHost;
class MainWindowHost;
class WaveHost;
class Panel5;
class Panel6;
class MainTestAccess;
class PlaybackController;
class Tf_option;
struct MainCommand;
struct ViewItem;

class QIcon;
// The lock button's face (drawn: no font holds the padlock glyphs).
QIcon lockIcon(bool locked);

// What the main window is built with; tests pass fakes.
struct MainDeps {
  std::unique_ptr<tl::MediaPlayer> player;
  tl::reg::Hive* hive = nullptr;        // the per-user hive (settings, recent files)
  tl::SoundPlayer* sound = nullptr;     // clear sounds
  tl::Shell* shell = nullptr;           // opening files, URLs, programs
  tl::Drives* drives = nullptr;         // optical drives
  std::string exedir;                   // program data folder, trailing '/'
  std::function<uint32_t()> tickCount;  // milliseconds; default: monotonic clock
  // Message boxes; tests replace them to answer questions and collect texts.
  std::function<void(const QString& text, const QString& caption)> showMessage;
  // Returns QMessageBox::StandardButton of the answer.
  std::function<int(const QString& text, const QString& caption, int buttons)> ask;
  // The wave-input device of the recorder; empty: the system's (ALSA).
  std::function<std::unique_ptr<tl::wavein::WaveIn>()> waveDevice;
  // The mixer layer of the mixer component; empty: the system's (ALSA).
  std::function<std::unique_ptr<tl::mixer::MixerSystem>()> mixerSystem;
  // Called once the window has closed (the program block ends the program:
  // no secondary window keeps it running).
  std::function<void()> closed;
};

class Tf_main : public QMainWindow {
  Q_OBJECT
 public:
  explicit Tf_main(MainDeps deps, QWidget* parent = nullptr);
  ~Tf_main() override;

  // ---- the run's data ----------------------------------------------------
  // The lesson, the options and the typing state live in the model, which
  // announces their changes to every window.
  LessonModel* model() const { return model_; }
  const std::string& exedir() const { return exedir_; }  // program data folder, trailing '/'
  tl::MediaPlayer& WMP() { return *player_; }
  bool mediumOpen() const;
  double positionSeconds();

  // The secondary windows and the settings window (set by the program block).
  void setWindows(MainWindows* w) { windows_ = w; }
  void setOptionWindow(Tf_option* o) { option_ = o; }
  // What the secondary windows call, one for all of them (mainhost.h).
  std::shared_ptr<MainHost> host() const;

  // ---- entry points other windows call -----------------------------------
  void srtfileopen(const std::string& path);
  void movfileopen(const std::string& url);
  void dropFile(const QString& path);
  bool srtsav();       // false when a write failed
  bool subflgsave();   // false when a write failed
  void a_saveExecute();
  // The progress save of "進捗保存" and the history: writes the SRT first
  // while an edited cue text is not yet in it, after a question that says
  // so (No saves nothing).  False when nothing was saved or a write failed.
  bool saveProgress();
  // A progress save now must write the edited SRT too.
  bool progressNeedsSrt() const;
  // saveProgress for a caller that has asked already.
  bool writeProgress();
  // The recount after a bulk change of letter states; announces the letters.
  void afterflgchg();
  // After times were changed in place, in this order: the subtitle seek
  // bar's range, the timing announcement (the list's time column), one
  // forced timer tick when a cue is displayed, the focus bar, the window.
  void refreshAfterTiming();
  // The main timer on or off (a dialog holds it while it edits a cue).
  bool mainTimerEnabled() const;
  void setMainTimerEnabled(bool on);
  // Study time: the base before this run (ms), the run's start tick, now.
  void studyTime(int64_t& baseMs, uint32_t& startTick, uint32_t& nowTick);
  // The waveform's markers follow a timing change (a shift moves them).
  void followTiming(const tl::TimingChange& c);
  // Repaints every view of the main window ("表示更新").
  void a_F5Execute();
  // Plays from time t; slot names the cue the jump aims at (0: none).  Every
  // jump of the program, from any window, goes through here.
  bool posplay(int32_t slot, tl::ttime t);
  void playpause();
  void adjshift(tl::ttime delta);
  // Shifts from slot `from` on (adjcrt on) whether the player plays or not:
  // the caller chose the first slot (the list's sync, the skip, a strip).
  void adjshift(tl::ttime delta, int32_t from);
  void adjratio(tl::ttime t);
  void adjpos(tl::ttime t);
  void csrset(int start);
  void a_hintExecute();
  void a_sntgiveupExecute();
  void hidehint();
  void Sceneback();
  void Scenenext();
  // The main timer's tick (Timer1).
  void Timer1Timer();
  void logout(const std::string& utf8);
  // Shows a message box (through the dependency, so that tests see it) in
  // front of `asking`'s window, by default of the active one (boxowner.h).
  void message(const QString& text, const QString& caption = QString(), QWidget* asking = nullptr);
  int question(const QString& text, const QString& caption, int buttons, QWidget* asking = nullptr);
  QString statusText(int panel) const;
  QAction* action(const char* name) const;
  // Runs a window handler (also one of another window); a failure of the
  // media player gets a message and the program goes on.
  void guarded(const std::function<void()>& f);

  // ---- settings (the option window) --------------------------------------
  void applySettings(const tl::Settings& s);
  void collectSettings(tl::Settings& s);
  bool overlayFontSizes(int32_t& gfsize, int32_t& gfssize) const;
  void setWaveDevice(int device);
  // The recorder's device as the settings show it (-1: the system's default).
  int waveDevice() const;

  // Treat the window as the foreground window whatever the window system
  // says (offscreen windows are never active).
  void setForceForeground(bool on) { forceForeground_ = on; }

  static constexpr const char* kHelpPage = "https://tallisen.example.org/help/";

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;
  void wheelEvent(QWheelEvent* e) override;

 private:
  friend class MainTestAccess;  // tests/support/mainaccess.h
  friend struct MainCommand;
  friend struct ViewItem;
  friend class MainWindowHost;

  // ---- the view of playback (main_timer.cpp) --------------------------------
  void wirePlayback();
  bool isForeground();
  uint32_t tickCount();
  void jumpComing(tl::ttime t);
  void setStatusText(int panel, const std::string& utf8);
  void repaintWave();
  void repaintFocusBar();
  void gapReached();
  void placeSeMark();
  void newCueDisplayed();

  // construction, closing, full screen, message boxes (main.cpp)
  void FormCreate();
  void buildLayout();
  void driveAdd();
  bool FormCloseQuery();
  void FormClose();
  void FormActivate();
  void FormDeactivate();
  void setMenuVisible(bool on);
  void n_fullClick();
  void subflginit();

  // the main road's guards, the wheel and the hidden test items (main_road.cpp)
  // A message that does not hold up the caller (shown after it returns, and
  // after any question that waits for an answer, so that it is not lost).
  void notice(const QString& text);
  void showNotice(const QString& text);
  void FormMouseWheelDown();
  void FormMouseWheelUp();
  void wheelPlay(double deltaSeconds);
  void n_gautoClick();
  // "カレント負荷テスト": seeks to ten positions, twice (a load test).
  void N4Click();
  // "キャプチャ": the screen into "ps.bmp" in the program folder.
  void N7Click();
  // "再描画": repaints the overlay and reports the player's status and the overlay's size.
  void N17Click();
  // "wmp全画面": the player's own full screen on / off.
  void N18Click();
  // "WMPサイズ可変": the video area keeps its present size.
  void N29Click();
  // "タイトルバー削除１": the window becomes a tool window.
  void N32Click();
  // "カーソル": the overlay's cursors set again.
  void N57Click();
  void clearMediumState();

  // the command table, menus and enabling (main_actions.cpp)
  void buildMenus();
  void shortcuton();
  void shortcutoff();
  void enableSubtitleControls(bool on);
  void wireButtons();

  // media (main_media.cpp)
  void movieopen();
  void subopen();
  void driveplay(const std::string& drive);
  void WMPOpenStateChange(int state);
  void spdvisset(bool visible);
  void t_vlmChange(int v);
  void t_spdChange(int v);
  void FormResize();
  void fstplay();
  std::vector<std::pair<std::string, std::string>> driveList();  // device, name
  void n_topmenuClick();
  void n_titlemenuClick();
  // "ヘルプページ": the help page in the browser, after asking.
  void N15Click();

  // recent files (main_recent.cpp)
  void ReadFile();
  void WriteFile();
  void refileadd(const std::string& path);
  void fileopen(const std::string& path);

  // seek bars and the lock (main_seek.cpp)
  void seekBarsWire();
  void seekFromBar(tl::ttime t);
  void lockunlock();

  // subtitles and progress files (main_subs.cpp)
  void subflgload();
  void settleAdjustment();  // after an SRT write: the saved shift is in the file now
  void a_allsaveExecute();
  // "字幕上書き保存": writes the SRT file over itself.
  void N24Click();
  // "字幕別名保存": writes the SRT file under a new name.
  void N25Click();
  void captionset();

  // the views: panels, overlay, status bar, subscriptions (main_paint.cpp)
  void buildPanels();
  void buildViewMenu();
  void subscribeViews();
  void lessonChanged(tl::Change what, int slot);
  void subs_invalidate();
  void gsubadj();
  void onGapReached();
  void repaintOverlay();
  void movsizeset();
  void wavreset();
  void sm_ref();
  void showStarAndMemo();
  void pointBarRange();
  void showCounters();
  void overlayOptionChanged();
  void n_panelsubClick();
  void n_prenextsubClick();
  void n_focusbarClick();
  void n_dispsubClick();
  void n_xpClick();
  void n_7Click();
  void hideOverlayForDvdMenu();
  tl::ovl::VideoGeom videoGeom() const;
  void spltcol();

  // settings pushed into the window (main_settings.cpp)
  void saveSettingsAtClose();

  // typing, cursor, hints, give-up (main_dict.cpp)
  void applyOutcome(const tl::DictOutcome& o);
  void FormKeyPress(QChar c);
  void a_backcloseExecute();
  void a_nextcloseExecute();
  void a_wordbackExecute();
  void a_wordnextExecute();
  void n_wordcopyClick();
  void congratulate(const QString& text);
  QPoint msgpos() const;
  bool clickwordg(int column);

  // the key preview (main_keys.cpp)
  bool FormKeyDown(QKeyEvent* e);
  void FormKeyUp(QKeyEvent* e);

  // timing (main_adjust.cpp)
  void applyTiming(const tl::TimingChange& c);
  void a_subtopadjExecute();
  void a_subendadjExecute();
  void a_pointsubdownExecute();
  void a_pointsubupExecute();
  void n_adjresetClick();
  void clickadjg(int slot, int column, int from = -1);

  // scenes (main_scenes.cpp)
  void Sceneposset();

  // the main timer and playback (main_timer.cpp)
  void forcedTick();
  void pauseGlyph(bool playing);

  // star, memo, display switch, player status (main_cuecmds.cpp)
  void wireCueCommands();
  void opendicGlyph();
  void onStatusChange();

  // translations and words (main_trans.cpp)
  void translationCreate();
  void n_gtssntClick();
  void n_gtswordClick();
  void registerWord(int slot, const std::string& word932, const std::string& sentence932);
  void openDataFile(bool (*open)(MainHost&, tl::Shell&));

  // the waveform, recording and closing the workers (main_wave.cpp)
  void buildWavePanels();
  void createRecorder();
  void startRecording();
  void n_playwavClick();
  void n_recwavClick();
  // "CD再生": plays an audio CD.
  void CD1Click();
  // "波形スタート" (Ctrl+W): starts the waveform recording.
  void N48Click();
  void wavxset();
  void wavtestValues();
  void wavtestText();
  void wavtestSubind();
  void wavtestArray();
  void wavtestSave();
  void stopWorkersAtClose();
  uint64_t runMs() const;

  // ---- state --------------------------------------------------------------
  LessonModel* model_;
  tl::Lesson& L;
  tl::Options& opt;
  tl::Dictation& dict;  // typing state: cursor moves, hints, held keys
  MainDeps deps_;
  std::unique_ptr<tl::MediaPlayer> player_;
  std::unique_ptr<PlaybackController> playback_;  // the rules of playback; this window shows them
  std::string exedir_;
  MainWindows* windows_ = nullptr;
  TranslationService* ts = nullptr;  // the translation side: stop words, worker, on-demand
  Tf_option* option_ = nullptr;
  std::shared_ptr<WaveHost> host_;  // outlives the recorders that call into it
  std::unique_ptr<tl::TAudioIn> AudioIn1;
  std::unique_ptr<tl::TAudioIn> AudioIn2;  // never started
  std::unique_ptr<tl::TMixer> Mixer1;      // opened at creation, never called
  bool forceForeground_ = false;
  bool dvdmenuoverlay = false;
  int64_t totaltimebase = 0;  // study time before this run (ms)
  bool totaltimeUnreadable_ = false;  // the stored study time stays as it is at close
  uint32_t starttick = 0;
  double wavcolsec = 0;  // seconds per waveform column, from AudioIn1's format
  int savedPanelHeight = 150;
  QWidget* playbar_ = nullptr;   // the playback buttons under the panels
  std::string lastMovieDir_;
  std::vector<std::string> refilelist;  // recent files, newest first
  std::vector<std::string> refileOpened_;  // opened here, not yet stored (oldest first)
  const QKeyEvent* lastKeyEvent_ = nullptr;
  quint64 lastKeyStamp_ = 0;
  int lastKeyType_ = 0;

  // ---- controls -----------------------------------------------------------
  QWidget* videoArea = nullptr;  // where the player's video widget sits
  QSplitter* Splitter1 = nullptr;
  QWidget* Panel1 = nullptr;
  QWidget* Panel7 = nullptr;
  QToolButton* sb_star = nullptr;
  QLineEdit* Edit1 = nullptr;
  QToolButton* sb_opendic = nullptr;
  QWidget* p_subs = nullptr;
  QWidget* p_presub = nullptr;
  QWidget* p_sub = nullptr;
  QWidget* p_nextsub = nullptr;
  QWidget* PaintBox1 = nullptr;
  QWidget* Splitter2 = nullptr;
  QLabel* i_se = nullptr;
  QWidget* Panel4 = nullptr;
  QWidget* p_focusbar = nullptr;
  QWidget* Panel3 = nullptr;
  TExtTrackBar* tb_point = nullptr;
  QWidget* p_bar = nullptr;
  TExtTrackBar* tb_movie = nullptr;
  QSlider* t_vlm = nullptr;
  QSlider* t_spd = nullptr;
  QLabel* i_sl = nullptr;
  QLabel* i_ff = nullptr;
  QLabel* l_rate = nullptr;
  QToolButton* sb_playpause = nullptr;
  QToolButton* sb_stop = nullptr;
  QToolButton* sb_previous = nullptr;
  QToolButton* sb_sceneback = nullptr;
  QToolButton* sb_sntback = nullptr;
  QToolButton* sb_sntnext = nullptr;
  QToolButton* sb_scenenext = nullptr;
  QToolButton* sb_next = nullptr;
  QToolButton* sb_wordback = nullptr;
  QToolButton* sb_wordnext = nullptr;
  QToolButton* sb_sublock = nullptr;
  QToolButton* sb_hint = nullptr;
  QToolButton* sb_giveup = nullptr;
  std::vector<tl::ui::StatusPanel*> statusPanels;  // the eight status-bar panels
  int statusPanelsWidth_ = 0;         // the panels' longest usual texts together
  tl::ui::TSubPanel* subPanel = nullptr;
  tl::ui::TSubStrip* preStrip = nullptr;
  tl::ui::TSubStrip* nextStrip = nullptr;
  tl::ui::TFocusBar* focusBar = nullptr;
  tl::ui::TProgressBar* progressBar = nullptr;
  tl::ui::TSubOverlay* tp_sub = nullptr;
  Panel5* wavePanel = nullptr;  // the waveform (p_wav1, tb_wavsize)
  Panel6* panel6 = nullptr;     // the recorded-sound panel
  QMenuBar* MainMenu1 = nullptr;
  QMenu* n_video = nullptr;     // "動画"
  QMenu* n_dvd = nullptr;       // "DVD" below it
  QAction* n_dvdsep = nullptr;
  QMenu* n_subtitle = nullptr;  // "字幕"
  QMenu* n_adjust = nullptr;    // "調整"
  QMenu* n_refile = nullptr;    // "履歴"
  QMenu* n_view = nullptr;      // "表示"
  QMenu* n_wave = nullptr;      // "波形"
  QMenu* n_tools = nullptr;     // "ツール"
  QMenu* n_help = nullptr;      // "ヘルプ"
  QMenu* PopupMenu1 = nullptr;  // never opened: its items act by their keys
  QAction* n_fullp = nullptr;
  QAction* n_sublock = nullptr;
  QAction* n_speedvis = nullptr;
  std::vector<QAction*> driveItems;
  std::vector<QAction*> allActions;
  std::vector<std::pair<QAction*, int>> enabling_;  // commands enabled with subtitles loaded
};

// The host of the secondary windows over `main` (main_host.cpp).
std::shared_ptr<WaveHost> makeMainHost(Tf_main& main);
