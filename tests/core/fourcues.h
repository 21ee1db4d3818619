// The lesson of the core tests that need real load results: cues at 1-2 s,
// 3-4 s, 5-6 s (two lines) and 10-12 s (a 20-byte text), read as a file.
#pragma once

#include <gtest/gtest.h>

#include "core/lesson.h"
#include "core/srtread.h"

namespace tl::test {

inline Lesson fourCues() {
  Lesson l;
  const LoadResult r = loadSrtBytes(
      "1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\n\r\n"
      "2\r\n00:00:03,000 --> 00:00:04,000\r\nTwo\r\n\r\n"
      "3\r\n00:00:05,000 --> 00:00:06,000\r\nab\r\ncd\r\n\r\n"
      "4\r\n00:00:10,000 --> 00:00:12,000\r\n123456789012345678\r\n\r\n",
      "/x/t.srt", 28591, "/d/", l);
  EXPECT_TRUE(r.ok);
  return l;
}

}  // namespace tl::test
