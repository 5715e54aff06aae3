// TurboTitler, ViPlay and Zero G: one cue per line, read by splitting the
// line with a pattern. The three readers differ only in their pattern, the
// fields they take, the unit of the fraction and the line-break token, so
// one routine reads all three from a description of each.
#include <string_view>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/reader_rules.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

struct CueLineFormat {
  std::string_view skip_prefix;  // lines beginning with it are passed over
  const char* pattern;
  int start_field;  // hours, minutes, seconds and fraction follow
  int stop_field;   // the same for the stop
  int text_field;   // everything after the last separator
  Fraction fraction;
  std::string_view break_token;
};

// The marker word ("NTP" as written) stands between the second comma and
// the text; whatever word stands there is dropped.
constexpr CueLineFormat kTurboTitler{"", "?:?:?.?,?:?:?.?,? ?", 0,  4,
                                     9,  Fraction::kHundredths, "|"};
constexpr CueLineFormat kViPlay{"{* ", "?:?:?,?-?:?:?,?=?", 0, 4, 8, Fraction::kMilliseconds, "|"};
// Two leading words, then after the times a style and a marker word, all
// dropped.
constexpr CueLineFormat kZeroG{"%", "? ? ?:?:?.? ?:?:?.? ? ? ?", 2,    6,
                               12,  Fraction::kHundredths,       "\\n"};

void ReadCueLines(TSubtitles& doc, const LineViews& lines, const CueLineFormat& format) {
  auto& cues = doc.Cues;
  cues.clear();
  FieldList fields;
  ForEachLine(lines, [&](std::string_view line) {
    if (!format.skip_prefix.empty() && StartsWith(line, format.skip_prefix)) return;
    // A line that does not split is no cue and no error.
    if (!SplitByPattern(line, format.pattern, fields)) return;
    // An empty stretch between two separators gives one field less, so the
    // later fields move down; a word that lands in a number field, or a
    // missing text field, then fails the read.
    SubtitleCue cue;
    const bool precise = !doc.ClassicReading();
    cue.Start = TimeFromFields(fields, format.start_field, format.fraction, precise);
    cue.Stop = TimeFromFields(fields, format.stop_field, format.fraction, precise);

    cue.Text = ReplaceAll(ListItem(fields, format.text_field), format.break_token, "\r");
    cues.push_back(std::move(cue));
  });
}

}  // namespace

void ReadTurboTitler(TSubtitles& doc, const LineViews& lines) {
  ReadCueLines(doc, lines, kTurboTitler);
}

void ReadViPlay(TSubtitles& doc, const LineViews& lines) {
  ReadCueLines(doc, lines, kViPlay);
}

void ReadZeroG(TSubtitles& doc, const LineViews& lines) {
  ReadCueLines(doc, lines, kZeroG);
}

void WriteTurboTitler(const TSubtitles& doc, LineList& lines) {
  for (const auto& cue : doc.Cues) {
    const MsSplit a = SplitToHundredths(cue.Start);
    const MsSplit b = SplitToHundredths(cue.Stop);
    lines.push_back(FormatTemplate("%.1d:%.2d:%.2d.%.2d,%.1d:%.2d:%.2d.%.2d,NTP %s",
                                   {a.hours, a.minutes, a.seconds, a.hundredths, b.hours, b.minutes,
                                    b.seconds, b.hundredths, TextWithBreaks(doc, cue, "|")}));
  }
}

void WriteViPlay(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"{* VIPLAY SUBTITLE FILE *}"});
  for (const auto& cue : doc.Cues) {
    const MsSplit a = SplitThroughMs(cue.Start);
    const MsSplit b = SplitThroughMs(cue.Stop);
    lines.push_back(
        FormatTemplate("%.2d:%.2d:%.2d,%.3d-%.2d:%.2d:%.2d,%.3d=%s",
                       {a.hours, a.minutes, a.seconds, a.milliseconds, b.hours, b.minutes,
                        b.seconds, b.milliseconds, TextWithBreaks(doc, cue, "|")}));
  }
}

void WriteZeroG(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"% Zero G 1.0", ""});
  for (const auto& cue : doc.Cues) {
    const MsSplit a = SplitToHundredths(cue.Start);
    const MsSplit b = SplitToHundredths(cue.Stop);
    lines.push_back(FormatTemplate("E 1 %.1d:%.2d:%.2d.%.2d %.1d:%.2d:%.2d.%.2d Default NTP %s",
                                   {a.hours, a.minutes, a.seconds, a.hundredths, b.hours, b.minutes,
                                    b.seconds, b.hundredths, TextWithBreaks(doc, cue, "\\n")}));
  }
}

}  // namespace vorlane
