// Builds the demo video: a plain picture with the demo speech as its sound,
// written by libmpv's encoder (no other program needed).
//
// usage: tl_democlip SPEECH.wav OUT.mkv
#include <mpv/client.h>

#include <clocale>
#include <cstdlib>
#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SPEECH.wav OUT.mkv\n", argv[0]);
    return 2;
  }
  std::setlocale(LC_NUMERIC, "C");

  // The speech's length decides the picture's.
  double seconds = 0;
  {
    mpv_handle* probe = mpv_create();
    if (!probe) return 1;
    mpv_set_option_string(probe, "config", "no");
    mpv_set_option_string(probe, "terminal", "no");
    mpv_set_option_string(probe, "ao", "null");
    mpv_set_option_string(probe, "vo", "null");
    mpv_set_option_string(probe, "pause", "yes");
    mpv_initialize(probe);
    const char* load[] = {"loadfile", argv[1], nullptr};
    mpv_command(probe, load);
    for (;;) {
      mpv_event* e = mpv_wait_event(probe, 10);
      if (e->event_id == MPV_EVENT_FILE_LOADED) {
        mpv_get_property(probe, "duration", MPV_FORMAT_DOUBLE, &seconds);
        break;
      }
      if (e->event_id == MPV_EVENT_END_FILE || e->event_id == MPV_EVENT_NONE) break;
    }
    mpv_terminate_destroy(probe);
  }
  if (!(seconds > 0)) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }

  // Written beside the target and renamed when complete.
  const std::string part = std::string(argv[2]) + ".part";
  mpv_handle* m = mpv_create();
  if (!m) return 1;
  const std::pair<const char*, const char*> options[] = {
      {"config", "no"},  {"terminal", "no"}, {"ytdl", "no"},
      {"o", part.c_str()},    {"of", "matroska"}, {"ovc", "mpeg4"},
      {"ovcopts", "qscale=4"},
      // Uncompressed sound keeps every sample where the subtitles expect it.
      {"oac", "pcm_s16le"},
      {"sub-auto", "no"},
      {"sid", "no"},
  };
  for (auto [name, value] : options) mpv_set_option_string(m, name, value);
  // The sound comes from the speech file (a list of one path, whatever
  // characters the path holds).
  mpv_node path{};
  path.format = MPV_FORMAT_STRING;
  path.u.string = argv[1];
  mpv_node_list list{};
  list.num = 1;
  list.values = &path;
  mpv_node files{};
  files.format = MPV_FORMAT_NODE_ARRAY;
  files.u.list = &list;
  if (mpv_set_option(m, "audio-files", MPV_FORMAT_NODE, &files) < 0) return 1;
  if (mpv_initialize(m) < 0) return 1;
  char graph[160];
  std::snprintf(graph, sizeof graph,
                "av://lavfi:color=c=0x203848:size=640x360:rate=25:duration=%.3f", seconds);
  const char* load[] = {"loadfile", graph, nullptr};
  mpv_command(m, load);
  int result = 1;
  for (;;) {
    mpv_event* e = mpv_wait_event(m, 60);
    if (e->event_id == MPV_EVENT_NONE) break;
    if (e->event_id == MPV_EVENT_END_FILE) {
      auto* ef = static_cast<mpv_event_end_file*>(e->data);
      result = ef->reason == MPV_END_FILE_REASON_EOF ? 0 : 1;
      break;
    }
  }
  mpv_terminate_destroy(m);  // finishes the file
  if (result == 0 && std::rename(part.c_str(), argv[2]) != 0) result = 1;
  if (result != 0) {
    std::remove(part.c_str());
    std::fprintf(stderr, "%s: encoding failed\n", argv[0]);
  }
  return result;
}
