#include "subtitles/timing.h"

#include <cmath>
#include <limits>

#include "subtitles/errors.h"
#include "subtitles/strings.h"

namespace vorlane {

std::int64_t RoundHalfEven(double value) {
  // The default floating-point rounding mode is to nearest, ties to even.
  const double r = std::nearbyint(value);
  if (!(r >= -9.2e18 && r <= 9.2e18)) return 0;  // NaN or out of any useful range
  return static_cast<std::int64_t>(r);
}

std::int64_t CheckedMs(std::int64_t ms) {
  if (ms < kEarliestTime || ms > kLatestTime) {
    throw SubtitleError(
        Format("Time out of range (%lld milliseconds)", static_cast<long long>(ms)));
  }
  return ms;
}

std::int64_t CheckedTime(std::int64_t centiseconds) {
  if (centiseconds < std::numeric_limits<std::int32_t>::min() ||
      centiseconds > std::numeric_limits<std::int32_t>::max()) {
    throw SubtitleError(
        Format("Time out of range (%lld centiseconds)", static_cast<long long>(centiseconds)));
  }
  return centiseconds * 10;
}

std::int64_t MakeTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t centiseconds) {
  // Fields come from 32-bit numbers, so the sum fits easily in 64 bits.
  return CheckedTime(hours * 360000 + minutes * 6000 + seconds * 100 + centiseconds);
}

std::int64_t MakeTimeMs(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                        std::int64_t milliseconds) {
  return CheckedMs(hours * 3600000 + minutes * 60000 + seconds * 1000 + milliseconds);
}

std::int64_t Centiseconds(std::int64_t ms) {
  std::int64_t cs = FloorDiv(ms, 10);
  const std::int64_t rest = ms - cs * 10;
  if (rest > 5 || (rest == 5 && cs % 2 != 0)) ++cs;
  return cs;
}

MsSplit SplitThroughMs(std::int64_t ms) {
  if (ms >= 0 && ms <= std::numeric_limits<std::uint32_t>::max()) {
    // The usual case, in unsigned arithmetic the compiler divides by
    // multiplying.
    const auto t = static_cast<std::uint32_t>(ms);
    const std::uint32_t s = t / 1000;
    const std::uint32_t m = s / 60;
    const std::uint32_t rest_ms = t - s * 1000;
    return {m / 60, m % 60, s % 60, rest_ms, rest_ms / 10};
  }
  const std::int64_t s = FloorDiv(ms, 1000);
  const std::int64_t m = FloorDiv(s, 60);
  const std::int64_t h = FloorDiv(m, 60);
  const std::int64_t rest_ms = ms - s * 1000;
  return {h, m - 60 * h, s - 60 * m, rest_ms, rest_ms / 10};
}

MsSplit SplitToHundredths(std::int64_t ms) {
  return SplitThroughMs(Centiseconds(ms) * 10);
}

SecondsSplit SplitThroughRoundedSeconds(std::int64_t ms) {
  const std::int64_t s = ms % 10 == 0 ? RoundHalfEven(static_cast<double>(ms / 10) / 100.0)
                                      : RoundHalfEven(static_cast<double>(ms) / 1000.0);
  const std::int64_t m = FloorDiv(s, 60);
  const std::int64_t h = FloorDiv(m, 60);
  return {h, m - 60 * h, s - 60 * m};
}

std::int64_t FramesToTime(std::int64_t frame, double rate, bool precise) {
  const double unit = precise ? 1000.0 : 100.0;
  const double t = static_cast<double>(frame) * unit / rate;
  const double lo = precise ? static_cast<double>(kEarliestTime) - 0.5
                            : std::numeric_limits<std::int32_t>::min() - 0.5;
  const double hi = precise ? static_cast<double>(kLatestTime) + 0.5
                            : std::numeric_limits<std::int32_t>::max() + 0.5;
  if (!(t >= lo && t <= hi)) {
    throw SubtitleError(Format("Time out of range (frame %lld)", static_cast<long long>(frame)));
  }
  return precise ? CheckedMs(RoundHalfEven(t)) : CheckedTime(RoundHalfEven(t));
}

std::int64_t TimeToFrames(std::int64_t ms, double rate) {
  // A whole number of centiseconds converts as the classic rules do, to the
  // last bit of the floating-point arithmetic.
  const double frames = ms % 10 == 0 ? static_cast<double>(ms / 10) * rate / 100.0
                                     : static_cast<double>(ms) * rate / 1000.0;
  // A frame number past 64 bits cannot be written; turned into 0 it would
  // pass for a real one.
  if (std::isfinite(rate) && !(std::fabs(frames) < 9.2e18)) {
    throw SubtitleError(Format("Frame rate %g cannot convert the time %lld", rate,
                               static_cast<long long>(ms % 10 == 0 ? ms / 10 : ms)));
  }
  return RoundHalfEven(frames);
}

TenthsSplit SplitThroughMsToTenths(std::int64_t ms) {
  const MsSplit split = SplitThroughMs(ms);
  const std::int64_t tenths = RoundHalfEven(static_cast<double>(split.milliseconds) / 100.0);
  // Whole seconds and tenths counted together, so a tenths value of 10
  // becomes the next second and the split below carries it on.
  const std::int64_t total =
      ((split.hours * 60 + split.minutes) * 60 + split.seconds) * 10 + tenths;
  const std::int64_t s = FloorDiv(total, 10);
  const std::int64_t m = FloorDiv(s, 60);
  const std::int64_t h = FloorDiv(m, 60);
  return {h, m - 60 * h, s - 60 * m, total - 10 * s};
}

}  // namespace vorlane
