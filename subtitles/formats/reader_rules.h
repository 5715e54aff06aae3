// What the readers share beyond the string operations: a time taken from
// consecutive fields of a split line.
#pragma once

#include <cstdint>

#include "subtitles/strings.h"
#include "subtitles/timing.h"

namespace vorlane {

// The unit of the field after the seconds, if there is one.
enum class Fraction { kNone, kHundredths, kMilliseconds };

// Hours, minutes and seconds from fields first, first + 1 and first + 2,
// then the fraction from first + 3 (milliseconds are cut to centiseconds).
// The fields are parsed in order, so the first bad one is the one reported;
// a time beyond the 32-bit range fails instead of wrapping.
inline std::int32_t TimeFromFields(const FieldList& f, int first, Fraction fraction) {
  const std::int64_t h = IntItem(f, first);
  const std::int64_t m = IntItem(f, first + 1);
  const std::int64_t s = IntItem(f, first + 2);
  std::int64_t cs = 0;
  if (fraction == Fraction::kHundredths) cs = IntItem(f, first + 3);
  if (fraction == Fraction::kMilliseconds) cs = IntItem(f, first + 3) / 10;
  return MakeTime(h, m, s, cs);
}

}  // namespace vorlane
