// Caption and broadcast formats: timecoded caption lists of captioning,
// broadcast and presentation tools. Written only.
#include <string>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

constexpr FixedLines kNone{};

// The line break is the two characters backslash and n.
constexpr CueLine kClassicJacoCue[] = {
    {"%.1d:%.2d:%.2d:%.2d %.1d:%.2d:%.2d:%.2d {NTP} %s", {kStartTimecode, kStopTimecode, kText}}};
// Hundredths after a point, as JACOSub's readers take them.
constexpr CueLine kJacoCue[] = {
    {"%.1d:%.2d:%.2d.%.2d %.1d:%.2d:%.2d.%.2d {NTP} %s", {kStartTimecode, kStopTimecode, kText}}};

constexpr CueLine kPowerPixelCue[] = {
    {"%.2d:%.2d:%.2d:%.2d\t%.2d:%.2d:%.2d:%.2d\r\n%s\r\n", {kStartTimecode, kStopTimecode, kText}}};

constexpr const char* kRealTimeHeader[] = {
    "<Window",
    "  Width    = \"640\"",
    "  Height   = \"480\"",
    "  WordWrap = \"true\"",
    "  Loop     = \"true\"",
    "  bgcolor  = \"black\"",
    ">",
    "<Font",
    "  Color = \"white\"",
    "  Face  = \"Arial\"",
    "  Size  = \"+2\"",
    ">",
    "<center>",
    "<b>",
    "",
};
constexpr const char* kRealTimeFooter[] = {"</b>", "</center>"};

// Numbered from 1 in five columns.
constexpr CueLine kScantitleCue[] = {{"%5d %.2d:%.2d:%.2d:%.2d       %.2d:%.2d:%.2d:%.2d\r\n%s\r\n",
                                      {kNumber, kStartTimecode, kStopTimecode, kText}}};

// The text comes first and its time line after it; no empty line follows.
constexpr CueLine kSofniCue[] = {
    {"%s\r\n%.2d:%.2d:%.2d.%.2d\\%.2d:%.2d:%.2d.%.2d", {kText, kStartTimecode, kStopTimecode}}};

// Numbered from 0 in four columns.
constexpr CueLine kWincapsCue[] = {{"%4d %.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d\r\n%s\r\n",
                                    {kIndex, kStartTimecode, kStopTimecode, kText}}};

}  // namespace

void WriteJACOSub2(const TSubtitles& doc, LineList& lines) {
  // The header names the directives #D1 to #D29, all of them empty.
  AddLines(lines, {"#T100", "", "# Directive entries", "#D"});
  for (int directive = 1; directive <= 29; ++directive) {
    lines.push_back("#D" + std::to_string(directive));
  }
  lines.emplace_back();
  WriteLayout(doc, lines, {kNone, doc.ClassicReading() ? kClassicJacoCue : kJacoCue, "\\n", kNone});
}

void WritePowerPixel(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kPowerPixelCue, "\r\n", kNone});
}

void WriteRealTime(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, kRealTimeHeader);
  if (!doc.ClassicReading()) {
    // Both times as H:MM:SS.CC, hundredths after a point, which RealText
    // readers take as written; the text as markup, escaped.
    static const CompiledTemplate cue_line(
        "<Time begin=\"%.1d:%.2d:%.2d.%.2d\" end=\"%.1d:%.2d:%.2d.%.2d\" /><clear/>%s");
    for (const auto& cue : doc.Cues) {
      const MsSplit a = SplitToHundredths(cue.Start);
      const MsSplit b = SplitToHundredths(cue.Stop);
      DropPlace(doc, cue);
      const std::string text = CueTextIn(doc, cue, kHtmlDialect, "<br>");
      std::string line;
      cue_line.AppendTo(line, {a.hours, a.minutes, a.seconds, a.hundredths, b.hours, b.minutes,
                               b.seconds, b.hundredths, text});
      lines.push_back(std::move(line));
    }
    AddLines(lines, kRealTimeFooter);
    return;
  }
  // Both times carry tenths of a second: the begin time one digit after a
  // point, the end time two digits after a colon ("00:00:03:05" for 3.5 s).
  for (const auto& cue : doc.Cues) {
    const TenthsSplit a = SplitThroughMsToTenths(cue.Start);
    const TenthsSplit b = SplitThroughMsToTenths(cue.Stop);
    lines.push_back(FormatTemplate(
        "<Time begin=\"%.1d:%.2d:%.2d.%.1d\" end=\"%.2d:%.2d:%.2d:%.2d\" /><clear/>%s",
        {a.hours, a.minutes, a.seconds, a.tenths, b.hours, b.minutes, b.seconds, b.tenths,
         TextWithBreaks(cue, "<br>")}));
  }
  AddLines(lines, kRealTimeFooter);
}

void WriteScantitle890(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kScantitleCue, "\r\n", kNone});
}

void WriteSofni(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kSofniCue, "\r\n", kNone});
}

void WriteWincapsTextTimecoded(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kNone, kWincapsCue, "\r\n", kNone});
}

}  // namespace vorlane
