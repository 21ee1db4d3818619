// Locale-free best-fit replacement for characters without a 932 form.
#pragma once

namespace tl::cp {

// The replacement character (ASCII), or 0 when there is none.
char bestFitAscii(char32_t c);

}  // namespace tl::cp
