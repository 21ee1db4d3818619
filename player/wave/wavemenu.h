// Commands of the "波形" menu that reach outside the window: choosing the
// playback mix as the recording input, and playing an audio CD.
#pragma once

#include <QString>

#include <functional>

namespace tl {
class Shell;
class MediaPlayer;
class Drives;
}  // namespace tl

// pavucontrol's tab with the recording streams (1-based).
inline constexpr const char* kRecordingTab = "2";

// "ステレオミックス選択": starts the volume control on its recording tab; when
// it cannot start, tells how to choose the monitor of the output by command.
// False when the volume control did not start.
bool N45Click(tl::Shell& shell, const std::function<void(const QString&)>& message);

// "CD再生": the first drive's tracks as the playlist.  True when something
// plays (the caller then runs the first play and counts the medium as open);
// with no drive or no disc nothing plays and the message says why.
bool CD1Click(tl::MediaPlayer& player, const tl::Drives* drives,
              const std::function<void(const QString&)>& message);
