// Block formats of authoring and titling tools, wrapped in a fixed header
// and, for Ulead DVD Workshop 2, a footer that counts the cues: Ulead DVD
// Workshop 2, DVD Subtitle and Inscriber CG. Timecodes are hh:mm:ss:cc with
// hundredths of a second in the fourth field.
#include <string>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// The frame rate line is fixed; it does not follow the document's rate.
constexpr const char* kUleadHeader[] = {
    "#Ulead subtitle format",
    "",
    "#Subtitle stream attribute begin",
    "#FR:25,0",
    "#Subtitle stream attribute end",
    "",
    "#Subtitle text begin",
};
// Entries are numbered from 0; the timing line ends with a space. The text
// follows with CR LF for CR, one line of the file per line of text.
constexpr CueLine kUleadCue[] = {
    {"#%d %.2d;%.2d;%.2d;%.2d %.2d;%.2d;%.2d;%.2d ", {kIndex, kStartTimecode, kStopTimecode}},
    {"%s", {kText}},
};
constexpr const char* kUleadFooterBeforeCount[] = {
    "#Subtitle text end",
    "",
    "#Subtitle text attribute begin",
};
constexpr const char* kUleadFooterAfterCount[] = {"#Subtitle text attribute end"};

constexpr const char* kDVDSubtitleHeader[] = {
    "{HEAD",   "DISCID=",           "DVDTITLE=", "CODEPAGE=1250", "FORMAT=ASCII", "LANG=",
    "TITLE=1", "ORIGINAL=ORIGINAL", "AUTHOR=",   "WEB=",          "INFO=",        "LICENSE=",
    "}",
};
// Each cue is two blocks. The text block runs from the cue's start to its
// stop. The empty block that follows carries the cue's stop in both of its
// timecodes: a zero-length block at the moment the text leaves the screen,
// which clears it without overlapping the text block.
constexpr CueLine kDVDSubtitleCue[] = {
    {"{T %.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d\r\n%s\r\n}",
     {kStartTimecode, kStopTimecode, kText}},
    {"{T %.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d\r\n\r\n}", {kStopTimecode, kStopTimecode}},
};

// Every line of the text starts with "@@9 "; the two timecodes follow the
// last one, and an empty line ends the cue.
constexpr CueLine kInscriberCGCue[] = {
    {"@@9 %s<%.2d:%.2d:%.2d:%.2d><%.2d:%.2d:%.2d:%.2d>\r\n",
     {kText, kStartTimecode, kStopTimecode}},
};

}  // namespace

void WriteUleadLayout(const TSubtitles& doc, LineList& lines, std::span<const CueLine> cue) {
  WriteLayout(doc, lines, {kUleadHeader, cue, "\r\n", kUleadFooterBeforeCount});
  lines.push_back(FormatTemplate("#/R:1,%d /FP:8", {doc.Cues.size()}));
  AddLines(lines, kUleadFooterAfterCount);
}

void WriteUleadDVDWorkshop2(const TSubtitles& doc, LineList& lines) {
  WriteUleadLayout(doc, lines, kUleadCue);
}

void WriteDVDSubtitle(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, {kDVDSubtitleHeader, kDVDSubtitleCue, "\r\n", {}});
}

void WriteInscriberCG(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, {"@@9 Title"});
  lines.push_back(std::string("@@9 Created by Vorlane (") + kHomepage + ")");
  AddLines(lines, {"@@9 STORY:", "@@9 LANG: ENG", "@@9", "@@9", "@@9", "@@9"});
  WriteLayout(doc, lines, {{}, kInscriberCGCue, "\r\n@@9 ", {}});
}

}  // namespace vorlane
