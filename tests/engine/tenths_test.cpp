#include <gtest/gtest.h>

#include "subtitles/timing.h"

namespace vorlane {
namespace {

TEST(SplitThroughMsToTenths, RoundsHalvesToEvenAndCarriesWholeSeconds) {
  const struct {
    std::int32_t centiseconds;
    TenthsSplit split;
  } cases[] = {
      {0, {0, 0, 0, 0}},      {150, {0, 0, 1, 5}},        {104, {0, 0, 1, 0}},
      {105, {0, 0, 1, 0}},  // 0.5 tenths: to the even 0
      {115, {0, 0, 1, 2}},  // 1.5 tenths: to the even 2
      {125, {0, 0, 1, 2}},    {185, {0, 0, 1, 8}},        {194, {0, 0, 1, 9}},
      {195, {0, 0, 2, 0}},  // 9.5 tenths round to 10: the next second
      {199, {0, 0, 2, 0}},    {5995, {0, 1, 0, 0}},       {359995, {1, 0, 0, 0}},
      {366150, {1, 1, 1, 5}}, {36359999, {101, 0, 0, 0}}, {2147483647, {5965, 13, 56, 5}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.centiseconds);
    const TenthsSplit s = SplitThroughMsToTenths(c.centiseconds);
    EXPECT_EQ(s.hours, c.split.hours);
    EXPECT_EQ(s.minutes, c.split.minutes);
    EXPECT_EQ(s.seconds, c.split.seconds);
    EXPECT_EQ(s.tenths, c.split.tenths);
  }
}

TEST(SplitThroughMsToTenths, NegativeTimesSplitLikeTheMillisecondSplit) {
  // -1.5 s is -1 h + 59 min + 58.5 s, the fields adding up to the time.
  const TenthsSplit s = SplitThroughMsToTenths(-150);
  EXPECT_EQ(s.hours, -1);
  EXPECT_EQ(s.minutes, 59);
  EXPECT_EQ(s.seconds, 58);
  EXPECT_EQ(s.tenths, 5);
  // -0.01 s is -1 h + 59 min + 59.99 s; its tenths round up to a whole
  // second, and the carry runs through to zero.
  const TenthsSplit z = SplitThroughMsToTenths(-1);
  EXPECT_EQ(z.hours, 0);
  EXPECT_EQ(z.minutes, 0);
  EXPECT_EQ(z.seconds, 0);
  EXPECT_EQ(z.tenths, 0);
}

}  // namespace
}  // namespace vorlane
