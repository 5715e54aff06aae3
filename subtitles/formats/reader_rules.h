// What the readers share beyond the string operations: the loop over the
// lines, and a time taken from consecutive fields of a split line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/strings.h"
#include "subtitles/timing.h"

namespace vorlane {

// A line of digits alone, blanks around them allowed: a SubRip block's
// number.
inline bool IsNumberLine(std::string_view line) {
  // Byte by byte: most lines are text, and their first letter decides.
  std::size_t first = 0;
  std::size_t end = line.size();
  while (first < end && (line[first] == ' ' || line[first] == '\t')) ++first;
  while (end > first && (line[end - 1] == ' ' || line[end - 1] == '\t')) --end;
  if (first == end) return false;
  for (std::size_t i = first; i < end; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
  }
  return true;
}

// The unit of the field after the seconds, if there is one.
enum class Fraction { kNone, kHundredths, kMilliseconds };

// Calls read_line(line) for every line in order. An error raised while a
// line is read names that line (1-based), unless it names one already.
template <class ReadLine>
void ForEachLine(const LineViews& lines, ReadLine&& read_line) {
  std::size_t at = 0;
  try {
    for (; at < lines.size(); ++at) read_line(lines[at]);
  } catch (SubtitleError& error) {
    if (error.Line() == 0) error.SetLine(static_cast<int>(at + 1));
    throw;
  }
}

// The same for the lines of a scan.
template <class ReadLine>
void ForEachLine(LineScanner& lines, ReadLine&& read_line) {
  std::size_t at = 0;
  std::string_view line;
  try {
    for (; lines.Next(line); ++at) read_line(line);
  } catch (SubtitleError& error) {
    if (error.Line() == 0) error.SetLine(static_cast<int>(at + 1));
    throw;
  }
}

// Hours, minutes and seconds from fields first, first + 1 and first + 2,
// then the fraction from first + 3 (milliseconds are cut to centiseconds
// unless precise, which keeps them). The fields are parsed in order, so the
// first bad one is the one reported; a time beyond the range of a cue time
// fails instead of wrapping.
//
// A minus sign before the hours makes the whole time negative, as in a
// shifted file's "-00:00:06,843": the hours alone would lose the sign of
// "-00" and turn "-01:30:00" into minus half an hour.
inline std::int64_t TimeFromFields(const FieldList& f, int first, Fraction fraction,
                                   bool precise = false) {
  const std::int64_t h = IntItem(f, first);
  const std::int64_t m = IntItem(f, first + 1);
  const std::int64_t s = IntItem(f, first + 2);
  std::int64_t part = 0;
  if (fraction == Fraction::kHundredths) part = IntItem(f, first + 3);
  if (fraction == Fraction::kMilliseconds) part = IntItem(f, first + 3);
  const bool ms = precise && fraction == Fraction::kMilliseconds;
  if (fraction == Fraction::kMilliseconds && !ms) part /= 10;
  const std::string_view hours = ListItem(f, first);
  const std::size_t sign = hours.find_first_not_of(' ');
  const bool negative = h <= 0 && sign != std::string_view::npos && hours[sign] == '-';
  if (ms) return negative ? CheckedMs(-MakeTimeMs(-h, m, s, part)) : MakeTimeMs(h, m, s, part);
  if (negative) return CheckedTime(-(MakeTime(-h, m, s, part) / 10));
  return MakeTime(h, m, s, part);
}

}  // namespace vorlane
