#include "subtitles/output_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "subtitles/errors.h"
#include "subtitles/formats/stream_writers.h"
#include "subtitles/subtitles.h"

namespace vorlane {

OutputSink::OutputSink(std::size_t block)
    // Room for the block and the line that overflows it.
    : data_(new char[block + 4096]), capacity_(block + 4096), block_(block) {}

void OutputSink::Flush() {
  if (size_ == 0) return;
  Send({data_.get(), size_});
  size_ = 0;
}

void OutputSink::MakeRoom(std::size_t n) {
  Flush();
  if (n <= capacity_) return;
  // A single item longer than the block: the buffer grows to hold it.
  data_.reset(new char[n]);
  capacity_ = n;
}

void FdSink::Send(std::string_view block) {
  std::size_t done = 0;
  while (done < block.size()) {
    const ssize_t put = ::write(fd_, block.data() + done, block.size() - done);
    if (put < 0) {
      if (errno == EINTR) continue;
      failed_ = true;
      throw SubtitleError(what_ + ". " + std::strerror(errno));
    }
    done += static_cast<std::size_t>(put);
  }
}

void WriteLines(const LineList& lines, OutputSink& out) {
  for (const auto& line : lines) out.Line(line);
}

void WriteDocument(const TSubtitles& doc, TSubtitleFormat format, OutputSink& out) {
  if (const StreamWriter stream = StreamWriterOf(format)) {
    stream(doc, out);
  } else if (const SubtitleWriter writer = FormatOf(format).writer) {
    LineList lines;
    writer(doc, lines);
    WriteLines(lines, out);
  }
  out.Flush();
}

void WriteFileReplacing(const std::string& path, const std::function<void(OutputSink&)>& write,
                        const std::function<void()>& before_replace) {
  const std::string what = "Cannot create file \"" + path + "\"";
  auto fail = [&](int error) { throw SubtitleError(what + ". " + std::strerror(error)); };
  struct stat st {};
  // A folder in the way fails before anything is written or moved.
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) fail(EISDIR);

  std::string temp = path + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) fail(errno);
  // From here on every way out removes the temporary file unless it has
  // taken the target's place.
  try {
    {
      FdSink sink(fd, what);
      write(sink);
      sink.Flush();
    }
    if (before_replace) before_replace();
    // The permission bits of what is at path once before_replace is done (a
    // backup may have moved it away): a replaced file keeps its own, a new
    // one gets the usual 0666 less the umask.
    mode_t mode = 0;
    if (::stat(path.c_str(), &st) == 0) {
      mode = st.st_mode & 07777;
    } else {
      const mode_t mask = ::umask(0);
      ::umask(mask);
      mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) fail(errno);
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) fail(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail(errno);
  } catch (...) {
    if (fd >= 0) ::close(fd);
    ::unlink(temp.c_str());
    throw;
  }
}

void WriteDocumentToFile(const TSubtitles& doc, TSubtitleFormat format, const std::string& path,
                         const std::function<void()>& before_replace) {
  WriteFileReplacing(
      path, [&](OutputSink& out) { WriteDocument(doc, format, out); }, before_replace);
}

}  // namespace vorlane
