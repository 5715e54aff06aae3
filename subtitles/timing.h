// Time rules shared by every reader and writer: whole centiseconds, rounding
// with halves to even, the two ways of splitting a time into fields, and the
// conversion between frames and centiseconds.
#pragma once

#include <cstdint>

namespace vorlane {

// Nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t RoundHalfEven(double value);
// Towards minus infinity.
inline std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

// A time built from fields (each already in its unit) as centiseconds.
// Fails with a SubtitleError when the result leaves the 32-bit range of a
// cue time, instead of wrapping into a wrong time.
std::int32_t MakeTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t centiseconds);
// A centisecond count checked against the 32-bit range.
std::int32_t CheckedTime(std::int64_t centiseconds);

// A time split through milliseconds: ms = t * 10, S = Floor(ms / 1000), ...
struct MsSplit {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
  std::int64_t milliseconds;  // ms mod 1000, always a multiple of 10
  std::int64_t hundredths;    // centiseconds mod 100
};
MsSplit SplitThroughMs(std::int32_t centiseconds);

// A time rounded to whole seconds (halves to even), then split.
struct SecondsSplit {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
};
SecondsSplit SplitThroughRoundedSeconds(std::int32_t centiseconds);

// Frames to centiseconds, Round(frame * 100 / rate), with the range check of
// MakeTime. rate must be positive.
std::int32_t FramesToCentiseconds(std::int64_t frame, double rate);
// Centiseconds to frames, Round(centiseconds * rate / 100). Raises
// SubtitleError when a finite rate makes a frame number past 64 bits.
std::int64_t CentisecondsToFrames(std::int32_t centiseconds, double rate);

// A time split through milliseconds down to tenths of a second, the tenths
// being the milliseconds of the second rounded to the nearest hundred
// (halves to even). Where they round up to a whole second (950 ms and more)
// the second is carried, into the minutes and hours as needed, so 1.95 s is
// 2.0 s rather than 1 s with a tenths field of 10.
struct TenthsSplit {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
  std::int64_t tenths;  // 0 to 9
};
TenthsSplit SplitThroughMsToTenths(std::int32_t centiseconds);

}  // namespace vorlane
