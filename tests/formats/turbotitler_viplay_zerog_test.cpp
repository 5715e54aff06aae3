#include <gtest/gtest.h>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct ReadCase {
  const char* name;
  SubtitleReader reader;
  LineList lines;
  std::vector<SubtitleCue> cues;
  std::vector<SubtitleCue> classic = {};  // when the classic rules read other times
};

TEST(ReadCueLineFormats, ReadLinesThatSplit) {
  const ReadCase cases[] = {
      {"TurboTitler",
       ReadTurboTitler,
       {"0:00:01.50,0:00:03.25,NTP Hello|World"},
       {{1500, 3250, "Hello\rWorld"}}},
      // Whatever word stands after the second comma is the marker.
      {"TurboTitlerAnyMarker",
       ReadTurboTitler,
       {"0:00:01.50,0:00:03.25,Hello big world"},
       {{1500, 3250, "big world"}}},
      {"TurboTitlerNoSpaceDoesNotSplit", ReadTurboTitler, {"0:00:01.50,0:00:03.25,Hello"}, {}},
      {"TurboTitlerEmptyText", ReadTurboTitler, {"0:00:01.50,0:00:03.25,NTP "}, {{1500, 3250, ""}}},
      {"TurboTitlerTextWithSeparators",
       ReadTurboTitler,
       {"0:00:01.50,0:00:03.25,NTP a, b: c. d"},
       {{1500, 3250, "a, b: c. d"}}},
      // No field is limited to a range.
      {"TurboTitlerNoRangeLimits",
       ReadTurboTitler,
       {"1:75:01.150,0:00:00.00,NTP x"},
       {{8102500, 0, "x"}}},
      {"ViPlay",
       ReadViPlay,
       {"{* VIPLAY SUBTITLE FILE *}", "00:01:01,500-00:01:04,500=Hi"},
       {{61500, 64500, "Hi"}}},
      // Milliseconds are kept; the classic rules cut them to centiseconds.
      {"ViPlayKeepsMilliseconds",
       ReadViPlay,
       {"00:00:01,999-00:00:02,005=x"},
       {{1999, 2005, "x"}},
       {{1990, 2000, "x"}}},
      {"ViPlayTextWithSeparators",
       ReadViPlay,
       {"00:00:01,000-00:00:02,000=a=b-c|d"},
       {{1000, 2000, "a=b-c\rd"}}},
      {"ViPlayEmptyText", ReadViPlay, {"00:00:01,000-00:00:02,000="}, {{1000, 2000, ""}}},
      {"ViPlayHeaderOnly", ReadViPlay, {"{* VIPLAY SUBTITLE FILE *}"}, {}},
      {"ZeroG",
       ReadZeroG,
       {"% Zero G 1.0", "", "E 1 0:00:00.00 0:00:01.50 Default NTP A\\nB"},
       {{0, 1500, "A\rB"}}},
      // The two leading words and the style and marker words are dropped.
      {"ZeroGAnyWords",
       ReadZeroG,
       {"X Y 0:00:02.00 0:00:03.00 Style Mark text with spaces"},
       {{2000, 3000, "text with spaces"}}},
      // A line beginning with "%" is passed over even when it would split.
      {"ZeroGPercentLine", ReadZeroG, {"%E 1 0:00:00.00 0:00:01.50 Default NTP x"}, {}},
      {"ZeroGHeaderOnly", ReadZeroG, {"% Zero G 1.0", ""}, {}},
      {"CountsOnlyLinesThatSplit",
       ReadTurboTitler,
       {"junk", "0:00:01.00,0:00:02.00,NTP a", "", "0:00:03.00,0:00:04.00,NTP b"},
       {{1000, 2000, "a"}, {3000, 4000, "b"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(c.reader, c.lines), c.cues);
    EXPECT_EQ(ReadClassic(c.reader, c.lines), c.classic.empty() ? c.cues : c.classic);
  }
}

TEST(ReadCueLineFormats, FieldsThatMoveDownFailTheRead) {
  const struct {
    SubtitleReader reader;
    const char* line;
    const char* message;
    const char* classic_message = nullptr;  // when the classic rules say otherwise
  } cases[] = {
      {ReadTurboTitler, "0:00:01.50,0:00:03.25, Hello", "List index out of bounds (9)"},
      {ReadTurboTitler, "0::01.50,0:00:03.25,NTP x", "'NTP' is not a valid integer value"},
      {ReadTurboTitler, "0:0x:01.50,0:00:03.25,NTP x", "'0x' is not a valid integer value"},
      // The empty stop fraction moves the text into the fraction field; with
      // a number there the text field is missing instead.
      {ReadViPlay, "00:01:01,500-00:01:04,=Hi", "'Hi' is not a valid integer value"},
      {ReadViPlay, "00:01:01,500-00:01:04,=5", "List index out of bounds (8)"},
      {ReadViPlay, "00:01:01,500-00:01:04,5 00=Hi", "'5 00' is not a valid integer value"},
      // A line beginning with a space is not passed over; its words then
      // stand in other fields and the style word lands in a number field.
      {ReadZeroG, " E 1 0:00:00.00 0:00:01.50 Default NTP x",
       "'Default' is not a valid integer value"},
      {ReadZeroG, "E 1 0:00:00.00 0:00:01.50 Default  x", "List index out of bounds (12)"},
      {ReadViPlay, "99999:00:00,000-00:00:00,000=x",
       "Time out of range (359996400000 milliseconds)",
       "Time out of range (35999640000 centiseconds)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadError(c.reader, {"ok", c.line}), c.message);
    EXPECT_EQ(ReadErrorClassic(c.reader, {"ok", c.line}),
              c.classic_message != nullptr ? c.classic_message : c.message);
  }
}

TEST(CueLineFormatsLoad, CorruptedLineIsReportedWithTheFileName) {
  TempDir dir;
  const std::string path = dir.path() + "/t.txt";
  WriteFileBytes(path, "0:00:01.50,0:00:03.25,NTP a\r\n0:00:01.50,0:00:03.25, Hello\r\n");
  TSubtitles doc;
  bool frame_based = true;
  std::string reported;
  EXPECT_FALSE(
      doc.LoadFromFile(path, frame_based, [&](const LoadFailure& f) { reported = f.BoxText(); }));
  EXPECT_EQ(reported,
            "File " + path + " is corrupted. Error on line: List index out of bounds (9) (line 2)");
}

TEST(WriteCueLineFormats, WritesHeaderAndOneLinePerCue) {
  const std::vector<SubtitleCue> cues{
      {1500, 3250, "Hello\rWorld"}, {61500, 64500, ""}, {36000000, 360000010, "a|b"}};
  const struct {
    TSubtitleFormat format;
    LineList lines;
  } cases[] = {
      {sfTurboTitler,
       {"0:00:01.50,0:00:03.25,NTP Hello|World", "0:01:01.50,0:01:04.50,NTP ",
        "10:00:00.00,100:00:00.01,NTP a|b"}},
      {sfViPlay,
       {"{* VIPLAY SUBTITLE FILE *}", "00:00:01,500-00:00:03,250=Hello|World",
        "00:01:01,500-00:01:04,500=", "10:00:00,000-100:00:00,010=a|b"}},
      {sfZeroG,
       {"% Zero G 1.0", "", "E 1 0:00:01.50 0:00:03.25 Default NTP Hello\\nWorld",
        "E 1 0:01:01.50 0:01:04.50 Default NTP ", "E 1 10:00:00.00 100:00:00.01 Default NTP a|b"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(FormatOf(c.format).name);
    TSubtitles doc;
    doc.Cues = cues;
    LineList lines{"kept"};
    doc.SaveToList(lines, c.format);
    LineList expected{"kept"};
    expected.insert(expected.end(), c.lines.begin(), c.lines.end());
    EXPECT_EQ(lines, expected);
    // An empty document writes the header alone (nothing for TurboTitler).
    doc.Cues.clear();
    lines.clear();
    doc.SaveToList(lines, c.format);
    EXPECT_EQ(lines, LineList(c.lines.begin(), c.lines.end() - 3));
  }
}

TEST(CueLineFormatsRoundTrip, ReadBackExactlyAndDetectThemselves) {
  TSubtitles doc;
  doc.Cues = {{1500, 3250, "Hello\rWorld"}, {0, 0, ""}, {3599990, 3600010, "a, b=c-d: e"}};
  for (TSubtitleFormat format : {sfTurboTitler, sfViPlay, sfZeroG}) {
    SCOPED_TRACE(FormatOf(format).name);
    LineList lines;
    doc.SaveToList(lines, format);
    EXPECT_EQ(DetectFormat(lines), format);
    TSubtitles back;
    bool frame_based = true;
    ASSERT_TRUE(back.LoadFromList(lines, frame_based));
    EXPECT_FALSE(frame_based);
    EXPECT_EQ(back.Cues, doc.Cues);
  }
}

TEST(CueLineFormatsRoundTrip, TurboTitlerFromTenHoursIsTakenForSubViewer2) {
  // With two hour digits the TurboTitler line has the fixed characters that
  // the earlier SubViewer 2 test looks for, and detection order decides.
  // SubViewer 2 then fails on the first line, whose stop fraction runs
  // into the text. Pinned, not mended: the
  // detection order is the contract every reader relies on.
  TSubtitles doc;
  doc.Cues = {{1000, 2000, "early"}, {36000000, 36001000, "late"}};
  LineList lines;
  doc.SaveToList(lines, sfTurboTitler);
  EXPECT_EQ(DetectFormat(lines), sfSubViewer2);
  TSubtitles back;
  bool frame_based = true;
  try {
    back.LoadFromList(lines, frame_based);
    ADD_FAILURE() << "no error";
  } catch (const SubtitleError& e) {
    EXPECT_STREQ(e.what(), "'00,NTP early' is not a valid integer value");
  }
}

}  // namespace
}  // namespace vorlane
