#include "batch/video_probe.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "batch/container_probe.h"
#include "subtitles/timing.h"

namespace vorlane {

namespace {

// Real AVI and MPEG files carry their first stream or sequence header near
// the start; the search stops after this many bytes, so a huge (or sparse)
// video costs no more than a small one.
constexpr std::uint64_t kProbeLimit = std::uint64_t{16} << 20;

// A video file with a search for byte patterns near its start.
class VideoFile : public FileProbeSource {
 public:
  using FileProbeSource::FileProbeSource;

  // Offset of the first occurrence of pattern that lies wholly within the
  // first kProbeLimit bytes, searched block by block in increasing order.
  // The last pattern.size() - 1 bytes of each block are carried into the
  // next, so a match across two blocks is found as well. -1 when there is
  // none.
  std::int64_t Find(std::string_view pattern) {
    constexpr std::size_t kBlock = 1 << 16;
    const std::size_t keep = pattern.size() - 1;
    std::vector<unsigned char> buffer(kBlock + keep);
    std::size_t held = 0;         // bytes carried over at the front
    std::uint64_t held_from = 0;  // file offset of buffer[0]
    for (;;) {
      const std::uint64_t from = held_from + held;
      if (from >= kProbeLimit) return -1;
      const std::size_t want =
          static_cast<std::size_t>(std::min<std::uint64_t>(kBlock, kProbeLimit - from));
      const std::size_t got = ReadAt(from, buffer.data() + held, want);
      const std::size_t size = held + got;
      const std::string_view view(reinterpret_cast<const char*>(buffer.data()), size);
      const std::size_t at = view.find(pattern);
      if (at != std::string_view::npos) return static_cast<std::int64_t>(held_from + at);
      if (got == 0) return -1;
      const std::size_t carry = size < keep ? size : keep;
      std::memmove(buffer.data(), buffer.data() + size - carry, carry);
      held_from += size - carry;
      held = carry;
    }
  }
};

std::uint32_t LittleEndian32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// Frames per second by the MPEG frame-rate code: the decimal values as
// listed, not the fractions some of them stand for.
constexpr std::array<double, 16> kMpegFrameRates{0,  23.976, 24, 25, 29.97, 30, 50, 59.94,
                                                 60, 0,      0,  0,  0,     0,  0,  0};

}  // namespace

double GetAVIFPS(const std::string& path) {
  VideoFile file(path);
  const std::int64_t at = file.Find("strh");
  if (at < 0) return 0;
  // The stream header follows the identifier and the chunk size; of its 64
  // bytes, scale is at 20 and rate at 24.
  std::array<unsigned char, 64> header{};
  if (file.ReadAt(static_cast<std::uint64_t>(at) + 8, header.data(), header.size()) <
      header.size()) {
    return 0;  // cut off by the end of the file
  }
  const std::uint32_t scale = LittleEndian32(header.data() + 20);
  const std::uint32_t rate = LittleEndian32(header.data() + 24);
  if (scale == 0) return 0;
  // rate * 1000 in 64 bits cannot wrap and is exact as a double.
  const std::uint64_t thousandths = static_cast<std::uint64_t>(rate) * 1000;
  return static_cast<double>(
             RoundHalfEven(static_cast<double>(thousandths) / static_cast<double>(scale))) /
         1000;
}

double GetMPGFPS(const std::string& path) {
  VideoFile file(path);
  const std::int64_t at = file.Find(std::string_view("\x00\x00\x01\xB3", 4));
  if (at < 0) return 0;
  // The code is the low nibble of the byte after 12 bits of width, 12 of
  // height and 4 of aspect ratio.
  unsigned char byte = 0;
  if (file.ReadAt(static_cast<std::uint64_t>(at) + 7, &byte, 1) < 1) return 0;
  return kMpegFrameRates[byte & 0x0F];
}

}  // namespace vorlane
