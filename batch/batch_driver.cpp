#include "batch/batch_driver.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>

#include "batch/read_ahead.h"
#include "batch/video_probe.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "subtitles/pending_file.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

// The highest counter of a backup name: name.1 .. name.9999.
constexpr int kLastBackupNumber = 9999;

bool EntryExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// A regular file, or a link to one. Folders do not count, and neither do
// pipes or devices, which could block a reader for ever.
bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The folder part with its trailing separator ("" for a bare name).
std::string FolderPartOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string AsciiLower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

std::string SystemMessage(int error) {
  return std::strerror(error);
}

// Renames from to to unless to exists; false with errno set otherwise.
// Where the file system cannot rename without replacing, the caller's check
// that to does not exist has to do.
bool MoveWithoutReplacing(const std::string& from, const std::string& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
    return true;
  }
  if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return false;
  if (EntryExists(to)) {
    errno = EEXIST;
    return false;
  }
  return ::rename(from.c_str(), to.c_str()) == 0;
}

// The video look-up order: the first existing name wins.
constexpr std::array<std::string_view, 5> kVideoExtensions{"avi", "mpg", "mpeg", "m1v", "mpv"};

std::vector<std::string> NamesIn(const std::string& folder) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (dir == nullptr) return names;
  while (const dirent* entry = ::readdir(dir)) names.emplace_back(entry->d_name);
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// The videos of each folder by their lower-case names, for the look-up that
// ignores letter case. A folder is listed once per run, not once per file:
// a folder of many frame-based files would otherwise be read again for
// every one of them. Of names that differ only in case, the first in sorted
// order is taken.
class VideoNames {
 public:
  const std::string* Find(const std::string& folder, const std::string& lower_name) {
    auto [names, listed] = folders_.try_emplace(folder);
    if (listed) {
      for (const std::string& name : NamesIn(folder)) {
        const std::size_t dot = name.rfind('.');
        if (dot == std::string::npos) continue;
        const std::string extension = AsciiLower(name.substr(dot + 1));
        if (std::find(kVideoExtensions.begin(), kVideoExtensions.end(), extension) ==
            kVideoExtensions.end()) {
          continue;
        }
        names->second.emplace(AsciiLower(name), name);
      }
    }
    const auto found = names->second.find(lower_name);
    return found == names->second.end() ? nullptr : &found->second;
  }

 private:
  std::map<std::string, std::map<std::string, std::string>> folders_;
};

std::string FindVideo(const std::string& path, VideoNames& names) {
  const std::string folder = FolderPartOf(path);
  for (std::string_view extension : kVideoExtensions) {
    const std::string candidate = ReplaceExtension(path, std::string(extension));
    if (IsFile(candidate)) return candidate;
    const std::string* name = names.Find(folder, AsciiLower(FileNameOf(candidate)));
    if (name != nullptr && IsFile(folder + *name)) return folder + *name;
  }
  return {};
}

std::string OutputBaseFor(const std::string& path, const BatchOptions& options) {
  if (options.output_folder.empty()) return path;
  return JoinPath(options.output_folder, FileNameOf(path));
}

}  // namespace

bool HasUsableFrameRate(const TSubtitles& doc) {
  return std::isfinite(doc.FrameRate()) && doc.FrameRate() >= 1;
}

std::string OutputPathFor(const std::string& path, TSubtitleFormat format,
                          const BatchOptions& options, bool force_extension) {
  const std::string base = OutputBaseFor(path, options);
  return force_extension ? ReplaceExtension(base, std::string(FormatOf(format).extension)) : base;
}

bool DirectConversionWanted(TSubtitleFormat format, const BatchOptions& options) {
  return !options.transform && options.input_encoding.empty() &&
         options.output_encoding == OutputEncoding::kSource && TSubtitles::WritesDirectly(format);
}

std::unique_ptr<PendingFile> ConvertDirectToFile(TSubtitles& doc, std::string_view bytes,
                                                 TSubtitleFormat format, const std::string& target,
                                                 std::size_t& cues) {
  cues = 0;
  try {
    auto pending = std::make_unique<PendingFile>(target);
    FdSink sink(pending->fd(), "Cannot create file \"" + target + "\"");
    cues = doc.ConvertDirect(bytes, format, &sink);
    if (cues > 0) return pending;
  } catch (const std::exception&) {
    // The full way meets the failure again, and reports it where the
    // output is written.
    cues = 0;
  }
  return nullptr;
}

std::string BackupFolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "BAK";
  return path.substr(0, slash) + "/BAK";
}

std::string BackupFile(const std::string& path) {
  const std::string folder = BackupFolderOf(path);
  const std::string name = FileNameOf(path);
  if (!IsFolder(folder) && ::mkdir(folder.c_str(), 0777) != 0) {
    const int error = errno;
    if (!(error == EEXIST && IsFolder(folder))) {
      throw std::runtime_error("Cannot create folder \"" + folder + "\". " + SystemMessage(error));
    }
  }
  const std::string first = JoinPath(folder, name);
  for (int n = 0; n <= kLastBackupNumber; ++n) {
    const std::string target = n == 0 ? first : first + "." + std::to_string(n);
    if (EntryExists(target)) continue;
    if (MoveWithoutReplacing(path, target)) return target;
    // Taken between the look and the move: try the next name.
    if (errno == EEXIST || errno == ENOTEMPTY) continue;
    throw std::runtime_error("Cannot move \"" + path + "\" to \"" + target + "\". " +
                             SystemMessage(errno));
  }
  // Every name is taken. Moving onto the last one would destroy that
  // backup, so the source stays where it is and the caller gives it up.
  throw std::runtime_error("Cannot back up \"" + path + "\": every name from \"" + first +
                           "\" to \"" + first + "." + std::to_string(kLastBackupNumber) +
                           "\" is taken");
}

std::string FindVideoFor(const std::string& path) {
  VideoNames names;
  return FindVideo(path, names);
}

struct VideoLookup::Names {
  VideoNames names;
};
VideoLookup::VideoLookup() : names_(std::make_unique<Names>()) {}
VideoLookup::~VideoLookup() = default;
std::string VideoLookup::Find(const std::string& path) {
  return FindVideo(path, names_->names);
}

double ProbeVideo(const std::string& video) {
  const std::size_t dot = video.rfind('.');
  const bool avi = dot != std::string::npos && AsciiLower(video.substr(dot)) == ".avi";
  return avi ? GetAVIFPS(video) : GetMPGFPS(video);
}

namespace {

using FileId = std::pair<dev_t, ino_t>;

std::optional<FileId> IdOf(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FileId{st.st_dev, st.st_ino};
}

bool InsideBackupFolder(const std::string& path) {
  const std::string folder = FolderPartOf(path);
  return folder.size() >= 4 && folder.compare(folder.size() - 4, 4, "BAK/") == 0 &&
         (folder.size() == 4 || folder[folder.size() - 5] == '/');
}

// Puts a file moved into BAK back where it was, if it can.
void PutBack(const std::string& backup, const std::string& original) {
  if (!backup.empty()) MoveWithoutReplacing(backup, original);
}

// Why path is not even read, if it is not: looked at before anything
// opens it, since a pipe or a device would block the reader for ever, and a
// file that is not there was never read, so it is no corrupted file.
// detail takes the system's message for kCannotOpen.
std::optional<SkipReason> RefusalOf(const std::string& path, bool converted, std::string& detail) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) {
    const int error = errno;
    if (converted) return SkipReason::kNamedTwice;
    if (error == ENOENT || error == ENOTDIR) return SkipReason::kNotFound;
    detail = SystemMessage(error);
    return SkipReason::kCannotOpen;
  }
  if (!S_ISREG(st.st_mode)) return SkipReason::kNotRegularFile;
  if (converted) return SkipReason::kNamedTwice;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    detail = SystemMessage(errno);
    return SkipReason::kCannotOpen;
  }
  ::close(fd);
  return std::nullopt;
}

// What stands against writing target for the source at path: a message, or
// empty when nothing does.
std::string Obstacle(const std::string& path, const std::string& target,
                     const std::set<FileId>& inputs) {
  const std::optional<FileId> there = IdOf(target);
  if (!there || there == IdOf(path)) return {};
  if (inputs.count(*there) != 0) {
    return "its output would replace \"" + target +
           "\", another input of this run that is still in its place";
  }
  if (InsideBackupFolder(target)) {
    return "its output would replace \"" + target + "\", a file inside a BAK folder";
  }
  return {};
}

}  // namespace

BatchResult ConvertAll(int count, TSubtitleFormat format, BatchFrontEnd& front_end,
                       const BatchOptions& options) {
  BatchResult result;
  // One document for the whole run: a frame rate settled for one file is
  // where the next file starts from.
  TSubtitles doc;
  doc.SetClassicReading(options.classic_reading);
  doc.SetInputEncoding(options.input_encoding);
  doc.SetOutputEncoding(options.output_encoding);
  const FormatInfo& output = FormatOf(format);
  std::map<std::string, std::string> source_of_output;
  // Paths whose source this run has moved into BAK or replaced by its own
  // output: named again, they are not converted a second time.
  std::set<std::string> converted;
  std::set<std::string> cleaned_folders;
  VideoLookup videos;
  std::string file_bytes;  // the file read last, its memory used again

  // Every input of the run, by identity, so that no output takes the place
  // of one that has not been converted, whichever way its path is spelled.
  std::set<FileId> inputs;
  std::vector<std::string> entries;
  for (int k = 0; k < count; ++k) {
    const std::optional<std::string> entry = front_end.EntryAt(k);
    entries.push_back(entry.value_or(std::string()));
    struct stat st {};
    if (entry && ::stat(entry->c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
      inputs.insert({st.st_dev, st.st_ino});
    }
  }
  std::unique_ptr<ReadAhead> read_ahead;
  const bool direct_wanted = DirectConversionWanted(format, options);
  if (options.jobs > 1 && count > 1) {
    read_ahead = std::make_unique<ReadAhead>(std::move(entries), format, options, options.jobs,
                                             front_end.ForceExtensionOn());
  }
  front_end.SetProgress(0, count);

  for (int i = 0; i < count; ++i) {
    std::string path;
    bool skipped = false;
    std::string refused_message;
    FileRecord record;
    auto skip = [&](SkipReason reason, const std::string& video = {},
                    const std::string& detail = {}) {
      skipped = true;
      record.outcome = FileOutcome::kSkipped;
      record.skip_reason = reason;
      if (!detail.empty()) record.message = detail;
      result.skipped.push_back(path);
      front_end.FileSkipped({path, reason, video, detail});
    };
    auto abandon = [&](const std::string& reason) {
      if (path.empty()) return;
      record.outcome = FileOutcome::kAbandoned;
      record.format = doc.FormatRead();
      record.message = reason;
      result.abandoned.push_back(path);
      front_end.FileAbandoned(path, reason);
    };
    // What was read ahead for this file, used only where it is what the
    // loads and the writer would give here and now.
    std::unique_ptr<ReadAheadWork> ahead = read_ahead ? read_ahead->Take(i) : nullptr;
    LoadRecord* used = nullptr;
    // The output already written by the direct way, and its cues.
    std::unique_ptr<PendingFile> direct;
    std::size_t direct_cues = 0;
    try {
      const std::optional<std::string> entry = front_end.EntryAt(i);
      if (!entry) throw std::out_of_range("the entry has left the list");
      path = *entry;
      record.path = path;
      const bool force_extension = front_end.ForceExtensionOn();
      const std::string target = OutputPathFor(path, format, options, force_extension);

      bool reported = false;
      const CorruptionReporter report = [&](const LoadFailure& failure) {
        reported = true;
        record.message = failure.BoxText();
        front_end.ReportLoadFailure(failure);
      };
      // A format refused by name ("Scenarist SCC captions are not supported").
      const CorruptionReporter refused = [&](const LoadFailure& failure) {
        refused_message = failure.message;
      };
      auto load = [&](bool& frame_based) {
        const LoadRecord* held = used;  // whose cues the document holds
        used = nullptr;
        if (ahead && ahead->path == path && ahead->state == StateOf(path)) {
          for (LoadRecord& record : ahead->loads) {
            // Time-based input reads the same at any rate.
            const bool any_rate = SameRate(record.rate, 0) && !record.frame_based;
            if (!any_rate && !SameRate(record.rate, doc.FrameRate())) continue;
            if (&record != held) {
              if (record.taken) break;
              // The document as that load left it (format read, the file's
              // own rate...), at the rate the run has settled.
              const double rate = doc.FrameRate();
              doc = std::move(record.doc);
              doc.SetFrameRate(rate);
              record.taken = true;
            }
            frame_based = record.frame_based;
            if (record.report) report(*record.report);
            if (record.refused) refused(*record.refused);
            used = &record;
            return record.loaded;
          }
        }
        return doc.LoadFromFile(path, frame_based, report, refused);
      };
      // The first load of a file: the direct way where it may go, done
      // ahead or here; the output is then written already.
      auto load_first = [&](bool& frame_based) {
        if (!direct_wanted) return load(frame_based);
        if (ahead) {
          if (!(ahead->direct && ahead->path == path && ahead->state == StateOf(path) &&
                ahead->direct->target() == target)) {
            return load(frame_based);
          }
          const double rate = doc.FrameRate();
          doc = std::move(ahead->direct_doc);
          doc.SetFrameRate(rate);
          direct = std::move(ahead->direct);
          direct_cues = ahead->direct_cues;
          frame_based = false;
          return true;
        }
        std::string& bytes = file_bytes;
        try {
          ReadWholeFile(path, bytes);
        } catch (const std::exception&) {
          return load(frame_based);  // which reports it
        }
        direct = ConvertDirectToFile(doc, bytes, format, target, direct_cues);
        if (direct) {
          frame_based = false;
          return true;
        }
        return doc.LoadFromBytes(path, bytes, frame_based, report, refused);
      };
      bool frame_based = false;
      std::string detail;
      if (const std::optional<SkipReason> refusal =
              RefusalOf(path, converted.count(path) != 0, detail)) {
        skip(*refusal, {}, detail);
      } else if (!load_first(frame_based)) {
        skip(reported                  ? SkipReason::kCorrupted
             : refused_message.empty() ? SkipReason::kNotRecognised
                                       : SkipReason::kNotSupported,
             {}, refused_message);
      } else if (frame_based || output.writes_frames) {
        // Frames in or frames out: the video of the same name tells the
        // rate, else the file itself, else the user. Time-based input with
        // no video of its own keeps a rate already settled in the run.
        const std::string video = videos.Find(path);
        if (!video.empty()) {
          doc.SetFrameRate(ProbeVideo(video));
          if (!HasUsableFrameRate(doc)) doc.SetFrameRate(options.fallback_frame_rate);
        } else if (doc.FileFrameRate() > 0) {
          doc.SetFrameRate(doc.FileFrameRate());
        } else if (frame_based || !HasUsableFrameRate(doc)) {
          doc.SetFrameRate(front_end.AskFrameRate(path));
        }
        if (!HasUsableFrameRate(doc)) {
          // No cues could be converted: writing would put an empty file in
          // the place of the source.
          skip(frame_based ? SkipReason::kInputNeedsFrameRate : SkipReason::kOutputNeedsFrameRate,
               video);
        } else if (frame_based && !load(frame_based)) {
          // The second load reads the frames with the rate just set; when it
          // fails, its cues are gone and nothing may be written.
          skip(reported ? SkipReason::kCorrupted : SkipReason::kNotRecognised);
        }
      }
      record.format = doc.FormatRead();
      record.cues = skipped ? 0 : direct ? direct_cues : doc.Cues.size();
      if (!direct) record.warnings = doc.Warnings;

      if (!skipped) {
        if (output.writer == nullptr) {
          throw std::runtime_error("the output format " + std::string(output.name) +
                                   " cannot be written");
        }
        // Two different sources with one output name (film.sub and film.txt
        // into film.srt, or two folders into one output folder): the second
        // would silently replace the first one's output.
        if (const auto it = source_of_output.find(target);
            it != source_of_output.end() && it->second != path) {
          throw std::runtime_error("the output \"" + target + "\" was already written from \"" +
                                   it->second + "\" in this run");
        }
        if (IsFolder(target)) {
          throw std::runtime_error("Cannot create file \"" + target + "\". " +
                                   SystemMessage(EISDIR));
        }
        if (const std::string obstacle = Obstacle(path, target, inputs); !obstacle.empty()) {
          throw std::runtime_error(obstacle);
        }
        const std::string folder = FolderPartOf(target);
        if (cleaned_folders.insert(folder).second) RemoveStaleTemporaries(folder);

        // The output is made whole before anything is moved, so a writer
        // or a disk that fails leaves every file where it was.
        if (options.transform) options.transform(doc);
        std::unique_ptr<PendingFile> written = std::move(direct);
        if (!written) {
          written = std::make_unique<PendingFile>(target);
          // Output made ahead is made without the transform.
          if (!options.transform && used != nullptr && ahead->output_from >= 0 &&
              used == &ahead->loads[static_cast<std::size_t>(ahead->output_from)] &&
              SameRate(ahead->output_rate, doc.FrameRate())) {
            written->Write(ahead->bytes);
          } else {
            FdSink sink(written->fd(), "Cannot create file \"" + target + "\"");
            WriteDocument(doc, format, sink);
          }
        }
        PendingFile& pending = *written;
        const bool backup = front_end.BackupOn();
        std::string source_backup;
        std::string target_backup;
        try {
          if (backup) source_backup = record.backup = BackupFile(path);
          // Another file under the output's name is kept as well.
          if (backup && target != path && EntryExists(target)) target_backup = BackupFile(target);
          pending.Commit();
        } catch (...) {
          PutBack(target_backup, target);
          PutBack(source_backup, path);
          throw;
        }
        if (backup || target == path) converted.insert(path);
        record.output = target;
        result.written.push_back(target);
        source_of_output[target] = path;
      }
    } catch (const std::exception& e) {
      abandon(e.what());
    } catch (...) {
      abandon("unknown error");
    }
    if (ahead) {
      // The document's cues are not wanted after this file: they go back
      // with the rest of the work, to be freed where they were made.
      if (used != nullptr) used->doc.Cues.swap(doc.Cues);
      read_ahead->Return(std::move(ahead));
    }
    if (!path.empty()) front_end.FileFinished(record);
    if (!skipped) {
      front_end.SetProgress(i + 1, count);
      front_end.ProcessEvents();
    }
    if (front_end.StopRequested()) {
      result.stopped = i + 1 < count;
      break;
    }
  }

  if (!result.skipped.empty() && !result.stopped) front_end.ShowSkippedFiles(result.skipped);
  return result;
}

}  // namespace vorlane
