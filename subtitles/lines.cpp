#include "subtitles/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/output_sink.h"

namespace vorlane {

namespace {

constexpr std::size_t kBlock = 64;

#if defined(__SSE2__)
// One bit for each byte of the 64 at p that equals a or b.
std::uint64_t BytesEqual(const char* p, char a, char b) {
  const __m128i va = _mm_set1_epi8(a);
  const __m128i vb = _mm_set1_epi8(b);
  std::uint64_t bits = 0;
  for (int k = 0; k < 4; ++k) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * k));
    const int m = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, va), _mm_cmpeq_epi8(v, vb)));
    bits |= static_cast<std::uint64_t>(static_cast<unsigned>(m)) << (16 * k);
  }
  return bits;
}
#else
std::uint64_t BytesEqual(const char* p, char a, char b) {
  std::uint64_t bits = 0;
  for (std::size_t k = 0; k < kBlock; ++k) {
    bits |= static_cast<std::uint64_t>(p[k] == a || p[k] == b) << k;
  }
  return bits;
}
#endif

// How many bytes of text equal c.
std::size_t CountByte(std::string_view text, char c) {
  const char* p = text.data();
  const char* const end = p + text.size();
  std::size_t n = 0;
  for (; end - p >= static_cast<std::ptrdiff_t>(kBlock); p += kBlock) {
    n += static_cast<std::size_t>(std::popcount(BytesEqual(p, c, c)));
  }
  for (; p < end; ++p) n += *p == c;
  return n;
}

}  // namespace

LineScanner::LineScanner(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  begin_ = start_ = text.data();
  end_ = begin_ + text.size();
}

const char* LineScanner::NextBreak(const char* from) {
  // Lines are short: the breaks of a whole block are found at once, and
  // each line takes its end from them instead of searching anew.
  for (;;) {
    if (block_ != nullptr) {
      const auto offset = static_cast<std::size_t>(from - block_);
      if (offset < kBlock) {
        const std::uint64_t ahead = breaks_ & (~std::uint64_t{0} << offset);
        if (ahead != 0) return block_ + std::countr_zero(ahead);
        from = block_ + kBlock;
      }
    }
    if (end_ - from < static_cast<std::ptrdiff_t>(kBlock)) {
      block_ = nullptr;
      while (from < end_ && *from != '\r' && *from != '\n') ++from;
      return from;
    }
    block_ = from;
    breaks_ = BytesEqual(from, '\r', '\n');
  }
}

LineViews SplitLineViews(std::string_view text) {
  LineScanner scanner(text);
  // One allocation for the whole array, sized from a count of the LF (or,
  // in a file without any, CR) line ends: growing it step by step would
  // copy it a dozen times and hold two copies at the last step.
  std::size_t ends = CountByte(scanner.text(), '\n');
  if (ends == 0) ends = CountByte(scanner.text(), '\r');
  // Trailing empty lines are not counted for the array: the bytes from the
  // last one that is not a line break on hold no line worth keeping.
  const std::string_view whole = scanner.text();
  const std::size_t last = whole.find_last_not_of("\r\n");
  const std::string_view tail = last == std::string_view::npos ? whole : whole.substr(last + 1);
  const std::size_t tail_ends = std::max(CountByte(tail, '\n'), CountByte(tail, '\r'));
  ends = ends - std::min(ends, tail_ends) + std::min(tail_ends, kTrailingEmptyLinesKept) + 1;
  LineViews lines;
  lines.reserve(ends + 1);
  std::string_view line;
  const char* const tail_start = whole.data() + (last == std::string_view::npos ? 0 : last + 1);
  std::size_t tail_empty = 0;
  while (scanner.Next(line)) {
    if (line.empty() && line.data() >= tail_start && ++tail_empty > kTrailingEmptyLinesKept) {
      break;  // only empty lines follow
    }
    lines.push_back(line);
  }
  return lines;
}

bool IsBlankText(std::string_view text) {
  if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return text.find_first_not_of(std::string_view(" \t\f\v\r\n\0", 7)) == std::string_view::npos;
}

bool TextAfterNul(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul == std::string_view::npos) return false;
  return text.find_first_not_of(std::string_view(" \t\f\v\r\n\0", 7), nul) !=
         std::string_view::npos;
}

std::size_t ReplaceNulBytes(std::string_view text, std::string& out, int& first_line) {
  std::size_t at = text.find('\0');
  if (at == std::string_view::npos) return 0;
  std::string_view head = text.substr(0, at);
  first_line = 1 + static_cast<int>(CountByte(head, '\n'));
  if (first_line == 1) first_line += static_cast<int>(CountByte(head, '\r'));
  std::string_view signature = text;
  if (signature.starts_with("\xEF\xBB\xBF")) signature.remove_prefix(3);
  const bool webvtt = signature.starts_with("WEBVTT");
  const std::size_t count = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\0'));
  std::string cleaned;
  cleaned.reserve(webvtt ? text.size() + 2 * count : text.size() - count);
  std::size_t from = 0;
  for (; at != std::string_view::npos; from = at + 1, at = text.find('\0', from)) {
    cleaned.append(text.substr(from, at - from));
    if (webvtt) cleaned.append("\xEF\xBF\xBD");
  }
  cleaned.append(text.substr(from));
  out = std::move(cleaned);
  return count;
}

LineList SplitLines(std::string_view text) {
  const LineViews views = SplitLineViews(text);
  return LineList(views.begin(), views.end());
}

TextFile MakeTextFile(std::string bytes) {
  TextFile file{std::make_unique<std::string>(std::move(bytes)), {}};
  file.lines = SplitLineViews(*file.bytes);
  return file;
}

std::string JoinLines(const LineList& lines) {
  std::size_t total = 0;
  for (const auto& line : lines) total += line.size() + 2;
  std::string out;
  out.reserve(total);
  for (const auto& line : lines) {
    out.append(line);
    out.append("\r\n");
  }
  return out;
}

namespace {

std::string SystemMessage(int error) {
  return std::strerror(error);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadAllBytes(int fd, std::string& text, bool (*stop)()) {
  // Blocks of their own until the end, then one string of the exact size,
  // filled block by block while each is freed: the bytes are never held
  // twice, as they would be while a growing string moves to a bigger one.
  constexpr std::size_t kBlock = std::size_t{1} << 22;
  std::vector<std::unique_ptr<char[]>> blocks;
  std::size_t total = 0;
  for (;;) {
    blocks.emplace_back(new char[kBlock]);
    char* const block = blocks.back().get();
    std::size_t used = 0;
    while (used < kBlock) {
      const ssize_t got = ::read(fd, block + used, kBlock - used);
      if (got < 0) {
        if (errno == EINTR && !(stop != nullptr && stop())) continue;
        return false;
      }
      if (got == 0) break;
      used += static_cast<std::size_t>(got);
    }
    total += used;
    if (used < kBlock) break;
  }
  text.clear();
  text.reserve(total);
  for (auto& block : blocks) {
    text.append(block.get(), std::min(kBlock, total - text.size()));
    block.reset();
  }
  return true;
}

std::string ReadWholeFile(const std::string& path) {
  std::string text;
  ReadWholeFile(path, text);
  return text;
}

void ReadWholeFile(const std::string& path, std::string& text) {
  auto fail = [&](int error) {
    throw SubtitleError("Cannot open file \"" + path + "\". " + SystemMessage(error));
  };
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) fail(errno);
  if (S_ISDIR(st.st_mode)) fail(EISDIR);
  if (!(S_ISREG(st.st_mode) && st.st_size > 0)) {
    if (!ReadAllBytes(fd.get(), text)) fail(errno);
    return;
  }
  // Read straight into a string of the file's size (one more byte, to see
  // the end of a file that grew meanwhile, which is then read in blocks).
  // A string used before keeps its memory, and only what it grows by is
  // cleared first.
  const std::size_t wanted = static_cast<std::size_t>(st.st_size) + 1;
  text.resize(wanted);
  std::size_t used = 0;
  while (used < wanted) {
    const ssize_t got = ::read(fd.get(), text.data() + used, wanted - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
    // A regular file gives less than was asked only at its end.
    if (used == wanted - 1) break;
  }
  text.resize(used);
  if (used == wanted) {
    std::string rest;
    if (!ReadAllBytes(fd.get(), rest)) fail(errno);
    text.append(rest);
  }
}

TextFile ReadTextFile(const std::string& path) {
  return MakeTextFile(ReadWholeFile(path));
}

LineList ReadLinesFromFile(const std::string& path) {
  const TextFile file = ReadTextFile(path);
  return LineList(file.lines.begin(), file.lines.end());
}

void WriteLinesToFile(const LineList& lines, const std::string& path) {
  WriteFileReplacing(path, [&](OutputSink& out) { WriteLines(lines, out); });
}

}  // namespace vorlane
