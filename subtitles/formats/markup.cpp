// StreamSubText Player: a long fixed header of properties, then each cue's
// text as a small RTF document. The cue text is written as it stands apart
// from its line breaks: it is not escaped and no character set is converted.
// (SAMI and Advanced SSA, read as well, have units of their own.)
#include <cstddef>
#include <string>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

// The header lines before and after the player's web address.
constexpr const char* kStreamSubTextPlayerIntro[] = {
    "SST 2.0.73",
    ";",
    ";This is a subtitles file.",
    ";Get the Stream Subtext Player at",
};
constexpr const char* kStreamSubTextPlayerProperties[] = {
    ";",
    "[PROPERTIES]",
    "Title=Project title",
    "Author=Project author",
    "Copyright = Copyright",
    "Description=Project description",
    "Web=Web page",
    "MovieFile = Default.avi",
    "Width = 640",
    "Height = 480",
    "FrameRate = 25#",
    "Aspect=4:3",
    "PixelAspect = 1#",
    "VideoStandard = PC",
    "BackColor=0,0,0",
    "Language = English",
    "Language2=",
    "Volume = 0",
    "FontSizePercent = 0",
    "BoxHeight = 0",
    "TimeOffset = 0",
    "AutoScaleText = 0",
    "[SCRIPT]",
};
// Each cue's text is a small RTF document: white Arial, with each line
// break drawn as a paragraph end.
constexpr char kRtfOpening[] =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang14346{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset0 MS Sans Serif;}}~{\\colortbl ;\\red255\\green255\\blue255;}~"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1252\\fs24";
constexpr char kRtfLineBreak[] = "\\cf0\\f1\\fs17 ~\\par \\cf1\\f0\\fs24 ";
constexpr char kRtfClosing[] = "\\cf0\\f1\\fs17 ~\\par \\pard\\lang14346\\fs17 ~\\par }~";

}  // namespace

void WriteStreamSubTextPlayer(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, kStreamSubTextPlayerIntro);
  lines.push_back(std::string(";") + kHomepage);
  AddLines(lines, kStreamSubTextPlayerProperties);
  for (const auto& cue : doc.Cues) {
    lines.push_back(FormatTemplate(
        "%d\t%d\t%s %s %s",
        {cue.Start, cue.Stop, kRtfOpening, TextWithBreaks(doc, cue, kRtfLineBreak), kRtfClosing}));
  }
}

}  // namespace vorlane
