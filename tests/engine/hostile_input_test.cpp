// Inputs built to break a reader: huge lines, huge line counts, NUL bytes,
// lone CRs, numbers at the edges of 32 bits and binary garbage. Every reader
// of the catalogue must either read them or refuse them with a
// SubtitleError; nothing else may escape, and nothing may crash or hang.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane {
namespace {

// Runs every registered reader (the second reading's too, and its
// signatures) directly over lines, at a usable frame rate.
void EveryReaderCopes(const LineList& lines) {
  for (const FormatInfo& info : FormatCatalogue()) {
    SCOPED_TRACE(std::string(info.name));
    if (info.signature != nullptr) info.signature(lines);
    for (SubtitleReader reader : {info.reader, info.second_reader}) {
      if (reader == nullptr) continue;
      TSubtitles doc;
      doc.SetFrameRate(25);
      try {
        reader(doc, lines);
      } catch (const SubtitleError& e) {
        EXPECT_STRNE(e.what(), "");
      }
    }
  }
  TSubtitles doc;
  bool frame_based = false;
  try {
    doc.LoadFromList(lines, frame_based);
  } catch (const SubtitleError&) {
  }
}

TEST(HostileInput, OneLineOf100MB) {
  std::string text(100u << 20, 'a');
  text[1000] = ':';
  text[5000] = ',';
  const LineList lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(DetectFormat(lines), sf0);
  EveryReaderCopes(lines);
}

// A megabyte of openers whose closer comes late or never: every reader
// that looks for the closer must stay linear.
TEST(HostileInput, LongRunsOfOpeners) {
  for (char opener : {'{', '<', '[', '('}) {
    const std::string run(1u << 20, opener);
    EveryReaderCopes({"[Events]", "Dialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,," + run,
                      "Dialogue: 0,0:00:01.00,0:00:02.00,D,,0,0,0,,{\\" + run + "\\i1)}",
                      "[00:01.00]" + run + ">", "[00:02.00]" + run});
  }
}

TEST(HostileInput, TenMillionEmptyLines) {
  // Text at the end, so that every empty line stays in the list.
  const std::string text = std::string(10'000'000, '\n') + "x";
  const LineList lines = SplitLines(text);
  ASSERT_EQ(lines.size(), 10'000'001u);
  EXPECT_EQ(DetectFormat(lines), sf0);
  EveryReaderCopes(lines);
}

TEST(HostileInput, CrOnlyAndNulBytes) {
  EXPECT_EQ(SplitLines(std::string(1000, '\r') + "x").size(), 1001u);
  const std::string with_nul("1\r00:00:01,000 --> 00:00:02,000\rA\0B\r", 36);
  const LineList lines = SplitLines(with_nul);
  EXPECT_EQ(lines, (LineList{"1", "00:00:01,000 --> 00:00:02,000", "A"}));
  EveryReaderCopes(lines);
}

// A NUL byte never ends the text in the default reading: in WebVTT it is
// U+FFFD, elsewhere it is left out, counted and warned of; UTF-16 without
// a mark is still told by its NULs first. The classic reading stops at it.
TEST(HostileInput, NulBytesEndNothing) {
  const std::string nul(1, '\0');
  struct Case {
    const char* name;
    std::string bytes;
    bool classic;
    std::vector<std::string> texts;  // of the cues read
    std::size_t dropped;             // NUL bytes counted as dropped
    int warning_line;                // of the warning, 0 for none
  };
  const std::string cue2 = "2\r\n00:00:03,000 --> 00:00:04,000\r\nafter\r\n";
  const auto utf16 = [](std::string_view ascii) {
    std::string out;
    for (char c : ascii) out += std::string{c, '\0'};
    return out;
  };
  const Case cases[] = {
      {"SubRip",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nHel" + nul + "lo\r\n\r\n" + cue2,
       false,
       {"Hello", "after"},
       1,
       3},
      {"SubRip, classic",
       "1\r\n00:00:01,000 --> 00:00:02,000\r\nHel" + nul + "lo\r\n\r\n" + cue2,
       true,
       {"Hel"},
       0,
       0},
      {"WebVTT",
       "WEBVTT\n\n00:01.000 --> 00:02.000\nA" + nul + nul + "B\n",
       false,
       {"A\xEF\xBF\xBD\xEF\xBF\xBD"
        "B"},
       0,
       4},
      {"UTF-16 without a mark",
       utf16("1\r\n00:00:01,000 --> 00:00:02,000\r\nx\r\n"),
       false,
       {"x"},
       0,
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TSubtitles doc;
    doc.SetClassicReading(c.classic);
    bool frame_based = false;
    ASSERT_TRUE(doc.LoadFromText(c.bytes, frame_based));
    std::vector<std::string> texts;
    for (const SubtitleCue& cue : doc.Cues) texts.push_back(cue.Text);
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(doc.Dropped.control_bytes, c.dropped);
    EXPECT_EQ(doc.Warnings.empty() ? 0 : doc.Warnings.front().line, c.warning_line);
    EXPECT_EQ(doc.CutAtNul(), c.classic);
  }
}

// Why a document gives no output, for every way of holding no cue to write.
TEST(HostileInput, NothingToWriteTellsWhy) {
  struct Case {
    std::vector<std::pair<int, int>> times;
    std::string_view why;
  };
  const Case cases[] = {
      {{}, "no cue in the file"},
      {{{-300, -100}}, "every cue lies before zero"},
      {{{-300, 0}, {-20, -10}}, "every cue lies before zero"},
      {{{-300, -100}, {-5, 1}}, ""},  // one cue reaches past zero
      {{{0, 0}}, ""},                 // at zero, not before it
      {{{100, 200}}, ""},
  };
  for (const Case& c : cases) {
    TSubtitles doc;
    for (auto [start, stop] : c.times) doc.Cues.push_back({start, stop, "x"});
    EXPECT_EQ(doc.NothingToWrite(), c.why) << c.times.size() << " cues";
  }
}

// Empty lines at the end cost no index however many; those before text are
// all kept, so line numbers stay right.
TEST(HostileInput, TrailingEmptyLinesAreNotIndexed) {
  const std::size_t kept = kTrailingEmptyLinesKept;
  struct Case {
    std::string text;
    std::size_t lines;
  };
  const Case cases[] = {
      {std::string(5'000'000, '\n'), kept},
      {std::string(5'000'000, '\r'), kept},
      {"a\r\n" + std::string(2'000'000, '\n'), 1 + kept},
      {"a" + std::string(1000, '\n') + "b" + std::string(1000, '\n'), 1001 + kept},
      {"a\n\n\nb", 4},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitLineViews(c.text).size(), c.lines);
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_FALSE(doc.LoadFromText(std::string(1000, '\n') + " \t\r\n", frame_based));
  EXPECT_TRUE(doc.BlankInput());
}

// Elements nested deeper than any real file is read up to a limit, beyond
// it the file fails naming the line; never a silent skip.
TEST(HostileInput, DeepXmlIsReadOrRefusedWithItsLine) {
  for (const int depth : {100, 250, 300, 100'000}) {
    SCOPED_TRACE(depth);
    std::string ttml = "<?xml version=\"1.0\"?>\n<tt xmlns=\"http://www.w3.org/ns/ttml\"><body>\n";
    for (int i = 0; i < depth; ++i) ttml += "<div>\n";
    ttml += "<p begin=\"00:00:01.000\" end=\"00:00:02.000\">deep</p>\n";
    for (int i = 0; i < depth; ++i) ttml += "</div>\n";
    ttml += "</body></tt>\n";
    TSubtitles doc;
    bool frame_based = false;
    if (depth <= 250) {
      ASSERT_TRUE(doc.LoadFromText(ttml, frame_based));
      ASSERT_EQ(doc.Cues.size(), 1u);
      EXPECT_EQ(doc.Cues[0].Text, "deep");
    } else {
      try {
        doc.LoadFromText(ttml, frame_based);
        ADD_FAILURE() << "read";
      } catch (const SubtitleError& e) {
        EXPECT_EQ(e.Line(), 259);
        EXPECT_NE(std::string(e.what()).find("nested more than 256"), std::string::npos);
      }
    }
  }
}

TEST(HostileInput, NumbersAtAndBeyondThe32BitRange) {
  const char* numbers[] = {"2147483647", "2147483648",           "-2147483648", "-2147483649",
                           "4294967296", "99999999999999999999", "$FFFFFFFF",   "0x7FFFFFFF"};
  // Each number in place of every field of the common timing layouts.
  const char* layouts[] = {"N:00:01,000 --> 00:00:02,000",
                           "00:00:01,000 --> N:00:02,N",
                           "{N}{N}text",
                           "[N][N]text",
                           "N:00:01:text",
                           "[N:00:01]",
                           "N:00:01.00,00:00:02.00",
                           "00:00:01,000-N:00:02,000=text",
                           "N:00:01.00,0:00:02.00,NTP text",
                           "E 1 N:00:01.00 0:00:02.00 a b c"};
  for (const char* layout : layouts) {
    for (const char* number : numbers) {
      std::string line = layout;
      for (std::size_t p; (p = line.find('N')) != std::string::npos;) line.replace(p, 1, number);
      SCOPED_TRACE(line);
      EveryReaderCopes({"SST 2.0", "[TITLES]", "fps=25", "% Zero G", line, line, ""});
    }
  }
}

TEST(HostileInput, EveryFieldOfEveryLayoutEmpty) {
  // Each field of the readers' line layouts left empty, one at a time and
  // all at once: fields then shift down or go missing.
  const char* layouts[] = {"F:F:F,F --> F:F:F,F",
                           "{F}{F}F",
                           "[F][F]F",
                           "F:F:F:F",
                           "[F:F:F]",
                           "F:F:F.F,F:F:F.F",
                           "F:F:F,F-F:F:F,F=F",
                           "F:F:F.F,F:F:F.F,F F",
                           "F F F:F:F.F F:F:F.F F F F",
                           "F\tF\tF:F:F.F\tF:F:F.F\tF\tF",
                           "<TextSample sampleTime=\"F:F:F.F\" text=\"F\">"};
  for (const char* layout : layouts) {
    const std::string pattern = layout;
    const auto fields = static_cast<std::size_t>(std::count(pattern.begin(), pattern.end(), 'F'));
    for (std::size_t empty = 0; empty <= fields; ++empty) {
      // empty == fields leaves them all empty; otherwise only that one.
      std::string line;
      std::size_t seen = 0;
      for (char c : pattern) {
        if (c != 'F') {
          line += c;
        } else {
          if (empty != fields && seen != empty) line += "12";
          ++seen;
        }
      }
      SCOPED_TRACE(line);
      EveryReaderCopes({"SST 2.0", "[TITLES]", "fps=25", line, line, ""});
    }
  }
}

TEST(HostileInput, BinaryGarbage) {
  std::mt19937 random(20261208);
  for (int round = 0; round < 300; ++round) {
    std::string bytes(static_cast<std::size_t>(random() % 4096), '\0');
    for (char& c : bytes) c = static_cast<char>(random() % 256);
    // Sprinkle the characters the readers look for, so garbage reaches them.
    for (int i = 0; i < 40 && !bytes.empty(); ++i) {
      bytes[random() % bytes.size()] = ":,.[]{}|-> \t=\r\n"[random() % 16];
    }
    EveryReaderCopes(SplitLines(bytes));
  }
}

}  // namespace
}  // namespace vorlane
