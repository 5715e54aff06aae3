#include "subtitles/retiming.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

constexpr std::int64_t kLongest = std::numeric_limits<std::int32_t>::max();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// A run of digits as a number; nullopt when empty, not all digits, or too
// long to be any cue time (which also keeps the arithmetic in range).
std::optional<std::int64_t> Digits(std::string_view text) {
  if (text.empty() || text.size() > 12) return std::nullopt;
  std::int64_t value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

// The fraction of a second after the separator in units of digits places
// (hundredths for 2), rounded with halves to even. nullopt when it is not
// digits.
std::optional<std::int64_t> Fraction(std::string_view text, std::size_t digits) {
  if (text.empty()) return std::nullopt;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
  }
  std::int64_t hundredths = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    hundredths = hundredths * 10 + (i < text.size() ? text[i] - '0' : 0);
  }
  if (text.size() <= digits) return hundredths;
  const std::string_view rest = text.substr(digits);
  const bool above_half =
      rest[0] > '5' || (rest[0] == '5' && rest.find_first_not_of('0', 1) != std::string_view::npos);
  const bool half = rest[0] == '5' && !above_half;
  // A whole second is an even number of units, so the units alone tell
  // whether the total is odd.
  if (above_half || (half && hundredths % 2 == 1)) ++hundredths;
  return hundredths;
}

// The time a cue time becomes, or nullopt when it leaves the range: in
// milliseconds, or with classic in hundredths within 32 bits.
std::optional<std::int64_t> Moved(std::int64_t time, const Retiming& r, bool classic) {
  const std::int64_t unit = classic ? 10 : 1;
  const std::int64_t earliest = classic ? std::numeric_limits<std::int32_t>::min() : kEarliestTime;
  const std::int64_t latest = classic ? kLongest : kLatestTime;
  std::int64_t t = (time + (classic ? r.classic_shift : r.shift)) / unit;
  if (r.from_rate > 0 && r.to_rate > 0) {
    const double scaled = std::nearbyint(static_cast<double>(t) * (r.from_rate / r.to_rate));
    if (!(scaled >= static_cast<double>(earliest) && scaled <= static_cast<double>(latest))) {
      return std::nullopt;
    }
    t = RoundHalfEven(scaled);
  }
  if (t < earliest || t > latest) return std::nullopt;
  return t * unit;
}

}  // namespace

std::optional<std::int64_t> ParseTimeAmount(std::string_view text, int digits) {
  const std::int64_t per_second = digits == 2 ? 100 : 1000;
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  // The fraction belongs to the last field, the seconds.
  std::string_view fraction;
  const std::size_t separator = text.find_first_of(".,");
  if (separator != std::string_view::npos) {
    fraction = text.substr(separator + 1);
    text = text.substr(0, separator);
    if (fraction.empty()) return std::nullopt;
  }
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t colon = text.find(':', start);
    fields.push_back(text.substr(start, colon == std::string_view::npos ? colon : colon - start));
    if (colon == std::string_view::npos) break;
    start = colon + 1;
  }
  if (fields.size() > 3) return std::nullopt;
  std::int64_t whole = 0;
  for (std::size_t i = 0; i < fields.size(); ++i) {
    // After the first field, minutes and seconds take two digits each.
    if (i > 0 && fields[i].size() != 2) return std::nullopt;
    const std::optional<std::int64_t> value = Digits(fields[i]);
    if (!value || (i > 0 && *value >= 60)) return std::nullopt;
    whole = whole * 60 + *value;
    if (whole > kLongest) return std::nullopt;
  }
  std::int64_t part = 0;
  if (!fraction.empty()) {
    const std::optional<std::int64_t> h = Fraction(fraction, digits == 2 ? 2 : 3);
    if (!h) return std::nullopt;
    part = *h;
  }
  const std::int64_t total = (whole * per_second + part) * (1000 / per_second);
  if (total > kLatestTime) return std::nullopt;
  return negative ? -total : total;
}

void Retime(TSubtitles& doc, const Retiming& retiming) {
  if (retiming.Empty()) return;
  const bool classic = doc.ClassicReading();
  // Every time is checked before any is changed, so a failure leaves the
  // document whole.
  for (std::size_t i = 0; i < doc.Cues.size(); ++i) {
    const SubtitleCue& cue = doc.Cues[i];
    if (!Moved(cue.Start, retiming, classic) || !Moved(cue.Stop, retiming, classic)) {
      throw SubtitleError("the retimed times of cue " + std::to_string(i + 1) +
                          " lie beyond the range of a cue time");
    }
  }
  for (SubtitleCue& cue : doc.Cues) {
    cue.Start = *Moved(cue.Start, retiming, classic);
    cue.Stop = *Moved(cue.Stop, retiming, classic);
  }
}

void CheckRetimedTimes(const TSubtitles& doc, TSubtitleFormat format) {
  constexpr double kUnitsPerSecond = 1000;  // cue times are milliseconds
  constexpr double kHundredHours = 100.0 * 3600;
  const FormatInfo& info = FormatOf(format);
  for (std::size_t i = 0; i < doc.Cues.size(); ++i) {
    const SubtitleCue& cue = doc.Cues[i];
    for (const auto time : {cue.Start, cue.Stop}) {
      const double seconds = static_cast<double>(time) / kUnitsPerSecond;
      std::string beyond;
      if (info.writes_frames && seconds * doc.FrameRate() > kLongest) {
        beyond = "frame numbers beyond " + std::to_string(kLongest) + " at " +
                 std::to_string(doc.FrameRate()) + " frames per second";
      } else if (seconds >= kHundredHours) {
        beyond = "times of 100 hours or more";
      }
      if (beyond.empty()) continue;
      const auto whole = static_cast<long long>(seconds);
      throw SubtitleError("after retiming, cue " + std::to_string(i + 1) + " lies at " +
                          std::to_string(whole / 3600) + " hours, " +
                          std::to_string(whole / 60 % 60) + " minutes; " + std::string(info.name) +
                          " cannot hold " + beyond + " so that they read back");
    }
  }
}

}  // namespace vorlane
