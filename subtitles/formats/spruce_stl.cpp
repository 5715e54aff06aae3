// Spruce subtitle file (.stl): one line per cue,
// "HH:MM:SS:FF , HH:MM:SS:FF , text", with "|" for a line break and ^I, ^B,
// ^U switching italic, bold and underline; "$Name = value" settings and
// "//" comments around them. The last timecode field counts frames, at 25
// per second unless a $FrameRate setting names another rate. The writer
// puts hundredths of a second there instead, behind its fixed settings
// header, and the reader takes such files back as they were written.
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "subtitles/decimal.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// The names are padded to a common column within each group.
constexpr const char* kSpruceStlHeader[] = {
    "//Font select and font size",
    "$FontName       = Arial",
    "$FontSize       = 30",
    "",
    "//Character attributes (global)",
    "$Bold           = FALSE",
    "$UnderLined     = FALSE",
    "$Italic         = FALSE",
    "",
    "//Position Control",
    "$HorzAlign      = Center",
    "$VertAlign      = Bottom",
    "$XOffset        = 0",
    "$YOffset        = 0",
    "",
    "//Contrast Control",
    "$TextContrast           = 15",
    "$Outline1Contrast       = 8",
    "$Outline2Contrast       = 15",
    "$BackgroundContrast     = 0",
    "",
    "//Effects Control",
    "$ForceDisplay   = FALSE",
    "$FadeIn         = 0",
    "$FadeOut        = 0",
    "",
    "//Other Controls",
    "$TapeOffset          = FALSE",
    "//$SetFilePathToken  = <<:>>",
    "",
    "//Colors",
    "$ColorIndex1    = 0",
    "$ColorIndex2    = 1",
    "$ColorIndex3    = 2",
    "$ColorIndex4    = 3",
    "",
    "//Subtitles",
};
constexpr CueLine kSpruceStlCue[] = {
    {"%.2d:%.2d:%.2d:%.2d,%.2d:%.2d:%.2d:%.2d,%s", {kStartTimecode, kStopTimecode, kText}}};

constexpr double kDefaultFrameRate = 25;

// A timecode "HH:MM:SS:FF": hours, minutes, seconds and the last field.
struct Timecode {
  std::int64_t clock;  // whole seconds
  std::int64_t last;   // frames or hundredths
};

std::optional<Timecode> ParseTimecode(std::string_view s) {
  s = Trim(s);
  if (s.size() != 11 || s[2] != ':' || s[5] != ':' || s[8] != ':') return std::nullopt;
  std::int64_t part[4];
  for (int i = 0; i < 4; ++i) {
    const char a = s[static_cast<std::size_t>(i * 3)];
    const char b = s[static_cast<std::size_t>(i * 3 + 1)];
    if (!IsDigit(a) || !IsDigit(b)) return std::nullopt;
    part[i] = (a - '0') * 10 + (b - '0');
  }
  return Timecode{(part[0] * 60 + part[1]) * 60 + part[2], part[3]};
}

struct CueFields {
  Timecode start, stop;
  std::string_view text;
};

// A cue line: two timecodes and the text, split at the first two commas.
std::optional<CueFields> ParseCueLine(std::string_view line) {
  const std::size_t a = line.find(',');
  const std::size_t b = a == std::string_view::npos ? a : line.find(',', a + 1);
  if (b == std::string_view::npos) return std::nullopt;
  const auto start = ParseTimecode(line.substr(0, a));
  const auto stop = ParseTimecode(line.substr(a + 1, b - a - 1));
  if (!start || !stop) return std::nullopt;
  return CueFields{*start, *stop, Trim(line.substr(b + 1))};
}

bool IsComment(std::string_view line) {
  return line.substr(0, 2) == "//";
}

// The text with "|" (and the blanks around it) as CR and the ^I ^B ^U switches as <i> <b> <u>,
// every switch closed at the end.
std::string CueText(std::string_view text) {
  static constexpr char kCodes[] = {'I', 'B', 'U'};
  static constexpr const char* kOpen[] = {"<i>", "<b>", "<u>"};
  static constexpr const char* kClose[] = {"</i>", "</b>", "</u>"};
  bool on[3] = {false, false, false};
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '|') {
      // Blanks around the bar only set it apart: "making | our".
      while (!out.empty() && out.back() == ' ') out.pop_back();
      out.push_back('\r');
      while (i + 1 < text.size() && text[i + 1] == ' ') ++i;
      continue;
    }
    if (text[i] == '^' && i + 1 < text.size()) {
      bool code = false;
      for (int k = 0; k < 3; ++k) {
        if (text[i + 1] == kCodes[k] || text[i + 1] == kCodes[k] + ('a' - 'A')) {
          out.append(on[k] ? kClose[k] : kOpen[k]);
          on[k] = !on[k];
          code = true;
        }
      }
      if (code) {
        ++i;
        continue;
      }
    }
    out.push_back(text[i]);
  }
  for (int k = 2; k >= 0; --k) {
    if (on[k]) out.append(kClose[k]);
  }
  return out;
}

// True when the file opens with the settings header the writer gives, whose
// files count hundredths.
bool HasWrittenHeader(const LineViews& lines) {
  constexpr std::size_t count = std::size(kSpruceStlHeader);
  if (lines.size() < count) return false;
  for (std::size_t i = 0; i < count; ++i) {
    if (Trim(i == 0 ? WithoutBom(lines[i]) : lines[i]) != kSpruceStlHeader[i]) return false;
  }
  return true;
}

}  // namespace

void ReadSpruceSubtitleFile(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  double rate = kDefaultFrameRate;
  bool hundredths = HasWrittenHeader(lines);
  // The settings come first; a frame field that reaches the rate can only
  // be hundredths, whatever the header.
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty() || IsComment(line)) continue;
    if (line.front() == '$') {
      const std::size_t equals = line.find('=');
      if (equals == std::string_view::npos) continue;
      if (Lower(Trim(line.substr(1, equals - 1))) != "framerate") continue;
      const std::string_view value = Trim(line.substr(equals + 1));
      double r = 0;
      try {
        r = StrToFloat(value, '.');
      } catch (const SubtitleError&) {
      }
      if (!(r >= 1 && r <= 1000))
        FailAtLine(static_cast<int>(index) + 1, NotValid(value, "frame rate"));
      rate = r;
      continue;
    }
    const auto cue = ParseCueLine(line);
    if (!cue)
      FailAtLine(static_cast<int>(index) + 1,
                 "a line 'HH:MM:SS:FF , HH:MM:SS:FF , text' was expected");
    if (cue->start.last >= rate || cue->stop.last >= rate) hundredths = true;
  }
  const auto time = [&](const Timecode& t) {
    return hundredths ? MakeTime(0, 0, t.clock, t.last)
                      : CheckedMs(MakeTime(0, 0, t.clock, 0) + FramesToTime(t.last, rate, true));
  };
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty() || IsComment(line) || line.front() == '$') continue;
    const CueFields cue = *ParseCueLine(line);
    doc.Cues.push_back({time(cue.start), time(cue.stop), CueText(cue.text)});
  }
}

void WriteSpruceSubtitleFile(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kSpruceStlHeader, kSpruceStlCue, "|", {}});
}

// The first line that is neither a comment nor a setting is a cue line.
bool IsSpruceSubtitleFile(const LineViews& lines) {
  for (std::size_t index = 0; index < HeadOf(lines).size(); ++index) {
    const std::string_view line = Trim(index == 0 ? WithoutBom(lines[index]) : lines[index]);
    if (line.empty() || IsComment(line) || line.front() == '$') continue;
    return ParseCueLine(line).has_value();
  }
  return false;
}

}  // namespace vorlane
