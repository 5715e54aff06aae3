// The default road of character sets: 8-bit text decoded unless it goes back
// out as read, UTF-8-only formats always UTF-8, named output sets, and a
// character an output set cannot hold named by its cue.
#include <gtest/gtest.h>

#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

TEST(TextEncoding, DecodedByDefaultWhereTheOutputNeedsIt) {
  const std::string head = "1\r\n00:00:01,500 --> 00:00:04,020\r\n";
  const std::string russian =
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBA\xD0\xB0\xD0\xBA "
      "\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xB0? \xD0\xAD\xD1\x82\xD0\xBE \xD0\xBF\xD1\x80\xD0\xBE"
      "\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBA\xD0\xB0 \xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA"
      "\xD0\xBE\xD0\xB3\xD0\xBE \xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82\xD0\xB0.";
  const std::string cp1251 = head + ConvertText(russian, "UTF-8", "WINDOWS-1251") + "\r\n";
  const struct {
    const char* name;
    std::string input;
    TSubtitleFormat target;  // told before loading; sf0 when not
    TSubtitleFormat format;  // written
    OutputEncoding output;
    std::string charset;
    std::string expected;  // a piece of the output, or the error
    std::string read;      // InputCharset()
  } cases[] = {
      {"code page into WebVTT", cp1251, sfWebVTT, sfWebVTT, OutputEncoding::kSource, "", russian,
       "WINDOWS-1251"},
      {"code page back into itself, as read", cp1251, sfSubRipper, sfSubRipper,
       OutputEncoding::kSource, "", cp1251, ""},
      {"code page decoded and written back", cp1251, sf0, sfSubRipper, OutputEncoding::kSource, "",
       cp1251, "WINDOWS-1251"},
      {"UTF-8 into a named set", head + "caf\xC3\xA9\r\n", sfSubRipper, sfSubRipper,
       OutputEncoding::kNamed, "WINDOWS-1252", "caf\xE9", "UTF-8"},
      {"a character the set lacks", head + "5 \xE2\x82\xAC\r\n", sfSubRipper, sfSubRipper,
       OutputEncoding::kNamed, "ISO-8859-1", "the text of cue 1 cannot be written in ISO-8859-1",
       "UTF-8"},
      {"WebVTT stays UTF-8 whatever is asked", head + "caf\xC3\xA9\r\n", sfWebVTT, sfWebVTT,
       OutputEncoding::kNamed, "ISO-8859-1", "caf\xC3\xA9", "UTF-8"},
  };
  for (const auto& c : cases) {
    TSubtitles doc;
    doc.SetTargetFormat(c.target);
    doc.SetOutputEncoding(c.output, c.charset);
    bool frame_based = false;
    std::string got;
    try {
      ASSERT_TRUE(doc.LoadFromText(c.input, frame_based)) << c.name;
      EXPECT_EQ(doc.InputCharset(), c.read) << c.name;
      LineList lines;
      doc.SaveToList(lines, c.format);
      got = JoinLines(lines);
      if (c.format == sfWebVTT) {
        EXPECT_TRUE(IsUtf8(got)) << c.name;
      }
    } catch (const SubtitleError& e) {
      got = e.what();
    }
    EXPECT_NE(got.find(c.expected), std::string::npos) << c.name << ": " << got;
  }
}

TEST(TextEncoding, AnUnsureGuessIsAWarningNotAFailure) {
  TSubtitles doc;
  doc.SetTargetFormat(sfWebVTT);
  bool frame_based = false;
  ASSERT_TRUE(
      doc.LoadFromText("1\r\n00:00:01,000 --> 00:00:02,000\r\n\x8F\x90\x9D\r\n", frame_based));
  EXPECT_TRUE(doc.CharsetGuessed());
  ASSERT_EQ(doc.Warnings.size(), 1u);
  EXPECT_NE(doc.Warnings[0].problem.find("guessed"), std::string::npos);
  LineList lines;
  doc.SaveToList(lines, sfWebVTT);
  EXPECT_TRUE(IsUtf8(JoinLines(lines)));
}

TEST(TextEncoding, Utf8IsToldFromEightBitText) {
  const std::pair<std::string, bool> cases[] = {
      {"plain ASCII text of more than eight bytes", true},
      {"caf\xC3\xA9", true},
      {"caf\xE9", false},
      {"\xED\xA0\x80", false},  // a surrogate
      {"\xC0\xAF", false},      // an overlong slash
      {"\xF0\x9F\x98\x80", true},
      {"\xF0\x9F\x98", false},
  };
  for (const auto& [bytes, utf8] : cases) EXPECT_EQ(IsUtf8(bytes), utf8) << bytes;
}

}  // namespace
}  // namespace vorlane
