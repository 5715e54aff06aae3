// What every writer shares: fixed header and footer lines kept as data, the
// cue text with its CR line breaks replaced by the format's own token, and
// the time fields of the two splits. Number directives are C's printf ones
// ("%d", "%.2d", "%5d", ...), used through Format().
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "subtitles/strings.h"
#include "subtitles/subtitles.h"
#include "subtitles/timing.h"

namespace vorlane {

// Appends fixed lines (a header or a footer) to the list.
inline void AddLines(LineList& lines, std::initializer_list<const char*> fixed) {
  for (const char* line : fixed) lines.emplace_back(line);
}

// The cue text with every CR replaced by the format's line-break token.
inline std::string TextWithBreaks(const SubtitleCue& cue, std::string_view token) {
  return ReplaceAll(cue.Text, "\r", token);
}

// Narrowing for printf's int directives; time fields of 32-bit times fit.
inline int I(std::int64_t v) {
  return static_cast<int>(v);
}

}  // namespace vorlane
