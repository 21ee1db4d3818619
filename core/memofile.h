// The memo file: one line per slot in slot order, text in the ANSI code page
// (the memos are kept as such bytes in the Lesson), every line ended by CR LF.
#pragma once

#include <string>
#include <vector>

#include "core/lesson.h"

namespace tl {

// File bytes for the memos, padded to one line per slot.  A line break inside
// a memo would shift every later memo onto another slot, so it becomes a space.
std::string memoBytes(const Lesson& L);
// Lines of a memo file (CR LF, LF or CR end a line; a last line without an
// end counts).
std::vector<std::string> memoLines(const std::string& bytes);
// Pads submemo with empty lines up to one per slot.
void padMemos(Lesson& L);

}  // namespace tl
