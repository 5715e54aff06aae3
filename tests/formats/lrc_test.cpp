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
       {{1500, 3250, "One"}, {3250, 8250, "Two"}}},
      {"SharedStampsSortedAndStopStamps",
       {"[00:10.00][00:01.00]Chorus", "[00:02.00]", "[00:05.5]Verse", "[00:06.123]"},
       {{1000, 2000, "Chorus"}, {5500, 6123, "Verse"}, {10000, 15000, "Chorus"}}},
      {"OffsetShowsLyricsSooner",
       {"[offset:+500]", "[00:01.50]One", "[00:03.25]"},
       {{1000, 2750, "One"}}},
      {"WordStampsDroppedColonHundredthsNegative",
       {"[-00:01.00]Pre", "[00:00:50]<00:00.50>Word <00:00.90>by word", "[01:00]"},
       {{-1000, 500, "Pre"}, {500, 60000, "Word by word"}}},
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
  ExpectRoundTrip(sfKaraokeLyricsLRC,
                  {{1500, 3250, "One"}, {3250, 60010, "Two"}, {70000, 71000, "x"}});
}

}  // namespace
}  // namespace vorlane
