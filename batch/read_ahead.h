// Reading and converting files ahead of a batch run: jobs - 1 worker
// threads, and the run's own thread while it would otherwise wait. They
// read files and make outputs, in memory or, the direct way, in a
// temporary file beside the output; they never move, replace or report
// anything. The run takes each file's work in list order and
// uses it only where it is exactly what the run would have done itself at
// that point (same path, same frame rate); anything else it does again.
#pragma once

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "batch/batch_driver.h"
#include "subtitles/catalogue.h"
#include "subtitles/pending_file.h"
#include "subtitles/subtitles.h"

namespace vorlane {

// One load of a file as TSubtitles::LoadFromFile does it at a frame rate.
struct LoadRecord {
  double rate = 0;
  bool loaded = false;
  bool frame_based = false;
  TSubtitles doc;                      // the document as the load left it
  std::optional<LoadFailure> report;   // the corrupted-file report, when one was made
  std::optional<LoadFailure> refused;  // a format refused by name, when it was one
  bool taken = false;                  // the document has been moved into the run's
};

// What tells one state of a file from another: its identity, size and
// time of last change.
struct FileState {
  unsigned long long device = 0, inode = 0;
  long long size = -1, seconds = 0, nanoseconds = 0;
  bool operator==(const FileState&) const = default;
};
// The state of the file at path now; size -1 when there is none.
FileState StateOf(const std::string& path);

struct ReadAheadWork {
  std::string path;
  // The file as it was read; the work is good only while it is still so.
  FileState state;
  // At rate 0 first; for frame-based input again at the rate guessed for it.
  std::vector<LoadRecord> loads;
  // The output's bytes (its lines, each followed by CR LF) made from the
  // cues of loads[output_from] at output_rate; output_from is -1 when none
  // were made. One string rather than a list of lines, so that the run's
  // thread frees one block, not one per line, of the worker's memory.
  int output_from = -1;
  double output_rate = 0;
  std::string bytes;
  // The output written the direct way (TSubtitles::ConvertDirect) to a
  // temporary file, for the force-extension setting the run began with;
  // then loads is empty, and direct_doc is the document as that load left it.
  std::unique_ptr<PendingFile> direct;
  std::size_t direct_cues = 0;
  TSubtitles direct_doc;
};

class ReadAhead {
 public:
  ReadAhead(std::vector<std::string> paths, TSubtitleFormat format, const BatchOptions& options,
            int jobs, bool force_extension = false);
  ~ReadAhead();
  ReadAhead(const ReadAhead&) = delete;
  ReadAhead& operator=(const ReadAhead&) = delete;

  // The work for index, once it is done; nullptr past the list. Each index
  // is taken once, in increasing order. A file no worker has begun is done
  // here, and while a worker does this one, the next ones are done here.
  std::unique_ptr<ReadAheadWork> Take(int index);
  // Hands spent work back, for a worker to free: memory is best freed by
  // the thread that took it.
  void Return(std::unique_ptr<ReadAheadWork> work);

 private:
  void Work();
  // bytes: room for the file's bytes, used again from file to file.
  ReadAheadWork Prepare(const std::string& path, VideoLookup& videos, std::string& bytes) const;
  // Prepare for paths_[index], with what fails left for the run to meet.
  std::unique_ptr<ReadAheadWork> PrepareGuarded(std::size_t index, VideoLookup& videos,
                                                std::string& bytes) const;

  const std::vector<std::string> paths_;
  const TSubtitleFormat format_;
  const BatchOptions options_;
  const std::size_t window_;
  const bool force_extension_;
  // Whether workers write outputs the direct way: each holds a temporary
  // file, and a second signal can only remove those its table has room for.
  const bool direct_;
  std::mutex mutex_;
  // Each side is woken only when the other has made a difference to it:
  // workers when the window moves on (or the run ends), the run when the
  // file it waits for is done. Waking both for every file would switch
  // threads several times a file.
  std::condition_variable room_;
  std::condition_variable done_changed_;
  std::size_t next_ = 0;   // the next index a worker takes
  std::size_t taken_ = 0;  // the index the run waits for or works on
  bool stopping_ = false;
  std::map<std::size_t, std::unique_ptr<ReadAheadWork>> done_;
  std::vector<std::unique_ptr<ReadAheadWork>> spent_;
  std::vector<std::thread> workers_;
  // What the run's thread uses when it does a file itself.
  VideoLookup own_videos_;
  std::string own_bytes_;
};

// True when two frame rates are the same number, bit for bit.
bool SameRate(double a, double b);

}  // namespace vorlane
