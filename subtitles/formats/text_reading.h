// What the readers of the line-based formats with named sections, stamps or
// timecodes share: blanks trimmed, a UTF-8 byte order mark ignored, clock
// times of any hour width with any fraction.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "subtitles/errors.h"
#include "subtitles/timing.h"

namespace vorlane {

inline bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n';
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// The line without a UTF-8 byte order mark in front.
inline std::string_view WithoutBom(std::string_view s) {
  return s.substr(0, 3) == "\xEF\xBB\xBF" ? s.substr(3) : s;
}

// ASCII lower case, for names that are matched without regard to case.
inline std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// "'<text>' is not a valid <what>", for FailAtLine.
inline std::string NotValid(std::string_view text, std::string_view what) {
  std::string message(1, '\'');
  message.append(text).append("' is not a valid ").append(what);
  return message;
}

// A clock time "[-][H:]M:S[.fraction]" as milliseconds: parts fields
// separated by ':' (2 or 3), each of digits only, the last with an optional
// fraction after '.' or ','. The fraction counts tenths, hundredths,
// thousandths and so on; digits past the thousandths are dropped. Nothing
// when the text has another shape or the time leaves the range of a cue
// time.
inline std::optional<std::int64_t> ParseClock(std::string_view s, int parts) {
  const bool negative = !s.empty() && s.front() == '-';
  if (negative) s.remove_prefix(1);
  std::int64_t fields[3] = {0, 0, 0};
  for (int i = 0; i < parts; ++i) {
    std::size_t n = 0;
    std::int64_t value = 0;
    while (n < s.size() && IsDigit(s[n])) {
      if (n >= 9) return std::nullopt;
      value = value * 10 + (s[n] - '0');
      ++n;
    }
    if (n == 0) return std::nullopt;
    fields[i] = value;
    s.remove_prefix(n);
    if (i + 1 < parts) {
      if (s.empty() || s.front() != ':') return std::nullopt;
      s.remove_prefix(1);
    }
  }
  std::int64_t milliseconds = 0;
  if (!s.empty() && (s.front() == '.' || s.front() == ',')) {
    s.remove_prefix(1);
    if (s.empty()) return std::nullopt;
    for (std::size_t i = 0; i < s.size(); ++i) {
      if (!IsDigit(s[i])) return std::nullopt;
      if (i == 0) milliseconds += (s[i] - '0') * 100;
      if (i == 1) milliseconds += (s[i] - '0') * 10;
      if (i == 2) milliseconds += s[i] - '0';
    }
    s = {};
  }
  if (!s.empty()) return std::nullopt;
  const std::int64_t h = parts == 3 ? fields[0] : 0;
  const std::int64_t m = fields[parts - 2];
  const std::int64_t sec = fields[parts - 1];
  const std::int64_t total = ((h * 60 + m) * 60 + sec) * 1000 + milliseconds;
  if (total > kLatestTime) return std::nullopt;
  return negative ? -total : total;
}

}  // namespace vorlane
