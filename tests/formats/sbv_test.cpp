#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/second_read_support.h"

namespace vorlane {
namespace {

TEST(SBVReader, ReadsTimingLinesAndTextBlocks) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"TwoCuesBomAndBlanks",
       {"\xEF\xBB\xBF"
        "0:00:01.500,0:00:03.250",
        "Hello", "World", "", "", " 1:00:00.000 , 1:00:01.009 ", "Bye"},
       {{1500, 3250, "Hello\rWorld"}, {3600000, 3601009, "Bye"}}},
      {"MissingBlankLineAndEmptyText",
       {"0:00:01.000,0:00:02.000", "0:00:02.000,0:00:03.000", "A"},
       {{1000, 2000, ""}, {2000, 3000, "A"}}},
      // Text after an empty line within a cue is kept with that cue.
      {"EmptyLineInsideText", {"0:00:01.000,0:00:02.000", "A", "", "B"}, {{1000, 2000, "A\rB"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadSBV, c.lines), c.cues);
  }
  EXPECT_EQ(ReadFault(ReadSBV, LineList{"", "Hello"}),
            "a timing line 'H:MM:SS.mmm,H:MM:SS.mmm' was expected (line 2)");
}

TEST(SBVReader, SignatureWantsMillisecondsOnTheFirstLine) {
  EXPECT_TRUE(IsSBV(LineList{"", "0:00:01.000,0:00:02.000", "A"}));
  // SubViewer 2 has hundredths.
  EXPECT_FALSE(IsSBV(LineList{"00:00:01.00,00:00:02.00", "A"}));
  EXPECT_FALSE(IsSBV(LineList{"Title", "0:00:01.000,0:00:02.000", "A"}));
}

TEST(SBVReader, ReadsBackItsWriter) {
  ExpectRoundTrip(
      sfSBV, {{0, 10, "A\rB"}, {4000, 5000, ""}, {36000000, 36000010, "C"}, {0, INT32_MAX, "D"}});
}

}  // namespace
}  // namespace vorlane
