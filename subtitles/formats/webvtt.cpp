// WebVTT: a "WEBVTT" line, then blocks separated by blank lines. A cue block
// is an optional identifier, a timing line "start --> stop [settings]" and
// its text; NOTE, STYLE and REGION blocks carry nothing for a cue. Reading
// follows the standard's parsing algorithm, as browsers do: a timestamp of
// another shape ("00:00.00", "00:00,000") makes no cue.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// Whitespace as WebVTT counts it: no vertical tab.
bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsAsciiDigit(char c) {
  return c >= '0' && c <= '9';
}

void SkipSpaces(std::string_view s, std::size_t& at) {
  while (at < s.size() && IsSpace(s[at])) ++at;
}

// Digits from at on; their count in width. Values past 18 digits saturate.
std::int64_t Digits(std::string_view s, std::size_t& at, std::size_t& width) {
  std::int64_t value = 0;
  width = 0;
  for (; at < s.size() && IsAsciiDigit(s[at]); ++at, ++width) {
    if (value < 100000000000000000) value = value * 10 + (s[at] - '0');
  }
  return value;
}

// A timestamp at s[at] by the standard's rules, as milliseconds: "mm:ss.ttt"
// or "h:mm:ss.ttt" with hours of any width, minutes and seconds of two
// digits up to 59, milliseconds of three. Nothing for any other shape.
// Lenient, the fraction may also have one or two digits (".04" is 40 ms),
// as some real files write it, when a blank or the end of the line follows.
std::optional<std::int64_t> CollectTimestamp(std::string_view s, std::size_t& at, bool lenient) {
  if (at >= s.size() || !IsAsciiDigit(s[at])) return std::nullopt;
  std::size_t width = 0;
  std::int64_t first = Digits(s, at, width);
  const bool hours = width != 2 || first > 59;
  if (at >= s.size() || s[at] != ':') return std::nullopt;
  ++at;
  std::int64_t second = Digits(s, at, width);
  if (width != 2) return std::nullopt;
  std::int64_t third = 0;
  if (hours || (at < s.size() && s[at] == ':')) {
    if (at >= s.size() || s[at] != ':') return std::nullopt;
    ++at;
    third = Digits(s, at, width);
    if (width != 2) return std::nullopt;
  } else {
    third = second;
    second = first;
    first = 0;
  }
  if (at >= s.size() || s[at] != '.') return std::nullopt;
  ++at;
  std::int64_t ms = Digits(s, at, width);
  if (lenient && (width == 1 || width == 2) && (at == s.size() || IsSpace(s[at]))) {
    ms *= width == 1 ? 100 : 10;
    width = 3;
  }
  if (width != 3 || second > 59 || third > 59) return std::nullopt;
  if (first > 2000000000) return std::nullopt;  // far beyond any video
  return ((first * 60 + second) * 60 + third) * 1000 + ms;
}

// A percentage "12.5%": digits with at most one dot between digits, 0 to 100.
std::optional<double> Percentage(std::string_view s) {
  if (s.size() < 2 || s.back() != '%') return std::nullopt;
  s.remove_suffix(1);
  const std::size_t dot = s.find('.');
  if (s.empty() || s.find_first_not_of("0123456789.") != std::string_view::npos ||
      (dot != std::string_view::npos &&
       (dot == 0 || dot + 1 == s.size() || s.find('.', dot + 1) != std::string_view::npos))) {
    return std::nullopt;
  }
  // strtod, not stod: a value past the range of a double is no error here.
  const double value = std::strtod(std::string(s).c_str(), nullptr);
  if (value > 100) return std::nullopt;
  return value;
}

// The row (0 top, 1 middle, 2 bottom) a "line" setting puts a cue on, or
// -1 when the value is not one the standard takes.
int LineRow(std::string_view value) {
  const std::size_t comma = value.find(',');
  const std::string_view position = value.substr(0, comma);
  if (comma != std::string_view::npos) {
    const std::string_view align = value.substr(comma + 1);
    if (align != "start" && align != "center" && align != "end") return -1;
  }
  if (position.find_first_of("0123456789") == std::string_view::npos) return -1;
  if (!position.empty() && position.back() == '%') {
    const auto percent = Percentage(position);
    if (!percent) return -1;
    return *percent < 100.0 / 3 ? 0 : *percent < 200.0 / 3 ? 1 : 2;
  }
  // A line number: counted from the top when not negative, from the
  // bottom when negative.
  if (position.find_first_not_of("-0123456789.") != std::string_view::npos ||
      position.find('-', 1) != std::string_view::npos) {
    return -1;
  }
  const std::size_t dot = position.find('.');
  if (dot != std::string_view::npos &&
      (dot == 0 || dot + 1 == position.size() ||
       position.find('.', dot + 1) != std::string_view::npos || !IsAsciiDigit(position[dot - 1]) ||
       !IsAsciiDigit(position[dot + 1]))) {
    return -1;
  }
  return position[0] == '-' ? 2 : 0;
}

// The keypad place of a cue's settings ("line:0 align:start"): row from
// "line", column from "position", else from "align". 0 for the default
// bottom centre, whatever said it.
}  // namespace

std::uint8_t WebVTTCuePlace(std::string_view settings) {
  int row = 2;
  int column = -1;        // 0 left, 1 centre, 2 right
  int align_column = -1;  // the same from "align"
  std::size_t at = 0;
  while (true) {
    SkipSpaces(settings, at);
    if (at >= settings.size()) break;
    const std::size_t begin = at;
    while (at < settings.size() && !IsSpace(settings[at])) ++at;
    const std::string_view setting = settings.substr(begin, at - begin);
    const std::size_t colon = setting.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == setting.size()) continue;
    const std::string_view name = setting.substr(0, colon);
    const std::string_view value = setting.substr(colon + 1);
    if (name == "line") {
      if (const int r = LineRow(value); r >= 0) row = r;
    } else if (name == "position") {
      const std::size_t comma = value.find(',');
      if (comma != std::string_view::npos) {
        const std::string_view align = value.substr(comma + 1);
        if (align != "line-left" && align != "center" && align != "line-right") continue;
      }
      if (const auto percent = Percentage(value.substr(0, comma))) {
        column = *percent < 100.0 / 3 ? 0 : *percent <= 200.0 / 3 ? 1 : 2;
      }
    } else if (name == "align") {
      if (value == "start" || value == "left") align_column = 0;
      if (value == "center" || value == "middle") align_column = 1;
      if (value == "end" || value == "right") align_column = 2;
    }
  }
  if (column < 0) column = align_column < 0 ? 1 : align_column;
  if (row == 2 && column == 1) return 0;
  static constexpr std::uint8_t kKeypad[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
  return kKeypad[row][column];
}

namespace {

// The times and place of a timing line "start --> end settings", or false
// when the standard takes it for no cue.
bool CollectTiming(std::string_view line, TimedCue& cue, bool lenient) {
  std::size_t at = 0;
  SkipSpaces(line, at);
  const auto start = CollectTimestamp(line, at, lenient);
  if (!start) return false;
  SkipSpaces(line, at);
  if (line.substr(at, 3) != "-->") return false;
  at += 3;
  SkipSpaces(line, at);
  const auto stop = CollectTimestamp(line, at, lenient);
  if (!stop) return false;
  cue.start = *start;
  cue.stop = *stop;
  cue.place = WebVTTCuePlace(line.substr(at));
  return true;
}

// Cue text as the document holds it: <i>, <b> and <u> kept (without their
// classes and closed where the cue ends), the other elements (<c.x>,
// <v Name>, <lang>, <ruby>, <rt>) and timestamps dropped with their text
// kept, character references decoded. A '<' always opens a tag, which runs
// to '>' or the end of the text, as browsers read it.
std::string CueText(std::string_view text) {
  std::string out;
  std::vector<std::string_view> open;  // the elements open, innermost last
  const auto styled = [](std::string_view name) {
    return name == "i" || name == "b" || name == "u";
  };
  std::size_t i = 0;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '&') {
      const std::size_t taken = AppendCharReference(text, i, out);
      if (taken == 0) out += '&';
      i += taken == 0 ? 1 : taken;
      continue;
    }
    if (c != '<') {
      out += c == '\n' ? '\r' : c;
      ++i;
      continue;
    }
    const std::size_t close = text.find('>', i);
    const std::size_t end = close == std::string_view::npos ? text.size() : close;
    const std::string_view tag = text.substr(i + 1, end - i - 1);
    i = close == std::string_view::npos ? text.size() : close + 1;
    if (!tag.empty() && tag[0] == '/') {
      const std::string_view name = tag.substr(1);
      if (!open.empty() && open.back() == name) {
        if (styled(name)) out.append("</").append(name).append(">");
        open.pop_back();
      } else if (name == "ruby" && open.size() >= 2 && open.back() == "rt" &&
                 open[open.size() - 2] == "ruby") {
        open.resize(open.size() - 2);
      }
      continue;
    }
    const std::string_view name = tag.substr(0, tag.find_first_of(".\t\n\f "));
    const bool known = styled(name) || name == "c" || name == "v" || name == "lang" ||
                       name == "ruby" || (name == "rt" && !open.empty() && open.back() == "ruby");
    if (!known) continue;  // timestamps and unknown tags
    open.push_back(name);
    if (styled(name)) out.append("<").append(name).append(">");
  }
  for (auto it = open.rbegin(); it != open.rend(); ++it) {
    if (styled(*it)) out.append("</").append(*it).append(">");
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

// The standard's parsing algorithm over lines already split at CR LF, CR
// and LF. A block is a run of non-empty lines (a line of blanks is not
// empty): a timing line as its first line, or as its second after an
// identifier, makes it a cue, and a further line with "-->" ends it and
// starts the next block. The header's lines run to the first empty line or
// to a line with "-->". A cue whose timing line cannot be read is left out
// with a warning; a file of which no cue at all can be read fails.
namespace {

// The cues of the lines by that algorithm, timestamps read leniently or
// not; the line of the first timing line that could not be read in
// first_bad (0 when none), and a warning for each.
std::vector<TimedCue> ReadCues(TSubtitles& doc, const LineViews& lines, bool lenient,
                               int& first_bad) {
  const std::size_t n = lines.size();
  const auto arrow = [&](std::size_t i) { return Contains(lines[i], "-->"); };
  std::size_t i = 1;
  while (i < n && !lines[i].empty() && !arrow(i)) ++i;
  std::vector<TimedCue> cues;
  first_bad = 0;
  while (i < n) {
    if (lines[i].empty()) {
      ++i;
      continue;
    }
    // Lines 1 and 2 of the block may hold the timing; any later "-->" line
    // starts a new block.
    std::size_t timing = n;
    if (arrow(i)) {
      timing = i;
    } else if (i + 1 < n && !lines[i + 1].empty() && arrow(i + 1)) {
      timing = i + 1;
    }
    if (timing == n) {
      // NOTE, STYLE, REGION or stray text: no cue.
      while (i < n && !lines[i].empty() && !arrow(i)) ++i;
      continue;
    }
    TimedCue cue;
    cue.line = static_cast<int>(timing) + 1;
    const bool valid = CollectTiming(lines[timing], cue, lenient);
    std::string text;
    for (i = timing + 1; i < n && !lines[i].empty() && !arrow(i); ++i) {
      if (i > timing + 1) text += '\n';
      text += lines[i];
    }
    if (!valid) {
      // The block's other lines are passed over; a following timing line
      // begins a block of its own.
      if (first_bad == 0) first_bad = cue.line;
      doc.Warn(cue.line, "unreadable cue timing; cue left out");
      continue;
    }
    cue.text = CueText(text);
    cues.push_back(std::move(cue));
  }
  return cues;
}

}  // namespace

void ReadWebVTT(TSubtitles& doc, const LineViews& lines) {
  doc.Cues.clear();
  if (!IsWebVTT(lines)) FailAtLine(1, "no WEBVTT header");
  const std::size_t warnings = doc.Warnings.size();
  int first_bad = 0;
  std::vector<TimedCue> cues = ReadCues(doc, lines, false, first_bad);
  if (cues.empty() && first_bad != 0) {
    // Not one timestamp of the standard's shape: rather than lose the
    // file, its short fractions and commas are read as they are meant.
    doc.Warnings.resize(warnings);
    const int line = first_bad;
    cues = ReadCues(doc, lines, true, first_bad);
    if (cues.empty()) FailAtLine(line, "unreadable WebVTT cue timing");
    doc.Warn(line, "no timestamp of the form mm:ss.ttt; fractions of one or two digits taken");
  }
  PutCues(doc, std::move(cues));
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
