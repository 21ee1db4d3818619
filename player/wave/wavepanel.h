// Panel5: the scrolling waveform under the video (paint box p_wav1) with its
// level bar tb_wavsize; Panel6: the recorded-sound panel, an empty paint box.
//
// The view's rules live in core/wave.h; this file paints them, takes the
// mouse and feeds recorded buffers in.  What it needs of the main window goes
// through WaveHost, the main window's host with the waveform's own calls.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QWidget>

#include <map>
#include <memory>
#include <string>

#include "core/lesson.h"
#include "core/options.h"
#include "core/wave.h"
#include "player/mainhost.h"

class QSlider;
class Panel5;

namespace tl {
class TAudioIn;
}

// What the waveform needs of the main window beyond what every window may ask.
class WaveHost : public MainHost {
 public:
  // The end-of-sentence mark shows (playback in the gap after the displayed cue).
  virtual bool eosVisible() = 0;
  // The player's position; false when it has none.  May throw.
  virtual bool position(double& seconds) = 0;
  // The medium played to its end.
  virtual bool mediumEnded() = 0;
  // Shifts the times by delta as the main window's shift does.
  virtual void adjshift(tl::ttime delta) = 0;
  // Subtitle times were set on the view: list time column, timer tick,
  // focus bar, refresh.
  virtual void timesSet() = 0;
};

// The paint box of the waveform.
class TWaveBox : public QWidget {
  Q_OBJECT
 public:
  explicit TWaveBox(Panel5* panel, QWidget* parent = nullptr);

 protected:
  void paintEvent(QPaintEvent*) override;
  void resizeEvent(QResizeEvent*) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  Panel5* panel_;
};

class Panel5 : public QWidget {
  Q_OBJECT
 public:
  // host: not owned; must outlive the panel.
  explicit Panel5(WaveHost* host, QWidget* parent = nullptr);
  ~Panel5() override;

  TWaveBox* p_wav1 = nullptr;
  QSlider* tb_wavsize = nullptr;
  tl::WaveView wave;

  // Seconds per column from the recorder: BufferSize / (2 x FrameRate).
  void setColumnSeconds(double s) { wave.wavcolsec = s; }
  // AudioIn1.OnBufferFilled: takes one buffer; true re-queues it.  Never
  // throws; a failure is logged once per recording.
  bool AudioIn1BufferFilled(char* buffer, int& size);
  // A new recording began (the once-per-recording failure line may show again).
  void newRecording() { failureReported_ = false; }
  // "波形スタート" / "波形用音声スタート": starts the recorder and empties the view.
  void N48Click(tl::TAudioIn& recorder);
  void wavreset();
  void wavxset();
  void wavxshift(tl::ttime delta, int first, int last);
  // posplay: reset when t is outside the drawn part.
  void waveResetIfOutside(tl::ttime t);
  // The main timer's repaint.
  void repaintWave();
  void tb_wavsizeChange();

  // Mouse and paint of p_wav1 (x, y in its coordinates).
  void p_wav1MouseDown(int x, int y);
  void p_wav1MouseMove(int x, int y);
  void p_wav1Click();
  void p_wav1MouseUp(int x, int y, Qt::MouseButton b, Qt::KeyboardModifiers mods);
  void p_wav1Paint(QPainter& p);
  // The picture at the box's size, with the view's font.
  tl::WavePicture picture();

  QFont viewFont() const;

 private:
  WaveHost* host_;
  bool failureReported_ = false;
  QImage canvas_;
  const QFontMetrics& metricsAt(int size) const;
  const QString& labelText(const std::string& ansi) const;
  mutable QFont font_;
  mutable bool fontMade_ = false;
  mutable std::map<int, QFontMetrics> metrics_;
  mutable std::map<std::string, QString> texts_;
};

// "録音波形": an empty paint box (nothing is recorded there).
class Panel6 : public QWidget {
  Q_OBJECT
 public:
  explicit Panel6(QWidget* parent = nullptr);
  QWidget* p_wav2 = nullptr;
};
