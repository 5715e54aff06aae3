#include "subtitles/decimal.h"

#include <langinfo.h>

#include <atomic>
#include <charconv>
#include <clocale>
#include <cmath>

#include "subtitles/errors.h"

namespace vorlane {

namespace {
std::atomic<bool> g_dot_forced{false};
}

char RegionalDecimalSeparator() {
  // nl_langinfo, unlike localeconv, may be called from several threads at
  // once (files are read on worker threads).
  const char* point = ::nl_langinfo(RADIXCHAR);
  if (point == nullptr || point[0] == '\0') return '.';
  return point[0];
}

char DecimalSeparator() {
  return g_dot_forced ? '.' : RegionalDecimalSeparator();
}

void UseDotDecimalSeparator() {
  g_dot_forced = true;
}

void ResetDecimalSeparatorForTesting() {
  g_dot_forced = false;
}

double StrToFloat(std::string_view text, char separator) {
  auto fail = [&]() -> double {
    throw SubtitleError("'" + std::string(text) + "' is not a valid floating point value");
  };
  // Checked and rewritten with '.' by hand, then converted by from_chars, so
  // that the C library's locale never changes the result.
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n && text[i] == ' ') ++i;
  std::string plain;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') plain += '-';
    ++i;
  }
  bool digits = false;
  auto take_digits = [&] {
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      plain += text[i++];
      digits = true;
    }
  };
  take_digits();
  if (i < n && text[i] == separator) {
    plain += '.';
    ++i;
    take_digits();
  }
  if (!digits) return fail();
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    plain += text[i++];
    if (i < n && (text[i] == '+' || text[i] == '-')) plain += text[i++];
    const std::size_t before = i;
    while (i < n && text[i] >= '0' && text[i] <= '9') plain += text[i++];
    if (i == before) return fail();
  }
  while (i < n && text[i] == ' ') ++i;
  if (i != n) return fail();
  double value = 0;
  const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (result.ec != std::errc() || !std::isfinite(value)) return fail();
  return value;
}

}  // namespace vorlane
