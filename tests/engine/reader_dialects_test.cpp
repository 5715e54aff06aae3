// The cue text model (subtitles/cue_text.h) and the readers' translation of
// their dialects into it: SubRip's SubStation overrides and references and
// MicroDVD's control codes by default, the text as it stands with the
// classic rules.
#include <gtest/gtest.h>

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "subtitles/cue_text.h"
#include "subtitles/formats/formats.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

// The pieces as a short string: "T:text", "+i", "-i", "+c FF0000", "+f",
// "/" for a break, joined by '|'.
std::string Describe(const std::vector<StylePiece>& pieces) {
  std::string out;
  for (const StylePiece& p : pieces) {
    if (!out.empty()) out += '|';
    switch (p.kind) {
      case StylePiece::kText:
        out += "T:" + std::string(p.text);
        break;
      case StylePiece::kBreak:
        out += '/';
        break;
      case StylePiece::kOpen:
      case StylePiece::kClose: {
        out += p.kind == StylePiece::kOpen ? '+' : '-';
        out += p.style;
        if (p.kind == StylePiece::kOpen && p.style == 'c') {
          char hex[8];
          std::snprintf(hex, sizeof hex, "%06X", p.colour);
          out += std::string(" ") + hex;
        }
        break;
      }
    }
  }
  return out;
}

TEST(CueText, StylePiecesKnowTheFourStylesAndLeaveOtherAnglesAsText) {
  const struct {
    const char* text;
    const char* pieces;
  } cases[] = {
      {"a<i>b</i>", "T:a|+i|T:b|-i"},
      {"<I>x</I><B>y</b><u>z</U>", "+i|T:x|-i|+b|T:y|-b|+u|T:z|-u"},
      {"a < b <3", "T:a < b <3"},
      {"<font color=red>x</font>", "+c FF0000|T:x|-c"},
      {"<FONT Color='#00ff00'>x</font>", "+c 00FF00|T:x|-c"},
      {"<font color=\"#00F\">x</font>", "+c 0000FF|T:x|-c"},
      // A font without a colour is a span of its own, closed like any font.
      {"<font face=Arial>x</font>", "+f|T:x|-c"},
      {"x\ry", "T:x|/|T:y"},
      {"<u>a\rb</u>", "+u|T:a|/|T:b|-u"},
      // Not tags: attributes on a style, an unclosed angle, a break inside.
      {"<i x>y", "T:<i x>y"},
      {"<b", "T:<b"},
      {"<i\r>", "T:<i|/|T:>"},
      {"<<i>>", "T:<|+i|T:>"},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Describe(StylePieces(c.text)), c.pieces);
  }
  EXPECT_EQ(PlainCueText("<i>a</i>\r<font color=red>b</font> < c"), "a\rb < c");
}

TEST(CueText, ParseColourTakesHexAndNames) {
  const struct {
    const char* value;
    std::optional<Colour> colour;
  } cases[] = {
      {"#FF0000", 0xFF0000},    {"#f00", 0xFF0000},        {"ff8000", 0xFF8000},
      {"red", 0xFF0000},        {"Lime", 0x00FF00},        {" #00ff00 ", 0x00FF00},
      {"navy", 0x000080},       {"#123", 0x112233},        {"", std::nullopt},
      {"#12345", std::nullopt}, {"#GGGGGG", std::nullopt}, {"rainbow", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseColour(c.value), c.colour) << '"' << c.value << '"';
  }
  EXPECT_EQ(FontTag(0x00FF00), "<font color=\"#00FF00\">");
}

TEST(CueText, RenderCueTextWritesTheDialectAndCountsWhatItDrops) {
  TextDialect substation;
  substation.italic[0] = "{\\i1}";
  substation.italic[1] = "{\\i0}";
  substation.bold[0] = "{\\b1}";
  substation.bold[1] = "{\\b0}";
  substation.colour_open = "{\\c&H%s&}";
  substation.colour_close = "{\\c}";
  substation.colour_order = "BBGGRR";
  substation.line_break = "\\N";
  TextDialect plain;  // shows nothing
  TextDialect markup;
  markup.italic[0] = "<i>";
  markup.italic[1] = "</i>";
  markup.escape = TextDialect::kMarkup;
  TextDialect xml;
  xml.escape = TextDialect::kXml;
  const struct {
    const char* name;
    const TextDialect& dialect;
    std::string text;
    std::string rendered;
    DroppedCounts dropped;
  } cases[] = {
      {"SubStation",
       substation,
       "<i>a</i>\r<font color=\"#FF8000\">b</font>",
       "{\\i1}a{\\i0}\\N{\\c&H0080FF&}b{\\c}",
       {}},
      // A font that gave no colour closes nothing.
      {"FontWithoutColour",
       substation,
       "<font color=red>a<font face=x>b</font>c</font><u>d</u>",
       "{\\c&H0000FF&}abc{\\c}d",
       {.styles = 1}},
      {"Plain",
       plain,
       "<i>a</i> <b>b</b> <font color=red>c</font>\rd",
       "a b c\rd",
       {.styles = 2, .colours = 1}},
      {"Markup", markup, "<i>a & b</i> < c <3", "<i>a &amp; b</i> &lt; c &lt;3", {}},
      {"XmlLosesControlBytes",
       xml,
       std::string("a\x01"
                   "b\tc>",
                   6),
       "ab\tc&gt;",
       {.control_bytes = 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    DroppedCounts dropped;
    EXPECT_EQ(RenderCueText(c.text, c.dialect, &dropped), c.rendered);
    EXPECT_EQ(dropped, c.dropped);
    EXPECT_EQ(RenderCueText(c.text, c.dialect), c.rendered);  // nothing to count into
  }
}

TEST(CueText, StyledLinesTellWholeLineStylesFromPartialOnes) {
  const struct {
    const char* text;
    std::vector<StyledLine> lines;
  } cases[] = {
      // text, italic, bold, underline, colour, partial
      {"<i>a</i>\rb",
       {{"a", true, false, false, std::nullopt, false},
        {"b", false, false, false, std::nullopt, false}}},
      {"<i>a\rb</i>",
       {{"a", true, false, false, std::nullopt, false},
        {"b", true, false, false, std::nullopt, false}}},
      {"<b><u>x</u></b>", {{"x", false, true, true, std::nullopt, false}}},
      {"<font color=red>x</font>", {{"x", false, false, false, 0xFF0000, false}}},
      // A style that starts after text covers part of the line only.
      {"a <i>b</i>", {{"a b", false, false, false, std::nullopt, true}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::vector<StyledLine> got = StyledLines(c.text);
    ASSERT_EQ(got.size(), c.lines.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].text, c.lines[i].text) << i;
      EXPECT_EQ(got[i].italic, c.lines[i].italic) << i;
      EXPECT_EQ(got[i].bold, c.lines[i].bold) << i;
      EXPECT_EQ(got[i].underline, c.lines[i].underline) << i;
      EXPECT_EQ(got[i].colour, c.lines[i].colour) << i;
      EXPECT_EQ(got[i].partial, c.lines[i].partial) << i;
    }
  }
  EXPECT_EQ(StyledLineText({"x", true, true, false, 0xFF0000, false}),
            "<font color=\"#FF0000\"><b><i>x</i></b></font>");
}

TEST(CueText, SlashItalicsMarkWholeLines) {
  const struct {
    const char* text;
    const char* model;
  } cases[] = {
      {"/a\rb\r/c", "<i>a</i>\rb\r<i>c</i>"},
      {"a/b", "a/b"},
      {"/", "/"},
      {"\r/x", "\r<i>x</i>"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SlashItalicsToModel(c.text), c.model) << c.text;
}

// SubRip text read by default and with the classic rules, which keep it as
// it stands.
TEST(ReaderDialects, SubRipOverridesAndReferencesBecomeTheModel) {
  const struct {
    const char* text;
    const char* model;
    std::uint8_t place;
  } cases[] = {
      {"{\\an8}Top", "Top", 8},
      {"{\\an8}", "", 8},
      {"{\\i1}a{\\i0} b", "<i>a</i> b", 0},
      {"{\\b1}x\r{\\an2}y", "<b>x\ry</b>", 2},
      {"a &amp; b &lt;3&nbsp;c", "a & b <3 c", 0},
      {"<i>kept</i> <font color=\"#FF0000\">as is</font>",
       "<i>kept</i> <font color=\"#FF0000\">as is</font>", 0},
      // Braces without a backslash are text, and so is a SubStation break.
      {"{not an override} x", "{not an override} x", 0},
      {"a\\Nb", "a\\Nb", 0},
      // Text that only held overrides the model drops keeps what it had.
      {"{\\fs20}", "{\\fs20}", 0},
      // Tags players hide are left out with their text kept, closed or not;
      // a '<' that opens no tag is text.
      {"<s>gone</s> <tag par=5>x</tag> <open>y", "gone x y", 0},
      {"I <3 you > me", "I <3 you > me", 0},
      {"{Y:i}hidden code", "hidden code", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const LineList lines = {"1", "00:00:01,000 --> 00:00:02,000", c.text, ""};
    const std::vector<SubtitleCue> model = Read(ReadSubRip, LineViews(lines.begin(), lines.end()));
    ASSERT_EQ(model.size(), 1u);
    EXPECT_EQ(model[0], (SubtitleCue{1000, 2000, c.model, c.place}));
    const std::vector<SubtitleCue> classic =
        ReadClassic(ReadSubRip, LineViews(lines.begin(), lines.end()));
    ASSERT_EQ(classic.size(), 1u);
    EXPECT_EQ(classic[0], (SubtitleCue{1000, 2000, c.text}));
  }
}

TEST(ReaderDialects, MicroDVDControlCodesBecomeTheModel) {
  const struct {
    const char* text;
    const char* model;
    std::uint8_t place;
  } cases[] = {
      // Lower-case codes hold for their line, upper-case ones for the cue.
      {"{y:i}a\rb", "<i>a</i>\rb", 0},
      {"{Y:i}a\rb", "<i>a</i>\r<i>b</i>", 0},
      {"{y:b,u}x", "<b><u>x</u></b>", 0},
      {"{c:$0000FF}red", "<font color=\"#FF0000\">red</font>", 0},
      {"{C:$FF0000}a\r{y:i}b",
       "<font color=\"#0000FF\">a</font>\r<font color=\"#0000FF\"><i>b</i></font>", 0},
      // White is what players show anyway.
      {"{c:$FFFFFF}w", "w", 0},
      {"{P:1}top", "top", 8},
      {"/a\rb", "<i>a</i>\rb", 0},
      {"{y:i}", "", 0},
      // A code after the start of the line is text.
      {"a{y:i}b", "a{y:i}b", 0},
      {"plain", "plain", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    SubtitleCue cue{0, 40, c.text};
    MicroDVDTextToModel(cue);
    EXPECT_EQ(cue, (SubtitleCue{0, 40, c.model, c.place}));
  }
}

TEST(ReaderDialects, MicroDVDReaderTranslatesOnlyByDefault) {
  for (const bool classic : {false, true}) {
    SCOPED_TRACE(classic ? "classic" : "default");
    TSubtitles doc;
    doc.SetClassicReading(classic);
    doc.SetFrameRate(25);
    ReadMicroDVD(doc, LineList{"{25}{50}{Y:i}{P:1}a|/b"});
    ASSERT_EQ(doc.Cues.size(), 1u);
    if (classic) {
      EXPECT_EQ(doc.Cues[0], (SubtitleCue{1000, 2000, "{Y:i}{P:1}a\r/b"}));
    } else {
      EXPECT_EQ(doc.Cues[0], (SubtitleCue{1000, 2000, "<i>a</i>\r<i>b</i>", 8}));
    }
  }
}

}  // namespace
}  // namespace vorlane
