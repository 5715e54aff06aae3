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
  EXPECT_EQ(FramesToTime(37, 25, false), 1480);
  EXPECT_EQ(TimeToFrames(1480, 25), 37);
  // One hour of 23.976 video is 86314 frames; read at a whole 24 they would
  // come out 3.6 s early (359642).
  EXPECT_EQ(FramesToTime(86314, 23.976, false), 3600020);
  EXPECT_EQ(TimeToFrames(3600000, 23.976), 86314);
  EXPECT_EQ(TimeToFrames(3600000, 29.97), 107892);
  // To the millisecond: frame 1,000,000 at 24000/1001 is 11:35:08.333.
  EXPECT_EQ(FramesToTime(1000000, 24000.0 / 1001, true), 41708333);
  EXPECT_EQ(FramesToTime(1000000, 24000.0 / 1001, false), 41708330);
  EXPECT_EQ(TimeToFrames(41708333, 24000.0 / 1001), 1000000);
}

TEST(FrameConversion, RefusesTimesOutOfRange) {
  for (bool precise : {false, true}) {
    EXPECT_THROW(FramesToTime(2147483647LL, 1, precise), SubtitleError);
    EXPECT_THROW(FramesToTime(-2147483647LL * 4, 1, precise), SubtitleError);
  }
}

TEST(MakeTime, RefusesTimesOutOfRange) {
  EXPECT_EQ(MakeTime(1, 1, 1, 50), 3661500);
  EXPECT_THROW(MakeTime(99999, 0, 0, 0), SubtitleError);
  EXPECT_EQ(MakeTime(5965, 13, 56, 47), 21474836470);
  EXPECT_THROW(MakeTime(5965, 13, 56, 48), SubtitleError);
  EXPECT_EQ(MakeTimeMs(5965, 13, 56, 470), kLatestTime);
  EXPECT_THROW(MakeTimeMs(5965, 13, 56, 471), SubtitleError);
}

TEST(Splits, ThroughMilliseconds) {
  const MsSplit s = SplitThroughMs(3661000);
  EXPECT_EQ(s.hours, 1);
  EXPECT_EQ(s.minutes, 1);
  EXPECT_EQ(s.seconds, 1);
  EXPECT_EQ(s.milliseconds, 0);
  const MsSplit t = SplitThroughMs(360000000 + 4050);  // 100 h, 4.05 s
  EXPECT_EQ(t.hours, 100);
  EXPECT_EQ(t.seconds, 4);
  EXPECT_EQ(t.milliseconds, 50);
  EXPECT_EQ(t.hundredths, 5);
  EXPECT_EQ(SplitThroughMs(5123).milliseconds, 123);
  const MsSplit negative = SplitThroughMs(-1);
  EXPECT_EQ(negative.seconds, 59);
  EXPECT_EQ(negative.milliseconds, 999);
}

TEST(Splits, ToHundredthsRoundFirst) {
  // {ms, seconds, hundredths}: 999 ms is a whole second, not 0.99.
  const std::int64_t cases[][3] = {
      {999, 1, 0}, {1234, 1, 23}, {1235, 1, 24}, {1245, 1, 24}, {59995, 0, 0}};
  for (const auto& c : cases) {
    const MsSplit t = SplitToHundredths(c[0]);
    EXPECT_EQ(t.seconds, c[1]) << c[0];
    EXPECT_EQ(t.hundredths, c[2]) << c[0];
  }
  EXPECT_EQ(SplitToHundredths(59995).minutes, 1);
}

TEST(Splits, ThroughRoundedSeconds) {
  const std::pair<std::int64_t, std::int64_t> seconds[] = {{1500, 2}, {2500, 2}, {3500, 4},
                                                           {1490, 1}, {1501, 2}, {2499, 2}};
  for (auto [ms, s] : seconds) EXPECT_EQ(SplitThroughRoundedSeconds(ms).seconds, s) << ms;
  const SecondsSplit t = SplitThroughRoundedSeconds(61500);  // 61.5 s rounds to 62
  EXPECT_EQ(t.minutes, 1);
  EXPECT_EQ(t.seconds, 2);
}

}  // namespace
}  // namespace vorlane
