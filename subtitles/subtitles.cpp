#include "subtitles/subtitles.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <new>

#include "subtitles/detection.h"
#include "subtitles/errors.h"
#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/second_reading.h"
#include "subtitles/timing.h"

namespace vorlane {

std::int64_t TSubtitles::WholeFrameRate() const {
  // A finite rate too large for 64 bits is as large as can be, never 0:
  // read as 0 it would pass for "no rate" and leave every cue unread.
  if (std::isfinite(frame_rate_) && std::fabs(frame_rate_) >= 9.2e18) {
    return frame_rate_ > 0 ? std::numeric_limits<std::int64_t>::max()
                           : std::numeric_limits<std::int64_t>::min();
  }
  return RoundHalfEven(frame_rate_);
}

std::string CorruptedFileMessage(const std::string& path, const std::string& message) {
  return "File " + path + " is corrupted. Error on line: " + message;
}

std::string LoadFailure::BoxText() const {
  std::string text = CorruptedFileMessage(path, message);
  if (line > 0 && message != std::to_string(line)) text += " (line " + std::to_string(line) + ")";
  return text;
}

LoadFailure FailureOf(const std::string& path, const std::exception& error) {
  LoadFailure failure{path, error.what(), 0};
  if (const auto* subtitle_error = dynamic_cast<const SubtitleError*>(&error)) {
    failure.line = subtitle_error->Line();
  } else if (dynamic_cast<const std::bad_alloc*>(&error) != nullptr) {
    failure.message = "Out of memory";
  }
  return failure;
}

bool TSubtitles::LoadFromFile(const std::string& path, bool& frame_based,
                              const CorruptionReporter& report) {
  format_read_ = sf0;
  try {
    const TextFile file = ReadTextFile(path);
    return LoadFromList(file.lines, frame_based);
  } catch (const std::exception& e) {
    if (report) report(FailureOf(path, e));
  }
  return false;
}

bool TSubtitles::LoadFromList(const LineViews& lines, bool& frame_based) {
  const TSubtitleFormat detected = DetectFormat(lines);
  const FormatInfo& info = FormatOf(detected);
  // Every load starts from an empty cue list, so nothing of an earlier file
  // survives, whatever happens below.
  Cues.clear();
  format_read_ = sf0;
  file_frame_rate_ = info.value == sfMicroDVD ? MicroDVDFileFrameRate(lines) : 0;
  if (info.reader == nullptr) {
    if (classic_reading_) return false;
    frame_based = false;
    format_read_ = ReadBySignature(*this, lines);
    return format_read_ != sf0;
  }
  frame_based = info.frame_based;
  format_read_ = detected;
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
    format_read_ = ReadBySignature(*this, lines);
    if (format_read_ != sf0) return true;
    format_read_ = detected;
    throw;
  }
  frame_based = false;
  format_read_ = ReadBySignature(*this, lines);
  if (format_read_ == sf0) {
    Cues.clear();
    frame_based = info.frame_based;
    format_read_ = detected;
  }
  return true;
}

namespace {

bool BeforeZero(const SubtitleCue& cue) {
  return cue.Start < 0 || cue.Stop < 0;
}

}  // namespace

void TSubtitles::SaveToList(LineList& lines, TSubtitleFormat format) const {
  const FormatInfo& info = FormatOf(format);
  if (info.writer == nullptr) return;
  if (std::none_of(Cues.begin(), Cues.end(), BeforeZero)) {
    info.writer(*this, lines);
    return;
  }
  // Times before zero (a shifted file) would come out garbled or without
  // their sign in most formats, so the writers are given none.
  TSubtitles shown(*this);
  std::erase_if(shown.Cues, [](const SubtitleCue& cue) {
    return cue.Stop < 0 || (cue.Start < 0 && cue.Stop == 0);
  });
  for (SubtitleCue& cue : shown.Cues) {
    if (cue.Start < 0) cue.Start = 0;
  }
  info.writer(shown, lines);
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
  LineList lines;
  SaveToList(lines, format);
  const std::string target =
      force_extension ? ReplaceExtension(path, std::string(FormatOf(format).extension)) : path;
  WriteLinesToFile(lines, target);
  return target;
}

}  // namespace vorlane
