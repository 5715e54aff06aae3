// Each writer renders the cue text model in its own dialect by default (or
// drops and counts what it cannot show); with the classic setting the text
// goes out as it stands.
#include <gtest/gtest.h>

#include <pugixml.hpp>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

struct Saved {
  std::string bytes;
  DroppedCounts dropped;
};

Saved Save(TSubtitleFormat format, const SubtitleCue& cue, bool classic = false) {
  TSubtitles doc;
  doc.SetClassicReading(classic);
  doc.SetFrameRate(25);
  doc.Cues = {cue};
  LineList lines;
  doc.SaveToList(lines, format);
  return {JoinLines(lines), doc.Dropped};
}

SubtitleCue Cue(const char* text, std::uint8_t place = 0) {
  SubtitleCue cue{5123, 7456, text};
  cue.Place = place;
  return cue;
}

struct DialectCase {
  const char* name;
  TSubtitleFormat format;
  SubtitleCue cue;
  const char* written;  // found in the output
  DroppedCounts dropped;
};

TEST(WriterDialects, RenderStylesAndPlacesOrCountThem) {
  const DialectCase cases[] = {
      {"SubRip tags as they are, an tag in front",
       sfSubRipper,
       Cue("<i>a</i>\r<b>b</b>", 8),
       "{\\an8}<i>a</i>\r\n<b>b</b>\r\n",
       {}},
      {"SubRip bottom centre untagged", sfSubRipper, Cue("x", 2), ",456\r\nx\r\n", {}},
      {"SSA override blocks",
       sfAdvancedSSA,
       Cue("<i>a</i>\r<b>b</b> <u>c</u>"),
       ",,{\\i1}a{\\i0}\\N{\\b1}b{\\b0} {\\u1}c{\\u0}\r\n",
       {}},
      {"SSA colour and place",
       sfAdvancedSSA,
       Cue("<font color=\"#FF8000\">o</font>", 7),
       ",,{\\an7}{\\c&H0080FF&}o{\\c}\r\n",
       {}},
      {"SSA text without tags", sfAdvancedSSA, Cue("a < b"), ",,a < b\r\n", {}},
      {"MicroDVD whole cue", sfMicroDVD, Cue("<i>a\rb</i>"), "}{Y:i}a|b\r\n", {}},
      {"MicroDVD one line", sfMicroDVD, Cue("<i>a</i>\r<u>b</u>"), "}{y:i}a|{y:u}b\r\n", {}},
      {"MicroDVD part of a line",
       sfMicroDVD,
       Cue("a <i>b</i>", 8),
       "}a b\r\n",
       {.styles = 1, .positions = 1}},
      {"MicroDVD colour",
       sfMicroDVD,
       Cue("<font color=\"#FF8000\">o</font>"),
       "}{C:$0080FF}o\r\n",
       {}},
      {"MPL2 italic lines", sfMPL2, Cue("<i>a</i>\r<b>b</b>"), "]/a|b\r\n", {.styles = 1}},
      {"TMPlayer plain",
       sfTMPlayer,
       Cue("<i>a</i>|<font color=red>b</font>"),
       ":a|b\r\n",
       {.styles = 1, .colours = 1}},
      {"SAMI tags, text escaped",
       sfSAMI,
       Cue("a < b & <i>c</i><font color=red>d</font>", 8),
       "<P>a &lt; b &amp; <i>c</i><font color=\"#FF0000\">d</font>\r\n",
       {.positions = 1}},
      {"WebVTT tags and settings",
       sfWebVTT,
       Cue("<i>a</i> & <font color=red>r</font>", 8),
       "00:00:05.123 --> 00:00:07.456 line:0\r\n<i>a</i> &amp; r\r\n",
       {.colours = 1}},
      {"WebVTT left column", sfWebVTT, Cue("x", 1), "07.456 align:left\r\nx\r\n", {}},
      {"TTML spans and top region",
       sfTTML,
       Cue("<i>a</i><font color=\"#FF8000\">o</font>", 8),
       "region=\"top\"><span tts:fontStyle=\"italic\">a</span><span "
       "tts:color=\"#FF8000\">o</span></p>",
       {}},
      {"TTML middle place dropped", sfTTML, Cue("a & b", 5), "\">a &amp; b</p>", {.positions = 1}},
      {"TTXT attribute escaped",
       sfTTXT,
       Cue("say \"hi\" <i>&</i>"),
       "text=\"'say &quot;hi&quot; &amp;'\"",
       {.styles = 1}},
      {"RealTime times and markup",
       sfRealTime,
       Cue("<i>a</i><b"),
       "<Time begin=\"0:00:05.12\" end=\"0:00:07.46\" /><clear/><i>a</i>&lt;b\r\n",
       {}},
      {"LRC all the minutes, lines joined",
       sfKaraokeLyricsLRC,
       SubtitleCue{3723450, 3726000, "<i>a</i>\rb"},
       "[62:03.45]a b\r\n[62:06.00]\r\n",
       {.styles = 1}},
      {"JACOSub2 hundredths after a point",
       sfJACOSub2,
       Cue("<b>a</b>"),
       "0:00:05.12 0:00:07.46 {NTP} a\r\n",
       {.styles = 1}},
      {"AQTitle without the rate header", sfAQTitle, Cue("a"), "-->> 000128\r\na\r\n", {}},
      {"Spruce plain", sfSpruceSubtitleFile, Cue("<i>a</i>\r<b>b</b>"), ",a|b\r\n", {.styles = 2}},
      {"SBV plain", sfSBV, Cue("<i>a</i>"), "0:00:05.123,0:00:07.456\r\na\r\n", {.styles = 1}},
  };
  for (const DialectCase& c : cases) {
    SCOPED_TRACE(c.name);
    const Saved saved = Save(c.format, c.cue);
    EXPECT_NE(saved.bytes.find(c.written), std::string::npos) << saved.bytes;
    EXPECT_EQ(saved.dropped, c.dropped);
  }
  EXPECT_EQ(Save(sfAQTitle, Cue("a")).bytes.find("fps"), std::string::npos);
}

TEST(WriterDialects, ClassicSettingWritesTheTextAsItStands) {
  const SubtitleCue cue = Cue("<i>a</i> & <b", 8);
  for (const TSubtitleFormat format :
       {sfSubRipper, sfAdvancedSSA, sfMicroDVD, sfMPL2, sfTMPlayer, sfSAMI, sfTTXT, sfRealTime}) {
    SCOPED_TRACE(static_cast<int>(format));
    const Saved saved = Save(format, cue, true);
    EXPECT_NE(saved.bytes.find("<i>a</i> & <b"), std::string::npos) << saved.bytes;
    EXPECT_EQ(saved.bytes.find("an8"), std::string::npos);
    EXPECT_EQ(saved.dropped, DroppedCounts{});
  }
  EXPECT_NE(Save(sfAQTitle, cue, true).bytes.find("/25 fps"), std::string::npos);
  EXPECT_NE(Save(sfJACOSub2, cue, true).bytes.find("0:00:05:12 0:00:07:46"), std::string::npos);
}

TEST(WriterDialects, XmlOutputsParseWhateverTheText) {
  const char* texts[] = {"<\"&'>\x01 <i>x", "a</i><b>b<u>c</b>d", "<font color=red><i>r</font>",
                         "]]> &amp; <!-- -->"};
  for (const TSubtitleFormat format : {sfTTML, sfTTXT}) {
    for (const char* text : texts) {
      SCOPED_TRACE(text);
      const std::string bytes = Save(format, Cue(text, 8)).bytes;
      pugi::xml_document xml;
      EXPECT_TRUE(xml.load_buffer(bytes.data(), bytes.size())) << bytes;
    }
  }
}

}  // namespace
}  // namespace vorlane
