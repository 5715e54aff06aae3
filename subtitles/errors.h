// The one error type of the engine: readers, the number parser and the file
// layer raise it with the exact text the user is shown.
#pragma once

#include <stdexcept>
#include <string>

namespace vorlane {

class SubtitleError : public std::runtime_error {
 public:
  explicit SubtitleError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace vorlane
