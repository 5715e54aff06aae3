#include "subtitles/retiming.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {
namespace {

TEST(ParseTimeAmountTest, ReadsSecondsAndClockFields) {
  const struct {
    const char* text;
    std::optional<std::int64_t> ms;  // read with two digits, as --classic reads
  } cases[] = {
      {"2.5", 2500},
      {"-2.5", -2500},
      {"+0.04", 40},
      {"90", 90000},
      {"1,25", 1250},
      {"01:30", 90000},
      {"-00:00:01.500", -1500},
      {"1:02:03.04", 3723040},
      {"100:00:00", 360000000},
      // Beyond the hundredths: nearest, halves to even.
      {"1.234", 1230},
      {"1.236", 1240},
      {"1.005", 1000},
      {"1.015", 1020},
      {"1.0051", 1010},
      {"-1.236", -1240},
      {"0.999", 1000},
      // The longest cue time, and one hundredth more.
      {"21474836.47", kLatestTime},
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
    EXPECT_EQ(ParseTimeAmount(c.text, 2), c.ms) << '"' << c.text << '"';
  }
}

// By default the amount keeps milliseconds; digits beyond them round to the
// nearest, halves to even.
TEST(ParseTimeAmountTest, KeepsMillisecondsByDefault) {
  const struct {
    const char* text;
    std::optional<std::int64_t> ms;
  } cases[] = {
      {"2.5", 2500},
      {"-0.04", -40},
      {"1.234", 1234},
      {"-1.236", -1236},
      {"1:02:03.045", 3723045},
      {"1.2345", 1234},
      {"1.2355", 1236},
      {"1.23451", 1235},
      {"0.9995", 1000},
      {"21474836.470", kLatestTime},
      {"21474836.471", std::nullopt},
      {"1.", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseTimeAmount(c.text), c.ms) << '"' << c.text << '"';
  }
}

TSubtitles Doc(std::vector<SubtitleCue> cues) {
  TSubtitles doc;
  doc.Cues = std::move(cues);
  return doc;
}

// By default every time is moved to the millisecond, with the classic
// setting to the hundredth (the classic shift being the amount read with
// two digits).
TEST(RetimeTest, ShiftsThenScalesEveryCue) {
  const struct {
    Retiming retiming;
    std::vector<SubtitleCue> expected;
    std::vector<SubtitleCue> classic;
  } cases[] = {
      {{-2500, -2500, 0, 0},
       {{-1500, 1500, "a"}, {1000000, 1002500, "b"}},
       {{-1500, 1500, "a"}, {1000000, 1002500, "b"}}},
      // A shift with milliseconds: kept, or cut to the hundredths the
      // classic amount holds.
      {{1234, 1230, 0, 0},
       {{2234, 5234, "a"}, {1003734, 1006234, "b"}},
       {{2230, 5230, "a"}, {1003730, 1006230, "b"}}},
      // 25 to 23.976 frames per second: longer times, halves to even.
      {{0, 0, 25, 23.976},
       {{1043, 4171, "a"}, {1045316, 1047923, "b"}},
       {{1040, 4170, "a"}, {1045320, 1047920, "b"}}},
      {{1000, 1000, 2, 1},
       {{4000, 10000, "a"}, {2007000, 2012000, "b"}},
       {{4000, 10000, "a"}, {2007000, 2012000, "b"}}},
      // Neither rate given, or only one: no scaling.
      {{0, 0, 25, 0},
       {{1000, 4000, "a"}, {1002500, 1005000, "b"}},
       {{1000, 4000, "a"}, {1002500, 1005000, "b"}}},
  };
  for (const auto& c : cases) {
    for (const bool classic : {false, true}) {
      TSubtitles doc = Doc({{1000, 4000, "a"}, {1002500, 1005000, "b"}});
      doc.SetClassicReading(classic);
      Retime(doc, c.retiming);
      EXPECT_EQ(doc.Cues, classic ? c.classic : c.expected)
          << c.retiming.shift << ' ' << c.retiming.from_rate << (classic ? " classic" : "");
    }
  }
}

TEST(RetimeTest, TimeBeyondTheRangeIsAnErrorThatLeavesTheDocumentWhole) {
  const std::int64_t max = kLatestTime;
  const std::vector<SubtitleCue> cues = {{0, 1000, "a"}, {max - 1000, max - 500, "b"}};
  for (const bool classic : {false, true}) {
    for (const Retiming& retiming : {Retiming{510, 510, 0, 0}, Retiming{0, 0, 2, 1}}) {
      TSubtitles doc = Doc(cues);
      doc.SetClassicReading(classic);
      try {
        Retime(doc, retiming);
        ADD_FAILURE() << "no error for shift " << retiming.shift << (classic ? " classic" : "");
      } catch (const SubtitleError& e) {
        EXPECT_NE(std::string(e.what()).find("cue 2"), std::string::npos) << e.what();
      }
      EXPECT_EQ(doc.Cues, cues);
    }
    TSubtitles doc = Doc({{-1000, 0, "a"}});
    doc.SetClassicReading(classic);
    EXPECT_THROW(Retime(doc, {kEarliestTime + 990, kEarliestTime + 990, 0, 0}), SubtitleError);
  }
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
