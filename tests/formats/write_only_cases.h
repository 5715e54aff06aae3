// Tests of the write-only formats: a document saved in one format through
// the catalogue and compared byte for byte with the file it becomes (every
// string of the line list followed by CR LF).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/detection.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane::write_only {

struct OutputCase {
  const char* name;
  TSubtitleFormat format;
  std::vector<SubtitleCue> cues;
  std::string bytes;
  double frame_rate = 0;
  // The bytes of the classic setting, where the default mode now writes
  // otherwise (those are in writer_dialects_test.cpp).
  bool classic = false;
};

// Failure messages name the case instead of dumping its bytes.
inline void PrintTo(const OutputCase& c, std::ostream* os) {
  *os << c.name;
}

inline LineList SavedLines(TSubtitleFormat format, const std::vector<SubtitleCue>& cues,
                           double frame_rate = 0, bool classic = false) {
  TSubtitles doc;
  doc.SetClassicReading(classic);
  doc.Cues = cues;
  doc.SetFrameRate(frame_rate);
  LineList lines;
  doc.SaveToList(lines, format);
  return lines;
}

inline std::string SavedBytes(TSubtitleFormat format, const std::vector<SubtitleCue>& cues,
                              double frame_rate = 0, bool classic = false) {
  return JoinLines(SavedLines(format, cues, frame_rate, classic));
}

// What detection makes of a saved file read back as lines.
inline TSubtitleFormat DetectedFormat(TSubtitleFormat format, const std::vector<SubtitleCue>& cues,
                                      double frame_rate = 0) {
  return DetectFormat(SplitLines(SavedBytes(format, cues, frame_rate)));
}

// The shared document: one cue from 1.5 s to 3.25 s with a two-line text.
inline const std::vector<SubtitleCue> kOneCue = {{1500, 3250, "A\rB"}};

struct DetectionCase {
  TSubtitleFormat written;
  TSubtitleFormat detected;
  double frame_rate = 0;
};

}  // namespace vorlane::write_only
