// Player and lyrics formats: most give each cue one line with its start time
// and text and one with its stop time. Written only (LRC, read as well, has
// a unit of its own: lrc.cpp).
#include <string>

#include "subtitles/decimal.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"
#include "subtitles/formats/writer_rules_ext.h"

namespace vorlane {

namespace {

constexpr FixedLines kNone{};

constexpr const char* kVktHeader[] = {
    "# <HEAD>",
    "# FRAME RATE=MP3",
    "# CREATOR=Project author",
    "# VIDEO SOURCE=C:\\Video.avi",
    "# DATE=2001-01-01",
    "# </HEAD>",
    "#",
};
constexpr const char* kVktFooter[] = {"", "#", "# THE END.", ""};
// Times are plain centisecond counts of at least five digits.
constexpr CueLine kVktCue[] = {
    {"{%.5d %s}", {kStartCentiseconds, kText}},
    {"{%.5d }", {kStopCentiseconds}},
};

constexpr CueLine kOvrCue[] = {
    {"%.2d:%.2d:%.2d:%.2d %s", {kStartTimecode, kText}},
    {"%.2d:%.2d:%.2d:%.2d", {kStopTimecode}},
};

// Whole seconds: the fraction is dropped, not rounded.
constexpr CueLine kPowerDivXCue[] = {
    {"{%.1d:%.2d:%.2d}{%.1d:%.2d:%.2d}%s",
     {kStartHours, kStartMinutes, kStartSeconds, kStopHours, kStopMinutes, kStopSeconds, kText}}};

constexpr const char* kQuickTimeHeader[] = {
    "{QTtext} {font:Tahoma}",
    "{plain} {size:20}",
    "{timeScale:30}",
    "{width:160} {height:32}",
    "{timeStamps:absolute} {language:0}",
};
// The fourth field is hundredths of a second, whatever time scale the header
// names.
constexpr CueLine kQuickTimeCue[] = {
    {"[%.2d:%.2d:%.2d:%.2d]%s", {kStartTimecode, kText}},
    {"[%.2d:%.2d:%.2d:%.2d]", {kStopTimecode}},
};

}  // namespace

void WriteKaraokeLyricsVKT(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kVktHeader, kVktCue, "", kVktFooter});
}

void WriteOVRScript(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kOvrCue, "//", kNone});
}

void WritePowerDivX(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kPowerDivXCue, "|", kNone});
}

void WriteQuickTimeText(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kQuickTimeHeader, kQuickTimeCue, " ", kNone});
}

void WriteSubCreator1x(const TSubtitles& doc, LineList& lines) {
  for (const auto& cue : doc.Cues) {
    const TenthsSplit a = SplitThroughMsToTenths(cue.Start);
    const TenthsSplit b = SplitThroughMsToTenths(cue.Stop);
    lines.push_back(
        FormatTemplate("%.2d:%.2d:%.2d.%.1d:%s",
                       {a.hours, a.minutes, a.seconds, a.tenths, TextWithBreaks(doc, cue, "|")}));
    lines.push_back(
        FormatTemplate("%.2d:%.2d:%.2d.%.1d", {b.hours, b.minutes, b.seconds, b.tenths}));
  }
}

void WriteSubSonic(const TSubtitles& doc, LineList& lines) {
  // Times are counts of tenths of a second with two decimals, written with
  // the program-wide decimal separator: "15.00" for 1.5 s where it is a point.
  const char separator = DecimalSeparator();
  for (const auto& cue : doc.Cues) {
    lines.push_back(FormatTemplate(
        "1 %s \\ ~:\\%s", {TenthsOfSecond(cue.Start, separator), TextWithBreaks(doc, cue, " ")}));
    lines.push_back(FormatTemplate("1 %s", {TenthsOfSecond(cue.Stop, separator)}));
  }
}

}  // namespace vorlane
