#include <gtest/gtest.h>

#include "subtitles/timing.h"

namespace vorlane {
namespace {

TEST(SplitThroughMsToTenths, RoundsHalvesToEvenAndCarriesWholeSeconds) {
  const struct {
    std::int64_t ms;
    TenthsSplit split;
  } cases[] = {
      {0, {0, 0, 0, 0}},
      {1500, {0, 0, 1, 5}},
      {1040, {0, 0, 1, 0}},
      {1050, {0, 0, 1, 0}},  // 0.5 tenths: to the even 0
      {1150, {0, 0, 1, 2}},  // 1.5 tenths: to the even 2
      {1250, {0, 0, 1, 2}},
      {1850, {0, 0, 1, 8}},
      {1940, {0, 0, 1, 9}},
      {1950, {0, 0, 2, 0}},  // 9.5 tenths round to 10: the next second
      {1990, {0, 0, 2, 0}},
      {59950, {0, 1, 0, 0}},
      {3599950, {1, 0, 0, 0}},
      {3661500, {1, 1, 1, 5}},
      {363599990, {101, 0, 0, 0}},
      {21474836470, {5965, 13, 56, 5}},
      // Milliseconds between the hundredths.
      {1049, {0, 0, 1, 0}},
      {1051, {0, 0, 1, 1}},
      {1949, {0, 0, 1, 9}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ms);
    const TenthsSplit s = SplitThroughMsToTenths(c.ms);
    EXPECT_EQ(s.hours, c.split.hours);
    EXPECT_EQ(s.minutes, c.split.minutes);
    EXPECT_EQ(s.seconds, c.split.seconds);
    EXPECT_EQ(s.tenths, c.split.tenths);
  }
}

TEST(SplitThroughMsToTenths, NegativeTimesSplitLikeTheMillisecondSplit) {
  // -1.5 s is -1 h + 59 min + 58.5 s, the fields adding up to the time.
  const TenthsSplit s = SplitThroughMsToTenths(-1500);
  EXPECT_EQ(s.hours, -1);
  EXPECT_EQ(s.minutes, 59);
  EXPECT_EQ(s.seconds, 58);
  EXPECT_EQ(s.tenths, 5);
  // -0.01 s is -1 h + 59 min + 59.99 s; its tenths round up to a whole
  // second, and the carry runs through to zero.
  const TenthsSplit z = SplitThroughMsToTenths(-10);
  EXPECT_EQ(z.hours, 0);
  EXPECT_EQ(z.minutes, 0);
  EXPECT_EQ(z.seconds, 0);
  EXPECT_EQ(z.tenths, 0);
}

}  // namespace
}  // namespace vorlane
