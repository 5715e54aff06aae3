#include <gtest/gtest.h>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

const char kStart[] = "******** START SCRIPT ********";

struct ReadCase {
  const char* name;
  LineList lines;
  std::vector<SubtitleCue> cues;
};

TEST(ReadSubViewer1, ReadsTimeLinesAroundTheText) {
  const ReadCase cases[] = {
      {"OneCue",
       {kStart, "[00:00:05]", "Hello", "World", "[00:00:08]"},
       {{5000, 8000, "Hello\rWorld"}}},
      // The bar the writer puts between lines is not turned back into CR.
      {"BarsStayInTheText",
       {kStart, "[00:00:05]", "Hello|World", "[00:00:08]", ""},
       {{5000, 8000, "Hello|World"}}},
      {"MarkerAnywhereInTheLine",
       {"x " + std::string(kStart) + " y", "[01:02:03]", "[01:02:04]"},
       {{3723000, 3724000, ""}}},
      {"TimesBeforeTheMarkerAreIgnored",
       {"[00:00:01]", "early", "[00:00:02]", kStart, "[00:00:05]", "a", "[00:00:06]"},
       {{5000, 6000, "a"}}},
      {"NoMarkerNoCues", {"[00:00:05]", "Hello", "[00:00:08]"}, {}},
      // Empty lines and lines in brackets that are no time are text.
      {"EmptyAndBracketLinesAreText",
       {kStart, "[00:00:05]", "", "[note]", "", "[00:00:08]"},
       {{5000, 8000, "\r[note]\r"}}},
      // What follows the "]" of a time line is ignored.
      {"TailAfterTimeIgnored",
       {kStart, "[00:00:05]junk", "a", "[00:00:08] more"},
       {{5000, 8000, "a"}}},
      {"OpenCueAtTheEndIsDropped",
       {kStart, "[00:00:01]", "a", "[00:00:02]", "", "[00:00:03]", "b"},
       {{1000, 2000, "a"}}},
      {"FooterIgnored",
       {kStart, "[00:00:01]", "a", "[00:00:02]", "", "[end]", "******** END SCRIPT ********"},
       {{1000, 2000, "a"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadSubViewer1, c.lines), c.cues);
  }
}

TEST(ReadSubViewer2, ReadsATimingLineAndOneTextLine) {
  const ReadCase cases[] = {
      {"OneCue",
       {"[SUBTITLE]", "00:00:01.50,00:00:04.05", "Hello[br]World"},
       {{1500, 4050, "Hello\rWorld"}}},
      {"EmptyLineBeforeTheText", {"00:00:01.50,00:00:04.05", "", "text"}, {{1500, 4050, "text"}}},
      // Only the header tags are passed over; other lines that begin with
      // "[" are text.
      {"BracketTextIsText",
       {"[INFORMATION]", "[Title]x", "[DELAY] 0", "[COLF]&HFFFFFF,[STYLE]bd", "[SUBTITLE]",
        "00:00:01.50,00:00:04.05", "[br]Music[br]", "00:00:05.00,00:00:06.00", "[END INFORMATION]",
        "[i]x"},
       {{1500, 4050, "\rMusic\r"}, {5000, 6000, "[i]x"}}},
      {"SecondTextLineDropped",
       {"00:00:01.00,00:00:02.00", "one", "two", "00:00:03.00,00:00:04.00", "three"},
       {{1000, 2000, "one"}, {3000, 4000, "three"}}},
      {"SecondTimingLineReplacesTheFirst",
       {"00:00:01.00,00:00:02.00", "00:00:05.00,00:00:06.00", "x"},
       {{5000, 6000, "x"}}},
      {"PendingTimesAtTheEndAreDropped",
       {"00:00:01.00,00:00:02.00", "x", "00:00:05.00,00:00:06.00"},
       {{1000, 2000, "x"}}},
      // Hundredths are taken as they stand.
      {"HundredthsAsTheyStand", {"00:00:01.5,00:00:01.123", "x"}, {{1050, 2230, "x"}}},
      {"TextBeforeAnyTimingIgnored",
       {"stray", "00:00:01.00,00:00:02.00", "x"},
       {{1000, 2000, "x"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadSubViewer2, c.lines), c.cues);
  }
}

TEST(ReadSubViewer, MalformedTimesFailTheRead) {
  const struct {
    SubtitleReader reader;
    LineList lines;
    const char* message;
  } cases[] = {
      {ReadSubViewer1, {kStart, "[aa:00:01]"}, "'aa' is not a valid integer value"},
      // A bracketed text line with two colons is taken for a time line.
      {ReadSubViewer1,
       {kStart, "[00:00:01]", "[Note: see: this]"},
       "'Note' is not a valid integer value"},
      // Empty fields move the later ones down: too few fields are left.
      {ReadSubViewer1, {kStart, "[0::]1"}, "List index out of bounds (2)"},
      {ReadSubViewer1, {kStart, "[99999:00:00]"}, "Time out of range (35999640000 centiseconds)"},
      {ReadSubViewer2, {"00:00:xx.50,00:00:04.05", "x"}, "'xx' is not a valid integer value"},
      {ReadSubViewer2, {"00:00:01.50,00:00:04.05 text"}, "'05 text' is not a valid integer value"},
      {ReadSubViewer2, {"00::01.50,00:00:04.05"}, "List index out of bounds (7)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    EXPECT_EQ(ReadError(c.reader, c.lines), c.message);
  }
}

const LineList kSubViewer1Header{"[Title]",    "",  "[AUTHOR]",   "",    "[Source]", "",
                                 "[PRG]",      "",  "[FILEPATH]", "",    "[DELAY]",  "0",
                                 "[CD TRACK]", "0", "[BEGIN]",    kStart};
const LineList kSubViewer1Footer{"[end]", "******** END SCRIPT ********"};
const LineList kSubViewer2Header{"[INFORMATION]",
                                 "[TITLE]",
                                 "[AUTHOR]",
                                 "[SOURCE]",
                                 "[PRG]",
                                 "[FILEPATH]",
                                 "[DELAY] 0",
                                 "[CD TRACK] 0",
                                 "[COMMENT]",
                                 "[END INFORMATION]",
                                 "[SUBTITLE]",
                                 "[COLF]&HFFFFFF,[STYLE]db,[SIZE]18,[FONT]Arial",
                                 ""};

LineList Joined(std::initializer_list<LineList> parts) {
  LineList all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

TEST(WriteSubViewer, WritesHeaderBlocksAndFooter) {
  const struct {
    TSubtitleFormat format;
    std::vector<SubtitleCue> cues;
    LineList lines;
  } cases[] = {
      {sfSubViewer1, {}, Joined({kSubViewer1Header, kSubViewer1Footer})},
      {sfSubViewer1,
       // 150 and 250 centiseconds both round to 2 seconds.
       {{5000, 8000, "Hello\rWorld"}, {1500, 2500, ""}, {360000000, 360000490, "late"}},
       Joined({kSubViewer1Header,
               {"[00:00:05]", "Hello|World", "[00:00:08]", "", "[00:00:02]", "", "[00:00:02]", "",
                "[100:00:00]", "late", "[100:00:00]", ""},
               kSubViewer1Footer})},
      {sfSubViewer2, {}, kSubViewer2Header},
      {sfSubViewer2,
       {{1500, 4050, "Hello\rWorld"}, {3661990, 360000000, ""}},
       Joined({kSubViewer2Header,
               {"00:00:01.50,00:00:04.05", "Hello[br]World", "", "01:01:01.99,100:00:00.00", "",
                ""}})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.format).name);
    TSubtitles doc;
    doc.Cues = c.cues;
    LineList lines{"kept"};
    doc.SaveToList(lines, c.format);
    EXPECT_EQ(lines, Joined({{"kept"}, c.lines}));
  }
}

TEST(SubViewerRoundTrip, ReadsBackAtTheFormatsPrecision) {
  TSubtitles doc;
  doc.Cues = {{1500, 4050, "Hello\rWorld"}, {0, 10, ""}, {3661990, 360000000, "[i]x"}};
  const struct {
    TSubtitleFormat format;
    std::vector<SubtitleCue> back;
  } cases[] = {
      // Whole seconds; the line break comes back as the bar it was written as.
      {sfSubViewer1, {{2000, 4000, "Hello|World"}, {0, 0, ""}, {3662000, 360000000, "[i]x"}}},
      // Hundredths exactly. An empty text line is skipped, so that cue never
      // gets its text line and is lost: a limit of the format, pinned here.
      {sfSubViewer2, {{1500, 4050, "Hello\rWorld"}, {3661990, 360000000, "[i]x"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.format).name);
    LineList lines;
    doc.SaveToList(lines, c.format);
    EXPECT_EQ(DetectFormat(lines), c.format);
    TSubtitles back;
    bool frame_based = true;
    ASSERT_TRUE(back.LoadFromList(lines, frame_based));
    EXPECT_FALSE(frame_based);
    EXPECT_EQ(back.Cues, c.back);
  }
}

}  // namespace
}  // namespace vorlane
