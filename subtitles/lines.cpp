#include "subtitles/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "subtitles/errors.h"
#include "subtitles/output_sink.h"

namespace vorlane {

LineViews SplitLineViews(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  LineViews lines;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
  // One allocation for the whole array, sized from a count of the LF (or,
  // in a file without any, CR) line ends: growing it step by step would
  // copy it a dozen times and hold two copies at the last step.
  auto count = [&](char c) {
    std::size_t n = 0;
    for (const char* p = begin;
         (p = static_cast<const char*>(std::memchr(p, c, static_cast<std::size_t>(end - p)))) !=
         nullptr;
         ++p) {
      ++n;
    }
    return n;
  };
  std::size_t ends = count('\n');
  if (ends == 0) ends = count('\r');
  lines.reserve(ends + 1);
  // The next CR and the next LF are each searched for again only once the
  // scan has passed them, so a file without one of the two is not rescanned
  // for it at every line.
  auto find = [end](const char* from, char c) {
    const void* hit = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return hit == nullptr ? end : static_cast<const char*>(hit);
  };
  const char* start = begin;
  const char* next_cr = find(start, '\r');
  const char* next_lf = find(start, '\n');
  while (start < end) {
    if (next_cr < start) next_cr = find(start, '\r');
    if (next_lf < start) next_lf = find(start, '\n');
    const char* stop = next_cr < next_lf ? next_cr : next_lf;
    if (stop == end) break;
    lines.emplace_back(start, static_cast<std::size_t>(stop - start));
    start = stop + 1;
    if (*stop == '\r' && start < end && *start == '\n') ++start;
  }
  if (start < end) lines.emplace_back(start, static_cast<std::size_t>(end - start));
  return lines;
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

bool ReadAllBytes(int fd, std::string& text) {
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
        if (errno == EINTR) continue;
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
  auto fail = [&](int error) -> std::string {
    throw SubtitleError("Cannot open file \"" + path + "\". " + SystemMessage(error));
  };
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  if (!(S_ISREG(st.st_mode) && st.st_size > 0)) {
    std::string text;
    if (!ReadAllBytes(fd.get(), text)) return fail(errno);
    return text;
  }
  // Read straight into a string of the file's size (one more byte, to see
  // the end of a file that grew meanwhile, which is then read in blocks).
  std::string text;
  text.resize(static_cast<std::size_t>(st.st_size) + 1);
  std::size_t used = 0;
  while (used < text.size()) {
    const ssize_t got = ::read(fd.get(), text.data() + used, text.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  text.resize(used);
  if (used == static_cast<std::size_t>(st.st_size) + 1) {
    std::string rest;
    if (!ReadAllBytes(fd.get(), rest)) return fail(errno);
    text.append(rest);
  }
  return text;
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
