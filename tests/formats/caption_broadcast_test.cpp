#include <gtest/gtest.h>

#include "subtitles/formats/formats.h"
#include "tests/formats/writer_bytes.h"

namespace vorlane {
namespace {

const std::string kJacoHeader =
    "#T100\r\n\r\n# Directive entries\r\n#D\r\n"
    "#D1\r\n#D2\r\n#D3\r\n#D4\r\n#D5\r\n#D6\r\n#D7\r\n#D8\r\n#D9\r\n#D10\r\n"
    "#D11\r\n#D12\r\n#D13\r\n#D14\r\n#D15\r\n#D16\r\n#D17\r\n#D18\r\n#D19\r\n#D20\r\n"
    "#D21\r\n#D22\r\n#D23\r\n#D24\r\n#D25\r\n#D26\r\n#D27\r\n#D28\r\n#D29\r\n"
    "\r\n";

const std::string kRealTimeHeader =
    "<Window\r\n"
    "  Width    = \"640\"\r\n"
    "  Height   = \"480\"\r\n"
    "  WordWrap = \"true\"\r\n"
    "  Loop     = \"true\"\r\n"
    "  bgcolor  = \"black\"\r\n"
    ">\r\n"
    "<Font\r\n"
    "  Color = \"white\"\r\n"
    "  Face  = \"Arial\"\r\n"
    "  Size  = \"+2\"\r\n"
    ">\r\n"
    "<center>\r\n"
    "<b>\r\n"
    "\r\n";
const std::string kRealTimeFooter = "</b>\r\n</center>\r\n";

class CaptionBroadcastWriters : public testing::TestWithParam<WriterCase> {};

TEST_P(CaptionBroadcastWriters, WriteExactBytes) {
  EXPECT_EQ(WrittenBytes(GetParam().writer, GetParam().cues, GetParam().classic), GetParam().bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CaptionBroadcastWriters,
    testing::Values(
        // The line break is a backslash and the letter n.
        WriterCase{"JacoOneCue", WriteJACOSub2, kOneCue,
                   kJacoHeader + "1:01:01:50 1:01:04:00 {NTP} A\\nB\r\n", true},
        WriterCase{"JacoThreeCues", WriteJACOSub2, kThreeCues,
                   kJacoHeader + "0:00:00:00 0:00:01:50 {NTP} x\r\n"
                                 "0:00:02:00 0:00:03:00 {NTP} \r\n"
                                 "100:00:00:05 100:02:03:45 {NTP} y\r\n",
                   true},
        WriterCase{"JacoEmpty", WriteJACOSub2, {}, kJacoHeader},

        WriterCase{"PowerPixelOneCue", WritePowerPixel, kOneCue,
                   "01:01:01:50\t01:01:04:00\r\nA\r\nB\r\n\r\n"},
        WriterCase{"PowerPixelThreeCues", WritePowerPixel, kThreeCues,
                   "00:00:00:00\t00:00:01:50\r\nx\r\n\r\n"
                   "00:00:02:00\t00:00:03:00\r\n\r\n\r\n"
                   "100:00:00:05\t100:02:03:45\r\ny\r\n\r\n"},
        WriterCase{"PowerPixelEmpty", WritePowerPixel, {}, ""},

        WriterCase{"RealTimeOneCue", WriteRealTime, kOneCue,
                   kRealTimeHeader +
                       "<Time begin=\"1:01:01.5\" end=\"01:01:04:00\" /><clear/>A<br>B\r\n" +
                       kRealTimeFooter,
                   true},
        // Tenths in both times: one digit after a point, two after a colon.
        WriterCase{"RealTimeTenths",
                   WriteRealTime,
                   {{1500, 3500, "Hi"}},
                   kRealTimeHeader +
                       "<Time begin=\"0:00:01.5\" end=\"00:00:03:05\" /><clear/>Hi\r\n" +
                       kRealTimeFooter,
                   true},
        // Tenths round halves to even (1.25 s to .2, 1.35 s to .4); from 950
        // ms on they carry into the seconds, minutes and hours.
        WriterCase{
            "RealTimeRoundingAndCarries",
            WriteRealTime,
            {{1250, 1350, "a"}, {1940, 1850, "b"}, {1950, 59950, "c"}, {3599950, 363599950, "d"}},
            kRealTimeHeader +
                "<Time begin=\"0:00:01.2\" end=\"00:00:01:04\" /><clear/>a\r\n"
                "<Time begin=\"0:00:01.9\" end=\"00:00:01:08\" /><clear/>b\r\n"
                "<Time begin=\"0:00:02.0\" end=\"00:01:00:00\" /><clear/>c\r\n"
                "<Time begin=\"1:00:00.0\" end=\"101:00:00:00\" /><clear/>d\r\n" +
                kRealTimeFooter,
            true},
        WriterCase{"RealTimeEmpty", WriteRealTime, {}, kRealTimeHeader + kRealTimeFooter},

        WriterCase{"ScantitleOneCue", WriteScantitle890, kOneCue,
                   "    1 01:01:01:50       01:01:04:00\r\nA\r\nB\r\n\r\n"},
        WriterCase{"ScantitleThreeCues", WriteScantitle890, kThreeCues,
                   "    1 00:00:00:00       00:00:01:50\r\nx\r\n\r\n"
                   "    2 00:00:02:00       00:00:03:00\r\n\r\n\r\n"
                   "    3 100:00:00:05       100:02:03:45\r\ny\r\n\r\n"},
        WriterCase{"ScantitleEmpty", WriteScantitle890, {}, ""},

        // The text first, then the time line, and nothing between cues.
        WriterCase{"SofniOneCue", WriteSofni, kOneCue, "A\r\nB\r\n01:01:01.50\\01:01:04.00\r\n"},
        WriterCase{"SofniThreeCues", WriteSofni, kThreeCues,
                   "x\r\n00:00:00.00\\00:00:01.50\r\n"
                   "\r\n00:00:02.00\\00:00:03.00\r\n"
                   "y\r\n100:00:00.05\\100:02:03.45\r\n"},
        WriterCase{"SofniEmpty", WriteSofni, {}, ""},

        WriterCase{"WincapsOneCue", WriteWincapsTextTimecoded, kOneCue,
                   "   0 01:01:01:50 01:01:04:00\r\nA\r\nB\r\n\r\n"},
        WriterCase{"WincapsThreeCues", WriteWincapsTextTimecoded, kThreeCues,
                   "   0 00:00:00:00 00:00:01:50\r\nx\r\n\r\n"
                   "   1 00:00:02:00 00:00:03:00\r\n\r\n\r\n"
                   "   2 100:00:00:05 100:02:03:45\r\ny\r\n\r\n"},
        WriterCase{"WincapsEmpty", WriteWincapsTextTimecoded, {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vorlane
