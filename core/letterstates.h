// Letter states of the slot table: the initial hiding of a file without
// saved progress, and the recount after a bulk change of states.
#pragma once

#include "core/lesson.h"

namespace tl {

// Initial letter states (no progress file).  flgtotal := 0; for every slot:
// a slot whose text holds ".com", ".net", ".org", ".us", "www.", ".jp" or
// "@" (case-sensitive), or, among the first four and the last four slots,
// whose lower-cased text holds "sub", "english" or "spanish", is excluded:
// every byte flg_out and subclear 1.  Otherwise both bytes of a double-byte
// character are flg_out; "(" saves the hide switch and turns it off, ")"
// restores it (both reset at the start of each slot); an ASCII letter while
// hiding is flg_closed and counts into flgtotal, anything else flg_out.
// Finally flgrest := flgtotal.  subclear of the other slots is 0.
// subflg and subclear are sized to the texts first.
void closeflginit(Lesson& l);

// The counting part of the recount: flgrest := hidden letters, flgtotal :=
// bytes whose state is not flg_out and whose byte is an ASCII letter;
// subclear[i] := 0 when slot i has a hidden letter, else 1 (gaps and
// letterless cues become 1).  The caller goes on with the rest of the
// recount: scene flags cleared and Scenecut, flgdirty on, main window
// refresh, cursor back (beforeword), list refill.
void recountflags(Lesson& l);

}  // namespace tl
