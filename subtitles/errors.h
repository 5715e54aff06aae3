// The error types of the engine: readers, the number parser and the file
// layer raise them with the exact text the user is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace vorlane {

class SubtitleError : public std::runtime_error {
 public:
  explicit SubtitleError(const std::string& message) : std::runtime_error(message) {}

  // The 1-based line of the input at fault, 0 when no line is. The reader's
  // loop sets it for an error raised while it reads a line.
  int Line() const { return line_; }
  void SetLine(int line) { line_ = line; }

 private:
  int line_ = 0;
};

// A file in a format that is certainly not one of ours (broadcast captions,
// disc images, ...): refused with a message that names it, and reported as
// not supported rather than as corrupted.
class UnsupportedFormatError : public SubtitleError {
 public:
  using SubtitleError::SubtitleError;
};

}  // namespace vorlane
