#include "player/wave/wavemenu.h"

#include "platform/drives/drives.h"
#include "platform/media/mediaplayer.h"
#include "platform/shell/shell.h"

bool N45Click(tl::Shell& shell, const std::function<void(const QString&)>& message) {
  std::string err;
  if (shell.startProgram("pavucontrol", {"-t", kRecordingTab}, &err)) return true;
  if (message)
    message(QStringLiteral("音量調節を起動できませんでした（%1）。\n"
                           "再生中の音を波形に表示するには、出力のモニターを録音入力にします:\n"
                           "pactl set-default-source <sink>.monitor")
                .arg(QString::fromStdString(err)));
  return false;
}

bool CD1Click(tl::MediaPlayer& player, const tl::Drives* drives,
              const std::function<void(const QString&)>& message) {
  const std::vector<tl::Drive> list = drives ? drives->list() : std::vector<tl::Drive>{};
  if (list.empty()) {
    if (message) message(QStringLiteral("CDドライブがありません"));
    return false;
  }
  std::vector<std::string> tracks;
  try {
    tracks = player.cdTracks(list.front().device);
  } catch (const std::exception&) {
    tracks.clear();
  }
  if (tracks.empty()) {
    if (message) message(QStringLiteral("CDが入っていません"));
    return false;
  }
  try {
    player.playList(tracks);
  } catch (const std::exception& e) {
    if (message) message(QString::fromUtf8(e.what()));
    return false;
  }
  return true;
}
