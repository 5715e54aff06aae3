// Files as line lists: bytes in, bytes out, no character-set conversion.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "subtitles/strings.h"

namespace vorlane {

// The lines of a text one after the other, without making a list of them:
// split at CR LF, a lone CR and a lone LF; the terminator of the last line
// adds no empty line after it; a NUL byte ends the text (the classic
// rule: the default reading takes NUL bytes out before, ReplaceNulBytes). The views point
// into the text, which must outlive them.
class LineScanner {
 public:
  explicit LineScanner(std::string_view text);
  // The next line; false once the text is used up.
  bool Next(std::string_view& line) {
    if (start_ >= end_) return false;
    const char* stop = NextBreak(start_);
    line = std::string_view(start_, static_cast<std::size_t>(stop - start_));
    if (stop == end_) {
      start_ = end_;
      return true;
    }
    start_ = stop + 1;
    if (*stop == '\r' && start_ < end_ && *start_ == '\n') ++start_;
    return true;
  }
  // The text the lines come from: up to its first NUL byte.
  std::string_view text() const { return {begin_, static_cast<std::size_t>(end_ - begin_)}; }

 private:
  // The first CR or LF at or after from; end_ when there is none.
  const char* NextBreak(const char* from);

  const char* begin_;
  const char* start_;  // where the next line starts
  const char* end_;
  // The CR and LF bytes of the 64 bytes from block_ on, one bit each;
  // block_ is null while the scan is in the last, shorter stretch.
  const char* block_ = nullptr;
  std::uint64_t breaks_ = 0;
};

// The same lines as a list of views. A run of empty lines at the end of
// the text is kept only up to kTrailingEmptyLinesKept lines: no reader
// reads anything from them, and a file of nothing but line breaks would
// otherwise cost 16 bytes of index for each byte of it.
LineViews SplitLineViews(std::string_view text);
constexpr std::size_t kTrailingEmptyLinesKept = 64;

// True when text holds nothing but line breaks, blanks (space, tab, form
// feed, vertical tab) and NUL bytes, after an optional UTF-8 byte order
// mark: no text at all.
bool IsBlankText(std::string_view text);
// True when a NUL byte in text is followed by some byte that is neither
// NUL nor a line break nor a blank: text that a NUL cuts off.
bool TextAfterNul(std::string_view text);
// The text without its NUL bytes, into out: in text that begins with the
// WebVTT signature ("WEBVTT", after an optional byte order mark) each NUL
// becomes U+FFFD, as that format's standard has it; elsewhere each is
// dropped. Returns how many NUL bytes there were; out is untouched when
// there were none. first_line takes the 1-based line of the first one.
std::size_t ReplaceNulBytes(std::string_view text, std::string& out, int& first_line);
// The same lines, each copied into a string of its own.
LineList SplitLines(std::string_view text);
// Every item followed by CR LF.
std::string JoinLines(const LineList& lines);

// A file's bytes and its lines as views into them. The bytes live on the
// heap, so moving a TextFile keeps the views valid.
struct TextFile {
  std::unique_ptr<std::string> bytes;
  LineViews lines;
};
// Lines of text in memory, kept together with their bytes.
TextFile MakeTextFile(std::string bytes);

// Reads a whole file's bytes. Fails with
// "Cannot open file \"<path>\". <system message>".
std::string ReadWholeFile(const std::string& path);
// The same into text, whose memory is used again.
void ReadWholeFile(const std::string& path, std::string& text);
// Reads a whole file as lines, failing as ReadWholeFile.
TextFile ReadTextFile(const std::string& path);
// Reads from fd until its end into text (replacing it): standard input or
// any stream without a known size. False, with errno set, when a read fails.
// A read cut short by a signal goes on, unless stop (when given) then
// says true: that ends it as a failure with errno EINTR.
bool ReadAllBytes(int fd, std::string& text, bool (*stop)() = nullptr);
// The same as owning lines.
LineList ReadLinesFromFile(const std::string& path);

// Writes a line list to path, replacing it whole. The text goes to a
// temporary file in the same folder which then replaces the target
// (PendingFile), so a failure half-way never leaves a truncated file where
// the old one was; a replaced file keeps its permission bits. Fails with
// "Cannot create file \"<path>\". <system message>".
void WriteLinesToFile(const LineList& lines, const std::string& path);

}  // namespace vorlane
