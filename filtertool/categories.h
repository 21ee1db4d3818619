// The filter selector's nine categories and the media-type queries of the
// first six.
#pragma once

#include <QString>

#include "platform/filters/guid.h"

namespace quendle {

enum FilterCategory : int {
  kNoCategory = -1,
  kMpeg1VideoDecoder = 0,
  kMpeg1AudioDecoder,
  kMpeg2VideoDecoder,
  kMpeg2AudioDecoder,
  kMpeg1Splitter,
  kMpeg2Splitter,
  kAllFilters,
  kChangedFilters,     // the records of "changed.bak"
  kUnregisteredFilters,  // the records of "deleted.bak"
  kCategoryCount
};

struct CategoryMediaTypes {
  tl::flt::Guid inMajor, inMinor, outMajor, outMinor;
  bool outputNeeded;
};

QString categoryName(int category);
// For categories 0-5.
CategoryMediaTypes categoryMediaTypes(int category);

}  // namespace quendle
