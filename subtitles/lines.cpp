#include "subtitles/lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "subtitles/errors.h"
#include "subtitles/pending_file.h"

namespace vorlane {

LineViews SplitLineViews(std::string_view text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string_view::npos) text = text.substr(0, nul);
  LineViews lines;
  const char* const begin = text.data();
  const char* const end = begin + text.size();
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
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

}  // namespace

std::string ReadWholeFile(const std::string& path) {
  auto fail = [&](int error) -> std::string {
    throw SubtitleError("Cannot open file \"" + path + "\". " + SystemMessage(error));
  };
  FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  // Read straight into the string: the file's size when it has one, else
  // growing as the bytes come.
  std::string text;
  const bool sized = S_ISREG(st.st_mode) && st.st_size > 0;
  text.resize(sized ? static_cast<std::size_t>(st.st_size) + 1 : std::size_t{1} << 16);
  std::size_t used = 0;
  for (;;) {
    if (used == text.size()) text.resize(text.size() * 2);
    const ssize_t got = ::read(fd.get(), text.data() + used, text.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return fail(errno);
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  text.resize(used);
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
  PendingFile file(path);
  WriteLines(lines, file);
  file.Commit();
}

void WriteLines(const LineList& lines, PendingFile& file) {
  // Items go out through one buffer, each followed by CR LF, so the whole
  // text is never held twice in memory.
  std::string buffer;
  constexpr std::size_t kFlushAt = std::size_t{1} << 18;
  buffer.reserve(kFlushAt + 4096);
  for (const auto& line : lines) {
    buffer.append(line);
    buffer.append("\r\n");
    if (buffer.size() >= kFlushAt) {
      file.Write(buffer);
      buffer.clear();
    }
  }
  file.Write(buffer);
}

}  // namespace vorlane
