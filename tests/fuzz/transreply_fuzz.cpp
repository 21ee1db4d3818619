// Reply handling of the translation service on arbitrary bodies and statuses.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/srtread.h"
#include "core/translation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  tl::http::Response r;
  const uint8_t kind = data[0];
  r.answered = (kind & 1) != 0;
  r.status = r.answered ? 100 + (kind % 500) : 0;
  r.ok = r.answered && r.status >= 200 && r.status <= 299;
  if (r.ok) r.body.assign(reinterpret_cast<const char*>(data + 1), size - 1);
  const tl::trans::Reply out = tl::trans::handleReply(r);
  if (out.outcome == tl::trans::Outcome::Translated && out.text.size() > 4 * r.body.size() + 4) __builtin_trap();
  if (out.text.size() > tl::trans::kTranslationBytes) __builtin_trap();
  // The tag rule never grows a text (on at most what a reply may hold).
  const std::string plain(reinterpret_cast<const char*>(data), std::min(size, tl::trans::kReplyCap));
  if (tl::tagdel(plain).size() > plain.size()) __builtin_trap();
  return 0;
}
