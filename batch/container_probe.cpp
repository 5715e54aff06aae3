#include "batch/container_probe.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <stdexcept>

namespace vorlane {

namespace {

// Every element or box header looked at counts; a file of millions of tiny
// boxes gives up here rather than take its time.
constexpr std::uint64_t kMaxVisits = std::uint64_t{1} << 20;

// Reads through a small cache and keeps count: once the allowance is spent,
// every read fails, and the probe answers "no rate".
class BoundedReader {
 public:
  BoundedReader(ProbeSource& source, std::uint64_t allowance)
      : source_(source), size_(source.Size()), allowance_(allowance) {}

  std::uint64_t Size() const { return size_; }
  void Allow(std::uint64_t more) { allowance_ += more; }

  // True when a visit is still allowed.
  bool Visit() { return ++visits_ <= kMaxVisits; }

  // Reads exactly size bytes at offset; false at the end of the file or of
  // the allowance.
  bool Read(std::uint64_t offset, unsigned char* data, std::size_t size) {
    if (offset > size_ || size > size_ - offset) return false;
    if (offset >= cached_from_ && offset - cached_from_ + size <= cached_) {
      std::memcpy(data, cache_.data() + (offset - cached_from_), size);
      return true;
    }
    if (size > cache_.size()) return Fetch(offset, data, size);
    // Reading on from the cache fills all of it; a jump to a distant header
    // (past a cluster or a media box) takes a little, so hops over a long
    // file cost little of the allowance.
    const bool onwards = offset >= cached_from_ && offset - cached_from_ <= cached_ + kNear;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(
        {std::max(onwards ? cache_.size() : kHop, size), size_ - offset, Left()}));
    if (want < size || !Fetch(offset, cache_.data(), want)) return false;
    cached_from_ = offset;
    cached_ = want;
    std::memcpy(data, cache_.data(), size);
    return true;
  }

  // Big-endian unsigned numbers of 1 to 8 bytes.
  bool ReadNumber(std::uint64_t offset, std::size_t size, std::uint64_t& value) {
    std::array<unsigned char, 8> bytes{};
    if (size == 0 || size > bytes.size() || !Read(offset, bytes.data(), size)) return false;
    value = 0;
    for (std::size_t i = 0; i < size; ++i) value = value << 8 | bytes[i];
    return true;
  }

 private:
  static constexpr std::size_t kHop = 1024;
  static constexpr std::uint64_t kNear = 4096;

  std::uint64_t Left() const { return allowance_ - spent_; }
  bool Fetch(std::uint64_t offset, unsigned char* data, std::size_t size) {
    if (size > Left()) return false;
    spent_ += size;
    return source_.ReadAt(offset, data, size) == size;
  }

  ProbeSource& source_;
  std::uint64_t size_;
  std::uint64_t allowance_;
  std::uint64_t spent_ = 0;
  std::uint64_t visits_ = 0;
  std::array<unsigned char, 1 << 14> cache_{};
  std::uint64_t cached_from_ = 0;
  std::size_t cached_ = 0;
};

// ---- Matroska and WebM ----

constexpr std::uint64_t kEbmlHeader = 0x1A45DFA3;
constexpr std::uint64_t kSegment = 0x18538067;
constexpr std::uint64_t kTracks = 0x1654AE6B;
constexpr std::uint64_t kTrackEntry = 0xAE;
constexpr std::uint64_t kTrackType = 0x83;
constexpr std::uint64_t kDefaultDuration = 0x23E383;
constexpr std::uint64_t kVideo = 0xE0;
constexpr std::uint64_t kFrameRate = 0x2383E3;
constexpr std::uint64_t kVideoTrack = 1;

struct Element {
  std::uint64_t id = 0;
  std::uint64_t data = 0;  // where its content starts
  std::uint64_t size = 0;
  bool unknown_size = false;
  std::uint64_t End() const { return data + size; }
};

// The length of the variable-size integer whose first byte is lead: one
// more than the zero bits in front of its marker bit. 0 when none is set.
std::size_t VintLength(unsigned char lead) {
  for (std::size_t length = 1; length <= 8; ++length) {
    if (lead & (0x80 >> (length - 1))) return length;
  }
  return 0;
}

// The element header at at, within a parent that ends at end. Its size may
// still reach past end; the caller decides what that means.
bool ReadElement(BoundedReader& r, std::uint64_t at, std::uint64_t end, Element& e) {
  if (at >= end || !r.Visit()) return false;
  unsigned char lead = 0;
  if (!r.Read(at, &lead, 1)) return false;
  const std::size_t id_length = VintLength(lead);
  if (id_length == 0 || id_length > 4 || !r.ReadNumber(at, id_length, e.id)) return false;
  const std::uint64_t size_at = at + id_length;
  if (!r.Read(size_at, &lead, 1)) return false;
  const std::size_t size_length = VintLength(lead);
  std::uint64_t size = 0;
  if (size_length == 0 || !r.ReadNumber(size_at, size_length, size)) return false;
  const std::uint64_t marker = std::uint64_t{1} << (7 * size_length);
  size &= marker - 1;
  e.unknown_size = size == marker - 1;
  e.size = e.unknown_size ? 0 : size;
  e.data = size_at + size_length;
  return e.data <= end;
}

// The rate of the track entry that holds the elements in [at, end), or -1
// when the entry is no video track.
double TrackEntryRate(BoundedReader& r, std::uint64_t at, std::uint64_t end) {
  std::uint64_t type = 0;
  std::uint64_t duration = 0;
  double frame_rate = 0;
  Element e;
  while (at < end) {
    if (!ReadElement(r, at, end, e) || e.unknown_size || e.size > end - e.data) return 0;
    if (e.id == kTrackType || e.id == kDefaultDuration) {
      std::uint64_t value = 0;  // an empty number is 0
      if (e.size > 0 && !r.ReadNumber(e.data, static_cast<std::size_t>(e.size), value)) return 0;
      (e.id == kTrackType ? type : duration) = value;
    } else if (e.id == kVideo) {
      Element v;
      for (std::uint64_t in = e.data; in < e.End(); in = v.End()) {
        if (!ReadElement(r, in, e.End(), v) || v.unknown_size || v.size > e.End() - v.data) {
          return 0;
        }
        if (v.id != kFrameRate) continue;
        std::uint64_t bits = 0;
        if (v.size == 4 && r.ReadNumber(v.data, 4, bits)) {
          float f = 0;
          const auto narrow = static_cast<std::uint32_t>(bits);
          std::memcpy(&f, &narrow, sizeof f);
          frame_rate = f;
        } else if (v.size == 8 && r.ReadNumber(v.data, 8, bits)) {
          std::memcpy(&frame_rate, &bits, sizeof frame_rate);
        }
      }
    }
    at = e.End();
  }
  if (type != kVideoTrack) return -1;
  if (duration > 0) return 1e9 / static_cast<double>(duration);
  return std::isfinite(frame_rate) && frame_rate > 0 ? frame_rate : 0;
}

double TracksRate(BoundedReader& r, std::uint64_t at, std::uint64_t end) {
  Element e;
  while (at < end) {
    if (!ReadElement(r, at, end, e) || e.unknown_size || e.size > end - e.data) return 0;
    if (e.id == kTrackEntry) {
      const double rate = TrackEntryRate(r, e.data, e.End());
      if (rate >= 0) return rate;
    }
    at = e.End();
  }
  return 0;
}

// ---- ISO base media ----

constexpr std::uint32_t Fourcc(const char (&s)[5]) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(s[0])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(s[3]));
}

struct Box {
  std::uint32_t type = 0;
  std::uint64_t data = 0;  // after the header
  std::uint64_t end = 0;
};

// The box at at within a parent that ends at end: a 32-bit size, a 64-bit
// one when that is 1, up to the parent's end when it is 0. False when the
// size is smaller than the header or reaches past the parent.
bool ReadBox(BoundedReader& r, std::uint64_t at, std::uint64_t end, Box& b) {
  if (at >= end || end - at < 8 || !r.Visit()) return false;
  std::uint64_t size = 0;
  std::uint64_t type = 0;
  if (!r.ReadNumber(at, 4, size) || !r.ReadNumber(at + 4, 4, type)) return false;
  std::uint64_t header = 8;
  if (size == 1) {
    header = 16;
    if (end - at < 16 || !r.ReadNumber(at + 8, 8, size)) return false;
  } else if (size == 0) {
    size = end - at;
  }
  if (size < header || size > end - at) return false;
  b.type = static_cast<std::uint32_t>(type);
  b.data = at + header;
  b.end = at + size;
  return true;
}

// A big-endian number of size bytes at offset in the content of b; false
// when b is too short to hold it.
bool Field(BoundedReader& r, const Box& b, std::uint64_t offset, std::size_t size,
           std::uint64_t& value) {
  return b.end - b.data >= offset + size && r.ReadNumber(b.data + offset, size, value);
}

// Calls f for each child box of [at, end) until f returns true; false when
// a child is malformed.
template <typename F>
bool EachBox(BoundedReader& r, std::uint64_t at, std::uint64_t end, F f) {
  Box b;
  while (at < end) {
    if (!ReadBox(r, at, end, b)) return false;
    if (f(b)) return true;
    at = b.end;
  }
  return true;
}

// The first child of type in [at, end).
bool FindBox(BoundedReader& r, std::uint64_t at, std::uint64_t end, std::uint32_t type,
             Box& found) {
  bool seen = false;
  EachBox(r, at, end, [&](const Box& b) {
    if (b.type == type) {
      found = b;
      seen = true;
    }
    return seen;
  });
  return seen;
}

// A box nested along path inside [at, end).
template <std::size_t N>
bool FindPath(BoundedReader& r, std::uint64_t at, std::uint64_t end,
              const std::array<std::uint32_t, N>& path, Box& found) {
  for (std::uint32_t type : path) {
    if (!FindBox(r, at, end, type, found)) return false;
    at = found.data;
    end = found.end;
  }
  return true;
}

struct VideoTrack {
  std::uint64_t id = 0;
  std::uint64_t time_scale = 0;
  std::uint64_t samples = 0;
  long double duration = 0;        // of all samples, in time-scale units
  std::uint64_t one_duration = 0;  // the duration of every sample, when they agree
  bool varying = false;
};

// The track in trak when it is a video track with a time scale.
bool ReadTrack(BoundedReader& r, const Box& trak, VideoTrack& track) {
  Box mdia, hdlr, mdhd, tkhd, stts;
  std::uint64_t handler = 0, version = 0;
  if (!FindBox(r, trak.data, trak.end, Fourcc("mdia"), mdia) ||
      !FindBox(r, mdia.data, mdia.end, Fourcc("hdlr"), hdlr) || !Field(r, hdlr, 8, 4, handler) ||
      handler != Fourcc("vide")) {
    return false;
  }
  if (!FindBox(r, mdia.data, mdia.end, Fourcc("mdhd"), mdhd) || !Field(r, mdhd, 0, 1, version) ||
      !Field(r, mdhd, (version == 1 ? 20 : 12), 4, track.time_scale) || track.time_scale == 0) {
    return false;
  }
  if (FindBox(r, trak.data, trak.end, Fourcc("tkhd"), tkhd) && Field(r, tkhd, 0, 1, version)) {
    Field(r, tkhd, (version == 1 ? 20 : 12), 4, track.id);
  }
  std::uint64_t entries = 0;
  if (!FindPath(r, mdia.data, mdia.end, std::array{Fourcc("minf"), Fourcc("stbl"), Fourcc("stts")},
                stts) ||
      !Field(r, stts, 4, 4, entries)) {
    return true;  // no sample table: a fragmented file, perhaps
  }
  // The entries that the box really holds, whatever its count says.
  const std::uint64_t room = stts.end - std::min(stts.end, stts.data + 8);
  entries = std::min(entries, room / 8);
  for (std::uint64_t i = 0; i < entries; ++i) {
    std::uint64_t count = 0, delta = 0;
    if (!Field(r, stts, 8 + 8 * i, 4, count) || !Field(r, stts, 12 + 8 * i, 4, delta)) {
      return false;
    }
    if (count == 0) continue;
    if (track.samples == 0) {
      track.one_duration = delta;
    } else if (delta != track.one_duration) {
      track.varying = true;
    }
    track.samples += count;
    track.duration += static_cast<long double>(count) * delta;
  }
  return true;
}

// The default sample duration a fragmented file gives the track: the first
// movie fragment's track fragment header, else the movie's track extends.
std::uint64_t FragmentDuration(BoundedReader& r, const Box& moov, std::uint64_t id) {
  std::uint64_t duration = 0;
  Box mvex;
  if (FindBox(r, moov.data, moov.end, Fourcc("mvex"), mvex)) {
    EachBox(r, mvex.data, mvex.end, [&](const Box& b) {
      std::uint64_t track = 0;
      if (b.type != Fourcc("trex") || !Field(r, b, 4, 4, track) || track != id) {
        return false;
      }
      Field(r, b, 12, 4, duration);
      return true;
    });
  }
  Box moof;
  if (!FindBox(r, moov.end, r.Size(), Fourcc("moof"), moof)) return duration;
  EachBox(r, moof.data, moof.end, [&](const Box& traf) {
    Box tfhd;
    std::uint64_t flags = 0, track = 0;
    if (traf.type != Fourcc("traf") || !FindBox(r, traf.data, traf.end, Fourcc("tfhd"), tfhd) ||
        !Field(r, tfhd, 1, 3, flags) || !Field(r, tfhd, 4, 4, track) || track != id) {
      return false;
    }
    if (flags & 0x8) {
      const std::uint64_t at = 8 + (flags & 0x1 ? 8 : 0) + (flags & 0x2 ? 4 : 0);
      std::uint64_t value = 0;
      if (Field(r, tfhd, at, 4, value) && value > 0) duration = value;
    }
    return true;
  });
  return duration;
}

// Rates that varying sample durations are rounded to.
constexpr std::array<double, 14> kCommonRates{
    12, 15, 24000.0 / 1001, 24, 25,  30000.0 / 1001,  30,
    48, 50, 60000.0 / 1001, 60, 100, 120000.0 / 1001, 120};

double NearestCommonRate(double rate) {
  double nearest = rate;
  double best = HUGE_VAL;
  for (double common : kCommonRates) {
    const double off = std::fabs(rate - common);
    if (off <= common * 0.001 && off < best) {
      nearest = common;
      best = off;
    }
  }
  return nearest;
}

}  // namespace

std::size_t MemoryProbeSource::ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) {
  if (offset >= bytes_.size()) return 0;
  const std::size_t n = std::min<std::uint64_t>(size, bytes_.size() - offset);
  std::memcpy(data, bytes_.data() + offset, n);
  return n;
}

double ExactFrameRate(double rate) {
  if (!std::isfinite(rate) || rate <= 0) return rate;
  const double whole = std::round(rate);
  if (whole > 0 && std::fabs(rate - whole) <= whole * 1e-4) return whole;
  const double n = std::round(rate * 1.001);
  const double ntsc = n * 1000 / 1001;
  if (n > 0 && std::fabs(rate - ntsc) <= ntsc * 1e-4) return ntsc;
  return rate;
}

double MatroskaFPS(ProbeSource& source) {
  BoundedReader r(source, kContainerProbeLimit);
  const std::uint64_t file_end = r.Size();
  Element e;
  if (!ReadElement(r, 0, file_end, e) || e.id != kEbmlHeader || e.unknown_size) return 0;
  std::uint64_t at = e.End();
  // The segment, after anything else at the top level; a segment cut short
  // (a download still running) is read as far as it goes.
  for (;;) {
    if (!ReadElement(r, at, file_end, e)) return 0;
    if (e.id == kSegment) break;
    if (e.unknown_size || e.size > file_end - e.data) return 0;
    at = e.End();
  }
  const std::uint64_t end = e.unknown_size ? file_end : std::min(file_end, e.End());
  at = e.data;
  while (at < end) {
    if (!ReadElement(r, at, end, e)) return 0;
    if (e.id == kTracks) {
      if (e.unknown_size || e.size > end - e.data) return 0;
      return ExactFrameRate(TracksRate(r, e.data, e.End()));
    }
    if (e.unknown_size) {
      // A cluster of a live stream: its children are walked as if they
      // were the segment's, up to whatever follows it.
      at = e.data;
      continue;
    }
    if (e.size > end - e.data) return 0;
    at = e.End();
  }
  return 0;
}

double IsoMediaFPS(ProbeSource& source) {
  BoundedReader r(source, kContainerProbeLimit);
  Box moov;
  if (!FindBox(r, 0, r.Size(), Fourcc("moov"), moov)) return 0;
  if (moov.end - moov.data > kMovieBoxLimit) return 0;
  r.Allow(moov.end - moov.data);
  VideoTrack track;
  bool found = false;
  EachBox(r, moov.data, moov.end, [&](const Box& b) {
    found = b.type == Fourcc("trak") && ReadTrack(r, b, track);
    return found;
  });
  if (!found) return 0;
  const double scale = static_cast<double>(track.time_scale);
  if (track.samples == 0) {
    const std::uint64_t duration = FragmentDuration(r, moov, track.id);
    return duration > 0 ? ExactFrameRate(scale / static_cast<double>(duration)) : 0;
  }
  if (!track.varying) {
    return track.one_duration > 0 ? ExactFrameRate(scale / static_cast<double>(track.one_duration))
                                  : 0;
  }
  if (track.duration <= 0) return 0;
  const double average =
      static_cast<double>(static_cast<long double>(track.samples) * scale / track.duration);
  return ExactFrameRate(NearestCommonRate(average));
}

double GetMatroskaFPS(const std::string& path) {
  FileProbeSource file(path);
  return MatroskaFPS(file);
}

double GetIsoMediaFPS(const std::string& path) {
  FileProbeSource file(path);
  return IsoMediaFPS(file);
}

FileProbeSource::FileProbeSource(const std::string& path) : path_(path) {
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd_ < 0) Fail(errno);
  struct stat st {};
  if (::fstat(fd_, &st) != 0) Fail(errno);
  // A folder, pipe or device named like a video is an error, not something
  // to wait on.
  if (S_ISDIR(st.st_mode)) Fail(EISDIR);
  if (!S_ISREG(st.st_mode)) Fail(EINVAL);
  size_ = static_cast<std::uint64_t>(st.st_size);
}

FileProbeSource::~FileProbeSource() {
  if (fd_ >= 0) ::close(fd_);
}

std::size_t FileProbeSource::ReadAt(std::uint64_t offset, unsigned char* data, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(fd_, data + done, size - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail(errno, "read");
    }
    if (got == 0) break;
    done += static_cast<std::size_t>(got);
  }
  return done;
}

void FileProbeSource::Fail(int error, const char* what) {
  throw std::runtime_error(std::string("Cannot ") + what + " file \"" + path_ + "\". " +
                           std::strerror(error));
}

}  // namespace vorlane
