#include "player/wave/wavepanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QHBoxLayout>

#include <map>

#include "audio/AudioIO.h"
#include "platform/codepage/codepage.h"
#include "platform/media/mediaplayer.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

// ---- MainWaveHost --------------------------------------------------------

tl::Lesson& MainWaveHost::lesson() { return m_.model()->lesson(); }
const tl::Options& MainWaveHost::options() { return m_.model()->options(); }
bool MainWaveHost::peekKey() { return m_.model()->dictation().peekkey; }
bool MainWaveHost::eosVisible() { return m_.playback_->seMarkVisible(); }
bool MainWaveHost::position(double& seconds) { return m_.WMP().currentPosition(seconds); }
bool MainWaveHost::mediumEnded() { return m_.WMP().playState() == tl::ps_ended; }
void MainWaveHost::posplay(tl::ttime t) {
  m_.guarded([&] { m_.posplay(0, t); });
}
void MainWaveHost::adjshift(tl::ttime delta) { m_.adjshift(delta); }
// As after every change of times set on the view: the list's time column
// (through the announcement), one forced tick while a cue is displayed, the
// focus bar, the whole window.
void MainWaveHost::timesSet() {
  m_.refreshAfterTiming();
  if (m_.L.cursub > 0) m_.forcedTick();
  m_.repaintFocusBar();
  m_.a_F5Execute();
}
void MainWaveHost::logout(const std::string& utf8) { m_.logout(utf8); }
void MainWaveHost::message(const QString& text) { m_.message(text); }

// ---- TWaveBox ------------------------------------------------------------

TWaveBox::TWaveBox(Panel5* panel, QWidget* parent) : QWidget(parent), panel_(panel) {
  setObjectName("p_wav1");
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(false);
}

void TWaveBox::paintEvent(QPaintEvent*) {
  QPainter p(this);
  panel_->p_wav1Paint(p);
}

void TWaveBox::resizeEvent(QResizeEvent*) { panel_->wave.setSize(width(), height()); }

void TWaveBox::mousePressEvent(QMouseEvent* e) {
  panel_->p_wav1MouseDown(e->position().toPoint().x(), e->position().toPoint().y());
}

void TWaveBox::mouseMoveEvent(QMouseEvent* e) {
  panel_->p_wav1MouseMove(e->position().toPoint().x(), e->position().toPoint().y());
}

void TWaveBox::mouseReleaseEvent(QMouseEvent* e) {
  const QPoint pt = e->position().toPoint();
  // A click (left press and release inside) comes before the release.
  if (e->button() == Qt::LeftButton && rect().contains(pt)) panel_->p_wav1Click();
  panel_->p_wav1MouseUp(pt.x(), pt.y(), e->button(), e->modifiers());
}

// ---- Panel5 --------------------------------------------------------------

Panel5::Panel5(WaveHost* host, QWidget* parent) : QWidget(parent), host_(host) {
  setObjectName("Panel5");
  auto* lay = new QHBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  lay->setSpacing(0);
  p_wav1 = new TWaveBox(this, this);
  tb_wavsize = new QSlider(Qt::Vertical, this);
  tb_wavsize->setObjectName("tb_wavsize");
  tb_wavsize->setRange(tl::WaveView::kBarMin, tl::WaveView::kBarMax);
  tb_wavsize->setValue(tl::WaveView::kBarStart);
  tb_wavsize->setEnabled(false);
  connect(tb_wavsize, &QSlider::valueChanged, this, [this] { tb_wavsizeChange(); });
  lay->addWidget(p_wav1, 1);
  lay->addWidget(tb_wavsize);
  p_wav1->setFont(viewFont());
}

Panel5::~Panel5() = default;

QFont Panel5::viewFont() const {
  if (!fontMade_) {
    font_ = QFont("Noto Sans Mono CJK JP");
    font_.setPointSize(9);
    fontMade_ = true;
  }
  return font_;
}

const QFontMetrics& Panel5::metricsAt(int size) const {
  auto it = metrics_.find(size);
  if (it == metrics_.end()) {
    QFont f = viewFont();
    f.setPointSize(std::max(1, size));
    it = metrics_.emplace(size, QFontMetrics(f)).first;
  }
  return it->second;
}

const QString& Panel5::labelText(const std::string& ansi) const {
  auto it = texts_.find(ansi);
  if (it == texts_.end()) {
    if (texts_.size() > 512) texts_.clear();
    it = texts_.emplace(ansi, QString::fromStdU16String(tl::cp::ansiToUtf16(ansi))).first;
  }
  return it->second;
}

void Panel5::tb_wavsizeChange() {
  wave.wavauto = false;
  wave.wavsize = tb_wavsize->value();
}

bool Panel5::AudioIn1BufferFilled(char* buffer, int& size) {
  if (!host_->options().playwav) return false;
  try {
    double pos = 0;
    if (!host_->position(pos)) pos = 0;
    tl::WaveInput in;
    in.viewOn = true;
    in.positionSeconds = pos;
    in.paused = host_->lesson().playpaused;
    in.ended = host_->mediumEnded();
    const tl::WaveBufferResult r =
        tl::wavbuffer(wave, host_->lesson(), in, reinterpret_cast<const int16_t*>(buffer), size);
    if (r.barMoved) tb_wavsize->setValue(wave.wavsize);
    return r.requeue;
  } catch (const std::exception& e) {
    // About 86 buffers a second: one line per recording, no message boxes.
    if (!failureReported_) {
      failureReported_ = true;
      host_->logout(std::string("[Err] ") + e.what());
    }
    return true;
  }
}

void Panel5::N48Click(tl::TAudioIn& recorder) {
  if (!recorder.Start()) {
    host_->message(QStringLiteral("エラーですよ") + recorder.LastErrorText());
    return;
  }
  newRecording();
  tl::wavstart(wave);
  p_wav1->update();
}

void Panel5::wavreset() {
  tl::wavreset(wave, host_->lesson());
  p_wav1->update();
}

void Panel5::wavxset() { tl::wavxset(wave, host_->lesson()); }

void Panel5::wavxshift(tl::ttime delta, int first, int last) { tl::wavxshift(wave, host_->lesson(), delta, first, last); }

void Panel5::waveResetIfOutside(tl::ttime t) {
  if (tl::waveOutside(wave, t)) wavreset();
}

void Panel5::repaintWave() {
  if (isVisible()) p_wav1->update();
}

void Panel5::p_wav1MouseDown(int x, int) {
  tl::wavpress(wave, host_->lesson(), x);
}

void Panel5::p_wav1MouseMove(int x, int y) {
  if (!wave.mousedown) return;
  tl::wavmove(wave, x, y);
  p_wav1->update();
}

void Panel5::p_wav1Click() {
  if (!wave.dragging) host_->posplay(wave.mousetime);
}

void Panel5::p_wav1MouseUp(int x, int, Qt::MouseButton b, Qt::KeyboardModifiers mods) {
  const tl::WaveButton wb = b == Qt::LeftButton    ? tl::WaveButton::Left
                            : b == Qt::RightButton ? tl::WaveButton::Right
                                                   : tl::WaveButton::Middle;
  const tl::WaveRelease r =
      tl::wavrelease(wave, host_->lesson(), x, wb, mods & Qt::ShiftModifier, mods & Qt::ControlModifier);
  if (r.kind == tl::WaveRelease::Shift) host_->adjshift(r.delta);
  if (r.kind == tl::WaveRelease::Subset) host_->timesSet();
  p_wav1->update();
}

tl::WavePicture Panel5::picture() {
  wave.setSize(p_wav1->width(), p_wav1->height());
  tl::WaveFont font;
  font.size = viewFont().pointSize();
  font.textHeight = metricsAt(font.size).height();
  font.width = [&](const std::string& t, int size) { return metricsAt(size).horizontalAdvance(labelText(t)); };
  const tl::Options& o = host_->options();
  tl::WaveShow show;
  show.textShown = o.subopenmode || o.subview || host_->peekKey();
  show.eosVisible = host_->eosVisible();
  return tl::wavpaint(wave, host_->lesson(), font, show);
}

void Panel5::p_wav1Paint(QPainter& p) {
  const int W = p_wav1->width(), H = p_wav1->height();
  if (W <= 0 || H <= 0) return;
  if (!wave.wavrun || !host_->options().playwav) {
    p.fillRect(0, 0, W, H, Qt::black);
    return;
  }
  const tl::WavePicture pic = picture();
  // The columns and marker lines go straight into an image (one pixel wide
  // vertical lines are slow through the painter); labels on top.
  if (canvas_.size() != QSize(W, H)) canvas_ = QImage(W, H, QImage::Format_RGB32);
  canvas_.fill(Qt::black);
  uchar* bits = canvas_.bits();
  const qsizetype stride = canvas_.bytesPerLine();
  auto vline = [&](int x, int top, QRgb c) {
    if (x < 0 || x >= W) return;
    uchar* px = bits + std::max(0, top) * stride + x * 4;
    for (int y = std::max(0, top); y < H; ++y, px += stride) *reinterpret_cast<QRgb*>(px) = c;
  };
  const QRgb white = qRgb(255, 255, 255);
  vline(pic.nowLine, 0, white);
  const int base = W - wave.nowx;
  const QRgb green = qRgb(0, 255, 0);
  for (size_t i = 0; i < pic.columnTop.size(); ++i) vline(base - int(i), pic.columnTop[i], green);
  if (wave.posx < W) vline(pic.replayLine, 0, white);
  for (const tl::WaveMarker& m : pic.markers) vline(m.x, 0, 0xFF000000u | uint32_t(m.color));
  if (!pic.labels.empty()) {
    QPainter lp(&canvas_);
    QFont f = viewFont();
    const int own = f.pointSize();
    for (const tl::WaveLabel& l : pic.labels) {
      const int size = l.fontSize > 0 ? l.fontSize : own;
      f.setPointSize(size);
      lp.setFont(f);
      lp.setPen(QColor::fromRgb(uint32_t(l.color)));
      const QString& text = labelText(l.text);
      const QFontMetrics& fm = metricsAt(size);
      const int x = l.rightAligned ? l.x - fm.horizontalAdvance(text) : l.x;
      lp.drawText(x, l.y + fm.ascent(), text);
    }
  }
  p.drawImage(0, 0, canvas_);
}

// ---- Panel6 --------------------------------------------------------------

Panel6::Panel6(QWidget* parent) : QWidget(parent) {
  setObjectName("Panel6");
  auto* lay = new QHBoxLayout(this);
  lay->setContentsMargins(0, 0, 0, 0);
  p_wav2 = new QWidget(this);
  lay->addWidget(p_wav2);
}
