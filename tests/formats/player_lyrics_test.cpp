#include <gtest/gtest.h>

#include "subtitles/decimal.h"
#include "subtitles/formats/formats.h"
#include "subtitles/formats/writer_rules_ext.h"
#include "tests/formats/writer_bytes.h"

namespace vorlane {
namespace {

const std::string kLrcHeader =
    "[ti:Project title]\r\n[ar:Project author]\r\n[la:af]\r\nProject title\r\n\r\n";

const std::string kVktHeader =
    "# <HEAD>\r\n"
    "# FRAME RATE=MP3\r\n"
    "# CREATOR=Project author\r\n"
    "# VIDEO SOURCE=C:\\Video.avi\r\n"
    "# DATE=2001-01-01\r\n"
    "# </HEAD>\r\n"
    "#\r\n";
const std::string kVktFooter = "\r\n#\r\n# THE END.\r\n\r\n";

const std::string kQuickTimeHeader =
    "{QTtext} {font:Tahoma}\r\n"
    "{plain} {size:20}\r\n"
    "{timeScale:30}\r\n"
    "{width:160} {height:32}\r\n"
    "{timeStamps:absolute} {language:0}\r\n";

class PlayerLyricsWriters : public testing::TestWithParam<WriterCase> {};

TEST_P(PlayerLyricsWriters, WriteExactBytes) {
  // SubSonic writes with the program-wide separator; here the point, as
  // after the frame-rate prompt has closed.
  UseDotDecimalSeparator();
  EXPECT_EQ(WrittenBytes(GetParam().writer, GetParam().cues, GetParam().classic), GetParam().bytes);
  ResetDecimalSeparatorForTesting();
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PlayerLyricsWriters,
    testing::Values(
        // Minutes within the hour, hundredths after a colon, lines run
        // together.
        WriterCase{"LrcOneCue", WriteKaraokeLyricsLRC, kOneCue,
                   kLrcHeader + "[01:01:50]AB\r\n[01:04:00]\r\n", true},
        WriterCase{"LrcLosesWholeHours",
                   WriteKaraokeLyricsLRC,
                   {{3723450, 3725000, "A\rB"}},
                   kLrcHeader + "[02:03:45]AB\r\n[02:05:00]\r\n",
                   true},
        WriterCase{"LrcThreeCues", WriteKaraokeLyricsLRC, kThreeCues,
                   kLrcHeader + "[00:00:00]x\r\n[00:01:50]\r\n"
                                "[00:02:00]\r\n[00:03:00]\r\n"
                                "[00:00:05]y\r\n[02:03:45]\r\n",
                   true},
        WriterCase{"LrcEmpty", WriteKaraokeLyricsLRC, {}, kLrcHeader},

        WriterCase{"VktOneCue", WriteKaraokeLyricsVKT, kOneCue,
                   kVktHeader + "{366150 AB}\r\n{366400 }\r\n" + kVktFooter},
        // At least five digits, more when the time needs them.
        WriterCase{
            "VktCentiseconds",
            WriteKaraokeLyricsVKT,
            {{1500, 3250, "Hi"}, {12345670, 12346000, ""}},
            kVktHeader + "{00150 Hi}\r\n{00325 }\r\n{1234567 }\r\n{1234600 }\r\n" + kVktFooter},
        WriterCase{"VktEmpty", WriteKaraokeLyricsVKT, {}, kVktHeader + kVktFooter},

        WriterCase{"OvrOneCue", WriteOVRScript, kOneCue, "01:01:01:50 A//B\r\n01:01:04:00\r\n"},
        WriterCase{"OvrThreeCues", WriteOVRScript, kThreeCues,
                   "00:00:00:00 x\r\n00:00:01:50\r\n"
                   "00:00:02:00 \r\n00:00:03:00\r\n"
                   "100:00:00:05 y\r\n100:02:03:45\r\n"},
        WriterCase{"OvrEmpty", WriteOVRScript, {}, ""},

        WriterCase{"PowerDivXOneCue", WritePowerDivX, kOneCue, "{1:01:01}{1:01:04}A|B\r\n"},
        // The fraction is dropped, not rounded: 1.99 s stays 1 s.
        WriterCase{"PowerDivXDropsFraction",
                   WritePowerDivX,
                   {{3661990, 3664000, "Hi"}},
                   "{1:01:01}{1:01:04}Hi\r\n"},
        WriterCase{"PowerDivXThreeCues", WritePowerDivX, kThreeCues,
                   "{0:00:00}{0:00:01}x\r\n{0:00:02}{0:00:03}\r\n{100:00:00}{100:02:03}y\r\n"},
        WriterCase{"PowerDivXEmpty", WritePowerDivX, {}, ""},

        WriterCase{"QuickTimeOneCue", WriteQuickTimeText, kOneCue,
                   kQuickTimeHeader + "[01:01:01:50]A B\r\n[01:01:04:00]\r\n"},
        WriterCase{"QuickTimeThreeCues", WriteQuickTimeText, kThreeCues,
                   kQuickTimeHeader + "[00:00:00:00]x\r\n[00:00:01:50]\r\n"
                                      "[00:00:02:00]\r\n[00:00:03:00]\r\n"
                                      "[100:00:00:05]y\r\n[100:02:03:45]\r\n"},
        WriterCase{"QuickTimeEmpty", WriteQuickTimeText, {}, kQuickTimeHeader},

        WriterCase{"SubCreatorOneCue", WriteSubCreator1x, kOneCue,
                   "01:01:01.5:A|B\r\n01:01:04.0\r\n"},
        // 3.25 s gives Round(2.5) = 2 tenths; from 950 ms on the tenths
        // carry into the seconds, minutes and hours.
        WriterCase{
            "SubCreatorTenths",
            WriteSubCreator1x,
            {{1500, 3250, "Hi"}, {1940, 1350, ""}, {1950, 59950, "c"}, {3599950, 363599950, "d"}},
            "00:00:01.5:Hi\r\n00:00:03.2\r\n"
            "00:00:01.9:\r\n00:00:01.4\r\n"
            "00:00:02.0:c\r\n00:01:00.0\r\n"
            "01:00:00.0:d\r\n101:00:00.0\r\n"},
        WriterCase{"SubCreatorEmpty", WriteSubCreator1x, {}, ""},

        WriterCase{"SubSonicOneCue", WriteSubSonic, kOneCue,
                   "1 36615.00 \\ ~:\\A B\r\n1 36640.00\r\n"},
        WriterCase{"SubSonicTenthsOfSeconds",
                   WriteSubSonic,
                   {{1500, 3250, "Hello"}},
                   "1 15.00 \\ ~:\\Hello\r\n1 32.50\r\n"},
        WriterCase{"SubSonicThreeCues", WriteSubSonic, kThreeCues,
                   "1 0.00 \\ ~:\\x\r\n1 15.00\r\n"
                   "1 20.00 \\ ~:\\\r\n1 30.00\r\n"
                   "1 3600000.50 \\ ~:\\y\r\n1 3601234.50\r\n"},
        WriterCase{"SubSonicEmpty", WriteSubSonic, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TenthsOfSecond, TwoDecimalsWithTheGivenSeparator) {
  const struct {
    std::int64_t ms;
    char separator;
    const char* text;
  } cases[] = {
      {1500, '.', "15.00"},
      {3250, ',', "32,50"},
      {10, '.', "0.10"},
      {-50, ',', "-0,50"},
      {21474836470, '.', "214748364.70"},
      // Milliseconds are the hundredths of the tenths.
      {1234, '.', "12.34"},
      {1, ',', "0,01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ms);
    EXPECT_EQ(TenthsOfSecond(c.ms, c.separator), c.text);
  }
}

}  // namespace
}  // namespace vorlane
