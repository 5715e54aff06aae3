#include <gtest/gtest.h>

#include "tests/formats/write_only_cases.h"

namespace vorlane::write_only {
namespace {

class FrameNumberedTest : public testing::TestWithParam<OutputCase> {};

TEST_P(FrameNumberedTest, WritesExactBytes) {
  EXPECT_EQ(
      SavedBytes(GetParam().format, GetParam().cues, GetParam().frame_rate, GetParam().classic),
      GetParam().bytes);
}

constexpr char kAQTitleHeader25[] = "-->> 000000\r\n/25 fps\r\n\r\n-->> 000000\r\n\r\n\r\n";

// At 25 frames a second 1.5 s is frame 37.5, rounded to the even 38, and
// 3.25 s is frame 81.25, rounded to 81.
INSTANTIATE_TEST_SUITE_P(
    Formats, FrameNumberedTest,
    testing::Values(
        OutputCase{"MPLOneCue", sfMPL, kOneCue, "0,0,0,25 fps\r\n38,81,0,A|B\r\n", 25},
        OutputCase{"MPLEmpty", sfMPL, {}, "0,0,0,25 fps\r\n", 25},
        OutputCase{"MPLHalfFrameToEven", sfMPL, {{500, 0, ""}}, "0,0,0,25 fps\r\n12,0,0,\r\n", 25},
        // The exact rate converts; the header shows it as a whole number.
        OutputCase{"MPLFractionalRate", sfMPL, kOneCue, "0,0,0,24 fps\r\n36,78,0,A|B\r\n", 23.976},
        OutputCase{"MPLRateZero", sfMPL, kOneCue, "0,0,0,0 fps\r\n0,0,0,A|B\r\n", 0},
        // Frame numbers past 32 bits are written in full.
        OutputCase{"MPLFramesBeyond32Bits",
                   sfMPL,
                   {{21474836470, 21474836470, "x"}},
                   "0,0,0,120 fps\r\n2576980376,2576980376,0,x\r\n",
                   120},
        OutputCase{"MacSubOneCue", sfMacSub, kOneCue,
                   "/0\r\n/25 fps\r\n/0\r\n/38\r\nA\r\nB\r\n/81\r\n", 25},
        OutputCase{"MacSubEmpty", sfMacSub, {}, "/0\r\n/25 fps\r\n/0\r\n", 25},
        OutputCase{"MacSubEmptyText",
                   sfMacSub,
                   {{1000, 2000, ""}, {3000, 4000, "x"}},
                   "/0\r\n/25 fps\r\n/0\r\n/25\r\n\r\n/50\r\n/75\r\nx\r\n/100\r\n",
                   25},
        OutputCase{
            "AQTitleOneCue", sfAQTitle, kOneCue,
            std::string(kAQTitleHeader25) + "-->> 000038\r\nA\r\nB\r\n-->> 000081\r\n\r\n\r\n", 25,
            true},
        OutputCase{"AQTitleEmpty", sfAQTitle, {}, kAQTitleHeader25, 25, true},
        // Always two text lines: padded, or the surplus joined to the second
        // line so that no text is lost; frames of seven digits in full.
        OutputCase{"AQTitleTwoTextLines",
                   sfAQTitle,
                   {{1000, 2000, "one"},
                    {3000, 4000, ""},
                    {5000, 6000, "1\r2\r3\r\r4"},
                    {7000, 8000, "\r\rlate"},
                    {40000000, 40000040, "A\r"}},
                   std::string(kAQTitleHeader25) +
                       "-->> 000025\r\none\r\n\r\n-->> 000050\r\n\r\n\r\n"
                       "-->> 000075\r\n\r\n\r\n-->> 000100\r\n\r\n\r\n"
                       "-->> 000125\r\n1\r\n2 3 4\r\n-->> 000150\r\n\r\n\r\n"
                       "-->> 000175\r\n\r\nlate\r\n-->> 000200\r\n\r\n\r\n"
                       "-->> 1000000\r\nA\r\n\r\n-->> 1000001\r\n\r\n\r\n",
                   25,
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteFrameNumbered, DetectionOfTheOutput) {
  // MPL is recognised only with four-digit frames. AQTitle's rate line
  // "/25 fps", written with the classic setting only, passes the MacSub
  // test, which detection runs first.
  const std::vector<SubtitleCue> four_digit_frames = {{40000, 80000, "x"}};
  EXPECT_EQ(DetectedFormat(sfMPL, kOneCue, 25), sf0);
  EXPECT_EQ(DetectedFormat(sfMPL, four_digit_frames, 25), sfMPL);
  EXPECT_EQ(DetectedFormat(sfMacSub, kOneCue, 25), sfMacSub);
  EXPECT_EQ(DetectedFormat(sfAQTitle, kOneCue, 25), sfAQTitle);
  EXPECT_EQ(DetectFormat(SplitLines(SavedBytes(sfAQTitle, kOneCue, 25, true))), sfMacSub);
}

}  // namespace
}  // namespace vorlane::write_only
