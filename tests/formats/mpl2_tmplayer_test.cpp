#include <gtest/gtest.h>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

using Writer = void (*)(const TSubtitles&, LineList&);

LineList Write(Writer writer, const std::vector<SubtitleCue>& cues) {
  TSubtitles doc;
  doc.Cues = cues;
  LineList lines{"kept"};
  writer(doc, lines);
  lines.erase(lines.begin());
  return lines;
}

TEST(ReadMPL2, ReadsDecisecondsAndSkipsOtherLines) {
  const struct {
    const char* line;
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleCue> classic = {};  // when the classic rules read otherwise
  } cases[] = {
      {"[15][42]Hello|World", {{1500, 4200, "Hello\rWorld"}}},
      {"[0][1]", {{0, 100, ""}}},
      // A leading "/" is italic; with the classic rules markup stays in the
      // text. A second "][" is text.
      {"[1][2]/italic][x", {{100, 200, "<i>italic][x</i>"}}, {{100, 200, "/italic][x"}}},
      {"[1][2]a|/b", {{100, 200, "a\r<i>b</i>"}}, {{100, 200, "a\r/b"}}},
      {"[-3][ 4]x", {{-300, 400, "x"}}},
      {"not a cue", {}},
      {" [1][2]x", {}},
      {"[1]", {}},
      {"[1][2", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Read(ReadMPL2, {c.line}), c.cues);
    EXPECT_EQ(ReadClassic(ReadMPL2, {c.line}), c.classic.empty() ? c.cues : c.classic);
  }
}

TEST(ReadTMPlayer, ReadsStartAndLastsThreeSeconds) {
  const struct {
    const char* line;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"00:01:05:Hello|you", {{65000, 68000, "Hello\ryou"}}},
      {"00:01:05:", {{65000, 68000, ""}}},
      {"00:01:05:a:b", {{65000, 68000, "a:b"}}},
      {"0:0:1:short fields", {{1000, 4000, "short fields"}}},
      {"09:59:59:last", {{35999000, 36002000, "last"}}},
      // Hours that do not begin with "0" are never read.
      {"10:00:00:Late", {}},
      {"1:00:00:one digit", {}},
      // A line beginning with "0" but holding no colon is passed over.
      {"0 no colon at all", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Read(ReadTMPlayer, {c.line}), c.cues);
  }
}

TEST(ReadMPL2AndTMPlayer, MalformedLinesFailWithTheirMessages) {
  const struct {
    SubtitleReader reader;
    LineList lines;
    const char* message;
  } cases[] = {
      // "][" at position 2 leaves an empty start field.
      {ReadMPL2, {"[][5]x"}, "'' is not a valid integer value"},
      {ReadMPL2, {"[1][x]y"}, "'x' is not a valid integer value"},
      // Ten times a large decisecond count leaves the 32-bit time range.
      {ReadMPL2, {"[214748365][1]x"}, "Time out of range (2147483650 centiseconds)"},
      // One or two colons in a line that begins with "0": the message is
      // the 1-based line number.
      {ReadTMPlayer, {"00:00:01:a", "", "x", "", "", "", "0 comments: none", "00:00:02:b"}, "7"},
      {ReadTMPlayer, {"00:00:01:a", "00:01 two: colons"}, "2"},
      {ReadTMPlayer, {"0a:00:01:x"}, "'0a' is not a valid integer value"},
      {ReadTMPlayer, {"00::01:x"}, "'' is not a valid integer value"},
      // The three-second stop must stay within the 32-bit range as well.
      {ReadTMPlayer, {"05965:13:56:x"}, "Time out of range (2147483900 centiseconds)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    EXPECT_EQ(ReadError(c.reader, c.lines), c.message);
  }
}

TEST(TMPlayerLoad, LineNumberFailureIsReportedWithTheFileName) {
  TempDir dir;
  const std::string path = dir.path() + "/a.txt";
  WriteFileBytes(path, "00:00:01:a\r\n00:00:02:b\r\n0 comments: none\r\n");
  TSubtitles doc;
  bool frame_based = true;
  std::string reported;
  EXPECT_FALSE(
      doc.LoadFromFile(path, frame_based, [&](const LoadFailure& f) { reported = f.BoxText(); }));
  EXPECT_EQ(reported, "File " + path + " is corrupted. Error on line: 3");
}

TEST(WriteMPL2AndTMPlayer, WriteOneLinePerCue) {
  const struct {
    Writer writer;
    SubtitleCue cue;
    const char* line;
  } cases[] = {
      {WriteMPL2, {1500, 4200, "Hello\rWorld"}, "[15][42]Hello|World"},
      {WriteMPL2, {150, 250, ""}, "[2][2]"},  // 1.5 and 2.5 both round to 2
      {WriteMPL2, {140, 360, "x"}, "[1][4]x"},
      {WriteTMPlayer, {65000, 68000, "Hello\ryou"}, "00:01:05:Hello|you"},
      {WriteTMPlayer, {65500, 0, ""}, "00:01:06:"},  // 65.5 rounds to 66
      {WriteTMPlayer, {64500, 0, ""}, "00:01:04:"},  // 64.5 rounds to 64
      {WriteTMPlayer, {360000000, 0, "late"}, "100:00:00:late"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(Write(c.writer, {c.cue}), LineList{c.line});
  }
  EXPECT_TRUE(Write(WriteMPL2, {}).empty());
  EXPECT_TRUE(Write(WriteTMPlayer, {}).empty());
}

TEST(MPL2AndTMPlayerLoad, ExampleLinesThroughTheLoader) {
  const struct {
    LineList lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {{"[15][42]Hello|World"}, {{1500, 4200, "Hello\rWorld"}}},
      {{"00:01:05:Hello|you", "00:01:05:", "00:01:05:a:b", "10:00:00:Late"},
       {{65000, 68000, "Hello\ryou"}, {65000, 68000, ""}, {65000, 68000, "a:b"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.front());
    TSubtitles doc;
    bool frame_based = true;
    ASSERT_TRUE(doc.LoadFromList(c.lines, frame_based));
    EXPECT_FALSE(frame_based);
    EXPECT_EQ(doc.Cues, c.cues);
  }
}

TEST(MPL2RoundTrip, WholeDecisecondsComeBackExactly) {
  const std::vector<SubtitleCue> cues{
      {1500, 4200, "Hello\rWorld"}, {0, 100, ""}, {360000000, 360005000, "/i|x"}, {120, 370, "r"}};
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    doc.Cues = cues;
    LineList lines;
    doc.SaveToList(lines, sfMPL2);
    EXPECT_EQ(DetectFormat(lines), sfMPL2);
    TSubtitles back;
    back.SetClassicReading(classic);
    bool frame_based = true;
    ASSERT_TRUE(back.LoadFromList(lines, frame_based));
    EXPECT_FALSE(frame_based);
    // Times come back to the nearest tenth; a "|" in the text as a break,
    // and by default the "/" that opens a line as italics.
    EXPECT_EQ(back.Cues,
              (std::vector<SubtitleCue>{{1500, 4200, "Hello\rWorld"},
                                        {0, 100, ""},
                                        {360000000, 360005000, classic ? "/i\rx" : "<i>i</i>\rx"},
                                        {100, 400, "r"}}));
  }
}

TEST(TMPlayerRoundTrip, StartsComeBackToTheSecondStopsAsThreeSeconds) {
  TSubtitles doc;
  doc.Cues = {{65000, 90000, "Hello\rWorld"}, {1490, 1510, ""}, {35999000, 36000000, "a:b"}};
  LineList lines;
  doc.SaveToList(lines, sfTMPlayer);
  EXPECT_EQ(DetectFormat(lines), sfTMPlayer);
  TSubtitles back;
  bool frame_based = true;
  ASSERT_TRUE(back.LoadFromList(lines, frame_based));
  EXPECT_EQ(back.Cues,
            (std::vector<SubtitleCue>{
                {65000, 68000, "Hello\rWorld"}, {1000, 4000, ""}, {35999000, 36002000, "a:b"}}));
  // Cues of ten hours or more are written but not read back.
  doc.Cues = {{1000, 2000, "a"}, {36000000, 36001000, "late"}};
  lines.clear();
  doc.SaveToList(lines, sfTMPlayer);
  EXPECT_EQ(lines, (LineList{"00:00:01:a", "10:00:00:late"}));
  ASSERT_TRUE(back.LoadFromList(lines, frame_based));
  EXPECT_EQ(back.Cues, (std::vector<SubtitleCue>{{1000, 4000, "a"}}));
}

}  // namespace
}  // namespace vorlane
