#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/ulead_bytes.h"
#include "tests/formats/writer_bytes.h"

namespace vorlane {
namespace {

const std::string kRule = "-------------------------------------------------\r\n";
const std::string kPinnacleHeader = kRule + "#INPOINT OUTPOINT PATH\r\n" + kRule;

const std::string kScenaristHeader =
    "st_format 2\r\n"
    "Display_Start\tnon_forced\r\n"
    "TV_Type\t\tPAL\r\n"
    "Tape_Type\tNON_DROP\r\n"
    "Pixel_Area\t(2 576)\r\n"
    "Display_Area\t(0 2 719 574)\r\n"
    "Color\t\t(9 3 4 3)\r\n"
    "Contrast\t(15 15 15 0)\r\n"
    "E2\t\t(0 0 255 ===)\r\n"
    "E1\t\t(255 0 0 ===)\r\n"
    "PA\t\t(0 0 0 ===)\r\n"
    "BG\t\t(255 255 255 ===)\r\n"
    "Directory\t.\r\n"
    "#####################################################\r\n"
    "SP_NUMBER\tSTART\t\tEND\t\tFILE_NAME\r\n";

const std::string kMaestroHeader =
    "st_format\t2\r\n"
    "Display_Start\tnon_forced\r\n"
    "TV_Type\t\tPAL\r\n"
    "Tape_Type\tNON_DROP\r\n"
    "Pixel_Area\t(0 573)\r\n"
    "Directory\r\n"
    "\r\n"
    "SP_NUMBER\tSTART\t\tEND\t\tFILE_NAME\r\n"
    "Color\t(0 1 2 3)\r\n"
    "Contrast\t(0 15 15 15)\r\n";

const std::string kSpruceStlHeader =
    "//Font select and font size\r\n"
    "$FontName       = Arial\r\n"
    "$FontSize       = 30\r\n"
    "\r\n"
    "//Character attributes (global)\r\n"
    "$Bold           = FALSE\r\n"
    "$UnderLined     = FALSE\r\n"
    "$Italic         = FALSE\r\n"
    "\r\n"
    "//Position Control\r\n"
    "$HorzAlign      = Center\r\n"
    "$VertAlign      = Bottom\r\n"
    "$XOffset        = 0\r\n"
    "$YOffset        = 0\r\n"
    "\r\n"
    "//Contrast Control\r\n"
    "$TextContrast           = 15\r\n"
    "$Outline1Contrast       = 8\r\n"
    "$Outline2Contrast       = 15\r\n"
    "$BackgroundContrast     = 0\r\n"
    "\r\n"
    "//Effects Control\r\n"
    "$ForceDisplay   = FALSE\r\n"
    "$FadeIn         = 0\r\n"
    "$FadeOut        = 0\r\n"
    "\r\n"
    "//Other Controls\r\n"
    "$TapeOffset          = FALSE\r\n"
    "//$SetFilePathToken  = <<:>>\r\n"
    "\r\n"
    "//Colors\r\n"
    "$ColorIndex1    = 0\r\n"
    "$ColorIndex2    = 1\r\n"
    "$ColorIndex3    = 2\r\n"
    "$ColorIndex4    = 3\r\n"
    "\r\n"
    "//Subtitles\r\n";

class DvdAuthoringWriters : public testing::TestWithParam<WriterCase> {};

TEST_P(DvdAuthoringWriters, WriteExactBytes) {
  EXPECT_EQ(WrittenBytes(GetParam().writer, GetParam().cues), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, DvdAuthoringWriters,
    testing::Values(
        WriterCase{"MacOneCue", WriteMACDVDStudioPro, kOneCue,
                   "01:01:01:50\t01:01:04:00\tA<P>B\r\n"},
        WriterCase{"MacThreeCues", WriteMACDVDStudioPro, kThreeCues,
                   "00:00:00:00\t00:00:01:50\tx\r\n"
                   "00:00:02:00\t00:00:03:00\t\r\n"
                   "100:00:00:05\t100:02:03:45\ty\r\n"},
        WriterCase{"MacEmpty", WriteMACDVDStudioPro, {}, ""},

        WriterCase{"PinnacleOneCue", WritePinnacleImpression, kOneCue,
                   kPinnacleHeader + "01:01:01:50 01:01:04:00 A B\r\n" + kRule},
        WriterCase{"PinnacleThreeCues", WritePinnacleImpression, kThreeCues,
                   kPinnacleHeader +
                       "00:00:00:00 00:00:01:50 x\r\n"
                       "00:00:02:00 00:00:03:00 \r\n"
                       "100:00:00:05 100:02:03:45 y\r\n" +
                       kRule},
        WriterCase{"PinnacleEmpty", WritePinnacleImpression, {}, kPinnacleHeader + kRule},

        WriterCase{"ScenaristOneCue", WriteSonicScenarist, kOneCue,
                   kScenaristHeader + "1\t\t01:01:01:50\t01:01:04:00\tA B\r\n"},
        WriterCase{"ScenaristThreeCues", WriteSonicScenarist, kThreeCues,
                   kScenaristHeader + "1\t\t00:00:00:00\t00:00:01:50\tx\r\n"
                                      "2\t\t00:00:02:00\t00:00:03:00\t\r\n"
                                      "3\t\t100:00:00:05\t100:02:03:45\ty\r\n"},
        WriterCase{"ScenaristEmpty", WriteSonicScenarist, {}, kScenaristHeader},

        WriterCase{"SonicCreatorOneCue", WriteSonicDVDCreator, kOneCue,
                   "0000  01:01:01:50  01:01:04:00  A\r\nB\r\n\r\n"},
        WriterCase{"SonicCreatorThreeCues", WriteSonicDVDCreator, kThreeCues,
                   "0000  00:00:00:00  00:00:01:50  x\r\n\r\n"
                   "0001  00:00:02:00  00:00:03:00  \r\n\r\n"
                   "0002  100:00:00:05  100:02:03:45  y\r\n\r\n"},
        WriterCase{"SonicCreatorEmpty", WriteSonicDVDCreator, {}, ""},

        WriterCase{"MaestroOneCue", WriteSpruceDVDMaestro, kOneCue,
                   kMaestroHeader + "0001\t\t01:01:01:50\t01:01:04:00\tA B\r\n"},
        WriterCase{"MaestroThreeCues", WriteSpruceDVDMaestro, kThreeCues,
                   kMaestroHeader + "0001\t\t00:00:00:00\t00:00:01:50\tx\r\n"
                                    "0002\t\t00:00:02:00\t00:00:03:00\t\r\n"
                                    "0003\t\t100:00:00:05\t100:02:03:45\ty\r\n"},
        WriterCase{"MaestroEmpty", WriteSpruceDVDMaestro, {}, kMaestroHeader},

        WriterCase{"SpruceStlOneCue", WriteSpruceSubtitleFile, kOneCue,
                   kSpruceStlHeader + "01:01:01:50,01:01:04:00,A|B\r\n"},
        WriterCase{"SpruceStlThreeCues", WriteSpruceSubtitleFile, kThreeCues,
                   kSpruceStlHeader + "00:00:00:00,00:00:01:50,x\r\n"
                                      "00:00:02:00,00:00:03:00,\r\n"
                                      "100:00:00:05,100:02:03:45,y\r\n"},
        WriterCase{"SpruceStlEmpty", WriteSpruceSubtitleFile, {}, kSpruceStlHeader},

        WriterCase{"UleadOneCue", WriteUleadDVDWorkshop2a, kOneCue,
                   kUleadHeader + "#0 01:01:01.50 01:01:04.00\r\nA\r\nB\r\n" + UleadFooter("1")},
        // An empty text still takes its line.
        WriterCase{"UleadThreeCues", WriteUleadDVDWorkshop2a, kThreeCues,
                   kUleadHeader +
                       "#0 00:00:00.00 00:00:01.50\r\nx\r\n"
                       "#1 00:00:02.00 00:00:03.00\r\n\r\n"
                       "#2 100:00:00.05 100:02:03.45\r\ny\r\n" +
                       UleadFooter("3")},
        WriterCase{"UleadEmpty", WriteUleadDVDWorkshop2a, {}, kUleadHeader + UleadFooter("0")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteUleadDVDWorkshop2a, StreamFrameRateIsFixed) {
  TSubtitles doc;
  doc.SetFrameRate(29.97);
  LineList lines;
  WriteUleadDVDWorkshop2a(doc, lines);
  EXPECT_EQ(lines.at(3), "#FR:25,0");
}

}  // namespace
}  // namespace vorlane
