#include "core/dictation.h"

#include <algorithm>

#include "core/letterstates.h"
#include "core/navigation.h"
#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"
#include "core/scenes.h"

namespace tl {

const char* const kMsgAllCleared =
    "おめでとうございます！この字幕について全てクリアしました！ヒント使用文字を再び隠して復習できます";
const char* const kMsgGiveupLimit =
    "3回以上文章を繰り返し聴かないと文をギブアップ出来ません(オプションで制限解除出来ます)";

std::string hintRefusal(int32_t hintcost) {
  return "ヒント回数がないので使えません　" + std::to_string(hintcost) + "文字あけるごとにヒントが１回使えます";
}

namespace {

int32_t cueLength(const Lesson& L) {
  return L.validSlot(L.cursub) ? (int32_t)L.subtext[L.cursub].size() : 0;
}

bool hiddenAt(const Lesson& L, int32_t j) { return flgHidden(L.flg(L.cursub, j)); }

// Puts subcsr back inside the displayed cue's text.
void clampCursor(Lesson& L) {
  const int32_t n = cueLength(L);
  if (L.subcsr < 0 || n == 0) L.subcsr = 0;
  else if (L.subcsr >= n) L.subcsr = n - 1;
}

bool displayedCleared(const Lesson& L) {
  return L.cursub >= 0 && L.cursub < (int32_t)L.subclear.size() && L.subclear[L.cursub] == 1;
}

}  // namespace

bool hasDisplayedCue(const Lesson& L) {
  return Lesson::isCue(L.cursub) && L.validSlot(L.cursub) && L.cursub < (int32_t)L.subflg.size() &&
         L.cursub < (int32_t)L.subclear.size();
}

bool cursorToHidden(Lesson& L, int32_t start) {
  const int32_t n = cueLength(L);
  if (n == 0) {
    L.subcsr = 0;
    return false;
  }
  if (start < 0 || start >= n) start = 0;
  for (int32_t k = 0; k < n; ++k) {
    const int32_t j = (start + k) % n;
    if (hiddenAt(L, j)) {
      L.subcsr = j;
      return true;
    }
  }
  clampCursor(L);
  return false;
}

bool cursorNextWord(Lesson& L, int32_t start) {
  const int32_t n = cueLength(L);
  if (n == 0) {
    L.subcsr = 0;
    return false;
  }
  if (start < 0 || start >= n) start = 0;
  // Visits start .. n-1, then (after looking at letter 0) 0 .. start-1.
  int32_t i = start;
  for (int32_t steps = 0; steps < n; ++steps) {
    if (!hiddenAt(L, i) && i + 1 < n && hiddenAt(L, i + 1)) {
      L.subcsr = i + 1;
      return true;
    }
    if (++i >= n) {
      if (hiddenAt(L, 0)) {
        L.subcsr = 0;
        return true;
      }
      i = 0;
    }
    if (i == start) break;
  }
  clampCursor(L);
  return false;
}

bool cursorBeforeWord(Lesson& L, int32_t start) {
  const int32_t n = cueLength(L);
  if (n == 0) {
    L.subcsr = 0;
    return false;
  }
  if (start < 0 || start >= n) start = 0;
  // Visits start-1 down to 0, then n-1 down to start+1.
  int32_t k = start - 1;
  for (int32_t steps = 0; steps < n; ++steps) {
    if (k < 1) {
      if (hiddenAt(L, 0) && start != 0) {
        L.subcsr = 0;
        return true;
      }
      k = n - 1;
    }
    if (k == start) break;
    if (hiddenAt(L, k) && !hiddenAt(L, k - 1)) {
      L.subcsr = k;
      return true;
    }
    --k;
    if (k == start) break;
  }
  clampCursor(L);
  return false;
}

std::vector<bool> typableLetters(const std::string& text) {
  std::vector<bool> m(text.size(), false);
  for (size_t j = 0; j < text.size(); ++j) {
    const unsigned char b = (unsigned char)text[j];
    if (cp::isLeadByte(b)) {
      if (j + 1 < text.size() && cp::isTrailByte((unsigned char)text[j + 1])) ++j;
      continue;
    }
    m[j] = asciiLetter(b);
  }
  return m;
}

std::string letterRunAt(const std::string& text, int32_t pos) {
  if (pos < 0 || pos >= (int32_t)text.size() || !asciiLetter((unsigned char)text[pos])) return {};
  int32_t a = pos, b = pos + 1;
  while (a > 0 && asciiLetter((unsigned char)text[a - 1])) --a;
  while (b < (int32_t)text.size() && asciiLetter((unsigned char)text[b])) ++b;
  return text.substr(a, b - a);
}

void afterflgchgCore(Lesson& L) {
  recountflags(L);
  for (auto& f : L.sceneflg) f = 0;
  Scenecut(L, kSceneGapDefault, 0);
  L.flgdirty = true;
  clampCursor(L);
  if (L.srtloaded && hasDisplayedCue(L) && !displayedCleared(L)) cursorBeforeWord(L, L.subcsr);
}

// ---------------------------------------------------------------------------

void Dictation::sceneCheck(DictOutcome& out) {
  if (!sceneflgset(L)) return;
  if (soundAllowed()) out.sounds.push_back(CueSound::SCLR);
  if (L.flgrest < 1) {
    out.message = kMsgAllCleared;
    out.congratulate = true;
  }
}

void Dictation::cueCleared(DictOutcome& out) {
  if (soundAllowed()) out.sounds.push_back(CueSound::BCLR);
  L.hintpoint += 1;
  L.subclear[L.cursub] = 1;
  sceneCheck(out);
  out.changes.add(Change::Letters, L.cursub);
}

void Dictation::csrset(int32_t start, DictOutcome& out) {
  if (O.subopenmode || !L.srtloaded || !hasDisplayedCue(L)) return;
  if (!cursorToHidden(L, start) && !displayedCleared(L)) cueCleared(out);
}

bool Dictation::opencsr(int32_t state, DictOutcome& out) {
  if (O.subopenmode || !hasDisplayedCue(L) || displayedCleared(L)) return false;
  clampCursor(L);
  const int32_t old = L.subcsr;
  if (!hiddenAt(L, old)) return false;

  L.subflg[L.cursub][old] = state;
  L.flgdirty = true;
  L.flgrest -= 1;
  out.opened = true;

  csrset(old, out);

  if (L.subcsr != old + 1) {
    lastword = letterRunAt(L.subtext[L.cursub], old);
    if (O.autocopy && !lastword.empty()) {
      out.clipboard = lastword;
      out.logLine = lastword + "コピーしました";
    }
  }

  out.changes.add(Change::Letters, L.cursub);
  out.marks.push_back({LetterMark::Letter, old, 0});
  out.marks.push_back({LetterMark::Underline, old, state == flg_hinted ? kUnderRed : kUnderWhite});
  out.marks.push_back({LetterMark::Underline, L.subcsr, kUnderYellow});
  return true;
}

void Dictation::underlineOld(int32_t old, DictOutcome& out) {
  out.changes.add(Change::Cursor, L.cursub);
  const int32_t f = L.flg(L.cursub, old);
  out.marks.push_back({LetterMark::Underline, old, (f == flg_closed || f == flg_hinted) ? kUnderRed : kUnderWhite});
  if (!displayedCleared(L)) out.marks.push_back({LetterMark::Underline, L.subcsr, kUnderYellow});
}

void Dictation::nextword(int32_t start, bool foreground, DictOutcome& out) {
  if (!L.srtloaded || !foreground || !hasDisplayedCue(L) || displayedCleared(L) || cueLength(L) == 0) return;
  clampCursor(L);
  const int32_t old = L.subcsr;
  cursorNextWord(L, start);
  underlineOld(old, out);
}

void Dictation::beforeword(int32_t start, bool foreground, DictOutcome& out) {
  if (!L.srtloaded || !foreground || !hasDisplayedCue(L) || displayedCleared(L) || cueLength(L) == 0) return;
  clampCursor(L);
  const int32_t old = L.subcsr;
  cursorBeforeWord(L, start);
  underlineOld(old, out);
}

// ---------------------------------------------------------------------------

DictOutcome Dictation::keyPress(char ch, bool foreground) {
  DictOutcome out;
  if (!L.srtloaded || !foreground || L.cursub == 0 || displayMode() || peekkey) return out;
  if (ch < 'a' || ch > 'z') return out;
  if (!hasDisplayedCue(L)) return out;
  clampCursor(L);
  const std::string& text = L.subtext[L.cursub];
  if (L.subcsr >= (int32_t)text.size()) return out;
  const unsigned char c = (unsigned char)cp::lowerAscii(text[L.subcsr]);
  if (c == (unsigned char)ch && opencsr(flg_open, out)) L.hintpoint += 1;
  return out;
}

DictOutcome Dictation::wordBack(bool foreground) {
  DictOutcome out;
  beforeword(L.subcsr, foreground, out);
  return out;
}

DictOutcome Dictation::wordNext(bool foreground) {
  DictOutcome out;
  nextword(L.subcsr, foreground, out);
  return out;
}

DictOutcome Dictation::hint() {
  DictOutcome out;
  if (!L.srtloaded || !hasDisplayedCue(L)) return out;
  if (O.hintmode && L.hintpoint < L.hintcost) {
    out.message = hintRefusal(L.hintcost);
    return out;
  }
  if (opencsr(flg_hinted, out)) L.hintpoint -= L.hintcost;
  return out;
}

DictOutcome Dictation::giveup(bool foreground) {
  DictOutcome out;
  if (!foreground || !L.srtloaded || !hasDisplayedCue(L)) return out;
  if (O.giveup && L.repcount < kGiveupRepeats) {
    out.message = kMsgGiveupLimit;
    return out;
  }
  for (auto& f : L.subflg[L.cursub]) {
    if (flgHidden(f)) {
      f = flg_hinted;
      L.flgrest -= 1;
    }
  }
  L.subclear[L.cursub] = 1;
  sceneCheck(out);
  out.changes.add(Change::Letters, L.cursub);
  L.flgdirty = true;
  return out;
}

DictOutcome Dictation::hidehint() {
  DictOutcome out;
  if (!L.srtloaded) return out;
  const int32_t n = std::min<int32_t>((int32_t)L.subflg.size(), (int32_t)L.subtext.size());
  for (int32_t i = 0; i < n; ++i) {
    auto& f = L.subflg[i];
    const std::vector<bool> letter = typableLetters(L.subtext[i]);
    for (size_t j = 0; j < f.size() && j < letter.size(); ++j) {
      // Only letters can be typed, so only letters are hidden again.
      if (f[j] == flg_hinted && letter[j]) {
        f[j] = flg_closed;
        L.flgrest += 1;
      }
    }
  }
  afterflgchgCore(L);
  out.changes.add(Change::Letters);
  out.changes.add(Change::Scenes);
  return out;
}

DictOutcome Dictation::backclose() {
  DictOutcome out;
  if (!L.srtloaded) return out;
  auto uncleared = [&](int32_t s) {
    return s >= 1 && s < L.subcount && s < (int32_t)L.subclear.size() && s < (int32_t)L.subtime.size() &&
           L.subclear[s] == 0;
  };
  // Nearest uncleared cue before the displayed one, then back to the start of its run.
  int32_t k = Lesson::isCue(L.cursub) ? L.cursub - 2 : L.cursub - 1;
  while (k >= 1 && !uncleared(k)) k -= 2;
  if (k < 1) return out;
  while (uncleared(k - 2)) k -= 2;
  out.play = true;
  out.playSlot = 0;
  out.playTime = leadIn(L.subtime[k], (ttime)O.backmore * 10);
  return out;
}

DictOutcome Dictation::nextclose() {
  DictOutcome out;
  if (!L.srtloaded) return out;
  const int32_t last = std::min<int32_t>({L.subcount, (int32_t)L.subclear.size(), (int32_t)L.subtime.size()});
  for (int32_t k = Lesson::isCue(L.cursub) ? L.cursub + 2 : L.cursub + 1; k >= 1 && k < last; k += 2) {
    if (L.subclear[k] == 0) {
      out.play = true;
      out.playSlot = 0;
      out.playTime = leadIn(L.subtime[k], (ttime)O.backmore * 10);
      break;
    }
  }
  return out;
}

DictOutcome Dictation::cueDisplayed() {
  DictOutcome out;
  csrset(0, out);
  return out;
}

}  // namespace tl
