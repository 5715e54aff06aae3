// Markup and script formats: SAMI, Advanced SSA and StreamSubText Player.
// Each opens with a long fixed header of styles or properties. The cue text
// is written as it stands apart from its line breaks: it is not escaped for
// the markup and no character set is converted.
#include <cstddef>
#include <string>

#include "subtitles/formats/formats.h"
#include "subtitles/formats/stream_writers.h"
#include "subtitles/formats/writer_rules.h"

namespace vorlane {

namespace {

constexpr const char* kSAMIHeader[] = {
    "<SAMI>",
    "<HEAD>",
    "<title>FILM",
    "</title>",
    "<!-- SuperSub",
    "-->",
    "<style type=\"text / css\">",
    "<!--",
    "P {margin-left:8pt;",
    "margin-right:8pt;",
    "margin-bottom:2pt;",
    "margin-top:2pt;",
    "text-align:center;",
    "font-size:28pt;",
    "font-family:arial, sans-serif;",
    "font-weight:normal;",
    "color:yellow;}",
    ".ENCC {Name:English;",
    "lang:en-US;",
    "SAMIType:CC;}",
    "#STDPrn",
    "{Name:Standard Print;",
    "font-size:28pt;}",
    "#LargePrn {Name:Large",
    "Print; font-size:22pt;}",
    "#SmallPrn {Name:Small",
    "Print; font-size:20pt;}",
    "-->",
    "</style>",
    "</head><body>",
};
// The stop is a sync point of its own that blanks the screen.
constexpr CueLine kSAMICue[] = {
    {"<Sync Start=%d><P>%s", {kStartTotalMs, kText}},
    {"<Sync Start=%d><P>&nbsp;", {kStopTotalMs}},
};
constexpr const char* kSAMIFooter[] = {"</BODY>", "</SAMI>"};

constexpr const char* kAdvancedSSAHeader[] = {
    "[Script Info]",
    "ScriptType: v4.00+",
    "Collisions: Normal",
    "PlayResX: 384",
    "PlayResY: 288",
    "Timer: 100.0000",
    "",
    "[V4+ Styles]",
    ("Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, "
     "Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
     "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding"),
    ("Style: Default , Tahoma, 24, &HFFFFFF, &HFFFFFF, &HFFFFFF, &HC0C0C0, -1, 0, 0, 0, 100, 100, "
     "0, 0#, 1, 2, 3, 2, 20, 20, 20, 1"),
    "",
    "[Events]",
    "Format: Layer, Start, End, Style, Actor, MarginL, MarginR, MarginV, Effect, Text",
};
constexpr CueLine kAdvancedSSACue[] = {
    {"Dialogue: 0,%.1d:%.2d:%.2d.%.2d,%.1d:%.2d:%.2d.%.2d,,Default,,0000,0000,0000,,%s",
     {kStartTimecode, kStopTimecode, kText}},
};

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

constexpr WriterLayout kSAMILayout{kSAMIHeader, kSAMICue, "<br>", kSAMIFooter};
constexpr WriterLayout kAdvancedSSALayout{kAdvancedSSAHeader, kAdvancedSSACue, "\\N", {}};

void WriteSAMI(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, kSAMILayout);
}
void StreamSAMI(const TSubtitles& doc, OutputSink& out) {
  WriteLayout(doc, out, kSAMILayout);
}

void WriteAdvancedSSA(const TSubtitles& doc, LineList& lines) {
  WriteLayout(doc, lines, kAdvancedSSALayout);
}
void StreamAdvancedSSA(const TSubtitles& doc, OutputSink& out) {
  WriteLayout(doc, out, kAdvancedSSALayout);
}

void WriteStreamSubTextPlayer(const TSubtitles& doc, LineList& lines) {
  AddLines(lines, kStreamSubTextPlayerIntro);
  lines.push_back(std::string(";") + kHomepage);
  AddLines(lines, kStreamSubTextPlayerProperties);
  for (const auto& cue : doc.Cues) {
    lines.push_back(FormatTemplate(
        "%d\t%d\t%s %s %s",
        {static_cast<std::int64_t>(cue.Start) * 10, static_cast<std::int64_t>(cue.Stop) * 10,
         kRtfOpening, TextWithBreaks(cue, kRtfLineBreak), kRtfClosing}));
  }
}

}  // namespace vorlane
