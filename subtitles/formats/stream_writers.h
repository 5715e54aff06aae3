// Writers that stream straight into an output sink. Each gives exactly the
// bytes of the format's line-list writer in the catalogue, with CR LF after
// every item; the formats without one are written through their line list.
#pragma once

#include "subtitles/catalogue.h"

namespace vorlane {

class OutputSink;

using StreamWriter = void (*)(const TSubtitles& doc, OutputSink& out);

// The streaming writer of a format, or nullptr.
StreamWriter StreamWriterOf(TSubtitleFormat format);

// SubRip (subrip.cpp)
void StreamSubRip(const TSubtitles& doc, OutputSink& out);
// SAMI (sami.cpp)
void StreamSAMI(const TSubtitles& doc, OutputSink& out);
// Advanced SSA (substation_alpha.cpp)
void StreamAdvancedSSA(const TSubtitles& doc, OutputSink& out);
// MicroDVD (microdvd.cpp)
void StreamMicroDVD(const TSubtitles& doc, OutputSink& out);

}  // namespace vorlane
