#include <gtest/gtest.h>

#include "tests/formats/ulead_bytes.h"
#include "tests/formats/write_only_cases.h"

namespace vorlane::write_only {
namespace {

class BlockFormatsTest : public testing::TestWithParam<OutputCase> {};

TEST_P(BlockFormatsTest, WritesExactBytes) {
  EXPECT_EQ(SavedBytes(GetParam().format, GetParam().cues), GetParam().bytes);
}

const std::string kDVDSubtitleHeader =
    "{HEAD\r\nDISCID=\r\nDVDTITLE=\r\nCODEPAGE=1250\r\nFORMAT=ASCII\r\nLANG=\r\nTITLE=1\r\n"
    "ORIGINAL=ORIGINAL\r\nAUTHOR=\r\nWEB=\r\nINFO=\r\nLICENSE=\r\n}\r\n";

const std::string kInscriberCGHeader =
    "@@9 Title\r\n"
    "@@9 Created by Vorlane (https://vorlane.org)\r\n"
    "@@9 STORY:\r\n"
    "@@9 LANG: ENG\r\n"
    "@@9\r\n@@9\r\n@@9\r\n@@9\r\n";

INSTANTIATE_TEST_SUITE_P(
    Formats, BlockFormatsTest,
    testing::Values(
        OutputCase{"UleadOneCue", sfUleadDVDWorkshop2, kOneCue,
                   kUleadHeader + "#0 00;00;01;50 00;00;03;25 \r\nA\r\nB\r\n" + UleadFooter("1")},
        OutputCase{"UleadEmpty", sfUleadDVDWorkshop2, {}, kUleadHeader + UleadFooter("0")},
        // Entries count from 0, the footer counts the cues.
        OutputCase{"UleadThreeCues",
                   sfUleadDVDWorkshop2,
                   {{0, 1000, "x"}, {2000, 3000, ""}, {61500, 360000000, "y"}},
                   kUleadHeader +
                       "#0 00;00;00;00 00;00;01;00 \r\nx\r\n"
                       "#1 00;00;02;00 00;00;03;00 \r\n\r\n"
                       "#2 00;01;01;50 100;00;00;00 \r\ny\r\n" +
                       UleadFooter("3")},
        // The text block runs from start to stop; the empty block marks the
        // stop.
        OutputCase{"DVDSubtitleOneCue", sfDVDSubtitle, kOneCue,
                   kDVDSubtitleHeader + "{T 00:00:01:50 00:00:03:25\r\nA\r\nB\r\n}\r\n"
                                        "{T 00:00:03:25 00:00:03:25\r\n\r\n}\r\n"},
        OutputCase{"DVDSubtitleEmpty", sfDVDSubtitle, {}, kDVDSubtitleHeader},
        OutputCase{"DVDSubtitleEmptyText",
                   sfDVDSubtitle,
                   {{61500, 62000, ""}},
                   kDVDSubtitleHeader + "{T 00:01:01:50 00:01:02:00\r\n\r\n}\r\n"
                                        "{T 00:01:02:00 00:01:02:00\r\n\r\n}\r\n"},
        OutputCase{"InscriberCGOneCue", sfInscriberCG, kOneCue,
                   kInscriberCGHeader + "@@9 A\r\n@@9 B<00:00:01:50><00:00:03:25>\r\n\r\n"},
        OutputCase{"InscriberCGEmpty", sfInscriberCG, {}, kInscriberCGHeader},
        OutputCase{"InscriberCGEmptyText",
                   sfInscriberCG,
                   {{0, 1000, ""}, {2000, 3000, "z"}},
                   kInscriberCGHeader + "@@9 <00:00:00:00><00:00:01:00>\r\n\r\n"
                                        "@@9 z<00:00:02:00><00:00:03:00>\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteBlockFormats, DetectionOfTheOutput) {
  const DetectionCase cases[] = {
      {sfUleadDVDWorkshop2, sfUleadDVDWorkshop2},
      {sfDVDSubtitle, sf0},
      {sfInscriberCG, sf0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.written).name);
    EXPECT_EQ(DetectedFormat(c.written, kOneCue), c.detected);
  }
}

}  // namespace
}  // namespace vorlane::write_only
