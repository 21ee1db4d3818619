// Tf_main: opening media, the open-state event, volume and rate, dropped
// files, the DVD menus and the help page.
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
#include "platform/media/openfailure.h"
#include "platform/shell/shell.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/playback/playback.h"

namespace {
std::string lowerExt(const std::string& path) {
  return QFileInfo(QString::fromStdString(path)).suffix().toLower().toStdString();
}
}  // namespace

void Tf_main::movieopen() {
  // The video usually lies beside its subtitles: start in the SRT's folder.
  QString dir;
  if (L.srtloaded && !L.srtpath.empty()) dir = QFileInfo(QString::fromStdString(L.srtpath)).absolutePath();
  else if (!lastMovieDir_.empty()) dir = QString::fromStdString(lastMovieDir_);
  QString f = QFileDialog::getOpenFileName(
      this, QString(), dir,
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
  // Nothing of the medium before carries over to this one.
  clearMediumState();
  try {
    player_->setURL(url);
  } catch (const tl::MediaError& e) {
    message(QString::fromStdString(tl::media::openFailureText(e.what())));
    return;
  }
  if (lowerExt(url) == "wmv") {
    spdvisset(true);
    n_speedvis->setChecked(true);
  }
  playback_->setMedium(true, url.find("wmpdvd://") != std::string::npos);
  if (url.find("://") == std::string::npos)
    lastMovieDir_ = QFileInfo(QString::fromStdString(url)).absolutePath().toStdString();
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
    playback_->setMedium(playback_->movopened(), true);
    fstplay();
    refileadd(player_->URL());
    WriteFile();
    ReadFile();
  } catch (const std::exception&) {
    message(QStringLiteral("再生に失敗しました"));
  }
}

void Tf_main::WMPOpenStateChange(int state) {
  if (!playback_->openStateChanged(state)) return;
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
  a_F5Execute();
  // Which decoders play the medium, for the learner whose subtitles or
  // picture do not come out (after the repaint, which clears the line).
  if (auto t = player_->decoderLog(); !t.empty()) logout(t);
}

void Tf_main::spdvisset(bool visible) {
  t_spd->setVisible(visible);
  i_sl->setVisible(visible);
  i_ff->setVisible(visible);
  l_rate->setVisible(visible);
  l_rate->setText(QString::number(player_->rate()));
}

void Tf_main::t_vlmChange(int v) {
  guarded([this, v] {
    player_->setVolume(v);
    setStatusText(0, "音量" + std::to_string(player_->volume()) + "%");
  });
}

void Tf_main::t_spdChange(int v) {
  guarded([this, v] {
    player_->setRate(v / 10.0);
    l_rate->setText(QString::number(v / 10.0));
  });
}

void Tf_main::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void Tf_main::dropEvent(QDropEvent* e) {
  const QList<QUrl> urls = e->mimeData()->urls();
  if (urls.isEmpty()) return;
  const QUrl& u = urls.front();
  const QString path = u.isLocalFile() ? u.toLocalFile() : u.toString();
  guarded([this, &path] { dropFile(path); });
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

void Tf_main::N15Click() {
  if (question(QStringLiteral("ブラウザを開いてヘルプページを表示しますか？インターネットに接続している必要があります"),
               QStringLiteral("ヘルプ"), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return;
  if (deps_.shell) deps_.shell->open(kHelpPage);
}

bool Tf_main::posplay(int32_t slot, tl::ttime t) { return playback_->posplay(slot, t); }

void Tf_main::n_topmenuClick() {
  try {
    player_->dvdTopMenu();
    hideOverlayForDvdMenu();
  } catch (const std::exception&) {
    message(QStringLiteral("トップメニュー画面に遷移出来ませんでした"));
  }
}

void Tf_main::n_titlemenuClick() {
  try {
    player_->dvdTitleMenu();
    hideOverlayForDvdMenu();
  } catch (const std::exception&) {
    message(QStringLiteral("タイトルメニュー画面に遷移出来ませんでした"));
  }
}
