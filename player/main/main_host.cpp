// The one host of the secondary windows over the main window.
#include <memory>

#include "core/change.h"
#include "platform/media/mediaplayer.h"
#include "player/lessonmodel.h"
#include "player/main/main.h"
#include "player/mainhost.h"
#include "player/playback/playback.h"
#include "player/wave/wavepanel.h"

class MainWindowHost : public WaveHost {
 public:
  explicit MainWindowHost(Tf_main& m) : m_(m) {}
  LessonModel& model() override { return *m_.model(); }
  const tl::Options& options() override { return m_.model()->options(); }
  std::string exedir() override { return m_.exedir(); }
  QWidget* window() override { return &m_; }
  // A player failure is reported here; the jump counts as made, so the
  // caller adds no message of its own.
  bool posplay(int32_t slot, tl::ttime t) override {
    bool ok = true;
    m_.guarded([&] { ok = m_.posplay(slot, t); });
    return ok;
  }
  void adjshiftFrom(int32_t from, tl::ttime delta) override { m_.adjshift(delta, from); }
  void adjratio(tl::ttime t) override {
    m_.guarded([&] { m_.adjratio(t); });
  }
  bool positionSeconds(double& seconds) override {
    bool ok = false;
    m_.guarded([&] {
      seconds = m_.positionSeconds();
      ok = true;
    });
    return ok;
  }
  bool mediumOpen() override { return m_.mediumOpen(); }
  void afterflgchg() override { m_.afterflgchg(); }
  void timeEdited(int32_t) override { m_.refreshAfterTiming(); }
  void starChanged(int32_t slot) override { m_.model()->announce(tl::Change::Stars, slot); }
  void memoChanged(int32_t slot) override { m_.model()->announce(tl::Change::Memos, slot); }
  void scenesChanged() override {
    m_.model()->announce(tl::Change::Scenes);
    m_.a_F5Execute();
  }
  bool srtsav() override { return m_.srtsav(); }
  bool subflgsave() override { return m_.subflgsave(); }
  bool saveProgress() override { return m_.saveProgress(); }
  void logout(const std::string& utf8) override { m_.logout(utf8); }
  void message(const QString& text, const QString& caption, QWidget* asking) override {
    m_.message(text, caption, asking);
  }
  int question(const QString& text, const QString& caption, int buttons, QWidget* asking) override {
    return m_.question(text, caption, buttons, asking);
  }
  bool mainTimerEnabled() override { return m_.mainTimerEnabled(); }
  void setMainTimerEnabled(bool on) override { m_.setMainTimerEnabled(on); }
  void toggleFullScreen() override {
    if (m_.mediumOpen()) m_.guarded([this] { m_.WMP().setFullScreen(!m_.WMP().fullScreen()); });
  }

  // ---- the waveform's own ----------------------------------------------------
  bool eosVisible() override { return m_.playback_->seMarkVisible(); }
  bool position(double& seconds) override { return m_.WMP().currentPosition(seconds); }
  bool mediumEnded() override { return m_.WMP().playState() == tl::ps_ended; }
  void adjshift(tl::ttime delta) override { m_.adjshift(delta); }
  // As after every change of times set on the view: the list's time column
  // (through the announcement), one forced tick while a cue is displayed, the
  // focus bar, the whole window.
  void timesSet() override {
    m_.refreshAfterTiming();
    if (m_.L.cursub > 0) m_.forcedTick();
    m_.repaintFocusBar();
    m_.a_F5Execute();
  }

 private:
  Tf_main& m_;
};

std::shared_ptr<MainHost> Tf_main::host() const { return host_; }

std::shared_ptr<WaveHost> makeMainHost(Tf_main& main) { return std::make_shared<MainWindowHost>(main); }
