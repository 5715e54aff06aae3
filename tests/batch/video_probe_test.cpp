#include "batch/video_probe.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <string>

#include "tests/support.h"

namespace vorlane {
namespace {

// The probes read in blocks of this many bytes; matches placed around it
// straddle two blocks.
constexpr std::size_t kBlock = 1 << 16;

std::string Le32(std::uint32_t v) {
  std::string s(4, '\0');
  for (int i = 0; i < 4; ++i) s[static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  return s;
}

// "strh", the chunk size, then a 64-byte stream header with scale at 20 and
// rate at 24. The other fields carry bytes that must not matter.
std::string StreamHeader(std::uint32_t scale, std::uint32_t rate) {
  std::string header = "vidsDIVX" + std::string(12, '\x7f') + Le32(scale) + Le32(rate);
  header.resize(64, '\x11');
  return "strh" + Le32(56) + header;
}

std::string AviWith(const std::string& headers, std::size_t at = 24) {
  std::string file = "RIFF" + Le32(1000) + "AVI LIST" + Le32(300) + "hdrl";
  file.resize(at, 'x');
  return file + headers + std::string(100, '\0');
}

// 00 00 01 B3, 12 bits of width, 12 of height, aspect ratio in the high
// nibble of the byte at 7 and the frame-rate code in its low nibble.
std::string SequenceHeader(unsigned code, unsigned aspect = 1) {
  return std::string("\x00\x00\x01\xB3", 4) + "\x2D\x01\xE0" +
         static_cast<char>((aspect << 4) | code) + std::string(8, '\xff');
}

struct ProbeCase {
  const char* name;
  std::string bytes;
  double fps;
};

class GetAVIFPSTest : public testing::TestWithParam<ProbeCase> {};

TEST_P(GetAVIFPSTest, Reads) {
  TempDir dir;
  const std::string path = dir.path() + "/film.avi";
  WriteFileBytes(path, GetParam().bytes);
  EXPECT_EQ(GetAVIFPS(path), GetParam().fps);
}

INSTANTIATE_TEST_SUITE_P(
    Headers, GetAVIFPSTest,
    testing::Values(
        ProbeCase{"WholeRate", AviWith(StreamHeader(1, 25)), 25},
        ProbeCase{"NtscRoundsToThreePlaces", AviWith(StreamHeader(1001, 30000)), 29.97},
        ProbeCase{"LargeRateDoesNotWrap", AviWith(StreamHeader(400000, 10000000)), 25},
        ProbeCase{"LargestRate", AviWith(StreamHeader(1, 0xFFFFFFFFu)), 4294967295.0},
        // 3 / 2000 is 1.5 thousandths and 5 / 2000 is 2.5: both go to 2.
        ProbeCase{"HalfThousandthUpToEven", AviWith(StreamHeader(2000, 3)), 0.002},
        ProbeCase{"HalfThousandthDownToEven", AviWith(StreamHeader(2000, 5)), 0.002},
        ProbeCase{"ScaleZeroGivesZero", AviWith(StreamHeader(0, 25)), 0},
        ProbeCase{"FirstHeaderWinsEvenWithScaleZero",
                  AviWith(StreamHeader(0, 25) + StreamHeader(1, 30)), 0},
        ProbeCase{"FirstHeaderWins", AviWith(StreamHeader(1, 24) + StreamHeader(1, 30)), 24},
        ProbeCase{"NoStreamHeader", AviWith(std::string(5000, 's')), 0}, ProbeCase{"Empty", "", 0},
        ProbeCase{"ShorterThanFourBytes", "str", 0},
        ProbeCase{"HeaderCutByEndOfFile", "xxstrh" + Le32(56) + std::string(60, '\1'), 0},
        ProbeCase{"StraddlesBlockByOne", AviWith(StreamHeader(1, 50), kBlock - 1), 50},
        ProbeCase{"StraddlesBlockByTwo", AviWith(StreamHeader(1, 50), kBlock - 2), 50},
        ProbeCase{"StraddlesBlockByThree", AviWith(StreamHeader(1, 50), kBlock - 3), 50},
        ProbeCase{"StartsAtSecondBlock", AviWith(StreamHeader(1, 50), kBlock), 50},
        ProbeCase{"FieldsInSecondBlock", AviWith(StreamHeader(1, 50), kBlock - 20), 50},
        ProbeCase{"FarIntoTheFile", AviWith(StreamHeader(1, 60), 5 * kBlock + 7), 60}),
    [](const auto& info) { return std::string(info.param.name); });

class GetMPGFPSTest : public testing::TestWithParam<ProbeCase> {};

TEST_P(GetMPGFPSTest, Reads) {
  TempDir dir;
  const std::string path = dir.path() + "/film.mpg";
  WriteFileBytes(path, GetParam().bytes);
  EXPECT_EQ(GetMPGFPS(path), GetParam().fps);
}

std::string Padded(std::size_t at, const std::string& header) {
  return std::string(at, '\x55') + header + std::string(50, '\x55');
}

INSTANTIATE_TEST_SUITE_P(
    Headers, GetMPGFPSTest,
    testing::Values(
        ProbeCase{"Code0", SequenceHeader(0), 0}, ProbeCase{"Code1", SequenceHeader(1), 23.976},
        ProbeCase{"Code2", SequenceHeader(2), 24}, ProbeCase{"Code3", SequenceHeader(3), 25},
        ProbeCase{"Code4", SequenceHeader(4), 29.97}, ProbeCase{"Code5", SequenceHeader(5), 30},
        ProbeCase{"Code6", SequenceHeader(6), 50}, ProbeCase{"Code7", SequenceHeader(7), 59.94},
        ProbeCase{"Code8", SequenceHeader(8), 60}, ProbeCase{"Code9", SequenceHeader(9), 0},
        ProbeCase{"Code15", SequenceHeader(15), 0},
        ProbeCase{"AspectNibbleIgnored", SequenceHeader(3, 0xF), 25},
        ProbeCase{"FirstHeaderWins", Padded(10, SequenceHeader(9) + SequenceHeader(3)), 0},
        ProbeCase{"PackHeaderBeforeSequence",
                  Padded(0, std::string("\x00\x00\x01\xBA\x44", 5) + SequenceHeader(2)), 24},
        ProbeCase{"NoSequenceHeader", std::string(3000, '\0'), 0},
        ProbeCase{"ShorterThanFourBytes", std::string("\x00\x00\x01", 3), 0},
        ProbeCase{"CodeByteBeyondEnd", std::string("\x00\x00\x01\xB3\x2D\x01\xE0", 7), 0},
        ProbeCase{"StraddlesBlockByOne", Padded(kBlock - 1, SequenceHeader(6)), 50},
        ProbeCase{"StraddlesBlockByThree", Padded(kBlock - 3, SequenceHeader(6)), 50},
        ProbeCase{"CodeByteInSecondBlock", Padded(kBlock - 5, SequenceHeader(8)), 60},
        ProbeCase{"FarIntoTheFile", Padded(3 * kBlock + 1, SequenceHeader(5)), 30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(VideoProbe, FileThatCannotBeOpenedRaisesNamingIt) {
  TempDir dir;
  const std::string missing = dir.path() + "/missing.avi";
  for (auto probe : {GetAVIFPS, GetMPGFPS}) {
    try {
      probe(missing);
      ADD_FAILURE() << "no error for a missing file";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(missing), std::string::npos) << e.what();
    }
    // A folder named like a video is an error too, not an empty video.
    EXPECT_THROW(probe(dir.path()), std::runtime_error);
  }
}

}  // namespace
}  // namespace vorlane
