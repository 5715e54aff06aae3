#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/formats/broadcast.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

struct Block {
  int sn = 0;
  int ebn = 0xFF;
  std::string text;
  std::string in = std::string("\0\0\1\0", 4);  // h m s f
  std::string out = std::string("\0\0\2\0", 4);
  int cf = 0;
};

// A file of a header and the blocks, built as a broadcaster's tool would.
std::string Stl(const std::vector<Block>& blocks, const std::string& dfc = "STL25.01",
                const std::string& cct = "00") {
  std::string gsi(1024, ' ');
  gsi.replace(0, 11, "850" + dfc);
  gsi[11] = '1';
  gsi.replace(12, 2, cct);
  for (const Block& b : blocks) {
    std::string tti(128, '\x8F');
    tti[0] = 0;
    tti[1] = static_cast<char>(b.sn & 0xFF);
    tti[2] = static_cast<char>(b.sn >> 8);
    tti[3] = static_cast<char>(b.ebn);
    tti[4] = 0;
    tti.replace(5, 4, b.in);
    tti.replace(9, 4, b.out);
    tti[13] = 20;
    tti[14] = 2;
    tti[15] = static_cast<char>(b.cf);
    tti.replace(16, b.text.size(), b.text);
    gsi += tti;
  }
  return gsi;
}

TSubtitles Load(const std::string& bytes) {
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_TRUE(doc.LoadFromText(bytes, frame_based));
  EXPECT_EQ(doc.FormatRead(), sfEBUSTL);
  return doc;
}

TEST(EbuStl, ControlCodesAndCodeTableBytes) {
  const struct {
    const char* cct;
    std::string field;
    std::string text;
    std::size_t dropped;
  } cases[] = {
      {"00", "Hello", "Hello", 0},
      {"00",
       "\xC2"
       "e\xC8o\xCFz\xCB"
       "c",
       "éöžç", 0},
      {"00", "\xC1x", "x\xCC\x80", 0},  // no precomposed form: a combining mark
      {"00", "\xA4\xA8\xD5\xE9\xFB", "$¤♪Øß", 0},
      {"00", "\x80it\x81 x", "<i>it</i> x", 0},
      {"00", "\x82u\x83", "<u>u</u>", 0},
      {"00", "\x80\x81plain", "plain", 0},
      {"00",
       "a\x8A\x8A"
       "b",
       "a\rb", 0},
      {"00",
       "\x80"
       "a\x8A"
       "b\x81",
       "<i>a</i>\r<i>b</i>", 0},
      {"00", "\x0D\x07\x0B\x0BText\x0A\x0A", "Text", 1},  // double height
      {"00", "one\x01two", "one two", 1},                 // red
      {"00", "\x0D\x01\x0B\x0BRed", "Red", 2},
      {"01", "\xB0\xD1", "Аб", 0},
      {"03", "\xE1\xC2", "αΒ", 0},
      {"04", "\xE0\xFA", "את", 0},
      {"02", "\xC7\xE4", "ال", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const TSubtitles doc = Load(Stl({{.text = c.field}}, "STL25.01", c.cct));
    ASSERT_EQ(doc.Cues.size(), 1u);
    EXPECT_EQ(doc.Cues[0].Text, c.text);
    EXPECT_EQ(doc.Dropped.reading_other, c.dropped);
  }
}

TEST(EbuStl, BlocksTimesAndWhatIsLeftOut) {
  const std::string tc1 = std::string("\1\2\3\x0C", 4);  // 01:02:03:12
  const std::string tc2 = std::string("\0\1\0\2", 4);    // 00:01:00;02 at 29.97
  const std::string tc3 = std::string("\0\1\0\x1D", 4);  // 00:01:00;29
  TSubtitles doc = Load(Stl({
      {.sn = 1, .ebn = 0, .text = "first \xC2", .in = tc1, .out = tc1},
      {.sn = 1, .ebn = 0xFE, .text = "user data"},
      {.sn = 1, .ebn = 0xFF, .text = "e part", .in = tc1, .out = tc1},
      {.sn = 2, .text = "a comment", .cf = 1},
      {.sn = 3, .text = "backwards", .in = std::string("\0\0\5\0", 4)},
      {.sn = 4, .text = "last"},
  }));
  ASSERT_EQ(doc.Cues.size(), 2u);
  EXPECT_EQ(doc.Cues[0], (SubtitleCue{3723480, 3723480, "first é part"}));
  EXPECT_EQ(doc.Cues[1], (SubtitleCue{1000, 2000, "last"}));
  ASSERT_EQ(doc.Warnings.size(), 1u);
  EXPECT_EQ(doc.Warnings[0].problem,
            "text block 5: the subtitle ends before it starts and is left out");

  // 29.97 drop-frame: frame 1800 (00:01:00;02) is 60.06 s in, frame 1827
  // (00:01:00;29) 60.961 s.
  doc = Load(Stl({{.text = "x", .in = tc2, .out = tc3}}, "STL30.01"));
  ASSERT_EQ(doc.Cues.size(), 1u);
  EXPECT_EQ(doc.Cues[0].Start, 60060);
  EXPECT_EQ(doc.Cues[0].Stop, 60961);

  // A block cut short and extension blocks without their last one.
  std::string bytes = Stl({{.sn = 7, .ebn = 0, .text = "open"}}) + "partial";
  doc = Load(bytes);
  ASSERT_EQ(doc.Cues.size(), 1u);
  EXPECT_EQ(doc.Cues[0].Text, "open");
  EXPECT_EQ(doc.Warnings.size(), 2u);

  // A subtitle longer than the 241 blocks extension numbers allow is cut
  // into two, its text kept.
  std::vector<Block> many(250, Block{.sn = 9, .ebn = 0, .text = std::string(112, 'a')});
  many.back().ebn = 0xFF;
  doc = Load(Stl(many));
  ASSERT_EQ(doc.Cues.size(), 2u);
  EXPECT_EQ(doc.Cues[0].Text.size() + doc.Cues[1].Text.size(), 250u * 112);
  EXPECT_EQ(doc.Warnings.size(), 1u);

  // A header cut short is corrupted; the classic reading does not read the format.
  TSubtitles broken;
  bool frame_based = false;
  EXPECT_THROW(broken.LoadFromText(Stl({}).substr(0, 500), frame_based), SubtitleError);
  broken.SetClassicReading(true);
  EXPECT_FALSE(broken.LoadFromText(Stl({{.text = "x"}}), frame_based));
}

// ttconv's reading of an EBU STL file as SubRip, or nullopt when ttconv is
// not installed.
std::optional<std::string> TtconvSrt(const std::string& path) {
  if (std::system("/usr/bin/python3 -c 'import ttconv.stl.reader' >/dev/null 2>&1") != 0) {
    return std::nullopt;
  }
  const std::string command =
      "/usr/bin/python3 -c \"import sys, ttconv.stl.reader as r, ttconv.srt.writer as w; "
      "print(w.from_model(r.to_model(open(sys.argv[1], 'rb'))), end='')\" '" +
      path + "' 2>/dev/null";
  std::string out;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

TEST(EbuStl, WrittenFilesReadBackByUsAndByTtconv) {
  const std::string long_text = "A line long enough to need extension blocks, " +
                                std::string(60, 'x') + "\rand a second row after it.";
  const struct {
    double rate;
    std::vector<SubtitleCue> cues;
    const char* cct;
  } cases[] = {
      {25,
       {{1000, 3000, "Hélène à Noël\rçava"},
        {4000, 5200, "<i>italique</i>"},
        {3723480, 3724000, long_text}},
       "00"},
      {30, {{1000, 3000, "Привет"}, {3660000, 3664000, "мир"}}, "01"},
      {25, {{1000, 3000, "Καλημέρα"}}, "03"},
      {30, {{1000, 3000, "שלום"}}, "04"},
  };
  TempDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.cct);
    TSubtitles doc;
    doc.SetFrameRate(c.rate);
    doc.Cues = c.cues;
    const std::string bytes = WriteEbuStl(doc);
    EXPECT_EQ(bytes.substr(3, 8), c.rate == 30 ? "STL30.01" : "STL25.01");
    EXPECT_EQ(bytes.substr(12, 2), c.cct);
    EXPECT_EQ(bytes.size() % 128, 0u);

    const TSubtitles back = Load(bytes);
    ASSERT_EQ(back.Cues.size(), c.cues.size());
    for (std::size_t i = 0; i < c.cues.size(); ++i) {
      EXPECT_EQ(back.Cues[i].Text, c.cues[i].Text);
      // Within one frame of the time written.
      EXPECT_NEAR(back.Cues[i].Start, c.cues[i].Start, 1000 / c.rate);
      EXPECT_NEAR(back.Cues[i].Stop, c.cues[i].Stop, 1000 / c.rate);
    }

    const std::string path = dir.path() + "/out.stl";
    WriteFileBytes(path, bytes);
    const auto srt = TtconvSrt(path);
    if (!srt) GTEST_SKIP() << "python3-ttconv is not installed";
    TSubtitles peer;
    bool frame_based = false;
    ASSERT_TRUE(peer.LoadFromText(*srt, frame_based)) << *srt;
    ASSERT_EQ(peer.Cues.size(), c.cues.size()) << *srt;
    for (std::size_t i = 0; i < c.cues.size(); ++i) {
      EXPECT_EQ(peer.Cues[i].Text, back.Cues[i].Text);
      EXPECT_NEAR(peer.Cues[i].Start, back.Cues[i].Start, 1);
      EXPECT_NEAR(peer.Cues[i].Stop, back.Cues[i].Stop, 1);
    }
  }
}

TEST(EbuStl, CharactersNoTableHoldsAreErrorsNamingTheCue) {
  const struct {
    std::vector<SubtitleCue> cues;
    const char* error;
  } cases[] = {
      {{{0, 100, "fine"}, {100, 200, "日本"}},
       "cue 2: \"日\" (U+65E5) is in no EBU STL code table"},
      {{{0, 100, "Привет"}, {100, 200, "Καλημέρα"}},
       "cue 2: \"Κ\" (U+039A) cannot be written in one EBU STL code table with the cues before it"},
      {{{0, 100, "caf\xE9"}},
       "cue 1 is not UTF-8 text; name its character set with --input-encoding"},
  };
  for (const auto& c : cases) {
    TSubtitles doc;
    doc.Cues = c.cues;
    try {
      WriteEbuStl(doc);
      ADD_FAILURE() << "no error for " << c.error;
    } catch (const SubtitleError& e) {
      EXPECT_STREQ(e.what(), c.error);
    }
  }
}

}  // namespace
}  // namespace vorlane
