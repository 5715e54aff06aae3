#include "subtitles/formats/writer_rules.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>

#include "subtitles/timing.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct DirectiveCase {
  const char* format;
  std::int64_t value;
  const char* expected;
};

TEST(FormatTemplate, NumberDirectivesMeanWhatPrintfMeans) {
  const DirectiveCase cases[] = {
      {"%d", 0, "0"},
      {"%d", -42, "-42"},
      {"%.2d", 5, "05"},
      {"%.2d", 123, "123"},
      {"%.2d", -1, "-01"},
      {"%.3d", 7, "007"},
      {"%.4d", 0, "0000"},
      {"%.6d", 38, "000038"},
      {"%.6d", 1234567, "1234567"},
      {"%.1d", 0, "0"},
      {"%5d", 1, "    1"},
      {"%5d", 100000, "100000"},
      {"%4d", -3, "  -3"},
      {"%-4d|", 7, "7   |"},
      {"%.5d", 150, "00150"},
      // Values beyond 32 bits are written in full, never wrapped.
      {"%d", 5000000000LL, "5000000000"},
      {"[%.2d]", 9, "[09]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    EXPECT_EQ(FormatTemplate(c.format, {c.value}), c.expected);
  }
}

// Every combination of flags, width and precision against the C library's
// own printf, the meaning the templates are written for.
TEST(FormatTemplate, NumbersAgreeWithPrintfInEveryCombination) {
  const char* const flag_sets[] = {"", "-", "0", "+", " ", "-0", "+0", "- ", "#"};
  const char* const sizes[] = {"", "1", "2", "5", ".0", ".1", ".2", ".6", "3.2", "8.4"};
  const long long values[] = {
      0, 1, -1, 7, -42, 38, 99999, 100000, -2147483648LL, 4294967296LL, -9223372036854775807LL - 1};
  for (const char* flags : flag_sets) {
    for (const char* size : sizes) {
      const std::string directive = std::string("%") + flags + size + "d";
      const std::string c_directive = std::string("%") + flags + size + "lld";
      for (const long long v : values) {
        SCOPED_TRACE(directive + " " + std::to_string(v));
        char expected[64];
        std::snprintf(expected, sizeof expected, c_directive.c_str(), v);
        EXPECT_EQ(FormatTemplate(directive, {static_cast<std::int64_t>(v)}), expected);
      }
    }
  }
}

TEST(FormatTemplate, StringsAndPercentSigns) {
  EXPECT_EQ(FormatTemplate("a%sb", {"xyz"}), "axyzb");
  EXPECT_EQ(FormatTemplate("%s", {""}), "");
  EXPECT_EQ(FormatTemplate("100%% %s", {"%d"}), "100% %d");
  EXPECT_EQ(FormatTemplate("[%5s][%-3s][%.2s]", {"ab", "c", "defg"}), "[   ab][c  ][de]");
  // The whole string, a NUL byte included.
  const std::string with_nul("a\0b", 3);
  EXPECT_EQ(FormatTemplate("<%s>", {with_nul}), std::string("<a\0b>", 5));
  EXPECT_EQ(FormatTemplate("no directives", {}), "no directives");
}

TEST(FormatTemplate, MismatchedTemplatesAreProgrammingErrors) {
  EXPECT_THROW(FormatTemplate("%d %d", {1}), std::logic_error);
  EXPECT_THROW(FormatTemplate("%d", {1, 2}), std::logic_error);
  EXPECT_THROW(FormatTemplate("%d", {"text"}), std::logic_error);
  EXPECT_THROW(FormatTemplate("%s", {1}), std::logic_error);
  EXPECT_THROW(FormatTemplate("%x", {1}), std::logic_error);
  EXPECT_THROW(FormatTemplate("%.2", {1}), std::logic_error);
}

TEST(TextLines, CutsAtEveryCrAndDropsOnlyAnEmptyTail) {
  const struct {
    const char* text;
    LineList lines;
  } cases[] = {
      {"", {}},     {"A", {"A"}},       {"A\rB", {"A", "B"}},       {"A\r", {"A"}},
      {"\r", {""}}, {"\rB", {"", "B"}}, {"A\r\rB", {"A", "", "B"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(TextLines(c.text), c.lines);
  }
}

struct FieldCase {
  const char* name;
  SubtitleCue cue;
  double rate;
  CueLine line;
  const char* expected;
};

class FormatCueLineTest : public testing::TestWithParam<FieldCase> {};

TEST_P(FormatCueLineTest, FillsTheFields) {
  TSubtitles doc;
  doc.SetFrameRate(GetParam().rate);
  doc.Cues = {{0, 0, "first"}, GetParam().cue};
  EXPECT_EQ(FormatCueLine(doc, 1, GetParam().line, "|"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FormatCueLineTest,
    testing::Values(
        FieldCase{
            "Timecodes",
            {61500, 360003250, "A\rB"},
            0,
            {"%.2d:%.2d:%.2d:%.2d %.2d:%.2d:%.2d:%.2d %s", {kStartTimecode, kStopTimecode, kText}},
            "00:01:01:50 100:00:03:25 A|B"},
        FieldCase{"SingleFieldsAndPosition",
                  {61500, 3250, ""},
                  0,
                  {"%d %d %d:%d:%d.%.3d %d:%d:%d.%.2d",
                   {kIndex, kNumber, kStartHours, kStartMinutes, kStartSeconds, kStartMilliseconds,
                    kStopHours, kStopMinutes, kStopSeconds, kStopHundredths}},
                  "1 2 0:1:1.500 0:0:3.25"},
        FieldCase{"WholeTimes",
                  {1500, 3250, ""},
                  0,
                  {"%d %d %.5d %.5d",
                   {kStartTotalMs, kStopTotalMs, kStartCentiseconds, kStopCentiseconds}},
                  "1500 3250 00150 00325"},
        // Milliseconds fields take the time as it is; hundredths fields
        // take it rounded to centiseconds (1995 ms is 2.00 s, 123.5 cs is
        // 124 by halves to even).
        FieldCase{"MillisecondsKeptHundredthsRounded",
                  {1235, 1995, ""},
                  0,
                  {"%d.%.3d %d.%.2d %d %d",
                   {kStartSeconds, kStartMilliseconds, kStopSeconds, kStopHundredths, kStartTotalMs,
                    kStartCentiseconds}},
                  "1.235 2.00 1235 124"},
        // 61.5 s rounds to the even 62 s; 2.5 s to 2 s.
        FieldCase{"RoundedSeconds",
                  {61500, 2500, ""},
                  0,
                  {"%d:%d:%d %d:%d:%d", {kStartRounded, kStopRounded}},
                  "0:1:2 0:0:2"},
        FieldCase{"FramesAtTheExactRate",
                  {1000000, 3600000, ""},
                  23.976,
                  {"%d %d", {kStartFrame, kStopFrame}},
                  "23976 86314"},
        FieldCase{"NegativeDurationRoundsDown",
                  {2000, 1500, ""},
                  0,
                  {"%.2d:%.2d", {kDurationSeconds, kDurationHundredths}},
                  "-01:50"},
        // Times at both ends of the range: no overflow in the sum.
        FieldCase{"DurationBeyond32Bits",
                  {kEarliestTime, kLatestTime, ""},
                  0,
                  {"%d:%.2d", {kDurationSeconds, kDurationHundredths}},
                  "42949672:95"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WriteLayout, HeaderCuesInOrderThenFooter) {
  constexpr const char* kHeader[] = {"H1", ""};
  constexpr CueLine kCue[] = {{"%d %s", {kNumber, kText}}, {"-"}};
  constexpr const char* kFooter[] = {"F"};
  TSubtitles doc;
  doc.Cues = {{0, 0, "a\rb"}, {0, 0, ""}};
  LineList lines{"kept"};
  WriteLayout(doc, lines, {kHeader, kCue, "/", kFooter});
  EXPECT_EQ(lines, (LineList{"kept", "H1", "", "1 a/b", "-", "2 ", "-", "F"}));

  TSubtitles empty;
  LineList only_fixed;
  WriteLayout(empty, only_fixed, {kHeader, kCue, "/", kFooter});
  EXPECT_EQ(only_fixed, (LineList{"H1", "", "F"}));
}

}  // namespace
}  // namespace vorlane
