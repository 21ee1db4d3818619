// The option flags and values the main window holds, named as their settings.
// Loading and storing them is the settings code's business; core logic only
// reads them.  Defaults are those of a first start.
#pragma once

#include <cstdint>
#include <string>

namespace tl {

struct Options {
  // section "option"
  bool hintmode = false;     // hint limit: a hint needs enough credits
  bool giveup = false;       // give-up limit: only after the third repeat
  bool pausemode = true;     // pause at each sentence end
  bool subopenmode = false;  // display mode with underlines
  bool subview = false;      // display mode, letters only
  bool soundmode = true;     // clear sounds
  bool notclearpause = true; // no pause after a cleared sentence
  bool orgsize = true;       // fit the window to the video at play start
  bool nextsubplus = true;   // next sentence also starts the lead-in earlier
  bool autocopy = false;     // typed word copied to the clipboard
  bool adjcrt = true;        // timing shifts only from the marked cue on
  int32_t backmore = 1000;   // lead-in in milliseconds
  int32_t tinterval = 50;    // main timer interval in milliseconds
  int32_t codepage = 28591;  // code page the next SRT is decoded with

  // section "view" (menu check marks)
  bool outline = true, bold = true, xcenter = true, panelsub = true, gpresub = true,
       gnextsub = true, prenextsub = true, speedvis = false, focusbar = true,
       playwav = true, recwav = false, gsubno = true, xp = true, win7 = false,
       dispsub = true, startreset = false, gtssnt = true, gtsword = true, jaclose = false;
};

}  // namespace tl
