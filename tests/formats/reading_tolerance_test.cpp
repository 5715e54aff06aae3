// The readers beyond the classic rules: a malformed cue costs that cue, not
// the file, with a warning naming its line; more than half of the cue lines
// malformed still fails the file; and every reader names the line at fault
// the same way.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

const std::string kAss =
    "[Script Info]\n[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";
const std::string kTt = "<tt xmlns='http://www.w3.org/ns/ttml'><body><div>\n";

struct ToleranceCase {
  const char* name;
  SubtitleReader reader;
  std::string text;
  std::vector<SubtitleCue> cues;
  std::vector<ReadingWarning> warnings;
};

TEST(ReadingTolerance, AMalformedCueCostsThatCueOnly) {
  const ToleranceCase cases[] = {
      {"AssTimeWithMinusInside",
       ReadAdvancedSSA,
       kAss + "Dialogue: 0,0:00:01.00,0:00:02.00,,,0,0,0,,a\n"
              "Dialogue: 0,-10:-2:0.080,0:00:03.00,,,0,0,0,,lost\n"
              "Dialogue: 0,-1:58:37.16,0:00:04.00,,,0,0,0,,before zero\n",
       {{1000, 2000, "a"}, {-7117160, 4000, "before zero"}},
       {{5, "'-10:-2:0.080' is not a valid time; cue left out"}}},
      {"LrcOffsetSentenceAndBadStamp",
       ReadKaraokeLyricsLRC,
       "[ti:A title: with colons]\n[offset:sing along]\n[00:01.00]a\n[00:0x.00]b\n[00:03.00]c\n",
       {{1000, 3000, "a"}, {3000, 8000, "c"}},
       {{2, "'sing along' is not a valid offset; ignored"},
        {4, "'[00:0x.00]' is not a valid time stamp; line left out"}}},
      {"SamiSyncTextKeptInTheCueBefore",
       ReadSAMI,
       "<SAMI><BODY>\n<SYNC Start=1000><P>a\n<SYNC Start=x><P>b\n<SYNC Start=3000><P>c\n"
       "<SYNC Start=4000><P>d\n</BODY></SAMI>",
       {{1000, 3000, "a b"}, {3000, 4000, "c"}, {4000, 7000, "d"}},
       {{3, "SYNC without a readable start time; its text kept in the cue before"}}},
      {"TtmlParagraphLeftOut",
       ReadTTML,
       kTt + "<p begin='1s' end='2s'>a</p>\n<p begin='1x' end='3s'>b</p>\n"
             "<p begin='3s' end='4s'>c</p></div></body></tt>",
       {{1000, 2000, "a"}, {3000, 4000, "c"}},
       {{3, "unreadable TTML time begin=\"1x\"; cue left out"}}},
      {"SbvTimingKeptAsText",
       ReadSBV,
       "0:00:01.000,0:00:02.000\na\n\n0:00:0x.000,0:00:03.000\nb\n\n0:00:04.000,0:00:05.000\nc\n",
       {{1000, 2000, "a\r0:00:0x.000,0:00:03.000\rb"}, {4000, 5000, "c"}},
       {{4,
         "a timing line 'H:MM:SS.mmm,H:MM:SS.mmm' was expected; kept as text of the cue "
         "before"}}},
      {"SubRipTimingKeptAsText",
       ReadSubRipLenient,
       "1\n00:00:01,000 --> 00:00:02,000 X1:1\na\n\n2\n00:00:0x,000 --> 00:00:03,000\nb\n\n"
       "3\n00:00:04 --> 00:00:05\nc\n",
       {{1000, 2000, "a\r2\r00:00:0x,000 --> 00:00:03,000\rb"}, {4000, 5000, "c"}},
       {{6, "unreadable timing line; kept as text of the cue before"}}},
      {"TtxtSampleLeftOut",
       ReadTTXTLenient,
       "<TextStream>\n<TextSample sampleTime=\"00:00:01.000\">a</TextSample>\n"
       "<TextSample sampleTime=\"soon\">b</TextSample>\n"
       "<TextSample sampleTime=\"00:00:03.000\">c</TextSample>\n</TextStream>\n",
       {{1000, 3000, "a"}, {3000, 6000, "c"}},
       {{3, "unreadable sampleTime \"soon\"; sample left out"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextFile file = MakeTextFile(c.text);
    TSubtitles doc;
    c.reader(doc, file.lines);
    EXPECT_EQ(doc.Cues, c.cues);
    EXPECT_EQ(doc.Warnings, c.warnings);
  }
}

struct FaultCase {
  const char* name;
  SubtitleReader reader;
  std::string text;
  std::string fault;  // as the user reads it
};

// More than half of the cue lines malformed: the file is not read, and the
// first fault is named by its line, as the classic readers name theirs.
TEST(ReadingTolerance, EveryReaderNamesTheLineAtFault) {
  const FaultCase cases[] = {
      {"Ass", ReadAdvancedSSA,
       kAss + "Dialogue: 0,0:00:0x.00,0:00:02.00,,,0,0,0,,a\nDialogue: 0\n"
              "Dialogue: 0,0:00:03.00,0:00:04.00,,,0,0,0,,b\n",
       "'0:00:0x.00' is not a valid time (line 4)"},
      {"Lrc", ReadKaraokeLyricsLRC, "[00:01.00]a\n[00:0x.00]b\n[0:x]c\n",
       "'[00:0x.00]' is not a valid time stamp (line 2)"},
      {"Sami", ReadSAMI, "<SAMI><BODY>\n\n<SYNC Start=x><P>a\n</BODY></SAMI>",
       "SYNC without a readable start time (line 3)"},
      {"TtmlTime", ReadTTML, kTt + "\n<p begin='1x'>a</p></div></body></tt>",
       "unreadable TTML time begin=\"1x\" (line 3)"},
      {"TtmlXml", ReadTTML, kTt + "<p>\n</div></body></tt>",
       "malformed XML: Start-end tags mismatch (line 3)"},
      {"Sbv", ReadSBV, "\nHello\n",
       "a timing line 'H:MM:SS.mmm,H:MM:SS.mmm' was expected (line 2)"},
      {"WebVTT", ReadWebVTT, "WEBVTT\n\n00:01 --> 00:02\nx\n",
       "unreadable WebVTT cue timing (line 3)"},
      {"SubRip", ReadSubRipLenient, "00:00:01,000 --> 00:00:02,000\na\n\n1 --> 2\n\n3 --> 4\n",
       "unreadable timing line (line 4)"},
      {"TtxtTime", ReadTTXTLenient, "<TextStream>\n<TextSample sampleTime='x'/>\n</TextStream>",
       "unreadable sampleTime \"x\" (line 2)"},
      {"TtxtXml", ReadTTXTLenient, "<TextStream>\n<TextSample>\n</TextStream>",
       "Start-end tags mismatch (line 3)"},
      {"SpruceStl", ReadSpruceSubtitleFile, "$FrameRate = fast\n",
       "'fast' is not a valid frame rate (line 1)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextFile file = MakeTextFile(c.text);
    EXPECT_EQ(ReadFault(c.reader, file.lines), c.fault);
  }
}

struct QuirkCase {
  const char* name;
  std::string text;
  TSubtitleFormat format;
  std::vector<SubtitleCue> cues;
};

// Forms real files hold that the classic rules refuse, read through the
// whole default reading as a file is.
TEST(ReadingQuirks, RefusedFormsAreRead) {
  const QuirkCase cases[] = {
      {"SubRipWithoutMilliseconds",
       "1\n00:00:09 --> 00:00:13\nA\n\n2\n0:01:02 --> 0:01:03.500\nB\n",
       sfSubRipper,
       {{9000, 13000, "A"}, {62000, 63500, "B"}}},
      {"SubViewer2InformationHeaderMilliseconds",
       "[INFORMATION]\n[TITLE]t\n[END INFORMATION]\n[SUBTITLE]\n"
       "[COLF]&HFFFFFF,[STYLE]bd,[SIZE]18,[FONT]Arial\n00:00:01.000,00:00:04.505\nA[br]b\n\n"
       "00:00:05.2,00:00:06.25\nB\nC\n",
       sfSubViewer2,
       {{1000, 4505, "A\rb"}, {5200, 6250, "B\rC"}}},
      {"YouTubeTranscriptEscapedTwice",
       "<?xml version=\"1.0\" encoding=\"utf-8\" ?><transcript>"
       "<text start=\"12.44\" dur=\"2.5\">It&amp;#39;s\nfine</text>"
       "<text start=\"15\">no length</text><text start=\"16\" dur=\"1\">  </text>"
       "<text start=\"17\" dur=\"1\">&amp;amp;</text></transcript>",
       sfYouTubeTimedText,
       {{12440, 14940, "It's\rfine"}, {15000, 17000, "no length"}, {17000, 18000, "&"}}},
      {"YouTubeFormat3Milliseconds",
       "<timedtext format=\"3\"><body>\n<p t=\"1000\" d=\"2000\"><s>Hi</s><s t=\"500\"> you</s></p>"
       "\n<p t=\"4005\" d=\"10\">x</p></body></timedtext>",
       sfYouTubeTimedText,
       {{1000, 3000, "Hi you"}, {4005, 4015, "x"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TSubtitles doc;
    bool frame_based = false;
    ASSERT_TRUE(doc.LoadFromText(c.text, frame_based));
    EXPECT_EQ(doc.FormatRead(), c.format);
    EXPECT_EQ(doc.Cues, c.cues);
  }
  // A malformed time in the timed text costs its cue.
  TSubtitles doc;
  bool frame_based = false;
  ASSERT_TRUE(doc.LoadFromText(
      "<transcript>\n<text start=\"1\" dur=\"1\">a</text>\n<text start=\"soon\">b</text>\n"
      "<text start=\"3\" dur=\"1\">c</text></transcript>",
      frame_based));
  EXPECT_EQ(doc.Cues, (std::vector<SubtitleCue>{{1000, 2000, "a"}, {3000, 4000, "c"}}));
  EXPECT_EQ(doc.Warnings,
            (std::vector<ReadingWarning>{{3, "unreadable start=\"soon\"; cue left out"}}));
}

}  // namespace
}  // namespace vorlane
