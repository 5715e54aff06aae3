#include <gtest/gtest.h>

#include "tests/formats/write_only_cases.h"

namespace vorlane::write_only {
namespace {

class TimecodeListsTest : public testing::TestWithParam<OutputCase> {};

TEST_P(TimecodeListsTest, WritesExactBytes) {
  EXPECT_EQ(SavedBytes(GetParam().format, GetParam().cues), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, TimecodeListsTest,
    testing::Values(
        OutputCase{"AdobeEncoreDVDOneCue", sfAdobeEncoreDVD, kOneCue,
                   "00:00:01:50 00:00:03:25 A\r\nB\r\n"},
        OutputCase{"AdobeEncoreDVDEmpty", sfAdobeEncoreDVD, {}, ""},
        // The fourth field is hundredths, never above 99.
        OutputCase{"AdobeEncoreDVDMinutesAndHours",
                   sfAdobeEncoreDVD,
                   {{61500, 360000990, "x"}, {61990, 62000, ""}},
                   "00:01:01:50 100:00:00:99 x\r\n00:01:01:99 00:01:02:00 \r\n"},
        OutputCase{"CavenaOneCue", sfCavena, kOneCue,
                   "    1       00:00:01:50   00:00:03:25\r\nA\r\nB\r\n\r\n"},
        OutputCase{"CavenaEmpty", sfCavena, {}, ""},
        OutputCase{"CavenaNumbersAndEmptyText",
                   sfCavena,
                   {{0, 1000, "x"}, {2000, 3000, ""}},
                   "    1       00:00:00:00   00:00:01:00\r\nx\r\n\r\n"
                   "    2       00:00:02:00   00:00:03:00\r\n\r\n\r\n"},
        OutputCase{"DVDArchitectOneCue", sfDVDArchitectSubtitleScript, kOneCue,
                   "0000\t00:00:01:50\t00:00:03:25\tA\r\nB\r\n\r\n"},
        OutputCase{"DVDArchitectEmpty", sfDVDArchitectSubtitleScript, {}, ""},
        OutputCase{"DVDArchitectNumbersAndEmptyText",
                   sfDVDArchitectSubtitleScript,
                   {{0, 1000, "x"}, {2000, 3000, ""}},
                   "0000\t00:00:00:00\t00:00:01:00\tx\r\n\r\n"
                   "0001\t00:00:02:00\t00:00:03:00\t\r\n\r\n"},
        OutputCase{"DVDJuniorOneCue", sfDVDJunior, kOneCue,
                   "Subtitle File Mark:2C:\\Video.avi\r\n00:00:01:50&00:00:03:25#A<B\r\n"},
        OutputCase{"DVDJuniorEmpty", sfDVDJunior, {}, "Subtitle File Mark:2C:\\Video.avi\r\n"},
        OutputCase{"DVDSubtitleSystemOneCue", sfDVDSubtitleSystem, kOneCue,
                   "00:00:01:50 00:00:03:25 A//B\r\n"},
        OutputCase{"DVDSubtitleSystemEmpty", sfDVDSubtitleSystem, {}, ""},
        OutputCase{"FABSubtitlerOneCue", sfFABSubtitler, kOneCue,
                   "00:00:01:50 00:00:03:25 01:75\r\nA\r\nB\r\n\r\n"},
        OutputCase{"FABSubtitlerEmpty", sfFABSubtitler, {}, ""},
        // A stop 0.5 s before the start is a duration of -1 s and 50
        // hundredths; durations are not split into minutes.
        OutputCase{"FABSubtitlerDurations",
                   sfFABSubtitler,
                   {{2000, 1500, "x"}, {0, 123450, ""}, {1000, 1000, "y"}},
                   "00:00:02:00 00:00:01:50 -01:50\r\nx\r\n\r\n"
                   "00:00:00:00 00:02:03:45 123:45\r\n\r\n\r\n"
                   "00:00:01:00 00:00:01:00 00:00\r\ny\r\n\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteCavena, NumberOfSixDigitsFillsSixColumns) {
  const std::vector<SubtitleCue> cues(100000, SubtitleCue{0, 1000, ""});
  const LineList lines = SavedLines(sfCavena, cues);
  ASSERT_EQ(lines.size(), 100000u);
  EXPECT_EQ(lines[99998], "99999       00:00:00:00   00:00:01:00\r\n\r\n");
  EXPECT_EQ(lines[99999], "100000       00:00:00:00   00:00:01:00\r\n\r\n");
}

TEST(WriteTimecodeLists, DetectionOfTheOutput) {
  // Timecodes hh:mm:ss:cc at the start of a line pass the TMPlayer test.
  const DetectionCase cases[] = {
      {sfAdobeEncoreDVD, sfTMPlayer},      {sfCavena, sf0},
      {sfDVDArchitectSubtitleScript, sf0}, {sfDVDJunior, sfTMPlayer},
      {sfDVDSubtitleSystem, sfTMPlayer},   {sfFABSubtitler, sfTMPlayer},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.written).name);
    EXPECT_EQ(DetectedFormat(c.written, kOneCue), c.detected);
  }
}

}  // namespace
}  // namespace vorlane::write_only
