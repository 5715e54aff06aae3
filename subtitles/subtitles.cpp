#include "subtitles/subtitles.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <new>

#include "subtitles/detection.h"
#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/foreign_formats.h"
#include "subtitles/formats/broadcast.h"
#include "subtitles/formats/formats.h"
#include "subtitles/lines.h"
#include "subtitles/output_sink.h"
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
                              const CorruptionReporter& report, const CorruptionReporter& refused) {
  format_read_ = sf0;
  std::string bytes;
  try {
    bytes = ReadWholeFile(path);
  } catch (const std::exception& e) {
    if (report) report(FailureOf(path, e));
    return false;
  }
  return LoadFromBytes(path, bytes, frame_based, report, refused);
}

bool TSubtitles::LoadFromBytes(const std::string& path, std::string_view bytes, bool& frame_based,
                               const CorruptionReporter& report,
                               const CorruptionReporter& refused) {
  format_read_ = sf0;
  try {
    return LoadFromText(bytes, frame_based);
  } catch (const UnsupportedFormatError& e) {
    if (refused) {
      refused(FailureOf(path, e));
    } else if (report) {
      report(FailureOf(path, e));
    }
  } catch (const std::exception& e) {
    if (report) report(FailureOf(path, e));
  }
  return false;
}

bool TSubtitles::LoadFromText(std::string_view bytes, bool& frame_based) {
  Warnings.clear();
  Dropped = {};
  source_charset_.clear();
  file_frame_rate_ = 0;
  // Binary formats (EBU STL, and SCC's caption bytes) are read from their
  // bytes as they are.
  if (!classic_reading_ && ReadBinaryFormat(*this, bytes, frame_based)) return true;
  // Formats refused by name are recognised by their first bytes, some of
  // which are binary and would not survive the splitting into lines.
  if (!classic_reading_) RefuseForeignFormat(bytes);
  std::string converted;  // the text, when it is not the bytes as they are
  // Decoded Unicode is written back as UTF-8 with a byte order mark.
  bool decoded = false;
  if (!classic_reading_ && SniffUnicode(bytes).encoding != TextEncoding::kBytes) {
    converted.assign(bytes);
    decoded = DecodeUnicode(converted);
  }
  if (decoded || ConvertInput(bytes, converted)) bytes = converted;
  LineViews lines = SplitLineViews(bytes);
  const bool mark = !lines.empty() && TakeByteOrderMark(lines.front());
  return Load(lines, frame_based, decoded || mark);
}

bool TSubtitles::ConvertInput(std::string_view bytes, std::string& converted) {
  const bool marked = bytes.starts_with(kUtf8ByteOrderMark);
  std::string charset = marked ? std::string() : input_encoding_;
  if (charset == "auto") {
    charset = GuessCharset(bytes);
    if (charset.empty()) {
      throw SubtitleError(
          "the character set of the text cannot be told with confidence; name it with "
          "--input-encoding");
    }
    if (charset == "ASCII") charset.clear();
  }
  if (!charset.empty() && !IsUtf8Name(charset)) {
    converted = ConvertText(bytes, charset.c_str(), "UTF-8");
    source_charset_ = charset;
    return true;
  }
  if (!charset.empty() || output_encoding_ != OutputEncoding::kSource) {
    // Text that is to be UTF-8, or said to be, must be: a wrong character
    // set is never passed on as UTF-8.
    try {
      ConvertText(bytes, "UTF-8", "UTF-8");
    } catch (const SubtitleError& e) {
      throw SubtitleError(std::string(e.what()) + "; name its character set with --input-encoding");
    }
  }
  return false;
}

bool TSubtitles::LoadFromList(const LineViews& lines, bool& frame_based) {
  Warnings.clear();
  Dropped = {};
  if (lines.empty() || !lines.front().starts_with(kUtf8ByteOrderMark)) {
    return Load(lines, frame_based, false);
  }
  LineViews without_mark = lines;
  TakeByteOrderMark(without_mark.front());
  return Load(without_mark, frame_based, true);
}

bool TSubtitles::Load(const LineViews& lines, bool& frame_based, bool byte_order_mark) {
  byte_order_mark_ = byte_order_mark;
  format_read_ = sf0;
  file_frame_rate_ = 0;
  if (classic_reading_) return ReadClassic(lines, frame_based);
  return ReadBeyondClassic(*this, lines, frame_based);
}

bool TSubtitles::ReadClassic(const LineViews& lines, bool& frame_based) {
  const TSubtitleFormat detected = DetectFormat(lines);
  const FormatInfo& info = FormatOf(detected);
  // Every load starts from an empty cue list, so nothing of an earlier file
  // survives, whatever happens below.
  Cues.clear();
  format_read_ = sf0;
  file_frame_rate_ = info.value == sfMicroDVD ? MicroDVDFileFrameRate(lines) : 0;
  if (info.reader == nullptr) return false;
  frame_based = info.frame_based;
  format_read_ = detected;
  // Frame-based input is reported as loaded even when no usable frame rate
  // is known yet; its cues are read once the caller has settled one.
  if (info.frame_based && WholeFrameRate() < 1) return true;
  info.reader(*this, lines);
  return true;
}

namespace {

bool BeforeZero(const SubtitleCue& cue) {
  return cue.Start < 0 || cue.Stop < 0;
}

}  // namespace

bool TSubtitles::SavedAsWritten() const {
  const bool mark = output_encoding_ == OutputEncoding::kUtf8Bom ||
                    (byte_order_mark_ && output_encoding_ != OutputEncoding::kUtf8);
  const bool convert = output_encoding_ == OutputEncoding::kSource && !source_charset_.empty();
  return !mark && !convert && std::none_of(Cues.begin(), Cues.end(), BeforeZero);
}

void TSubtitles::SaveToList(LineList& lines, TSubtitleFormat format) const {
  const FormatInfo& info = FormatOf(format);
  if (info.writer == nullptr) return;
  if (info.binary_writer != nullptr) {
    throw SubtitleError(std::string(info.name) + " is written as bytes, not as lines");
  }
  const std::size_t first = lines.size();
  if (std::none_of(Cues.begin(), Cues.end(), BeforeZero)) {
    info.writer(*this, lines);
  } else {
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
  // An output without lines stays empty: a mark alone would be a file
  // holding nothing but the mark.
  if (lines.size() == first) return;
  bool mark = byte_order_mark_;
  if (output_encoding_ == OutputEncoding::kSource && !source_charset_.empty()) {
    TextConverter back("UTF-8", source_charset_);
    for (std::size_t i = first; i < lines.size(); ++i) {
      try {
        lines[i] = back.Convert(lines[i]);
      } catch (const SubtitleError&) {
        throw SubtitleError("line " + std::to_string(i - first + 1) +
                            " of the output cannot be written in " + source_charset_);
      }
    }
  }
  if (output_encoding_ == OutputEncoding::kUtf8) mark = false;
  if (output_encoding_ == OutputEncoding::kUtf8Bom) mark = true;
  if (mark) lines[first].insert(0, kUtf8ByteOrderMark);
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
