// WebVTT, TTML and SAMI: the quirks of real files their readers must take,
// the errors they give, and a round trip through each writer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/second_reading.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct ReadCase {
  const char* name;
  std::string text;
  std::vector<SubtitleCue> cues;
};

void ExpectReads(SubtitleReader reader, const std::vector<ReadCase>& cases) {
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const TextFile file = MakeTextFile(c.text);
    EXPECT_EQ(Read(reader, file.lines), c.cues);
  }
}

std::string ErrorOf(SubtitleReader reader, const std::string& text) {
  const TextFile file = MakeTextFile(text);
  return ReadFault(reader, file.lines);
}

TEST(WebVTTReader, ReadsWhatBrowsersRead) {
  ExpectReads(
      ReadWebVTT,
      {
          {"BomHeaderTextIdentifierSettings",
           "\xEF\xBB\xBFWEBVTT - a title\nKind: captions\n\ncue-1\n"
           "00:00:01.500 --> 00:00:03.250 align:start position:10%\nA\nB\n",
           {{1500, 3250, "A\rB", 1}}},
          {"NoteStyleRegionSkipped",
           "WEBVTT\n\nNOTE a --> b\n\nSTYLE\n::cue { color: red }\n\nREGION\nid:x\n\n"
           "00:01.000 --> 00:02.000\nx\n",
           {{1000, 2000, "x"}}},
          {"HoursOfAnyWidth",
           "WEBVTT\n\n1:00:00.040 --> 100:00:00.500\nx\n",
           {{3600040, 360000500, "x"}}},
          // Timestamps of another shape make no cue; the rest of the file
          // is read. An end before its start stays.
          {"OtherShapesLeftOut",
           "WEBVTT\n\n00:00.04 --> 00:01.000\na\n\n00:00,040 --> 00:01.000\nb\n\n"
           "00:60.000 --> 00:61.000\nc\n\n\f00:02.000\f-->\f00:01.000\nd\n\n"
           "\v00:03.000 --> 00:04.000\ne\n",
           {{2000, 1000, "d"}}},
          {"MillisecondsKept", "WEBVTT\n\n00:00.005 --> 00:00.015\nx\n", {{5, 15, "x"}}},
          {"TagsKeptOrDroppedEntitiesDecoded",
           "WEBVTT\n\n00:00.000 --> 00:01.000\n<v Ann><i.loud>Hi</i> <c.y>&amp; "
           "<b>bye</b></c></v>&lt;3&nbsp;&#233;<00:00:00.500><u>x</u>&bogus;\n",
           {{0, 1000, "<i>Hi</i> & <b>bye</b><3 \xC3\xA9<u>x</u>&bogus;"}}},
          // Tags closed where they were opened, what is left open closed
          // at the end; a lone '<' opens a tag up to '>'.
          {"StylesBalanced",
           "WEBVTT\n\n00:00.000 --> 00:01.000\n<i><b>a</i>b</b> <ruby>c<rt>d</ruby><u>e < f\n",
           {{0, 1000, "<i><b>ab</b> cd<u>e </u></i>"}}},
          // A line with "-->" ends the text and starts the next block.
          {"ArrowLineEndsTheCue",
           "WEBVTT\n\n00:00.000 --> 00:01.000\na\n00:02.000 --> 00:03.000\nb\n",
           {{0, 1000, "a"}, {2000, 3000, "b"}}},
          {"BadTimingSkipsTheCueOnly",
           "WEBVTT\n\n00:00 --> 00:01.000\nlost\n\n00:02.000 --> 00:03.000\nb\n",
           {{2000, 3000, "b"}}},
          {"ALineOfSpacesIsText",
           "WEBVTT\n\n00:00.000 --> 00:01.000\n \n00:01.000 --> 00:02.000\nx\n",
           {{0, 1000, " "}, {1000, 2000, "x"}}},
          {"HeaderOnly", "WEBVTT\n", {}},
          // Not one timestamp of the standard's shape: short fractions are
          // read as meant rather than losing the file; commas are not.
          {"ShortFractionsWhenNothingElseReads",
           "WEBVTT\n\n00:01 --> 00:02.5\na\n\n00:02.04 --> 00:03.5 align:end\nb\n\n"
           "00:03,000 --> 00:04,000\nc\n\n00:04.0x --> 00:05.00\nd\n",
           {{2040, 3500, "b", 3}}},
      });
  TSubtitles doc;
  const TextFile bad =
      MakeTextFile("WEBVTT\n\n00:00.5 --> 00:01.000\na\n\n00:01.000 --> 00:02.000\nb\n");
  ReadWebVTT(doc, bad.lines);
  EXPECT_EQ(doc.Warnings,
            (std::vector<ReadingWarning>{{3, "unreadable cue timing; cue left out"}}));
  EXPECT_EQ(ErrorOf(ReadWebVTT, "WEBVTT\n\n00:01 --> 00:02\nx\n"),
            "unreadable WebVTT cue timing (line 3)");
  EXPECT_EQ(ErrorOf(ReadWebVTT, "WEBVTTX\n"), "no WEBVTT header (line 1)");
}

TEST(WebVTTReader, CueSettingsGiveThePlace) {
  const struct {
    const char* settings;
    int place;
  } cases[] = {
      {"", 0},
      {"line:0", 8},
      {"line:-1", 0},
      {"line:50%", 5},
      {"line:10% align:start", 7},
      {"align:end", 3},
      {"position:10% align:end", 1},  // the position comes before the alignment
      {"position:90%,line-left line:0", 9},
      {"line:1%- align:middle", 0},  // a value the standard does not take
      {"line:x position:200% align:centre", 0},
      {"line:0.5.1 size:50% vertical:rl region:r", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(WebVTTCuePlace(c.settings), c.place) << c.settings;
}

TEST(TTMLReader, ReadsEveryTimeFormAndInheritance) {
  const std::string tt =
      "<tt xmlns='http://www.w3.org/ns/ttml' xmlns:ttp='http://www.w3.org/ns/ttml#parameter' "
      "xmlns:tts='http://www.w3.org/ns/ttml#styling' ";
  ExpectReads(
      ReadTTML,
      {
          {"ClockAndOffsetTimes",
           "<?xml version='1.0'?>\n" + tt +
               "ttp:frameRate='25' ttp:tickRate='10'>\n<body><div>\n"
               "<p begin='00:00:01.5' end='00:00:02:05'>a</p>\n"
               "<p begin='1.5h' dur='90m'>b</p>\n"
               "<p begin='2500ms' end='100f'>c</p>\n"
               "<p begin='35t' end='4s'>d</p>\n"
               "</div></body></tt>\n",
           {{1500, 2200, "a"}, {2500, 4000, "c"}, {3500, 4000, "d"}, {5400000, 10800000, "b"}}},
          {"FrameRateMultiplierAndSubFrames",
           tt + "ttp:frameRate='24' ttp:frameRateMultiplier='1000 1001' ttp:subFrameRate='2'>"
                "<body><div><p begin='480f' end='00:00:20:12.1'>x</p></div></body></tt>",
           {{20020, 20521, "x"}}},  // 12.5 frames: 521.35 ms
          // Old DFXP namespace and prefixed elements; the div's begin is
          // added where its children begin before it.
          {"PrefixesAndInheritedTimes",
           "<tt:tt xmlns:tt='http://www.w3.org/2006/10/ttaf1'><tt:body begin='10s' end='60s'>"
           "<tt:div begin='1s'><tt:p begin='2s' end='3s'>rel</tt:p><tt:p>all</tt:p></tt:div>"
           "</tt:body></tt:tt>",
           {{11000, 60000, "all"}, {13000, 14000, "rel"}}},
          {"AbsoluteTimesRepeatedFromTheDiv",
           tt + "><body><div begin='5s'><p begin='5s' end='6s'>a</p></div></body></tt>",
           {{5000, 6000, "a"}}},
          {"SpanTimesBreaksSpacesAndStyles",
           tt + "><head><styling><style xml:id='it' tts:fontStyle='italic'/>"
                "<style xml:id='s2' style='it' tts:fontWeight='bold'/></styling></head>"
                "<body><div><p>\n  <span begin='1s' end='2s'>one &amp;</span>\n  <br/>"
                "<span style='s2'>two</span> <span tts:textDecoration='underline'>3</span></p>"
                "<p begin='3s' end='4s' style='it'>&#233;<span tts:fontStyle='normal'>n</span></p>"
                "<p begin='5s' end='6s'>  </p></div></body></tt>",
           {{1000, 2000, "one &\r<i><b>two</b></i> <u>3</u>"}, {3000, 4000, "<i>\xC3\xA9n</i>"}}},
      });
  // The XML error is reported on its line.
  EXPECT_EQ(ErrorOf(ReadTTML, tt + ">\n<body>\n<p begin='1s'>x</div>\n</body></tt>"),
            "malformed XML: Start-end tags mismatch (line 3)");
  EXPECT_EQ(ErrorOf(ReadTTML, tt + ">\n<body><div>\n<p begin='1x'>x</p></div></body></tt>"),
            "unreadable TTML time begin=\"1x\" (line 3)");
  EXPECT_EQ(ErrorOf(ReadTTML, tt + "><body><div><p begin='1" + std::string(400, '0') +
                                  "s'>x</p></div></body></tt>"),
            "unreadable TTML time begin=\"1" + std::string(400, '0') + "s\" (line 1)");
}

TEST(SAMIReader, ReadsHtmlAsRealFilesHaveIt) {
  ExpectReads(ReadSAMI,
              {
                  {"BlocksLastToTheNextSyncAndNbspEndsThem",
                   "<SAMI><HEAD><STYLE><!-- <SYNC Start=5> .ENCC {} --></STYLE></HEAD><BODY>\n"
                   "<SYNC Start=1000><P Class=ENCC>\n  one<br>TWO &amp; <i>3</i>\n"
                   "<sync start=\"2500\"><p class='ENCC'>&nbsp;</p></sync>\n"
                   "<SYNC Start=3000><P Class=ENCC>last<font color=red>!</font>\n</BODY></SAMI>\n",
                   {{1000, 2500, "one\rTWO & <i>3</i>"}, {3000, 6000, "last!"}}},
                  {"FirstLanguageClassOnly",
                   "<SAMI><BODY><SYNC Start=0><P Class=KRCC>ko<P Class=ENCC>en\n"
                   "<SYNC Start=500><P Class=ENCC>en only\n<SYNC Start=900><P Class=KRCC>ko2\n"
                   "<SYNC Start=1000></BODY></SAMI>",
                   {{0, 500, "ko"}, {900, 1000, "ko2"}}},
              });
  EXPECT_EQ(ErrorOf(ReadSAMI, "<SAMI><BODY>\n<SYNC Start=x><P>a\n</BODY></SAMI>"),
            "SYNC without a readable start time (line 2)");
}

TEST(MarkupSignatures, AreCertain) {
  const struct {
    std::string text;
    TSubtitleFormat format;
  } cases[] = {
      {"WEBVTT\n\n00:01.000 --> 00:02.000\nx\n", sfWebVTT},
      {"\xEF\xBB\xBFWEBVTT\tFILE\n\n00:01.000 --> 00:02.000\nx\n", sfWebVTT},
      {"WEBVTTX\n\n00:01.000 --> 00:02.000\nx\n", sf0},
      {"<?xml version='1.0'?>\n<!-- c -->\n<tt xmlns='x'><body><div><p begin='1s' "
       "end='2s'>x</p></div></body></tt>",
       sfTTML},
      {"<html><body><div><p begin='1s' end='2s'>x</p></div></body></html>", sf0},
      {"  <sami><body><sync start=1>x</body></sami>", sfSAMI},
      {"<html><sami><body><sync start=1>x</body></sami>", sf0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TextFile file = MakeTextFile(c.text);
    TSubtitles doc;
    EXPECT_EQ(ReadBySignature(doc, file.lines), c.format);
  }
}

// The fuzzers' seeds of these formats must keep reading as their format.
TEST(MarkupSignatures, FuzzSeedsReadAsTheirFormat) {
  for (auto [name, format] : {std::pair{"webvtt.vtt", sfWebVTT}, std::pair{"ttml.ttml", sfTTML},
                              std::pair{"sami.smi", sfSAMI}}) {
    SCOPED_TRACE(name);
    const LineList lines = ReadLinesFromFile(std::string(VORLANE_FUZZ_CORPUS) + "/" + name);
    TSubtitles doc;
    EXPECT_EQ(ReadBySignature(doc, lines), format);
    EXPECT_GE(doc.Cues.size(), 2u);
  }
}

// Each writer's output reads back to the same cues, at the millisecond
// precision the formats keep, with line breaks and <i> <b> <u> intact.
TEST(MarkupRoundTrip, WritersReadBack) {
  const std::vector<SubtitleCue> cues = {
      {1500, 3250, "<i>A & B</i>\r5 < 6 > 4"},
      {4000, 5000, "<b>bold</b> <u>under</u>"},
      {3600000, 360000990, "caf\xC3\xA9 --> x"},
  };
  TSubtitles doc;
  doc.Cues = cues;
  for (TSubtitleFormat format : {sfWebVTT, sfTTML, sfSAMI}) {
    SCOPED_TRACE(FormatOf(format).name);
    LineList lines;
    doc.SaveToList(lines, format);
    const TextFile file = MakeTextFile(JoinLines(lines));
    TSubtitles back;
    EXPECT_EQ(ReadBySignature(back, file.lines), format);
    EXPECT_EQ(back.Cues, cues);
  }
}

// Text with tags that overlap or are left open still makes well-formed
// TTML; negative times, which neither format has, are written as 0.
TEST(MarkupWriters, KeepTheirOutputValid) {
  TSubtitles doc;
  doc.Cues = {{-500, 1000, "<i>a <b>b</i> c</b> </u><u>d\r\re"}};
  LineList ttml;
  doc.SaveToList(ttml, sfTTML);
  EXPECT_EQ(ttml[4],
            "      <p begin=\"00:00:00.000\" end=\"00:00:01.000\"><span "
            "tts:fontStyle=\"italic\">a <span tts:fontWeight=\"bold\">b</span></span><span "
            "tts:fontWeight=\"bold\"> c</span> <span tts:textDecoration=\"underline\">d<br/><br/>"
            "e</span></p>");
  LineList vtt;
  doc.SaveToList(vtt, sfWebVTT);
  EXPECT_EQ(vtt, (LineList{"WEBVTT", "", "00:00:00.000 --> 00:00:01.000",
                           "<i>a <b>b</i> c</b> </u><u>d", "e"}));
}

}  // namespace
}  // namespace vorlane
