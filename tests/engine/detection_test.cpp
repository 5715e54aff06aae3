#include "subtitles/detection.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

namespace vorlane {
namespace {

struct DetectCase {
  const char* name;
  LineList lines;
  TSubtitleFormat expected;
};

class DetectFormatTest : public testing::TestWithParam<DetectCase> {};

TEST_P(DetectFormatTest, Recognises) {
  EXPECT_EQ(DetectFormat(GetParam().lines), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, DetectFormatTest,
    testing::Values(
        DetectCase{"Empty", {}, sf0}, DetectCase{"PlainText", {"hello", "world"}, sf0},
        DetectCase{"TMPlayer", {"00:00:01:text"}, sfTMPlayer},
        DetectCase{"SubRip", {"1", "00:00:01,000 --> 00:00:04,000", "Hi", ""}, sfSubRipper},
        // Test 1 runs over every line before test 2 looks at any.
        DetectCase{"SubRipWithTMPlayerLikeText",
                   {"1", "00:00:01,000 --> 00:00:04,000", "10:20:30:"},
                   sfTMPlayer},
        DetectCase{"SubRipWithDotIsNotSubRip", {"00:00:01.000 --> 00:00:04.000"}, sf0},
        DetectCase{"SubRipThreeDigitHourIsNotSubRip", {"100:00:01,000 --> 100:00:04,000"}, sf0},
        DetectCase{"MPL2", {"[1][5]"}, sfMPL2},
        DetectCase{"MPL2NeedsSomethingBetween", {"[][5]"}, sf0},
        DetectCase{"MicroDVD", {"{1}{25}Hello"}, sfMicroDVD},
        DetectCase{"MicroDVDBeforeSSA", {"{1}{25}Hello", "Dialogue: x"}, sfMicroDVD},
        DetectCase{"AdvancedSSA", {"Dialogue: x"}, sfAdvancedSSA},
        DetectCase{"SAMI", {"<SAMI>"}, sfSAMI}, DetectCase{"ZeroG", {"% Zero G 1.0"}, sfZeroG},
        DetectCase{"Cheetah", {"*T 00:00:01:00"}, sfCheetah},
        DetectCase{"Ulead", {"#0001;00;00;01;00;00;00;04;00"}, sfUleadDVDWorkshop2},
        DetectCase{"SubViewer1", {"[00:00:01]"}, sfSubViewer1},
        DetectCase{"SubViewer2", {"00:00:01.00,00:00:04.00"}, sfSubViewer2},
        DetectCase{"ViPlay", {"00:00:01,000-00:00:04,000=text"}, sfViPlay},
        DetectCase{"TurboTitler", {"0:00:01.00,0:00:04.00,NTP text"}, sfTurboTitler},
        DetectCase{"MacSub", {"/100"}, sfMacSub}, DetectCase{"AQTitle", {"-->> 000025"}, sfAQTitle},
        DetectCase{"SSTScript", {"SST 2.0", "x", "[TITLES]"}, sfStreamSubTextScript},
        DetectCase{"SSTPlayerWins", {"SST 2.0", "[TITLES]", "[SCRIPT]"}, sfStreamSubTextPlayer},
        DetectCase{"SSTLinesBeforeAreNotSearched",
                   {"[SCRIPT]", "SST 2.0", "[TITLES]"},
                   sfStreamSubTextScript},
        DetectCase{"SSTWithoutSection", {"SST 2.0", "nothing"}, sf0},
        DetectCase{"SSTCaseSensitive", {"sst 2.0", "[TITLES]"}, sf0},
        DetectCase{"MPL", {"1234,6789,1,text"}, sfMPL},
        DetectCase{"TTXT", {"<TextSample sampleTime=\"00:00:01.000\">"}, sfTTXT}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DetectFormat, ManySSTLinesStayLinear) {
  // 200,000 "SST " lines with no section: a rescan per line would take
  // billions of steps; one pass takes milliseconds.
  LineList lines(200000, "SST 2.0");
  lines.push_back("[TITLES]");
  EXPECT_EQ(DetectFormat(lines), sfStreamSubTextScript);
  lines.back() = "none";
  EXPECT_EQ(DetectFormat(lines), sf0);
}

// The rules as written: each test walks every line before the next test
// runs, and test 16 searches from every "SST " line on.
TSubtitleFormat DetectSequentially(const LineViews& lines) {
  auto first_passing = [&](std::span<const DetectionTest> tests) -> std::optional<TSubtitleFormat> {
    for (const auto& test : tests) {
      for (const auto line : lines) {
        if (test.passes(line)) return test.value;
      }
    }
    return std::nullopt;
  };
  if (auto found = first_passing(LineTestsBeforeStreamSubText())) return *found;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!StartsWith(lines[i], "SST ")) continue;
    for (std::size_t j = i; j < lines.size(); ++j) {
      if (StartsWith(lines[j], "[SCRIPT]")) return sfStreamSubTextPlayer;
    }
    for (std::size_t j = i; j < lines.size(); ++j) {
      if (StartsWith(lines[j], "[TITLES]")) return sfStreamSubTextScript;
    }
  }
  if (auto found = first_passing(LineTestsAfterStreamSubText())) return *found;
  return sf0;
}

TEST(DetectFormat, OnePassAgreesWithTheRulesAsWritten) {
  // Lines that pass one test each, mixed at random with plain text.
  const std::vector<std::string> pieces = {"00:00:01:text",
                                           "00:00:01,000 --> 00:00:04,000",
                                           "[1][5]",
                                           "{1}{25}Hi",
                                           "Dialogue: x",
                                           "<SAMI>",
                                           "% Zero G",
                                           "*T 00:00:01:00",
                                           "#0001;00;00;01;00;00;00;04;00",
                                           "[00:00:01]",
                                           "00:00:01.00,00:00:04.00",
                                           "00:00:01,000-00:00:04,000=t",
                                           "0:00:01.00,0:00:04.00,NTP t",
                                           "/100",
                                           "-->> 000025",
                                           "SST 2.0",
                                           "[SCRIPT]",
                                           "[TITLES]",
                                           "1234,6789,1,t",
                                           "<TextSample x>",
                                           "plain",
                                           "",
                                           "SST",
                                           "[]["};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    LineList lines(random() % 8);
    for (auto& line : lines) {
      line = random() % 3 == 0 ? pieces[random() % pieces.size()] : "plain text line";
    }
    ASSERT_EQ(DetectFormat(lines), DetectSequentially(lines)) << testing::PrintToString(lines);
  }
}

}  // namespace
}  // namespace vorlane
