// Reading beyond the classic rules: encodings, refused formats and the
// lenient readers, seen as a user sees them, through LoadFromText and the
// SubRip output.
#include <gtest/gtest.h>

#include "subtitles/lines.h"
#include "tests/support.h"

namespace vorlane {
namespace {

using namespace std::string_literals;

struct Outcome {
  bool loaded = false;
  std::string error;   // the message raised, "" when none
  std::string output;  // the document saved as SubRip
  std::vector<SubtitleCue> cues;
};

Outcome Load(const std::string& bytes, bool classic = false) {
  TSubtitles doc;
  doc.SetClassicReading(classic);
  doc.SetFrameRate(25);
  Outcome o;
  bool frame_based = false;
  try {
    o.loaded = doc.LoadFromText(bytes, frame_based);
  } catch (const SubtitleError& e) {
    o.error = e.what();
  }
  o.cues = doc.Cues;
  LineList lines;
  doc.SaveToList(lines, sfSubRipper);
  o.output = JoinLines(lines);
  return o;
}

// Each character followed (LE) or led (BE) by the zero bytes of its wider
// code unit; enough for ASCII text and the one accented letter below.
std::string Widen(const std::string& ascii, int width, bool little_endian) {
  std::string out;
  for (char c : ascii) {
    const std::string zeros(static_cast<std::size_t>(width - 1), '\0');
    out += little_endian ? c + zeros : zeros + c;
  }
  return out;
}

const std::string kSrt = "1\r\n00:00:01,500 --> 00:00:04,020\r\nHi\r\n\r\n";
const std::string kSrtOut = "1\r\n00:00:01,500 --> 00:00:04,020\r\nHi\r\n\r\n";
const std::string kBom = "\xEF\xBB\xBF";

TEST(SecondReading, UnicodeInputIsDecodedAndWrittenAsUtf8WithItsMark) {
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"UTF-8 with mark", kBom + kSrt},
      {"UTF-16 LE with mark", "\xFF\xFE"s + Widen(kSrt, 2, true)},
      {"UTF-16 BE with mark", "\xFE\xFF"s + Widen(kSrt, 2, false)},
      {"UTF-16 LE without mark", Widen(kSrt, 2, true)},
      {"UTF-16 BE without mark", Widen(kSrt, 2, false)},
      {"UTF-32 LE with mark", "\xFF\xFE\0\0"s + Widen(kSrt, 4, true)},
      {"UTF-32 BE with mark", "\0\0\xFE\xFF"s + Widen(kSrt, 4, false)},
  };
  for (const auto& c : cases) {
    const Outcome o = Load(c.bytes);
    EXPECT_TRUE(o.loaded) << c.name << ": " << o.error;
    EXPECT_EQ(o.output, kBom + kSrtOut) << c.name;
  }
  // Characters beyond ASCII come out as UTF-8: "é" is 00 E9 in UTF-16 BE.
  const Outcome accented = Load("\xFE\xFF"s + Widen(kSrt.substr(0, 33), 2, false) + "\0\xE9"s);
  ASSERT_EQ(accented.cues.size(), 1u) << accented.error;
  EXPECT_EQ(accented.cues[0].Text, "\xC3\xA9");
}

TEST(SecondReading, BytesThatDoNotDecodeNameTheirOffset) {
  const struct {
    const char* name;
    std::string bytes;
    const char* error;
  } cases[] = {
      // A lone high surrogate (D800) followed by "a".
      {"unpaired surrogate",
       "\xFF\xFE"
       "1\0\n\0\x00\xD8"
       "a\0"s,
       "byte 6 is not valid UTF-16LE text"},
      {"odd byte at the end",
       "\xFE\xFF\0"
       "1\0\n\0"s,
       "byte 6 is not valid UTF-16BE text"},
      {"beyond U+10FFFF",
       "\xFF\xFE\0\0"
       "1\0\0\0\0\0\x11\0"s,
       "byte 8 is not valid UTF-32LE text"},
  };
  for (const auto& c : cases) {
    const Outcome o = Load(c.bytes);
    EXPECT_FALSE(o.loaded) << c.name;
    EXPECT_EQ(o.error, c.error) << c.name;
  }
}

TEST(SecondReading, EightBitTextAndClassicModeKeepTheirBytes) {
  // Latin-1 "é" is no UTF-8, and stays the byte it was.
  const std::string latin1 = "1\r\n00:00:01,500 --> 00:00:04,020\r\ncaf\xE9\r\n\r\n";
  EXPECT_EQ(Load(latin1).output, latin1);
  EXPECT_EQ(Load(latin1, true).output, latin1);
  // Classic reading decodes nothing, but the UTF-8 mark is still taken off
  // the first line and given back to the output.
  EXPECT_FALSE(Load("\xFF\xFE"s + Widen(kSrt, 2, true), true).loaded);
  EXPECT_EQ(Load(kBom + kSrt, true).output, kBom + kSrtOut);
  // An empty output stays empty, without a mark.
  EXPECT_EQ(Load(kBom + "00:00:01,000 --> 00:00:02,000\r\n").output.substr(0, 3), kBom);
  TSubtitles doc;
  doc.SetByteOrderMark(true);
  LineList lines;
  doc.SaveToList(lines, sfSubRipper);
  EXPECT_TRUE(lines.empty());
}

TEST(SecondReading, LenientSubRipReadsWhatTheClassicRulesRefuse) {
  const SubtitleCue a{1500, 4020, "Hi"};
  const SubtitleCue b{5000, 6000, "Two\rlines"};
  const std::vector<SubtitleCue> both{a, b};
  const struct {
    const char* name;
    std::string text;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"coordinates after the stop",
       "1\n00:00:01,500 --> 00:00:04,020  X1:100 X2:600 Y1:400 Y2:460\nHi\n\n"
       "2\n00:00:05,000 --> 00:00:06,000 X1:1\nTwo\nlines\n",
       both},
      {"no spaces around the arrow",
       "1\n00:00:01,500-->00:00:04,020\nHi\n\n2\n00:00:05,000-->00:00:06,000\nTwo\nlines\n", both},
      {"doubled and trailing spaces",
       "1\n00:00:01,500  -->  00:00:04,020  \nHi\n\n2\n00:00:05,000 "
       "-->\t00:00:06,000\nTwo\nlines\n",
       both},
      {"dots before the milliseconds",
       "1\n00:00:01.500 --> 00:00:04.020\nHi\n\n2\n00:00:05.000 --> 00:00:06,000\nTwo\nlines\n",
       both},
      {"one and three hour digits",
       "1\n0:00:01,500 --> 0:00:04,020\nHi\n\n2\n000:00:05,000 --> 000:00:06,000\nTwo\nlines\n",
       both},
      {"no number lines, no empty lines, a number line after text",
       "00:00:01.500 --> 00:00:04.020\nHi\n2\n00:00:05.000 --> 00:00:06.000\nTwo\nlines", both},
      {"extra empty lines, an empty line inside a cue",
       "\n\n1\n00:00:01.500 --> 00:00:04.020\nHi\n\n\n\n2\n00:00:05.000 --> 00:00:06.000\nTwo\n\n"
       "lines\n\n\n",
       both},
      {"a last block cut after its number",
       "00:00:01.500 --> 00:00:04.020\nHi\n\n2\n",
       {{1500, 4020, "Hi"}}},
      {"a minus sign", "1\n-00:00:01.500 --> 00:00:04.020\nHi\n", {{-1500, 4020, "Hi"}}},
  };
  for (const auto& c : cases) {
    const Outcome o = Load(c.text);
    EXPECT_TRUE(o.loaded) << c.name << ": " << o.error;
    EXPECT_EQ(o.cues, c.cues) << c.name;
  }
}

TEST(SecondReading, LenientTtxtReadsTheXmlLayoutOfTheUsualTools) {
  const std::string head =
      "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<TextStream version=\"1.1\">\n"
      "<TextStreamHeader width=\"400\" height=\"60\">\n</TextStreamHeader>\n";
  const struct {
    const char* name;
    std::string text;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"text inside the element, cleared by empty samples",
       head + "<TextSample sampleTime=\"00:00:01.500\" xml:space=\"preserve\">Hi &amp; bye\nthere"
              "</TextSample>\n<TextSample sampleTime=\"00:00:04.020\"></TextSample>\n"
              "<TextSample sampleTime=\"00:01:01.000\">Next</TextSample>\n</TextStream>\n",
       {{1500, 4020, "Hi & bye\rthere"}, {61000, 64000, "Next"}}},
      {"text attribute, indented, each sample until the next",
       head + "  <TextSample sampleTime=\"00:00:01.500\" text=\"'Hi''there'\"/>\n"
              "  <TextSample sampleTime=\"00:00:02.000\" text=\"'Bye'\"/>\n</TextStream>\n",
       {{1500, 2000, "Hi\rthere"}, {2000, 5000, "Bye"}}},
  };
  for (const auto& c : cases) {
    const Outcome o = Load(c.text);
    EXPECT_TRUE(o.loaded) << c.name << ": " << o.error;
    EXPECT_EQ(o.cues, c.cues) << c.name;
  }
}

TEST(SecondReading, ClassicOutcomeStandsWhenTheLenientReadersFail) {
  // The classic reader's error is kept when nothing else reads the file.
  EXPECT_EQ(Load("1\n00:00:0x,000 --> 00:00:02,000\nHi\n").error,
            "'0x' is not a valid integer value");
  EXPECT_FALSE(Load("just text\n").loaded);
  // A file that certainly is in a format but holds no cue is read as empty.
  const Outcome header_only = Load("\xEF\xBB\xBFWEBVTT\n\n");
  EXPECT_TRUE(header_only.loaded);
  EXPECT_TRUE(header_only.cues.empty());
  // A file the classic rules read is read by them alone.
  const Outcome o =
      Load("1\n00:00:01,000 --> 00:00:02,000\nA\n2\n00:00:03,000 --> 00:00:04,000\nB\n");
  EXPECT_EQ(o.cues.size(), 2u);
}

TEST(SecondReading, CaptionAndDiscFormatsAreRefusedByName) {
  const struct {
    std::string bytes;
    const char* message;
  } cases[] = {
      {"# VobSub index file, v7 (do not modify this line!)\n",
       "VobSub subtitles are not supported"},
      {"\0\0\x01\xBA\x44\0\x04\0"s, "VobSub subtitles are not supported"},
      {"PG\0\0\0\0\0\0\0\0\x16\0\x13"s, "Blu-ray SUP (PGS) subtitles are not supported"},
  };
  for (const auto& c : cases) {
    const Outcome o = Load(c.bytes);
    EXPECT_FALSE(o.loaded) << c.message;
    EXPECT_EQ(o.error, c.message);
  }
  // The classic reading still takes SCC's time codes for TMPlayer lines.
  const Outcome classic = Load("Scenarist_SCC V1.0\n\n00:00:01:00\t9420 9420\n", true);
  EXPECT_TRUE(classic.loaded);
  EXPECT_EQ(classic.error, "");
  // Broadcast captions are read now: an SCC header alone is an empty file,
  // an EBU STL header cut short is corrupted, not refused.
  const Outcome scc = Load("Scenarist_SCC V1.0\n\n00:00:00:00\t9420 9420\n");
  EXPECT_TRUE(scc.loaded);
  EXPECT_EQ(scc.error, "");
  const Outcome stl = Load("850STL25.01" + std::string(40, ' ') + "\n");
  EXPECT_FALSE(stl.loaded);
  EXPECT_EQ(stl.error,
            "the EBU STL header (General Subtitle Information) is cut short: 52 of 1024 bytes");
}

TEST(SecondReading, LoadFromFileReportsARefusalApartFromCorruption) {
  TempDir dir;
  const std::string path = dir.path() + "/a.idx";
  WriteFileBytes(path, "# VobSub index file, v7 (do not modify this line!)\n");
  TSubtitles doc;
  bool frame_based = false;
  std::string corrupted, refused;
  EXPECT_FALSE(doc.LoadFromFile(
      path, frame_based, [&](const LoadFailure& f) { corrupted = f.BoxText(); },
      [&](const LoadFailure& f) { refused = f.message; }));
  EXPECT_EQ(corrupted, "");
  EXPECT_EQ(refused, "VobSub subtitles are not supported");
}

}  // namespace
}  // namespace vorlane

namespace vorlane {
namespace {

TEST(CharacterSets, InputAndOutputEncodingsConvertOrFailByName) {
  const std::string head = "1\r\n00:00:01,500 --> 00:00:04,020\r\n";
  const std::string cyrillic_utf8 =
      "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82, \xD0\xBA\xD0\xB0\xD0\xBA "
      "\xD0\xB4\xD0\xB5\xD0\xBB\xD0\xB0? \xD0\xAD\xD1\x82\xD0\xBE \xD0\xBF\xD1\x80\xD0\xBE"
      "\xD0\xB2\xD0\xB5\xD1\x80\xD0\xBA\xD0\xB0 \xD1\x80\xD1\x83\xD1\x81\xD1\x81\xD0\xBA"
      "\xD0\xBE\xD0\xB3\xD0\xBE \xD1\x82\xD0\xB5\xD0\xBA\xD1\x81\xD1\x82\xD0\xB0.";
  const std::string cyrillic_1251 = ConvertText(cyrillic_utf8, "UTF-8", "WINDOWS-1251");
  const struct {
    const char* name;
    std::string input;
    std::string input_encoding;
    OutputEncoding output;
    std::string expected;  // the output, or the error raised
  } cases[] = {
      {"named input, UTF-8 out", head + "caf\xE9\r\n", "WINDOWS-1252", OutputEncoding::kUtf8,
       head + "caf\xC3\xA9\r\n\r\n"},
      {"named input, mark out", head + "caf\xE9\r\n", "WINDOWS-1252", OutputEncoding::kUtf8Bom,
       "\xEF\xBB\xBF" + head + "caf\xC3\xA9\r\n\r\n"},
      {"named input written back in it", head + "caf\xE9\r\n", "WINDOWS-1252",
       OutputEncoding::kSource, head + "caf\xE9\r\n\r\n"},
      {"guessed input", head + cyrillic_1251 + "\r\n", "auto", OutputEncoding::kUtf8,
       head + cyrillic_utf8 + "\r\n\r\n"},
      {"UTF-8 mark out of ASCII", head + "Hi\r\n", "", OutputEncoding::kUtf8Bom,
       "\xEF\xBB\xBF" + head + "Hi\r\n\r\n"},
      {"mark taken off", "\xEF\xBB\xBF" + head + "Hi\r\n", "", OutputEncoding::kUtf8,
       head + "Hi\r\n\r\n"},
      // 8-bit text without a name is decoded from the code page guessed
      // for it (here the Western one: too few letters for a better guess).
      {"8-bit text decoded by a guess", head + "caf\xE9\r\n", "", OutputEncoding::kUtf8,
       head + "caf\xC3\xA9\r\n\r\n"},
      {"bytes the named set lacks", head + "\x81\r\n", "WINDOWS-1252", OutputEncoding::kUtf8,
       "byte 34 is not valid WINDOWS-1252 text"},
      {"no confident guess", head + "\x8F\x90\x9D\r\n", "auto", OutputEncoding::kUtf8,
       "the character set of the text cannot be told with confidence; name it with "
       "--input-encoding"},
  };
  for (const auto& c : cases) {
    TSubtitles doc;
    doc.SetInputEncoding(c.input_encoding);
    doc.SetOutputEncoding(c.output);
    bool frame_based = false;
    std::string got;
    try {
      EXPECT_TRUE(doc.LoadFromText(c.input, frame_based)) << c.name;
      LineList lines;
      doc.SaveToList(lines, sfSubRipper);
      got = JoinLines(lines);
    } catch (const SubtitleError& e) {
      got = e.what();
    }
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace vorlane
