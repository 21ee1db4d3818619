#include "platform/media/mediaurl.h"

#include "platform/codepage/ascii.h"
#include "platform/media/mediaplayer.h"

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace tl::media {

namespace {
bool startsWithNoCase(const std::string& s, const char* prefix) {
  for (size_t i = 0; prefix[i]; ++i) {
    if (i >= s.size()) return false;
    if (cp::lowerAscii(s[i]) != prefix[i]) return false;
  }
  return true;
}

bool allDigits(const std::string& s) {
  if (s.empty() || s.size() > 3) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  return true;
}
}  // namespace

int cdTrackOf(const std::string& url) {
  if (!startsWithNoCase(url, "cdda://")) return -1;
  std::string rest = url.substr(7);
  while (!rest.empty() && rest.back() == '/') rest.pop_back();
  if (rest.empty()) return 0;
  if (!allDigits(rest)) return -1;
  return std::stoi(rest);
}

Source mapUrl(const std::string& url) {
  Source s;
  if (startsWithNoCase(url, "wmpdvd://")) {
    s.url = "dvd://";
    std::string drive = url.substr(9);
    if (!drive.empty() && drive[0] == '/') s.dvdDevice = drive;
    return s;
  }
  const int track = cdTrackOf(url);
  if (track >= 0) {
    // mpv opens the whole disc with one chapter per track.
    s.url = "cdda://";
    s.cd = true;
    if (track > 0) s.chapter = track - 1;
    return s;
  }
  s.url = url;
  return s;
}

std::string durationText(double seconds) {
  if (!(seconds > 0) || !std::isfinite(seconds)) return {};
  long long t = std::llround(seconds);
  const long long h = t / 3600, m = t / 60 % 60, sec = t % 60;
  char buf[48];
  if (h > 0)
    std::snprintf(buf, sizeof buf, "%lld:%02lld:%02lld", h, m, sec);
  else
    std::snprintf(buf, sizeof buf, "%02lld:%02lld", m, sec);
  return buf;
}

std::vector<int> readCdTracks(const std::string& drive, std::string* device) {
  const std::string dev = drive.empty() || drive[0] != '/' ? std::string("/dev/cdrom") : drive;
  if (device) *device = dev;
  std::vector<int> tracks;
  const int fd = ::open(dev.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return tracks;
  cdrom_tochdr hdr{};
  if (::ioctl(fd, CDROMREADTOCHDR, &hdr) == 0 && hdr.cdth_trk0 >= 1 &&
      hdr.cdth_trk1 >= hdr.cdth_trk0) {
    for (int t = hdr.cdth_trk0; t <= hdr.cdth_trk1; ++t) {
      cdrom_tocentry e{};
      e.cdte_track = static_cast<__u8>(t);
      e.cdte_format = CDROM_MSF;
      if (::ioctl(fd, CDROMREADTOCENTRY, &e) != 0) continue;
      if (e.cdte_ctrl & CDROM_DATA_TRACK) continue;
      tracks.push_back(t);
    }
  }
  ::close(fd);
  return tracks;
}

std::string statusText(int playState, const std::string& lastError) {
  switch (playState) {
    case ps_playing: return "再生中";
    case ps_paused: return "一時停止";
    case ps_stopped:
    case ps_ended: return "停止";
    case ps_ready: return "準備完了";
    case ps_transitioning: return "メディアを開いています...";
    default: return lastError;
  }
}

}  // namespace tl::media
