#include "core/worddue.h"

namespace tl::word {

Due review(int level, double elapsedDays) {
  static const double kReviewDays[] = {0, 1, 7};
  for (int i = 2; i >= 0; --i) {
    if (elapsedDays >= kReviewDays[i] && i >= level) return {true, i + 1};
  }
  return {};
}

Due reviewAt(int level, const Stamp& when, const Stamp& now) {
  return review(level, (double)(stampSeconds(now) - stampSeconds(when)) / 86400.0);
}

}  // namespace tl::word
