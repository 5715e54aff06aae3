// How the readers beyond the classic rules pass over a malformed cue: it is
// left out, or its line kept as text of the cue before, with a warning that
// names the line; a file where more than half of the cue lines are
// malformed is still not read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "subtitles/errors.h"
#include "subtitles/subtitles.h"

namespace vorlane {

class CueTolerance {
 public:
  explicit CueTolerance(TSubtitles& doc) : doc_(doc) {}

  // A cue line read as it should be.
  void Read() { ++lines_; }
  // A malformed cue line (1-based): problem says what is wrong, outcome
  // what became of it.
  void Malformed(int line, const std::string& problem, std::string_view outcome = "cue left out") {
    ++lines_;
    if (malformed_++ == 0) {
      first_line_ = line;
      first_problem_ = problem;
    }
    doc_.Warn(line, problem + "; " + std::string(outcome));
  }
  // A warning about something else than a cue line (the time of a group
  // of cues, say).
  void Warn(int line, std::string problem) { doc_.Warn(line, std::move(problem)); }
  std::size_t MalformedCount() const { return malformed_; }
  // Raises the first problem when more than half of the cue lines were
  // malformed.
  void Check() const {
    if (malformed_ * 2 > lines_) FailAtLine(first_line_, first_problem_);
  }

 private:
  TSubtitles& doc_;
  std::size_t lines_ = 0;
  std::size_t malformed_ = 0;
  int first_line_ = 0;
  std::string first_problem_;
};

}  // namespace vorlane
