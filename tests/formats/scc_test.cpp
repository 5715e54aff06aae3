#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "subtitles/formats/broadcast.h"
#include "subtitles/subtitles.h"
#include "tests/support.h"

namespace vorlane {
namespace {

// Text as CEA-608 byte pairs in hex, each byte with odd parity, padded with
// a null.
std::string Text(std::string_view text) {
  std::string hex;
  std::string bytes(text);
  if (bytes.size() % 2 != 0) bytes += '\0';
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    unsigned b = static_cast<unsigned char>(bytes[i]);
    if (__builtin_popcount(b) % 2 == 0) b |= 0x80;
    char two[3];
    std::snprintf(two, sizeof two, "%02x", b);
    if (i % 2 == 0 && !hex.empty()) hex += ' ';
    hex += two;
  }
  return hex;
}

TSubtitles Load(const std::vector<std::string>& lines) {
  std::string file = "Scenarist_SCC V1.0\r\n\r\n";
  for (const std::string& line : lines) file += line + "\r\n\r\n";
  TSubtitles doc;
  bool frame_based = false;
  EXPECT_TRUE(doc.LoadFromText(file, frame_based));
  EXPECT_EQ(doc.FormatRead(), sfSCC);
  return doc;
}

// Control codes of channel 1, parity set: RCL, EOC, EDM, RU2, RU3, CR, RDC,
// BS; row 15 at column 0, row 1, row 15 in italics.
constexpr const char* kRcl = "9420 9420";
constexpr const char* kEoc = "942f 942f";
constexpr const char* kEdm = "942c 942c";
constexpr const char* kRu2 = "9425 9425";
constexpr const char* kRu3 = "9426 9426";
constexpr const char* kCr = "94ad 94ad";
constexpr const char* kRdc = "9429 9429";
constexpr const char* kRow15 = "9470 9470";
constexpr const char* kRow1 = "91d0 91d0";

std::string At(const char* time, std::initializer_list<std::string> parts) {
  std::string line = std::string(time) + "\t";
  for (const std::string& part : parts) line += part + " ";
  line.pop_back();
  return line;
}

TEST(Scc, ControlSequencesAndWhatTheScreenShows) {
  const struct {
    const char* name;
    std::vector<std::string> lines;
    std::vector<SubtitleCue> cues;
  } cases[] = {
      {"pop-on shown at the end of caption, erased by EDM",
       {At("00:00:01:00", {kRcl, kRow15, Text("Hello"), kEoc}), At("00:00:03:00", {kEdm})},
       {{1000, 3000, "Hello"}}},
      {"pop-on caption replaced by the next one",
       {At("00:00:01:00", {kRcl, kRow15, Text("One"), kEoc}),
        At("00:00:02:00", {kRcl, kRow15, Text("Two"), kEoc}), At("00:00:03:00", {kEdm})},
       {{1000, 2000, "One"}, {2000, 3000, "Two"}}},
      {"a code sent twice is one code; sent again later, it counts",
       {At("00:00:01:00", {kRcl, kRow15, Text("ab"), "94a1 94a1 94a1", Text("c"), kEoc}),
        At("00:00:02:00", {kEdm})},
       {{1000, 2000, "c"}}},
      {"upper rows, italics from a preamble and a mid-row code",
       {At("00:00:01:00",
           {kRcl, kRow1, Text("top"), "94ce 94ce", Text("it"), "9120 9120", Text("x"), kEoc}),
        At("00:00:02:00", {kEdm})},
       {{1000, 2000, "top\r<i>it</i> x", 8}}},
      {"special and extended characters",
       {At("00:00:01:00", {kRcl, kRow15, "91b0 91b0", Text("e"), "92a1 92a1", "9137 9137", kEoc}),
        At("00:00:02:00", {kEdm})},
       {{1000, 2000, "®É♪"}}},
      {"roll-up: each carriage return shows the rows still visible",
       {At("00:00:01:00", {kRu2, kCr, kRow15, Text("first")}),
        At("00:00:02:00", {kRu2, kCr, kRow15, Text("second")}),
        At("00:00:03:00", {kRu2, kCr, kRow15, Text("third")}), At("00:00:04:00", {kEdm})},
       {{1000, 2000, "first"}, {2000, 3000, "first\rsecond"}, {3000, 4000, "second\rthird"}}},
      {"three roll-up rows keep one more",
       {At("00:00:01:00", {kRu3, kCr, kRow15, Text("a")}),
        At("00:00:02:00", {kRu3, kCr, kRow15, Text("b")}),
        At("00:00:03:00", {kRu3, kCr, kRow15, Text("c")}), At("00:00:04:00", {kEdm})},
       {{1000, 2000, "a"}, {2000, 3000, "a\rb"}, {3000, 4000, "a\rb\rc"}}},
      {"paint-on writes where it shows",
       {At("00:00:01:00", {kRdc, kRow15, Text("Lorem")}),
        At("00:00:02:00", {kRdc, kRow15, Text("Ipsum")}), At("00:00:03:00", {kEdm})},
       {{1000, 2000, "Lorem"}, {2000, 3000, "Ipsum"}}},
      {"channel 2 and parity errors",
       {At("00:00:01:00", {kRcl, kRow15, Text("ok"), "1c20 1c20", Text("no"), kRcl, "c380", kEoc}),
        At("00:00:02:00", {kEdm})},
       {{1000, 2000, "ok█"}}},
      {"drop-frame time codes count 29.97 frames a second",
       {At("00:01:00;02", {kRcl, kRow15, Text("df"), kEoc}), At("00:10:00;00", {kEdm})},
       {{60060, 599999, "df"}}},
      {"a caption never erased is shown two seconds",
       {At("00:00:01:00", {kRcl, kRow15, Text("end"), kEoc})},
       {{1000, 3000, "end"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Load(c.lines).Cues, c.cues);
  }
}

TEST(Scc, SevenBitFilesAndLinesThatAreNotCaptions) {
  // Written without parity: no character byte has its top bit set.
  TSubtitles doc = Load({"00:00:01:00\t9429 9429 94d2 94d2 4c6f 7265 6d2c", "not a time code",
                         "00:00:02:00\t942c 942c zz"});
  EXPECT_EQ(doc.Cues, (std::vector<SubtitleCue>{{1000, 2000, "Lorem,"}}));
  ASSERT_EQ(doc.Warnings.size(), 2u);
  EXPECT_EQ(doc.Warnings[0].line, 5);
  EXPECT_EQ(doc.Warnings[1].problem, "a word that is not a hex byte pair is left out");

  // A file whose channel 1 never shows a caption is SCC, and empty: its
  // lines are not read as time-coded text by another reader.
  doc = Load({"00:00:01:00\t942c 942c", "00:00:02:00\t1c20 1c20 " + Text("cc2") + " 1c2f 1c2f"});
  EXPECT_TRUE(doc.Cues.empty());

  // The classic reading keeps reading the lines by its own rules.
  TSubtitles classic;
  classic.SetClassicReading(true);
  bool frame_based = false;
  classic.LoadFromText("Scenarist_SCC V1.0\n\n00:00:01:00\t9420 9420\n", frame_based);
  EXPECT_NE(classic.FormatRead(), sfSCC);
}

}  // namespace
}  // namespace vorlane
