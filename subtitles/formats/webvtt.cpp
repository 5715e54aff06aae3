// WebVTT: a "WEBVTT" line, then blocks separated by blank lines. A cue block
// is an optional identifier, a timing line "start --> stop [settings]" and
// its text; NOTE, STYLE and REGION blocks carry nothing for a cue. Reading
// follows the way browsers parse a file, and is lenient where real files
// are (short fractions, a comma before them, blank lines holding spaces).
#include <cctype>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/markup_text.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool IsBlank(std::string_view line) {
  return line.find_first_not_of(" \t") == std::string_view::npos;
}

// The first line without its byte order mark, when it is a WebVTT header:
// "WEBVTT" alone or followed by a space or a tab and any text.
bool IsHeader(std::string_view line) {
  if (StartsWith(line, kBom)) line.remove_prefix(kBom.size());
  return StartsWith(line, "WEBVTT") && (line.size() == 6 || line[6] == ' ' || line[6] == '\t');
}

bool ReadDigits(std::string_view& s, std::int64_t& value, std::size_t& count) {
  value = 0;
  count = 0;
  while (count < s.size() && std::isdigit(static_cast<unsigned char>(s[count]))) {
    if (count < 12) value = value * 10 + (s[count] - '0');
    ++count;
  }
  s.remove_prefix(count);
  return count > 0 && count <= 12;
}

// A timestamp "[h:]mm:ss.ttt" taken whole, as browsers read it: minutes and
// seconds of two digits, hours of any width. Real files also have a comma
// before the fraction, or a fraction of one or two digits (".04" is 40 ms).
// Its time in milliseconds.
std::optional<std::int64_t> ParseTimestamp(std::string_view s) {
  std::int64_t fields[3] = {};
  std::size_t widths[3] = {};
  int n = 0;
  while (true) {
    if (n == 3 || !ReadDigits(s, fields[n], widths[n])) return std::nullopt;
    ++n;
    if (s.empty() || s[0] != ':') break;
    s.remove_prefix(1);
  }
  if (n < 2 || s.size() < 2 || s.size() > 4 || (s[0] != '.' && s[0] != ',')) return std::nullopt;
  s.remove_prefix(1);
  std::int64_t ms = 0;
  std::size_t ms_width = 0;
  if (!ReadDigits(s, ms, ms_width)) return std::nullopt;
  ms *= ms_width == 1 ? 100 : ms_width == 2 ? 10 : 1;
  const std::int64_t hours = n == 3 ? fields[0] : 0;
  const std::int64_t minutes = fields[n - 2];
  const std::int64_t seconds = fields[n - 1];
  if (widths[n - 2] != 2 || widths[n - 1] != 2 || minutes > 59 || seconds > 59) {
    return std::nullopt;
  }
  return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms;
}

std::string_view Trim(std::string_view s) {
  const std::size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The start and stop of a timing line; the cue settings after the stop are
// of no use to the document.
bool ParseTiming(std::string_view line, int number, std::int64_t& start, std::int64_t& stop) {
  const std::size_t arrow = line.find("-->");
  const std::string_view rest = Trim(line.substr(arrow + 3));
  const auto from = ParseTimestamp(Trim(line.substr(0, arrow)));
  const auto to = ParseTimestamp(rest.substr(0, rest.find_first_of(" \t")));
  if (!from || !to) return false;
  start = MillisecondsToTime(static_cast<double>(*from), number);
  stop = MillisecondsToTime(static_cast<double>(*to), number);
  return true;
}

// Cue text as the document holds it: <i>, <b> and <u> kept (without their
// classes), every other tag (<c.x>, <v Name>, <lang>, <ruby>, <rt>,
// timestamps) dropped, character references decoded.
std::string CueText(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '<') {
      const std::size_t close = text.find('>', i);
      // A tag left open runs to the end of the text, as browsers read it.
      const std::size_t end = close == std::string_view::npos ? text.size() : close;
      out += KeptStyleTag(text.substr(i + 1, end - i - 1));
      i = end;
    } else if (c == '&') {
      const std::size_t taken = AppendCharReference(text, i, out);
      if (taken == 0) {
        out += c;
      } else {
        i += taken - 1;
      }
    } else {
      out += c;
    }
  }
  return out;
}

std::string Timestamp(std::int64_t time) {
  // WebVTT has no negative times: an earlier time is shown from the start.
  const MsSplit t = SplitThroughMs(time < 0 ? 0 : time);
  return Format("%.2lld:%.2lld:%.2lld.%.3lld", static_cast<long long>(t.hours),
                static_cast<long long>(t.minutes), static_cast<long long>(t.seconds),
                static_cast<long long>(t.milliseconds));
}

}  // namespace

bool IsWebVTT(const LineViews& lines) {
  return !lines.empty() && IsHeader(lines[0]);
}

void ReadWebVTT(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  if (!IsWebVTT(lines)) FailOnLine(1, "no WEBVTT header");
  const std::size_t n = lines.size();
  auto has_arrow = [&](std::size_t i) { return i < n && Contains(lines[i], "-->"); };
  // The header's own lines run to the first blank line; a timing line
  // there starts the first cue.
  std::size_t i = 1;
  while (i < n && !IsBlank(lines[i]) && !has_arrow(i)) ++i;
  int first_bad = 0;  // the first timing line that could not be read
  while (i < n) {
    if (IsBlank(lines[i])) {
      ++i;
      continue;
    }
    std::size_t timing = i;
    if (!has_arrow(i)) {
      if (!IsBlank(lines[i]) && i + 1 < n && has_arrow(i + 1)) {
        timing = i + 1;  // the line before is the cue's identifier
      } else {
        // NOTE, STYLE, REGION or stray text: skipped to the blank line.
        while (i < n && !IsBlank(lines[i])) ++i;
        continue;
      }
    }
    const int number = static_cast<int>(timing) + 1;
    SubtitleCue cue;
    const bool valid = ParseTiming(lines[timing], number, cue.Start, cue.Stop);
    if (!valid && first_bad == 0) first_bad = number;
    // The text runs to a blank line; a line with "-->" in it starts the
    // next block instead.
    std::string text;
    for (i = timing + 1; i < n && !IsBlank(lines[i]) && !has_arrow(i); ++i) {
      if (i > timing + 1) text += '\n';
      text += lines[i];
    }
    if (!valid) continue;
    cue.Text = ReplaceAll(CueText(text), "\n", "\r");
    doc.Cues.push_back(std::move(cue));
  }
  // Browsers skip a cue whose times they cannot read; a file of which no
  // cue can be read is reported rather than taken as empty.
  if (doc.Cues.empty() && first_bad != 0) FailOnLine(first_bad, "unreadable WebVTT cue timing");
}

namespace {

// WebVTT's tags for the styles; colours need classes and a style sheet, so
// they are dropped.
const TextDialect kWebVTTDialect{
    {"<i>", "</i>"},     {"<b>", "</b>"}, {"<u>", "</u>"}, {}, {}, "RRGGBB", "\r",
    TextDialect::kMarkup};

// The cue settings for where a cue stands: a top or middle row as a line,
// a left or right column as an alignment.
std::string_view CueSettings(const SubtitleCue& cue) {
  static constexpr std::string_view kSettings[] = {
      "",
      " align:left",
      "",
      " align:right",
      " line:50% align:left",
      " line:50%",
      " line:50% align:right",
      " line:0 align:left",
      " line:0",
      " line:0 align:right",
  };
  return cue.Place <= 9 ? kSettings[cue.Place] : std::string_view();
}

}  // namespace

void WriteWebVTT(const TSubtitles& doc, LineList& lines) {
  lines.emplace_back("WEBVTT");
  for (const auto& cue : doc.Cues) {
    lines.emplace_back();
    std::string timing = Timestamp(cue.Start) + " --> " + Timestamp(cue.Stop);
    if (!doc.ClassicReading()) timing.append(CueSettings(cue));
    lines.push_back(std::move(timing));
    const std::string text =
        doc.ClassicReading() ? EscapeMarkup(cue.Text) : CueTextIn(doc, cue, kWebVTTDialect, "\r");
    // A blank line would end the cue early, so empty text lines are left
    // out; "-->" cannot occur since '>' is escaped.
    for (const auto& line : TextLines(text)) {
      if (!IsBlank(line)) lines.push_back(line);
    }
  }
}

}  // namespace vorlane
