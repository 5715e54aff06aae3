#include "batch/container_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <stdexcept>
#include <string>

#include "batch/batch_driver.h"
#include "tests/support.h"

namespace vorlane {
namespace {

constexpr double kFilm = 24000.0 / 1001;
const std::string kVideos = VORLANE_TEST_DATA "/videos/";

std::string Be(std::uint64_t v, int bytes) {
  std::string s;
  // Bytes beyond the eighth are the zeros in front of a 64-bit number.
  for (int i = bytes - 1; i >= 0; --i) s += static_cast<char>(i >= 8 ? 0 : v >> (8 * i));
  return s;
}

// Matroska elements: the ID as written, then an eight-byte size.
std::string El(std::uint32_t id, const std::string& body) {
  std::string out;
  for (int i = 3; i >= 0; --i) {
    if (id >> (8 * i) != 0) out += static_cast<char>(id >> (8 * i));
  }
  return out + '\x01' + Be(body.size(), 7) + body;
}
std::string UInt(std::uint32_t id, std::uint64_t v) {
  return El(id, Be(v, 8));
}
const std::string kUnknownSize = "\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFF";
const std::string kEbml = El(0x1A45DFA3, El(0x4282, "webm"));
std::string Track(std::uint64_t type, const std::string& rest) {
  return El(0xAE, UInt(0xD7, 1) + UInt(0x83, type) + rest);
}
std::string Mkv(const std::string& tracks, const std::string& before = "") {
  return kEbml + El(0x18538067, before + El(0x1654AE6B, tracks));
}

// ISO base media boxes.
std::string Box(const char* type, const std::string& body) {
  return Be(body.size() + 8, 4) + type + body;
}
std::string Mp4(std::uint32_t scale, const std::string& stts_entries, const char* handler = "vide",
                const std::string& after_trak = "") {
  const std::string mdia =
      Box("mdhd", Be(0, 12) + Be(scale, 4) + Be(0, 8)) +
      Box("hdlr", Be(0, 8) + handler + Be(0, 12)) +
      Box("minf",
          Box("stbl", Box("stts", Be(0, 4) + Be(stts_entries.size() / 8, 4) + stts_entries)));
  return Box("ftyp", "isom") +
         Box("moov",
             Box("trak", Box("tkhd", Be(0, 12) + Be(1, 4)) + Box("mdia", mdia)) + after_trak);
}
std::string Stts(std::uint32_t count, std::uint32_t delta) {
  return Be(count, 4) + Be(delta, 4);
}

using Probe = double (*)(ProbeSource&);
struct BytesCase {
  const char* name;
  Probe probe;
  std::string bytes;
  double fps;
};

TEST(ContainerProbe, ReadsHandMadeHeadersAndRefusesBrokenOnes) {
  const std::string audio = Track(2, UInt(0x23E383, 20000000));
  const std::string film = Track(1, UInt(0x23E383, 41708333));
  const BytesCase cases[] = {
      {"MkvRoundedNanosecondsAreExact", MatroskaFPS, Mkv(film), kFilm},
      {"MkvFirstVideoTrackAfterAudio", MatroskaFPS, Mkv(audio + Track(1, UInt(0x23E383, 20000000))), 50},
      {"MkvFrameRateWithoutDuration", MatroskaFPS,
       Mkv(Track(1, El(0xE0, El(0x2383E3, std::string("\x41\xC8\0\0", 4))))), 25},
      {"MkvClustersBeforeTracks", MatroskaFPS, Mkv(film, El(0x1F43B675, std::string(900, 'c'))),
       kFilm},
      {"MkvUnknownSizeCluster", MatroskaFPS,
       kEbml + "\x18\x53\x80\x67" + kUnknownSize + "\x1F\x43\xB6\x75" + kUnknownSize +
           El(0xA3, "block") + El(0x1654AE6B, film),
       kFilm},
      {"MkvAudioOnly", MatroskaFPS, Mkv(audio), 0},
      {"MkvNoDuration", MatroskaFPS, Mkv(Track(1, "")), 0},
      {"MkvNotEbml", MatroskaFPS, Box("ftyp", "isom"), 0},
      {"MkvEmpty", MatroskaFPS, "", 0},
      {"MkvTracksLargerThanSegment", MatroskaFPS,
       kEbml + El(0x18538067, "\x16\x54\xAE\x6B\xFE" + film), 0},
      {"MkvEntryLargerThanTracks", MatroskaFPS, Mkv("\xAE\xFE" + film), 0},
      {"MkvTracksOfUnknownSize", MatroskaFPS,
       kEbml + El(0x18538067, "\x16\x54\xAE\x6B" + kUnknownSize + film), 0},
      {"MkvNumberOfNineBytes", MatroskaFPS, Mkv(Track(1, El(0x23E383, std::string(9, 1)))), 0},
      {"MkvZeroIdByte", MatroskaFPS, kEbml + std::string(40, '\0'), 0},
      {"MkvCutInTracks", MatroskaFPS, Mkv(film).substr(0, Mkv(film).size() - 5), 0},
      {"Mp4OneDuration", IsoMediaFPS, Mp4(24000, Stts(24, 1001)), kFilm},
      {"Mp4VaryingDurationsAverage", IsoMediaFPS,
       Mp4(90000, Stts(23, 3754) + Stts(1, 3760) + Stts(0, 7)), kFilm},
      {"Mp4VaryingFarFromCommon", IsoMediaFPS, Mp4(1000, Stts(1, 40) + Stts(1, 60)), 20},
      {"Mp4NtscTimeScale", IsoMediaFPS, Mp4(2997, Stts(10, 100)), 30000.0 / 1001},
      {"Mp4MoovAfterLargeSizeMdat", IsoMediaFPS,
       Be(1, 4) + "mdat" + Be(16 + 3, 8) + "abc" + Mp4(25, Stts(5, 1)), 25},
      {"Mp4SoundOnly", IsoMediaFPS, Mp4(48000, Stts(5, 1024), "soun"), 0},
      {"Mp4ZeroDuration", IsoMediaFPS, Mp4(25, Stts(5, 0)), 0},
      {"Mp4NoMoov", IsoMediaFPS, Box("ftyp", "isom") + Box("mdat", "x"), 0},
      {"Mp4BoxSmallerThanHeader", IsoMediaFPS, Be(4, 4) + "free" + Mp4(25, Stts(1, 1)), 0},
      {"Mp4LargeSizeSmallerThanHeader", IsoMediaFPS,
       Be(1, 4) + "free" + Be(8, 8) + Mp4(25, Stts(1, 1)), 0},
      {"Mp4MoovLargerThanFile", IsoMediaFPS, Be(1000, 4) + "moov" + Mp4(25, Stts(1, 1)), 0},
      {"Mp4EntryCountBeyondBox", IsoMediaFPS,
       [] {
         std::string m = Mp4(25, "");
         m.replace(m.size() - 4, 4, Be(0xFFFFFFFF, 4));
         return m;
       }(),
       0},
      {"Mp4CutShort", IsoMediaFPS, Mp4(25, Stts(1, 1)).substr(0, 60), 0},
  };
  for (const BytesCase& c : cases) {
    SCOPED_TRACE(c.name);
    MemoryProbeSource source(c.bytes);
    EXPECT_EQ(c.probe(source), c.fps);
  }
}

// A huge file that repeats a few bytes after its head, read without being
// held anywhere; it counts what the probe reads.
class RepeatingSource : public ProbeSource {
 public:
  RepeatingSource(std::string head, std::string fill) : head_(head), fill_(fill) {}
  std::uint64_t Size() const override { return std::uint64_t{1} << 40; }
  std::size_t ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) override {
    read += size;
    for (std::size_t i = 0; i < size; ++i, ++offset) {
      data[i] = static_cast<unsigned char>(
          offset < head_.size() ? head_[offset] : fill_[(offset - head_.size()) % fill_.size()]);
    }
    return size;
  }
  std::uint64_t read = 0;

 private:
  std::string head_, fill_;
};

TEST(ContainerProbe, HugeAndLoopingFilesEndWithinTheReadLimit) {
  const std::string segment = "\x18\x53\x80\x67" + kUnknownSize;
  const struct {
    const char* name;
    Probe probe;
    std::string head, fill;
  } cases[] = {
      {"TinyBoxesForEver", IsoMediaFPS, "", Box("free", "")},
      {"MoovOfAGigabyteAtTheEnd", IsoMediaFPS,
       Be(1, 4) + "mdat" + Be((std::uint64_t{1} << 40) - (1 << 30), 8), Be(1 << 30, 4) + "moov"},
      {"ClustersOfUnknownSizeForEver", MatroskaFPS, kEbml + segment,
       "\x1F\x43\xB6\x75" + kUnknownSize},
      {"MegabyteVoidsForEver", MatroskaFPS, kEbml + segment, El(0xEC, std::string(1 << 20, 0))},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    RepeatingSource source(c.head, c.fill);
    EXPECT_EQ(c.probe(source), 0);
    EXPECT_LE(source.read, kContainerProbeLimit);
  }
}

TEST(ContainerProbe, CommittedVideosGiveTheExactRate) {
  // Made by scripts/make-test-videos.sh at 24000/1001 frames per second.
  for (const char* name : {"moov-front.mp4", "moov-end.mp4", "fragmented.mp4", "clip.mov",
                           "clip.3gp", "clip.mkv", "clip.webm"}) {
    SCOPED_TRACE(name);
    const double fps = ProbeVideo(kVideos + name);
    EXPECT_EQ(fps, kFilm);
    // Frame 1,000,000 begins 41708.3333... seconds in: 11:35:08.333, not
    // the .375 of 23.976 frames per second.
    EXPECT_EQ(std::llround(1e6 / fps * 1000), 41708333);
  }
  EXPECT_THROW(GetMatroskaFPS(kVideos + "missing.mkv"), std::runtime_error);
  EXPECT_THROW(GetIsoMediaFPS(kVideos), std::runtime_error);
}

TEST(ContainerProbe, ClassicProbesGiveExactRatesOutsideTheClassicMode) {
  TempDir dir;
  const std::string mpg = dir.path() + "/film.MPG";
  // A sequence header with frame-rate code 1: 23.976.
  WriteFileBytes(mpg, std::string("\0\0\1\xB3\x2D\x01\xE0\x11", 8) + std::string(8, '\xff'));
  EXPECT_EQ(ProbeVideo(mpg), kFilm);
  EXPECT_EQ(ProbeVideo(mpg, true), 23.976);
}

TEST(ContainerProbe, ExactRates) {
  const std::pair<double, double> cases[] = {{23.976, kFilm},
                                             {29.97, 30000.0 / 1001},
                                             {59.94, 60000.0 / 1001},
                                             {1e9 / 41708333, kFilm},
                                             {25.002, 25},
                                             {119.88, 120000.0 / 1001},
                                             {23.99, 23.99},
                                             {24.01, 24.01},
                                             {0, 0},
                                             {0.5, 0.5},
                                             {1000.05, 1000},
                                             {12.5, 12.5}};
  for (const auto& [rate, exact] : cases) EXPECT_EQ(ExactFrameRate(rate), exact) << rate;
}

}  // namespace
}  // namespace vorlane
