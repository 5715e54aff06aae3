#include "app/fps_field.h"

#include <algorithm>

#include "subtitles/decimal.h"
#include "subtitles/errors.h"

namespace vorlane {

namespace {
constexpr std::size_t kPointPosition = 2;
constexpr std::size_t kFieldLength = 6;
}  // namespace

double FrameRateFromField(const std::string& text) {
  std::string digits = text;
  std::replace(digits.begin(), digits.end(), ' ', '0');
  try {
    return StrToFloat(digits, '.');
  } catch (const SubtitleError&) {
    return 0;
  }
}

std::string TypeDecimalPoint(const std::string& text, int cursor) {
  std::string field = text;
  field.resize(kFieldLength, ' ');
  field[kPointPosition] = '.';
  if (cursor < 0 || static_cast<std::size_t>(cursor) > kPointPosition) return field;
  std::string whole = field.substr(0, static_cast<std::size_t>(cursor));
  whole.insert(0, kPointPosition - whole.size(), ' ');
  return whole + field.substr(kPointPosition);
}

}  // namespace vorlane
