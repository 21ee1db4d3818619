// The three texts a time value is shown and written as.
//
// For a time value t (1/10000 s): s = t / 10000 truncated toward zero,
// hours = s / 3600, minutes = (s % 3600) / 60, seconds = s % 60, all
// truncated toward zero.  The hour field is "0" followed by the hour count
// with no further padding ("00" below one hour, "010" at ten hours); minutes
// and seconds are padded to two characters, the fraction to four or three.
// Nothing is rounded, and a negative time carries its minus signs inside the
// fields (-1.5 s is "00:00:-1,-5000").
#pragma once

#include <string>

#include "core/lesson.h"

namespace tl {

// The largest subtitle time (about 317 000 years either way).  Every time
// read or computed stays inside +-kTimeMax, so sums and differences of two
// times, shifts and stretches never overflow the 64-bit time value.
constexpr ttime kTimeMax = 100000000000000000LL;
inline bool timeFits(__int128 t) { return t >= -(__int128)kTimeMax && t <= (__int128)kTimeMax; }

// The decimal text of n with "0" put in front until it has at least `width`
// characters (a minus sign counts as one): inttostr2(7, 3) == "007".
std::string inttostr2(long long n, int width);

// "0h:MM:SS,FFFF" (fraction in 1/10000 s): status bar, list window, extract.
std::string sec2str_4(ttime t);
// "0h:MM:SS,mmm" (milliseconds, truncated): the SRT form.
std::string sec2str_3(ttime t);
// "0h:MM:SS": whole seconds only.
std::string sec2str_0(ttime t);

}  // namespace tl
