// MPL2 and TMPlayer: one line per cue, the text's lines separated by "|".
// MPL2 gives start and stop in deciseconds, "[start][stop]text"; TMPlayer
// gives the start only, "hh:mm:ss:text", and its cues last three seconds.
#include <string>

#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// TMPlayer stores no stop time; every cue read from it lasts this long.
constexpr std::int64_t kTMPlayerDuration = 300;

}  // namespace

void ReadMPL2(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  ForEachLine(lines, [&](std::string_view line) {
    if (!StartsWith(line, "[")) return;
    const int p1 = PosEx("][", line, 2);
    if (p1 == 0) return;
    const int p2 = PosEx("]", line, p1 + 2);
    if (p2 == 0) return;
    const std::int64_t start = StrToInt(CopyRange(line, 2, p1));
    const std::int64_t stop = StrToInt(CopyRange(line, p1 + 2, p2));
    SubtitleCue cue;
    cue.Start = CheckedTime(start * 10);
    cue.Stop = CheckedTime(stop * 10);
    // With the classic rules other markup, such as a leading "/", stays part
    // of the text.
    cue.Text = ReplaceAll(CopyTail(line, p2 + 1), "|", "\r");
    if (!doc.ClassicReading()) MicroDVDTextToModel(cue);
    cues.push_back(std::move(cue));
  });
}

namespace {

// The cue text with MPL2's one style, a '/' in front of an italic line;
// every other style is dropped and counted.
std::string MPL2Text(const TSubtitles& doc, const SubtitleCue& cue) {
  DropPlace(doc, cue);
  if (doc.ClassicReading() || cue.Text.find('<') == std::string::npos) {
    return TextWithBreaks(cue, "|");
  }
  std::string out;
  const std::vector<StyledLine> lines = StyledLines(cue.Text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const StyledLine& line = lines[i];
    if (i > 0) out += '|';
    doc.Dropped.styles += line.partial || line.bold || line.underline;
    doc.Dropped.colours += line.colour.has_value();
    if (line.italic && !line.partial) out += '/';
    out += line.text;
  }
  return out;
}

}  // namespace

void WriteMPL2(const TSubtitles& doc, LineList& lines) {
  for (const auto& cue : doc.Cues) {
    lines.push_back(FormatTemplate(
        "[%d][%d]%s",
        {RoundHalfEven(cue.Start / 100.0), RoundHalfEven(cue.Stop / 100.0), MPL2Text(doc, cue)}));
  }
}

void ReadTMPlayer(TSubtitles& doc, const LineViews& lines) {
  auto& cues = doc.Cues;
  cues.clear();
  int number = 0;
  ForEachLine(lines, [&](std::string_view line) {
    ++number;
    // A shifted file's "-0:00:07:" lies before zero: kept so, but with the
    // classic rules, which pass over the line.
    const bool negative =
        !doc.ClassicReading() && line.size() > 1 && line[0] == '-' && line[1] == '0';
    if (negative) line.remove_prefix(1);
    // Only hours that begin with "0" are read: ten hours or more, or an
    // unpadded hour, never are.
    if (!StartsWith(line, "0")) return;
    // A search that finds nothing gives 0, and the next one then starts
    // again from the beginning of the line.
    const int p1 = Pos(":", line);
    const int p2 = PosEx(":", line, p1 + 1);
    const int p3 = PosEx(":", line, p2 + 1);
    if (p1 > 0 && p2 > 0 && p3 > 0) {
      const std::int64_t hours = StrToInt(CopyRange(line, 1, p1));
      const std::int64_t minutes = StrToInt(CopyRange(line, p1 + 1, p2));
      const std::int64_t seconds = StrToInt(CopyRange(line, p2 + 1, p3));
      SubtitleCue cue;
      cue.Start = MakeTime(hours, minutes, seconds, 0) * (negative ? -1 : 1);
      cue.Stop = CheckedTime(cue.Start / 10 + kTMPlayerDuration);
      cue.Text = ReplaceAll(CopyTail(line, p3 + 1), "|", "\r");
      if (!doc.ClassicReading()) MicroDVDTextToModel(cue);
      cues.push_back(std::move(cue));
    } else if (p1 > 0 || p2 > 0 || p3 > 0) {
      // One or two colons: not a cue line, and not a line to pass over
      // either. The failure names the line.
      throw SubtitleError(std::to_string(number));
    }
  });
}

void WriteTMPlayer(const TSubtitles& doc, LineList& lines) {
  for (const auto& cue : doc.Cues) {
    const SecondsSplit t = SplitThroughRoundedSeconds(cue.Start);
    lines.push_back(FormatTemplate("%.2d:%.2d:%.2d:%s",
                                   {t.hours, t.minutes, t.seconds, TextWithBreaks(doc, cue, "|")}));
  }
}

}  // namespace vorlane
