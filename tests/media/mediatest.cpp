#include "mediatest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <clocale>
#include <cstdio>
#include <mpv/client.h>
#include <stdexcept>

namespace tl::test {

bool waitFor(const std::function<bool()>& pred, int timeoutMs) {
  QElapsedTimer t;
  t.start();
  while (!pred()) {
    if (t.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}

void spin(int ms) {
  QElapsedTimer t;
  t.start();
  while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

int encodeTestClip(const std::string& path,
                   const std::vector<std::pair<const char*, const char*>>& encoderOptions, int seconds) {
  std::setlocale(LC_NUMERIC, "C");
  mpv_handle* m = mpv_create();
  if (!m) return -1;
  mpv_set_option_string(m, "o", path.c_str());
  for (auto [k, v] : encoderOptions) mpv_set_option_string(m, k, v);
  for (const char* k : {"terminal", "config", "ytdl"}) mpv_set_option_string(m, k, "no");
  mpv_initialize(m);
  const std::string d = std::to_string(seconds);
  const std::string source = "av://lavfi:testsrc=size=320x240:rate=25:duration=" + d +
                             "[out0];sine=frequency=440:duration=" + d + "[out1]";
  const char* cmd[] = {"loadfile", source.c_str(), nullptr};
  mpv_command(m, cmd);
  int error = -1;
  for (;;) {
    mpv_event* e = mpv_wait_event(m, 20);
    if (e->event_id == MPV_EVENT_NONE) break;
    if (e->event_id == MPV_EVENT_END_FILE) {
      auto* ef = static_cast<mpv_event_end_file*>(e->data);
      error = ef->reason == MPV_END_FILE_REASON_EOF ? 0 : ef->error;
      break;
    }
  }
  mpv_terminate_destroy(m);  // finishes the file
  return error;
}

namespace {
std::string makeClip(const std::string& path) {
  if (encodeTestClip(path, {{"ovc", "mpeg4"}, {"ovcopts", "qscale=3"}, {"oac", "aac"}}, 5) != 0)
    throw std::runtime_error("clip could not be encoded");
  return path;
}
}  // namespace

const std::string& clipPath() {
  static QTemporaryDir dir(QDir::tempPath() + "/tl-media-XXXXXX");
  static const std::string path = makeClip(dir.filePath("clip.mkv").toStdString());
  return path;
}

void PlayerTimerView::playpause() {
  if (player.playState() == ps_playing) {
    player.pause();
    double p = 0;
    player.currentPosition(p);
    pausedAt.push_back(p);
  } else {
    player.play();
  }
}

}  // namespace tl::test
