// The overlay's own mouse cursors, drawn here rather than taken from the
// desktop's theme: the open hand over the text (it can be dragged), the
// closed hand while dragging, and the page turn over the black band (a click
// takes it away).
#pragma once

#include <QCursor>
#include <array>

namespace tl::ui {

// Cursors 0 arrow, 1 open hand, 2 closed hand, 3 page turn.
std::array<QCursor, 4> overlayCursors();

}  // namespace tl::ui
