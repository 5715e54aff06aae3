// Frame rates of Matroska/WebM and ISO base media (MP4, M4V, MOV, 3GP)
// videos, read from their headers: the first video track's frame duration.
// Nothing is decoded. Each probe reads at most 16 MiB of the file, plus the
// movie box of an MP4 file when that box is no larger than 64 MiB, and
// visits a bounded number of elements, whatever the file holds; sizes read
// from the file never decide how much memory is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vorlane {

// Where a probe reads its bytes from.
class ProbeSource {
 public:
  virtual ~ProbeSource() = default;
  // The size of the whole file.
  virtual std::uint64_t Size() const = 0;
  // Reads up to size bytes at offset; fewer only at the end of the file.
  virtual std::size_t ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) = 0;
};

// Bytes held in memory, for tests and fuzzing. The bytes must outlive it.
class MemoryProbeSource : public ProbeSource {
 public:
  explicit MemoryProbeSource(std::string_view bytes) : bytes_(bytes) {}
  std::uint64_t Size() const override { return bytes_.size(); }
  std::size_t ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// A video file on disk, opened once for every probe. Opening anything but
// a regular file (a folder, pipe or device named like a video) fails, and
// so does a read error, with "Cannot open/read file ..." naming it.
class FileProbeSource : public ProbeSource {
 public:
  explicit FileProbeSource(const std::string& path);
  ~FileProbeSource() override;
  FileProbeSource(const FileProbeSource&) = delete;
  FileProbeSource& operator=(const FileProbeSource&) = delete;

  std::uint64_t Size() const override { return size_; }
  // Reads up to size bytes at offset; fewer only at the end of the file.
  std::size_t ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) override;

 private:
  [[noreturn]] void Fail(int error, const char* what = "open");

  std::string path_;
  int fd_ = -1;
  std::uint64_t size_ = 0;
};

// The most bytes a probe reads outside the movie box, and the largest movie
// box it reads.
inline constexpr std::uint64_t kContainerProbeLimit = std::uint64_t{16} << 20;
inline constexpr std::uint64_t kMovieBoxLimit = std::uint64_t{64} << 20;

// Frames per second of the first video track of a Matroska or WebM file:
// 1e9 / DefaultDuration (or its FrameRate element when it has no default
// duration), as an exact rate (ExactFrameRate). 0 when there is no such
// track or the file is not Matroska.
double MatroskaFPS(ProbeSource& source);

// Frames per second of the first video track of an ISO base media file
// (MP4, M4V, MOV, 3GP): its time scale over its one sample duration, or over
// the average of varying durations (rounded to a common rate within 0.1 %);
// a fragmented file's default sample duration (tfhd, else trex). 0 when
// there is no movie box, no video track or no duration.
double IsoMediaFPS(ProbeSource& source);

// The same for the file at path. Raise std::runtime_error naming the file
// when it cannot be opened or read, or is not a regular file.
double GetMatroskaFPS(const std::string& path);
double GetIsoMediaFPS(const std::string& path);

// rate, or the exact rate it stands for when it lies within 0.01 % of a
// whole number or of n * 1000 / 1001 for a whole n: 41708333 ns per frame
// gives 23.97602..., taken as 24000.0 / 1001.
double ExactFrameRate(double rate);

}  // namespace vorlane
