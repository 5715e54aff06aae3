#include "subtitles/second_reading.h"

#include <exception>

#include "subtitles/subtitles.h"

namespace vorlane {

TSubtitleFormat ReadBySignature(TSubtitles& doc, const LineViews& lines) {
  std::exception_ptr first_error;
  for (const FormatInfo& info : FormatCatalogue()) {
    if (info.second_reader == nullptr || info.signature == nullptr) continue;
    if (!info.signature(lines)) continue;
    doc.Cues.clear();
    try {
      info.second_reader(doc, lines);
      if (!doc.Cues.empty()) return info.value;
    } catch (...) {
      if (!first_error) first_error = std::current_exception();
    }
  }
  doc.Cues.clear();
  if (first_error) std::rethrow_exception(first_error);
  return sf0;
}

}  // namespace vorlane
