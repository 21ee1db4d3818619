// Small pure helpers of the media layer: how the player's URLs become mpv
// sources, and the duration text.
#pragma once

#include <string>
#include <vector>

namespace tl::media {

// What mpv is asked to open for one of our URLs.
struct Source {
  std::string url;        // what loadfile gets
  std::string dvdDevice;  // non-empty: set as dvd-device first
  bool cd = false;        // a disc of the CD drive (cdrom-device applies)
  int chapter = -1;       // >= 0: start at this chapter (CD track - 1)
};

// "wmpdvd://X" plays the DVD of drive X (a device path such as /dev/sr0; any
// other X means the default drive); "cdda://" the whole audio CD and
// "cdda://N" its track N; anything else is passed on as it is.
Source mapUrl(const std::string& url);

// CD track number of "cdda://N", 0 for "cdda://", -1 for other URLs.
int cdTrackOf(const std::string& url);

// "MM:SS" below an hour, "H:MM:SS" from one hour on; "" when unknown (<= 0).
std::string durationText(double seconds);

// The status text shown for a play state; after a failure (no state) the
// reason of the failure.
std::string statusText(int playState, const std::string& lastError);

// Audio tracks of the disc in drive (device path; "" = /dev/cdrom); empty when
// the drive or its table of contents cannot be read.
std::vector<int> readCdTracks(const std::string& drive, std::string* device = nullptr);

}  // namespace tl::media
