#include <gtest/gtest.h>

#include "tests/formats/write_only_cases.h"

namespace vorlane::write_only {
namespace {

class MarkupTest : public testing::TestWithParam<OutputCase> {};

TEST_P(MarkupTest, WritesExactBytes) {
  EXPECT_EQ(SavedBytes(GetParam().format, GetParam().cues, 0, GetParam().classic),
            GetParam().bytes);
}

const std::string kSAMIHeader =
    "<SAMI>\r\n"
    "<HEAD>\r\n"
    "<title>FILM\r\n"
    "</title>\r\n"
    "<!-- SuperSub\r\n"
    "-->\r\n"
    "<style type=\"text / css\">\r\n"
    "<!--\r\n"
    "P {margin-left:8pt;\r\n"
    "margin-right:8pt;\r\n"
    "margin-bottom:2pt;\r\n"
    "margin-top:2pt;\r\n"
    "text-align:center;\r\n"
    "font-size:28pt;\r\n"
    "font-family:arial, sans-serif;\r\n"
    "font-weight:normal;\r\n"
    "color:yellow;}\r\n"
    ".ENCC {Name:English;\r\n"
    "lang:en-US;\r\n"
    "SAMIType:CC;}\r\n"
    "#STDPrn\r\n"
    "{Name:Standard Print;\r\n"
    "font-size:28pt;}\r\n"
    "#LargePrn {Name:Large\r\n"
    "Print; font-size:22pt;}\r\n"
    "#SmallPrn {Name:Small\r\n"
    "Print; font-size:20pt;}\r\n"
    "-->\r\n"
    "</style>\r\n"
    "</head><body>\r\n";
const std::string kSAMIFooter = "</BODY>\r\n</SAMI>\r\n";

const std::string kAdvancedSSAHeader =
    "[Script Info]\r\n"
    "ScriptType: v4.00+\r\n"
    "Collisions: Normal\r\n"
    "PlayResX: 384\r\n"
    "PlayResY: 288\r\n"
    "Timer: 100.0000\r\n"
    "\r\n"
    "[V4+ Styles]\r\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
    "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
    "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n"
    "Style: Default , Tahoma, 24, &HFFFFFF, &HFFFFFF, &HFFFFFF, &HC0C0C0, -1, 0, 0, 0, 100, "
    "100, 0, 0#, 1, 2, 3, 2, 20, 20, 20, 1\r\n"
    "\r\n"
    "[Events]\r\n"
    "Format: Layer, Start, End, Style, Actor, MarginL, MarginR, MarginV, Effect, Text\r\n";

const std::string kPlayerHeader =
    "SST 2.0.73\r\n"
    ";\r\n"
    ";This is a subtitles file.\r\n"
    ";Get the Stream Subtext Player at\r\n"
    ";https://vorlane.org\r\n"
    ";\r\n"
    "[PROPERTIES]\r\n"
    "Title=Project title\r\n"
    "Author=Project author\r\n"
    "Copyright = Copyright\r\n"
    "Description=Project description\r\n"
    "Web=Web page\r\n"
    "MovieFile = Default.avi\r\n"
    "Width = 640\r\n"
    "Height = 480\r\n"
    "FrameRate = 25#\r\n"
    "Aspect=4:3\r\n"
    "PixelAspect = 1#\r\n"
    "VideoStandard = PC\r\n"
    "BackColor=0,0,0\r\n"
    "Language = English\r\n"
    "Language2=\r\n"
    "Volume = 0\r\n"
    "FontSizePercent = 0\r\n"
    "BoxHeight = 0\r\n"
    "TimeOffset = 0\r\n"
    "AutoScaleText = 0\r\n"
    "[SCRIPT]\r\n";
const std::string kRtfOpening =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang14346{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
    "{\\f1\\fnil\\fcharset0 MS Sans Serif;}}~{\\colortbl ;\\red255\\green255\\blue255;}~"
    "\\viewkind4\\uc1\\pard\\cf1\\lang1252\\fs24";
const std::string kRtfBreak = "\\cf0\\f1\\fs17 ~\\par \\cf1\\f0\\fs24 ";
const std::string kRtfClosing = "\\cf0\\f1\\fs17 ~\\par \\pard\\lang14346\\fs17 ~\\par }~";

INSTANTIATE_TEST_SUITE_P(
    Formats, MarkupTest,
    testing::Values(
        OutputCase{"SAMIOneCue", sfSAMI, kOneCue,
                   kSAMIHeader + "<Sync Start=1500><P>A<br>B\r\n<Sync Start=3250><P>&nbsp;\r\n" +
                       kSAMIFooter},
        OutputCase{"SAMIEmpty", sfSAMI, {}, kSAMIHeader + kSAMIFooter},
        // Markup characters in the text are written as they stand.
        OutputCase{"SAMITextUnescaped",
                   sfSAMI,
                   {{0, 360000000, "x < y & z>"}},
                   kSAMIHeader +
                       "<Sync Start=0><P>x < y & z>\r\n"
                       "<Sync Start=360000000><P>&nbsp;\r\n" +
                       kSAMIFooter,
                   0,
                   true},
        OutputCase{"AdvancedSSAOneCue", sfAdvancedSSA, kOneCue,
                   kAdvancedSSAHeader +
                       "Dialogue: 0,0:00:01.50,0:00:03.25,Default,,0000,0000,0000,,A\\NB\r\n"},
        OutputCase{"AdvancedSSAEmpty", sfAdvancedSSA, {}, kAdvancedSSAHeader},
        OutputCase{"AdvancedSSATenHours",
                   sfAdvancedSSA,
                   {{36000000, 36061500, ""}},
                   kAdvancedSSAHeader +
                       "Dialogue: 0,10:00:00.00,10:01:01.50,Default,,0000,0000,0000,,\r\n"},
        OutputCase{"PlayerOneCue", sfStreamSubTextPlayer, kOneCue,
                   kPlayerHeader + "1500\t3250\t" + kRtfOpening + " A" + kRtfBreak + "B " +
                       kRtfClosing + "\r\n"},
        OutputCase{"PlayerEmpty", sfStreamSubTextPlayer, {}, kPlayerHeader},
        // Milliseconds of the largest time do not fit in 32 bits.
        OutputCase{"PlayerLongTimes",
                   sfStreamSubTextPlayer,
                   {{0, 21474836470, ""}},
                   kPlayerHeader + "0\t21474836470\t" + kRtfOpening + "  " + kRtfClosing + "\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// The classic line has an empty field after End, one more than the Format
// line names.
TEST(WriteMarkup, ClassicAdvancedSSAKeepsItsExtraField) {
  TSubtitles doc;
  doc.SetClassicReading(true);
  doc.Cues = kOneCue;
  LineList lines;
  doc.SaveToList(lines, sfAdvancedSSA);
  EXPECT_EQ(
      JoinLines(lines),
      kAdvancedSSAHeader + "Dialogue: 0,0:00:01.50,0:00:03.25,,Default,,0000,0000,0000,,A\\NB\r\n");
}

TEST(WriteMarkup, HeadersHaveTheirLineCounts) {
  EXPECT_EQ(SavedLines(sfSAMI, {}).size(), 32u);
  EXPECT_EQ(SavedLines(sfAdvancedSSA, {}).size(), 13u);
  EXPECT_EQ(SavedLines(sfStreamSubTextPlayer, {}).size(), 28u);
}

TEST(WriteMarkup, DetectionOfTheOutput) {
  const DetectionCase cases[] = {
      {sfSAMI, sfSAMI},
      {sfAdvancedSSA, sfAdvancedSSA},
      {sfStreamSubTextPlayer, sfStreamSubTextPlayer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.written).name);
    EXPECT_EQ(DetectedFormat(c.written, kOneCue), c.detected);
  }
}

}  // namespace
}  // namespace vorlane::write_only
