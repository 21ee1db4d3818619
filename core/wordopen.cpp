#include "core/wordopen.h"

#include <algorithm>
#include <vector>

#include "platform/codepage/ascii.h"
#include "platform/codepage/codepage.h"

namespace tl::word {

int openWord(Lesson& L, const std::string& word932) {
  if (word932.empty()) return 0;
  const std::string w = cp::lowerAscii(word932);
  int count = 0;
  const int32_t slots = std::min<int64_t>(L.subcount, (int64_t)L.subtext.size());
  for (int32_t i = 0; i < slots; ++i) {
    const std::string text = cp::lowerAscii(L.subtext[i]);
    // Character starts: a match never begins on the second byte of a
    // double-byte character.
    std::vector<bool> start(text.size(), true);
    for (size_t j = 0; j < text.size(); ++j)
      if (cp::isLeadByte((unsigned char)text[j]) && j + 1 < text.size()) start[++j] = false;
    size_t p = 0;
    while (p + w.size() <= text.size()) {
      size_t at = text.find(w, p);
      if (at == std::string::npos) break;
      const size_t end = at + w.size();
      const bool whole = start[at] && (at == 0 || L.flg(i, (int64_t)at - 1) == flg_out) &&
                         (end == text.size() || L.flg(i, (int64_t)end) == flg_out);
      if (!whole) {
        p = at + 1;
        continue;
      }
      ++count;
      L.flgdirty = true;
      if (i < (int32_t)L.subflg.size()) {
        auto& f = L.subflg[i];
        for (size_t j = at; j < end && j < f.size(); ++j)
          if (flgHidden(f[j])) f[j] = flg_hinted;
      }
      p = end;
    }
  }
  return count;
}

}  // namespace tl::word
