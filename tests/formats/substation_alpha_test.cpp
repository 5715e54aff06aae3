#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/second_read_support.h"

namespace vorlane {
namespace {

const char kEventsV4Plus[] =
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text";

TEST(SubStationAlphaReader, ReadsWhatRealScriptsHold) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"CommasInTextBreaksAndSpacing",
       {"\xEF\xBB\xBF[Script Info]", "[Events]", kEventsV4Plus,
        "Dialogue: 0, 0:00:01.50 ,0:00:03.25,Default,,0,0,0,, Hi, you\\Nthere\\nnow\\hok"},
       {{1500, 3250, "Hi, you\rthere\rnow ok"}}},
      {"FieldsFoundByNameCommentsSkipped",
       {"[Events]", "Format: Start, End, Text", "Comment: 0:00:00.00,0:00:09.00,note",
        "Dialogue: 1:02:03.4,1:02:04.567,A"},
       {{3723400, 3724567, "A"}}},  // milliseconds kept
      {"V4WithMarkedAndNoFormatLine",
       {"[Script Info]", "ScriptType: v4.00", "[Events]",
        "Dialogue: Marked=0,0:00:01.00,0:00:02.00,*Default,Bob,0000,0000,0000,,Text"},
       {{1000, 2000, "Text"}}},
      {"OverridesToTagsAlignmentKept",
       {"[Script Info]", "[Events]", kEventsV4Plus,
        "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\an8\\fs20}{\\i1}a{\\i0} "
        "{\\b1\\blur2}b{\\b0}{\\u1}c{\\iclip(1,2,3,4)\\c&H00FF00&}d",
        "Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,{\\a6}top {\\b700}bold"},
       // The alignment is the cue's place, not text: {\an8} and the
       // old {\a6} both stand for the top centre.
       // The primary colour is kept; styles are toggles in the cue text, so
       // the underline closes where the event ends, before the font.
       {{1000, 2000, "<i>a</i> <b>b</b><u>c<font color=\"#00FF00\">d</u></font>", 8},
        {3000, 4000, "top <b>bold</b>", 8}}},
      {"ItalicStyleAndDrawingSkipped",
       {"[Script Info]", "[V4+ Styles]",
        "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
        "BackColour, Bold, Italic",
        "Style: Thought,Arial,20,&H0,&H0,&H0,&H0,0,-1", "Style: Plain,Arial,20,&H0,&H0,&H0,&H0,0,0",
        "[Events]", kEventsV4Plus, "Dialogue: 0,0:00:01.00,0:00:02.00,Thought,,0,0,0,,Hmm {\\i0}no",
        "Dialogue: 0,0:00:01.00,0:00:02.00,Plain,,0,0,0,,{\\p1}m 0 0 l 10 10{\\p0}",
        "Dialogue: 0,0:00:02.00,0:00:03.00,Plain,,0,0,0,,",
        "Dialogue: 0,0:00:03.00,0:00:04.00,Thought,,0,0,0,,{\\i0}plain"},
       {{1000, 2000, "<i>Hmm </i>no"}, {2000, 3000, ""}, {3000, 4000, "plain"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadAdvancedSSA, c.lines), c.cues);
  }
}

TEST(SubStationAlphaReader, BadTimeNamesTheLine) {
  const LineList lines = {"[Script Info]", "[Events]", kEventsV4Plus,
                          "Dialogue: 0,0:00:0x.00,0:00:02.00,Default,,0,0,0,,A"};
  EXPECT_EQ(ReadFault(ReadAdvancedSSA, lines), "'0:00:0x.00' is not a valid time (line 4)");
}

TEST(SubStationAlphaReader, SignatureNeedsTheScriptHeadOrEvents) {
  EXPECT_TRUE(IsAdvancedSSA(LineList{"", "[script info]", "Title: x"}));
  EXPECT_TRUE(IsAdvancedSSA(LineList{"[Events]", "Dialogue: 0,0:00:01.00,0:00:02.00,,,,,,,A"}));
  EXPECT_FALSE(IsAdvancedSSA(LineList{"1", "00:00:01,000 --> 00:00:02,000", "[Script Info]"}));
  EXPECT_FALSE(IsAdvancedSSA(LineList{"Dialogue: 0,0:00:01.00,0:00:02.00,,,,,,,A"}));
}

TEST(SubStationAlphaReader, ReadsBackItsWriterClassicOrNot) {
  const std::vector<SubtitleCue> cues = {{1500, 3250, "A, b\rB"}, {3600010, 3600990, "<i>x</i>"}};
  for (bool classic : {false, true}) {
    SCOPED_TRACE(classic);
    ExpectRoundTrip(sfAdvancedSSA, cues, classic);
  }
}

}  // namespace
}  // namespace vorlane
