// SubViewer 1 and 2: a header of bracketed tags, then the cues. Version 1
// puts whole-second times on lines of their own around the text; version 2
// has one timing line in hundredths followed by one text line.
#include <optional>
#include <string>
#include <vector>

#include "subtitles/formats/cue_tolerance.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/text_reading.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

constexpr const char* kStartScript = "******** START SCRIPT ********";

// The tags of a SubViewer 2 header. A line that begins with one of them in
// brackets, in any letter case, is header; other lines that begin with "["
// are text, such as "[Music]" or "[br]" at the start of a cue.
bool IsSubViewer2Tag(std::string_view line) {
  static constexpr std::string_view kTags[] = {
      "INFORMATION", "TITLE", "AUTHOR",   "SOURCE",  "PRG",
      "FILEPATH",    "DELAY", "CD TRACK", "COMMENT", "END INFORMATION",
      "SUBTITLE",    "COLF",  "STYLE",    "SIZE",    "FONT"};
  if (!StartsWith(line, "[")) return false;
  const std::size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  const std::string_view name = line.substr(1, close - 1);
  for (std::string_view tag : kTags) {
    if (name.size() != tag.size()) continue;
    bool same = true;
    for (std::size_t i = 0; i < tag.size() && same; ++i) {
      char c = name[i];
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      same = c == tag[i];
    }
    if (same) return true;
  }
  return false;
}

// "H:MM:SS.f" with a fraction of 1 to 3 digits (tenths, hundredths or
// milliseconds), as milliseconds.
std::optional<std::int64_t> LenientTime(std::string_view s) {
  std::int64_t fields[3] = {};
  for (int f = 0; f < 3; ++f) {
    std::size_t n = 0;
    while (n < s.size() && n < 9 && s[n] >= '0' && s[n] <= '9') {
      fields[f] = fields[f] * 10 + (s[n] - '0');
      ++n;
    }
    if (n == 0 || n >= s.size() || s[n] != (f < 2 ? ':' : '.')) return std::nullopt;
    s.remove_prefix(n + 1);
  }
  if (s.empty() || s.size() > 3 || s.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t fraction = 0;
  for (char c : s) fraction = fraction * 10 + (c - '0');
  for (std::size_t digits = s.size(); digits < 3; ++digits) fraction *= 10;
  return ((fields[0] * 60 + fields[1]) * 60 + fields[2]) * 1000 + fraction;
}

// The two times of a timing line "start,stop", blanks around them allowed.
bool LenientTiming(std::string_view line, TimedCue& cue) {
  const std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return false;
  const auto start = LenientTime(Trim(line.substr(0, comma)));
  const auto stop = LenientTime(Trim(line.substr(comma + 1)));
  if (!start || !stop) return false;
  cue.start = *start;
  cue.stop = *stop;
  return true;
}

}  // namespace

bool SubViewer2LenientSignature(const LineViews& lines) {
  bool header = false;
  for (const std::string_view line : HeadOf(lines)) {
    const std::string_view trimmed = Trim(line);
    if (!header) {
      header = IsSubViewer2Tag(trimmed) &&
               (StartsWith(trimmed, "[INFORMATION]") || StartsWith(trimmed, "[SUBTITLE]"));
      continue;
    }
    TimedCue cue;
    if (LenientTiming(trimmed, cue)) return true;
  }
  return false;
}

void ReadSubViewer2Lenient(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  std::vector<TimedCue> cues;
  CueTolerance tolerance(doc);
  bool open = false;  // the last cue takes text lines
  for (std::size_t index = 0; index < lines.size(); ++index) {
    const std::string_view line = Trim(lines[index]);
    const int number = static_cast<int>(index) + 1;
    if (line.empty()) {
      open = false;
      continue;
    }
    if (!open && IsSubViewer2Tag(line)) continue;
    TimedCue cue;
    cue.line = number;
    if (LenientTiming(line, cue)) {
      tolerance.Read();
      cues.push_back(std::move(cue));
      open = true;
    } else if (!open && line.front() >= '0' && line.front() <= '9' &&
               line.find(':') != std::string_view::npos) {
      // A timing line that fails as one: its text is kept with the cue
      // before, where there is one.
      tolerance.Malformed(number, "unreadable SubViewer timing line",
                          cues.empty() ? "line left out" : "kept as text of the cue before");
      if (!cues.empty()) {
        std::string& text = cues.back().text;
        if (!text.empty()) text += '\r';
        text += line;
        open = true;
      }
    } else if (!cues.empty()) {
      std::string& text = cues.back().text;
      if (!text.empty()) text += '\r';
      text += ReplaceAll(line, "[br]", "\r");
      open = true;
    }
  }
  tolerance.Check();
  PutCues(doc, std::move(cues));
}

void ReadSubViewer1(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  bool started = false;
  // The cue between its start and its stop time line.
  std::optional<SubtitleCue> open;
  FieldList fields;
  ForEachLine(lines, [&](std::string_view line) {
    if (!started) {
      // Nothing before the start marker is read as a cue.
      started = Contains(line, kStartScript);
      return;
    }
    if (StartsWith(line, "[") && SplitByPattern(line, "[?:?:?]?", fields)) {
      // A time line is never text; what follows its "]" is ignored.
      const std::int64_t time = TimeFromFields(fields, 0, Fraction::kNone);
      if (!open) {
        open.emplace();
        open->Start = time;
      } else {
        open->Stop = time;
        if (!open->Text.empty()) open->Text.pop_back();  // CR after the last line
        cues.push_back(std::move(*open));
        open.reset();
      }
    } else if (open) {
      // Text lines keep the "|" the writer puts between the lines of a cue.
      open->Text.append(line).push_back('\r');
    }
  });
  // A start time without a stop time at the end makes no cue.
}

void WriteSubViewer1(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"[Title]", "", "[AUTHOR]", "", "[Source]", "", "[PRG]", "", "[FILEPATH]", "",
                   "[DELAY]", "0", "[CD TRACK]", "0", "[BEGIN]", kStartScript});
  for (const auto& cue : doc.Cues) {
    const SecondsSplit a = SplitThroughRoundedSeconds(cue.Start);
    const SecondsSplit b = SplitThroughRoundedSeconds(cue.Stop);
    lines.push_back(FormatTemplate("[%.2d:%.2d:%.2d]", {a.hours, a.minutes, a.seconds}));
    lines.push_back(TextWithBreaks(doc, cue, "|"));
    lines.push_back(FormatTemplate("[%.2d:%.2d:%.2d]", {b.hours, b.minutes, b.seconds}));
    lines.emplace_back();
  }
  AddLines(lines, {"[end]", "******** END SCRIPT ********"});
}

void ReadSubViewer2(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  // Times of a timing line still waiting for their text line.
  std::optional<SubtitleCue> pending;
  FieldList fields;
  ForEachLine(lines, [&](std::string_view line) {
    if (line.empty() || IsSubViewer2Tag(line)) return;
    if (SplitByPattern(line, "?:?:?.?,?:?:?.?", fields)) {
      // A second timing line before a text line replaces the times.
      SubtitleCue cue;
      cue.Start = TimeFromFields(fields, 0, Fraction::kHundredths);
      cue.Stop = TimeFromFields(fields, 4, Fraction::kHundredths);
      pending = std::move(cue);
    } else if (pending) {
      // One text line per cue; a second one is dropped.
      pending->Text = ReplaceAll(line, "[br]", "\r");
      cues.push_back(std::move(*pending));
      pending.reset();
    }
  });
}

void WriteSubViewer2(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"[INFORMATION]", "[TITLE]", "[AUTHOR]", "[SOURCE]", "[PRG]", "[FILEPATH]",
                   "[DELAY] 0", "[CD TRACK] 0", "[COMMENT]", "[END INFORMATION]", "[SUBTITLE]",
                   "[COLF]&HFFFFFF,[STYLE]db,[SIZE]18,[FONT]Arial", ""});
  for (const auto& cue : doc.Cues) {
    const MsSplit a = SplitToHundredths(cue.Start);
    const MsSplit b = SplitToHundredths(cue.Stop);
    lines.push_back(FormatTemplate("%.2d:%.2d:%.2d.%.2d,%.2d:%.2d:%.2d.%.2d",
                                   {a.hours, a.minutes, a.seconds, a.hundredths, b.hours, b.minutes,
                                    b.seconds, b.hundredths}));
    lines.push_back(TextWithBreaks(doc, cue, "[br]"));
    lines.emplace_back();
  }
}

}  // namespace vorlane
