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

// Raises the error of a problem on a 1-based line of the input: the message
// says what is wrong, the line field where, as every reader names it (the
// user reads "... (line N)").
[[noreturn]] inline void FailAtLine(int line, const std::string& problem) {
  SubtitleError error(problem);
  error.SetLine(line);
  throw error;
}

// A file in a format that is certainly not one of ours (broadcast captions,
// disc images, ...): refused with a message that names it, and reported as
// not supported rather than as corrupted.
class UnsupportedFormatError : public SubtitleError {
 public:
  using SubtitleError::SubtitleError;
};

}  // namespace vorlane
