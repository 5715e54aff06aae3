// The batch conversion run, written once and shared by the window and the
// command line. It knows nothing of any toolkit: whatever a front end shows
// or asks (the frame-rate prompt, the skipped-files list, the corrupted-file
// report, progress) goes through BatchFrontEnd.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"

namespace vorlane {

class BatchFrontEnd {
 public:
  virtual ~BatchFrontEnd() = default;

  // The input list and the two check boxes are read again for every file,
  // since the user may change them while a run goes on. nullopt when the
  // index now lies past the end of the list.
  virtual std::optional<std::string> EntryAt(int index) = 0;
  virtual bool BackupOn() = 0;
  virtual bool ForceExtensionOn() = 0;

  // The frame rate for path, asked from the user when no video beside the
  // file tells it. A front end that cannot ask returns 0.
  virtual double AskFrameRate(const std::string& path) = 0;
  // The engine's "File ... is corrupted. Error on line: ..." report.
  virtual void ReportCorruptedFile(const std::string& message) = 0;
  // Called once at the end of a run with the files that were not converted.
  virtual void ShowSkippedFiles(const std::vector<std::string>& paths) = 0;
  // Progress after each file that was not skipped, then a chance for the
  // user interface to handle its pending events and repaint.
  virtual void SetProgress(int position, int maximum) = 0;
  virtual void ProcessEvents() = 0;
  // A file abandoned by an error (video unreadable, BAK folder or output not
  // writable, ...). The window says nothing; the command line prints it.
  virtual void FileAbandoned(const std::string& path, const std::string& reason) = 0;
};

struct BatchResult {
  std::vector<std::string> skipped;    // not recognised, not readable, corrupted
  std::vector<std::string> abandoned;  // failed by an error while converting
  std::vector<std::string> written;    // output paths
};

// Converts entries 0 .. count-1 of the front end's list into format.
BatchResult ConvertAll(int count, TSubtitleFormat format, BatchFrontEnd& front_end);

// Moves path into the BAK folder beside it (BAK/name, or BAK/name.1 ..
// name.9999 when taken). Raises std::runtime_error when the folder cannot be
// created or the move fails.
void BackupFile(const std::string& path);

}  // namespace vorlane
