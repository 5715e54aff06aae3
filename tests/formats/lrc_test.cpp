#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/second_read_support.h"

namespace vorlane {
namespace {

TEST(LRCReader, EachLineLastsUntilTheNextStamp) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"TagsSkippedLastLineFiveSeconds",
       {"[ar:Someone]", "[offset:0]", "[00:01.50]One", "[00:03.25] Two "},
       {{150, 325, "One"}, {325, 825, "Two"}}},
      {"SharedStampsSortedAndStopStamps",
       {"[00:10.00][00:01.00]Chorus", "[00:02.00]", "[00:05.5]Verse", "[00:06.123]"},
       {{100, 200, "Chorus"}, {550, 612, "Verse"}, {1000, 1500, "Chorus"}}},
      {"OffsetShowsLyricsSooner",
       {"[offset:+500]", "[00:01.50]One", "[00:03.25]"},
       {{100, 275, "One"}}},
      {"WordStampsDroppedColonHundredthsNegative",
       {"[-00:01.00]Pre", "[00:00:50]<00:00.50>Word <00:00.90>by word", "[01:00]"},
       {{-100, 50, "Pre"}, {50, 6000, "Word by word"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadKaraokeLyricsLRC, c.lines), c.cues);
  }
}

TEST(LRCReader, SignatureWantsStampedLyrics) {
  EXPECT_TRUE(IsKaraokeLyricsLRC(LineList{"[ti:T]", "Title", "[00:01.00]A", "[00:02.00]"}));
  // SubViewer's stamps stand alone above their text.
  EXPECT_FALSE(IsKaraokeLyricsLRC(LineList{"[00:00:01]", "A", "[00:00:02]", "", "[00:00:03]"}));
  EXPECT_FALSE(IsKaraokeLyricsLRC(LineList{"[10][20]A", "[30][40]B"}));
  EXPECT_FALSE(IsKaraokeLyricsLRC(LineList{"[00:01.00]A", "text", "more", "text"}));
}

TEST(LRCReader, ReadsBackItsWriter) {
  // The writer keeps no hours and joins a text's lines.
  ExpectRoundTrip(sfKaraokeLyricsLRC, {{150, 325, "One"}, {325, 6001, "Two"}, {7000, 7100, "x"}});
}

}  // namespace
}  // namespace vorlane
