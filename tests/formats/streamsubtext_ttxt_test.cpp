#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "subtitles/decimal.h"
#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

// The tests below write frame rates with ".", the separator of the C locale
// the test program runs in.
class StreamSubTextScriptTest : public testing::Test {
 protected:
  void SetUp() override {
    ResetDecimalSeparatorForTesting();
    ASSERT_EQ(DecimalSeparator(), '.');
  }
};

const char kCue[] = "1\tDefault\t0:00:01.500\t0:00:03.250\tHello~World\tx";

TEST_F(StreamSubTextScriptTest, ReadsCueLinesOnceHeaderTitlesAndRateAreSeen) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleCue> classic = {};  // when the classic rules read other times
  } cases[] = {
      {"OneCue", {"SST 2.0", "[TITLES]", "fps=25", kCue}, {{1500, 3250, "Hello\rWorld"}}},
      {"CueBeforeTheRate", {"SST 2.0", "[TITLES]", kCue, "fps=25"}, {}},
      {"RateZero", {"SST 2.0", "[TITLES]", "fps=0", kCue}, {}},
      {"NoHeader", {"[TITLES]", "fps=25", kCue}, {}},
      {"TitlesBeforeHeader", {"[TITLES]", "SST 2.0", "fps=25", kCue}, {}},
      {"RateBeforeTitles", {"SST 2.0", "fps=25", "[TITLES]", kCue}, {}},
      // The rate only needs to be positive; a rate below 1 is replaced by a
      // later "fps=" line, one of 1 or more is kept.
      {"HalfRateSwitchesReadingOn",
       {"SST", "[TITLES]", "fps=0.5", kCue, "fps=30", kCue},
       {{1500, 3250, "Hello\rWorld"}, {1500, 3250, "Hello\rWorld"}}},
      {"RateOfOneIsKept",
       {"SST", "[TITLES]", "fps=1", "fps=nonsense", kCue},
       {{1500, 3250, "Hello\rWorld"}}},
      // The three searches look anywhere in a line, all on the same line.
      {"HeaderAndTitlesOnOneLine",
       {"SST [TITLES]", "fps=25", kCue},
       {{1500, 3250, "Hello\rWorld"}}},
      {"TextAfterTheLastTabIgnored",
       {"SST", "[TITLES]", "fps=25", "7\tS\t1:2:3.456\t1:2:4.999\t~\tmore\ttabs"},
       {{3723456, 3724999, "\r"}},
       {{3723450, 3724990, "\r"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadStreamSubTextScript, c.lines), c.cues);
    EXPECT_EQ(ReadClassic(ReadStreamSubTextScript, c.lines),
              c.classic.empty() ? c.cues : c.classic);
  }
}

TEST_F(StreamSubTextScriptTest, BadNumbersAndMissingFieldsFailTheRead) {
  const struct {
    LineList lines;
    const char* message;
  } cases[] = {
      {{"SST", "[TITLES]", "fps="}, "'' is not a valid floating point value"},
      {{"SST", "[TITLES]", "fps=abc"}, "'abc' is not a valid floating point value"},
      // Under "." a comma is no decimal separator.
      {{"SST", "[TITLES]", "fps=0,5"}, "'0,5' is not a valid floating point value"},
      // The value runs from the fifth character of the line on.
      {{"SST", "[TITLES]", " fps=25"}, "'=25' is not a valid floating point value"},
      // A rate below 1 leaves later "fps=" lines examined.
      {{"SST", "[TITLES]", "fps=0.5", "fps=x"}, "'x' is not a valid floating point value"},
      {{"SST", "[TITLES]", "fps=25", "1\tS\t0:0x:01.500\t0:00:03.250\tHi\tx"},
       "'0x' is not a valid integer value"},
      // An empty style moves the text into the stop's thousandths.
      {{"SST", "[TITLES]", "fps=25", "1\t\t0:00:01.500\t0:00:03.250\tHi\tx"},
       "'Hi' is not a valid integer value"},
      {{"SST", "[TITLES]", "fps=25", "1\t\t0:00:01.500\t0:00:03.250\t\t7"},
       "List index out of bounds (10)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.lines.back());
    EXPECT_EQ(ReadError(ReadStreamSubTextScript, c.lines), c.message);
  }
}

TEST_F(StreamSubTextScriptTest, RateUsesTheRegionalSeparatorUntilDotIsForced) {
  const char* comma_locales[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8",
                                 "nl_NL.UTF-8", "de_DE",      "fr_FR"};
  const char* found = nullptr;
  for (const char* name : comma_locales) {
    if (std::setlocale(LC_NUMERIC, name) != nullptr && RegionalDecimalSeparator() == ',') {
      found = name;
      break;
    }
  }
  if (found == nullptr) {
    std::setlocale(LC_NUMERIC, "C");
    GTEST_SKIP() << "no locale with a decimal comma is installed";
  }
  const LineList comma{"SST", "[TITLES]", "fps=0,5", kCue};
  const LineList dot{"SST", "[TITLES]", "fps=0.5", kCue};
  EXPECT_EQ(Read(ReadStreamSubTextScript, comma).size(), 1u);
  EXPECT_EQ(ReadError(ReadStreamSubTextScript, dot), "'0.5' is not a valid floating point value");
  UseDotDecimalSeparator();
  EXPECT_EQ(Read(ReadStreamSubTextScript, dot).size(), 1u);
  EXPECT_EQ(ReadError(ReadStreamSubTextScript, comma), "'0,5' is not a valid floating point value");
  ResetDecimalSeparatorForTesting();
  std::setlocale(LC_NUMERIC, "C");
}

TEST(WriteStreamSubTextScript, WritesHeaderRateAndCueLines) {
  const struct {
    double rate;
    std::vector<SubtitleCue> cues;
    LineList lines;
  } cases[] = {
      {0, {}, {"SST 2.0.73", "[TITLES]", "fps=0"}},
      // The rate is shown as a whole number.
      {23.976,
       {{0, 1500, "A\rB"}, {360000010, 360000990, ""}},
       {"SST 2.0.73", "[TITLES]", "fps=24", "1\tDefault 00:00:00.00\t00:00:01.50\tA~B\tSubRip",
        "2\tDefault 100:00:00.01\t100:00:00.99\t\tSubRip"}},
      {25,
       {{3661990, 3662000, "x"}},
       {"SST 2.0.73", "[TITLES]", "fps=25", "1\tDefault 01:01:01.99\t01:01:02.00\tx\tSubRip"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rate);
    TSubtitles doc;
    doc.SetFrameRate(c.rate);
    doc.Cues = c.cues;
    LineList lines;
    doc.SaveToList(lines, sfStreamSubTextScript);
    EXPECT_EQ(lines, c.lines);
  }
}

TEST(StreamSubTextScriptRoundTrip, OwnOutputIsRecognisedButReadsAsNoCues) {
  // "Default" is joined to the start time by a space and the fractions are
  // hundredths: the reader's pattern does not take the writer's lines.
  TSubtitles doc;
  doc.SetFrameRate(25);
  doc.Cues = {{0, 1500, "A\rB"}, {61500, 64500, "x"}};
  LineList lines;
  doc.SaveToList(lines, sfStreamSubTextScript);
  EXPECT_EQ(DetectFormat(lines), sfStreamSubTextScript);
  TSubtitles back;
  back.SetClassicReading(true);
  bool frame_based = true;
  ASSERT_TRUE(back.LoadFromList(lines, frame_based));
  EXPECT_FALSE(frame_based);
  EXPECT_TRUE(back.Cues.empty());
  EXPECT_EQ(back.FrameRate(), 0);  // the file's rate never becomes the document's
  // Read beyond the classic rules, a file that holds text but gives no cue
  // is not taken as read: it is skipped rather than written empty.
  back.SetClassicReading(false);
  EXPECT_FALSE(back.LoadFromList(lines, frame_based));
  EXPECT_TRUE(back.Cues.empty());
}

const char kSample[] = "<TextSample sampleTime=\"00:01:01.500\" text=\"'Hi''there'\"></TextSample>";

TEST(ReadTTXT, ReadsTextSampleLinesByPattern) {
  const struct {
    const char* name;
    LineList lines;
    std::vector<SubtitleCue> cues;
    std::vector<SubtitleCue> classic = {};  // when the classic rules read other times
  } cases[] = {
      {"Sample", {kSample}, {{61500, 64500, "Hi\rthere"}}},
      {"EmptyText",
       {"<TextSample sampleTime=\"00:00:01.000\" text=\"''\"></TextSample>"},
       {{1000, 4000, ""}}},
      // Thousandths kept; the classic rules cut them to hundredths.
      {"ThousandthsKept",
       {"<TextSample sampleTime=\"00:00:01.999\" text=\"'x'\"></TextSample>"},
       {{1999, 4999, "x"}},
       {{1990, 4990, "x"}}},
      // References are decoded, as the writer escapes; the classic rules
      // keep them as text. An '&' that starts none stays.
      {"EntitiesDecoded",
       {"<TextSample sampleTime=\"00:00:01.000\" text=\"'a &amp; b &lt;&#233;&x'\">"
        "</TextSample>"},
       {{1000, 4000, "a & b <\xC3\xA9&x"}},
       {{1000, 4000, "a &amp; b &lt;&#233;&x"}}},
      // A double quote in the text ends it, one character early.
      {"QuoteCutsTheText",
       {"<TextSample sampleTime=\"00:00:01.000\" text=\"'say \"hi\"'\"></TextSample>"},
       {{1000, 4000, "say"}}},
      // Without the text attribute, or without apostrophes, the line does
      // not split; an apostrophe later in the line makes it split.
      {"TextBetweenTags", {"<TextSample sampleTime=\"00:00:01.000\">Hello</TextSample>"}, {}},
      {"NoApostrophes", {"<TextSample sampleTime=\"00:00:01.000\" text=\"Hi\"></TextSample>"}, {}},
      {"ApostropheInsideTheText",
       {"<TextSample sampleTime=\"00:00:01.000\" text=\"It's here\"></TextSample>"},
       {{1000, 4000, "I"}}},
      {"HeaderAndFooterPassedOver",
       {"<?xml version=\"1.0\" encoding=\"UTF-8\" ?>", "<TextStream version=\"1.0\">", kSample,
        "</TextStream>"},
       {{61500, 64500, "Hi\rthere"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Read(ReadTTXT, c.lines), c.cues);
    EXPECT_EQ(ReadClassic(ReadTTXT, c.lines), c.classic.empty() ? c.cues : c.classic);
  }
}

TEST(ReadTTXT, ShiftedFieldsFailTheRead) {
  const struct {
    const char* line;
    const char* message;
    const char* classic_message = nullptr;  // when the classic rules say otherwise
  } cases[] = {
      // Indented: the single space lands in the hours field.
      {"  <TextSample sampleTime=\"00:01:01.500\" text=\"'Hi'\"></TextSample>",
       "' ' is not a valid integer value"},
      {"<TextSample sampleTime=\"0x:01:01.500\" text=\"'Hi'\"></TextSample>",
       "'0x' is not a valid integer value"},
      {"<TextSample sampleTime=\"99999:00:00.000\" text=\"'Hi'\"></TextSample>",
       "Time out of range (359996400000 milliseconds)",
       "Time out of range (35999640000 centiseconds)"},
      // Nothing between the time and "text", nothing between the opening
      // apostrophe and the quote: the text field is missing.
      {"<TextSample sampleTime=\"00:01:01.500\"text=\"'\">", "List index out of bounds (6)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ReadError(ReadTTXT, {kSample, c.line}), c.message);
    EXPECT_EQ(ReadErrorClassic(ReadTTXT, {kSample, c.line}),
              c.classic_message != nullptr ? c.classic_message : c.message);
  }
}

const LineList kTTXTHeader{
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>",
    "<!-- GPAC 3GPP Text Stream -->",
    "<TextStream version=\"1.0\">",
    "<TextStreamHeader width=\"176\" height=\"30\" layer=\"65535\" translation_x=\"0\" "
    "translation_y=\"144\">",
    "<TextSampleDescription horizontalJustification=\"left\" verticalJustification=\"top\" "
    "backColor=\"ff ff ff ff\" verticalText=\"no\" fillTextRegion=\"no\" "
    "continuousKaraoke=\"no\" scroll=\"None\">",
    "<FontTable>",
    "<FontTableEntry fontName=\"Serif\" fontID=\"0\"/>",
    "</FontTable>",
    "<TextBox top=\"0\" left=\"0\" bottom=\"30\" right=\"176\"/>",
    "<Style styles=\"Normal\" fontSize=\"12\" color=\"0 0 ff ff\"/>",
    "</TextSampleDescription>",
    "</TextStreamHeader>"};

TEST(WriteTTXT, WritesHeaderSamplesAndClosingTag) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    LineList lines;
    doc.SaveToList(lines, sfTTXT);
    LineList expected = kTTXTHeader;
    expected.push_back("</TextStream>");
    EXPECT_EQ(lines, expected);

    doc.Cues = {{61500, 99990, "Hi\rthere"}, {360000010, 0, ""}, {50, 0, "a & <b>\"q\"</b>"}};
    lines.clear();
    doc.SaveToList(lines, sfTTXT);
    expected = kTTXTHeader;
    expected.insert(expected.end(),
                    {kSample, "<TextSample sampleTime=\"100:00:00.010\" text=\"''\"></TextSample>",
                     // By default escaped for the attribute, the styles left
                     // out; with the classic setting written as it stands.
                     classic ? "<TextSample sampleTime=\"00:00:00.050\" text=\"'a & "
                               "<b>\"q\"</b>'\"></TextSample>"
                             : "<TextSample sampleTime=\"00:00:00.050\" text=\"'a &amp; "
                               "&quot;q&quot;'\"></TextSample>",
                     "</TextStream>"});
    EXPECT_EQ(lines, expected);
  }
}

TEST(TTXTRoundTrip, StartsAndTextComeBackStopsAsThreeSeconds) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    doc.Cues = {{61500, 99990, "Hi\rthere"}, {0, 10, ""}, {360000010, 360000020, "a & b < c"}};
    LineList lines;
    doc.SaveToList(lines, sfTTXT);
    EXPECT_EQ(DetectFormat(lines), sfTTXT);
    TSubtitles back;
    back.SetClassicReading(classic);
    bool frame_based = true;
    ASSERT_TRUE(back.LoadFromList(lines, frame_based));
    EXPECT_FALSE(frame_based);
    // Times on whole hundredths come back under either rule.
    EXPECT_EQ(back.Cues, (std::vector<SubtitleCue>{{61500, 64500, "Hi\rthere"},
                                                   {0, 3000, ""},
                                                   {360000010, 360003010, "a & b < c"}}));
  }
}

}  // namespace
}  // namespace vorlane
