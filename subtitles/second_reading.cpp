#include "subtitles/second_reading.h"

#include <exception>

#include "subtitles/foreign_formats.h"
#include "subtitles/subtitles.h"

namespace vorlane {

namespace {

enum class Rows {
  kAll,
  kWithoutClassicReader,  // formats the classic rules do not read
  kWithClassicReader,     // lenient readers of classic formats
};

bool Selected(const FormatInfo& info, Rows rows) {
  if (info.second_reader == nullptr || info.signature == nullptr) return false;
  switch (rows) {
    case Rows::kWithoutClassicReader:
      return info.reader == nullptr;
    case Rows::kWithClassicReader:
      return info.reader != nullptr;
    case Rows::kAll:
      break;
  }
  return true;
}

// The rows' readers whose signature matches, in table order, until one
// reads a cue. The first error raised is kept in error, and the first
// format whose reader ran without error but found no cue in empty.
TSubtitleFormat TryRows(TSubtitles& doc, const LineViews& lines, Rows rows,
                        std::exception_ptr& error, TSubtitleFormat* empty = nullptr) {
  // The warnings of a reader that does not win are not the file's.
  const std::size_t warnings = doc.Warnings.size();
  for (const FormatInfo& info : FormatCatalogue()) {
    if (!Selected(info, rows) || !info.signature(lines)) continue;
    doc.Cues.clear();
    doc.Warnings.resize(warnings);
    try {
      info.second_reader(doc, lines);
      if (!doc.Cues.empty()) {
        doc.SetFormatRead(info.value);
        return info.value;
      }
      if (empty != nullptr && *empty == sf0) *empty = info.value;
    } catch (...) {
      if (!error) error = std::current_exception();
    }
  }
  doc.Cues.clear();
  doc.Warnings.resize(warnings);
  return sf0;
}

bool HoldsText(const LineViews& lines) {
  for (const std::string_view line : lines) {
    if (line.find_first_not_of(" \t") != std::string_view::npos) return true;
  }
  return false;
}

}  // namespace

TSubtitleFormat ReadBySignature(TSubtitles& doc, const LineViews& lines) {
  std::exception_ptr error;
  const TSubtitleFormat read = TryRows(doc, lines, Rows::kAll, error);
  if (read == sf0 && error) std::rethrow_exception(error);
  return read;
}

bool ReadBeyondClassic(TSubtitles& doc, const LineViews& lines, bool& frame_based) {
  if (!lines.empty()) RefuseForeignFormat(lines.front());

  // An error of a reader whose signature matched stands for the file when
  // nothing reads it: the signature says the file is in that format.
  std::exception_ptr signed_error;
  TSubtitleFormat signed_empty = sf0;
  if (TryRows(doc, lines, Rows::kWithoutClassicReader, signed_error, &signed_empty) != sf0) {
    frame_based = false;
    return true;
  }

  bool classic_frame_based = false;
  std::exception_ptr classic_error;
  bool recognised = false;
  try {
    recognised = doc.ReadClassic(lines, classic_frame_based);
  } catch (...) {
    classic_error = std::current_exception();
  }
  if (recognised) {
    frame_based = classic_frame_based;
    // Frame-based input waits for its frame rate before any cue is read;
    // a file of blank lines has nothing to find.
    if (!doc.Cues.empty() || (frame_based && doc.WholeFrameRate() < 1) || !HoldsText(lines)) {
      return true;
    }
  }

  std::exception_ptr lenient_error;
  if (TryRows(doc, lines, Rows::kWithClassicReader, lenient_error) != sf0) {
    frame_based = false;
    return true;
  }
  if (signed_error) std::rethrow_exception(signed_error);
  if (signed_empty != sf0) {
    // A file that certainly is in a format and holds no cue (a WebVTT
    // header alone) is read as it is: empty.
    doc.Cues.clear();
    doc.SetFormatRead(signed_empty);
    frame_based = false;
    return true;
  }
  if (classic_error) std::rethrow_exception(classic_error);
  if (lenient_error) std::rethrow_exception(lenient_error);
  // Nothing read a cue from a file that holds text: it is skipped, not
  // written as an empty output.
  doc.Cues.clear();
  return false;
}

}  // namespace vorlane
