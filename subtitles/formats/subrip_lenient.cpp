// SubRip as real files hold it, read where the classic SubRip rules give
// up: coordinates or anything else after the stop time, any spacing around
// "-->", "." or "," before the milliseconds or no milliseconds at all
// ("00:00:09 --> 00:00:13", as some caption sites write), one to three hour
// digits, a minus sign, number lines missing, empty lines missing or
// doubled, and a last cue without its empty line. A line with "-->" that is
// no timing line stays text of the cue before, with a warning.
#include <optional>

#include "subtitles/encoding.h"
#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

void SkipBlanks(std::string_view s, std::size_t& pos) {
  while (pos < s.size() && IsBlank(s[pos])) ++pos;
}

// A run of min_digits to max_digits digits at pos, not followed by another.
bool Number(std::string_view s, std::size_t& pos, std::size_t min_digits, std::size_t max_digits,
            std::int64_t& value) {
  std::size_t end = pos;
  value = 0;
  while (end < s.size() && IsDigit(s[end]) && end - pos < max_digits) {
    value = value * 10 + (s[end] - '0');
    ++end;
  }
  if (end - pos < min_digits || (end < s.size() && IsDigit(s[end]))) return false;
  pos = end;
  return true;
}

bool Literal(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

// [-]H:MM:SS,mmm with 1 to 3 hour digits, 1 or 2 minute and second digits,
// then "," or "." and 1 to 3 millisecond digits (a count of milliseconds, as
// the classic rules read it), or nothing for whole seconds.
bool Time(std::string_view s, std::size_t& pos, std::int64_t& time) {
  const bool negative = Literal(s, pos, '-');
  std::int64_t h = 0, m = 0, sec = 0, ms = 0;
  if (!Number(s, pos, 1, 3, h) || !Literal(s, pos, ':') || !Number(s, pos, 1, 2, m) ||
      !Literal(s, pos, ':') || !Number(s, pos, 1, 2, sec)) {
    return false;
  }
  if (Literal(s, pos, ',') || Literal(s, pos, '.')) {
    if (!Number(s, pos, 1, 3, ms)) return false;
  } else if (pos < s.size() && !IsBlank(s[pos]) && s[pos] != '-') {
    return false;  // whole seconds end at a blank, "-->" or the line's end
  }
  const std::int64_t total = h * 3600000 + m * 60000 + sec * 1000 + ms;
  time = CheckedMs(negative ? -total : total);
  return true;
}

struct Timing {
  std::int64_t start;
  std::int64_t stop;
};

std::optional<Timing> TimingLine(std::string_view line) {
  std::size_t pos = 0;
  Timing t{};
  SkipBlanks(line, pos);
  if (!Time(line, pos, t.start)) return std::nullopt;
  SkipBlanks(line, pos);
  if (line.substr(pos, 3) != "-->") return std::nullopt;
  pos += 3;
  SkipBlanks(line, pos);
  if (!Time(line, pos, t.stop)) return std::nullopt;
  return t;  // whatever follows (coordinates, styles) is not read
}

bool IsBlankLine(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

}  // namespace

bool SubRipLenientSignature(const LineViews& lines) {
  // WebVTT shares the timing line but is a format of its own, with cue
  // settings and markup SubRip does not know.
  if (!lines.empty()) {
    std::string_view first = lines.front();
    TakeByteOrderMark(first);
    if (first.starts_with("WEBVTT")) return false;
  }
  for (const std::string_view line : lines) {
    if (TimingLine(line)) return true;
  }
  return false;
}

void ReadSubRipLenient(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  // The text lines of the open cue. Empty lines inside it are held back:
  // they end the cue only when a new cue follows, else the text after them
  // stays in it (without the empty lines, which no format could keep).
  std::vector<std::string_view> text;
  bool open = false;
  bool blank_before_last = false;  // an empty line came before text.back()
  bool blank_pending = false;
  CueTolerance tolerance(doc);
  int number = 0;  // the line's, 1-based
  auto close_cue = [&](bool drop_number) {
    if (drop_number && !text.empty() && IsNumberLine(text.back())) text.pop_back();
    std::string& out = cues.back().Text;
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (i > 0) out.push_back('\r');
      out.append(text[i]);
    }
    text.clear();
    SubRipTextToModel(cues.back());
  };
  for (const std::string_view line : lines) {
    ++number;
    if (const std::optional<Timing> timing = TimingLine(line)) {
      tolerance.Read();
      // The number line of this cue may stand right before it, with or
      // without an empty line between it and the last cue's text.
      if (open) close_cue(true);
      cues.push_back({timing->start, timing->stop, {}});
      open = true;
      blank_pending = false;
    } else if (IsBlankLine(line)) {
      blank_pending = open && !text.empty();
    } else if (open) {
      if (line.find("-->") != std::string_view::npos) {
        tolerance.Malformed(number, "unreadable timing line", "kept as text of the cue before");
      }
      text.push_back(line);
      blank_before_last = blank_pending;
      blank_pending = false;
    } else if (line.find("-->") != std::string_view::npos) {
      tolerance.Malformed(number, "unreadable timing line", "line left out");
    }
  }
  // A number after an empty line at the very end is what is left of a cue
  // that never got its timing line.
  if (open) close_cue(blank_before_last);
  tolerance.Check();
}

}  // namespace vorlane
