#include "core/letterstates.h"

#include <algorithm>
#include <string>

#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"

namespace tl {

namespace {

bool excluded(const std::string& text, int32_t slot, int32_t count) {
  for (const char* mark : {".com", ".net", ".org", ".us", "www.", ".jp", "@"})
    if (text.find(mark) != std::string::npos) return true;
  if (slot < 4 || slot >= count - 4) {
    const std::string lower = cp::lowerAscii(text);
    for (const char* word : {"sub", "english", "spanish"})
      if (lower.find(word) != std::string::npos) return true;
  }
  return false;
}

// Gives subflg and subclear one entry per byte / per slot (keeping what
// fits), so that the loops below never index outside them.
void fitTable(Lesson& l) {
  const size_t count = std::min<size_t>(std::max<int32_t>(l.subcount, 0), l.subtext.size());
  l.subflg.resize(count);
  for (size_t i = 0; i < count; ++i) l.subflg[i].resize(l.subtext[i].size(), flg_out);
  l.subclear.resize(count, 0);
}

}  // namespace

void closeflginit(Lesson& l) {
  fitTable(l);
  l.flgtotal = 0;
  const int32_t count = (int32_t)l.subflg.size();
  for (int32_t i = 0; i < count; ++i) {
    const std::string& text = l.subtext[i];
    auto& flg = l.subflg[i];
    l.subclear[i] = 0;
    if (excluded(text, i, count)) {
      l.subclear[i] = 1;
      std::fill(flg.begin(), flg.end(), flg_out);
      continue;
    }
    bool hide = true, saved = true;
    for (size_t j = 0; j < text.size(); ++j) {
      const unsigned char b = static_cast<unsigned char>(text[j]);
      if (cp::isLeadByte(b)) {
        flg[j] = flg_out;
        if (j + 1 < text.size() && cp::isTrailByte(static_cast<unsigned char>(text[j + 1]))) flg[++j] = flg_out;
        continue;
      }
      if (b == '(') {
        saved = hide;
        hide = false;
      } else if (b == ')') {
        hide = saved;
      }
      if (hide && asciiLetter(b)) {
        flg[j] = flg_closed;
        ++l.flgtotal;
      } else {
        flg[j] = flg_out;
      }
    }
  }
  l.flgrest = l.flgtotal;
}

void recountflags(Lesson& l) {
  fitTable(l);
  l.flgrest = 0;
  l.flgtotal = 0;
  for (size_t i = 0; i < l.subflg.size(); ++i) {
    const std::string& text = l.subtext[i];
    bool hidden = false;
    for (size_t j = 0; j < l.subflg[i].size(); ++j) {
      const int32_t f = l.subflg[i][j];
      if (flgHidden(f)) {
        ++l.flgrest;
        hidden = true;
      }
      if (f != flg_out && asciiLetter(static_cast<unsigned char>(text[j]))) ++l.flgtotal;
    }
    l.subclear[i] = hidden ? 0 : 1;
  }
}

}  // namespace tl
