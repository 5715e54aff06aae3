#include "app/batch/batch_driver.h"

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
#include <stdexcept>
#include <string_view>

#include "app/batch/video_probe.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
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

double ProbeVideo(const std::string& video) {
  const std::size_t dot = video.rfind('.');
  const bool avi = dot != std::string::npos && AsciiLower(video.substr(dot)) == ".avi";
  return avi ? GetAVIFPS(video) : GetMPGFPS(video);
}

BatchResult ConvertAll(int count, TSubtitleFormat format, BatchFrontEnd& front_end,
                       const BatchOptions& options) {
  BatchResult result;
  // One document for the whole run: a frame rate settled for one file is
  // where the next file starts from.
  TSubtitles doc;
  const FormatInfo& output = FormatOf(format);
  std::map<std::string, std::string> source_of_output;
  VideoNames video_names;
  front_end.SetProgress(0, count);

  for (int i = 0; i < count; ++i) {
    std::string path;
    bool skipped = false;
    auto skip = [&](SkipReason reason, const std::string& video = {}) {
      skipped = true;
      result.skipped.push_back(path);
      front_end.FileSkipped({path, reason, video});
    };
    try {
      const std::optional<std::string> entry = front_end.EntryAt(i);
      if (!entry) throw std::out_of_range("the entry has left the list");
      path = *entry;

      bool reported = false;
      const CorruptionReporter report = [&](const std::string& message) {
        reported = true;
        front_end.ReportCorruptedFile(message);
      };
      bool frame_based = false;
      if (!doc.LoadFromFile(path, frame_based, report)) {
        skip(reported ? SkipReason::kCorrupted : SkipReason::kNotRecognised);
      } else if (frame_based || (output.writes_frames && !HasUsableFrameRate(doc))) {
        // Frames in or frames out: the video of the same name tells the
        // rate, else the user does.
        const std::string video = FindVideo(path, video_names);
        doc.SetFrameRate(video.empty() ? front_end.AskFrameRate(path) : ProbeVideo(video));
        if (!HasUsableFrameRate(doc)) {
          // No cues could be converted: writing would put an empty file in
          // the place of the source.
          skip(frame_based ? SkipReason::kInputNeedsFrameRate : SkipReason::kOutputNeedsFrameRate,
               video);
        } else if (frame_based && !doc.LoadFromFile(path, frame_based, report)) {
          // The second load reads the frames with the rate just set; when it
          // fails, its cues are gone and nothing may be written.
          skip(reported ? SkipReason::kCorrupted : SkipReason::kNotRecognised);
        }
      }

      if (!skipped) {
        if (output.writer == nullptr) {
          throw std::runtime_error("the output format " + std::string(output.name) +
                                   " cannot be written");
        }
        const bool force_extension = front_end.ForceExtensionOn();
        const std::string base = OutputBaseFor(path, options);
        const std::string target =
            force_extension ? ReplaceExtension(base, std::string(output.extension)) : base;
        // Two different sources with one output name (film.sub and film.txt
        // into film.srt, or two folders into one output folder): the second
        // would silently replace the first one's output.
        if (const auto it = source_of_output.find(target);
            it != source_of_output.end() && it->second != path) {
          throw std::runtime_error("the output \"" + target + "\" was already written from \"" +
                                   it->second + "\" in this run");
        }
        // The output is made (in a temporary file) before the source is
        // moved, so a writer that fails leaves the source where it was.
        WriteDocumentToFile(doc, format, target, [&] {
          if (front_end.BackupOn()) BackupFile(path);
        });
        result.written.push_back(target);
        source_of_output[target] = path;
      }
    } catch (const std::exception& e) {
      if (!path.empty()) {
        result.abandoned.push_back(path);
        front_end.FileAbandoned(path, e.what());
      }
    } catch (...) {
      if (!path.empty()) {
        result.abandoned.push_back(path);
        front_end.FileAbandoned(path, "unknown error");
      }
    }
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
