#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/second_read_support.h"

namespace vorlane {
namespace {

TEST(SpruceStlReader, ReadsFramesAtTheFileRate) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"FramesAt25CommentsSettingsBreaks",
       {"//Default Formatting", "$FontName = Arial", "",
        "00:02:17:10 , 00:02:20:09 , Senator, we're | on approach."},
       {{137400, 140360, "Senator, we're\ron approach."}}},
      {"FrameRateSetting", {"$FrameRate = 30", "00:00:01:15,00:00:02:00,A"}, {{1500, 2000, "A"}}},
      // A last field of 25 or more cannot count frames: hundredths.
      {"HundredthsWhereFramesCannotBe",
       {"00:00:01:50,00:00:02:10,A", "00:00:03:00,00:00:04:00,^IIt^I ^Bbold"},
       {{1500, 2100, "A"}, {3000, 4000, "<i>It</i> <b>bold</b>"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadSpruceSubtitleFile, c.lines), c.cues);
  }
  EXPECT_EQ(ReadFault(ReadSpruceSubtitleFile, LineList{"00:00:01:00,00:00:02:00,A", "garbage"}),
            "a line 'HH:MM:SS:FF , HH:MM:SS:FF , text' was expected (line 2)");
  EXPECT_EQ(ReadFault(ReadSpruceSubtitleFile, LineList{"$FrameRate = fast"}),
            "'fast' is not a valid frame rate (line 1)");
}

TEST(SpruceStlReader, SignatureWantsACueLineFirst) {
  EXPECT_TRUE(IsSpruceSubtitleFile(LineList{"//c", "$X = 1", "00:00:01:00 , 00:00:02:00 , A"}));
  // TMPlayer: one time and the text.
  EXPECT_FALSE(IsSpruceSubtitleFile(LineList{"00:00:01:A, b, c"}));
  EXPECT_FALSE(IsSpruceSubtitleFile(LineList{"Title", "00:00:01:00,00:00:02:00,A"}));
}

TEST(SpruceStlReader, ReadsBackItsWriter) {
  // Its own files count hundredths, even where they all stay below 25.
  ExpectRoundTrip(sfSpruceSubtitleFile, {{1120, 2240, "A\rB"}, {3600120, 3600200, "C"}});
}

}  // namespace
}  // namespace vorlane
