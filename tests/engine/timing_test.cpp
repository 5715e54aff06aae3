#include "subtitles/timing.h"

#include <gtest/gtest.h>

#include "subtitles/errors.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
  const std::pair<double, std::int64_t> cases[] = {{2.5, 2}, {3.5, 4}, {24.5, 24},   {25.5, 26},
                                                   {0.4, 0}, {0.6, 1}, {23.976, 24}, {-2.5, -2}};
  for (auto [in, out] : cases) EXPECT_EQ(RoundHalfEven(in), out) << in;
}

TEST(FrameRate, IsKeptExactlyAndRoundedOnlyWhereShownWhole) {
  TSubtitles doc;
  EXPECT_EQ(doc.FrameRate(), 0);
  doc.SetFrameRate(23.976);
  EXPECT_EQ(doc.FrameRate(), 23.976);
  EXPECT_EQ(doc.WholeFrameRate(), 24);
  doc.SetFrameRate(24.5);
  EXPECT_EQ(doc.WholeFrameRate(), 24);
  doc.SetFrameRate(0.4);
  EXPECT_EQ(doc.WholeFrameRate(), 0);
}

TEST(FrameConversion, UsesTheExactRate) {
  EXPECT_EQ(FramesToCentiseconds(37, 25), 148);
  EXPECT_EQ(CentisecondsToFrames(148, 25), 37);
  // One hour of 23.976 video is 86314 frames; read at a whole 24 they would
  // come out 3.6 s early (359642).
  EXPECT_EQ(FramesToCentiseconds(86314, 23.976), 360002);
  EXPECT_EQ(CentisecondsToFrames(360000, 23.976), 86314);
  EXPECT_EQ(CentisecondsToFrames(360000, 29.97), 107892);
}

TEST(FrameConversion, RefusesTimesBeyond32Bits) {
  EXPECT_THROW(FramesToCentiseconds(2147483647LL, 1), SubtitleError);
  EXPECT_THROW(FramesToCentiseconds(-2147483647LL * 4, 1), SubtitleError);
}

TEST(MakeTime, RefusesTimesBeyond32Bits) {
  EXPECT_EQ(MakeTime(1, 1, 1, 50), 366150);
  EXPECT_THROW(MakeTime(99999, 0, 0, 0), SubtitleError);
  EXPECT_EQ(MakeTime(5965, 13, 56, 47), 2147483647);
  EXPECT_THROW(MakeTime(5965, 13, 56, 48), SubtitleError);
}

TEST(Splits, ThroughMilliseconds) {
  const MsSplit s = SplitThroughMs(366100);
  EXPECT_EQ(s.hours, 1);
  EXPECT_EQ(s.minutes, 1);
  EXPECT_EQ(s.seconds, 1);
  EXPECT_EQ(s.milliseconds, 0);
  const MsSplit t = SplitThroughMs(36000000 + 405);  // 100 h, 4.05 s
  EXPECT_EQ(t.hours, 100);
  EXPECT_EQ(t.seconds, 4);
  EXPECT_EQ(t.milliseconds, 50);
  EXPECT_EQ(t.hundredths, 5);
}

TEST(Splits, ThroughRoundedSeconds) {
  const std::pair<std::int32_t, std::int64_t> seconds[] = {{150, 2}, {250, 2}, {350, 4}, {149, 1}};
  for (auto [cs, s] : seconds) EXPECT_EQ(SplitThroughRoundedSeconds(cs).seconds, s) << cs;
  const SecondsSplit t = SplitThroughRoundedSeconds(6150);  // 61.5 s rounds to 62
  EXPECT_EQ(t.minutes, 1);
  EXPECT_EQ(t.seconds, 2);
}

}  // namespace
}  // namespace vorlane
