// The batch conversion run, written once and shared by the window and the
// command line. It knows nothing of any toolkit: whatever a front end shows
// or asks (the frame-rate prompt, the skipped-files list, the corrupted-file
// report, progress) goes through BatchFrontEnd.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/encoding.h"
#include "subtitles/pending_file.h"
#include "subtitles/subtitles.h"

namespace vorlane {

// Why a file was put on the skipped list.
enum class SkipReason {
  kNotRecognised,         // no readable format recognised (nothing reported yet)
  kNotSupported,          // a format refused by name: detail says which
  kCorrupted,             // not readable or not parseable: ReportCorruptedFile has run
  kInputNeedsFrameRate,   // frame-based input, and the settled frame rate is below 1
  kOutputNeedsFrameRate,  // the output counts frames, and the settled rate is below 1
  kNotFound,              // no file at the path (never read)
  kCannotOpen,            // there, but not readable: detail holds the system's word
  kNotRegularFile,        // a folder, pipe, device or socket: refused without opening it
  kNamedTwice             // named again after this run had already converted it
};

struct SkipNotice {
  std::string path;
  SkipReason reason;
  // For the two frame-rate reasons: the video whose probe gave the rate, or
  // empty when the rate came from AskFrameRate.
  std::string video;
  // For kCannotOpen: the system's message ("Permission denied"); for
  // kNotSupported: "Scenarist SCC captions are not supported" and the like.
  std::string detail;
};

// What became of one file of a run: the facts a front end may keep about it.
enum class FileOutcome {
  kConverted,
  kSkipped,   // put on the skipped list; skip_reason tells why
  kAbandoned  // given up by an error; message tells which
};

struct FileRecord {
  std::string path;
  FileOutcome outcome = FileOutcome::kConverted;
  SkipReason skip_reason = SkipReason::kNotRecognised;  // when skipped
  // The corrupted-file report of a file skipped as corrupted, or the error
  // that abandoned the file.
  std::string message;
  TSubtitleFormat format = sf0;  // the format read; sf0 when none was recognised
  std::size_t cues = 0;          // the cues read
  std::string output;            // the output written; empty when none was
  std::string backup;            // where the source was moved; empty when it stayed
  // What the reader passed over or mended (TSubtitles::Warnings).
  std::vector<ReadingWarning> warnings;
};

class BatchFrontEnd {
 public:
  virtual ~BatchFrontEnd() = default;

  // The input list and the two check boxes are read again for every file,
  // since the user may change them while a run goes on. nullopt when the
  // index now lies past the end of the list: that index is passed over
  // (the progress still moves) and names no file to report.
  virtual std::optional<std::string> EntryAt(int index) = 0;
  virtual bool BackupOn() = 0;
  virtual bool ForceExtensionOn() = 0;

  // The frame rate for path, asked from the user when no video beside the
  // file tells it. A front end that cannot ask returns 0.
  virtual double AskFrameRate(const std::string& path) = 0;
  // The engine's "File ... is corrupted. Error on line: ..." report.
  virtual void ReportCorruptedFile(const std::string& message) = 0;
  // The same failure with its parts; by default its error box text goes to
  // ReportCorruptedFile.
  virtual void ReportLoadFailure(const LoadFailure& failure) {
    ReportCorruptedFile(failure.BoxText());
  }
  // Called once at the end of a run with the files that were not converted.
  virtual void ShowSkippedFiles(const std::vector<std::string>& paths) = 0;
  // Progress after each file that was not skipped, then a chance for the
  // user interface to handle its pending events and repaint.
  virtual void SetProgress(int position, int maximum) = 0;
  virtual void ProcessEvents() = 0;
  // A file abandoned by an error (video unreadable, BAK folder or output not
  // writable, ...). The window says nothing; the command line prints it.
  virtual void FileAbandoned(const std::string& path, const std::string& reason) = 0;

  // Called at once for each file put on the skipped list, with the reason.
  // The window waits for the list at the end; the command line prints it.
  virtual void FileSkipped(const SkipNotice& /*notice*/) {}
  // Asked after each file: true ends the run there (the window is closing,
  // the command line was interrupted). Files not reached are left as they
  // are and are neither skipped nor abandoned.
  virtual bool StopRequested() { return false; }
  // Called once for each file the run reached, after everything else it
  // caused (FileSkipped, FileAbandoned), with what became of it.
  virtual void FileFinished(const FileRecord& /*record*/) {}
};

struct BatchOptions {
  // When not empty, outputs go into this folder under their file names
  // instead of beside their inputs; backups still go into the BAK folder
  // beside each source. The folder must exist.
  std::string output_folder;
  // When set, applied to each document between reading and writing (a
  // retiming, say). An error it raises abandons the file before its source
  // is moved or anything is written.
  std::function<void(TSubtitles&)> transform = nullptr;
  // Only the classic rules read the files (TSubtitles::SetClassicReading).
  bool classic_reading = false;
  // The frame rate taken when the video beside a file gives none (no
  // header, a rate below 1). 0: such a file is skipped.
  double fallback_frame_rate = 0;
  // Files read and converted in memory at the same time, ahead of the one
  // being written. Whatever the number, the run does and reports exactly
  // what a run of one file after the other does: files are still written,
  // backed up, skipped and reported in list order, and anything read ahead
  // under assumptions that turn out wrong (a frame rate) is done again in
  // order. The front end is only ever called from the calling thread;
  // AskFrameRate is taken to answer fallback_frame_rate when guessing ahead.
  int jobs = 1;
  // Character sets of the input and the output (TSubtitles::SetInputEncoding
  // and SetOutputEncoding); the defaults read and write bytes as they are.
  std::string input_encoding = {};
  OutputEncoding output_encoding = OutputEncoding::kSource;
};

struct BatchResult {
  std::vector<std::string> skipped;    // not recognised, not readable, corrupted, no frame rate
  std::vector<std::string> abandoned;  // failed by an error while converting
  std::vector<std::string> written;    // output paths
  bool stopped = false;                // ended early by StopRequested
};

// Converts entries 0 .. count-1 of the front end's list into format. The
// skipped list is handed to ShowSkippedFiles at the end unless the run was
// stopped early; it is in the result either way.
//
// No file that the run did not make is destroyed. Each output is written
// whole to a temporary file beside its target first; only then is the
// source moved into BAK (with backups on), then an existing file at the
// output's path that is not the source (with backups on as well), and the
// temporary file renamed into place. A failure at any step puts back what
// was moved and removes the temporary file. An output that would replace
// another input of the run still in its place, or a file inside a BAK
// folder, is not written: that file is abandoned with a message naming
// both. Inputs that are not regular files are refused without being
// opened. Stale temporary files older than a day are removed from every
// folder the run writes into.
BatchResult ConvertAll(int count, TSubtitleFormat format, BatchFrontEnd& front_end,
                       const BatchOptions& options = {});

// Moves path into the BAK folder beside it (BAK/name, or BAK/name.1 ..
// name.9999 when taken) and returns the backup's path. An existing backup is
// never replaced. Raises std::runtime_error when the folder cannot be
// created, when every name up to name.9999 is taken, or when the move fails;
// the source is then where it was.
std::string BackupFile(const std::string& path);

// The path of the BAK folder beside path.
std::string BackupFolderOf(const std::string& path);

// The video beside path whose probe settles the frame rate: the first of
// name.avi, name.mpg, name.mpeg, name.m1v, name.mpv that exists as a file.
// On a case-sensitive file system a name that differs only in letter case
// (film.AVI) counts as well, after the exact name. Empty when there is none.
std::string FindVideoFor(const std::string& path);
// The same, listing each folder once for all the files looked up through
// one VideoLookup.
class VideoLookup {
 public:
  VideoLookup();
  ~VideoLookup();
  VideoLookup(const VideoLookup&) = delete;
  VideoLookup& operator=(const VideoLookup&) = delete;
  std::string Find(const std::string& path);

 private:
  struct Names;
  std::unique_ptr<Names> names_;
};
// The frame rate of that video by its probe; raises when it cannot be read.
double ProbeVideo(const std::string& video);

// True when the document's frame rate can convert frames: at least 1.
bool HasUsableFrameRate(const TSubtitles& doc);

// The path a run writes the output of the file at path to.
std::string OutputPathFor(const std::string& path, TSubtitleFormat format,
                          const BatchOptions& options, bool force_extension);
// True when a run into format may convert a file the direct way
// (TSubtitles::ConvertDirect), straight into its output's temporary file:
// the output counts no frames, and nothing changes the cues between reading
// and writing.
bool DirectConversionWanted(TSubtitleFormat format, const BatchOptions& options);
// Converts a file's bytes the direct way into a temporary file for target:
// the output, with cues set to its number of cues, or null when the direct
// way does not take the file or the temporary file cannot be written (the
// full way then meets and reports that).
std::unique_ptr<PendingFile> ConvertDirectToFile(TSubtitles& doc, std::string_view bytes,
                                                 TSubtitleFormat format, const std::string& target,
                                                 std::size_t& cues);

}  // namespace vorlane
