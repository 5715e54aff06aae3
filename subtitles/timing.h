// Time rules shared by every reader and writer: whole milliseconds, rounding
// with halves to even, the ways of splitting a time into fields, and the
// conversion between frames and times.
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

// Cue times are whole milliseconds in 64 bits. The classic rules count
// centiseconds, so what they read and write stays a multiple of 10 ms and
// every split below gives for such a time what the centisecond rules gave.
// A time is held within the range of 32-bit centiseconds (about 5965 hours
// either way), which every reader and writer can count in.
inline constexpr std::int64_t kLatestTime = std::int64_t{2147483647} * 10;
inline constexpr std::int64_t kEarliestTime = std::int64_t{-2147483647 - 1} * 10;

// A time built from fields (each already in its unit) as milliseconds.
// Fails with a SubtitleError when the result leaves the range of a cue
// time, instead of wrapping into a wrong time.
std::int64_t MakeTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t centiseconds);
std::int64_t MakeTimeMs(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                        std::int64_t milliseconds);
// A centisecond count as milliseconds, checked against the range.
std::int64_t CheckedTime(std::int64_t centiseconds);
// A millisecond count checked against the range.
std::int64_t CheckedMs(std::int64_t milliseconds);
// A time in whole centiseconds, halves to even (exact for the classic
// times).
std::int64_t Centiseconds(std::int64_t ms);

// A time split through milliseconds: S = Floor(ms / 1000), ...
struct MsSplit {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
  std::int64_t milliseconds;  // ms mod 1000
  std::int64_t hundredths;    // the milliseconds cut to hundredths
};
MsSplit SplitThroughMs(std::int64_t ms);
// The same for a format that counts hundredths: the time is first rounded
// to whole centiseconds, so 999 ms is written as 1 second, not as 0 seconds
// and 99 hundredths.
MsSplit SplitToHundredths(std::int64_t ms);

// A time rounded to whole seconds (halves to even), then split.
struct SecondsSplit {
  std::int64_t hours;
  std::int64_t minutes;
  std::int64_t seconds;
};
SecondsSplit SplitThroughRoundedSeconds(std::int64_t ms);

// Frames to milliseconds. With precise off, as the classic rules count:
// Round(frame * 100 / rate) centiseconds; on, Round(frame * 1000 / rate)
// milliseconds. Fails when the time leaves the range. rate must be
// positive.
std::int64_t FramesToTime(std::int64_t frame, double rate, bool precise);
// Milliseconds to frames, Round(ms * rate / 1000) (for a whole number of
// centiseconds computed as Round(cs * rate / 100), as the classic rules
// do). Raises SubtitleError when a finite rate makes a frame number past 64
// bits.
std::int64_t TimeToFrames(std::int64_t ms, double rate);

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
TenthsSplit SplitThroughMsToTenths(std::int64_t ms);

}  // namespace vorlane
