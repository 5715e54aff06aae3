#include "subtitles/subtitles.h"

#include <exception>

#include "subtitles/detection.h"
#include "subtitles/encoding.h"
#include "subtitles/errors.h"
#include "subtitles/foreign_formats.h"
#include "subtitles/lines.h"
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
                              const CorruptionReporter& report, const CorruptionReporter& refused) {
  try {
    return LoadFromText(ReadWholeFile(path), frame_based);
  } catch (const std::bad_alloc&) {
    if (report) report(CorruptedFileMessage(path, "Out of memory"));
  } catch (const UnsupportedFormatError& e) {
    if (refused) {
      refused(e.what());
    } else if (report) {
      report(CorruptedFileMessage(path, e.what()));
    }
  } catch (const std::exception& e) {
    if (report) report(CorruptedFileMessage(path, e.what()));
  }
  return false;
}

bool TSubtitles::LoadFromText(std::string bytes, bool& frame_based) {
  // Formats refused by name are recognised by their first bytes, some of
  // which are binary and would not survive the splitting into lines.
  if (!classic_reading_) RefuseForeignFormat(bytes);
  // Decoded Unicode is written back as UTF-8 with a byte order mark.
  const bool decoded = !classic_reading_ && DecodeUnicode(bytes);
  source_charset_.clear();
  if (!decoded) ConvertInput(bytes);
  TextFile text = MakeTextFile(std::move(bytes));
  const bool mark = !text.lines.empty() && TakeByteOrderMark(text.lines.front());
  return Load(text.lines, frame_based, decoded || mark);
}

void TSubtitles::ConvertInput(std::string& bytes) {
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
    bytes = ConvertText(bytes, charset.c_str(), "UTF-8");
    source_charset_ = charset;
  } else if (!charset.empty() || output_encoding_ != OutputEncoding::kSource) {
    // Text that is to be UTF-8, or said to be, must be: a wrong character
    // set is never passed on as UTF-8.
    try {
      ConvertText(bytes, "UTF-8", "UTF-8");
    } catch (const SubtitleError& e) {
      throw SubtitleError(std::string(e.what()) + "; name its character set with --input-encoding");
    }
  }
}

bool TSubtitles::LoadFromList(const LineViews& lines, bool& frame_based) {
  if (lines.empty() || !lines.front().starts_with(kUtf8ByteOrderMark)) {
    return Load(lines, frame_based, false);
  }
  LineViews without_mark = lines;
  TakeByteOrderMark(without_mark.front());
  return Load(without_mark, frame_based, true);
}

bool TSubtitles::Load(const LineViews& lines, bool& frame_based, bool byte_order_mark) {
  byte_order_mark_ = byte_order_mark;
  if (classic_reading_) return ReadClassic(lines, frame_based);
  return ReadBeyondClassic(*this, lines, frame_based);
}

bool TSubtitles::ReadClassic(const LineViews& lines, bool& frame_based) {
  const FormatInfo& info = FormatOf(DetectFormat(lines));
  // Every load starts from an empty cue list, so nothing of an earlier file
  // survives, whatever happens below.
  Cues.clear();
  if (info.reader == nullptr) return false;
  frame_based = info.frame_based;
  // Frame-based input is reported as loaded even when no usable frame rate
  // is known yet; its cues are read once the caller has settled one.
  if (info.frame_based && WholeFrameRate() < 1) return true;
  info.reader(*this, lines);
  return true;
}

void TSubtitles::SaveToList(LineList& lines, TSubtitleFormat format) const {
  const FormatInfo& info = FormatOf(format);
  if (info.writer == nullptr) return;
  const std::size_t first = lines.size();
  info.writer(*this, lines);
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
  LineList lines;
  SaveToList(lines, format);
  const std::string target =
      force_extension ? ReplaceExtension(path, std::string(FormatOf(format).extension)) : path;
  WriteLinesToFile(lines, target);
  return target;
}

}  // namespace vorlane
