// A small builder of slot tables for tests and benchmarks.
//
//   tl::Lesson L = tl::test::LessonBuilder()
//                      .cue(10000, 20000, "One\r\n")
//                      .cue(30000, 40000, "Two\r\n")
//                      .letters(tl::test::Letters::Hidden)
//                      .build();
//
// Cues are given in order with their times (time values, 1/10000 s) and their
// texts as bytes, CR LF included.  The table comes out as a load leaves it:
// 2N+1 slots (gaps empty; slot 0 starts at 0, the last gap at the end of the
// last cue), every per-slot array sized, srtnum = N and srtloaded set.  What a
// test needs beyond that (a cursor, a cleared cue, odd times) it sets on the
// built Lesson itself.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/lesson.h"

namespace tl::test {

// The letter states the built table starts with.
enum class Letters {
  AsLoaded,  // one state per byte, all 0, as the SRT load leaves them
  None,      // no states at all (empty per slot): for code that fills them itself
  Out,       // every byte flg_out: nothing hidden
  Hidden,    // ASCII letters flg_closed, the rest flg_out; flgtotal and flgrest counted
};

class LessonBuilder {
 public:
  // Cue k+1 (slot 2k+1) from `from` to `to` with `text`.
  LessonBuilder& cue(ttime from, ttime to, std::string text) {
    cues_.push_back({from, to, std::move(text)});
    return *this;
  }
  // n cues, cue k (from 1) from k*step to k*step+length, all with `text`.
  LessonBuilder& cues(int n, ttime step, ttime length, const std::string& text) {
    for (int k = 1; k <= n; ++k) cue(ttime(k) * step, ttime(k) * step + length, text);
    return *this;
  }
  LessonBuilder& letters(Letters l) {
    letters_ = l;
    return *this;
  }
  // The cleared flag of every slot (a cleared table plays through without pausing).
  LessonBuilder& cleared(int32_t v = 1) {
    cleared_ = v;
    return *this;
  }
  // The displayed slot (cursub).
  LessonBuilder& at(int32_t slot) {
    cursub_ = slot;
    return *this;
  }
  // A table that is not marked loaded (srtloaded false).
  LessonBuilder& unloaded() {
    loaded_ = false;
    return *this;
  }

  Lesson build() const {
    Lesson L;
    const int32_t n = (int32_t)cues_.size();
    L.subcount = 2 * n + 1;
    L.srtnum = n;
    L.subtime.assign(L.subcount, 0);
    L.subtext.assign(L.subcount, "");
    for (int32_t k = 0; k < n; ++k) {
      L.subtime[2 * k + 1] = cues_[k].from;
      L.subtime[2 * k + 2] = cues_[k].to;
      L.subtext[2 * k + 1] = cues_[k].text;
    }
    L.subflg.assign(L.subcount, {});
    if (letters_ != Letters::None)
      for (int32_t i = 0; i < L.subcount; ++i)
        for (unsigned char c : L.subtext[i]) {
          int32_t f = letters_ == Letters::AsLoaded ? flg_open : flg_out;
          if (letters_ == Letters::Hidden && asciiLetter(c)) {
            f = flg_closed;
            ++L.flgtotal;
          }
          L.subflg[i].push_back(f);
        }
    L.flgrest = L.flgtotal;
    L.subclear.assign(L.subcount, cleared_);
    L.substar.assign(L.subcount, 0);
    L.subwavex.assign(L.subcount, 0);
    L.submemo.assign(L.subcount, "");
    L.jawd.assign(L.subcount, {});
    L.jasnt.assign(L.subcount, "");
    L.cursub = cursub_;
    L.srtloaded = loaded_;
    return L;
  }

 private:
  struct Cue {
    ttime from, to;
    std::string text;
  };
  std::vector<Cue> cues_;
  Letters letters_ = Letters::AsLoaded;
  int32_t cleared_ = 0;
  int32_t cursub_ = 0;
  bool loaded_ = true;
};

}  // namespace tl::test
