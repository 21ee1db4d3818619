// Helpers of the media tests: waiting on the event loop and the test clip.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tl::test {

// Runs the event loop until pred() holds or timeoutMs passed; returns pred().
bool waitFor(const std::function<bool()>& pred, int timeoutMs = 5000);
// Runs the event loop for ms milliseconds.
void spin(int ms);

// Encodes `seconds` of a test picture (320x240, 25 fps) with a 440 Hz sine
// into `path` with libmpv's encoder, using the given encoder options (o is
// set from path).  Returns 0, or mpv's error (-1 when mpv could not start).
int encodeTestClip(const std::string& path,
                   const std::vector<std::pair<const char*, const char*>>& encoderOptions, int seconds);

// A 5 s clip (320x240, 25 fps, mpeg4 video, 440 Hz aac sound) made once per
// test program with libmpv's encoder in a temporary folder.
const std::string& clipPath();

}  // namespace tl::test
