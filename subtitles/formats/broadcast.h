// Broadcast caption formats: EBU STL (binary, read and written) and
// Scenarist SCC (CEA-608 byte pairs, read). Their decoders produce
// BroadcastCues, which one adapter puts into the document, and the EBU STL
// writer takes the document through one function that makes them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "subtitles/strings.h"

namespace vorlane {

class TSubtitles;

// A cue in milliseconds, its text in UTF-8 with lines separated by one CR
// and <i> <u> tags, placed as SSA's \an places (0: the format's default,
// bottom centre; 7-9 top).
struct BroadcastCue {
  std::int64_t start_ms = 0;
  std::int64_t stop_ms = 0;
  std::string text;
  std::uint8_t place = 0;
};

// Appends the cue to the document's cues.
void AppendBroadcastCue(TSubtitles& doc, BroadcastCue&& cue);
// The document's cues as the EBU STL writer takes them: times before zero
// are written as zero.
std::vector<BroadcastCue> BroadcastCuesOf(const TSubtitles& doc);

// The milliseconds of a SMPTE time code at 30000/1001 frames per second,
// drop-frame (two frame numbers skipped each minute but every tenth) or
// not: frames counted, then timed at 29.97.
std::int64_t NtscTimeCodeMs(int hours, int minutes, int seconds, int frames, bool drop_frame);

// EBU STL (ebu_stl.cpp)
// Reads bytes in the first binary format of the catalogue whose signature
// they match; false when they match none. The reader's errors are raised.
bool ReadBinaryFormat(TSubtitles& doc, std::string_view bytes, bool& frame_based);
// True when bytes begin with the General Subtitle Information block's code
// page and disk format code ("850STL25.01").
bool IsEbuStl(std::string_view bytes);
// True when bytes begin as a binary format of the catalogue.
bool IsBinaryFormat(std::string_view bytes);
// Replaces the document's cues by those of the file; raises SubtitleError
// for a file cut short inside its header.
void ReadEbuStl(TSubtitles& doc, std::string_view bytes);
// The whole file; SubtitleError naming the cue when a character is in no
// code table.
std::string WriteEbuStl(const TSubtitles& doc);
// The catalogue's line writer for the format: EBU STL is written as bytes
// (WriteEbuStl), never as lines, so it only raises SubtitleError.
void WriteEbuStlLines(const TSubtitles& doc, LineList& lines);

// Scenarist SCC (scc.cpp). Read as a binary format is, from the file's
// bytes and before any other reading: a file with this header is SCC even
// when no caption of channel 1 ever shows (it is then empty), and never
// falls to a reader of time-coded text lines.
bool IsSCC(std::string_view bytes);
void ReadSCC(TSubtitles& doc, std::string_view bytes);

}  // namespace vorlane
