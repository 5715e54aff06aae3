#include "subtitles/output_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "subtitles/errors.h"
#include "subtitles/pending_file.h"
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
  if (const BinaryWriter binary = FormatOf(format).binary_writer) {
    out.Append(binary(doc));
    out.Flush();
    return;
  }
  const StreamWriter stream = FormatOf(format).stream_writer;
  // What the save path adds to a writer's lines (a byte order mark, times
  // before zero taken out, a character set to write back into) is done on
  // the line list.
  if (stream != nullptr && doc.SavedAsWritten()) {
    stream(doc, out, StreamPart{});
  } else {
    LineList lines;
    doc.SaveToList(lines, format);
    WriteLines(lines, out);
  }
  out.Flush();
}

void WriteFileReplacing(const std::string& path, const std::function<void(OutputSink&)>& write,
                        const std::function<void()>& before_replace) {
  struct stat st {};
  // A folder in the way fails before anything is written or moved.
  if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
    throw SubtitleError("Cannot create file \"" + path + "\". " + std::strerror(EISDIR));
  }
  PendingFile file(path);
  {
    FdSink sink(file.fd(), "Cannot create file \"" + path + "\"");
    write(sink);
    sink.Flush();
  }
  if (before_replace) before_replace();
  file.Commit();
}

void WriteDocumentToFile(const TSubtitles& doc, TSubtitleFormat format, const std::string& path,
                         const std::function<void()>& before_replace) {
  WriteFileReplacing(
      path, [&](OutputSink& out) { WriteDocument(doc, format, out); }, before_replace);
}

}  // namespace vorlane
