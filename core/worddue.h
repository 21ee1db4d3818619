// When a registered word comes up in the word test.
//
// A record's level (0..3) and the time since its registration decide: the
// highest step i of 2, 1, 0 whose interval (7, 1, 0 days) has passed and
// that is not below the level makes the record due, and OK then stores
// i + 1.  Intervals count from the registration, not from the last answer.
#pragma once

#include <cstdint>

#include "core/wordrecord.h"

namespace tl::word {

struct Due {
  bool due = false;
  int nextlevel = 0;  // the level OK stores
};

Due review(int level, double elapsedDays);
// The same for a record registered at `when`, seen at `now` (both local).
Due reviewAt(int level, const Stamp& when, const Stamp& now);

}  // namespace tl::word
