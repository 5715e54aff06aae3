#include "subtitles/retiming.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

TEST(ParseTimeAmountTest, ReadsSecondsAndClockFields) {
  const struct {
    const char* text;
    std::optional<std::int32_t> centiseconds;
  } cases[] = {
      {"2.5", 250},
      {"-2.5", -250},
      {"+0.04", 4},
      {"90", 9000},
      {"1,25", 125},
      {"01:30", 9000},
      {"-00:00:01.500", -150},
      {"1:02:03.04", 372304},
      {"100:00:00", 36000000},
      // Beyond the hundredths: nearest, halves to even.
      {"1.234", 123},
      {"1.236", 124},
      {"1.005", 100},
      {"1.015", 102},
      {"1.0051", 101},
      {"-1.236", -124},
      {"0.999", 100},
      // The longest cue time, and one hundredth more.
      {"21474836.47", std::numeric_limits<std::int32_t>::max()},
      {"21474836.48", std::nullopt},
      {"5966:00:00", std::nullopt},
      {"99999999999999999999", std::nullopt},
      // Not an amount.
      {"", std::nullopt},
      {"-", std::nullopt},
      {"1.", std::nullopt},
      {".5", std::nullopt},
      {"1:2", std::nullopt},
      {"1:60", std::nullopt},
      {"1:00:60", std::nullopt},
      {"1:2:3:4", std::nullopt},
      {"1.5.0", std::nullopt},
      {"2s", std::nullopt},
      {"--1", std::nullopt},
      {" 1", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseTimeAmount(c.text), c.centiseconds) << '"' << c.text << '"';
  }
}

TSubtitles Doc(std::vector<SubtitleCue> cues) {
  TSubtitles doc;
  doc.Cues = std::move(cues);
  return doc;
}

TEST(RetimeTest, ShiftsThenScalesEveryCue) {
  const struct {
    Retiming retiming;
    std::vector<SubtitleCue> expected;
  } cases[] = {
      {{-250, 0, 0}, {{-1500, 1500, "a"}, {1000000, 1002500, "b"}}},
      // 25 to 23.976 frames per second: longer times, halves to even.
      {{0, 25, 23.976}, {{1040, 4170, "a"}, {1045320, 1047920, "b"}}},
      {{100, 2, 1}, {{4000, 10000, "a"}, {2007000, 2012000, "b"}}},
      // Neither rate given, or only one: no scaling.
      {{0, 25, 0}, {{1000, 4000, "a"}, {1002500, 1005000, "b"}}},
  };
  for (const auto& c : cases) {
    TSubtitles doc = Doc({{1000, 4000, "a"}, {1002500, 1005000, "b"}});
    Retime(doc, c.retiming);
    EXPECT_EQ(doc.Cues, c.expected) << c.retiming.shift << ' ' << c.retiming.from_rate;
  }
}

TEST(RetimeTest, TimeBeyondTheRangeIsAnErrorThatLeavesTheDocumentWhole) {
  const std::int32_t max = std::numeric_limits<std::int32_t>::max();
  const std::vector<SubtitleCue> cues = {{0, 1000, "a"}, {max - 100, max - 50, "b"}};
  for (const Retiming& retiming : {Retiming{51, 0, 0}, Retiming{0, 2, 1}}) {
    TSubtitles doc = Doc(cues);
    try {
      Retime(doc, retiming);
      ADD_FAILURE() << "no error for shift " << retiming.shift;
    } catch (const SubtitleError& e) {
      EXPECT_NE(std::string(e.what()).find("cue 2"), std::string::npos) << e.what();
    }
    EXPECT_EQ(doc.Cues, cues);
  }
  TSubtitles doc = Doc({{-1000, 0, "a"}});
  EXPECT_THROW(Retime(doc, {std::numeric_limits<std::int32_t>::min() + 99, 0, 0}), SubtitleError);
}

TEST(FormatReadTest, NamesTheFormatOfTheLastLoad) {
  const struct {
    LineViews lines;
    TSubtitleFormat format;
  } cases[] = {
      {{"1", "00:00:01,000 --> 00:00:02,000", "Hi", ""}, sfSubRipper},
      {{"{25}{50}Hi"}, sfMicroDVD},  // no rate yet: recognised, not read
      {{"just words"}, sf0},
  };
  TSubtitles doc;
  for (const auto& c : cases) {
    bool frame_based = false;
    doc.LoadFromList(c.lines, frame_based);
    EXPECT_EQ(doc.FormatRead(), c.format) << c.lines.front();
  }
}

}  // namespace
}  // namespace vorlane
