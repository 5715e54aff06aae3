// vorlane-cli: the headless front end. Converts subtitle files, or standard
// input to standard output, into one chosen format.
//
//   vorlane-cli [OPTIONS] FORMAT PATH...
//
// Exit status: 0 when every input was converted, 1 when any input was
// skipped, not recognised or corrupted, 2 for a usage error.
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/decimal.h"
#include "subtitles/errors.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace {

using namespace vorlane;

constexpr int kConverted = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsageError = 2;

const char kUsage[] =
    "Usage: vorlane-cli [OPTIONS] FORMAT PATH...\n"
    "Converts subtitle files into FORMAT. A PATH of - reads standard input and\n"
    "writes the result to standard output.\n"
    "\n"
    "Options:\n"
    "  --list-formats   list the output formats: name, value and extension\n"
    "  --fps RATE       frame rate for frame-based input and output\n"
    "  --no-backup      do not move source files into a BAK folder\n"
    "  --no-force-ext   write into the input's own name, not the format's extension\n"
    "  --help           show this help\n";

struct Options {
  bool list_formats = false;
  bool help = false;
  bool backup = true;
  bool force_extension = true;
  double fps = 0;
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
  return rate >= 0;
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
    } else if (arg == "--fps" || arg.rfind("--fps=", 0) == 0) {
      std::string value;
      if (arg == "--fps") {
        if (i + 1 >= argc) return UsageError("--fps needs a frame rate, such as --fps 25");
        value = argv[++i];
      } else {
        value = arg.substr(6);
      }
      if (!ParseRate(value, options.fps)) {
        return UsageError("'" + value + "' is not a valid frame rate for --fps");
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

std::string ReadAll(std::FILE* in) {
  std::string text;
  char buffer[1 << 16];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text.append(buffer, got);
  return text;
}

// Converts standard input to standard output.
int ConvertStream(TSubtitles& doc, TSubtitleFormat format) {
  const char* name = "<stdin>";
  bool frame_based = false;
  try {
    const LineList lines = SplitLines(ReadAll(stdin));
    if (!doc.LoadFromList(lines, frame_based)) {
      std::cerr << "vorlane-cli: " << name << ": format not recognised or not readable\n";
      return kSomeFailed;
    }
  } catch (const std::exception& e) {
    std::cerr << CorruptedFileMessage(name, e.what()) << '\n';
    return kSomeFailed;
  }
  if (frame_based && doc.WholeFrameRate() < 1) {
    std::cerr << "vorlane-cli: " << name
              << ": the input counts frames and needs a frame rate; give one with --fps RATE\n";
    return kSomeFailed;
  }
  LineList out;
  doc.SaveToList(out, format);
  const std::string text = JoinLines(out);
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    std::cerr << "vorlane-cli: cannot write to standard output\n";
    return kSomeFailed;
  }
  return kConverted;
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

  TSubtitles doc;
  doc.SetFrameRate(options.fps);
  int status = kConverted;
  for (std::size_t i = 1; i < options.positional.size(); ++i) {
    const std::string& path = options.positional[i];
    if (path == "-") {
      if (ConvertStream(doc, *format) != kConverted) status = kSomeFailed;
    } else {
      std::cerr << "vorlane-cli: " << path
                << ": converting files is not available yet; use - for standard input\n";
      status = kSomeFailed;
    }
  }
  return status;
}
