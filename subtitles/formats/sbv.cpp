// YouTube SBV: a timing line "H:MM:SS.mmm,H:MM:SS.mmm", the text lines, and
// an empty line after each cue.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

struct Timing {
  std::int64_t start;
  std::int64_t stop;
};

// The two times of a timing line; blanks around them are allowed.
std::optional<Timing> ParseTiming(std::string_view line) {
  const std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const std::string_view a = Trim(line.substr(0, comma));
  const std::string_view b = Trim(line.substr(comma + 1));
  // Both times carry a fraction: that is what tells them from text.
  if (a.find('.') == std::string_view::npos || b.find('.') == std::string_view::npos) {
    return std::nullopt;
  }
  const auto start = ParseClock(a, 3);
  const auto stop = ParseClock(b, 3);
  if (!start || !stop) return std::nullopt;
  return Timing{*start, *stop};
}

// "H:MM:SS.mmm"; a time before zero gets a minus sign in front of its
// distance from zero, which reads back as it was.
std::string SBVTime(std::int64_t t) {
  const std::int64_t ms = t < 0 ? -t : t;

  return FormatTemplate("%s%d:%.2d:%.2d.%.3d", {t < 0 ? "-" : "", ms / 3600000, ms / 60000 % 60,
                                                ms / 1000 % 60, ms % 1000});
}

constexpr const char* kTimingExpected = "a timing line 'H:MM:SS.mmm,H:MM:SS.mmm' was expected";

// A line that sets out to be a timing line: a digit first, a ':' and a ','.
bool LooksLikeTiming(std::string_view line) {
  line = Trim(line);
  return !line.empty() && IsDigit(line.front()) && line.find(':') != std::string_view::npos &&
         line.find(',') != std::string_view::npos;
}

}  // namespace

void ReadSBV(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  bool open = false;  // the last cue takes text lines
  CueTolerance tolerance(doc);
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = index == 0 ? WithoutBom(lines[index]) : lines[index];
    if (Trim(line).empty()) {
      open = false;
    } else if (const auto timing = ParseTiming(line)) {
      cues.push_back({timing->start, timing->stop, ""});
      tolerance.Read();
      open = true;
    } else if (cues.empty()) {
      tolerance.Malformed(static_cast<int>(index) + 1, kTimingExpected, "line left out");
    } else {
      // A line where a timing line belongs that fails as one stays text.
      if (!open && LooksLikeTiming(line)) {
        tolerance.Malformed(static_cast<int>(index) + 1, kTimingExpected,
                            "kept as text of the cue before");
      }
      // Text after an empty line inside a cue's text belongs to that cue:
      // nothing of it is lost.
      std::string& text = cues.back().Text;
      if (!open || !text.empty()) text.push_back('\r');
      text.append(line);
      open = true;
    }
  }
  tolerance.Check();
}

// An empty line ends a cue, so empty lines inside a text are left out.
void WriteSBV(const TSubtitles& doc, LineList& lines) {
  for (const auto& cue : doc.Cues) {
    lines.push_back(SBVTime(cue.Start) + "," + SBVTime(cue.Stop));
    DropPlace(doc, cue);
    for (const std::string& text_line : TextLines(TextWithBreaks(doc, cue, "\r"))) {
      if (!text_line.empty()) lines.push_back(text_line);
    }
    lines.emplace_back();
  }
}

// The first line that is not empty is a timing line.
bool IsSBV(const LineViews& lines) {
  for (std::size_t index = 0; index < HeadOf(lines).size(); ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty()) continue;
    // Three digits of milliseconds on both times, which SubViewer's
    // hundredths never have.
    const std::size_t comma = line.find(',');
    const std::size_t dot1 = line.find('.');
    const std::size_t dot2 = line.rfind('.');
    return ParseTiming(line).has_value() && dot1 < comma && comma < dot2 &&
           Trim(line.substr(dot1 + 1, comma - dot1 - 1)).size() == 3 &&
           Trim(line.substr(dot2 + 1)).size() == 3;
  }
  return false;
}

}  // namespace vorlane
