// The window's side of a conversion run: the list and check boxes are read
// from the window, questions and reports become dialogs and message boxes,
// and the window stays responsive between files.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "batch/batch_driver.h"

namespace vorlane {

class TForm1;

class QtFrontEnd : public BatchFrontEnd {
 public:
  explicit QtFrontEnd(TForm1& form) : form_(form) {}

  std::optional<std::string> EntryAt(int index) override;
  bool BackupOn() override;
  bool ForceExtensionOn() override;
  double AskFrameRate(const std::string& path) override;
  void ReportCorruptedFile(const std::string& message) override;
  void ShowSkippedFiles(const std::vector<std::string>& paths) override;
  void SetProgress(int position, int maximum) override;
  void ProcessEvents() override;
  // Files given up by an error are gathered and reported once, after the
  // run, so that "Done!" never stands alone over a file that failed.
  void FileAbandoned(const std::string& path, const std::string& reason) override;
  // A file refused by name ("VobSub subtitles are not supported") is
  // reported with them, so the user learns why it was skipped.
  void FileSkipped(const SkipNotice& notice) override;
  bool StopRequested() override;

  struct Abandoned {
    std::string path;
    std::string reason;
  };
  const std::vector<Abandoned>& abandoned() const { return abandoned_; }

 private:
  TForm1& form_;
  std::vector<Abandoned> abandoned_;
};

// The report shown after a run in which files were given up: each path with
// the reason, the first ten of them, then how many more there were.
QString AbandonedFilesMessage(const std::vector<QtFrontEnd::Abandoned>& abandoned);

}  // namespace vorlane
