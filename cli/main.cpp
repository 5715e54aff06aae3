// vorlane-cli: the headless front end. Converts subtitle files, or standard
// input to standard output, into one chosen format.
//
//   vorlane-cli [OPTIONS] FORMAT PATH...
//
// Exit status: 0 when every input was converted, 1 when any input was
// skipped, not recognised or corrupted, 2 for a usage error.
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <iterator>
#include <string>
#include <system_error>
#include <vector>

#include "app/batch/batch_driver.h"
#include "app/batch/input_gathering.h"
#include "subtitles/catalogue.h"
#include "subtitles/decimal.h"
#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "subtitles/subtitles.h"

namespace {

using namespace vorlane;

constexpr int kConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

const char kUsage[] =
    "Usage: vorlane-cli [OPTIONS] FORMAT PATH...\n"
    "Converts subtitle files into FORMAT. A PATH of - reads standard input and\n"
    "writes the result to standard output. A folder is searched with its\n"
    "subfolders for files with a subtitle extension; a file named on its own is\n"
    "taken whatever its extension.\n"
    "\n"
    "Options:\n"
    "  --list-formats     list the output formats: name, value and extension\n"
    "  --fps RATE         frame rate for frame-based input and output, used when no\n"
    "                     video of the same name lies beside the file\n"
    "  --no-backup        do not move source files into a BAK folder\n"
    "  --no-force-ext     write into the input's own name, not the format's extension\n"
    "  --output-dir DIR   write the outputs into DIR instead of beside their inputs\n"
    "  --quiet            print nothing but errors\n"
    "  --help             show this help\n";

struct Options {
  bool list_formats = false;
  bool help = false;
  bool backup = true;
  bool force_extension = true;
  bool quiet = false;
  double fps = 0;
  std::string output_dir;
  std::vector<std::string> positional;
};

int UsageError(const std::string& message) {
  std::cerr << "vorlane-cli: " << message << "\nTry 'vorlane-cli --help'.\n";
  return kUsageError;
}

bool ParseRate(const std::string& text, double& rate) {
  try {
    rate = StrToFloat(text, '.');
  } catch (const SubtitleError&) {
    return false;
  }
  return std::isfinite(rate) && rate >= 0;
}

// The value of an option given as "--name VALUE" or "--name=VALUE".
// Returns false when it is missing.
bool OptionValue(int argc, char** argv, int& i, const std::string& name, std::string& value) {
  const std::string arg = argv[i];
  if (arg == name) {
    if (i + 1 >= argc) return false;
    value = argv[++i];
  } else {
    value = arg.substr(name.size() + 1);
  }
  return true;
}

bool IsOption(const std::string& arg, const std::string& name) {
  return arg == name || arg.rfind(name + "=", 0) == 0;
}

// Returns -1 when the arguments are fine, else the exit status.
int ParseArguments(int argc, char** argv, Options& options) {
  bool only_paths = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (only_paths || arg == "-" || arg.empty() || arg[0] != '-') {
      options.positional.push_back(arg);
    } else if (arg == "--") {
      only_paths = true;
    } else if (arg == "--list-formats") {
      options.list_formats = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (arg == "--no-backup") {
      options.backup = false;
    } else if (arg == "--no-force-ext") {
      options.force_extension = false;
    } else if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
    } else if (IsOption(arg, "--fps")) {
      std::string value;
      if (!OptionValue(argc, argv, i, "--fps", value)) {
        return UsageError("--fps needs a frame rate, such as --fps 25");
      }
      if (!ParseRate(value, options.fps)) {
        return UsageError("'" + value + "' is not a valid frame rate for --fps");
      }
    } else if (IsOption(arg, "--output-dir")) {
      if (!OptionValue(argc, argv, i, "--output-dir", options.output_dir) ||
          options.output_dir.empty()) {
        return UsageError("--output-dir needs a folder, such as --output-dir converted");
      }
    } else {
      return UsageError("unknown option '" + arg + "'");
    }
  }
  return -1;
}

void ListFormats() {
  for (TSubtitleFormat value : OutputFormatsInBoxOrder()) {
    const FormatInfo& info = FormatOf(value);
    std::cout << info.name << '\t' << static_cast<int>(value) << '\t' << info.extension << '\n';
  }
}

// Converts standard input to standard output.
int ConvertStream(TSubtitles& doc, TSubtitleFormat format) {
  const char* name = "<stdin>";
  bool frame_based = false;
  try {
    std::string bytes;
    if (!ReadAllBytes(STDIN_FILENO, bytes)) throw SubtitleError(std::strerror(errno));
    const TextFile input = MakeTextFile(std::move(bytes));
    if (!doc.LoadFromList(input.lines, frame_based)) {
      std::cerr << "vorlane-cli: " << name << ": format not recognised or not readable\n";
      return kSomeFailed;
    }
  } catch (const std::exception& e) {
    std::cerr << CorruptedFileMessage(name, e.what()) << '\n';
    return kSomeFailed;
  }
  if (frame_based && !HasUsableFrameRate(doc)) {
    std::cerr << "vorlane-cli: " << name
              << ": the input counts frames and needs a frame rate; give one with --fps RATE\n";
    return kSomeFailed;
  }
  // Written without a rate, every frame number would come out as 0.
  if (FormatOf(format).writes_frames && !HasUsableFrameRate(doc)) {
    std::cerr << "vorlane-cli: " << name << ": the output format " << FormatOf(format).name
              << " counts frames and needs a frame rate; give one with --fps RATE\n";
    return kSomeFailed;
  }
  // Streamed in large blocks as the writer goes, never held whole.
  if (std::fflush(stdout) != 0) {
    std::cerr << "vorlane-cli: cannot write to standard output\n";
    return kSomeFailed;
  }
  FdSink out(STDOUT_FILENO, "cannot write to standard output");
  try {
    WriteDocument(doc, format, out);
  } catch (const std::exception& e) {
    if (out.Failed()) {
      std::cerr << "vorlane-cli: cannot write to standard output\n";
    } else {
      std::cerr << "vorlane-cli: " << name << ": " << e.what() << '\n';
    }
    return kSomeFailed;
  }
  return kConverted;
}

// Set by the first Ctrl+C: the run stops after the file it is converting.
// A second Ctrl+C ends the program at once.
volatile sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int signal_number) {
  if (interrupted) {
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
    return;
  }
  interrupted = 1;
}

// The command line's side of a batch run: the list is fixed, the options
// stand for the check boxes, --fps answers the frame-rate question, and
// whatever the window would show goes to standard error.
class CliFrontEnd : public BatchFrontEnd {
 public:
  CliFrontEnd(const Options& options, const std::vector<std::string>& files, TSubtitleFormat format)
      : options_(options),
        files_(files),
        format_(format),
        // A progress line only where someone watches it, and only when the
        // run is long enough to need one.
        show_progress_(!options.quiet && ::isatty(STDERR_FILENO) == 1 && files.size() > 3) {}

  std::optional<std::string> EntryAt(int index) override {
    if (index < 0 || static_cast<std::size_t>(index) >= files_.size()) return std::nullopt;
    current_ = index;
    return files_[static_cast<std::size_t>(index)];
  }
  bool BackupOn() override { return options_.backup; }
  bool ForceExtensionOn() override { return options_.force_extension; }
  double AskFrameRate(const std::string& /*path*/) override { return options_.fps; }

  void ReportCorruptedFile(const std::string& message) override { Error(message); }

  void FileSkipped(const SkipNotice& notice) override {
    const std::string name = "vorlane-cli: " + notice.path + ": ";
    switch (notice.reason) {
      case SkipReason::kNotRecognised:
        Error(name + "format not recognised or not readable");
        break;
      case SkipReason::kCorrupted:
        break;  // the engine's report has been printed
      case SkipReason::kInputNeedsFrameRate:
      case SkipReason::kOutputNeedsFrameRate: {
        const std::string what =
            notice.reason == SkipReason::kInputNeedsFrameRate
                ? std::string("the input counts frames")
                : "the output format " + std::string(FormatOf(format_).name) + " counts frames";
        if (notice.video.empty()) {
          Error(name + what + " and needs a frame rate; give one with --fps RATE" +
                " or put its video of the same name beside it");
        } else {
          Error(name + what + " and needs a frame rate, which the video " + notice.video +
                " does not tell");
        }
        break;
      }
    }
    Progress(current_ + 1);
  }

  void FileAbandoned(const std::string& path, const std::string& reason) override {
    Error("vorlane-cli: " + path + ": not converted: " + reason);
  }

  void ShowSkippedFiles(const std::vector<std::string>& paths) override {
    if (options_.quiet) return;
    ClearProgress();
    std::cerr << "Skipped files\n";
    for (const auto& path : paths) std::cerr << path << '\n';
  }

  void SetProgress(int position, int /*maximum*/) override { Progress(position); }
  void ProcessEvents() override {}
  bool StopRequested() override { return interrupted != 0; }

  void EndProgress() { ClearProgress(); }

 private:
  void Error(const std::string& message) {
    ClearProgress();
    std::cerr << message << '\n';
    DrawProgress();
  }
  void Progress(int done) {
    done_ = done;
    DrawProgress();
  }
  void DrawProgress() {
    if (!show_progress_ || done_ < 0) return;
    std::cerr << "\rvorlane-cli: " << done_ << " of " << files_.size() << " files" << std::flush;
    drawn_ = true;
  }
  void ClearProgress() {
    if (!drawn_) return;
    std::cerr << "\r\033[K" << std::flush;
    drawn_ = false;
  }

  const Options& options_;
  const std::vector<std::string>& files_;
  TSubtitleFormat format_;
  bool show_progress_;
  bool drawn_ = false;
  int current_ = 0;
  int done_ = -1;
};

// The output folder made ready: created when missing. Empty message when
// all is well.
std::string PrepareOutputFolder(std::string& folder) {
  folder = FullPath(folder);
  std::error_code error;
  if (std::filesystem::is_directory(folder, error)) return {};
  if (std::filesystem::exists(folder, error)) return "'" + folder + "' is not a folder";
  std::filesystem::create_directories(folder, error);
  if (error) return "cannot create the folder '" + folder + "': " + error.message();
  return {};
}

bool IsFolder(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Converts the files named and found below the folders named.
int ConvertFiles(const Options& options, const std::vector<std::string>& paths,
                 TSubtitleFormat format) {
  std::vector<std::string> files;
  for (const std::string& path : paths) {
    const std::string full = FullPath(path);
    if (IsFolder(full)) {
      // A folder as the window's command line takes it: searched with its
      // subfolders, subtitle extensions only.
      const std::size_t before = files.size();
      FileLook(full, files);
      if (files.size() == before && !options.quiet) {
        std::cerr << "vorlane-cli: " << full << ": no subtitle files found\n";
      }
    } else {
      // A file named on its own is meant, whatever its extension.
      files.push_back(full);
    }
  }
  if (files.empty()) return kConverted;

  BatchOptions batch;
  batch.output_folder = options.output_dir;
  CliFrontEnd front_end(options, files, format);
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGINT, &action, nullptr);
  const BatchResult result = ConvertAll(static_cast<int>(files.size()), format, front_end, batch);
  front_end.EndProgress();
  if (result.stopped) {
    // The run does not show the skipped files when it is cut short; the
    // user still wants to know them.
    const std::size_t reached =
        result.written.size() + result.skipped.size() + result.abandoned.size();
    std::cerr << "vorlane-cli: interrupted; " << files.size() - reached << " of " << files.size()
              << " files were left as they were\n";
    if (!result.skipped.empty()) front_end.ShowSkippedFiles(result.skipped);
    return kSomeFailed;
  }
  return result.skipped.empty() && result.abandoned.empty() ? kConverted : kSomeFailed;
}

}  // namespace

int main(int argc, char** argv) {
  // The user's regional settings decide the decimal separator of
  // floating-point text in subtitle files.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_MESSAGES, "C");

  Options options;
  if (const int status = ParseArguments(argc, argv, options); status >= 0) return status;
  if (options.help) {
    std::cout << kUsage;
    return kConverted;
  }
  if (options.list_formats) {
    ListFormats();
    return kConverted;
  }
  if (options.positional.empty()) return UsageError("no output format given");
  const auto format = FindFormatByName(options.positional.front());
  if (!format) return UsageError("unknown output format '" + options.positional.front() + "'");
  if (FormatOf(*format).writer == nullptr) {
    std::cerr << "vorlane-cli: the output format " << FormatOf(*format).name
              << " cannot be written by this version\n";
    return kUsageError;
  }
  if (options.positional.size() < 2) return UsageError("no input paths given");

  std::vector<std::string> paths;
  for (std::size_t i = 1; i < options.positional.size(); ++i) {
    if (options.positional[i] != "-") paths.push_back(options.positional[i]);
  }
  if (!paths.empty() && !options.output_dir.empty()) {
    if (const std::string problem = PrepareOutputFolder(options.output_dir); !problem.empty()) {
      return UsageError("--output-dir: " + problem);
    }
  }

  int status = kConverted;
  // Standard input first, then the files; one document serves all of
  // standard input, as one run serves all files.
  TSubtitles doc;
  doc.SetFrameRate(options.fps);
  for (std::size_t i = 1; i < options.positional.size(); ++i) {
    if (options.positional[i] == "-" && ConvertStream(doc, *format) != kConverted) {
      status = kSomeFailed;
    }
  }
  if (!paths.empty() && ConvertFiles(options, paths, *format) != kConverted) status = kSomeFailed;
  return status;
}
