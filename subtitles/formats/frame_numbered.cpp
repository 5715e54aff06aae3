// Frame-numbered formats: MPL, MacSub and AQTitle give each cue's times as
// frame numbers at the document's frame rate, and name that rate, as a whole
// number, in their header. The rate is used as it stands: with a rate of 0
// every frame is 0 (the command line refuses that case before it gets here).
#include <cstddef>
#include <string>
#include <string_view>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// "/25 fps" and the like.
std::string RateLine(const char* prefix, const TSubtitles& doc) {
  return FormatTemplate("%s%d fps", {prefix, doc.WholeFrameRate()});
}

constexpr CueLine kMPLCue[] = {{"%d,%d,0,%s", {kStartFrame, kStopFrame, kText}}};

// The text with CR LF for CR, so each of its lines is a line of the file.
constexpr CueLine kMacSubCue[] = {
    {"/%d", {kStartFrame}},
    {"%s", {kText}},
    {"/%d", {kStopFrame}},
};

// Every AQTitle entry has exactly two text lines.
constexpr std::size_t kAQTitleTextLines = 2;
// The two text lines of an entry. A shorter text is padded with empty lines.
// A longer one keeps every word: its further lines, the empty ones left out,
// join the second line, separated by spaces, rather than being lost.
LineList AQTitleText(std::string_view cue_text) {
  LineList text = TextLines(cue_text);
  for (std::size_t i = kAQTitleTextLines; i < text.size(); ++i) {
    if (text[i].empty()) continue;
    std::string& last = text[kAQTitleTextLines - 1];
    if (!last.empty()) last.push_back(' ');
    last.append(text[i]);
  }
  text.resize(kAQTitleTextLines);
  return text;
}

constexpr CueLine kAQTitleStart{"-->> %.6d", {kStartFrame}};
constexpr CueLine kAQTitleStop{"-->> %.6d", {kStopFrame}};

}  // namespace

void WriteMPL(const TSubtitles& doc, LineList& lines) {
  lines.push_back(RateLine("0,0,0,", doc));
  WriteLayout(doc, lines, {{}, kMPLCue, "|", {}});
}

void WriteMacSub(const TSubtitles& doc, LineList& lines) {
  lines.emplace_back("/0");
  lines.push_back(RateLine("/", doc));
  lines.emplace_back("/0");
  WriteLayout(doc, lines, {{}, kMacSubCue, "\r\n", {}});
}

void WriteAQTitle(const TSubtitles& doc, LineList& lines) {
  // The header has the shape of an entry from frame 0 to frame 0 whose text
  // is the rate.
  // Readers take that header for an entry of its own, so only the classic
  // setting writes it.
  if (doc.ClassicReading()) {
    lines.emplace_back("-->> 000000");
    lines.push_back(RateLine("/", doc));
    AddLines(lines, {"", "-->> 000000", "", ""});
  }
  for (std::size_t i = 0; i < doc.Cues.size(); ++i) {
    DropPlace(doc, doc.Cues[i]);
    const LineList text = AQTitleText(TextWithBreaks(doc, doc.Cues[i], "\r"));
    lines.push_back(FormatCueLine(doc, i, kAQTitleStart, ""));
    lines.insert(lines.end(), text.begin(), text.end());
    lines.push_back(FormatCueLine(doc, i, kAQTitleStop, ""));
    AddLines(lines, {"", ""});
  }
}

}  // namespace vorlane
