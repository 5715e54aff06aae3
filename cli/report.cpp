#include "cli/report.h"

#include <stdio.h>

#include "subtitles/pending_file.h"

namespace vorlane {

namespace {

const char* ResultName(InputResult result) {
  switch (result) {
    case InputResult::kConverted:
      return "converted";
    case InputResult::kSkipped:
      return "skipped";
    case InputResult::kFailed:
      break;
  }
  return "failed";
}

// The length of the well-formed UTF-8 sequence at the start of s, or 0.
std::size_t Utf8SequenceLength(std::string_view s) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char lead = byte(0);
  std::size_t length = 0;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing beyond U+10FFFF
  } else {
    return 0;
  }
  if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
  }
  return length;
}

void AppendEscapedByte(std::string& out, unsigned char c) {
  static const char kHex[] = "0123456789abcdef";
  out += "\\u00";
  out += kHex[c >> 4];
  out += kHex[c & 0xF];
}

std::string JsonStringOrNull(const std::string& text) {
  return text.empty() ? "null" : JsonString(text);
}

}  // namespace

std::string SkipReasonText(SkipReason reason, TSubtitleFormat output_format,
                           const std::string& message) {
  switch (reason) {
    case SkipReason::kCorrupted:
      return message;
    case SkipReason::kInputNeedsFrameRate:
      return "the input counts frames and needs a frame rate";
    case SkipReason::kOutputNeedsFrameRate:
      return "the output format " + std::string(FormatOf(output_format).name) +
             " counts frames and needs a frame rate";
    case SkipReason::kNotSupported:
      return message;
    case SkipReason::kNotFound:
      return "not found";
    case SkipReason::kCannotOpen:
      return "cannot open: " + message;
    case SkipReason::kNotRegularFile:
      return "not a regular file (a folder, pipe or device); not opened";
    case SkipReason::kNamedTwice:
      return "named twice; converted once already in this run";
    case SkipReason::kNotRecognised:
      break;
  }
  return "format not recognised or not readable";
}

InputEntry EntryOf(const FileRecord& record, TSubtitleFormat output_format) {
  InputEntry entry;
  entry.path = record.path;
  entry.format = record.format;
  entry.cues = record.cues;
  entry.output = record.output;
  entry.backup = record.backup;
  entry.warnings = record.warnings;
  switch (record.outcome) {
    case FileOutcome::kConverted:
      entry.result = InputResult::kConverted;
      break;
    case FileOutcome::kSkipped:
      // A file that could not be read or parsed is on the skipped list, as
      // the window shows it, but it failed: there was something to convert.
      entry.result = record.skip_reason == SkipReason::kCorrupted ||
                             record.skip_reason == SkipReason::kCannotOpen
                         ? InputResult::kFailed
                         : InputResult::kSkipped;
      entry.reason = SkipReasonText(record.skip_reason, output_format, record.message);
      break;
    case FileOutcome::kAbandoned:
      entry.result = InputResult::kFailed;
      entry.reason = record.message;
      break;
  }
  return entry;
}

std::size_t RunReport::Count(InputResult result) const {
  std::size_t n = 0;
  for (const InputEntry& entry : entries_) n += entry.result == result ? 1 : 0;
  return n;
}

std::string RunReport::SummaryLine() const {
  return "converted " + std::to_string(Count(InputResult::kConverted)) + ", skipped " +
         std::to_string(Count(InputResult::kSkipped)) + ", failed " +
         std::to_string(Count(InputResult::kFailed));
}

std::string RunReport::Json(std::string_view version, TSubtitleFormat output_format) const {
  std::string out = "{\n";
  out += "  \"program\": \"vorlane-cli\",\n";
  out += "  \"version\": " + JsonString(version) + ",\n";
  out += "  \"output_format\": " + JsonString(FormatOf(output_format).name) + ",\n";
  out += std::string("  \"interrupted\": ") + (interrupted_ ? "true" : "false") + ",\n";
  out += "  \"converted\": " + std::to_string(Count(InputResult::kConverted)) + ",\n";
  out += "  \"skipped\": " + std::to_string(Count(InputResult::kSkipped)) + ",\n";
  out += "  \"failed\": " + std::to_string(Count(InputResult::kFailed)) + ",\n";
  out += "  \"inputs\": [";
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    const InputEntry& e = entries_[i];
    out += i == 0 ? "\n" : ",\n";
    out += "    {\"path\": " + JsonString(e.path);
    out += ", \"result\": \"" + std::string(ResultName(e.result)) + "\"";
    out += ", \"reason\": " + JsonStringOrNull(e.reason);
    const bool read = e.format != sf0;
    out += ", \"format\": " + (read ? JsonString(FormatOf(e.format).name) : "null");
    out += ", \"cues\": " + (read ? std::to_string(e.cues) : "null");
    out += ", \"output\": " + JsonStringOrNull(e.output);
    out += ", \"backup\": " + JsonStringOrNull(e.backup);
    out += ", \"warnings\": [";
    for (std::size_t w = 0; w < e.warnings.size(); ++w) {
      out += w == 0 ? "" : ", ";
      out += "{\"line\": " + std::to_string(e.warnings[w].line) +
             ", \"problem\": " + JsonString(e.warnings[w].problem) + "}";
    }
    out += "]}";
  }
  out += entries_.empty() ? "]\n}\n" : "\n  ]\n}\n";
  return out;
}

std::string JsonString(std::string_view bytes) {
  std::string out = "\"";
  out.reserve(bytes.size() + 2);
  while (!bytes.empty()) {
    const unsigned char c = static_cast<unsigned char>(bytes[0]);
    const std::size_t length = Utf8SequenceLength(bytes);
    if (length > 1) {
      out.append(bytes.substr(0, length));
    } else if (length == 0) {
      AppendEscapedByte(out, c);
    } else if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20) {
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
        default:
          AppendEscapedByte(out, c);
      }
    } else {
      out += static_cast<char>(c);
    }
    bytes.remove_prefix(length == 0 ? 1 : length);
  }
  out += '"';
  return out;
}

void WriteWholeFile(const std::string& path, std::string_view text) {
  // The same temporary file and rename as every output of a run: a report
  // that fails half-way never leaves a truncated file behind.
  PendingFile file(path);
  file.Write(text);
  file.Commit();
}

}  // namespace vorlane
