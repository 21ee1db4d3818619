// Small string routines on 932 byte strings, with the 1-based positions the
// rest of the program counts in.
#pragma once

#include <string>

namespace tl {

// Characters from..to (1-based, both included): to - from + 1 characters from
// `from`; a start below 1 counts as 1 with the same count; a start past the
// end or a count below 1 gives an empty text; a count past the end is cut.
std::string midstr(const std::string& text, long long from, long long to);

// The part of text after the first occurrence of sep.  Without sep the text
// from the character whose index is sep's length (for a line break: from
// its second character).
std::string afterstr(const std::string& sep, const std::string& text);

// Walking from index (1-based) by step (+1 or -1): the first index whose byte
// is not an ASCII letter, or the first index outside 1..length.  An index
// outside 1..length is returned as it is.
long long wordend(const std::string& text, long long index, int step);

}  // namespace tl
