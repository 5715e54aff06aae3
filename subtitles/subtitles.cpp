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
  // Nothing but line breaks and blanks: an empty file, whatever else is
  // asked of it (a character set to guess included). The classic reading
  // keeps calling it not recognised, unless a character set is asked for.
  blank_input_ = (!classic_reading_ || !input_encoding_.empty()) && IsBlankText(bytes);
  cut_at_nul_ = classic_reading_ && TextAfterNul(bytes);
  if (blank_input_) {
    Cues.clear();
    format_read_ = sf0;
    return false;
  }
  source_charset_.clear();
  input_charset_.clear();
  file_frame_rate_ = 0;
  // 1. Binary formats (EBU STL, and SCC's caption bytes) are read from their
  // bytes as they are.
  if (!classic_reading_ && ReadBinaryFormat(*this, bytes, frame_based)) return true;
  // Formats refused by name are recognised by their first bytes, some of
  // which are binary and would not survive the splitting into lines.
  if (!classic_reading_) RefuseForeignFormat(bytes);
  // 2. The text as UTF-8, or as read where it goes back out as it came; a
  // NUL byte never ends it.
  std::string converted;
  const bool decoded = DecodeInput(bytes, converted);
  if (decoded || !source_charset_.empty()) bytes = converted;
  std::string without_nul;  // the text, when it held NUL bytes
  if (!classic_reading_) bytes = TakeOutNulBytes(bytes, without_nul);
  // 3. Lines.
  LineViews lines = SplitLineViews(bytes);
  const bool mark = !lines.empty() && TakeByteOrderMark(lines.front());
  // 4 and 5. Detection, then the classic or the second reading.
  return Load(lines, frame_based, decoded || mark);
}

bool TSubtitles::DecodeInput(std::string_view bytes, std::string& converted) {
  source_charset_.clear();
  input_charset_.clear();
  charset_guessed_ = false;
  // Decoded Unicode is written back as UTF-8 with a byte order mark.
  if (!classic_reading_) {
    const SniffedEncoding sniffed = SniffUnicode(bytes);
    if (sniffed.encoding != TextEncoding::kBytes) {
      converted.assign(bytes);
      DecodeUnicode(converted);
      input_charset_ = EncodingName(sniffed.encoding);
      return true;
    }
  }
  if (classic_reading_ || !input_encoding_.empty()) {
    if (ConvertInput(bytes, converted)) {
      input_charset_ = source_charset_;
      charset_guessed_ = input_encoding_ == "auto";
    } else if (!classic_reading_) {
      input_charset_ = IsUtf8(bytes) ? "UTF-8" : "";
    }
    return false;
  }
  if (bytes.starts_with(kUtf8ByteOrderMark) || IsUtf8(bytes)) {
    input_charset_ = "UTF-8";
    return false;
  }
  // 8-bit text in a code page. Written back into the same code page by a
  // format that may hold it, it is worked on as it is: the markup of every
  // format is ASCII. Otherwise it is decoded from the code page uchardet
  // takes it for.
  if (output_encoding_ == OutputEncoding::kSource && target_ != sf0 && !WritesUtf8Only(target_)) {
    return false;
  }
  constexpr std::size_t kSample = 64 * 1024;
  std::string charset = GuessCharset(bytes.substr(0, kSample));
  bool sure = !(charset.empty() || charset == "ASCII" || IsUtf8Name(charset));
  // No guess with confidence, or one the bytes belie (the guess looks at a
  // sample only): the code page of most such files in Western Europe and
  // the Americas, else Latin-1, which takes every byte.
  for (const char* fallback : {"", "WINDOWS-1252", "ISO-8859-1"}) {
    if (*fallback != 0) {
      charset = fallback;
      sure = false;
    } else if (!sure) {
      continue;
    }
    try {
      converted = ConvertText(bytes, charset.c_str(), "UTF-8");
      break;
    } catch (const SubtitleError&) {
      if (charset == "ISO-8859-1") throw;
    }
  }
  if (!sure) Warn(0, "guessed " + charset + " for the character set of the text");
  source_charset_ = charset;
  input_charset_ = charset;
  charset_guessed_ = true;
  return false;
}

std::string_view TSubtitles::TakeOutNulBytes(std::string_view text, std::string& out) {
  int line = 0;
  const std::size_t count = ReplaceNulBytes(text, out, line);
  if (count == 0) return text;
  const bool webvtt = out.size() > text.size();
  if (!webvtt) Dropped.control_bytes += count;
  Warn(line, std::to_string(count) + (count == 1 ? " NUL byte " : " NUL bytes ") +
                 (webvtt ? "read as U+FFFD" : "left out") + ", the first on this line");
  return out;
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
  blank_input_ = false;
  cut_at_nul_ = false;
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

std::string_view TSubtitles::NothingToWrite() const {
  if (Cues.empty()) return "no cue in the file";
  const bool some_after_zero =
      std::any_of(Cues.begin(), Cues.end(), [](const SubtitleCue& cue) { return cue.Stop > 0; });
  if (!some_after_zero && std::any_of(Cues.begin(), Cues.end(), BeforeZero)) {
    return "every cue lies before zero";
  }
  return {};
}

bool TSubtitles::SavedAsWritten() const {
  const bool mark = output_encoding_ == OutputEncoding::kUtf8Bom ||
                    (byte_order_mark_ && output_encoding_ != OutputEncoding::kUtf8);
  const bool convert = (output_encoding_ == OutputEncoding::kSource && !source_charset_.empty()) ||
                       output_encoding_ == OutputEncoding::kNamed;
  return !mark && !convert && std::none_of(Cues.begin(), Cues.end(), BeforeZero);
}

void TSubtitles::SaveToList(LineList& lines, TSubtitleFormat format) const {
  const FormatInfo& info = FormatOf(format);
  if (info.writer == nullptr) return;
  // What this output cannot hold is counted afresh for each output.
  Dropped.styles = Dropped.positions = Dropped.colours = Dropped.clamped_cues = 0;
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
    if (classic_reading_) {
      std::erase_if(shown.Cues, [](const SubtitleCue& cue) {
        return cue.Stop < 0 || (cue.Start < 0 && cue.Stop == 0);
      });
    } else {
      // Nothing is lost: a cue wholly before zero is shown from 0 to 0.
      for (const SubtitleCue& cue : shown.Cues) Dropped.clamped_cues += BeforeZero(cue);
    }
    for (SubtitleCue& cue : shown.Cues) {
      cue.Start = std::max<std::int64_t>(cue.Start, 0);
      cue.Stop = std::max<std::int64_t>(cue.Stop, 0);
    }
    info.writer(shown, lines);
  }
  // An output without lines stays empty: a mark alone would be a file
  // holding nothing but the mark.
  if (lines.size() == first) return;
  bool mark = byte_order_mark_;
  const std::string charset = OutputCharset(format);
  if (!charset.empty() && !IsUtf8Name(charset)) {
    if (!classic_reading_) {
      // A character the code page cannot hold is an error that names its
      // cue, never a question mark.
      TextConverter check("UTF-8", charset);
      for (std::size_t i = 0; i < Cues.size(); ++i) {
        try {
          check.Convert(Cues[i].Text);
        } catch (const SubtitleError&) {
          throw SubtitleError("the text of cue " + std::to_string(i + 1) +
                              " cannot be written in " + charset);
        }
      }
    }
    TextConverter back("UTF-8", charset);
    for (std::size_t i = first; i < lines.size(); ++i) {
      try {
        lines[i] = back.Convert(lines[i]);
      } catch (const SubtitleError&) {
        throw SubtitleError("line " + std::to_string(i - first + 1) +
                            " of the output cannot be written in " + charset);
      }
    }
    // A code page has no byte order mark.
    if (output_encoding_ == OutputEncoding::kNamed) mark = false;
  }
  if (output_encoding_ == OutputEncoding::kUtf8) mark = false;
  if (output_encoding_ == OutputEncoding::kUtf8Bom) mark = true;
  if (mark) lines[first].insert(0, kUtf8ByteOrderMark);
}

std::string TSubtitles::OutputCharset(TSubtitleFormat format) const {
  if (output_encoding_ == OutputEncoding::kNamed) {
    return classic_reading_ || !WritesUtf8Only(format) ? output_charset_ : "UTF-8";
  }
  if (output_encoding_ != OutputEncoding::kSource) return "UTF-8";
  if (!classic_reading_ && WritesUtf8Only(format)) return "UTF-8";
  return source_charset_;
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
