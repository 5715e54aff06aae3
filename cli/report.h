// What the command line tells about a run once it is over: the summary line
// and the JSON report of every input.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_driver.h"
#include "subtitles/catalogue.h"

namespace vorlane {

// How an input counts in the summary. Skipped: nothing to convert was found
// (format not recognised, no frame rate). Failed: the input could not be
// read or parsed, or an error gave it up while converting.
enum class InputResult { kConverted, kSkipped, kFailed };

struct InputEntry {
  std::string path;  // "-" for standard input
  InputResult result = InputResult::kConverted;
  std::string reason;            // empty when converted
  TSubtitleFormat format = sf0;  // the format read; sf0 when none was recognised
  std::size_t cues = 0;
  std::string output;                    // "-" for standard output; empty when nothing was written
  std::string backup;                    // empty when the source was not moved
  std::vector<ReadingWarning> warnings;  // what reading passed over or mended
};

// The entry of a file of a batch run. output_format names the format the
// run writes, for the reason of a file skipped for want of a frame rate.
InputEntry EntryOf(const FileRecord& record, TSubtitleFormat output_format);

// The reason given for a file skipped for reason (the corrupted-file report
// itself, message, for a corrupted one).
std::string SkipReasonText(SkipReason reason, TSubtitleFormat output_format,
                           const std::string& message);

class RunReport {
 public:
  void Add(InputEntry entry) { entries_.push_back(std::move(entry)); }
  void SetInterrupted() { interrupted_ = true; }
  const std::vector<InputEntry>& Entries() const { return entries_; }
  std::size_t Count(InputResult result) const;

  // "converted N, skipped M, failed K"
  std::string SummaryLine() const;
  // The report as a JSON object, one input a line, ending with a newline.
  std::string Json(std::string_view version, TSubtitleFormat output_format) const;

 private:
  std::vector<InputEntry> entries_;
  bool interrupted_ = false;
};

// bytes as a JSON string with its quotes. Quote, backslash and control
// characters are escaped; a byte that is not part of well-formed UTF-8
// becomes \u00XX with its own value, so such a name reads as Latin-1.
std::string JsonString(std::string_view bytes);

// Writes text to path through a temporary file beside it, so an existing
// file is either replaced whole or left as it was. Raises std::runtime_error
// with the reason on failure.
void WriteWholeFile(const std::string& path, std::string_view text);

}  // namespace vorlane
