// Output written straight into one buffer that goes out in large blocks as
// it fills: a file, standard output or a string, without one heap string per
// line and without the whole text held in memory.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "subtitles/catalogue.h"
#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;

class OutputSink {
 public:
  static constexpr std::size_t kDefaultBlock = std::size_t{1} << 20;

  explicit OutputSink(std::size_t block = kDefaultBlock);
  virtual ~OutputSink() = default;
  OutputSink(const OutputSink&) = delete;
  OutputSink& operator=(const OutputSink&) = delete;

  // Room for n more bytes after the pending ones, returned as where they go;
  // Commit then says where the bytes written there end. Any other call in
  // between may move the room.
  char* Reserve(std::size_t n) {
    if (capacity_ - size_ < n) MakeRoom(n);
    return data_.get() + size_;
  }
  void Commit(char* end) { size_ = static_cast<std::size_t>(end - data_.get()); }
  void Append(std::string_view bytes) {
    char* p = Reserve(bytes.size());
    Commit(std::copy(bytes.begin(), bytes.end(), p));
  }
  // CR LF, and the block goes out once it is full.
  void EndLine() {
    char* p = Reserve(2);
    p[0] = '\r';
    p[1] = '\n';
    size_ += 2;
    if (size_ >= block_) Flush();
  }
  void Line(std::string_view text) {
    Append(text);
    EndLine();
  }
  // Sends what is pending. Also called by the owner once the writer is done.
  void Flush();

 protected:
  // Takes one block; a failure raises an exception.
  virtual void Send(std::string_view block) = 0;

 private:
  void MakeRoom(std::size_t n);

  std::unique_ptr<char[]> data_;
  std::size_t size_ = 0;
  std::size_t capacity_ = 0;
  std::size_t block_;
};

// Collects everything in a string.
class StringSink final : public OutputSink {
 public:
  explicit StringSink(std::string& target, std::size_t block = kDefaultBlock)
      : OutputSink(block), target_(target) {}
  ~StringSink() override { Flush(); }

 private:
  void Send(std::string_view block) override { target_.append(block); }
  std::string& target_;
};

// Writes to an open file descriptor, which it does not close. A failed write
// raises SubtitleError("<what>. <system message>"), what naming the target
// ("Cannot create file \"<path>\"", "Cannot write to standard output").
class FdSink final : public OutputSink {
 public:
  FdSink(int fd, std::string what) : fd_(fd), what_(std::move(what)) {}
  // True once a write has failed.
  bool Failed() const { return failed_; }

 private:
  void Send(std::string_view block) override;
  int fd_;
  std::string what_;
  bool failed_ = false;
};

// Writes the document in the format to the sink and flushes it: the same
// bytes as the format's line-list writer with CR LF after every item, but
// streamed by the formats that have a streaming writer (nothing for sf0).
void WriteDocument(const TSubtitles& doc, TSubtitleFormat format, OutputSink& out);

// Every item of the list followed by CR LF.
void WriteLines(const LineList& lines, OutputSink& out);

// Replaces the file at path with what write puts into the sink. The bytes go
// to a temporary file in the same folder; once write has returned,
// before_replace runs (if given), then the temporary file takes the target's
// place, so a failure at any step never leaves a truncated file where the
// old one was, and a writer that fails never reaches before_replace. The
// output keeps the permission bits of the file at path after
// before_replace; a new one gets 0666 less the umask. Fails with
// "Cannot create file \"<path>\". <system message>", or with the exception
// of write or before_replace, after removing the temporary file.
void WriteFileReplacing(const std::string& path, const std::function<void(OutputSink&)>& write,
                        const std::function<void()>& before_replace = {});
// The same for a document in a format.
void WriteDocumentToFile(const TSubtitles& doc, TSubtitleFormat format, const std::string& path,
                         const std::function<void()>& before_replace = {});

}  // namespace vorlane
