#include "batch/read_ahead.h"

#include <sys/stat.h>

#include <cstring>

#include "subtitles/lines.h"
#include "subtitles/output_sink.h"

namespace vorlane {

FileState StateOf(const std::string& path) {
  struct stat st {};
  FileState state;
  if (::stat(path.c_str(), &st) != 0) return state;
  state.device = st.st_dev;
  state.inode = st.st_ino;
  state.size = st.st_size;
  state.seconds = st.st_mtim.tv_sec;
  state.nanoseconds = st.st_mtim.tv_nsec;
  return state;
}

bool SameRate(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

ReadAhead::ReadAhead(std::vector<std::string> paths, TSubtitleFormat format,
                     const BatchOptions& options, int jobs, bool force_extension)
    : paths_(std::move(paths)),
      format_(format),
      options_(options),
      // Enough read ahead to keep every worker busy while the run writes,
      // and no more, so memory stays bounded by a few files.
      window_(static_cast<std::size_t>(jobs) * 2),
      force_extension_(force_extension),
      direct_(DirectConversionWanted(format, options) && window_ <= 32),
      own_videos_(options.classic_reading) {
  // The run's own thread is the last of the jobs: it does a file itself
  // when no worker has begun it (Take), so that no more threads are busy
  // than there are jobs.
  for (int i = 1; i < jobs; ++i) workers_.emplace_back([this] { Work(); });
}

ReadAhead::~ReadAhead() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  room_.notify_all();
  for (auto& worker : workers_) worker.join();
}

std::unique_ptr<ReadAheadWork> ReadAhead::Take(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= paths_.size()) return nullptr;
  const auto at = static_cast<std::size_t>(index);
  std::unique_lock<std::mutex> lock(mutex_);
  const bool moved = at != taken_;
  taken_ = at;
  if (moved) room_.notify_all();
  std::unique_ptr<ReadAheadWork> work;
  for (;;) {
    if (const auto found = done_.find(at); found != done_.end()) {
      work = std::move(found->second);
      done_.erase(found);
      break;
    }
    if (next_ <= at) {
      // No worker has begun it: doing it here beats waiting.
      next_ = at + 1;
      lock.unlock();
      work = PrepareGuarded(at, own_videos_, own_bytes_);
      lock.lock();
      break;
    }
    if (next_ < paths_.size() && next_ < taken_ + window_) {
      // A worker is on it: meanwhile this thread does the next file.
      const std::size_t ahead = next_++;
      lock.unlock();
      std::unique_ptr<ReadAheadWork> other = PrepareGuarded(ahead, own_videos_, own_bytes_);
      lock.lock();
      done_[ahead] = std::move(other);
      continue;
    }
    done_changed_.wait(lock);
  }
  // Work left behind for earlier indexes is not wanted any more.
  done_.erase(done_.begin(), done_.lower_bound(at));
  return work;
}

std::unique_ptr<ReadAheadWork> ReadAhead::PrepareGuarded(std::size_t index, VideoLookup& videos,
                                                         std::string& bytes) const {
  auto work = std::make_unique<ReadAheadWork>();
  try {
    *work = Prepare(paths_[index], videos, bytes);
  } catch (...) {
    // Whatever failed here fails again, in order, when the run does it.
    work = std::make_unique<ReadAheadWork>();
    work->path = paths_[index];
    work->loads.clear();
  }
  return work;
}

void ReadAhead::Return(std::unique_ptr<ReadAheadWork> work) {
  std::lock_guard<std::mutex> lock(mutex_);
  spent_.push_back(std::move(work));
}

void ReadAhead::Work() {
  VideoLookup videos(options_.classic_reading);
  std::string bytes;  // the file read last, its memory used again
  for (;;) {
    std::size_t index = 0;
    std::vector<std::unique_ptr<ReadAheadWork>> spent;
    {
      std::unique_lock<std::mutex> lock(mutex_);
      room_.wait(lock,
                 [&] { return stopping_ || (next_ < paths_.size() && next_ < taken_ + window_); });
      if (stopping_) return;
      index = next_++;
      spent.swap(spent_);
    }
    spent.clear();
    std::unique_ptr<ReadAheadWork> work = PrepareGuarded(index, videos, bytes);
    bool awaited = false;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      done_[index] = std::move(work);
      awaited = index == taken_;
    }
    if (awaited) done_changed_.notify_one();
  }
}

ReadAheadWork ReadAhead::Prepare(const std::string& path, VideoLookup& videos,
                                 std::string& bytes) const {
  ReadAheadWork work;
  work.path = path;
  // Only regular files are opened: the run refuses anything else unread.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return work;

  TSubtitles doc;
  doc.SetClassicReading(options_.classic_reading);
  doc.SetInputEncoding(options_.input_encoding);
  doc.SetOutputEncoding(options_.output_encoding, options_.output_charset);
  doc.SetTargetFormat(format_);
  bool read = false;  // bytes holds the file
  auto load = [&](double rate) {
    LoadRecord record;
    record.rate = rate;
    doc.SetFrameRate(rate);
    const CorruptionReporter report = [&](const LoadFailure& failure) { record.report = failure; };
    const CorruptionReporter refused = [&](const LoadFailure& failure) {
      record.refused = failure;
    };
    record.loaded = read ? doc.LoadFromBytes(path, bytes, record.frame_based, report, refused)
                         : doc.LoadFromFile(path, record.frame_based, report, refused);
    record.doc = doc;
    work.loads.push_back(std::move(record));
    return work.loads.back().loaded;
  };
  work.state = StateOf(path);
  try {
    ReadWholeFile(path, bytes);
    read = true;
  } catch (const std::exception&) {
    // The load reports it.
  }
  if (read && direct_) {
    const std::string target = OutputPathFor(path, format_, options_, force_extension_);
    std::unique_ptr<PendingFile> direct =
        ConvertDirectToFile(doc, bytes, format_, target, work.direct_cues);
    if (direct) {
      // Changed while it was read: the run does it again.
      if (StateOf(path) == work.state) {
        work.direct = std::move(direct);
        work.direct_doc = doc;
      }
      return work;
    }
  }
  const bool loaded = load(0);
  // Changed while it was read: none of it can be trusted.
  if (!(StateOf(path) == work.state)) work.loads.clear();
  if (!loaded || work.loads.empty()) return work;
  const bool frame_based = work.loads.back().frame_based;
  const FormatInfo& output = FormatOf(format_);
  // The rate the run will most likely settle: the video's, else the file's
  // own, else the one the command line gives. Guessed wrong, the work is simply not used.
  double rate = 0;
  if (frame_based || output.writes_frames) {
    const std::string video = videos.Find(path);
    const std::optional<double> video_rate =
        video.empty() ? std::nullopt : VideoRate(video, options_.classic_reading);
    rate = video_rate                ? *video_rate
           : doc.FileFrameRate() > 0 ? doc.FileFrameRate()
                                     : options_.fallback_frame_rate;
    doc.SetFrameRate(rate);
    if (!HasUsableFrameRate(doc)) rate = options_.fallback_frame_rate;
    doc.SetFrameRate(rate);
    if (!HasUsableFrameRate(doc)) return work;
    if (frame_based && !load(rate)) return work;
  }
  // A transform runs on the run's thread, in order.
  if (output.writer == nullptr || options_.transform) return work;
  if (output.binary_writer != nullptr && !frame_based && !output.writes_frames) {
    rate = options_.fallback_frame_rate;
  }
  doc.SetFrameRate(rate);
  if (output.binary_writer != nullptr) {
    work.bytes = output.binary_writer(doc);
  } else {
    LineList lines;
    doc.SaveToList(lines, format_);
    work.bytes = JoinLines(lines);
  }
  work.output_from = static_cast<int>(work.loads.size()) - 1;
  work.output_rate = rate;
  return work;
}

}  // namespace vorlane
