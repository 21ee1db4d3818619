#include "core/letterfilter.h"

#include <algorithm>
#include <climits>

#include <utility>

namespace tl {

const char* const kFilterCustom = "カスタム";

namespace {

const char* const kPresetCaptions[kFilterPresetCount] = {
    "ヒント使用文字を再び隠す",
    "一度開けた文字をもう一度復習する",
    "フィルタで隠した既にクリア済みの文字を再び開ける",
    "難易度の低い短い文章のみ隠す",
    "長く聞き取りに重要な単語を隠す",
    "前置詞やi、you、andなどの短い単語を隠す",
    "ランダムに単語を隠す",
    "一部だけ開いた単語を全部隠す",
    "全ての文字を隠す",
    "全ての文字を開ける",
};

FilterKinds kinds(bool c0, bool c1, bool c2, bool c3) { return FilterKinds{c0, c1, c2, c3}; }

// Hiding: typed letters hidden again, hinted letters hidden.
int32_t hideState(int32_t f, const FilterKinds& k) {
  if (f == flg_open && k.c0) return flg_reclosed;
  if (f == flg_hinted && k.c2) return flg_closed;
  return f;
}

// Opening: hidden letters shown as hinted, re-hidden letters shown as typed.
int32_t openState(int32_t f, const FilterKinds& k) {
  if (f == flg_closed && k.c1) return flg_hinted;
  if (f == flg_reclosed && k.c3) return flg_open;
  return f;
}

bool ticked(int32_t f, const FilterKinds& k) {
  return (f == flg_open && k.c0) || (f == flg_closed && k.c1) || (f == flg_hinted && k.c2) ||
         (f == flg_reclosed && k.c3);
}

bool chosenBy(int cmp, int64_t length, int32_t threshold) {
  if (cmp == kCmpAtLeast) return length >= threshold;
  if (cmp == kCmpAtMost) return length <= threshold;
  return false;
}

}  // namespace

const char* filterPresetCaption(int i) { return i >= 0 && i < kFilterPresetCount ? kPresetCaptions[i] : ""; }

// ---- the form ---------------------------------------------------------------

void FilterForm::modeClicked(FilterMode m) {
  mode = m;
  switch (m) {
    case FilterMode::Word:
      wordSubEnabled = true;
      if (wordsub == WordSub::Length) wordNumEnabled = true;
      if (wordsub == WordSub::Random) wordRndEnabled = true;
      sntEnabled = false;
      kinds = tl::kinds(false, true, true, true);
      break;
    case FilterMode::Sentence:
      sntEnabled = true;
      wordSubEnabled = wordNumEnabled = wordRndEnabled = false;
      kinds = tl::kinds(false, true, true, true);
      break;
    case FilterMode::AllClose:
      sntEnabled = wordSubEnabled = wordNumEnabled = wordRndEnabled = false;
      kinds = tl::kinds(false, false, true, false);
      break;
    case FilterMode::AllOpen:
      sntEnabled = wordSubEnabled = wordNumEnabled = wordRndEnabled = false;
      kinds = tl::kinds(false, true, false, true);
      break;
  }
}

void FilterForm::wordSubClicked(WordSub s) {
  wordsub = s;
  switch (s) {
    case WordSub::Length:
      wordNumEnabled = true;
      wordRndEnabled = false;
      kinds = tl::kinds(false, true, true, false);
      break;
    case WordSub::Random:
      wordRndEnabled = true;
      wordNumEnabled = false;
      kinds = tl::kinds(false, true, true, false);
      break;
    case WordSub::OwnTyping:
      kinds = tl::kinds(true, false, true, false);
      break;
  }
}

void FilterForm::setMode(FilterMode m) {
  if (mode != m) modeClicked(m);
}

void FilterForm::setWordSub(WordSub s) {
  if (wordsub != s) wordSubClicked(s);
}

void FilterForm::applyPreset(int i) {
  switch (i) {
    case 0:
      setMode(FilterMode::AllClose);
      kinds = tl::kinds(false, false, true, false);
      break;
    case 1:
      setMode(FilterMode::AllClose);
      kinds = tl::kinds(true, false, false, false);
      break;
    case 2:
      setMode(FilterMode::AllOpen);
      kinds = tl::kinds(false, false, false, true);
      break;
    case 3:
      setMode(FilterMode::Sentence);
      sntlen = "20";
      sntcmp = kCmpAtMost;
      kinds = tl::kinds(false, true, true, true);
      break;
    case 4:  // long words: at least 5 letters
      setMode(FilterMode::Word);
      setWordSub(WordSub::Length);
      wordlen = "5";
      wordcmp = kCmpAtLeast;
      kinds = tl::kinds(false, true, true, true);
      break;
    case 5:  // short words: at most 3 letters
      setMode(FilterMode::Word);
      setWordSub(WordSub::Length);
      wordlen = "3";
      wordcmp = kCmpAtMost;
      kinds = tl::kinds(false, true, true, true);
      break;
    case 6:
      setMode(FilterMode::Word);
      setWordSub(WordSub::Random);
      percent = "30";
      kinds = tl::kinds(false, true, true, true);
      break;
    case 7:
      setMode(FilterMode::Word);
      setWordSub(WordSub::OwnTyping);
      kinds = tl::kinds(true, false, true, false);
      break;
    case 8:
      setMode(FilterMode::AllClose);
      kinds = tl::kinds(true, false, true, false);
      break;
    case 9:
      setMode(FilterMode::AllOpen);
      kinds = tl::kinds(false, true, false, true);
      break;
    default:
      break;
  }
}

// ---- numbers ----------------------------------------------------------------

bool filterNumber(const std::string& text, int32_t& out) {
  size_t b = 0, e = text.size();
  while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
  while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t')) --e;
  if (b == e) return false;
  bool neg = false;
  if (text[b] == '+' || text[b] == '-') {
    neg = text[b] == '-';
    ++b;
  }
  if (b == e) return false;
  int64_t v = 0;
  for (size_t i = b; i < e; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > (int64_t)INT32_MAX + 1) return false;
  }
  if (neg) v = -v;
  if (v < INT32_MIN || v > INT32_MAX) return false;
  out = (int32_t)v;
  return true;
}

std::string filterNumberError(const std::string& text) { return "'" + text + "' は有効な整数値ではありません"; }

// ---- the range --------------------------------------------------------------

SlotRange filterRange(const Lesson& L, int range) {
  const int32_t n = std::min<int64_t>({(int64_t)L.subcount, (int64_t)L.subtext.size(), (int64_t)L.subflg.size()});
  SlotRange r;
  if (n <= 0) return r;
  const int32_t cur = std::clamp(L.cursub, 0, n - 1);
  switch (range) {
    case kRangeBefore:
      r = {0, cur};
      break;
    case kRangeAfter:
      r = {cur, n - 1};
      break;
    case kRangeScene: {
      const int32_t j = L.curscene;
      if (j < 0 || j >= (int32_t)L.scenetop.size()) return SlotRange{};
      r.first = L.scenetop[j];
      r.last = j + 1 < (int32_t)L.scenetop.size() ? L.scenetop[j + 1] - 1 : n - 1;
      break;
    }
    case kRangeCue:
      r = {cur, cur + 1};
      break;
    default:  // all, or nothing selected
      r = {0, n - 1};
      break;
  }
  r.first = std::max(r.first, 0);
  r.last = std::min(r.last, n - 1);
  return r;
}

// ---- the run ----------------------------------------------------------------

FilterResult runFilter(Lesson& L, const FilterForm& form, const FilterDraw& draw) {
  FilterResult res;
  int32_t wordlen = 0, percent = 0, sntlen = 0;
  for (auto [text, out] : {std::pair{&form.wordlen, &wordlen}, std::pair{&form.percent, &percent},
                           std::pair{&form.sntlen, &sntlen}}) {
    if (!filterNumber(*text, *out)) {
      res.ok = false;
      res.error = filterNumberError(*text);
      return res;
    }
  }
  res.range = filterRange(L, form.range);
  const FilterKinds& k = form.kinds;

  auto set = [&](std::vector<int32_t>& f, size_t j, int32_t to) {
    if (f[j] != to) {
      f[j] = to;
      ++res.changed;
    }
  };

  const bool random = form.mode == FilterMode::Word && form.wordsub == WordSub::Random;
  int cur = random && draw ? draw() : 0;

  for (int32_t i = res.range.first; i <= res.range.last; ++i) {
    if (!Lesson::isCue(i)) continue;
    const std::string& t = L.subtext[i];
    std::vector<int32_t>& f = L.subflg[i];
    const size_t len = std::min(t.size(), f.size());
    auto letter = [&](size_t j) { return asciiLetter((unsigned char)t[j]); };

    if (form.mode == FilterMode::Sentence) {
      const bool chosen = chosenBy(form.sntcmp, (int64_t)t.size(), sntlen);
      for (size_t j = 0; j < len; ++j)
        if (letter(j)) set(f, j, chosen ? hideState(f[j], k) : openState(f[j], k));
      continue;
    }
    if (form.mode == FilterMode::AllOpen || form.mode == FilterMode::AllClose) {
      const bool open = form.mode == FilterMode::AllOpen;
      for (size_t j = 0; j < len; ++j)
        if (letter(j)) set(f, j, open ? openState(f[j], k) : hideState(f[j], k));
      continue;
    }
    // Word mode: walk the words of the cue.
    size_t j = 0;
    while (j < len) {
      if (!letter(j)) {
        ++j;
        continue;
      }
      size_t e = j;
      while (e < len && letter(e)) ++e;
      switch (form.wordsub) {
        case WordSub::OwnTyping: {
          bool chosen = false;
          for (size_t x = j; x < e; ++x) chosen |= f[x] == flg_closed || f[x] == flg_hinted;
          if (chosen)
            for (size_t x = j; x < e; ++x) set(f, x, hideState(f[x], k));
          break;
        }
        case WordSub::Length: {
          const bool chosen = chosenBy(form.wordcmp, (int64_t)(e - j), wordlen);
          for (size_t x = j; x < e; ++x) set(f, x, chosen ? hideState(f[x], k) : openState(f[x], k));
          break;
        }
        case WordSub::Random: {
          const bool chosen = cur <= percent;
          bool anyTicked = false;
          for (size_t x = j; x < e; ++x) {
            anyTicked |= ticked(f[x], k);
            set(f, x, chosen ? hideState(f[x], k) : openState(f[x], k));
          }
          if (anyTicked && draw) cur = draw();
          break;
        }
      }
      j = e;
    }
  }
  return res;
}

}  // namespace tl
