// Writer tests: a document written by one writer and compared byte for byte
// with the file it becomes (every string of the line list followed by CR LF).
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "subtitles/catalogue.h"
#include "subtitles/lines.h"
#include "subtitles/subtitles.h"

namespace vorlane {

struct WriterCase {
  const char* name;
  SubtitleWriter writer;
  std::vector<SubtitleCue> cues;
  std::string bytes;
  // The bytes of the classic setting, where the default mode now writes
  // otherwise (those are in writer_dialects_test.cpp).
  bool classic = false;
};

// Failure messages name the case instead of dumping its bytes.
inline void PrintTo(const WriterCase& c, std::ostream* os) {
  *os << c.name;
}

inline std::string WrittenBytes(SubtitleWriter writer, const std::vector<SubtitleCue>& cues,
                                bool classic = false) {
  TSubtitles doc;
  doc.SetClassicReading(classic);
  doc.Cues = cues;
  LineList lines;
  writer(doc, lines);
  return JoinLines(lines);
}

// Shared documents: one cue from 1 h 1 min 1.5 s to 1 h 1 min 4 s with a
// two-line text; three cues with a one-line text, an empty text and times
// beyond 100 hours (100:00:00.05 to 100:02:03.45).
inline const std::vector<SubtitleCue> kOneCue = {{3661500, 3664000, "A\rB"}};
inline const std::vector<SubtitleCue> kThreeCues = {
    {0, 1500, "x"}, {2000, 3000, ""}, {360000050, 360123450, "y"}};

}  // namespace vorlane
