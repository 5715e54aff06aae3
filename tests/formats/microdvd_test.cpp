#include <gtest/gtest.h>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

std::vector<SubtitleCue> ReadAt(double rate, const LineList& lines, bool classic = false) {
  TSubtitles doc;
  doc.SetClassicReading(classic);
  doc.SetFrameRate(rate);
  doc.Cues.push_back({10, 20, "stale"});
  ReadMicroDVD(doc, lines);
  return doc.Cues;
}

std::string ReadError(double rate, const LineList& lines) {
  try {
    ReadAt(rate, lines);
  } catch (const SubtitleError& e) {
    return e.what();
  }
  return "no error";
}

// A first cue that gives a frame rate is the file's rate, not a cue; any
// other cue stays one.
TEST(ReadMicroDVD, FirstCueWithARateIsTheFilesRate) {
  const struct {
    const char* name;
    LineList lines;
    double file_rate;
    std::vector<SubtitleCue> cues;  // at 25 frames per second
  } cases[] = {
      {"Rate", {"{1}{1}23.976", "{25}{50}a"}, 23.976, {{1000, 2000, "a"}}},
      {"ZeroFramesAfterOtherLines", {"junk", "{0}{0} 25 ", "{25}{50}a"}, 25, {{1000, 2000, "a"}}},
      {"DecimalComma", {"{1}{1}29,97"}, 29.97, {}},
      {"NotTheFirstCue", {"{25}{50}a", "{1}{1}25"}, 0, {{1000, 2000, "a"}, {40, 40, "25"}}},
      {"Words", {"{1}{1}25 fps"}, 0, {{40, 40, "25 fps"}}},
      {"BelowOne", {"{0}{0}0.5"}, 0, {{0, 0, "0.5"}}},
      {"OtherFrames", {"{1}{25}25"}, 0, {{40, 1000, "25"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSubtitles doc;
    bool frame_based = false;
    ASSERT_TRUE(doc.LoadFromList(c.lines, frame_based));
    EXPECT_TRUE(frame_based);
    EXPECT_DOUBLE_EQ(doc.FileFrameRate(), c.file_rate);
    EXPECT_EQ(ReadAt(25, c.lines), c.cues);
  }
}

TEST(ReadMicroDVD, ReadsCueLinesAndSkipsOthers) {
  const struct {
    const char* line;
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleCue> classic = {};  // when the classic rules read otherwise
  } cases[] = {
      {"{25}{100}Hello|World", {{1000, 4000, "Hello\rWorld"}}},
      {"{1}{2}", {{40, 80, ""}}},
      // Control codes after the second "}" become the program's tags; the
      // classic rules keep them as text.
      {"{100}{200}{y:i}Hello", {{4000, 8000, "<i>Hello</i>"}}, {{4000, 8000, "{y:i}Hello"}}},
      {"{ 5}{-5}a||b", {{200, -200, "a\r\rb"}}},
      {"no brace", {}},
      {"x{1}{2}y", {}},
      {"{1}", {}},
      {"{1}{2", {}},
      {"", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadAt(25, {c.line}), c.cues);
    EXPECT_EQ(ReadAt(25, {c.line}, true), c.classic.empty() ? c.cues : c.classic);
  }
}

TEST(ReadMicroDVD, KeepsFileOrderAndCount) {
  EXPECT_EQ(ReadAt(25, {"{50}{75}b", "skip me", "{0}{25}a"}),
            (std::vector<SubtitleCue>{{2000, 3000, "b"}, {0, 1000, "a"}}));
}

TEST(ReadMicroDVD, ConvertsWithTheExactRate) {
  // 100100 / 23.976 is 4175.0: the rate is not rounded to 24 first, which
  // would drift by four seconds an hour.
  EXPECT_EQ(ReadAt(23.976, {"{1001}{2002}x"}), (std::vector<SubtitleCue>{{41750, 83500, "x"}}));
  // Round(3700 / 25) and halves to even: 12.5 frames at 25 fps.
  EXPECT_EQ(ReadAt(25, {"{37}{2}x"}), (std::vector<SubtitleCue>{{1480, 80, "x"}}));
  // By default frames become milliseconds, Round(frame * 1000 / rate); the
  // classic rules count centiseconds, Round(frame * 100 / rate).
  EXPECT_EQ(ReadAt(8, {"{1}{3}x"}), (std::vector<SubtitleCue>{{125, 375, "x"}}));
  EXPECT_EQ(ReadAt(8, {"{1}{3}x"}, true), (std::vector<SubtitleCue>{{120, 380, "x"}}));
  EXPECT_EQ(ReadAt(23.976, {"{1001}{2002}x"}, true),
            (std::vector<SubtitleCue>{{41750, 83500, "x"}}));
}

TEST(ReadMicroDVD, MalformedFramesFailTheRead) {
  const struct {
    double rate;
    const char* line;
    const char* message;
  } cases[] = {
      {25, "{1}{}Hello", "'' is not a valid integer value"},
      {25, "{}{2}x", "'' is not a valid integer value"},
      {25, "{a}{2}x", "'a' is not a valid integer value"},
      {25, "{1}{2 }x", "'2 ' is not a valid integer value"},
      // A frame near 2^31 at 1 fps is far beyond the 32-bit centisecond
      // range: the file is corrupted, the time does not wrap.
      {1, "{2147483647}{2147483647}x", "Time out of range (frame 2147483647)"},
      {1, "{1}{-2147483648}x", "Time out of range (frame -2147483648)"},
      {25, "{1}{99999999999}x", "'99999999999' is not a valid integer value"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadError(c.rate, {"{0}{1}ok", c.line}), c.message);
  }
}

TEST(ReadMicroDVD, WithoutARateReadsNothing) {
  EXPECT_TRUE(ReadAt(0, {"{25}{100}x"}).empty());
}

TEST(WriteMicroDVD, WritesFramesAndBars) {
  const struct {
    double rate;
    SubtitleCue cue;
    const char* line;
  } cases[] = {
      {25, {1000, 4000, "Hello\rWorld"}, "{25}{100}Hello|World"},
      {25, {60, 20, ""}, "{2}{0}"},  // 1.5 frames round to 2, 0.5 to 0
      {23.976, {41750, 83500, "x"}, "{1001}{2002}x"},
      {0, {1000, 4000, "no rate"}, "{0}{0}no rate"},
      // More frames than 32 bits hold are printed in full.
      {1000, {0, 21474836470, "long"}, "{0}{21474836470}long"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    TSubtitles doc;
    doc.SetFrameRate(c.rate);
    doc.Cues = {c.cue};
    LineList lines{"kept"};
    WriteMicroDVD(doc, lines);
    EXPECT_EQ(lines, (LineList{"kept", c.line}));
  }
}

TEST(MicroDVDLoad, NeedsAWholeFrameRateOfAtLeastOne) {
  const LineList file{"{25}{100}Hello|World"};
  const struct {
    double rate;
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleCue> classic;
  } cases[] = {
      {0, {}, {}},
      {0.4, {}, {}},  // rounds to 0
      // Rounds to 1, converts with 0.6.
      {0.6, {{41667, 166667, "Hello\rWorld"}}, {{41670, 166670, "Hello\rWorld"}}},
      {25, {{1000, 4000, "Hello\rWorld"}}, {{1000, 4000, "Hello\rWorld"}}},
  };
  for (const auto& c : cases) {
    for (const bool classic : {false, true}) {
      SCOPED_TRACE(testing::Message() << c.rate << (classic ? " classic" : ""));
      TSubtitles doc;
      doc.SetClassicReading(classic);
      doc.SetFrameRate(c.rate);
      doc.Cues.push_back({10, 20, "earlier file"});
      bool frame_based = false;
      EXPECT_TRUE(doc.LoadFromList(file, frame_based));
      EXPECT_TRUE(frame_based);
      EXPECT_EQ(doc.Cues, classic ? c.classic : c.cues);
    }
  }
}

TEST(MicroDVDLoad, SecondLoadAfterSettingTheRateReadsTheCues) {
  TSubtitles doc;
  bool frame_based = false;
  const LineList file{"{25}{100}a", "{125}{150}b"};
  ASSERT_TRUE(doc.LoadFromList(file, frame_based));
  ASSERT_TRUE(frame_based);
  EXPECT_TRUE(doc.Cues.empty());
  doc.SetFrameRate(25);
  ASSERT_TRUE(doc.LoadFromList(file, frame_based));
  EXPECT_EQ(doc.Cues, (std::vector<SubtitleCue>{{1000, 4000, "a"}, {5000, 6000, "b"}}));
}

TEST(MicroDVDLoad, FrameOutOfRangeIsReportedAsACorruptedFile) {
  TempDir dir;
  const std::string path = dir.path() + "/huge.sub";
  WriteFileBytes(path, "{2147483647}{2147483647}x\r\n");
  TSubtitles doc;
  doc.SetFrameRate(1);
  bool frame_based = false;
  std::string reported;
  EXPECT_FALSE(
      doc.LoadFromFile(path, frame_based, [&](const LoadFailure& f) { reported = f.BoxText(); }));
  EXPECT_EQ(reported,
            "File " + path +
                " is corrupted. Error on line: Time out of range (frame 2147483647) (line 1)");
}

TEST(MicroDVDRoundTrip, WritesAndReadsBackWithinOneFrame) {
  const std::vector<SubtitleCue> cues{{1000, 4000, "Hello\rWorld"},
                                      {0, 40, ""},
                                      {3600000, 3601230, "<i>styled</i>"},
                                      {70, 130, "odd"}};
  for (double rate : {25.0, 23.976, 29.97, 1.0}) {
    SCOPED_TRACE(rate);
    TSubtitles doc;
    doc.SetFrameRate(rate);
    doc.Cues = cues;
    LineList lines;
    doc.SaveToList(lines, sfMicroDVD);
    EXPECT_EQ(DetectFormat(lines), sfMicroDVD);
    TSubtitles back;
    back.SetFrameRate(rate);
    bool frame_based = false;
    ASSERT_TRUE(back.LoadFromList(lines, frame_based));
    EXPECT_TRUE(frame_based);
    ASSERT_EQ(back.Cues.size(), cues.size());
    // One frame lasts 1000 / rate milliseconds; a time moves at most half a
    // frame each way, rounded.
    const double half_frame = 500.0 / rate + 1;
    for (std::size_t i = 0; i < cues.size(); ++i) {
      EXPECT_NEAR(back.Cues[i].Start, cues[i].Start, half_frame);
      EXPECT_NEAR(back.Cues[i].Stop, cues[i].Stop, half_frame);
      EXPECT_EQ(back.Cues[i].Text, cues[i].Text);
    }
  }
  // At 25 fps a frame is 4 centiseconds: multiples of 4 come back exactly.
  TSubtitles doc;
  doc.SetFrameRate(25);
  doc.Cues = {{1000, 4000, "a|b"}, {40, 80, ""}};
  LineList lines;
  doc.SaveToList(lines, sfMicroDVD);
  TSubtitles back;
  back.SetFrameRate(25);
  bool frame_based = false;
  ASSERT_TRUE(back.LoadFromList(lines, frame_based));
  // A "|" in the text comes back as a line break.
  EXPECT_EQ(back.Cues, (std::vector<SubtitleCue>{{1000, 4000, "a\rb"}, {40, 80, ""}}));
}

}  // namespace
}  // namespace vorlane
