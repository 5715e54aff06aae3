#include "subtitles/subtitles.h"

#include <exception>

#include "subtitles/detection.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
#include "subtitles/second_reading.h"
#include "subtitles/timing.h"

namespace vorlane {

std::int64_t TSubtitles::WholeFrameRate() const {
  return RoundHalfEven(frame_rate_);
}

std::string CorruptedFileMessage(const std::string& path, const std::string& message) {
  return "File " + path + " is corrupted. Error on line: " + message;
}

bool TSubtitles::LoadFromFile(const std::string& path, bool& frame_based,
                              const CorruptionReporter& report) {
  try {
    const TextFile file = ReadTextFile(path);
    return LoadFromList(file.lines, frame_based);
  } catch (const std::bad_alloc&) {
    if (report) report(CorruptedFileMessage(path, "Out of memory"));
  } catch (const std::exception& e) {
    if (report) report(CorruptedFileMessage(path, e.what()));
  }
  return false;
}

bool TSubtitles::LoadFromList(const LineViews& lines, bool& frame_based) {
  const FormatInfo& info = FormatOf(DetectFormat(lines));
  // Every load starts from an empty cue list, so nothing of an earlier file
  // survives, whatever happens below.
  Cues.clear();
  if (info.reader == nullptr) {
    if (classic_reading_) return false;
    frame_based = false;
    return ReadBySignature(*this, lines) != sf0;
  }
  frame_based = info.frame_based;
  // Frame-based input is reported as loaded even when no usable frame rate
  // is known yet; its cues are read once the caller has settled one.
  if (info.frame_based && WholeFrameRate() < 1) return true;
  if (classic_reading_) {
    info.reader(*this, lines);
    return true;
  }
  try {
    info.reader(*this, lines);
    if (!Cues.empty()) return true;
  } catch (...) {
    // The classic reader's error stands unless the second reading succeeds.
    frame_based = false;
    if (ReadBySignature(*this, lines) != sf0) return true;
    throw;
  }
  frame_based = false;
  if (ReadBySignature(*this, lines) == sf0) {
    Cues.clear();
    frame_based = info.frame_based;
  }
  return true;
}

void TSubtitles::SaveToList(LineList& lines, TSubtitleFormat format) const {
  const FormatInfo& info = FormatOf(format);
  if (info.writer != nullptr) info.writer(*this, lines);
}

std::string ReplaceExtension(const std::string& path, const std::string& ext) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name_start = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = path.rfind('.');
  if (dot == std::string::npos || dot < name_start) return path + "." + ext;
  return path.substr(0, dot) + "." + ext;
}

std::string TSubtitles::SaveToFile(const std::string& path, TSubtitleFormat format,
                                   bool force_extension) const {
  const std::string target =
      force_extension ? ReplaceExtension(path, std::string(FormatOf(format).extension)) : path;
  WriteDocumentToFile(*this, format, target);
  return target;
}

}  // namespace vorlane
