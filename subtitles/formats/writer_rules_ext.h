// Number texts of the writers that show a time as a fixed-point count, made
// without the C library's locale (the window's toolkit may set it to
// anything) and with the decimal separator the caller passes in.
#pragma once

#include <charconv>
#include <cstdint>
#include <string>

namespace vorlane {

// value in fixed-point notation with two decimals ("%.2f") and the given
// decimal separator.
inline std::string FixedTwoDecimals(double value, char separator) {
  char buffer[400];  // room for any double in fixed notation
  const auto result =
      std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  std::string text(buffer, result.ptr);
  for (char& c : text) {
    if (c == '.') c = separator;
  }
  return text;
}

// A time as a floating-point count of tenths of a second with two
// decimals: 1500 ms gives "15.00", 3250 ms gives "32.50".
inline std::string TenthsOfSecond(std::int64_t ms, char separator) {
  return FixedTwoDecimals(static_cast<double>(ms) / 100.0, separator);
}

}  // namespace vorlane
