// Tf_main: opening media, the open-state event, volume and rate, dropped
// files, the seek bars, the subtitle lock and the recent-files menu.
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSlider>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <cmath>

#include "core/recentfiles.h"
#include "core/timetext.h"
#include "platform/drives/drives.h"
#include "platform/media/mediaplayer.h"
#include "platform/shell/shell.h"
#include "player/Extrkbar.h"
#include "player/main.h"

namespace {
std::string lowerExt(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).suffix().toLower().toStdString();
}
}  // namespace

void Tf_main::movieopen() {
  QString f = QFileDialog::getOpenFileName(
      this, QString(), QString(),
      QStringLiteral("動画ファイル (*.avi *.mpg *.mpeg *.mp4 *.wmv *.divx *.xdiv *.mkv *.asf *.AVI *.MPG *.MP4 "
                     "*.WMV *.MKV);;すべて (*)"));
  if (!f.isEmpty()) movfileopen(f.toStdString());
}

void Tf_main::subopen() {
  QString f = QFileDialog::getOpenFileName(this, QString(), QString(),
                                           QStringLiteral("srt形式字幕ファイル (*.srt *.SRT);;すべて (*)"));
  if (!f.isEmpty()) srtfileopen(f.toStdString());
}

void Tf_main::movfileopen(const std::string& url) {
  if (url.empty()) return;
  // A file that no longer exists: a clear message and nothing else changes.
  if (url.find("://") == std::string::npos && !QFileInfo::exists(QString::fromStdString(url))) {
    message(QStringLiteral("ファイルが見つかりません\n") + QString::fromStdString(url));
    return;
  }
  try {
    player_->setURL(url);
  } catch (const tl::MediaError& e) {
    message(QStringLiteral("再生に失敗しました\n") + QString::fromUtf8(e.what()));
    return;
  }
  if (lowerExt(url) == "wmv") {
    spdvisset(true);
    n_speedvis->setChecked(true);
  }
  movopened = true;
  dvdmode = url.find("wmpdvd://") != std::string::npos;
  fstplay();
  refileadd(url);
  WriteFile();
  ReadFile();
}

std::vector<std::pair<std::string, std::string>> Tf_main::driveList() {
  std::vector<std::pair<std::string, std::string>> out;
  if (!deps_.drives) return out;
  for (const auto& d : deps_.drives->list()) out.push_back({d.device, d.name});
  return out;
}

void Tf_main::driveplay(const std::string& drive) {
  try {
    player_->setURL("wmpdvd://" + drive);
    dvdmode = true;
    fstplay();
    refileadd(player_->URL());
    WriteFile();
    ReadFile();
  } catch (const std::exception&) {
    message(QStringLiteral("再生に失敗しました"));
  }
}

void Tf_main::WMPOpenStateChange(int state) {
  if (state != tl::os_mediaopen) return;
  const int w = player_->imageSourceWidth(), h = player_->imageSourceHeight();
  if (opt.orgsize && w > 0 && h > 0 && !isMaximized() && !isFullScreen()) {
    int width = w + (this->width() - videoArea->width());
    const int rateEdge = l_rate->isVisible() ? l_rate->mapTo(this, QPoint(l_rate->width(), 0)).x() : 0;
    if (width < rateEdge) width = rateEdge + 10;
    const int height = h + (this->height() - videoArea->height());
    resize(std::max(width, minimumSizeHint().width()), height);
  }
  setStatusText(7, player_->durationString());
  movsizeset();
  repaintOverlay();
  a_F5Execute();
}

void Tf_main::spdvisset(bool visible) {
  t_spd->setVisible(visible);
  i_sl->setVisible(visible);
  i_ff->setVisible(visible);
  l_rate->setVisible(visible);
  l_rate->setText(QString::number(player_->rate()));
}

void Tf_main::t_vlmChange(int v) {
  player_->setVolume(v);
  setStatusText(0, "音量" + std::to_string(player_->volume()) + "%");
}

void Tf_main::t_spdChange(int v) {
  player_->setRate(v / 10.0);
  l_rate->setText(QString::number(v / 10.0));
}

void Tf_main::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void Tf_main::dropEvent(QDropEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.isEmpty()) return;
  const QUrl& u = urls.front();
  dropFile(u.isLocalFile() ? u.toLocalFile() : u.toString());
  e->acceptProposedAction();
}

void Tf_main::dropFile(const QString& path) {
  const std::string p = path.toStdString();
  if (lowerExt(p) == "srt")
    srtfileopen(p);
  else
    movfileopen(p);
}

void Tf_main::FormResize() {
  if (!p_bar) return;
  gsubadj();
  wavreset();
}

// ---- recent files ---------------------------------------------------------

void Tf_main::ReadFile() {
  n_refile->clear();
  refilelist = deps_.hive ? tl::ReadFile(*deps_.hive) : std::vector<std::string>(10);
  for (size_t n = 0; n < refilelist.size(); ++n) {
    if (refilelist[n].empty()) continue;
    const QString path = QString::fromStdString(refilelist[n]);
    QAction* a = n_refile->addAction(QString::fromStdString(tl::menuCaption(std::to_string(n) + ":" + refilelist[n])));
    a->setData(path);
    connect(a, &QAction::triggered, this, [this, a] { fileopen(a->data().toString().toStdString()); });
  }
}

void Tf_main::refileadd(const std::string& path) { tl::refileadd(refilelist, path); }

void Tf_main::WriteFile() {
  if (!deps_.hive) return;
  std::string err;
  if (!tl::WriteFile(*deps_.hive, refilelist, &err))
    logout("履歴を保存できませんでした " + err);
}

// A missing file is reported by the opening itself.
void Tf_main::fileopen(const std::string& path) { dropFile(QString::fromStdString(path)); }

// ---- seek bars and lock ---------------------------------------------------

void Tf_main::seekBarsWire() {
  tb_movie->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (movopened || dvdmode) seekdrag = true;
  };
  tb_movie->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag || !(movopened || dvdmode)) return;
    movieSeekTarget = movieBarTime();
    setStatusText(4, tl::sec2str_0(movieSeekTarget));
  };
  tb_movie->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag) return;
    seekdrag = false;
    if (!(movopened || dvdmode)) return;
    // A click without a drag seeks to where the bar now stands.
    movieSeekTarget = movieBarTime();
    seekFromBar(movieSeekTarget);
    setStatusText(7, player_->durationString());
  };
  tb_point->OnMouseDown = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { seekdrag = true; };
  tb_point->OnMouseMove = [this](TExtTrackBar*, Qt::MouseButtons, Qt::KeyboardModifiers, int, int) {
    if (L.srtloaded && seekdrag) setStatusText(4, tl::sec2str_0((tl::ttime)tb_point->value() * 10000));
  };
  tb_point->OnMouseUp = [this](TExtTrackBar*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    if (!seekdrag) return;
    seekdrag = false;
    if (!L.srtloaded || !(movopened || dvdmode)) return;
    seekFromBar((tl::ttime)tb_point->value() * 10000);
  };
}

tl::ttime Tf_main::movieBarTime() {
  double d = player_->duration();
  if (!(d > 0)) d = 9000;
  return (tl::ttime)std::nearbyint(d * tb_movie->positionRatio() * 10000.0);
}

void Tf_main::seekFromBar(tl::ttime t) {
  tl::posplay(L, *this, 0, t);
  // The displayed cue follows the new position also while paused.
  if (L.cursub > 0) forcedTick();
}

void Tf_main::forcedTick() {
  L.forcetick = true;
  Timer1Timer();
}

void Tf_main::lockunlock() {
  // The menu item toggles its own check mark; the state is ours.
  L.sublocked = !L.sublocked;
  n_sublock->setChecked(L.sublocked);
  sb_sublock->setText(L.sublocked ? QStringLiteral("🔒") : QStringLiteral("🔓"));
  spltcol();
}

void Tf_main::N15Click() {
  if (question(QStringLiteral("ブラウザを開いてヘルプページを表示しますか？インターネットに接続している必要があります"),
               QStringLiteral("ヘルプ"), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  if (deps_.shell) deps_.shell->open(kHelpPage);
}

bool Tf_main::posplay(int32_t slot, tl::ttime t) { return tl::posplay(L, *this, slot, t); }
