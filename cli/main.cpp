// vorlane-cli: the headless front end. Converts subtitle files, or standard
// input to standard output, into one chosen format.
//
//   vorlane-cli [OPTIONS] FORMAT PATH...
//
// Exit status: 0 when every input was converted, 1 when any input was
// skipped, not recognised or corrupted, 2 for a usage error.
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "batch/batch_driver.h"
#include "batch/input_gathering.h"
#include "cli/report.h"
#include "subtitles/catalogue.h"
#include "subtitles/decimal.h"
#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "subtitles/pending_file.h"
#include "subtitles/retiming.h"
#include "subtitles/subtitles.h"

namespace {

using namespace vorlane;

constexpr int kConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

// Messages go out through the C library's stdout and stderr, which the
// standard iostreams would write through anyway. Without <iostream> a start
// does not build the eight standard streams and the C++ classic locale
// (about a tenth of the processor time of converting one small file).
void PrintError(std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// False when standard output did not take the text.
bool Print(std::string_view text) {
  return std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
}

const char kUsage[] =
    "Usage: vorlane-cli [OPTIONS] FORMAT PATH...\n"
    "Converts subtitle files into FORMAT. A PATH of - reads standard input and\n"
    "writes the result to standard output. A folder is searched with its\n"
    "subfolders for files with a subtitle extension; a file named on its own is\n"
    "taken whatever its extension.\n"
    "\n"
    "Options:\n"
    "  --list-formats     list the output formats: name, value and extension\n"
    "  --fps RATE         frame rate (1 to 1000) for frame-based input and output,\n"
    "                     used when no video of the same name beside the file\n"
    "                     tells one\n"
    "  --no-backup        do not move source files into a BAK folder\n"
    "  --no-force-ext     write into the input's own name, not the format's extension\n"
    "  --output-dir DIR   write the outputs into DIR instead of beside their inputs;\n"
    "                     files found in a folder keep their path below it there\n"
    "  --shift TIME       move every cue by TIME: seconds (-2.5) or [-]H:MM:SS.mmm\n"
    "  --transform-framerate FROM TO\n"
    "                     scale every time by FROM/TO, for a video played at TO\n"
    "                     frames per second instead of FROM (after --shift)\n"
    "  --report FILE      write a JSON report of every input into FILE (- for\n"
    "                     standard output, unless an input is -); a pipe or device\n"
    "                     is written into, never replaced; not into a BAK folder\n"
    "  --jobs N           read and convert up to N files at once (default: the\n"
    "                     number of processors); the results are those of --jobs 1\n"
    "  --input-encoding NAME|auto\n"
    "                     the character set of 8-bit input (an iconv name such as\n"
    "                     WINDOWS-1251), converted to UTF-8 for reading; auto guesses\n"
    "                     it and fails when the guess is not confident (without the\n"
    "                     option it is guessed too, an unsure guess only warned of)\n"
    "  --output-encoding source|utf-8|utf-8-bom|NAME\n"
    "                     the output's character set: source (the default) writes\n"
    "                     the input's own; utf-8 and utf-8-bom write UTF-8, NAME an\n"
    "                     iconv character set; WebVTT, TTML, SBV and TTXT are\n"
    "                     always UTF-8\n"
    "  --classic          read with the classic rules only, and offer only the 50\n"
    "                     classic output formats\n"
    "  --quiet            print nothing but errors: no progress, no summary, no\n"
    "                     reading warnings\n"
    "  --strict           fail a file whose reading gave a warning (a malformed cue\n"
    "                     left out or kept as text of the cue before): nothing is\n"
    "                     written for it\n"
    "  --version          show the version\n"
    "  --help             show this help\n"
    "\n"
    "After a run, standard error gets the line \"converted N, skipped M, failed K\":\n"
    "skipped inputs held nothing to convert (not recognised, empty, no cue to\n"
    "write, no frame rate), failed ones could not be read, parsed or written.\n"
    "No output without a cue is written over anything. A file named twice is\n"
    "converted once; the second naming is a note.\n";

int DefaultJobs() {
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(std::min(cores, 64u));
}

struct Options {
  bool list_formats = false;
  bool help = false;
  bool backup = true;
  bool force_extension = true;
  bool quiet = false;
  bool version = false;
  bool classic = false;
  bool strict = false;
  double fps = 0;
  int jobs = DefaultJobs();
  std::string output_dir;
  std::string report;  // empty: no report
  Retiming retiming;
  std::string input_encoding;
  OutputEncoding output_encoding = OutputEncoding::kSource;
  std::string output_charset;
  std::vector<std::string> positional;
};

int UsageError(const std::string& message) {
  PrintError("vorlane-cli: " + message + "\nTry 'vorlane-cli --help'.\n");
  return kUsageError;
}

// The frame rates --fps takes.
constexpr double kLowestRate = 1;
constexpr double kHighestRate = 1000;

bool ParseRate(const std::string& text, double& rate) {
  try {
    rate = StrToFloat(text, '.');
  } catch (const SubtitleError&) {
    return false;
  }
  return std::isfinite(rate) && rate >= kLowestRate && rate <= kHighestRate;
}

// A path as one line of a list: as it is, unless it holds a control
// character (a newline would split it into two entries), then in double
// quotes with C escapes.
std::string Quoted(const std::string& path) {
  const bool plain = std::none_of(path.begin(), path.end(), [](char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
  });
  if (plain) return path;
  std::string out = "\"";
  for (char c : path) {
    const auto u = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        if (u < 0x20 || u == 0x7F) {
          static constexpr char kHex[] = "0123456789abcdef";
          out += "\\x";
          out += kHex[u >> 4];
          out += kHex[u & 0xF];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

// The lines told on standard error about one input: each reading warning,
// and what the output (in format, sf0 when none was written) could not show.
std::vector<std::string> FileNotes(const std::string& path,
                                   const std::vector<ReadingWarning>& warnings,
                                   const DroppedCounts& dropped, TSubtitleFormat format) {
  std::vector<std::string> notes;
  const std::string name = "vorlane-cli: " + Quoted(path) + ": ";
  for (const ReadingWarning& warning : warnings) {
    notes.push_back(name + "warning: " + warning.problem +
                    (warning.line > 0 ? " (line " + std::to_string(warning.line) + ")" : ""));
  }
  if (format != sf0 && (dropped.styles > 0 || dropped.positions > 0 || dropped.colours > 0)) {
    std::string what;
    auto add = [&](std::size_t n, const char* one, const char* many) {
      if (n == 0) return;
      if (!what.empty()) what += ", ";
      what += std::to_string(n) + " " + (n == 1 ? one : many);
    };
    add(dropped.styles, "style", "styles");
    add(dropped.colours, "colour", "colours");
    add(dropped.positions, "position", "positions");
    notes.push_back(name + what + " left out: " + std::string(FormatOf(format).name) +
                    " cannot show them");
  }
  return notes;
}

bool ParseJobs(const std::string& text, int& jobs) {
  if (text.empty() || text.size() > 4 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  jobs = std::stoi(text);
  return jobs >= 1 && jobs <= 1024;
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
    } else if (arg == "--classic") {
      options.classic = true;
    } else if (arg == "--quiet" || arg == "-q") {
      options.quiet = true;
    } else if (arg == "--version") {
      options.version = true;
    } else if (arg == "--strict") {
      options.strict = true;
    } else if (IsOption(arg, "--shift")) {
      std::string value;
      if (!OptionValue(argc, argv, i, "--shift", value)) {
        return UsageError("--shift needs a time, such as --shift -2.5 or --shift 00:01:02.500");
      }
      const std::optional<std::int64_t> shift = ParseTimeAmount(value);
      if (!shift) {
        return UsageError("'" + value +
                          "' is not a valid time for --shift: give seconds (-2.5) or "
                          "[-]H:MM:SS.mmm, within 5965 hours");
      }
      options.retiming.shift = *shift;
      options.retiming.classic_shift = *ParseTimeAmount(value, 2);

    } else if (IsOption(arg, "--transform-framerate")) {
      // Two values: "--transform-framerate FROM TO" or "--transform-framerate=FROM TO".
      std::string from;
      if (!OptionValue(argc, argv, i, "--transform-framerate", from) || i + 1 >= argc) {
        return UsageError(
            "--transform-framerate needs two frame rates, such as --transform-framerate 25 23.976");
      }
      const std::string to = argv[++i];
      double* rates[] = {&options.retiming.from_rate, &options.retiming.to_rate};
      const std::string* values[] = {&from, &to};
      for (int k = 0; k < 2; ++k) {
        if (!ParseRate(*values[k], *rates[k]) || *rates[k] <= 0) {
          return UsageError("'" + *values[k] +
                            "' is not a valid frame rate for --transform-framerate");
        }
      }
    } else if (IsOption(arg, "--report")) {
      if (!OptionValue(argc, argv, i, "--report", options.report) || options.report.empty()) {
        return UsageError("--report needs a file, such as --report run.json");
      }
    } else if (IsOption(arg, "--fps")) {
      std::string value;
      if (!OptionValue(argc, argv, i, "--fps", value)) {
        return UsageError("--fps needs a frame rate, such as --fps 25");
      }
      if (!ParseRate(value, options.fps)) {
        return UsageError("'" + value + "' is not a valid frame rate for --fps (1 to 1000)");
      }
    } else if (IsOption(arg, "--jobs")) {
      std::string value;
      if (!OptionValue(argc, argv, i, "--jobs", value)) {
        return UsageError("--jobs needs a number of files, such as --jobs 4");
      }
      if (!ParseJobs(value, options.jobs)) {
        return UsageError("'" + value + "' is not a valid number for --jobs (1 to 1024)");
      }
    } else if (IsOption(arg, "--output-dir")) {
      if (!OptionValue(argc, argv, i, "--output-dir", options.output_dir) ||
          options.output_dir.empty()) {
        return UsageError("--output-dir needs a folder, such as --output-dir converted");
      }
    } else if (IsOption(arg, "--input-encoding")) {
      if (!OptionValue(argc, argv, i, "--input-encoding", options.input_encoding) ||
          options.input_encoding.empty()) {
        return UsageError("--input-encoding needs a character set, such as WINDOWS-1252, or auto");
      }
      if (options.input_encoding != "auto" && !IsKnownCharset(options.input_encoding)) {
        return UsageError("unknown character set '" + options.input_encoding +
                          "' for --input-encoding");
      }
    } else if (IsOption(arg, "--output-encoding")) {
      std::string value;
      if (!OptionValue(argc, argv, i, "--output-encoding", value)) value.clear();
      if (value == "source") {
        options.output_encoding = OutputEncoding::kSource;
      } else if (value == "utf-8") {
        options.output_encoding = OutputEncoding::kUtf8;
      } else if (value == "utf-8-bom") {
        options.output_encoding = OutputEncoding::kUtf8Bom;
      } else if (!value.empty() && IsKnownCharset(value)) {
        options.output_encoding = OutputEncoding::kNamed;
        options.output_charset = value;
      } else {
        return UsageError(
            "--output-encoding takes source, utf-8, utf-8-bom or a character set iconv knows");
      }
    } else {
      return UsageError("unknown option '" + arg + "'");
    }
  }
  return -1;
}

void ListFormats(bool classic) {
  for (TSubtitleFormat value : OutputFormatsInBoxOrder(classic)) {
    const FormatInfo& info = FormatOf(value);
    Print(std::string(info.name) + '\t' + std::to_string(static_cast<int>(value)) + '\t' +
          std::string(info.extension) + '\n');
  }
}

// Set by the first Ctrl+C, SIGTERM or SIGHUP: the run stops after the file
// it is converting. A second one removes the output being written and ends
// the program at once.
volatile sig_atomic_t interrupted = 0;

// "vorlane-cli: <path>: warning: <problem> (line N)" on standard error for
// each warning, unless quiet.
void PrintWarnings(const Options& options, const std::string& path,
                   const std::vector<ReadingWarning>& warnings) {
  if (options.quiet) return;
  for (const ReadingWarning& warning : warnings) {
    std::string text = "vorlane-cli: " + path + ": warning: " + warning.problem;
    if (warning.line > 0) text += " (line " + std::to_string(warning.line) + ")";
    PrintError(text + '\n');
  }
}

// The failure --strict makes of a document's first reading warning, empty
// when there is none.
std::string StrictFailure(const TSubtitles& doc) {
  if (doc.Warnings.empty()) return {};
  const ReadingWarning& first = doc.Warnings.front();
  std::string text = "--strict: " + first.problem;
  if (first.line > 0) text += " (line " + std::to_string(first.line) + ")";
  return text;
}

// Converts standard input to standard output.
int ConvertStream(TSubtitles& doc, TSubtitleFormat format, const Options& options,
                  RunReport& report) {
  const char* name = "<stdin>";
  InputEntry entry;
  entry.path = "-";
  // Prints message and records the input as not converted.
  auto give_up = [&](InputResult result, const std::string& reason, const std::string& message) {
    PrintError(message + '\n');
    entry.result = result;
    entry.reason = reason;
    entry.format = doc.FormatRead();
    entry.cues = doc.Cues.size();
    report.Add(entry);
    return kSomeFailed;
  };
  bool frame_based = false;
  std::string input;
  try {
    if (!ReadAllBytes(STDIN_FILENO, input, [] { return interrupted != 0; })) {
      throw SubtitleError(errno == EINTR ? "interrupted" : std::strerror(errno));
    }
  } catch (const std::exception& e) {
    const std::string message = FailureOf(name, e).BoxText();
    return give_up(InputResult::kFailed, message, message);
  }
  // The direct way holds no more than the input: a first pass without
  // output tells whether it goes through, since what has gone out to
  // standard output cannot be taken back.
  if (options.retiming.Empty() && DirectConversionWanted(format, BatchOptions{}) &&
      doc.ConvertDirect(input, format, nullptr) > 0) {
    if (std::fflush(stdout) != 0) {
      return give_up(InputResult::kFailed, "cannot write to standard output",
                     "vorlane-cli: cannot write to standard output");
    }
    FdSink out(STDOUT_FILENO, "cannot write to standard output");
    try {
      entry.cues = doc.ConvertDirect(input, format, &out);
    } catch (const std::exception&) {
      return give_up(InputResult::kFailed, "cannot write to standard output",
                     "vorlane-cli: cannot write to standard output");
    }
    // Only memory running out can stop the second pass where the first
    // went through.
    if (entry.cues == 0) {
      return give_up(InputResult::kFailed, "Out of memory",
                     "vorlane-cli: " + std::string(name) + ": not converted: Out of memory");
    }
    entry.format = doc.FormatRead();
    entry.output = "-";
    report.Add(entry);
    return kConverted;
  }
  try {
    if (!doc.LoadFromText(input, frame_based)) {
      const std::string reason = SkipReasonText(
          doc.BlankInput() ? SkipReason::kEmpty : SkipReason::kNotRecognised, format, "");
      return give_up(InputResult::kSkipped, reason,
                     "vorlane-cli: " + std::string(name) + ": " + reason);
    }
    // A rate the input gives itself comes before --fps, as it does for a
    // file without a video beside it; the frames are then read again.
    if (frame_based && doc.FileFrameRate() > 0) {
      doc.SetFrameRate(doc.FileFrameRate());
      doc.LoadFromText(input, frame_based);
    }
  } catch (const UnsupportedFormatError& e) {
    return give_up(InputResult::kSkipped, e.what(),
                   "vorlane-cli: " + std::string(name) +
                       ": format not recognised or not readable: " + e.what());
  } catch (const std::exception& e) {
    const std::string message = FailureOf(name, e).BoxText();
    return give_up(InputResult::kFailed, message, message);
  }
  entry.warnings = doc.Warnings;
  PrintWarnings(options, name, doc.Warnings);
  if (options.strict && !doc.Warnings.empty()) {
    const std::string reason = StrictFailure(doc);
    return give_up(InputResult::kFailed, reason,
                   "vorlane-cli: " + std::string(name) + ": not converted: " + reason);
  }
  if (frame_based && !HasUsableFrameRate(doc)) {
    return give_up(
        InputResult::kSkipped, SkipReasonText(SkipReason::kInputNeedsFrameRate, format, ""),
        "vorlane-cli: " + std::string(name) +
            ": the input counts frames and needs a frame rate; give one with --fps RATE");
  }
  // Written without a rate, every frame number would come out as 0.
  if (FormatOf(format).writes_frames && !HasUsableFrameRate(doc)) {
    return give_up(InputResult::kSkipped,
                   SkipReasonText(SkipReason::kOutputNeedsFrameRate, format, ""),
                   "vorlane-cli: " + std::string(name) + ": the output format " +
                       std::string(FormatOf(format).name) +
                       " counts frames and needs a frame rate; give one with --fps RATE");
  }
  try {
    Retime(doc, options.retiming);
    if (!options.retiming.Empty()) CheckRetimedTimes(doc, format);
  } catch (const std::exception& e) {
    return give_up(InputResult::kFailed, e.what(),
                   "vorlane-cli: " + std::string(name) + ": not converted: " + e.what());
  }
  // Standard output replaces nothing, so the classic reading writes what
  // it always wrote.
  if (const std::string_view nothing = doc.NothingToWrite(); !nothing.empty() && !options.classic) {
    const std::string reason =
        SkipReasonText(SkipReason::kNothingToWrite, format, std::string(nothing));
    return give_up(InputResult::kSkipped, reason,
                   "vorlane-cli: " + std::string(name) + ": " + reason);
  }
  // Streamed in large blocks as the writer goes, never held whole.
  if (std::fflush(stdout) != 0) {
    return give_up(InputResult::kFailed, "cannot write to standard output",
                   "vorlane-cli: cannot write to standard output");
  }
  FdSink out(STDOUT_FILENO, "cannot write to standard output");
  try {
    WriteDocument(doc, format, out);
  } catch (const std::exception& e) {
    if (out.Failed()) {
      return give_up(InputResult::kFailed, "cannot write to standard output",
                     "vorlane-cli: cannot write to standard output");
    }
    return give_up(InputResult::kFailed, e.what(),
                   "vorlane-cli: " + std::string(name) + ": not converted: " + e.what());
  }
  entry.format = doc.FormatRead();
  entry.cues = doc.Cues.size();
  entry.output = "-";
  entry.warnings = doc.Warnings;
  entry.dropped = doc.Dropped;
  entry.charset_read = doc.InputCharset();
  entry.charset_guessed = doc.CharsetGuessed();
  entry.charset_written = doc.OutputCharset(format);
  report.Add(entry);
  if (!options.quiet) {
    // The warnings were told as the input was read.
    for (const std::string& note : FileNotes("-", {}, doc.Dropped, format)) {
      PrintError(note + '\n');
    }
  }
  return kConverted;
}

extern "C" void OnInterrupt(int signal_number) {
  if (interrupted) {
    RemoveLiveTemporaries();
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
  CliFrontEnd(const Options& options, const std::vector<std::string>& files, TSubtitleFormat format,
              RunReport& report)
      : options_(options),
        files_(files),
        format_(format),
        report_(report),
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
    const std::string name = "vorlane-cli: " + Quoted(notice.path) + ": ";
    switch (notice.reason) {
      case SkipReason::kNotRecognised:
        Error(name + "format not recognised or not readable");
        break;
      case SkipReason::kNotSupported:
        Error(name + "format not recognised or not readable: " + notice.detail);
        break;
      case SkipReason::kCorrupted:
        break;  // the engine's report has been printed
      case SkipReason::kNotFound:
        Error(name + "not found");
        break;
      case SkipReason::kCannotOpen:
        Error(name + "cannot open: " + notice.detail);
        break;
      case SkipReason::kNotRegularFile:
        Error(name + "not a regular file (a folder, pipe or device); not opened");
        break;
      case SkipReason::kEmpty:
      case SkipReason::kNothingToWrite:
      case SkipReason::kTextAfterNul:
        Error(name + SkipReasonText(notice.reason, format_, notice.detail));
        break;
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

  void StaleLookAlikeKept(const std::string& path) override {
    if (!options_.quiet) {
      Error("vorlane-cli: " + Quoted(path) +
            ": named like a temporary file left by a run, but not marked as one; left alone");
    }
  }

  void FileNamedTwice(const std::string& path) override {
    if (!options_.quiet) Error("vorlane-cli: " + Quoted(path) + ": " + kNamedTwiceNote);
  }

  void FileAbandoned(const std::string& path, const std::string& reason) override {
    Error("vorlane-cli: " + Quoted(path) + ": not converted: " + reason);
  }

  void ShowSkippedFiles(const std::vector<std::string>& paths) override {
    if (options_.quiet) return;
    ClearProgress();
    PrintError("Skipped files\n");
    for (const auto& path : paths) PrintError(Quoted(path) + '\n');
  }

  void SetProgress(int position, int /*maximum*/) override { Progress(position); }
  void ProcessEvents() override {}
  bool StopRequested() override { return interrupted != 0; }
  void FileFinished(const FileRecord& record) override {
    report_.Add(EntryOf(record, format_));
    if (!options_.quiet) {
      for (const std::string& note : FileNotes(record.path, record.warnings, record.dropped,
                                               record.output.empty() ? sf0 : format_)) {
        Error(note);
      }
    }
  }

  void EndProgress() { ClearProgress(); }

 private:
  void Error(const std::string& message) {
    ClearProgress();
    PrintError(message + '\n');
    DrawProgress();
  }
  void Progress(int done) {
    done_ = done;
    DrawProgress();
  }
  void DrawProgress() {
    if (!show_progress_ || done_ < 0) return;
    PrintError("\rvorlane-cli: " + std::to_string(done_) + " of " + std::to_string(files_.size()) +
               " files");
    drawn_ = true;
  }
  void ClearProgress() {
    if (!drawn_) return;
    PrintError("\r\033[K");
    drawn_ = false;
  }

  const Options& options_;
  const std::vector<std::string>& files_;
  TSubtitleFormat format_;
  RunReport& report_;
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

// The files named and those found below the folders named. subfolders
// takes, for each file found by a search, its folder relative to the folder
// searched (when not that folder itself), which --output-dir mirrors; a
// file found twice keeps the first.
std::vector<std::string> GatherFiles(const Options& options, const std::vector<std::string>& paths,
                                     std::map<std::string, std::string>& subfolders) {
  std::vector<std::string> files;
  std::set<std::string> named_alone;
  for (const std::string& path : paths) {
    const std::string full = FullPath(path);
    if (IsFolder(full)) {
      // A folder as the window's command line takes it: searched with its
      // subfolders, subtitle extensions only.
      const std::size_t before = files.size();
      FileLook(full, files, options.classic);
      if (files.size() == before && !options.quiet) {
        PrintError("vorlane-cli: " + full + ": no subtitle files found\n");
      }
      const std::string root = full.back() == '/' ? full : full + "/";
      for (std::size_t i = before; i < files.size(); ++i) {
        const std::string& file = files[i];
        const std::size_t slash = file.rfind('/');
        if (file.rfind(root, 0) != 0 || slash + 1 <= root.size()) continue;
        if (named_alone.count(file) != 0) continue;
        subfolders.try_emplace(file, file.substr(root.size(), slash - root.size()));
      }
    } else {
      // A file named on its own is meant, whatever its extension.
      files.push_back(full);
      named_alone.insert(full);
    }
  }
  return files;
}

// Converts the files gathered.
int ConvertFiles(const Options& options, const std::vector<std::string>& files,
                 const std::map<std::string, std::string>& subfolders, TSubtitleFormat format,
                 RunReport& report) {
  if (files.empty()) return kConverted;

  BatchOptions batch;
  batch.output_folder = options.output_dir;
  batch.classic_reading = options.classic;
  batch.fallback_frame_rate = options.fps;
  batch.jobs = options.jobs;
  if (!options.retiming.Empty() || options.strict) {
    // --strict fails a file with a reading warning before anything is
    // written; the transform runs after reading and before the source moves.
    batch.transform = [&options, format](TSubtitles& doc) {
      if (options.strict && !doc.Warnings.empty()) throw std::runtime_error(StrictFailure(doc));
      if (options.retiming.Empty()) return;
      Retime(doc, options.retiming);
      CheckRetimedTimes(doc, format);
    };
  }
  batch.input_encoding = options.input_encoding;
  batch.output_encoding = options.output_encoding;
  batch.output_charset = options.output_charset;
  batch.output_subfolders = subfolders;
  CliFrontEnd front_end(options, files, format, report);
  if (interrupted) {
    // Stopped before the first file (while the folders were searched):
    // nothing is touched, and the run still ends with its summary.
    PrintError("vorlane-cli: interrupted; " + std::to_string(files.size()) + " of " +
               std::to_string(files.size()) + " files were left as they were\n");
    report.SetInterrupted();
    return kSomeFailed;
  }
  const BatchResult result = ConvertAll(static_cast<int>(files.size()), format, front_end, batch);
  front_end.EndProgress();
  if (result.stopped) {
    // The run does not show the skipped files when it is cut short; the
    // user still wants to know them.
    const std::size_t reached = result.written.size() + result.skipped.size() +
                                result.abandoned.size() + result.named_twice.size();
    PrintError("vorlane-cli: interrupted; " + std::to_string(files.size() - reached) + " of " +
               std::to_string(files.size()) + " files were left as they were\n");
    if (!result.skipped.empty()) front_end.ShowSkippedFiles(result.skipped);
    report.SetInterrupted();
    return kSomeFailed;
  }
  return result.skipped.empty() && result.abandoned.empty() ? kConverted : kSomeFailed;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return a == b || std::filesystem::equivalent(a, b, error);
}

// Where --report leads: the file to write through a temporary file beside
// it (a regular file or a new name, a symbolic link followed to what it
// names), or a pipe or character device to write into where it is.
struct ReportPlace {
  std::string path;
  bool in_place = false;
};

// The name a chain of symbolic links at path ends in, for a link whose
// target does not exist yet; path itself when it is no link.
std::string FollowLinks(std::string path) {
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char target[PATH_MAX];
    const ssize_t n = ::readlink(path.c_str(), target, sizeof target - 1);
    if (n <= 0) return path;
    const std::string next(target, static_cast<std::size_t>(n));
    path = next[0] == '/'
               ? next
               : FullPath(std::filesystem::path(path).parent_path().string() + "/" + next);
  }
  return path;
}

bool InsideBackupFolder(const std::string& path) {
  return std::filesystem::path(path).parent_path().filename() == "BAK";
}

// Why the report may not be written where given names (a usage error
// before the run), or empty when it may, with place telling how. The
// report never takes the place of an input, and never goes into a BAK
// folder, where the run keeps its backups.
std::string ReportPathProblem(const std::string& given, const std::vector<std::string>& inputs,
                              ReportPlace& place) {
  const std::string full = FullPath(given);
  struct stat st {};
  if (::stat(full.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return "'" + full + "' is a folder";
    if (S_ISFIFO(st.st_mode) || S_ISCHR(st.st_mode)) {
      // Written into, never replaced: --report >(jq .), /dev/stdout.
      place = {full, true};
      return {};
    }
    if (!S_ISREG(st.st_mode)) return "'" + full + "' is not a file (a socket or block device)";
    char real[PATH_MAX];
    place = {::realpath(full.c_str(), real) != nullptr ? std::string(real) : full, false};
  } else if (errno == ENOENT) {
    place = {FollowLinks(full), false};
  } else {
    return "'" + full + "': " + std::strerror(errno);
  }
  const std::string folder = std::filesystem::path(place.path).parent_path().string();
  if (!folder.empty() && !IsFolder(folder)) return "the folder '" + folder + "' does not exist";
  if (!folder.empty() && ::access(folder.c_str(), W_OK) != 0) {
    return "cannot write into the folder '" + folder + "'";
  }
  if (InsideBackupFolder(place.path)) {
    return "'" + place.path + "' is inside a BAK folder, where the run keeps the backups";
  }
  for (const std::string& input : inputs) {
    if (SameFile(place.path, input)) return "'" + place.path + "' is one of the inputs";
  }
  return {};
}

// Writes the report where --report asks; false after saying why it could not.
bool WriteReport(const Options& options, const RunReport& report, TSubtitleFormat format,
                 const std::vector<std::string>& inputs) {
  const std::string json = report.Json(VORLANE_VERSION, format);
  if (options.report == "-") {
    if (Print(json) && std::fflush(stdout) == 0) return true;
    PrintError("vorlane-cli: cannot write the report to standard output\n");
    return false;
  }
  // Looked at again: the run may have made a file of that name, or a BAK
  // folder where it lies.
  ReportPlace place;
  std::string problem = ReportPathProblem(options.report, inputs, place);
  for (const InputEntry& entry : report.Entries()) {
    if (!problem.empty()) break;
    for (const std::string* made : {&entry.output, &entry.backup}) {
      if (!made->empty() && *made != "-" && SameFile(place.path, *made)) {
        problem = "'" + place.path + "' is " + (made == &entry.output ? "an output" : "a backup") +
                  " of this run";
      }
    }
  }
  if (!problem.empty()) {
    PrintError("vorlane-cli: the report was not written: " + problem + '\n');
    return false;
  }
  try {
    if (place.in_place) {
      WriteIntoNode(place.path, json);
    } else {
      WriteWholeFile(place.path, json);
    }
  } catch (const std::exception& e) {
    PrintError("vorlane-cli: the report was not written: " + std::string(e.what()) + '\n');
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  // Ctrl+C, SIGTERM and SIGHUP are the run's to handle from the start: one
  // that comes while the folders are still searched stops the run before
  // its first file, with its summary and its report.
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    ::sigaction(signal_number, &action, nullptr);
  }
  // The user's regional settings decide the decimal separator of
  // floating-point text in subtitle files.
  std::setlocale(LC_ALL, "");
  std::setlocale(LC_MESSAGES, "C");

  Options options;
  if (const int status = ParseArguments(argc, argv, options); status >= 0) return status;
  if (options.help) {
    Print(kUsage);
    return kConverted;
  }
  if (options.version) {
    Print("vorlane-cli " VORLANE_VERSION "\n");
    return kConverted;
  }
  if (options.list_formats) {
    ListFormats(options.classic);
    return kConverted;
  }
  if (options.positional.empty()) return UsageError("no output format given");
  const auto format = FindFormatByName(options.positional.front(), options.classic);
  if (!format) return UsageError("unknown output format '" + options.positional.front() + "'");
  if (FormatOf(*format).writer == nullptr) {
    PrintError("vorlane-cli: the output format " + std::string(FormatOf(*format).name) +
               " cannot be written by this version\n");
    return kUsageError;
  }
  if (options.positional.size() < 2) return UsageError("no input paths given");

  std::vector<std::string> paths;
  for (std::size_t i = 1; i < options.positional.size(); ++i) {
    if (options.positional[i] != "-") paths.push_back(options.positional[i]);
  }
  const bool stdin_input = paths.size() + 1 < options.positional.size();
  if (options.report == "-" && stdin_input) {
    return UsageError("--report - would mix the report into the output on standard output");
  }
  std::map<std::string, std::string> subfolders;
  const std::vector<std::string> files = GatherFiles(options, paths, subfolders);
  if (!options.report.empty() && options.report != "-") {
    ReportPlace place;
    if (const std::string problem = ReportPathProblem(options.report, files, place);
        !problem.empty()) {
      return UsageError("--report: " + problem);
    }
  }
  if (!paths.empty() && !options.output_dir.empty()) {
    if (const std::string problem = PrepareOutputFolder(options.output_dir); !problem.empty()) {
      return UsageError("--output-dir: " + problem);
    }
  }

  int status = kConverted;
  RunReport report;
  // Standard input first, then the files; one document serves all of
  // standard input, as one run serves all files.
  TSubtitles doc;
  doc.SetFrameRate(options.fps);
  doc.SetClassicReading(options.classic);
  doc.SetInputEncoding(options.input_encoding);
  doc.SetOutputEncoding(options.output_encoding, options.output_charset);
  doc.SetTargetFormat(*format);
  for (std::size_t i = 1; i < options.positional.size(); ++i) {
    if (options.positional[i] == "-" &&
        ConvertStream(doc, *format, options, report) != kConverted) {
      status = kSomeFailed;
    }
  }
  if (ConvertFiles(options, files, subfolders, *format, report) != kConverted) {
    status = kSomeFailed;
  }
  if (!options.report.empty() && !WriteReport(options, report, *format, files)) {
    status = kSomeFailed;
  }
  if (!options.quiet) PrintError(report.SummaryLine() + '\n');
  return status;
}
