// Tf_main: loading subtitles, the recount, saving progress and subtitles.
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QStyle>
#include <QToolButton>

#include "core/dictation.h"
#include "core/progressfile.h"
#include "core/scenes.h"
#include "core/srtread.h"
#include "core/srtwrite.h"
#include "core/timetext.h"
#include "platform/media/mediaplayer.h"
#include "player/widgets/Extrkbar.h"
#include "player/main/main.h"
#include "player/playback/playback.h"
#include "player/translate/translation.h"
#include "player/windows.h"

namespace {
QString U(const std::string& s) { return QString::fromStdString(s); }
}  // namespace

void Tf_main::srtfileopen(const std::string& path) {
  if (!QFileInfo::exists(U(path))) {
    message(QStringLiteral("ファイルが見つかりません\n") + U(path));
    return;
  }
  // Unsaved work on the file loaded now is not dropped without a question.
  if (L.srtloaded && (L.flgdirty || L.srtdirty) && !FormCloseQuery()) return;

  // The file is parsed into a new table; the current one stays when it fails.
  tl::Lesson fresh;
  fresh.hintpoint = L.hintpoint;
  fresh.hintcost = L.hintcost;
  tl::LoadResult r = tl::loadSrt(path, opt.codepage, exedir_, fresh);
  if (!r.ok) {
    for (const auto& m : r.messages) message(U(m));
    if (r.messages.empty()) message(QStringLiteral("字幕を読み込めませんでした\n") + U(path));
    return;
  }

  playback_->stopPolling();
  try {
    if (playback_->mediumOpen()) player_->stop();
  } catch (const std::exception&) {
  }
  pauseGlyph(false);
  subflginit();
  L = std::move(fresh);
  for (const auto& m : r.messages) message(U(m));

  subflgload();
  tl::Scenecut(L, tl::kSceneGapDefault, 0);
  model_->announce(tl::Change::Load);
  // The word entries of the new table and a worker for this load.
  if (ts) ts->transwordset();
  refileadd(path);
  WriteFile();
  ReadFile();
  enableSubtitleControls(true);
  spltcol();
  captionset();

  std::string mode = opt.subview        ? "字幕表示モード"
                     : opt.subopenmode  ? "字幕/下線表示モード"
                                        : "ディクテーションモード";
  if (opt.pausemode && opt.notclearpause)
    mode += "/未クリア文ポーズ";
  else if (opt.pausemode)
    mode += "/毎文ポーズ";
  else
    mode += "/ポーズしない";
  logout(mode);
  playback_->startPolling();
}

// The caption names the loaded subtitle file in brackets after the title.
void Tf_main::captionset() {
  QString cap = windowTitle();
  const int br = cap.indexOf(QLatin1Char('['));
  if (br >= 0) cap = cap.left(br);
  setWindowTitle(cap + QLatin1Char('[') + U(L.srtname) + QLatin1Char(']'));
}

void Tf_main::subflgload() {
  if (!L.srtloaded) return;
  tl::ProgressLoadResult r = tl::subflgload(L);
  if (r.askAdjust) {
    if (question(QString::fromUtf8(tl::kAskAdjust), QString::fromUtf8(tl::kAskAdjustCaption),
                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes) {
      tl::TimingChange c = tl::acceptSavedAdjustment(L, opt);
      if (c.changed) {
        refreshAfterTiming();
        if (!c.log.empty()) logout(c.log);
      }
    } else {
      tl::declineAdjustment(L);
    }
  }
  if (!r.message.empty()) {
    QString m = U(r.message);
    if (!r.detail.empty()) m += QLatin1Char('\n') + U(r.detail);
    message(m);
  } else if (!r.detail.empty()) {
    message(U(r.detail));
  }
}

bool Tf_main::subflgsave() {
  tl::ProgressSaveResult r = tl::subflgsave(L);
  if (!r.ok) {
    QString m = U(r.message);
    if (!r.detail.empty()) m += QLatin1Char('\n') + U(r.detail);
    message(m);
    return false;
  }
  return true;
}

bool Tf_main::srtsav() {
  tl::SaveResult r = tl::srtsav(L);
  if (!r.message.empty()) message(U(r.message));
  // The times are now the file's: the list shows them as saved.
  if (r.ok && r.written) {
    settleAdjustment();
    model_->announce(tl::Change::Timing);
  }
  return r.ok;
}

// Once the SRT on disk holds a shift, the progress file on disk no longer
// offers it, whether or not the progress is saved afterwards.
void Tf_main::settleAdjustment() {
  std::string err;
  if (!tl::settleSavedAdjustment(L, &err)) message(QString::fromUtf8(tl::kMsgSaveFailed) + QLatin1Char('\n') + U(err));
}

bool Tf_main::progressNeedsSrt() const { return windows_ && windows_->textUnsaved(); }

// While an edited cue text is not yet in the SRT file, the save writes it
// first, so the progress file never describes texts the file lacks.
bool Tf_main::writeProgress() { return windows_ ? windows_->saveProgress() : subflgsave(); }

// The progress of an edited cue fits only its new text, so the SRT goes
// with it; the learner who declined that at the edit is asked again.
bool Tf_main::saveProgress() {
  if (progressNeedsSrt() &&
      question(QStringLiteral("字幕を編集したため、進捗を保存するには字幕ファイルも上書き保存する必要があります。"
                              "字幕と進捗を上書き保存しますか？"),
               QStringLiteral("セーブ"), QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
    return false;
  return writeProgress();
}

void Tf_main::a_saveExecute() {
  if (saveProgress()) logout(tl::kLogSaved);
}

void Tf_main::a_allsaveExecute() {
  if (srtsav() && subflgsave()) logout(tl::kLogAllSaved);
}

void Tf_main::N24Click() {
  if (srtsav()) logout("字幕セーブしました");
}

void Tf_main::N25Click() {
  if (!L.srtloaded) return;
  QString f = QFileDialog::getSaveFileName(this, QString(), U(L.srtpath));
  if (f.isEmpty()) return;
  tl::SaveResult r = tl::srtSaveAs(L, f.toStdString(), exedir_);
  if (!r.message.empty()) message(U(r.message));
  if (!r.ok) return;
  if (r.written) settleAdjustment();
  logout("字幕別名セーブしました");
  captionset();
  refileadd(L.srtpath);
  WriteFile();
  ReadFile();
}

void Tf_main::afterflgchg() {
  tl::afterflgchgCore(L);
  model_->announce(tl::Change::Letters);
  model_->announce(tl::Change::Scenes);
}
