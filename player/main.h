// Tf_main: the main window of Tallisen.  It owns the lesson (slot table and
// counters), the media player, the main timer and the controls; the logic
// lives in core/ and the window forwards to it and paints the result.
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
#include "core/maintimer.h"
#include "core/navigation.h"
#include "core/options.h"
#include "core/timing.h"
#include "player/lessonmodel.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QKeyEvent;
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
struct Settings;
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
class TSubPanel;
class TSubStrip;
class TProgressBar;
class TSubOverlay;
}  // namespace ui
}  // namespace tl

class TExtTrackBar;
class MainWindows;
class Tf_option;

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
};

class Tf_main : public QMainWindow, public tl::TimerView, public tl::NavView {
  Q_OBJECT
 public:
  explicit Tf_main(MainDeps deps, QWidget* parent = nullptr);
  ~Tf_main() override;

  // ---- data owned for the run ------------------------------------------
  // The lesson, the options and the typing state live in the model, which
  // announces their changes to every window.
  LessonModel* model() const { return model_; }
 private:
  LessonModel* model_;
 public:
  tl::Lesson& L;
  tl::Options& opt;
  // Typing state: cursor moves, hints, held keys (peek key, Space, digits).
  tl::Dictation& dict;
  std::string exedir;
  bool movopened = false;
  bool dvdmode = false;
  bool seekdrag = false;
  bool dvdmenuoverlay = false;
  int64_t totaltimebase = 0;  // study time before this run (ms)
  uint32_t starttick = 0;
  double wavcolsec = 512.0 / (22050.0 * 2.0);
  int savedPanelHeight = 150;
  std::vector<std::string> refilelist;  // recent files, newest first

  tl::MediaPlayer& WMP() { return *player_; }
  tl::MainTimer& timer() { return maintimer_; }

  // ---- operations other windows and tests call -------------------------
  void subflginit();
  void srtfileopen(const std::string& path);
  void movfileopen(const std::string& url);
  void afterflgchg();
  // Plays from time t; slot names the cue the jump aims at (0: none).  Every
  // jump of the program, from any window, goes through here.
  bool posplay(int32_t slot, tl::ttime t);
  void a_F5Execute();
  void logout(const std::string& utf8) override;
  void Timer1Timer();
  void playpause() override;
  void spltcol();
  void fstplay();
  void dropFile(const QString& path);
  // Shows a message box (through the dependency, so that tests see it).
  void message(const QString& text, const QString& caption = QString());
  int question(const QString& text, const QString& caption, int buttons);
  QString statusText(int panel) const;
  QAction* action(const char* name) const;

  // ---- NavView / TimerView ---------------------------------------------
  bool isForeground() override;
  uint32_t tickCount() override;
  void waveResetIfOutside(tl::ttime t) override;
  void seekAndPlay(tl::ttime t) override;
  void displayedCueChanged() override;
  bool playerPosition(double& seconds) override;
  int playerState() override;
  double playerDuration() override;
  void setStatusText(int panel, const std::string& utf8) override;
  int movieBarMax() override;
  void setMovieBarPos(int pos) override;
  void setPointBarPos(int pos) override;
  void repaintWave() override;
  void repaintFocusBar() override;
  void gapReached() override;
  void newCueDisplayed() override;
  void tickFailed(const std::string& utf8Message) override;

  // For tests: treat the window as the foreground window whatever the
  // window system says (offscreen windows are never active).
  bool forceForeground = false;

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;
  void changeEvent(QEvent* e) override;
  bool eventFilter(QObject* obj, QEvent* ev) override;

 private:
  // construction (main.cpp)
  void FormCreate();
  void buildLayout();
  void buildActions();
  void buildMenus();
  void driveAdd();
  bool FormCloseQuery();
  void FormClose();
  void FormActivate();
  void FormDeactivate();
  void shortcuton();
  void shortcutoff();
  void setMenuVisible(bool on);
  void n_fullClick();
  void enableSubtitleControls(bool on);

  // media (main_media.cpp)
  void movieopen();
  void subopen();
  void driveplay(const std::string& drive);
  void WMPOpenStateChange(int state);
  void spdvisset(bool visible);
  void t_vlmChange(int v);
  void t_spdChange(int v);
  void ReadFile();
  void WriteFile();
  void refileadd(const std::string& path);
  void fileopen(const std::string& path);
  void lockunlock();
  void seekBarsWire();
  void FormResize();
  tl::ttime movieBarTime();
  void seekFromBar(tl::ttime t);
  void forcedTick();
  void captionset();
  tl::ttime movieSeekTarget = 0;
  std::vector<std::pair<std::string, std::string>> driveList();  // device, name

 public:
  // subtitles and progress (main_subs.cpp)
  bool srtsav();       // false when a write failed
  bool subflgsave();   // false when a write failed
  void subflgload();
  void a_saveExecute();
  void a_allsaveExecute();
  // panels and overlay (main_paint.cpp)
  void subs_invalidate();
  void gsubadj();
  void onSubflginit();
  void onGapReached();
  void repaintOverlay();
  void movsizeset();
  void wavreset();
  static constexpr const char* kHelpPage = "https://tallisen.example.org/help/";
  // sound recording (main_wave.cpp)
  void startRecording();
  // typing and keys (main_keys.cpp)
  void FormKeyPress(QChar c);
  bool FormKeyDown(QKeyEvent* e);
  void FormKeyUp(QKeyEvent* e);
  void csrset(int start);
  void Sceneposset();
  void sm_ref();
  void a_hintExecute();
  void a_sntgiveupExecute();
  void a_backcloseExecute();
  void a_nextcloseExecute();
  void a_wordbackExecute();
  void a_wordnextExecute();
  void hidehint();
  void n_wordcopyClick();
  // scenes (main_scenes.cpp)
  void Sceneback();
  void Scenenext();
  void n_topmenuClick();
  void n_titlemenuClick();
  // timing (main_adjust.cpp)
  void adjshift(tl::ttime delta);
  void adjratio(tl::ttime t);
  void adjpos(tl::ttime t);
  void a_subtopadjExecute();
  void a_subendadjExecute();
  void a_pointsubdownExecute();
  void a_pointsubupExecute();
  void n_adjresetClick();
  void refreshAfterTiming();
  void applyTiming(const tl::TimingChange& c);
  double positionSeconds();
  bool mediumOpen() const;
  void clickadj(int x, int y, int cellh, int cellw, int slot);
  void clickadjg(int slot, int column);
  void N24Click();
  void N25Click();
  void N15Click();
  // view menu handlers (main_paint.cpp)
  void overlayOptionChanged();
  void n_panelsubClick();
  void n_prenextsubClick();
  void n_focusbarClick();
  void n_dispsubClick();
  void n_xpClick();
  void n_7Click();
  bool clickwordg(int column);
  // settings (main_paint.cpp)
  void applySettings(const tl::Settings& s);
  void collectSettings(tl::Settings& s);
  Tf_option* option = nullptr;
  // recording (main_wave.cpp)
  std::unique_ptr<tl::TAudioIn> AudioIn1;
  bool AudioIn1BufferFilled(char* buf, int& size);
  bool recordPending = false;
  void applyOutcome(const tl::DictOutcome& o);
  void congratulate(const QString& text);
  QPoint msgpos() const;
  void overlayCells(const std::vector<tl::OverlayCell>& cells);
  void hideOverlayForDvdMenu();
  // The secondary windows, shown by menu commands (set by the program block).
  MainWindows* windows = nullptr;

 private:
  void stopWorkersAtClose();
  void createRecorder();
  uint64_t runMs() const;
  void buildPanels();
  void buildViewMenu();
  tl::ovl::VideoGeom videoGeom() const;
  void saveSettingsAtClose();

  QAction* addAction_(const char* name, const QString& caption, const QKeySequence& key,
                      std::function<void()> handler);

  const QKeyEvent* lastKeyEvent_ = nullptr;
  quint64 lastKeyStamp_ = 0;
  int lastKeyType_ = 0;

  MainDeps deps_;
  std::unique_ptr<tl::MediaPlayer> player_;
  tl::MainTimer maintimer_;
  QTimer* Timer1 = nullptr;

 public:
  // ---- controls (named as the rest of the program refers to them) ------
  QWidget* videoArea = nullptr;  // where the player's video widget sits
  QSplitter* Splitter1 = nullptr;
  QWidget* Panel1 = nullptr;
  QWidget* Panel7 = nullptr;
  QToolButton* sb_star = nullptr;
  QLineEdit* Edit1 = nullptr;
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
  std::vector<QLabel*> statusPanels;
  tl::ui::TSubPanel* subPanel = nullptr;
  tl::ui::TSubStrip* preStrip = nullptr;
  tl::ui::TSubStrip* nextStrip = nullptr;
  tl::ui::TProgressBar* progressBar = nullptr;
  tl::ui::TSubOverlay* tp_sub = nullptr;  // the eight status-bar panels
  QMenuBar* MainMenu1 = nullptr;
  QMenu* n_video = nullptr;   // "動画"
  QMenu* n_dvd = nullptr;     // "DVD" below it
  QAction* n_dvdsep = nullptr;
  QMenu* n_subtitle = nullptr;  // "字幕"
  QMenu* n_adjust = nullptr;    // "調整"
  QMenu* n_refile = nullptr;    // "履歴"
  QMenu* n_view = nullptr;      // "表示"
  QMenu* n_tools = nullptr;     // "ツール"
  QMenu* n_help = nullptr;      // "ヘルプ"
  QAction* n_fullp = nullptr;
  QAction* n_sublock = nullptr;
  QAction* n_speedvis = nullptr;
  std::vector<QAction*> driveItems;
  std::vector<QAction*> allActions;
};
