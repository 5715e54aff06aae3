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

std::int32_t CheckedTime(std::int64_t centiseconds) {
  if (centiseconds < std::numeric_limits<std::int32_t>::min() ||
      centiseconds > std::numeric_limits<std::int32_t>::max()) {
    throw SubtitleError(
        Format("Time out of range (%lld centiseconds)", static_cast<long long>(centiseconds)));
  }
  return static_cast<std::int32_t>(centiseconds);
}

std::int32_t MakeTime(std::int64_t hours, std::int64_t minutes, std::int64_t seconds,
                      std::int64_t centiseconds) {
  // Fields come from 32-bit numbers, so the sum fits easily in 64 bits.
  return CheckedTime(hours * 360000 + minutes * 6000 + seconds * 100 + centiseconds);
}

MsSplit SplitThroughMs(std::int32_t centiseconds) {
  if (centiseconds >= 0) {
    // The usual case, in unsigned arithmetic the compiler divides by
    // multiplying.
    const auto cs = static_cast<std::uint32_t>(centiseconds);
    const std::uint32_t s = cs / 100;
    const std::uint32_t m = s / 60;
    const std::uint32_t rest_cs = cs - s * 100;
    return {m / 60, m % 60, s % 60, rest_cs * 10, rest_cs};
  }
  const std::int64_t ms = static_cast<std::int64_t>(centiseconds) * 10;
  const std::int64_t s = FloorDiv(ms, 1000);
  const std::int64_t m = FloorDiv(s, 60);
  const std::int64_t h = FloorDiv(m, 60);
  const std::int64_t rest_ms = ms - s * 1000;
  return {h, m - 60 * h, s - 60 * m, rest_ms, rest_ms / 10};
}

SecondsSplit SplitThroughRoundedSeconds(std::int32_t centiseconds) {
  const std::int64_t s = RoundHalfEven(static_cast<double>(centiseconds) / 100.0);
  const std::int64_t m = FloorDiv(s, 60);
  const std::int64_t h = FloorDiv(m, 60);
  return {h, m - 60 * h, s - 60 * m};
}

std::int32_t FramesToCentiseconds(std::int64_t frame, double rate) {
  const double cs = static_cast<double>(frame) * 100.0 / rate;
  if (!(cs >= std::numeric_limits<std::int32_t>::min() - 0.5 &&
        cs <= std::numeric_limits<std::int32_t>::max() + 0.5)) {
    throw SubtitleError(Format("Time out of range (frame %lld)", static_cast<long long>(frame)));
  }
  return CheckedTime(RoundHalfEven(cs));
}

std::int64_t CentisecondsToFrames(std::int32_t centiseconds, double rate) {
  const double frames = static_cast<double>(centiseconds) * rate / 100.0;
  // A frame number past 64 bits cannot be written; turned into 0 it would
  // pass for a real one.
  if (std::isfinite(rate) && !(std::fabs(frames) < 9.2e18)) {
    throw SubtitleError(Format("Frame rate %g cannot convert the time %lld", rate,
                               static_cast<long long>(centiseconds)));
  }
  return RoundHalfEven(frames);
}

TenthsSplit SplitThroughMsToTenths(std::int32_t centiseconds) {
  const MsSplit split = SplitThroughMs(centiseconds);
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
