// The cue text model: tags read into pieces, rendered in other dialects,
// reduced to plain text and to per-line styles.
#include "subtitles/cue_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

const TextDialect kBrackets{{"[i]", "[/i]"}, {"[b]", "[/b]"}, {},  "[c%s]",
                            "[/c]",          "BBGGRR",        "|", TextDialect::kAsIs};
const TextDialect kEscaped{{"<i>", "</i>"}, {}, {}, {}, {}, "RRGGBB", "/", TextDialect::kMarkup};
const TextDialect kAttribute{{}, {}, {}, {}, {}, "RRGGBB", "\r", TextDialect::kXmlAttribute};

struct RenderCase {
  const char* text;
  const TextDialect* dialect;
  const char* rendered;
  DroppedCounts dropped;
};

TEST(CueText, RendersTheModelInADialectAndCountsWhatItDrops) {
  const RenderCase cases[] = {
      {"plain", &kBrackets, "plain", {}},
      {"<i>a</i>\rb", &kBrackets, "[i]a[/i]|b", {}},
      {"<I>a</I> <B>b</B>", &kBrackets, "[i]a[/i] [b]b[/b]", {}},
      {"<u>x</u>", &kBrackets, "x", {.styles = 1}},
      {"<font color=\"#FF8000\">o</font>", &kBrackets, "[c0080FF]o[/c]", {}},
      {"<font color=red>r</font>", &kBrackets, "[c0000FF]r[/c]", {}},
      {"<font face=\"Arial\">f</font>", &kBrackets, "f", {}},
      {"<font face=x><font color=#0f0>g</font></font>", &kBrackets, "[c00FF00]g[/c]", {}},
      {"a < b > c & d", &kBrackets, "a < b > c & d", {}},
      {"<3 <x>", &kBrackets, "<3 <x>", {}},
      {"a < b & <i>c</i>", &kEscaped, "a &lt; b &amp; <i>c</i>", {}},
      {"<b>x</b>\ry", &kEscaped, "x/y", {.styles = 1}},
      {"<font color=blue>x</font>", &kEscaped, "x", {.colours = 1}},
      {"say \"hi\" <i>&</i>\x01",
       &kAttribute,
       "say &quot;hi&quot; &amp;",
       {.styles = 1, .control_bytes = 1}},
  };
  for (const RenderCase& c : cases) {
    SCOPED_TRACE(c.text);
    DroppedCounts dropped;
    EXPECT_EQ(RenderCueText(c.text, *c.dialect, &dropped), c.rendered);
    EXPECT_EQ(dropped, c.dropped);
  }
}

TEST(CueText, PlainTextKeepsWhatIsNotATag) {
  const std::pair<const char*, const char*> cases[] = {
      {"<i>a</i>\r<b>b</b>", "a\rb"},
      {"<font color=\"#FFFFFF\">w</font> <u>u</u>", "w u"},
      {"1 < 2 and 3 > 2", "1 < 2 and 3 > 2"},
      {"<i>open", "open"},
      {"<i\rx>", "<i\rx>"},
      {"<ib>", "<ib>"},
  };
  for (const auto& [text, plain] : cases) EXPECT_EQ(PlainCueText(text), plain) << text;
}

TEST(CueText, ParsesColoursAsSubRipFilesWriteThem) {
  EXPECT_EQ(ParseColour("#FF0000"), 0xFF0000u);
  EXPECT_EQ(ParseColour("ff8000"), 0xFF8000u);
  EXPECT_EQ(ParseColour("#f0a"), 0xFF00AAu);
  EXPECT_EQ(ParseColour(" Yellow "), 0xFFFF00u);
  EXPECT_EQ(ParseColour("#12345"), std::nullopt);
  EXPECT_EQ(ParseColour("notacolour"), std::nullopt);
  EXPECT_EQ(FontTag(0x00FF7F), "<font color=\"#00FF7F\">");
}

struct LinesCase {
  const char* text;
  std::vector<StyledLine> lines;
};

// A line's expected styles: "i", "b", "u" and "p" (partial) in flags.
StyledLine L(const char* text, std::string_view flags = "", std::optional<Colour> colour = {}) {
  StyledLine line;
  line.text = text;
  line.italic = flags.find('i') != std::string_view::npos;
  line.bold = flags.find('b') != std::string_view::npos;
  line.underline = flags.find('u') != std::string_view::npos;
  line.partial = flags.find('p') != std::string_view::npos;
  line.colour = colour;
  return line;
}

TEST(CueText, StyledLinesTellWholeLinesFromParts) {
  const LinesCase cases[] = {
      {"<i>a\rb</i>", {L("a", "i"), L("b", "i")}},
      {"<i>a</i>\rb", {L("a", "i"), L("b")}},
      {"a <i>b</i>", {L("a b", "p")}},
      {"<i>a</i> b", {L("a b", "ip")}},
      {"<b><u>a</u></b>", {L("a", "bu")}},
      {"<font color=\"#00FF00\">a\rb</font>", {L("a", "", 0x00FF00), L("b", "", 0x00FF00)}},
      {" <i>a</i>", {L(" a", "i")}},
  };
  for (const LinesCase& c : cases) EXPECT_EQ(StyledLines(c.text), c.lines) << c.text;
}

}  // namespace
}  // namespace vorlane
