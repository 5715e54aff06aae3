#include <gtest/gtest.h>

#include <optional>

#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct ReadCase {
  const char* name;
  LineList lines;
  std::vector<SubtitleCue> cues;
  // What the classic rules read, when they read other times.
  std::optional<std::vector<SubtitleCue>> classic = std::nullopt;
};

class ReadSubRipTest : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadSubRipTest, Reads) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    doc.Cues.push_back({10, 20, "stale"});
    ReadSubRip(doc, GetParam().lines);
    EXPECT_EQ(doc.Cues, classic ? GetParam().classic.value_or(GetParam().cues) : GetParam().cues);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, ReadSubRipTest,
    testing::Values(
        ReadCase{"OneBlock",
                 {"1", "00:00:01,500 --> 00:00:04,020", "Hello", "World", ""},
                 {{1500, 4020, "Hello\rWorld"}}},
        ReadCase{"NoFinalEmptyLine",
                 {"1", "00:00:01,500 --> 00:00:04,020", "Hello", "World"},
                 {{1500, 4020, "Hello\rWorld"}}},
        ReadCase{"EmptyLinesBetweenMakeNoCues",
                 {"", "", "1", "00:00:01,000 --> 00:00:02,000", "a", "", "", "", "2",
                  "00:00:03,000 --> 00:00:04,000", "b", ""},
                 {{1000, 2000, "a"}, {3000, 4000, "b"}}},
        ReadCase{
            "BlockWithoutText", {"1", "00:00:01,000 --> 00:00:02,000", ""}, {{1000, 2000, ""}}},
        // A timing line always begins a new cue, and the number line just
        // before it is not text, with or without the empty line.
        ReadCase{
            "TimingWithoutEmptyLineBeginsANewCue",
            {"1", "00:00:01,000 --> 00:00:02,000", "a", "2", "00:00:03,000 --> 00:00:04,000", "b"},
            {{1000, 2000, "a"}, {3000, 4000, "b"}}},
        ReadCase{"TimingRightAfterTimingGivesAnEmptyCue",
                 {"00:00:01,000 --> 00:00:02,000", "00:00:03,000 --> 00:00:04,000", "b"},
                 {{1000, 2000, ""}, {3000, 4000, "b"}}},
        // An empty line inside the text ends the cue only when a new cue
        // follows; otherwise it and the text after it stay in the cue.
        ReadCase{"EmptyLineInsideTheText",
                 {"1", "00:00:01,000 --> 00:00:02,000", "a", "", "", "b", "", "2",
                  "00:00:03,000 --> 00:00:04,000", "c"},
                 {{1000, 2000, "a\r\r\rb"}, {3000, 4000, "c"}}},
        ReadCase{"NumberNotFollowedByTimingIsText",
                 {"00:00:01,000 --> 00:00:02,000", "a", "", "42", "", "b", "7"},
                 {{1000, 2000, "a\r\r42\r\rb\r7"}}},
        ReadCase{"EmptyLinesAtTheEndAreNotText",
                 {"00:00:01,000 --> 00:00:02,000", "a", "", ""},
                 {{1000, 2000, "a"}}},
        // A minus sign before the hours makes the whole time negative.
        ReadCase{
            "NegativeTimes", {"-00:00:06,840 --> -01:30:00,000", "a"}, {{-6840, -5400000, "a"}}},
        // The field after the comma counts milliseconds, whatever its
        // length; the classic rules cut them to hundredths.
        ReadCase{"MillisecondsOfAnyLength",
                 {"00:00:01,5 --> 00:00:02,1234", "x"},
                 {{1005, 3234, "x"}},
                 {{{1000, 3230, "x"}}}},
        ReadCase{"MillisecondsKept",
                 {"00:00:05,123 --> 00:00:06,789", "x"},
                 {{5123, 6789, "x"}},
                 {{{5120, 6780, "x"}}}},
        ReadCase{"NegativeMillisecondsKept",
                 {"-00:00:06,843 --> 00:00:01,001", "a"},
                 {{-6843, 1001, "a"}},
                 {{{-6840, 1000, "a"}}}},
        ReadCase{"HundredHours",
                 {"100:00:00,000 --> 100:00:01,000", "x"},
                 {{360000000, 360001000, "x"}}},
        ReadCase{"ArrowWithoutBlankIsText",
                 {"00:00:01,000 --> 00:00:02,000", "00:00:03,000 -->00:00:04,000"},
                 {{1000, 2000, "00:00:03,000 -->00:00:04,000"}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct FailCase {
  const char* line;
  const char* message;
  const char* classic_message = nullptr;  // when the classic rules say otherwise
};

TEST(ReadSubRip, MalformedTimingLineFailsWithTheParsersMessage) {
  const FailCase cases[] = {
      {"00:xx:01,000 --> 00:00:02,000", "'xx' is not a valid integer value"},
      {"00:00:01,000  --> 00:00:02,000", "' ' is not a valid integer value"},
      {"00:00:01,000 --> 00:00:02,", "'' is not a valid integer value"},
      {":00:01,000 --> 00:00:02,000", "List index out of bounds (7)"},
      // 99999 hours leave the 32-bit range of a cue time: an error, not a
      // wrapped time.
      {"99999:00:00,000 --> 99999:00:01,000", "Time out of range (359996400000 milliseconds)",
       "Time out of range (35999640000 centiseconds)"},
  };
  for (const bool classic : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.line);
      TSubtitles doc;
      doc.SetClassicReading(classic);
      try {
        ReadSubRip(doc, {"1", c.line, "x"});
        ADD_FAILURE() << "no error";
      } catch (const SubtitleError& e) {
        EXPECT_STREQ(e.what(), classic && c.classic_message ? c.classic_message : c.message);
      }
    }
  }
}

TEST(WriteSubRip, WritesNumberedBlocks) {
  TSubtitles doc;
  doc.Cues = {{1500, 4020, "Hello\rWorld"}, {50, 360000000, ""}};
  LineList lines;
  WriteSubRip(doc, lines);
  EXPECT_EQ(lines, (LineList{"1\r\n00:00:01,500 --> 00:00:04,020\r\nHello\r\nWorld\r\n",
                             "2\r\n00:00:00,050 --> 100:00:00,000\r\n\r\n"}));
}

TEST(WriteSubRip, EmptyDocumentWritesNothing) {
  TSubtitles doc;
  LineList lines{"kept"};
  WriteSubRip(doc, lines);
  EXPECT_EQ(lines, LineList{"kept"});
}

}  // namespace
}  // namespace vorlane
