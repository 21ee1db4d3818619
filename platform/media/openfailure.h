// The learner's words for why a medium did not open, from the player's own
// (English) reason.
#pragma once

#include <string>

namespace tl::media {

// "再生に失敗しました" with the reason in Japanese on the first line and the
// player's own line, as it came, on the second (empty: the first line only).
std::string openFailureText(const std::string& playerReason);

}  // namespace tl::media
